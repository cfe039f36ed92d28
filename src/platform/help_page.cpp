#include "platform/help_page.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/native_path.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

std::string FindHelpPage(const std::string& name, const std::string& programPath) {
    std::vector<fs::path> folders;
    std::error_code ec;
    fs::path current = fs::current_path(ec);
    if (!ec) folders.push_back(current);
    if (!programPath.empty()) {
        fs::path programFolder = PathFromUtf8(programPath).parent_path();
        folders.push_back(programFolder);
        folders.push_back(programFolder.parent_path() / "share" / "varnex");
    }
    for (const fs::path& folder : folders) {
        fs::path page = folder / PathFromUtf8(name);
        if (fs::is_regular_file(page, ec)) return Utf8FromPath(page);
    }
    return std::string();
}

std::string RunningProgramPath() {
#ifdef _WIN32
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return std::string();
        if (length < path.size()) {
            path.resize(length);
            return Utf8FromWide(path);
        }
        path.resize(path.size() * 2);
    }
#else
    std::error_code ec;
    fs::path path = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : path.string();
#endif
}
