// Paths as a .qc writes them and as modders keep their files: '\' and '/' both separate folders,
// relative paths start at the .qc's folder (where the model compiler is run), and names written on
// Windows are found on a case-sensitive disk when exactly one file matches them ignoring case.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varnex {

// The files a .qc reaches: the disk, or files held in memory (tests, the fuzzer).
class CQcFileSystem {
  public:
    virtual ~CQcFileSystem() = default;
    virtual bool IsFile(const std::string& path) const = 0;
    virtual bool IsFolder(const std::string& path) const = 0;
    // The names in folder; none when it is not a folder.
    virtual std::vector<std::string> List(const std::string& folder) const = 0;
    // The file's bytes; throws CVarnexError naming path with the system's reason.
    virtual std::string Read(const std::string& path) const = 0;
    // One text for every path of the same file (include cycles are told by it).
    virtual std::string Identity(const std::string& path) const { return path; }
};

class CDiskQcFiles : public CQcFileSystem {
  public:
    bool IsFile(const std::string& path) const override;
    bool IsFolder(const std::string& path) const override;
    std::vector<std::string> List(const std::string& folder) const override;
    std::string Read(const std::string& path) const override;
    std::string Identity(const std::string& path) const override;
};

// Files by their path ("models/walk.smd"); the folders are those their paths name.
class CMemoryQcFiles : public CQcFileSystem {
  public:
    void Add(const std::string& path, std::string bytes) { m_files[path] = std::move(bytes); }
    bool IsFile(const std::string& path) const override;
    bool IsFolder(const std::string& path) const override;
    std::vector<std::string> List(const std::string& folder) const override;
    std::string Read(const std::string& path) const override;

  private:
    std::map<std::string, std::string> m_files;
};

// The path with every '\' turned into '/'.
std::string SlashedPath(std::string_view written);
// Absolute as the model compiler tells it: starting with '/' or '\', or a drive ("C:").
bool IsAbsoluteQcPath(std::string_view written);
// The folder holding path, without its last separator; "." when path names no folder.
std::string QcFolderOf(const std::string& path);
// written taken from folder (a folder as QcFolderOf gives it) unless it is absolute, slashed,
// its leading "./" dropped.
std::string JoinQcPath(const std::string& folder, std::string_view written);
// The SMD file that a $sequence names: name + ".smd", unless it already ends in ".smd" (any case).
std::string SmdFileName(std::string_view name);
// <cdFolder>/<name>.smd as the model compiler builds it.
std::string SmdPathOf(const std::string& cdFolder, std::string_view name);

// The name of names that is wanted: the same name, else the one name equal to it ignoring case;
// none when no name or several names match ignoring case.
std::optional<std::string> MatchNameIgnoringCase(const std::vector<std::string>& names,
                                                 std::string_view wanted);
// The path as it is on files: path itself when it exists, else each missing part matched ignoring
// case (one match each); none when a part is missing or ambiguous.
std::optional<std::string> LocateQcPath(const CQcFileSystem& files, const std::string& path);
// The SMD file that a $sequence names, as it is on files: SmdPathOf then LocateQcPath; none when
// it is missing or ambiguous.
std::optional<std::string> LocateSmd(const CQcFileSystem& files, const std::string& cdFolder,
                                     std::string_view name);

}  // namespace varnex
