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
                      const std::string& timeText);
    // The open frame has a line for the node at place.
    bool Has(std::size_t place) const {
        return place < m_count && m_seen[place] == m_frame;
    }
    // Every line of the open frame so far stood at its node's place, nodes 0, 1, 2... in turn.
    bool InOrder() const { return m_inOrder; }
    // Lines of the open frame so far.
    std::size_t Lines() const { return m_lines; }

private:
    std::size_t m_count;
    std::vector<int> m_numbers;  // node number at each place; empty when each number is its place
    std::vector<unsigned> m_seen;  // the frame in which each place last had a line
    std::vector<int> m_lineOf;     // that line's number, for the message of a repeat
    unsigned m_frame = 0;
    bool m_inOrder = true;
    std::size_t m_lines = 0;
};

// The node-number fields of a frame line that no row reads checked as a read line's are: at least
// seven fields, positions that read as numbers by atof's rule (whole field), rotations that are
// finite decimal numbers. Throws CVarnexError (source, line).
void CheckFrameLineNumbers(std::string_view line, const std::string& source, int lineNumber);

// A position field that atof's rule reads whole: a decimal or hexadecimal number, "inf" or "nan"
// with an optional sign; not "abc" nor "1.5abc".
bool IsNumberField(std::string_view field);

}  // namespace varnex
