#include "qc/qc_writer.h"

#include <filesystem>
#include <system_error>

#include "platform/file_access.h"
#include "platform/native_path.h"

namespace varnex {

namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool Same(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    }
    return true;
}

std::string WithoutSmd(const std::string& path) {
    if (path.size() >= 4 && Same(std::string_view(path).substr(path.size() - 4), ".smd")) {
        return path.substr(0, path.size() - 4);
    }
    return path;
}

// A token that holds a quote cannot be quoted: it stays bare, as it was read.
std::string Quoted(std::string_view token) {
    if (token.find('"') != std::string_view::npos) return std::string(token);
    std::string quoted(1, '"');
    quoted.append(token);
    quoted += '"';
    return quoted;
}

// Numbers and words as written stay bare; anything the compiler would cut is quoted.
std::string Token(std::string_view token) {
    bool bare = !token.empty();
    for (char c : token) {
        bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                     c == '_' || c == '.' || c == '-' || c == '+';
        bare = bare && plain;
    }
    return bare ? std::string(token) : Quoted(token);
}

// The lines of a text as read, without their line ends.
std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

class CQcText {
  public:
    explicit CQcText(const std::string& lineEnd) : m_end(lineEnd) {}
    void Line(std::string_view line) {
        m_text += line;
        m_text += m_end;
    }
    // A command's text as read, each of its lines ended by the chosen line end.
    void Lines(std::string_view text) {
        for (std::string_view line : SplitLines(text)) Line(line);
    }
    // Lines the model compiler skips, each written as a comment of every compiler: a "/*" that
    // one compiler skips and another honours would hide the sequences after it from the latter.
    void Comments(std::string_view text) {
        for (std::string_view line : SplitLines(text)) {
            std::size_t first = line.find_first_not_of(" \t");
            bool comment = first == std::string_view::npos || line[first] == ';' ||
                           line[first] == '#' || line.substr(first, 2) == "//";
            Line(comment ? std::string(line) : "// " + std::string(line));
        }
    }
    std::string& Text() { return m_text; }

  private:
    std::string m_end;
    std::string m_text;
};

const CTextCatalog& TextsOf(const QC_SET_QC& in) {
    return in.texts != nullptr ? *in.texts : OriginalTexts();
}

// The mesh that a $body or "studio" names, from the target's $cd.
std::string MeshPath(const QC_SCRIPT& target, const std::string& written) {
    CDiskQcFiles disk;
    std::string wanted = SmdPathOf(target.cd.path, written);
    return LocateQcPath(disk, wanted).value_or(wanted);
}

// A $cdtexture folder of the target; one from another machine falls back to where its SMDs are.
std::string TextureFolder(const QC_SCRIPT& target, const std::string& written) {
    CDiskQcFiles disk;
    std::optional<std::string> found = LocateQcPath(disk, JoinQcPath(target.folder, written));
    return found && disk.IsFolder(*found) ? *found : target.cd.path;
}

// One item of a sequence as written: an SMD or an option with its values, on its line.
struct SEQUENCE_ITEM {
    int line = 0;
    std::string text;
};

std::vector<SEQUENCE_ITEM> SequenceItems(const QC_SEQUENCE& seq, const QC_ENTRY& entry,
                                         const std::vector<std::string>& names) {
    std::vector<SEQUENCE_ITEM> items;
    const std::vector<std::string>& args = entry.arguments;
    std::size_t s = 0, o = 0;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& token = args[i];
        if (token == "{" || token == "}") continue;
        if (Same(token, "animation") && s < seq.smds.size() && seq.smds[s].byAnimationWord &&
            i + 1 < args.size()) {
            items.push_back({seq.smds[s].line, token + " " + Quoted(names[s])});
            ++s;
            ++i;
            continue;
        }
        if (o < seq.options.size() && token == seq.options[o].word) {
            const QC_OPTION& option = seq.options[o++];
            std::string text = option.word;
            for (std::size_t v = 0; v < option.values.size(); ++v) {
                bool eventText = option.kind == QC_OPTION_KIND::EVENT && v == 2;
                text += ' ';
                text += eventText ? Quoted(option.values[v]) : Token(option.values[v]);
            }
            items.push_back({option.line, text});
            i += option.values.size();
            continue;
        }
        if (s < seq.smds.size()) {
            items.push_back({seq.smds[s].line, Quoted(names[s])});
            ++s;
        }
    }
    return items;
}

void WriteSequence(CQcText& out, const QC_SEQUENCE& seq, const QC_ENTRY& entry,
                   const std::vector<std::string>& names) {
    std::vector<SEQUENCE_ITEM> items = SequenceItems(seq, entry, names);
    std::string head = "$sequence " + Quoted(seq.name);
    if (!seq.braced) {
        for (const SEQUENCE_ITEM& item : items) head += " " + item.text;
        out.Line(head);
        return;
    }
    // The items keep their lines: an event without its text ends its line, as it did.
    out.Line(head + " {");
    std::string line;
    int at = 0;
    for (const SEQUENCE_ITEM& item : items) {
        if (!line.empty() && item.line != at) {
            out.Line("    " + line);
            line.clear();
        }
        at = item.line;
        line += (line.empty() ? "" : " ") + item.text;
    }
    if (!line.empty()) out.Line("    " + line);
    out.Line("}");
}

void WriteTargetHead(CQcText& out, const QC_SET_QC& in) {
    const QC_SCRIPT& target = *in.target;
    const CTextCatalog& texts = TextsOf(in);
    const std::string dir = in.outDir;
    out.Line("$cd \".\"");
    bool named = false;
    for (const QC_ENTRY& entry : target.entries) named = named || entry.command == "$modelname";
    if (!named) out.Line("$modelname " + Quoted(in.modelName + ".mdl"));
    if (target.cdTextures.empty()) {
        // Without $cdtexture the compiler takes textures from $cd, which is now this folder.
        out.Line("$cdtexture " + Quoted(RelativeQcPath(target.cd.path, dir)));
    }
    bool saidSequences = false;
    for (const QC_ENTRY& entry : target.entries) {
        switch (entry.kind) {
            case QC_ENTRY_KIND::TEXT:
                out.Comments(entry.text);
                continue;
            case QC_ENTRY_KIND::INCLUDE:
                out.Line("// " + texts.Tr("$include {0} : écrit ici", {Quoted(entry.arguments[0])}));
                continue;
            case QC_ENTRY_KIND::SEQUENCE:
                if (!saidSequences) {
                    out.Line("// " + texts.Tr("les $sequence de {0} ne sont pas reprises : les "
                                              "séquences sont celles de {1}",
                                              {FileNameOf(target.source), FileNameOf(in.source->source)}));
                    saidSequences = true;
                }
                continue;
            case QC_ENTRY_KIND::COMMAND:
                break;
        }
        const std::vector<std::string>& args = entry.arguments;
        if (entry.command == "$cd" || entry.command == "$sequencegroup") continue;
        if (entry.command == "$cdtexture") {
            std::string line = "$cdtexture";
            for (const std::string& folder : args) {
                line += ' ';
                line += Quoted(RelativeQcPath(TextureFolder(target, folder), dir));
            }
            out.Line(line);
        } else if (entry.command == "$body" && args.size() >= 2) {
            std::string line = "$body " + Quoted(args[0]) + " " +
                               Quoted(WithoutSmd(RelativeQcPath(MeshPath(target, args[1]), dir)));
            for (std::size_t i = 2; i < args.size(); ++i) {
                line += ' ';
                line += Token(args[i]);
            }
            out.Line(line);
        } else if (entry.command == "$bodygroup" && !args.empty()) {
            out.Line("$bodygroup " + Quoted(args[0]));
            std::string line;
            for (std::size_t i = 1; i < args.size(); ++i) {
                const std::string& token = args[i];
                bool starts = token == "{" || token == "}" || Same(token, "studio") ||
                              Same(token, "blank");
                if (starts && !line.empty()) {
                    out.Line(line);
                    line.clear();
                }
                if (token == "{" || token == "}") {
                    out.Line(token);
                } else if (Same(token, "studio") && i + 1 < args.size()) {
                    line = "    studio " + Quoted(WithoutSmd(RelativeQcPath(
                                                MeshPath(target, args[i + 1]), dir)));
                    ++i;
                } else {
                    line += (line.empty() ? "    " : " ") + Token(token);
                }
            }
            if (!line.empty()) out.Line(line);
        } else {
            out.Lines(entry.text);
        }
    }
}

void WriteMinimalHead(CQcText& out, const QC_SET_QC& in) {
    std::string model = RelativeQcPath(in.modelSmd, in.outDir);
    out.Line("$modelname " + Quoted(in.modelName + ".mdl"));
    out.Line("$cd \".\"");
    out.Line("$cdtexture " + Quoted(RelativeQcPath(QcFolderOf(in.modelSmd), in.outDir)));
    out.Line("$body \"studio\" " + Quoted(WithoutSmd(model)));
}

bool IsSequenceCommand(const QC_ENTRY& entry) {
    return entry.kind == QC_ENTRY_KIND::SEQUENCE ||
           (entry.kind == QC_ENTRY_KIND::COMMAND && entry.command == "$sequencegroup");
}

}  // namespace

std::string RelativeQcPath(const std::string& path, const std::string& folder) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::path a = fs::weakly_canonical(fs::absolute(PathFromUtf8(SlashedPath(path)), error), error);
    fs::path b = fs::weakly_canonical(fs::absolute(PathFromUtf8(SlashedPath(folder)), error), error);
    fs::path relative = a.lexically_relative(b);
    if (error) return SlashedPath(path);
    if (relative.empty()) return SlashedPath(Utf8FromPath(a));
    return SlashedPath(Utf8FromPath(relative));
}

std::vector<std::string> TargetMeshPaths(const QC_SCRIPT& target) {
    std::vector<std::string> paths;
    for (const QC_ENTRY& entry : target.entries) {
        if (entry.kind != QC_ENTRY_KIND::COMMAND) continue;
        const std::vector<std::string>& args = entry.arguments;
        if (entry.command == "$body" && args.size() >= 2) paths.push_back(MeshPath(target, args[1]));
        if (entry.command != "$bodygroup") continue;
        for (std::size_t i = 1; i + 1 < args.size(); ++i) {
            if (Same(args[i], "studio")) paths.push_back(MeshPath(target, args[i + 1]));
        }
    }
    return paths;
}

QC_SET_QC_TEXT WriteSetQc(const QC_SET_QC& in) {
    const CTextCatalog& texts = TextsOf(in);
    const QC_SCRIPT& source = *in.source;
    QC_SET_QC_TEXT result;
    CQcText out(in.lineEnd);
    out.Line("// " + texts.Tr("{0}.qc, écrit par Varnex : les séquences de {1} sur {2}",
                              {in.modelName, FileNameOf(source.source), FileNameOf(in.modelSmd)}));
    if (in.target != nullptr) {
        WriteTargetHead(out, in);
        for (const std::string& mesh : TargetMeshPaths(*in.target)) {
            result.meshNames.push_back(WithoutSmd(RelativeQcPath(mesh, in.outDir)));
        }
    } else {
        WriteMinimalHead(out, in);
        result.meshNames.push_back(WithoutSmd(RelativeQcPath(in.modelSmd, in.outDir)));
    }
    out.Line("");
    out.Line("// " + texts.Tr("séquences de {0}", {FileNameOf(source.source)}));
    // Comments and blank lines between the sequences are kept; the source's other commands
    // describe its own model and are not.
    bool started = false;
    CQcText between(in.lineEnd);
    for (const QC_ENTRY& entry : source.entries) {
        if (entry.kind == QC_ENTRY_KIND::TEXT) {
            if (started) between.Comments(entry.text);
            continue;
        }
        if (entry.kind == QC_ENTRY_KIND::INCLUDE) {
            between.Line("// " + texts.Tr("$include {0} : écrit ici", {Quoted(entry.arguments[0])}));
            continue;
        }
        bool originScale = entry.kind == QC_ENTRY_KIND::COMMAND &&
                           (entry.command == "$origin" || entry.command == "$scale" ||
                            entry.command == "$rotate");
        if (!IsSequenceCommand(entry) && !originScale) continue;
        out.Text() += between.Text();
        between.Text().clear();
        started = true;
        if (originScale) {
            std::string command = entry.command;
            for (const std::string& arg : entry.arguments) command += " " + arg;
            out.Line("// " + texts.Tr("non repris de {0} (mesuré sur son squelette) : {1}",
                                      {FileNameOf(entry.file), command}));
            continue;
        }
        if (entry.kind == QC_ENTRY_KIND::COMMAND) {
            out.Lines(entry.text);
            continue;
        }
        const std::size_t index = static_cast<std::size_t>(entry.sequence);
        const QC_SEQUENCE& seq = source.sequences[index];
        if (index >= in.smdNames.size() || in.smdNames[index].empty()) {
            std::string why = index < in.refusedWhy.size() ? in.refusedWhy[index] : std::string();
            out.Line("// " + texts.Tr("$sequence {0} non écrite : {1} n'a pas pu être construit",
                                      {Quoted(seq.name), why}));
            continue;
        }
        for (const QC_OPTION& option : seq.options) {
            if (option.kind == QC_OPTION_KIND::ORIGIN || option.kind == QC_OPTION_KIND::ROTATE ||
                option.kind == QC_OPTION_KIND::SCALE) {
                result.warnings.push_back({QC_SET_WARNING_CODE::SOURCE_OPTION_COPIED,
                                           seq.file,
                                           option.line,
                                           {seq.name, option.word}});
            }
        }
        WriteSequence(out, seq, entry, in.smdNames[index]);
    }
    result.text = std::move(out.Text());
    return result;
}

}  // namespace varnex
