#include "qc/qc_set.h"

#include <cerrno>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <system_error>

#include "platform/file_access.h"
#include "platform/native_path.h"
#include "qc/qc_writer.h"
#include "smd_input/number_text.h"

namespace varnex {

namespace fs = std::filesystem;

namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = LowerAscii(c);
    return lower;
}

bool BeginsIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && Lower(text.substr(0, prefix.size())) == prefix;
}

std::string WithoutExtension(const std::string& name, std::string_view extension) {
    if (name.size() > extension.size() &&
        Lower(std::string_view(name).substr(name.size() - extension.size())) == extension) {
        return name.substr(0, name.size() - extension.size());
    }
    return name;
}

// The "time" number of a line, as the compiler's sscanf reads it.
std::optional<int> TimeNumber(std::string_view line) {
    std::string_view fields[3];
    if (SplitFields(line, fields, 3) < 2 || fields[0] != "time") return std::nullopt;
    return TextToInt(fields[1]);
}

std::string Identity(const std::string& path) {
    std::error_code error;
    fs::path canonical = fs::weakly_canonical(PathFromUtf8(path), error);
    return error ? path : Utf8FromPath(canonical);
}

// An animation of the set: one SMD file, however many sequences name it.
struct SET_ANIMATION {
    std::string path;     // the source SMD
    std::string written;  // as the first sequence naming it writes it
    bool found = false;
    std::string name;     // the built file's, relative to the output folder, without ".smd"
    std::vector<std::size_t> sequences;
    bool built = false;
    BUILT_ANIMATION result;
    std::optional<CVarnexError> error;
};

// The staging folder inside the output folder, removed with the object; the output folder too
// when the run made it and left nothing in it.
class CStaging {
  public:
    explicit CStaging(const std::string& outDir) : m_dir(PathFromUtf8(outDir)) {
        std::error_code error;
        if (!fs::exists(m_dir, error)) {
            fs::create_directories(m_dir, error);
            if (error) throw CVarnexError(ERROR_KIND::CREATE_FAILED, outDir, 0, {}, error.value());
            m_madeDir = true;
        } else if (!fs::is_directory(m_dir, error)) {
            throw CVarnexError(ERROR_KIND::CREATE_FAILED, outDir, 0, {}, ENOTDIR);
        }
        for (int n = 1;; ++n) {
            m_path = m_dir / (".varnex-qc-" + std::to_string(n));
            if (fs::create_directory(m_path, error)) break;
            if (error || n >= 1000) {
                throw CVarnexError(ERROR_KIND::CREATE_FAILED, Utf8FromPath(m_path), 0, {},
                                   error ? error.value() : EEXIST);
            }
        }
    }
    ~CStaging() {
        std::error_code error;
        fs::remove_all(m_path, error);
        if (m_madeDir) fs::remove(m_dir, error);  // only when empty
    }
    CStaging(const CStaging&) = delete;
    CStaging& operator=(const CStaging&) = delete;

    const fs::path& Path() const { return m_path; }
    const fs::path& Dir() const { return m_dir; }

    // Moves a staged file to its place in the output folder, over the set's own of a last run.
    std::string Move(const std::string& relative) {
        fs::path from = m_path / PathFromUtf8(relative);
        fs::path to = m_dir / PathFromUtf8(relative);
        std::error_code error;
        fs::create_directories(to.parent_path(), error);
        // The last run's file unlinked first: ext4 flushes to the disk each file renamed over
        // another, four times the set's time; each file is whole either way.
        std::error_code absent;
        if (!error && fs::is_regular_file(to, absent)) fs::remove(to, error);
        if (!error) fs::rename(from, to, error);
        if (error) {
            throw CVarnexError(ERROR_KIND::REPLACE_FAILED, Utf8FromPath(to), 0, {}, error.value());
        }
        return Utf8FromPath(to);
    }

  private:
    fs::path m_dir;
    fs::path m_path;
    bool m_madeDir = false;
};

QC_SEQUENCE_PLACE PlaceOf(const QC_SEQUENCE& seq) { return {seq.name, seq.file, seq.line}; }

struct CHECK_INPUT {
    const QC_SCRIPT* source = nullptr;
    const SMD_HEAD* model = nullptr;
    const std::vector<SET_ANIMATION>* animations = nullptr;
    const std::vector<std::vector<std::size_t>>* smdsOf = nullptr;
    const std::vector<bool>* written = nullptr;
    const std::vector<std::string>* meshNames = nullptr;
};

bool IsPlayerSequence(const QC_SEQUENCE& seq) {
    for (const char* prefix : {"ref_aim_", "crouch_aim_", "ref_shoot_", "crouch_shoot_"}) {
        if (BeginsIgnoringCase(seq.name, prefix)) return true;
    }
    // ACT_WALK, ACT_RUN, ACT_CROUCH, ACT_CROUCHIDLE
    return seq.activity == 3 || seq.activity == 4 || seq.activity == 17 || seq.activity == 18;
}

void CheckSet(const CHECK_INPUT& in, std::vector<QC_SET_WARNING>& warnings) {
    using C = QC_SET_WARNING_CODE;
    const QC_SCRIPT& source = *in.source;
    const SMD_HEAD& model = *in.model;
    auto warn = [&warnings](C code, const std::string& file, int line,
                            std::vector<std::string> values) {
        warnings.push_back({code, file, line, std::move(values)});
    };
    if (model.nodes.size() >= static_cast<std::size_t>(QC_MAX_BONES)) {
        warn(C::TOO_MANY_NODES, model.source, 0, {model.source, std::to_string(model.nodes.size())});
    }
    std::map<int, std::string> nameOf;
    for (const SMD_NODE& node : model.nodes) nameOf[node.number] = node.name;
    std::map<std::string, std::string> parentOf;
    for (const SMD_NODE& node : model.nodes) {
        if (node.name.size() > static_cast<std::size_t>(QC_MAX_NAME)) {
            warn(C::NODE_NAME_TOO_LONG, model.source, node.lineNumber, {node.name});
        }
        parentOf.emplace(node.name, node.parent < 0 ? std::string() : nameOf[node.parent]);
    }
    int writtenCount = 0;
    bool player = false;
    for (std::size_t i = 0; i < source.sequences.size(); ++i) {
        if (!(*in.written)[i]) continue;
        ++writtenCount;
        const QC_SEQUENCE& seq = source.sequences[i];
        player = player || IsPlayerSequence(seq);
        if (seq.name.size() > static_cast<std::size_t>(QC_MAX_NAME)) {
            warn(C::SEQUENCE_NAME_TOO_LONG, seq.file, seq.line, {seq.name});
        }
        for (const QC_EVENT& event : seq.events) {
            if (event.text.size() > static_cast<std::size_t>(QC_MAX_EVENT_TEXT)) {
                warn(C::EVENT_TEXT_TOO_LONG, seq.file, event.line, {seq.name, event.text});
            }
        }
        if (seq.smds.size() > static_cast<std::size_t>(QC_MAX_BLENDS)) {
            warn(C::TOO_MANY_SMDS, seq.file, seq.line, {seq.name, std::to_string(seq.smds.size())});
        }
        if (!seq.hasFrameRange) continue;
        if (seq.frameEnd > QC_MAX_FRAME) {
            warn(C::FRAME_RANGE_ABOVE_LIMIT, seq.file, seq.line,
                 {seq.name, std::to_string(seq.frameEnd)});
        }
        for (std::size_t a : std::set<std::size_t>((*in.smdsOf)[i].begin(), (*in.smdsOf)[i].end())) {
            const SET_ANIMATION& anim = (*in.animations)[a];
            const BUILT_ANIMATION& built = anim.result;
            if (!built.hasTimes) continue;
            if (seq.frameStart < built.firstTime || seq.frameEnd > built.lastTime) {
                warn(C::FRAME_RANGE_OUTSIDE_TIMES, seq.file, seq.line,
                     {seq.name, std::to_string(seq.frameStart), std::to_string(seq.frameEnd),
                      anim.name, std::to_string(built.firstTime), std::to_string(built.lastTime)});
            }
        }
    }
    if (writtenCount > QC_MAX_SEQUENCES) {
        warn(C::TOO_MANY_SEQUENCES, source.source, 0, {std::to_string(writtenCount)});
    }
    std::set<std::size_t> used;
    for (std::size_t i = 0; i < source.sequences.size(); ++i) {
        if ((*in.written)[i]) used.insert((*in.smdsOf)[i].begin(), (*in.smdsOf)[i].end());
    }
    for (std::size_t a : used) {
        const SET_ANIMATION& anim = (*in.animations)[a];
        const BUILT_ANIMATION& built = anim.result;
        if (built.hasTimes && built.timesOutside > 0) {
            warn(C::TIME_OUTSIDE_RANGE, anim.path, 0,
                 {anim.name, std::to_string(built.timesOutside), std::to_string(built.firstTime),
                  std::to_string(built.lastTime)});
        }
        std::map<int, std::string> builtName;
        for (const SMD_NODE& node : built.nodes) builtName[node.number] = node.name;
        for (const SMD_NODE& node : built.nodes) {
            auto it = parentOf.find(node.name);
            if (it == parentOf.end()) continue;
            std::string parent = node.parent < 0 ? std::string() : builtName[node.parent];
            if (parent != it->second) {
                warn(C::PARENT_DISAGREES, anim.path, 0, {anim.name, node.name, parent, it->second});
            }
        }
    }
    for (const std::string& mesh : *in.meshNames) {
        if (mesh.size() > static_cast<std::size_t>(QC_MAX_PATH)) {
            warn(C::PATH_TOO_LONG, model.source, 0, {mesh});
        }
    }
    if (player) {
        std::string missing;
        for (const char* name : {"Bip01 Spine", "Bip01 Pelvis"}) {
            if (parentOf.count(name) == 0) missing += std::string(missing.empty() ? "" : "\n") + name;
        }
        if (!missing.empty()) warn(C::PLAYER_NODES_MISSING, model.source, 0, {missing});
    }
}

}  // namespace

BUILT_ANIMATION ScanSmdAnimation(const std::string& path) {
    CFile file;
    file.OpenForReading(path);
    CLineReader reader(file);
    BUILT_ANIMATION built;
    built.nodes = ReadAnimationHead(reader).nodes;
    std::string_view line;
    while (reader.Next(line)) {
        if (IsKeywordLine(line, "end")) break;
        std::optional<int> time = TimeNumber(line);
        if (!time) continue;
        if (!built.hasTimes || *time < built.firstTime) built.firstTime = *time;
        if (!built.hasTimes || *time > built.lastTime) built.lastTime = *time;
        built.hasTimes = true;
        if (*time < 0 || *time > QC_MAX_FRAME) ++built.timesOutside;
    }
    return built;
}

bool SmdHasTriangles(const std::string& path) {
    CFile file;
    file.OpenForReading(path);
    CLineReader reader(file);
    std::string_view line;
    while (reader.Next(line)) {
        if (IsKeywordLine(line, "triangles")) return true;
    }
    return false;
}

const char* QcSetWarningCodeText(QC_SET_WARNING_CODE code) {
    using C = QC_SET_WARNING_CODE;
    switch (code) {
        case C::MODEL_WITHOUT_TRIANGLES: return "model-without-triangles";
        case C::TOO_MANY_NODES: return "too-many-nodes";
        case C::NODE_NAME_TOO_LONG: return "node-name-too-long";
        case C::SEQUENCE_NAME_TOO_LONG: return "sequence-name-too-long";
        case C::EVENT_TEXT_TOO_LONG: return "event-text-too-long";
        case C::TOO_MANY_SEQUENCES: return "too-many-sequences";
        case C::TIME_OUTSIDE_RANGE: return "time-outside-range";
        case C::FRAME_RANGE_ABOVE_LIMIT: return "frame-range-above-limit";
        case C::FRAME_RANGE_OUTSIDE_TIMES: return "frame-range-outside-times";
        case C::TOO_MANY_SMDS: return "too-many-smds";
        case C::PATH_TOO_LONG: return "path-too-long";
        case C::PARENT_DISAGREES: return "parent-disagrees";
        case C::PLAYER_NODES_MISSING: return "player-nodes-missing";
        case C::SOURCE_OPTION_COPIED: return "source-option-copied";
    }
    return "qc";
}

std::vector<std::string> BuiltSmdNames(const std::vector<std::string>& written) {
    // Room for "_NNN" under the compiler's 64 bytes.
    constexpr std::size_t LONGEST = QC_MAX_PATH - 4;
    std::set<std::string> taken;
    std::vector<std::string> names;
    for (const std::string& name : written) {
        std::string path = SlashedPath(WithoutExtension(name, ".smd"));
        std::vector<std::string> parts;
        std::size_t start = 0;
        while (start <= path.size()) {
            std::size_t end = path.find('/', start);
            if (end == std::string::npos) end = path.size();
            std::string part = path.substr(start, end - start);
            start = end + 1;
            bool drive = parts.empty() && part.size() == 2 && part[1] == ':';
            if (part.empty() || part == "." || part == ".." || drive) continue;
            for (char& c : part) {
                unsigned char u = static_cast<unsigned char>(c);
                if (u < 32 || u > 126 || std::string_view("<>:\"|?*").find(c) != std::string_view::npos) {
                    c = '_';
                }
            }
            parts.push_back(part);
        }
        std::string built;
        for (const std::string& part : parts) built += (built.empty() ? "" : "/") + part;
        if (built.empty()) built = "anim";
        if (built.size() > LONGEST) built = parts.back();
        if (built.size() > LONGEST) built.resize(LONGEST);
        std::string candidate = built;
        for (int n = 2; taken.count(Lower(candidate)) != 0; ++n) {
            candidate = built + "_" + std::to_string(n);
        }
        taken.insert(Lower(candidate));
        names.push_back(candidate);
    }
    return names;
}

QC_SET_RESULT BuildQcSet(const QC_SET_REQUEST& r, const BUILD_ONE_ANIMATION& build) {
    QC_SET_RESULT result;
    QC_SCRIPT source = ReadQcFile(r.sourceQc);
    std::optional<QC_SCRIPT> target;
    if (!r.targetQc.empty()) target = ReadQcFile(r.targetQc);
    result.readWarnings = source.warnings;
    if (target) {
        result.readWarnings.insert(result.readWarnings.end(), target->warnings.begin(),
                                   target->warnings.end());
    }
    SMD_HEAD model = ReadModelFile(r.modelSmd);
    bool triangles = target || SmdHasTriangles(r.modelSmd);
    result.sequences = static_cast<int>(source.sequences.size());

    // Each file once, in the order the sequences first name it.
    CDiskQcFiles disk;
    std::vector<SET_ANIMATION> animations;
    std::map<std::string, std::size_t> byIdentity;
    std::vector<std::vector<std::size_t>> smdsOf(source.sequences.size());
    for (std::size_t i = 0; i < source.sequences.size(); ++i) {
        for (const QC_SMD_NAME& smd : source.sequences[i].smds) {
            std::optional<std::string> found = LocateSmd(disk, source.cd.path, smd.name);
            std::string path = found.value_or(SmdPathOf(source.cd.path, smd.name));
            std::string id = found ? Identity(path) : "\n" + path;
            auto [it, added] = byIdentity.emplace(id, animations.size());
            if (added) {
                animations.emplace_back();
                animations.back().path = path;
                animations.back().written = smd.name;
                animations.back().found = found.has_value();
            }
            SET_ANIMATION& anim = animations[it->second];
            if (anim.sequences.empty() || anim.sequences.back() != i) anim.sequences.push_back(i);
            smdsOf[i].push_back(it->second);
        }
    }
    std::vector<std::string> written;
    for (const SET_ANIMATION& anim : animations) written.push_back(anim.written);
    std::vector<std::string> names = BuiltSmdNames(written);
    for (std::size_t a = 0; a < animations.size(); ++a) animations[a].name = names[a];

    // Nothing written may replace an input.
    std::vector<std::string> inputs = {r.sourceQc, r.modelSmd};
    for (const QC_PATH& include : source.includes) inputs.push_back(include.path);
    if (target) {
        inputs.push_back(r.targetQc);
        for (const QC_PATH& include : target->includes) inputs.push_back(include.path);
        for (const std::string& mesh : TargetMeshPaths(*target)) inputs.push_back(mesh);
    }
    for (const SET_ANIMATION& anim : animations) inputs.push_back(anim.path);
    inputs.insert(inputs.end(), r.otherInputs.begin(), r.otherInputs.end());
    std::set<std::string> inputIds;
    for (const std::string& input : inputs) inputIds.insert(Identity(input));
    std::string modelName = target ? WithoutExtension(FileNameOf(r.targetQc), ".qc")
                                   : WithoutExtension(FileNameOf(r.modelSmd), ".smd");
    auto refuseInput = [&](const std::string& relative) {
        fs::path out = PathFromUtf8(r.outDir) / PathFromUtf8(relative);
        std::error_code error;
        if (fs::exists(out, error) && inputIds.count(Identity(Utf8FromPath(out))) != 0) {
            throw CVarnexError(ERROR_KIND::OUTPUT_IS_INPUT, Utf8FromPath(out), 0);
        }
    };
    refuseInput(modelName + ".qc");
    for (const SET_ANIMATION& anim : animations) refuseInput(anim.name + ".smd");
    result.qcPath = Utf8FromPath(PathFromUtf8(r.outDir) / PathFromUtf8(modelName + ".qc"));

    CStaging staging(r.outDir);
    auto cancelled = [&r] { return r.cancel != nullptr && r.cancel->load(); };
    const int count = static_cast<int>(animations.size());
    for (int k = 0; k < count; ++k) {
        SET_ANIMATION& anim = animations[static_cast<std::size_t>(k)];
        if (cancelled()) break;
        if (r.progress) r.progress(k + 1, count, anim.name);
        if (!anim.found) {
            anim.error = CVarnexError(ERROR_KIND::OPEN_FAILED, anim.path, 0, {}, ENOENT);
            continue;
        }
        fs::path out = staging.Path() / PathFromUtf8(anim.name + ".smd");
        std::error_code error;
        fs::create_directories(out.parent_path(), error);
        try {
            if (error) {
                throw CVarnexError(ERROR_KIND::CREATE_FAILED, Utf8FromPath(out), 0, {},
                                   error.value());
            }
            anim.result = build(anim.path, Utf8FromPath(out));
            if (anim.result.nodes.empty() && !anim.result.hasTimes) {
                std::vector<std::string> notes = std::move(anim.result.notes);
                anim.result = ScanSmdAnimation(Utf8FromPath(out));
                anim.result.notes = std::move(notes);
            }
            anim.built = true;
        } catch (const CVarnexError& e) {
            anim.error = e;
            fs::remove(out, error);
        }
    }
    if (cancelled()) {
        result.cancelled = true;
        return result;
    }
    for (const SET_ANIMATION& anim : animations) {
        if (!anim.error) continue;
        QC_REFUSAL refusal{anim.path, {}, *anim.error};
        for (std::size_t i : anim.sequences) refusal.sequences.push_back(PlaceOf(source.sequences[i]));
        result.refusals.push_back(std::move(refusal));
    }
    if (!result.refusals.empty() && !r.keepGoing) return result;

    QC_SET_QC qc;
    qc.source = &source;
    qc.target = target ? &*target : nullptr;
    qc.modelSmd = r.modelSmd;
    qc.outDir = r.outDir;
    qc.modelName = modelName;
    qc.lineEnd = r.lineEnd;
    qc.texts = r.texts;
    qc.smdNames.resize(source.sequences.size());
    qc.refusedWhy.resize(source.sequences.size());
    std::vector<bool> isWritten(source.sequences.size(), false);
    for (std::size_t i = 0; i < source.sequences.size(); ++i) {
        std::vector<std::string> smdNames;
        for (std::size_t a : smdsOf[i]) {
            if (!animations[a].built) {
                qc.refusedWhy[i] = animations[a].written;
                smdNames.clear();
                break;
            }
            smdNames.push_back(animations[a].name);
        }
        isWritten[i] = !smdNames.empty();
        if (isWritten[i]) ++result.sequencesWritten;
        qc.smdNames[i] = std::move(smdNames);
    }
    QC_SET_QC_TEXT text = WriteSetQc(qc);
    if (!triangles) {
        result.warnings.push_back(
            {QC_SET_WARNING_CODE::MODEL_WITHOUT_TRIANGLES, r.modelSmd, 0, {r.modelSmd}});
    }
    CHECK_INPUT check{&source, &model, &animations, &smdsOf, &isWritten, &text.meshNames};
    CheckSet(check, result.warnings);
    result.warnings.insert(result.warnings.end(), text.warnings.begin(), text.warnings.end());

    {
        CAtomicOutput out(Utf8FromPath(staging.Path() / PathFromUtf8(modelName + ".qc")));
        out.Write(text.text);
        out.Commit();
    }
    // Only the files a written sequence names are moved; the others go with the staging folder.
    std::vector<bool> moved(animations.size(), false);
    for (std::size_t i = 0; i < source.sequences.size(); ++i) {
        if (!isWritten[i]) continue;
        for (std::size_t a : smdsOf[i]) {
            if (moved[a]) continue;
            moved[a] = true;
            result.files.push_back(staging.Move(animations[a].name + ".smd"));
            for (const std::string& note : animations[a].result.notes) result.notes.push_back(note);
        }
    }
    result.files.push_back(staging.Move(modelName + ".qc"));
    result.written = true;
    return result;
}

}  // namespace varnex
