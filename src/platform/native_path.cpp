#include "platform/native_path.h"

#include <algorithm>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#endif

std::string NativePathText(std::string path) {
    if (PATH_SEPARATOR != '/') std::replace(path.begin(), path.end(), '/', PATH_SEPARATOR);
    return path;
}

#ifdef _WIN32
std::wstring WideFromUtf8(std::string_view text) {
    if (text.empty()) return std::wstring();
    int size = static_cast<int>(text.size());
    int count = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(count), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), count);
    return wide;
}

std::string Utf8FromWide(std::wstring_view text) {
    if (text.empty()) return std::string();
    int size = static_cast<int>(text.size());
    int count = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(count), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, bytes.data(), count, nullptr, nullptr);
    return bytes;
}

std::filesystem::path PathFromUtf8(const std::string& text) {
    return std::filesystem::path(WideFromUtf8(text));
}

std::string Utf8FromPath(const std::filesystem::path& path) { return Utf8FromWide(path.native()); }

std::FILE* OpenFileUtf8(const std::string& path, const char* mode) {
    std::wstring widePath = WideFromUtf8(path);
    std::string_view modeText(mode);
    if (modeText.find('x') != std::string_view::npos) {
        // The system's C runtime may not know "x": the same through an exclusive open.
        int fd = _wopen(widePath.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY,
                        _S_IREAD | _S_IWRITE);
        if (fd < 0) return nullptr;
        std::FILE* file = _fdopen(fd, "wb");
        if (file == nullptr) _close(fd);
        return file;
    }
    return _wfopen(widePath.c_str(), WideFromUtf8(modeText).c_str());
}
#else
std::filesystem::path PathFromUtf8(const std::string& text) { return std::filesystem::path(text); }

std::string Utf8FromPath(const std::filesystem::path& path) { return path.native(); }

std::FILE* OpenFileUtf8(const std::string& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}
#endif
