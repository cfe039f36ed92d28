// Where the front ends find their compiled catalogs: <folder>/<language>/LC_MESSAGES/varnex.mo,
// the folders given in order. Shared by every catalog reader, whichever library reads the files.
#pragma once

#include <string>
#include <vector>

namespace varnex {

// The gettext domain of Varnex's texts: its catalogs are files varnex.mo.
constexpr const char* CATALOG_DOMAIN = "varnex";
// The language the texts are written in, which needs no catalog.
constexpr const char* ORIGINAL_LANGUAGE = "fr";

// Where a program installed at programFolder finds its catalogs: the folder "locale" beside it
// (a Windows folder, the build tree), then ../share/locale (an installation under a prefix, such
// as /usr/bin and /usr/share/locale). None when programFolder is empty.
std::vector<std::string> CatalogFolders(const std::string& programFolder);
// The folder of the running program, or an empty text when the system cannot tell.
std::string ProgramFolder();

// The first of folders that holds a catalog of language, or an empty text when none does (also
// when language is no plain folder name: empty, hidden, or holding a separator).
std::string CatalogFolder(const std::vector<std::string>& folders, const std::string& language);
// The file of language's catalog in folder.
std::string CatalogFile(const std::string& folder, const std::string& language);
// Every language with a catalog in the folders, sorted, each once; folders that cannot be read
// add none.
std::vector<std::string> CatalogLanguages(const std::vector<std::string>& folders);
// French (the originals, which need no catalog) then the other languages of CatalogLanguages.
std::vector<std::string> AvailableLanguages(const std::vector<std::string>& folders);

}  // namespace varnex
