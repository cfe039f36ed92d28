#include "i18n/catalog_folders.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/native_path.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace varnex {

namespace {
// A language names one folder of the listing: hidden folders and paths are no languages.
bool IsFolderName(const std::string& language) {
    return !language.empty() && language[0] != '.' &&
           language.find_first_of("/\\") == std::string::npos;
}

bool IsFile(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(PathFromUtf8(path), ec);
}
}  // namespace

std::vector<std::string> CatalogFolders(const std::string& programFolder) {
    if (programFolder.empty()) return {};
    std::filesystem::path program = PathFromUtf8(programFolder);
    return {Utf8FromPath(program / "locale"),
            Utf8FromPath((program / ".." / "share" / "locale").lexically_normal())};
}

std::string ProgramFolder() {
#ifdef _WIN32
    std::wstring path(32768, L'\0');
    DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size()) return std::string();
    path.resize(length);
    return Utf8FromPath(std::filesystem::path(path).parent_path());
#else
    std::error_code ec;
    std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return std::string();
    return program.parent_path().string();
#endif
}

std::string CatalogFile(const std::string& folder, const std::string& language) {
    return Utf8FromPath(PathFromUtf8(folder) / PathFromUtf8(language) / "LC_MESSAGES" /
                        (std::string(CATALOG_DOMAIN) + ".mo"));
}

std::string CatalogFolder(const std::vector<std::string>& folders, const std::string& language) {
    if (!IsFolderName(language)) return std::string();
    for (const std::string& folder : folders) {
        if (IsFile(CatalogFile(folder, language))) return folder;
    }
    return std::string();
}

std::vector<std::string> CatalogLanguages(const std::vector<std::string>& folders) {
    std::vector<std::string> languages;
    for (const std::string& folder : folders) {
        std::error_code ec;
        for (std::filesystem::directory_iterator entry(PathFromUtf8(folder), ec), end;
             !ec && entry != end; entry.increment(ec)) {
            std::string language = Utf8FromPath(entry->path().filename());
            if (IsFolderName(language) && entry->is_directory(ec) &&
                IsFile(CatalogFile(folder, language))) {
                languages.push_back(language);
            }
        }
    }
    std::sort(languages.begin(), languages.end());
    languages.erase(std::unique(languages.begin(), languages.end()), languages.end());
    return languages;
}

std::vector<std::string> AvailableLanguages(const std::vector<std::string>& folders) {
    std::vector<std::string> languages = CatalogLanguages(folders);
    languages.erase(std::remove(languages.begin(), languages.end(), ORIGINAL_LANGUAGE),
                    languages.end());
    languages.insert(languages.begin(), ORIGINAL_LANGUAGE);
    return languages;
}

}  // namespace varnex
