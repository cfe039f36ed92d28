// The one error type of Varnex: a file, a line and a French message.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

class CVarnexError : public std::runtime_error {
public:
    // line 0 means the message is about the whole file (or about no file when file is empty).
    CVarnexError(std::string file, int line, std::string message);

    const std::string& File() const { return m_file; }
    int Line() const { return m_line; }
    const std::string& Message() const { return m_message; }

    // "walk.smd:57: message", "walk.smd: message" or just "message".
    std::string Text() const;

private:
    std::string m_file;
    int m_line;
    std::string m_message;
};

// A value from a file as a message may quote it: bytes outside printable ASCII as \xNN.
std::string PrintableText(std::string_view text);

// The system's reason for the last failed file operation, in its own words.
std::string SystemReason(int errorNumber);
