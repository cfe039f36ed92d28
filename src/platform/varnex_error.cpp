#include "platform/varnex_error.h"

namespace varnex {

namespace {
// A short description for what(): the words are composed elsewhere.
std::string Where(const std::string& file, int line, ERROR_KIND kind) {
    std::string text = file;
    if (line > 0) {
        text += ':';
        text += std::to_string(line);
    }
    text += ": error ";
    text += std::to_string(static_cast<int>(kind));
    return text;
}
}  // namespace

CVarnexError::CVarnexError(ERROR_KIND kind, std::string file, int line,
                           std::vector<std::string> values, int systemError)
    : std::runtime_error(Where(file, line, kind)),
      m_kind(kind),
      m_file(std::move(file)),
      m_line(line),
      m_values(std::move(values)),
      m_systemError(systemError) {}

const std::string& CVarnexError::Value(std::size_t index) const {
    static const std::string NONE;
    return index < m_values.size() ? m_values[index] : NONE;
}

std::string PrintableText(std::string_view text) {
    static const char HEX[] = "0123456789ABCDEF";
    std::string printable;
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F) {
            printable += c;
        } else {
            printable += "\\x";
            printable += HEX[byte >> 4];
            printable += HEX[byte & 0xF];
        }
    }
    return printable;
}

}  // namespace varnex
