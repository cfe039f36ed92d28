#include "qc/qc_reader.h"

#include <algorithm>
#include <array>
#include <cerrno>

#include "platform/varnex_error.h"
#include "smd_input/number_text.h"

namespace varnex {

namespace {

// The activities the compiler knows, numbered from 1 in this order.
constexpr std::array<const char*, 76> ACTIVITY_NAMES = {
    "ACT_IDLE",
    "ACT_GUARD",
    "ACT_WALK",
    "ACT_RUN",
    "ACT_FLY",
    "ACT_SWIM",
    "ACT_HOP",
    "ACT_LEAP",
    "ACT_FALL",
    "ACT_LAND",
    "ACT_STRAFE_LEFT",
    "ACT_STRAFE_RIGHT",
    "ACT_ROLL_LEFT",
    "ACT_ROLL_RIGHT",
    "ACT_TURN_LEFT",
    "ACT_TURN_RIGHT",
    "ACT_CROUCH",
    "ACT_CROUCHIDLE",
    "ACT_STAND",
    "ACT_USE",
    "ACT_SIGNAL1",
    "ACT_SIGNAL2",
    "ACT_SIGNAL3",
    "ACT_TWITCH",
    "ACT_COWER",
    "ACT_SMALL_FLINCH",
    "ACT_BIG_FLINCH",
    "ACT_RANGE_ATTACK1",
    "ACT_RANGE_ATTACK2",
    "ACT_MELEE_ATTACK1",
    "ACT_MELEE_ATTACK2",
    "ACT_RELOAD",
    "ACT_ARM",
    "ACT_DISARM",
    "ACT_EAT",
    "ACT_DIESIMPLE",
    "ACT_DIEBACKWARD",
    "ACT_DIEFORWARD",
    "ACT_DIEVIOLENT",
    "ACT_BARNACLE_HIT",
    "ACT_BARNACLE_PULL",
    "ACT_BARNACLE_CHOMP",
    "ACT_BARNACLE_CHEW",
    "ACT_SLEEP",
    "ACT_INSPECT_FLOOR",
    "ACT_INSPECT_WALL",
    "ACT_IDLE_ANGRY",
    "ACT_WALK_HURT",
    "ACT_RUN_HURT",
    "ACT_HOVER",
    "ACT_GLIDE",
    "ACT_FLY_LEFT",
    "ACT_FLY_RIGHT",
    "ACT_DETECT_SCENT",
    "ACT_SNIFF",
    "ACT_BITE",
    "ACT_THREAT_DISPLAY",
    "ACT_FEAR_DISPLAY",
    "ACT_EXCITED",
    "ACT_SPECIAL_ATTACK1",
    "ACT_SPECIAL_ATTACK2",
    "ACT_COMBAT_IDLE",
    "ACT_WALK_SCARED",
    "ACT_RUN_SCARED",
    "ACT_VICTORY_DANCE",
    "ACT_DIE_HEADSHOT",
    "ACT_DIE_CHESTSHOT",
    "ACT_DIE_GUTSHOT",
    "ACT_DIE_BACKSHOT",
    "ACT_FLINCH_HEAD",
    "ACT_FLINCH_CHEST",
    "ACT_FLINCH_STOMACH",
    "ACT_FLINCH_LEFTARM",
    "ACT_FLINCH_RIGHTARM",
    "ACT_FLINCH_LEFTLEG",
    "ACT_FLINCH_RIGHTLEG",
};

constexpr std::array<const char*, 15> MOTION_NAMES = {
    "X", "Y", "Z", "XR", "YR", "ZR", "LX", "LY", "LZ", "AX", "AY", "AZ", "AXR", "AYR", "AZR",
};

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// stricmp and strnicmp as the compiler calls them.
bool Same(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return LowerAscii(x) == LowerAscii(y);
           });
}
bool Begins(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && Same(text.substr(0, prefix.size()), prefix);
}

// The compiler reads bytes as signed chars: a byte above 127 is a blank to it.
bool IsQcBlank(char c) { return static_cast<signed char>(c) <= 32; }

struct QC_TOKEN {
    std::string text;
    int line = 0;
    bool firstOnLine = false;
    bool cut = false;          // a byte above 127 touches it outside quotes
    int blockCommentLine = 0;  // inside "/* */" opened on that line; 0 outside
};

// The source cut into tokens as the compiler's GetToken cuts it, with what the parser needs to
// say about its lines.
struct QC_TOKENS {
    std::vector<QC_TOKEN> tokens;
    std::vector<std::size_t> lineStarts;  // offset of each line's first byte, line 1 first
    std::vector<bool> hardComment;        // by line (from 1): a "//" or "#" comment ends it
};

QC_TOKENS Tokenize(std::string_view bytes, const std::string& source) {
    QC_TOKENS out;
    out.lineStarts.push_back(0);
    out.hardComment.assign(2, false);
    int line = 1;
    bool lineHasToken = false;
    int blockLine = 0;
    std::size_t pos = 0;
    const std::size_t size = bytes.size();
    while (pos < size) {
        char c = bytes[pos];
        if (IsQcBlank(c)) {
            ++pos;
            if (c == '\n') {
                ++line;
                out.lineStarts.push_back(pos);
                out.hardComment.push_back(false);
                lineHasToken = false;
            }
            continue;
        }
        bool slashes = c == '/' && pos + 1 < size && bytes[pos + 1] == '/';
        if (c == ';' || c == '#' || slashes) {
            if (c != ';') out.hardComment[line] = true;
            while (pos < size && bytes[pos] != '\n') ++pos;
            continue;
        }
        QC_TOKEN token;
        token.line = line;
        token.firstOnLine = !lineHasToken;
        if (c == '"') {
            std::size_t close = bytes.find_first_of("\"\n", pos + 1);
            if (close == std::string_view::npos || bytes[close] != '"') {
                throw CVarnexError(ERROR_KIND::QC_QUOTE_NOT_CLOSED, source, line);
            }
            token.text = bytes.substr(pos + 1, close - pos - 1);
            pos = close + 1;
        } else {
            std::size_t start = pos;
            while (pos < size && !IsQcBlank(bytes[pos]) && bytes[pos] != ';') ++pos;
            token.text = bytes.substr(start, pos - start);
            token.cut = (start > 0 && static_cast<unsigned char>(bytes[start - 1]) > 127) ||
                        (pos<size&& static_cast<unsigned char>(bytes[pos])> 127);
            // "/*" and "*/" mean nothing to the compiler; they are only followed to warn.
            std::size_t open = token.text.find("/*");
            if (blockLine == 0 && open != std::string::npos) blockLine = line;
            token.blockCommentLine = blockLine;
            std::size_t end = token.text.rfind("*/");
            if (end != std::string::npos && (open == std::string::npos || end > open))
                blockLine = 0;
        }
        if (token.blockCommentLine == 0) token.blockCommentLine = blockLine;
        lineHasToken = true;
        out.tokens.push_back(std::move(token));
    }
    return out;
}

struct SEQUENCE_WORD {
    enum KIND { OPEN, CLOSE, OPTION, ANIMATION, SMD } kind = SMD;
    QC_OPTION_KIND option = QC_OPTION_KIND::LOOP;
    int values = 0;
};

// What Cmd_Sequence makes of a token, in its order of tests.
SEQUENCE_WORD ClassifySequenceWord(std::string_view word) {
    using K = QC_OPTION_KIND;
    auto option = [](K kind, int values) {
        return SEQUENCE_WORD{SEQUENCE_WORD::OPTION, kind, values};
    };
    if (word == "{") return {SEQUENCE_WORD::OPEN};
    if (word == "}") return {SEQUENCE_WORD::CLOSE};
    if (Same(word, "deform")) return option(K::DEFORM, 0);
    if (Same(word, "event")) return option(K::EVENT, 2);
    if (Same(word, "pivot")) return option(K::PIVOT, 3);
    if (Same(word, "fps")) return option(K::FPS, 1);
    if (Same(word, "origin")) return option(K::ORIGIN, 3);
    if (Same(word, "rotate")) return option(K::ROTATE, 1);
    if (Same(word, "scale")) return option(K::SCALE, 1);
    if (Begins(word, "loop")) return option(K::LOOP, 0);
    if (Begins(word, "frame")) return option(K::FRAME, 2);
    if (Begins(word, "blend")) return option(K::BLEND, 3);
    if (Begins(word, "node")) return option(K::NODE, 1);
    if (Begins(word, "tran")) return option(K::TRANSITION, 2);
    if (Begins(word, "rtra")) return option(K::RTRANSITION, 2);
    if (QcMotionFlag(word) != 0) return option(K::MOTION, 0);
    if (Same(word, "animation")) return {SEQUENCE_WORD::ANIMATION};
    if (QcActivityCode(word) != 0) return option(K::ACTIVITY, 1);
    return {SEQUENCE_WORD::SMD};
}

class CQcParser {
  public:
    CQcParser(const CQcFileSystem& files, QC_SCRIPT& script) : m_files(files), m_script(script) {}

    void Parse(std::string_view bytes, const std::string& source, int depth);

  private:
    // The parse of one source.
    struct SOURCE {
        std::string_view bytes;
        const std::string& name;
        QC_TOKENS t;
        std::size_t next = 0;  // the next token
        int depth = 0;

        bool OnLine(int line) const {
            return next < t.tokens.size() && t.tokens[next].line == line;
        }
        int LineCount() const {
            // A last line end closes the last line; it does not open another one.
            if (bytes.empty()) return 0;
            int count = static_cast<int>(t.lineStarts.size());
            return t.lineStarts.back() == bytes.size() && count > 1 ? count - 1 : count;
        }
        std::string LinesText(int first, int last) const {
            std::size_t begin = t.lineStarts[first - 1];
            std::size_t end =
                last < static_cast<int>(t.lineStarts.size()) ? t.lineStarts[last] : bytes.size();
            std::string_view text = bytes.substr(begin, end - begin);
            if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
            if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
            return std::string(text);
        }
    };

    void AddText(SOURCE& s, int first, int last);
    int ParseCommand(SOURCE& s, QC_ENTRY& entry);
    int ParseOtherCommand(SOURCE& s, QC_ENTRY& entry);
    int ParseSequence(SOURCE& s, QC_ENTRY& entry);
    int ParseInclude(SOURCE& s, QC_ENTRY& entry);
    // The token after the command's on its line, required.
    const QC_TOKEN& PathOf(SOURCE& s, const QC_TOKEN& command);
    [[noreturn]] void BraceNotClosed(SOURCE& s, const std::string& command, int braceLine);
    void Warn(QC_WARNING_CODE code, const std::string& file, int line,
              std::vector<std::string> values) {
        m_script.warnings.push_back({code, file, line, std::move(values)});
    }
    void WarnIfCut(const SOURCE& s, const QC_TOKEN& token) {
        if (token.cut) Warn(QC_WARNING_CODE::BYTE_OUTSIDE_QUOTES, s.name, token.line, {token.text});
    }

    const CQcFileSystem& m_files;
    QC_SCRIPT& m_script;
    std::vector<std::string> m_reading;  // identities of the sources being read, outermost first
    int m_firstCdLine = 0;
};

void CQcParser::Parse(std::string_view bytes, const std::string& source, int depth) {
    SOURCE s{bytes, source, Tokenize(bytes, source)};
    s.depth = depth;
    m_reading.push_back(m_files.Identity(source));
    int textFrom = 1;
    while (s.next < s.t.tokens.size()) {
        const QC_TOKEN& first = s.t.tokens[s.next];
        // The compiler skips a line whose first token is not a command.
        if (first.text.empty() || first.text[0] != '$') {
            while (s.OnLine(first.line)) ++s.next;
            continue;
        }
        AddText(s, textFrom, first.line - 1);
        std::size_t at = m_script.entries.size();
        m_script.entries.push_back({});
        m_script.entries[at].file = source;
        m_script.entries[at].line = first.line;
        int last = ParseCommand(s, m_script.entries[at]);
        m_script.entries[at].lastLine = last;
        m_script.entries[at].text = s.LinesText(first.line, last);
        // The rest of the last line belongs to the command.
        while (s.OnLine(last)) ++s.next;
        textFrom = last + 1;
        if (m_script.entries[at].kind == QC_ENTRY_KIND::INCLUDE) {
            std::string included = m_script.entries[at].includedPath;
            std::string bytesIncluded;
            try {
                bytesIncluded = m_files.Read(included);
            } catch (const CVarnexError& e) {
                throw CVarnexError(ERROR_KIND::QC_INCLUDE_UNREADABLE, source, first.line,
                                   {m_script.entries[at].arguments.front(), included},
                                   e.SystemError());
            }
            Parse(bytesIncluded, included, depth + 1);
        }
    }
    AddText(s, textFrom, s.LineCount());
    m_reading.pop_back();
}

void CQcParser::AddText(SOURCE& s, int first, int last) {
    if (first > last) return;
    QC_ENTRY entry;
    entry.file = s.name;
    entry.line = first;
    entry.lastLine = last;
    entry.text = s.LinesText(first, last);
    m_script.entries.push_back(std::move(entry));
}

int CQcParser::ParseCommand(SOURCE& s, QC_ENTRY& entry) {
    const QC_TOKEN& command = s.t.tokens[s.next++];
    entry.kind = QC_ENTRY_KIND::COMMAND;
    entry.command = command.text;
    static constexpr std::array<const char*, 5> READ = {"$sequence", "$include", "$cd",
                                                        "$cdtexture", "$sequencegroup"};
    for (const char* known : READ) {
        if (command.text != known && Same(command.text, known)) {
            Warn(QC_WARNING_CODE::COMMAND_CASE, s.name, command.line, {command.text, known});
        }
    }
    if (command.text == "$sequence") return ParseSequence(s, entry);
    if (command.text == "$include") return ParseInclude(s, entry);
    if (command.text == "$cd") {
        if (m_script.hasCd) {
            throw CVarnexError(ERROR_KIND::QC_TWO_CD, s.name, command.line,
                               {std::to_string(m_firstCdLine)});
        }
        const QC_TOKEN& path = PathOf(s, command);
        m_script.hasCd = true;
        m_firstCdLine = command.line;
        m_script.cd = {path.text, JoinQcPath(m_script.folder, path.text), s.name, command.line};
    } else if (command.text == "$cdtexture") {
        for (std::size_t i = s.next; i < s.t.tokens.size() && s.t.tokens[i].line == command.line;
             ++i) {
            const QC_TOKEN& path = s.t.tokens[i];
            WarnIfCut(s, path);
            m_script.cdTextures.push_back(
                {path.text, JoinQcPath(m_script.folder, path.text), s.name, command.line});
        }
    }
    return ParseOtherCommand(s, entry);
}

const QC_TOKEN& CQcParser::PathOf(SOURCE& s, const QC_TOKEN& command) {
    if (!s.OnLine(command.line)) {
        throw CVarnexError(ERROR_KIND::QC_PATH_MISSING, s.name, command.line, {command.text});
    }
    const QC_TOKEN& path = s.t.tokens[s.next];
    WarnIfCut(s, path);
    return path;
}

void CQcParser::BraceNotClosed(SOURCE& s, const std::string& command, int braceLine) {
    std::string before;
    if (s.next < s.t.tokens.size()) before = std::to_string(s.t.tokens[s.next].line);
    throw CVarnexError(ERROR_KIND::QC_BRACE_NOT_CLOSED, s.name, braceLine,
                       {command, std::to_string(braceLine), before});
}

// A command kept as written: its line, and a block in braces that opens on it or on the next
// line holding a token ($bodygroup, $texturegroup).
int CQcParser::ParseOtherCommand(SOURCE& s, QC_ENTRY& entry) {
    const std::vector<QC_TOKEN>& tokens = s.t.tokens;
    int line = entry.line;
    int depth = 0;
    int braceLine = 0;
    while (s.next < tokens.size()) {
        const QC_TOKEN& token = tokens[s.next];
        if (token.line != line) {
            bool opens =
                depth == 0 && braceLine == 0 && !token.text.empty() && token.text[0] == '{';
            if (depth == 0 && !opens) break;
            if (token.firstOnLine && !token.text.empty() && token.text[0] == '$') {
                BraceNotClosed(s, entry.command, braceLine);
            }
            line = token.line;
        }
        if (!token.text.empty() && token.text[0] == '{') {
            if (depth++ == 0 && braceLine == 0) braceLine = token.line;
        } else if (!token.text.empty() && token.text[0] == '}' && depth > 0) {
            --depth;
        }
        entry.arguments.push_back(token.text);
        ++s.next;
    }
    if (depth > 0) BraceNotClosed(s, entry.command, braceLine);
    return line;
}

int CQcParser::ParseInclude(SOURCE& s, QC_ENTRY& entry) {
    const QC_TOKEN& command = s.t.tokens[s.next - 1];
    const QC_TOKEN& path = PathOf(s, command);
    entry.kind = QC_ENTRY_KIND::INCLUDE;
    entry.arguments.push_back(path.text);
    ++s.next;
    std::string wanted = JoinQcPath(m_script.folder, path.text);
    std::string found = LocateQcPath(m_files, wanted).value_or(wanted);
    if (s.depth >= QC_MAX_INCLUDE_DEPTH) {
        throw CVarnexError(ERROR_KIND::QC_INCLUDE_TOO_DEEP, s.name, command.line,
                           {path.text, std::to_string(QC_MAX_INCLUDE_DEPTH)});
    }
    if (std::find(m_reading.begin(), m_reading.end(), m_files.Identity(found)) != m_reading.end()) {
        throw CVarnexError(ERROR_KIND::QC_INCLUDE_CYCLE, s.name, command.line, {path.text});
    }
    if (!m_files.IsFile(found)) {
        throw CVarnexError(ERROR_KIND::QC_INCLUDE_UNREADABLE, s.name, command.line,
                           {path.text, found}, m_files.IsFolder(found) ? EISDIR : ENOENT);
    }
    entry.includedPath = found;
    m_script.includes.push_back({path.text, found, s.name, command.line});
    return command.line;
}

int CQcParser::ParseSequence(SOURCE& s, QC_ENTRY& entry) {
    const std::vector<QC_TOKEN>& tokens = s.t.tokens;
    const QC_TOKEN& command = tokens[s.next - 1];
    entry.kind = QC_ENTRY_KIND::SEQUENCE;
    if (!s.OnLine(command.line)) {
        throw CVarnexError(ERROR_KIND::QC_SEQUENCE_WITHOUT_NAME, s.name, command.line);
    }
    QC_SEQUENCE seq;
    const QC_TOKEN& name = tokens[s.next++];
    WarnIfCut(s, name);
    seq.name = name.text;
    seq.file = s.name;
    seq.line = command.line;
    entry.arguments.push_back(name.text);
    if (command.blockCommentLine != 0) {
        Warn(QC_WARNING_CODE::SEQUENCE_IN_BLOCK_COMMENT, s.name, command.line,
             {seq.name, std::to_string(command.blockCommentLine)});
    }
    int line = command.line;  // the line of the last token taken
    int depth = 0;
    int braceLine = 0;
    auto take = [&]() -> const QC_TOKEN& {
        const QC_TOKEN& token = tokens[s.next++];
        entry.arguments.push_back(token.text);
        line = token.line;
        return token;
    };
    auto close = [&](int closeLine) {
        if (--depth < 0) throw CVarnexError(ERROR_KIND::QC_BRACE_NOT_OPEN, s.name, closeLine);
    };
    int warnedLine = 0;
    auto endOfLine = [&]() {
        if (s.t.hardComment[line] && warnedLine != line) {
            warnedLine = line;
            Warn(QC_WARNING_CODE::COMMENT_STOPS_COMPILER, s.name, line, {seq.name});
        }
    };
    while (true) {
        if (depth == 0 && !s.OnLine(line)) {
            endOfLine();
            // A "{" on the next line is taken as the compiler would take it on this one.
            if (seq.braced || s.next >= tokens.size() || tokens[s.next].text != "{") break;
        }
        if (s.next >= tokens.size()) BraceNotClosed(s, "$sequence " + seq.name, braceLine);
        if (tokens[s.next].firstOnLine && !tokens[s.next].text.empty() &&
            tokens[s.next].text[0] == '$') {
            BraceNotClosed(s, "$sequence " + seq.name, braceLine);
        }
        const QC_TOKEN& token = take();
        SEQUENCE_WORD word = ClassifySequenceWord(token.text);
        if (word.kind == SEQUENCE_WORD::OPEN) {
            if (depth++ == 0) braceLine = token.line;
            seq.braced = true;
            continue;
        }
        if (word.kind == SEQUENCE_WORD::CLOSE) {
            close(token.line);
            continue;
        }
        if (word.kind == SEQUENCE_WORD::SMD || word.kind == SEQUENCE_WORD::ANIMATION) {
            bool byWord = word.kind == SEQUENCE_WORD::ANIMATION;
            if (byWord && !s.OnLine(line)) {
                throw CVarnexError(ERROR_KIND::QC_OPTION_WITHOUT_VALUE, s.name, line,
                                   {seq.name, token.text, "1"});
            }
            const QC_TOKEN& smd = byWord ? take() : token;
            WarnIfCut(s, smd);
            seq.smds.push_back({smd.text, byWord, smd.line});
            continue;
        }
        QC_OPTION option{word.option, token.text, {}, token.line};
        for (int i = 0; i < word.values; ++i) {
            if (!s.OnLine(line)) {
                throw CVarnexError(ERROR_KIND::QC_OPTION_WITHOUT_VALUE, s.name, line,
                                   {seq.name, token.text, std::to_string(word.values)});
            }
            option.values.push_back(take().text);
        }
        const std::vector<std::string>& v = option.values;
        switch (option.kind) {
            case QC_OPTION_KIND::FPS:
                seq.fps = TextToDouble(v[0]);
                break;
            case QC_OPTION_KIND::LOOP:
                seq.loop = true;
                break;
            case QC_OPTION_KIND::FRAME:
                seq.hasFrameRange = true;
                seq.frameStart = TextToInt(v[0]);
                seq.frameEnd = TextToInt(v[1]);
                break;
            case QC_OPTION_KIND::MOTION:
                seq.motionFlags |= QcMotionFlag(token.text);
                break;
            case QC_OPTION_KIND::ACTIVITY:
                seq.activity = QcActivityCode(token.text);
                seq.activityName = token.text;
                seq.activityWeight = TextToInt(v[0]);
                break;
            case QC_OPTION_KIND::EVENT: {
                QC_EVENT event{TextToInt(v[0]), TextToInt(v[1]), false, {}, token.line};
                // The compiler takes the next token of the line as the text, unless it is a "}".
                if (!s.OnLine(line)) {
                    endOfLine();
                } else if (!tokens[s.next].text.empty() && tokens[s.next].text[0] == '}') {
                    close(take().line);
                } else {
                    event.hasText = true;
                    event.text = take().text;
                    option.values.push_back(event.text);
                }
                seq.events.push_back(event);
                break;
            }
            default:
                break;
        }
        seq.options.push_back(std::move(option));
    }
    if (seq.smds.empty()) {
        throw CVarnexError(ERROR_KIND::QC_SEQUENCE_WITHOUT_FILE, s.name, command.line, {seq.name});
    }
    entry.sequence = static_cast<int>(m_script.sequences.size());
    m_script.sequences.push_back(std::move(seq));
    return line;
}

}  // namespace

int QcMotionFlag(std::string_view word) {
    for (std::size_t i = 0; i < MOTION_NAMES.size(); ++i) {
        if (Same(word, MOTION_NAMES[i])) return 1 << i;
    }
    return 0;
}

int QcActivityCode(std::string_view word) {
    for (std::size_t i = 0; i < ACTIVITY_NAMES.size(); ++i) {
        if (Same(word, ACTIVITY_NAMES[i])) return static_cast<int>(i) + 1;
    }
    return Begins(word, "ACT_") ? TextToInt(word.substr(4)) : 0;
}

QC_SCRIPT ReadQc(std::string_view bytes, const std::string& source, const CQcFileSystem& files) {
    QC_SCRIPT script;
    script.source = source;
    script.folder = QcFolderOf(source);
    CQcParser parser(files, script);
    parser.Parse(bytes, source, 0);
    // The SMDs are looked for where $cd says, else (absent, or a folder from another machine)
    // beside the .qc, where the modder keeps them.
    if (!script.hasCd) {
        script.cd = {"", script.folder, source, 0};
        script.warnings.push_back({QC_WARNING_CODE::NO_CD, source, 0, {script.folder}});
    } else if (std::optional<std::string> folder = LocateQcPath(files, script.cd.path);
               folder && files.IsFolder(*folder)) {
        script.cd.path = *folder;
    } else {
        script.cd.path = script.folder;
        script.warnings.push_back({QC_WARNING_CODE::CD_NOT_FOUND,
                                   script.cd.file,
                                   script.cd.line,
                                   {script.cd.written, script.folder}});
    }
    return script;
}

QC_SCRIPT ReadQcFile(const std::string& path) {
    CDiskQcFiles disk;
    std::string bytes = disk.Read(path);
    return ReadQc(bytes, path, disk);
}

}  // namespace varnex
