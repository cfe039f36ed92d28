// The command line's arguments and messages on Windows: arguments come in as UTF-8 whatever the
// ANSI code page, and messages, UTF-8 inside Varnex, reach a console as the characters they are.
#pragma once

#ifdef _WIN32
#include <cstdio>
#include <streambuf>
#include <string>
#include <vector>

// The program's arguments as the system received them, in UTF-8.
std::vector<std::string> Utf8Arguments();

// Text for one of the standard streams. A console is written in UTF-16, so that it shows every
// letter in any code page; a file or a pipe receives the UTF-8 bytes as they are, with LF line
// ends as on every other system. Written at each line end and at each flush.
class CConsoleOutput : public std::streambuf {
public:
    // stream: stdout or stderr.
    explicit CConsoleOutput(std::FILE* stream);
    ~CConsoleOutput() override;

protected:
    int_type overflow(int_type ch) override;
    std::streamsize xsputn(const char* text, std::streamsize count) override;
    int sync() override;

private:
    void WritePending();

    std::FILE* m_stream;
    void* m_console = nullptr;  // the console's handle when the stream is one
    std::string m_pending;
};
#endif
