// Frame lines keyed by node number, as the model compiler keys them: a line's first field names
// the node of the file's node list it belongs to, whatever its place in the frame.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "smd_input/smd_reader.h"

namespace varnex {

// The first field of a frame line as a node number: digits with an optional sign, nothing else.
// False when the field is not a whole number (or is missing); numbers past the int range clamp.
bool ReadNodeNumber(std::string_view line, int& number);

// The node number of a line that starts with spaces and 1 to 7 digits followed by a blank; -1
// for any other line, which ReadNodeNumber reads.
inline int LeadingNodeNumber(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() && line[i] == ' ') ++i;
    std::size_t first = i;
    int number = 0;
    while (i < line.size() && i - first < 8 && line[i] >= '0' && line[i] <= '9') {
        number = number * 10 + (line[i++] - '0');
    }
    bool ended = i < line.size() && (line[i] == ' ' || line[i] == '\t');
    return i > first && i - first < 8 && ended ? number : -1;
}

// Places the lines of one frame at a time on the nodes of a node list.
class CFrameKeys {
public:
    // nodes: the file's node list, whose node numbers are the keys.
    explicit CFrameKeys(const std::vector<SMD_NODE>& nodes);

    std::size_t NodeCount() const { return m_count; }
    // The place in the node list of the node numbered number; NO_NODE when the list has none.
    static constexpr std::size_t NO_NODE = static_cast<std::size_t>(-1);
    std::size_t PlaceOfNumber(int number) const;
    // The node number of the node at place.
    int NumberAt(std::size_t place) const;

    // A "time" line opens a frame: no node has a line yet.
    void StartFrame();
    // The place of a line of the open frame. Throws CVarnexError naming source and line when its
    // first field is not a whole number, names no node of the list, or names a node that already
    // has a line in the frame (timeText names the frame).
    std::size_t Place(std::string_view line, const std::string& source, int lineNumber,
                      const std::string& timeText) {
        return Place(LeadingNodeNumber(line), line, source, lineNumber, timeText);
    }
    // The same for a line whose node number field has been read as number (-1: not read).
    std::size_t Place(int number, std::string_view line, const std::string& source,
                      int lineNumber, const std::string& timeText) {
        // Every line of every frame passes here: a node of a list numbered 0, 1, 2... is placed
        // without a call.
        std::size_t place = static_cast<std::size_t>(number);
        if (number < 0 || !m_numbers.empty() || place >= m_count || m_seen[place] == m_frame) {
            return PlaceAnyLine(line, source, lineNumber, timeText);
        }
        Mark(place);
        return place;
    }
    // The open frame has a line for the node at place.
    bool Has(std::size_t place) const {
        return place < m_count && m_seen[place] == m_frame;
    }
    // Every line of the open frame so far stood at its node's place, nodes 0, 1, 2... in turn.
    bool InOrder() const { return m_inOrder; }
    // Lines of the open frame so far.
    std::size_t Lines() const { return m_lines; }

private:
    std::size_t PlaceAnyLine(std::string_view line, const std::string& source, int lineNumber,
                             const std::string& timeText);
    void Mark(std::size_t place) {
        m_seen[place] = m_frame;
        if (place != m_lines) m_inOrder = false;
        ++m_lines;
    }

    std::size_t m_count;
    std::vector<int> m_numbers;  // node number at each place; empty when each number is its place
    std::vector<unsigned> m_seen;  // the frame in which each place last had a line
    unsigned m_frame = 0;
    bool m_inOrder = true;
    std::size_t m_lines = 0;
};

// A head's first frame keyed by node number: lines in another order than 0, 1, 2... put in the
// order of their nodes, up to the first node without a line (the frame then reads as that many
// lines). Throws CVarnexError as CFrameKeys::Place for a number that is no number, names no node
// or repeats one.
void KeyFirstFrame(SMD_HEAD& head);

// A frame line's fields, each checked: at least seven fields, positions that atof's rule reads
// whole, rotations that are finite decimal numbers (they are copied as they stand). Throws
// CVarnexError (source, line) naming the first field that fails.
FRAME_FIELDS ParseNumberFields(std::string_view line, const std::string& source, int lineNumber);

// A position field that atof's rule reads whole: a decimal or hexadecimal number, "inf" or "nan"
// with an optional sign; not "abc" nor "1.5abc".
bool IsNumberField(std::string_view field);

}  // namespace varnex
