#include "cli/console_output.h"

#ifdef _WIN32
#include <windows.h>
// Needs the types of windows.h.
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include "platform/native_path.h"

std::vector<std::string> Utf8Arguments() {
    std::vector<std::string> arguments;
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) return arguments;
    for (int i = 0; i < count; ++i) arguments.push_back(Utf8FromWide(wide[i]));
    LocalFree(wide);
    return arguments;
}

CConsoleOutput::CConsoleOutput(std::FILE* stream) : m_stream(stream) {
    HANDLE handle = GetStdHandle(stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (handle != INVALID_HANDLE_VALUE && handle != nullptr && GetConsoleMode(handle, &mode)) {
        m_console = handle;
    } else {
        // The C runtime would turn every LF into CR LF.
        _setmode(_fileno(stream), _O_BINARY);
    }
}

CConsoleOutput::~CConsoleOutput() { WritePending(); }

CConsoleOutput::int_type CConsoleOutput::overflow(int_type ch) {
    if (traits_type::eq_int_type(ch, traits_type::eof())) return traits_type::not_eof(ch);
    char c = traits_type::to_char_type(ch);
    xsputn(&c, 1);
    return ch;
}

std::streamsize CConsoleOutput::xsputn(const char* text, std::streamsize count) {
    m_pending.append(text, static_cast<std::size_t>(count));
    if (m_pending.find('\n') != std::string::npos) WritePending();
    return count;
}

int CConsoleOutput::sync() {
    WritePending();
    return 0;
}

void CConsoleOutput::WritePending() {
    if (m_pending.empty()) return;
    if (m_console == nullptr) {
        std::fwrite(m_pending.data(), 1, m_pending.size(), m_stream);
        std::fflush(m_stream);
        m_pending.clear();
        return;
    }
    // A character cut between two writes is kept for the next one.
    std::size_t end = m_pending.size();
    std::size_t back = 0;
    while (back < 3 && back < end &&
           (static_cast<unsigned char>(m_pending[end - 1 - back]) & 0xC0) == 0x80) {
        ++back;
    }
    if (back < end) {
        unsigned char lead = static_cast<unsigned char>(m_pending[end - 1 - back]);
        std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        if (length > back + 1) end -= back + 1;
    }
    std::wstring wide = WideFromUtf8(std::string_view(m_pending.data(), end));
    DWORD written = 0;
    WriteConsoleW(static_cast<HANDLE>(m_console), wide.data(), static_cast<DWORD>(wide.size()),
                  &written, nullptr);
    m_pending.erase(0, end);
}
#endif
