#include "smd_input/frame_keys.h"

#include <algorithm>
#include <climits>

#include "platform/varnex_error.h"
#include "smd_input/number_text.h"

namespace varnex {

namespace {
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The first field of a line, blanks around it left out.
std::string_view FirstField(std::string_view line) {
    std::size_t begin = 0;
    while (begin < line.size() && IsBlank(line[begin])) ++begin;
    std::size_t end = begin;
    while (end < line.size() && !IsBlank(line[end])) ++end;
    return line.substr(begin, end - begin);
}

bool EqualsIgnoringCase(std::string_view text, std::string_view lower) {
    if (text.size() != lower.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != lower[i]) return false;
    }
    return true;
}
}  // namespace

bool ReadNodeNumber(std::string_view line, int& number) {
    std::string_view field = FirstField(line);
    std::size_t i = 0;
    bool negative = false;
    if (i < field.size() && (field[i] == '+' || field[i] == '-')) negative = field[i++] == '-';
    if (i == field.size()) return false;
    long long value = 0;
    for (; i < field.size(); ++i) {
        if (!IsDigit(field[i])) return false;
        if (value <= INT_MAX) value = value * 10 + (field[i] - '0');
    }
    if (negative) value = -value;
    number = static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
    return true;
}

bool IsNumberField(std::string_view field) {
    std::size_t i = 0;
    if (i < field.size() && (field[i] == '+' || field[i] == '-')) ++i;
    std::string_view rest = field.substr(i);
    if (EqualsIgnoringCase(rest, "inf") || EqualsIgnoringCase(rest, "infinity") ||
        EqualsIgnoringCase(rest, "nan")) {
        return true;
    }
    bool hex = rest.size() > 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X');
    if (hex) i += 2;
    auto mantissaDigit = [hex](char c) {
        return IsDigit(c) || (hex && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
    };
    auto skip = [&field, &i](auto isWanted) {
        std::size_t count = 0;
        for (; i < field.size() && isWanted(field[i]); ++i) ++count;
        return count;
    };
    std::size_t digits = skip(mantissaDigit);
    if (i < field.size() && field[i] == '.') {
        ++i;
        digits += skip(mantissaDigit);
    }
    if (digits == 0) return false;
    const char exponent = hex ? 'p' : 'e';
    if (i < field.size() && (field[i] == exponent || field[i] == exponent - 'a' + 'A')) {
        ++i;
        if (i < field.size() && (field[i] == '+' || field[i] == '-')) ++i;
        if (skip(IsDigit) == 0) return false;
    }
    return i == field.size();
}

FRAME_FIELDS ParseNumberFields(std::string_view line, const std::string& source, int lineNumber) {
    FRAME_FIELDS f = ParseFrameFields(line, source, lineNumber);
    for (std::string_view position : {f.x, f.y, f.z}) {
        if (!IsNumberField(position)) {
            throw CVarnexError(ERROR_KIND::NOT_A_NUMBER, source, lineNumber,
                               {PrintableText(position)});
        }
    }
    for (std::string_view rotation : {f.rx, f.ry, f.rz}) {
        if (!IsDecimalNumber(rotation)) {
            throw CVarnexError(ERROR_KIND::NOT_A_NUMBER, source, lineNumber,
                               {PrintableText(rotation)});
        }
    }
    return f;
}

void KeyFirstFrame(SMD_HEAD& head) {
    std::vector<REST_POSE_LINE>& lines = head.rest.lines;
    bool inOrder = true;
    for (std::size_t i = 0; i < lines.size() && inOrder; ++i) {
        inOrder = LeadingNodeNumber(lines[i].text) == static_cast<int>(i) &&
                  (i >= head.nodes.size() || head.nodes[i].number == static_cast<int>(i));
    }
    if (inOrder) return;
    CFrameKeys keys(head.nodes);
    keys.StartFrame();
    std::vector<REST_POSE_LINE> byNode(head.nodes.size());
    std::vector<bool> present(head.nodes.size(), false);
    for (REST_POSE_LINE& line : lines) {
        std::size_t place = keys.Place(line.text, head.source, line.lineNumber, head.frame0Time);
        byNode[place] = std::move(line);
        present[place] = true;
    }
    std::size_t kept = 0;
    while (kept < present.size() && present[kept]) ++kept;
    byNode.resize(kept);
    lines = std::move(byNode);
}

CFrameKeys::CFrameKeys(const std::vector<SMD_NODE>& nodes)
    : m_count(nodes.size()), m_seen(nodes.size(), 0) {
    bool numbersArePlaces = true;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        if (nodes[i].number != static_cast<int>(i)) numbersArePlaces = false;
    }
    if (!numbersArePlaces) {
        for (const SMD_NODE& node : nodes) m_numbers.push_back(node.number);
    }
}

std::size_t CFrameKeys::PlaceOfNumber(int number) const {
    if (m_numbers.empty()) {
        return number >= 0 && static_cast<std::size_t>(number) < m_count
                   ? static_cast<std::size_t>(number)
                   : NO_NODE;
    }
    // A list numbered otherwise than 0, 1, 2...: the first node of that number, as a list read
    // into an array by number keeps the first it finds.
    auto at = std::find(m_numbers.begin(), m_numbers.end(), number);
    return at == m_numbers.end() ? NO_NODE : static_cast<std::size_t>(at - m_numbers.begin());
}

int CFrameKeys::NumberAt(std::size_t place) const {
    return m_numbers.empty() ? static_cast<int>(place) : m_numbers[place];
}

void CFrameKeys::StartFrame() {
    if (++m_frame == 0) {
        // After four billion frames the marks wrap: clear them once.
        std::fill(m_seen.begin(), m_seen.end(), 0u);
        m_frame = 1;
    }
    m_inOrder = true;
    m_lines = 0;
}

std::size_t CFrameKeys::PlaceAnyLine(std::string_view line, const std::string& source,
                                     int lineNumber, const std::string& timeText) {
    int number = 0;
    if (!ReadNodeNumber(line, number)) {
        throw CVarnexError(ERROR_KIND::NODE_NUMBER_NOT_A_NUMBER, source, lineNumber,
                           {PrintableText(FirstField(line))});
    }
    std::size_t place = PlaceOfNumber(number);
    if (place == NO_NODE) {
        throw CVarnexError(ERROR_KIND::NODE_NOT_IN_LIST, source, lineNumber,
                           {timeText, std::to_string(number), std::to_string(m_count)});
    }
    if (m_seen[place] == m_frame) {
        throw CVarnexError(ERROR_KIND::NODE_REPEATED_IN_FRAME, source, lineNumber,
                           {timeText, std::to_string(number)});
    }
    Mark(place);
    return place;
}

}  // namespace varnex
