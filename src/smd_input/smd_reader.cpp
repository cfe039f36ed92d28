#include "smd_input/smd_reader.h"

#include <array>
#include <bit>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

#include "platform/varnex_error.h"
#include "smd_input/frame_keys.h"
#include "smd_input/number_text.h"
#include "smd_input/usual_number.h"

namespace varnex {

namespace {
constexpr std::size_t CHUNK_BYTES = 1 << 16;
// A sane SMD line is under a hundred characters; this only keeps a file without line ends from
// filling the memory.
constexpr std::size_t MAX_LINE_BYTES = 4u << 20;
// Models have at most a few hundred nodes: a head this long has no "skeleton" line to find.
constexpr std::size_t MAX_HEAD_LINES = 100000;

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}
}  // namespace

namespace {
// A buffer of capacity bytes and the READABLE_PAST_LINE bytes the fast routes may look at past
// the data (zeroed after each read by ClearPastData).
std::unique_ptr<char[]> NewLineBuffer(std::size_t capacity) {
    return std::unique_ptr<char[]>(new char[capacity + READABLE_PAST_LINE]);
}

// The first CR or LF in [p, end), or end.
const char* FindLineEnd(const char* p, const char* end) {
#if defined(__SSE2__) || defined(_M_X64)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    for (; end - p >= 16; p += 16) {
        __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        int hits = _mm_movemask_epi8(
            _mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf)));
        if (hits != 0) return p + std::countr_zero(static_cast<unsigned>(hits));
    }
#endif
    while (p != end && *p != '\r' && *p != '\n') ++p;
    return p;
}
}  // namespace

CLineReader::CLineReader(CByteSource& source, std::int64_t startOffset, int startLine)
    : m_source(source),
      m_buffer(NewLineBuffer(CHUNK_BYTES * 2)),
      m_capacity(CHUNK_BYTES * 2),
      m_data(m_buffer.get()),
      m_lineNumber(startLine - 1),
      m_nextOffset(startOffset) {
    ClearPastData();
}

CLineReader::CLineReader(CByteSource& source, std::string_view held, int startLine)
    : m_source(source),
      m_data(held.data()),
      m_size(held.size()),
      m_atEnd(true),
      m_lineNumber(startLine - 1),
      m_nextOffset(0) {}

void CLineReader::ClearPastData() {
    // Bytes past a line are looked at but never used; they are given a value all the same.
    std::memset(m_buffer.get() + m_size, 0, READABLE_PAST_LINE);
}

bool CLineReader::Fill() {
    if (m_atEnd) return false;
    if (m_begin > 0) {
        std::memmove(m_buffer.get(), m_buffer.get() + m_begin, m_size - m_begin);
        m_size -= m_begin;
        m_begin = 0;
    }
    if (m_capacity - m_size < CHUNK_BYTES) {
        std::size_t capacity = m_capacity * 2;
        std::unique_ptr<char[]> bigger = NewLineBuffer(capacity);
        std::memcpy(bigger.get(), m_buffer.get(), m_size);
        m_buffer = std::move(bigger);
        m_data = m_buffer.get();
        m_capacity = capacity;
    }
    std::size_t got = m_source.Read(m_buffer.get() + m_size, CHUNK_BYTES);
    m_size += got;
    ClearPastData();
    if (got == 0) m_atEnd = true;
    return got > 0;
}

bool CLineReader::Next(std::string_view& line) {
    std::size_t searched = 0;  // bytes behind m_begin already known to hold no line end
    for (;;) {
        const char* start = m_data + m_begin;
        const char* dataEnd = m_data + m_size;
        const char* end = FindLineEnd(start + searched, dataEnd);
        std::size_t endLength = 1;
        if (end == dataEnd) {
            if (!m_atEnd) {
                searched = static_cast<std::size_t>(end - start);
                if (searched > MAX_LINE_BYTES) {
                    throw CVarnexError(ERROR_KIND::LINE_TOO_LONG, m_source.Name(), m_lineNumber + 1);
                }
                Fill();
                continue;
            }
            if (end == start) return false;
            endLength = 0;
        } else if (*end == '\r') {
            if (end + 1 == dataEnd && !m_atEnd) {
                // A CR at the buffer's end: the next byte decides between CR LF and a lone CR.
                searched = static_cast<std::size_t>(end - start);
                Fill();
                continue;
            }
            if (end + 1 != dataEnd && end[1] == '\n') endLength = 2;
        }
        std::size_t length = static_cast<std::size_t>(end - start);
        line = std::string_view(start, length);
        m_begin += length + endLength;
        m_nextOffset += static_cast<std::int64_t>(length + endLength);
        ++m_lineNumber;
        return true;
    }
}

int SplitFields(std::string_view line, std::string_view* fields, int maxFields) {
    // Every line of every frame passes here: a table beats four comparisons per byte.
    static const auto BLANKS = [] {
        std::array<bool, 256> table{};
        for (int c = 0; c < 256; ++c) table[static_cast<std::size_t>(c)] = IsBlank(static_cast<char>(c));
        return table;
    }();
    auto blank = [](char c) { return BLANKS[static_cast<unsigned char>(c)]; };
    int count = 0;
    const char* p = line.data();
    const char* end = p + line.size();
    while (p != end && count < maxFields) {
        while (p != end && blank(*p)) ++p;
        if (p == end) break;
        const char* begin = p;
        while (p != end && !blank(*p)) ++p;
        fields[count++] = std::string_view(begin, static_cast<std::size_t>(p - begin));
    }
    return count;
}

bool IsKeywordLine(std::string_view line, std::string_view keyword) {
    return Trim(line) == keyword;
}

bool IsTimeLine(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (line.compare(i, 4, "time") != 0) return false;
    return i + 4 == line.size() || IsBlank(line[i + 4]);
}

bool IsBlankLine(std::string_view line) { return Trim(line).empty(); }

FRAME_FIELDS ParseFrameFields(std::string_view line, const std::string& source, int lineNumber) {
    std::string_view f[7];
    int count = SplitFields(line, f, 7);
    if (count < 7) {
        throw CVarnexError(ERROR_KIND::INCOMPLETE_FRAME_LINE, source, lineNumber,
                           {std::to_string(count)});
    }
    return FRAME_FIELDS{f[0], f[1], f[2], f[3], f[4], f[5], f[6]};
}

#if defined(__SSE2__) || defined(_M_X64)
namespace {
// Bit i of each mask stands for byte i of a line of at most 64 bytes; bytes past the line's end
// may be set in digit and dot, never in filled.
struct LINE_MASKS {
    std::uint64_t filled = 0;  // the line's own bytes that are not blanks
    std::uint64_t digit = 0, dot = 0, minus = 0;
};

LINE_MASKS ClassifyLineBytes(const char* p, std::size_t size) {
    const __m128i space = _mm_set1_epi8(' ');
    const __m128i tab = _mm_set1_epi8('\t');
    const __m128i vtab = _mm_set1_epi8('\v');
    const __m128i feed = _mm_set1_epi8('\f');
    const __m128i dot = _mm_set1_epi8('.');
    const __m128i minus = _mm_set1_epi8('-');
    // Digits moved to the bottom of the signed range: one comparison tells them.
    const __m128i toBottom = _mm_set1_epi8(static_cast<char>(0x80 - '0'));
    const __m128i pastNine = _mm_set1_epi8(static_cast<char>(0x80 + 10));
    std::uint64_t blank = 0, digit = 0, dots = 0, minuses = 0;
    for (int i = 0; i < 4; ++i) {
        __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
        __m128i isBlank = _mm_or_si128(
            _mm_or_si128(_mm_cmpeq_epi8(bytes, space), _mm_cmpeq_epi8(bytes, tab)),
            _mm_or_si128(_mm_cmpeq_epi8(bytes, vtab), _mm_cmpeq_epi8(bytes, feed)));
        __m128i isDigit = _mm_cmplt_epi8(_mm_add_epi8(bytes, toBottom), pastNine);
        int shift = 16 * i;
        auto bits = [shift](__m128i v) {
            return static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(v)))
                   << shift;
        };
        blank |= bits(isBlank);
        digit |= bits(isDigit);
        dots |= bits(_mm_cmpeq_epi8(bytes, dot));
        minuses |= bits(_mm_cmpeq_epi8(bytes, minus));
    }
    std::uint64_t inLine = size == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << size) - 1;
    return LINE_MASKS{~blank & inLine, digit, dots, minuses};
}

// Bits first to last.
inline std::uint64_t BitsFromTo(int first, int last) {
    return (~std::uint64_t{0} >> (63 - last)) & (~std::uint64_t{0} << first);
}
}  // namespace

int ReadUsualFrameLineWide(std::string_view line, USUAL_FRAME_LINE& fields, double* rotation) {
    if (line.size() > 64) return -1;
    const char* p = line.data();
    const LINE_MASKS m = ClassifyLineBytes(p, line.size());
    const std::uint64_t fieldStarts = m.filled & ~(m.filled << 1);
    std::uint64_t starts = fieldStarts;
    std::uint64_t ends = m.filled & ~(m.filled >> 1);
    int first[7], last[7];
    for (int i = 0; i < 7; ++i) {
        if (starts == 0) return 0;
        // A field that starts ends.
        first[i] = __builtin_ctzll(starts);
        last[i] = __builtin_ctzll(ends);
        starts &= starts - 1;
        ends &= ends - 1;
    }
    // The six number fields checked at once: a byte that is neither a digit nor a point may
    // only be a minus that opens a field; a point has a digit on each side; no eight
    // digits in a row. Each field then takes the next point, which must stand inside it: a
    // field without one, or with two, leaves the points out of step with the fields.
    const std::uint64_t numbers = BitsFromTo(first[1], last[6]) & m.filled;
    const std::uint64_t digits = numbers & m.digit;
    const std::uint64_t other = numbers & ~(m.digit | m.dot);
    std::uint64_t points = numbers & m.dot;
    std::uint64_t eight = digits & (digits >> 1);
    eight &= eight >> 2;
    eight &= eight >> 4;
    const std::uint64_t signs = other & fieldStarts & m.minus;
    if (other != signs || (points & ~((digits << 1) & (digits >> 1))) != 0 || eight != 0) {
        return 0;
    }
#pragma GCC unroll 6
    for (int i = 1; i < 7; ++i) {
        const int f = first[i];
        const bool negative = (signs >> f) & 1;
        // With none left, the sentinel bit stands at or past every field's end.
        const int point = __builtin_ctzll(points | std::uint64_t{1} << 63);
        points &= points - 1;
        if (point <= f || point >= last[i]) return 0;
        // Past seven decimals the field holds a second point (no eight digits stand in a row):
        // refused before its digits are counted. The next field's point, or the last check,
        // refuses a second point nearer.
        if (last[i] - point > 7) return 0;
        if (i >= 4 && rotation == nullptr) continue;
        // At most 14 digits: the integer and the power of ten are exact doubles, and one
        // correctly rounded division gives the value the general route gives.
        using namespace usual_number;
        const int start = f + negative;
        const int whole = point - start;
        const int decimals = last[i] - point;
        const std::uint64_t head = LoadWord(p + start);
        std::uint64_t number;
        if (whole + decimals <= 8) {
            // One word of digits, the point taken out: the decimals moved down a byte.
            const std::uint64_t before = (std::uint64_t{1} << (8 * whole)) - 1;
            number = DigitsValue((head & before) | (LoadWord(p + start + 1) & ~before),
                                 whole + decimals);
        } else {
            number = DigitsValue(head, whole) * INTEGER_POWERS_OF_TEN[decimals] +
                     DigitsValue(LoadWord(p + point + 1), decimals);
        }
        double magnitude =
            static_cast<double>(static_cast<std::int64_t>(number)) / POWERS_OF_TEN[decimals];
        // Values go straight to their place (rotations only when asked for, above): a line found
        // unusual later leaves them unused.
        double* const value = i == 1   ? &fields.x
                              : i == 2 ? &fields.y
                              : i == 3 ? &fields.z
                                       : rotation + (i - 4);
        *value = negative ? -magnitude : magnitude;
    }
    // The rotation: its three fields parted by single spaces, copied as one block.
    if (points != 0) return 0;  // a second point in the last field
    if (first[5] != last[4] + 2 || p[last[4] + 1] != ' ' || first[6] != last[5] + 2 ||
        p[last[5] + 1] != ' ') {
        return 0;
    }
    fields.rotation =
        std::string_view(p + first[4], static_cast<std::size_t>(last[6] + 1 - first[4]));
    // Node numbers of 1 to 7 digits; any other first field is read by the general route.
    const int nodeDigits = last[0] + 1 - first[0];
    fields.node = nodeDigits <= 7 && (BitsFromTo(first[0], last[0]) & ~m.digit) == 0
                      ? static_cast<int>(usual_number::DigitsValue(
                            usual_number::LoadWord(p + first[0]), nodeDigits))
                      : -1;
    return 1;
}
#else
int ReadUsualFrameLineWide(std::string_view, USUAL_FRAME_LINE&, double*) { return -1; }
#endif

bool ReadLongUsualFrameLine(std::string_view line, USUAL_FRAME_LINE& fields, double* rotation) {
    if (!ReadUsualFrameLineBytewise(line, fields)) return false;
    if (rotation != nullptr) {
        const char* p = fields.rotation.data();
        const char* end = p + fields.rotation.size();
        p = ReadUsualDecimal(p, end, rotation[0]);
        p = ReadUsualDecimal(p + 1, end, rotation[1]);
        ReadUsualDecimal(p + 1, end, rotation[2]);
    }
    return true;
}

bool ReadUsualFrameLineBytewise(std::string_view line, USUAL_FRAME_LINE& fields) {
    const char* p = line.data();
    const char* end = p + line.size();
    auto skipBlanks = [&p, end] {
        while (p != end && IsBlank(*p)) ++p;
    };
    skipBlanks();
    const char* number = p;
    int node = 0;
    while (p != end && !IsBlank(*p)) {
        node = p - number < 7 && *p >= '0' && *p <= '9' && node >= 0 ? node * 10 + (*p - '0') : -1;
        ++p;
    }
    if (p == number) return false;
    fields.node = node;
    skipBlanks();
    if ((p = ReadUsualDecimal(p, end, fields.x)) == nullptr) return false;
    skipBlanks();
    if ((p = ReadUsualDecimal(p, end, fields.y)) == nullptr) return false;
    skipBlanks();
    if ((p = ReadUsualDecimal(p, end, fields.z)) == nullptr) return false;
    skipBlanks();
    // The rotation is copied as it stands: one block when single spaces part its fields.
    const char* rotation = p;
    if ((p = SkipUsualDecimal(p, end)) == nullptr || p == end || *p != ' ') return false;
    if ((p = SkipUsualDecimal(p + 1, end)) == nullptr || p == end || *p != ' ') return false;
    if ((p = SkipUsualDecimal(p + 1, end)) == nullptr) return false;
    fields.rotation = std::string_view(rotation, static_cast<std::size_t>(p - rotation));
    return true;
}

SMD_HEAD ReadSmdHead(CByteSource& source, bool withFrame0) {
    CLineReader reader(source);
    return ReadSmdHead(reader, withFrame0);
}

SMD_HEAD ReadSmdHead(CLineReader& reader, bool withFrame0) {
    enum { BEFORE_NODES, IN_NODES, AFTER_NODES } state = BEFORE_NODES;
    SMD_HEAD head;
    head.source = reader.SourceName();
    std::string_view line;
    while (reader.Next(line)) {
        if (IsTimeLine(line)) return head;  // frames without a "skeleton" line before them
        if (head.headerLines.size() == MAX_HEAD_LINES) return head;
        head.headerLines.emplace_back(line);
        if (IsKeywordLine(line, "skeleton")) {
            head.hasSkeleton = true;
            head.skeletonEnd = reader.NextOffset();
            head.skeletonLine = reader.LineNumber();
            break;
        }
        if (state == BEFORE_NODES && IsKeywordLine(line, "nodes")) {
            head.hasNodes = true;
            state = IN_NODES;
        } else if (state == IN_NODES) {
            if (IsKeywordLine(line, "end")) {
                head.hasNodesEnd = true;
                state = AFTER_NODES;
            } else if (!IsBlankLine(line)) {
                head.nodes.push_back(ParseNodeLine(line, reader.LineNumber()));
            }
        }
    }
    if (!head.hasSkeleton || !withFrame0) return head;

    while (reader.Next(line)) {
        if (IsKeywordLine(line, "end")) return head;
        if (IsTimeLine(line)) {
            head.hasFrame0 = true;
            head.frame0Time = line;
            head.frame0TimeLine = reader.LineNumber();
            head.frame0Offset = reader.NextOffset();
            break;
        }
    }
    std::vector<FRAME_LINE> lines;
    while (head.hasFrame0 && reader.Next(line)) {
        if (IsTimeLine(line) || IsKeywordLine(line, "end")) break;
        if (!IsBlankLine(line)) lines.push_back(FRAME_LINE{std::string(line), reader.LineNumber()});
    }
    head.rest = ReadRestPose(lines);
    return head;
}

SMD_HEAD ReadModel(CByteSource& source) {
    SMD_HEAD head = ReadSmdHead(source, true);
    RequireNodeList(head);
    if (head.nodes.empty()) throw CVarnexError(ERROR_KIND::EMPTY_NODE_LIST, head.source, 0);
    RequireFrame0(head);
    KeyFirstFrame(head);
    return head;
}

SMD_HEAD ReadReferenceAnimation(CByteSource& source) {
    SMD_HEAD head = ReadSmdHead(source, true);
    RequireNodeList(head);
    RequireFrame0(head);
    KeyFirstFrame(head);
    return head;
}

SMD_HEAD ReadAnimationHead(CLineReader& reader) {
    SMD_HEAD head = ReadSmdHead(reader, false);
    RequireSkeleton(head);
    return head;
}

SMD_HEAD ReadModelFile(const std::string& path) {
    CFile file;
    file.OpenForReading(path);
    return ReadModel(file);
}

SMD_HEAD ReadReferenceAnimationFile(const std::string& path) {
    CFile file;
    file.OpenForReading(path);
    return ReadReferenceAnimation(file);
}

SMD_HEAD ReadAnimationHeadFile(const std::string& path) {
    CFile file;
    file.OpenForReading(path);
    CLineReader reader(file);
    return ReadAnimationHead(reader);
}

void RequireNodeList(const SMD_HEAD& head) {
    if (!head.hasNodes) {
        throw CVarnexError(ERROR_KIND::NO_NODES_LINE, head.source, 0);
    }
    if (!head.hasNodesEnd) {
        throw CVarnexError(ERROR_KIND::NODES_NOT_CLOSED, head.source, 0);
    }
}

void RequireSkeleton(const SMD_HEAD& head) {
    if (!head.hasSkeleton) {
        throw CVarnexError(ERROR_KIND::NO_SKELETON_LINE, head.source, 0);
    }
}

void RequireFrame0(const SMD_HEAD& head) {
    RequireSkeleton(head);
    if (!head.hasFrame0) {
        throw CVarnexError(ERROR_KIND::NO_FRAME0, head.source, head.skeletonLine);
    }
}

std::string NodeNameOf(std::string_view nodeLine) {
    std::size_t open = nodeLine.find('"');
    if (open == std::string_view::npos) return std::string();
    std::size_t close = nodeLine.find('"', open + 1);
    if (close == std::string_view::npos) return std::string(nodeLine.substr(open + 1));
    return std::string(nodeLine.substr(open + 1, close - open - 1));
}

SMD_NODE ParseNodeLine(std::string_view line, int lineNumber) {
    SMD_NODE node;
    node.number = TextToInt(line);
    node.name = NodeNameOf(line);
    std::string_view rest = line;
    while (!rest.empty() && IsBlank(rest.back())) rest.remove_suffix(1);
    std::size_t start = rest.size();
    while (start > 0 && !IsBlank(rest[start - 1])) --start;
    node.parent = TextToInt(rest.substr(start));
    node.text = std::string(line);
    node.lineNumber = lineNumber;
    return node;
}

std::string TimeLineText(std::string_view line, const std::string& source, int lineNumber) {
    std::string_view fields[2];
    if (SplitFields(line, fields, 2) < 2) {
        throw CVarnexError(ERROR_KIND::TIME_WITHOUT_NUMBER, source, lineNumber);
    }
    return "time " + std::string(fields[1]);
}

CVarnexError MissingEnd(const CLineReader& reader) {
    // A file cut short would otherwise give an output cut short, and say nothing.
    return CVarnexError(ERROR_KIND::MISSING_END, reader.SourceName(), reader.LineNumber());
}

}  // namespace varnex
