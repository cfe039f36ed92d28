#include "platform/varnex_error.h"

#include <cstring>

namespace {
std::string Compose(const std::string& file, int line, const std::string& message) {
    if (file.empty()) return message;
    if (line > 0) return file + ":" + std::to_string(line) + ": " + message;
    return file + ": " + message;
}
}  // namespace

CVarnexError::CVarnexError(std::string file, int line, std::string message)
    : std::runtime_error(Compose(file, line, message)),
      m_file(std::move(file)),
      m_line(line),
      m_message(std::move(message)) {}

std::string CVarnexError::Text() const { return what(); }

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

std::string SystemReason(int errorNumber) { return std::strerror(errorNumber); }
