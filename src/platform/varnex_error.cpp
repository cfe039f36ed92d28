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

std::string SystemReason(int errorNumber) { return std::strerror(errorNumber); }
