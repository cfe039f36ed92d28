// Reading SMD text: lines, keywords, fields, the head of a file and its first frame.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_access.h"
#include "smd_input/rest_pose.h"
#include "platform/varnex_error.h"

namespace varnex {

// Bytes past a line's end that the fast routes may read (and never use).
constexpr std::size_t READABLE_PAST_LINE = 64;

// Reads a source line by line through one buffer. A line ends at LF, CR LF or a lone CR and may
// be of any length. The one place where lines are counted. Every line it gives is followed in
// memory by READABLE_PAST_LINE readable bytes, for the fast routes of ReadUsualFrameLine.
class CLineReader {
public:
    // startOffset and startLine: where the source is positioned (after a seek), for messages.
    explicit CLineReader(CByteSource& source, std::int64_t startOffset = 0, int startLine = 1);
    // Reads the lines of bytes held in memory, in place: held must be followed by
    // READABLE_PAST_LINE readable bytes and outlive the reader. source only names them.
    CLineReader(CByteSource& source, std::string_view held, int startLine);

    // The next line without its line end; false at the end of the source. The view holds until
    // the next call.
    bool Next(std::string_view& line);
    // Number of the line last returned, counted from 1.
    int LineNumber() const { return m_lineNumber; }
    // Offset just past the line last returned and its line end.
    std::int64_t NextOffset() const { return m_nextOffset; }
    const std::string& SourceName() const { return m_source.Name(); }
    // What follows the line last returned: the bytes held and not yet given, then the rest of
    // Source() when SourceAtEnd() is false. A reader handed over this way is not read again.
    std::string_view Unread() const {
        return std::string_view(m_data + m_begin, m_size - m_begin);
    }
    bool SourceAtEnd() const { return m_atEnd; }
    CByteSource& Source() { return m_source; }

private:
    bool Fill();
    void ClearPastData();

    CByteSource& m_source;
    std::unique_ptr<char[]> m_buffer;  // not zero-filled: only bytes read are ever looked at
    std::size_t m_capacity = 0;
    const char* m_data;  // m_buffer's bytes, or bytes held elsewhere
    std::size_t m_size = 0;   // bytes held
    std::size_t m_begin = 0;  // first unread byte
    bool m_atEnd = false;
    int m_lineNumber;
    std::int64_t m_nextOffset;
};

// Splits a line at runs of blanks into at most maxFields fields; gives how many it found.
int SplitFields(std::string_view line, std::string_view* fields, int maxFields);

// The line's own keyword: the line is exactly the word, give or take blanks around it.
bool IsKeywordLine(std::string_view line, std::string_view keyword);
// A frame's "time" line: its first field is "time".
bool IsTimeLine(std::string_view line);
bool IsBlankLine(std::string_view line);

// The seven fields of a skeleton line of a frame.
struct FRAME_FIELDS {
    std::string_view number, x, y, z, rx, ry, rz;
};
// Splits a skeleton line; throws CVarnexError (source, line) when it has fewer than seven fields.
FRAME_FIELDS ParseFrameFields(std::string_view line, const std::string& source, int lineNumber);

// A skeleton line in the usual form, read in one pass in place: the three positions as numbers,
// the three rotation fields as one block of the line, "rx ry rz".
struct USUAL_FRAME_LINE {
    double x = 0.0, y = 0.0, z = 0.0;
    std::string_view rotation;
    int node = -1;  // the node number when its field is 1 to 7 digits; -1 otherwise
};
// The rotation block of a usual line holds at most this many bytes.
constexpr std::size_t USUAL_ROTATION_BYTES = 3 * 16 + 2;
// True when the line has at least seven fields, x, y and z in the usual number form (see
// ReadUsualDecimal) and the rotation fields in that form with single spaces between them; fields
// then holds what ParseFrameFields, TextToDouble and IsDecimalNumber would give. False for any
// other line, which the general route reads. Reads up to READABLE_PAST_LINE bytes past the line's
// end, which must be readable (as they are after every line of CLineReader).
// With rotation, also the rotation's three values, as TextToDouble gives them.
inline bool ReadUsualFrameLine(std::string_view line, USUAL_FRAME_LINE& fields,
                               double* rotation = nullptr);
// The same decision, one byte at a time; the route of lines longer than 64 bytes.
bool ReadUsualFrameLineBytewise(std::string_view line, USUAL_FRAME_LINE& fields);
// The same decision from masks of a line's 64 bytes at once: 1 usual, 0 not, -1 for a line longer
// than 64 bytes, which it leaves to the bytewise route (as every line without SSE2).
int ReadUsualFrameLineWide(std::string_view line, USUAL_FRAME_LINE& fields,
                           double* rotation = nullptr);
// ReadUsualFrameLine by the bytewise route, rotation values included.
bool ReadLongUsualFrameLine(std::string_view line, USUAL_FRAME_LINE& fields, double* rotation);

// Nearly every line takes the wide route: the call to it is the only one.
inline bool ReadUsualFrameLine(std::string_view line, USUAL_FRAME_LINE& fields,
                               double* rotation) {
    int wide = ReadUsualFrameLineWide(line, fields, rotation);
    return wide >= 0 ? wide == 1 : ReadLongUsualFrameLine(line, fields, rotation);
}

// A frame line kept with its line number, for messages.
struct FRAME_LINE {
    std::string text;
    int lineNumber = 0;
};

// One line of the node list.
struct SMD_NODE {
    int number = 0;      // the first field, by atoi's rule
    std::string name;    // between the first pair of double quotes
    int parent = -1;     // the last field, by atoi's rule
    std::string text;    // the whole line, which Convert CS Bipede rewrites as it stands
    int lineNumber = 0;
};

// What the head of an SMD file holds, up to its "skeleton" line, and its first frame.
struct SMD_HEAD {
    std::string source;
    std::vector<std::string> headerLines;  // every line through "skeleton", without line ends
    std::vector<SMD_NODE> nodes;           // the node list: non-blank lines between "nodes" and "end"
    bool hasNodes = false;                 // a "nodes" line was met
    bool hasNodesEnd = false;              // the node list's "end" line was met
    bool hasSkeleton = false;
    std::int64_t skeletonEnd = 0;          // offset just past the "skeleton" line and its line end
    int skeletonLine = 0;                  // line number of "skeleton"
    // The first frame behind "skeleton", when asked for and found.
    bool hasFrame0 = false;
    std::string frame0Time;                // its "time" line
    int frame0TimeLine = 0;
    std::int64_t frame0Offset = 0;         // offset of the first line behind its "time" line
    // Its non-blank skeleton lines read, in the file's order; ReadModel and
    // ReadReferenceAnimation key them by node (KeyFirstFrame).
    REST_POSE rest;
};

// Reads the head of an SMD (and its first frame when withFrame0), stopping there. Missing parts
// are recorded, not refused: each command asks for what it needs with RequireNodeList and co.
SMD_HEAD ReadSmdHead(CByteSource& source, bool withFrame0);
// The same from a reader at the file's start; without withFrame0 the reader is left just past
// the "skeleton" line, where the frames begin.
SMD_HEAD ReadSmdHead(CLineReader& reader, bool withFrame0);

// What each load needs, read once. Each throws CVarnexError naming the source and what is missing.
// SMD Ref Modele: a node list that is not empty, and the first frame (the rest pose).
SMD_HEAD ReadModel(CByteSource& source);
// SMD Ref Animation: a node list and the first frame.
SMD_HEAD ReadReferenceAnimation(CByteSource& source);
// SMD Animation: the head up to "skeleton"; the reader is left where the frames begin.
SMD_HEAD ReadAnimationHead(CLineReader& reader);
// The same, opening path.
SMD_HEAD ReadModelFile(const std::string& path);
SMD_HEAD ReadReferenceAnimationFile(const std::string& path);
SMD_HEAD ReadAnimationHeadFile(const std::string& path);

// Each throws CVarnexError naming the file and the missing part.
void RequireNodeList(const SMD_HEAD& head);
void RequireSkeleton(const SMD_HEAD& head);
void RequireFrame0(const SMD_HEAD& head);

// The name between the first pair of double quotes of a node line (empty without quotes).
std::string NodeNameOf(std::string_view nodeLine);
// The node line of a list line.
SMD_NODE ParseNodeLine(std::string_view line, int lineNumber);

// "time" and the frame number as the animation writes it; throws CVarnexError without a number.
std::string TimeLineText(std::string_view line, const std::string& source, int lineNumber);
// The refusal of a file whose frames are not closed by "end", at the reader's last line.
CVarnexError MissingEnd(const CLineReader& reader);

}  // namespace varnex
