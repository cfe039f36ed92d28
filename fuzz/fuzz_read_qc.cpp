// Reading a .qc on arbitrary bytes, named model.qc beside two includes that it may name: one
// plain, one that names it back. A refusal must name one of the three files; a script read must
// keep every line of model.qc, in order, in exactly one entry; every sequence must have a file.
#include "fuzz_support.h"
#include "qc/qc_reader.h"
#include "app/qc_texts.h"

using namespace varnex;

namespace {
const CQcFileSystem& Files(std::string_view bytes) {
    static CMemoryQcFiles files = [] {
        CMemoryQcFiles f;
        f.Add("part.qci", "$sequence inner \"inner\" { event 1 2 }\n");
        f.Add("loop.qci", "$include part.qci\n$include model.qc\n");
        f.Add("anims/walk.smd", "");
        return f;
    }();
    files.Add("model.qc", std::string(bytes));
    return files;
}

// Past the line end that ends an entry's text, if any.
std::size_t PastLineEnd(std::string_view bytes, std::size_t pos) {
    if (bytes.compare(pos, 2, "\r\n") == 0) return pos + 2;
    if (pos < bytes.size() && (bytes[pos] == '\n' || bytes[pos] == '\r')) return pos + 1;
    return pos;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    QC_SCRIPT qc;
    if (!RanThrough("Read qc", {"model.qc", "part.qci", "loop.qci"},
                    [&] { qc = ReadQc(bytes, "model.qc", Files(bytes)); })) {
        return 0;
    }
    std::size_t pos = 0;
    int nextLine = 1;
    int sequences = 0;
    for (const QC_ENTRY& entry : qc.entries) {
        if (entry.kind == QC_ENTRY_KIND::SEQUENCE) {
            if (entry.sequence != sequences++) FuzzFailure("a sequence's entry is out of order");
        }
        if (entry.file != "model.qc") continue;
        if (entry.line != nextLine || entry.lastLine < entry.line) {
            FuzzFailure("entry at line " + std::to_string(entry.line) + " after line " +
                        std::to_string(nextLine - 1));
        }
        if (bytes.compare(pos, entry.text.size(), entry.text) != 0) {
            FuzzFailure("the text of the entry at line " + std::to_string(entry.line) +
                        " is not the file's");
        }
        pos = PastLineEnd(bytes, pos + entry.text.size());
        nextLine = entry.lastLine + 1;
    }
    if (pos != bytes.size()) FuzzFailure("the entries leave bytes out from " + std::to_string(pos));
    if (sequences != static_cast<int>(qc.sequences.size())) FuzzFailure("a sequence has no entry");
    for (const QC_SEQUENCE& seq : qc.sequences) {
        if (seq.smds.empty() || seq.line < 1) FuzzFailure("sequence " + seq.name + " has no file");
    }
    for (const QC_WARNING& warning : qc.warnings) {
        if (QcWarningText(warning).empty()) FuzzFailure("a warning without text");
    }
    return 0;
}
