#include "qc/qc_paths.h"

#include <cerrno>
#include <filesystem>
#include <set>
#include <system_error>

#include "platform/file_access.h"
#include "platform/native_path.h"
#include "platform/varnex_error.h"

namespace varnex {

namespace {
char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    }
    return true;
}

std::vector<std::string> SplitParts(std::string_view path) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string_view::npos) end = path.size();
        if (end > start) parts.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}
}  // namespace

bool CDiskQcFiles::IsFile(const std::string& path) const {
    std::error_code error;
    return std::filesystem::is_regular_file(PathFromUtf8(path), error);
}

bool CDiskQcFiles::IsFolder(const std::string& path) const {
    std::error_code error;
    return std::filesystem::is_directory(PathFromUtf8(path), error);
}

std::vector<std::string> CDiskQcFiles::List(const std::string& folder) const {
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator it(PathFromUtf8(folder), error), end;
         !error && it != end; it.increment(error)) {
        names.push_back(Utf8FromPath(it->path().filename()));
    }
    return names;
}

std::string CDiskQcFiles::Read(const std::string& path) const {
    CFile file;
    file.OpenForReading(path);
    std::string bytes;
    char buffer[65536];
    while (std::size_t got = file.Read(buffer, sizeof buffer)) bytes.append(buffer, got);
    return bytes;
}

std::string CDiskQcFiles::Identity(const std::string& path) const {
    std::error_code error;
    std::filesystem::path canonical = std::filesystem::weakly_canonical(PathFromUtf8(path), error);
    return error ? path : Utf8FromPath(canonical);
}

bool CMemoryQcFiles::IsFile(const std::string& path) const { return m_files.count(path) != 0; }

bool CMemoryQcFiles::IsFolder(const std::string& path) const {
    if (path == ".") return true;
    std::string prefix = path + "/";
    auto it = m_files.lower_bound(prefix);
    return it != m_files.end() && it->first.compare(0, prefix.size(), prefix) == 0;
}

std::vector<std::string> CMemoryQcFiles::List(const std::string& folder) const {
    std::string prefix = folder == "." ? std::string() : folder + "/";
    std::set<std::string> names;
    for (const auto& [path, bytes] : m_files) {
        if (path.compare(0, prefix.size(), prefix) != 0) continue;
        std::string rest = path.substr(prefix.size());
        names.insert(rest.substr(0, rest.find('/')));
    }
    return {names.begin(), names.end()};
}

std::string CMemoryQcFiles::Read(const std::string& path) const {
    auto it = m_files.find(path);
    if (it == m_files.end()) throw CVarnexError(ERROR_KIND::OPEN_FAILED, path, 0, {}, ENOENT);
    return it->second;
}

std::string SlashedPath(std::string_view written) {
    std::string path(written);
    for (char& c : path) {
        if (c == '\\') c = '/';
    }
    return path;
}

bool IsAbsoluteQcPath(std::string_view written) {
    return !written.empty() &&
           (written[0] == '/' || written[0] == '\\' || (written.size() > 1 && written[1] == ':'));
}

std::string QcFolderOf(const std::string& path) {
    std::string folder = SlashedPath(FolderOf(path));
    if (folder.empty()) return ".";
    if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}

std::string JoinQcPath(const std::string& folder, std::string_view written) {
    std::string rest = SlashedPath(written);
    if (IsAbsoluteQcPath(rest)) return rest;
    while (rest.compare(0, 2, "./") == 0) rest.erase(0, 2);
    if (rest == ".") rest.clear();
    if (rest.empty()) return folder;
    if (folder == ".") return rest;
    return folder.back() == '/' ? folder + rest : folder + "/" + rest;
}

std::string SmdFileName(std::string_view name) {
    if (name.size() >= 4 && EqualIgnoringCase(name.substr(name.size() - 4), ".smd")) {
        return std::string(name);
    }
    return std::string(name) + ".smd";
}

std::string SmdPathOf(const std::string& cdFolder, std::string_view name) {
    return JoinQcPath(cdFolder, SmdFileName(name));
}

std::optional<std::string> MatchNameIgnoringCase(const std::vector<std::string>& names,
                                                 std::string_view wanted) {
    const std::string* match = nullptr;
    int matches = 0;
    for (const std::string& name : names) {
        if (name == wanted) return name;
        if (EqualIgnoringCase(name, wanted)) {
            match = &name;
            ++matches;
        }
    }
    if (matches != 1) return std::nullopt;
    return *match;
}

std::optional<std::string> LocateQcPath(const CQcFileSystem& files, const std::string& path) {
    if (files.IsFile(path) || files.IsFolder(path)) return path;
    // The root stays as written: "/", "C:/", or the current folder.
    std::string found = ".";
    std::string_view rest = path;
    if (!rest.empty() && rest[0] == '/') {
        found = "/";
        rest.remove_prefix(1);
    } else if (rest.size() > 1 && rest[1] == ':') {
        found = std::string(rest.substr(0, 2)) + "/";
        rest.remove_prefix(rest.size() > 2 && rest[2] == '/' ? 3 : 2);
    }
    for (const std::string& part : SplitParts(rest)) {
        std::string exact = JoinQcPath(found, part);
        if (part == "." || part == ".." || files.IsFile(exact) || files.IsFolder(exact)) {
            found = exact;
            continue;
        }
        std::optional<std::string> match = MatchNameIgnoringCase(files.List(found), part);
        if (!match) return std::nullopt;
        found = JoinQcPath(found, *match);
    }
    if (!files.IsFile(found) && !files.IsFolder(found)) return std::nullopt;
    return found;
}

std::optional<std::string> LocateSmd(const CQcFileSystem& files, const std::string& cdFolder,
                                     std::string_view name) {
    std::optional<std::string> path = LocateQcPath(files, SmdPathOf(cdFolder, name));
    if (path && !files.IsFile(*path)) return std::nullopt;
    return path;
}

}  // namespace varnex
