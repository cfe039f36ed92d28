#include "i18n/wx_text_catalog.h"

#include <wx/dir.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/translation.h>

#include <algorithm>
#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#endif

namespace varnex {

namespace {
constexpr const char* DOMAIN_NAME = "varnex";

wxString CatalogPath(const std::string& folder, const wxString& language) {
    wxFileName path(wxString::FromUTF8(folder), wxString(DOMAIN_NAME) + ".mo");
    path.AppendDir(language);
    path.AppendDir("LC_MESSAGES");
    return path.GetFullPath();
}

// Reads <folder>/<language>/LC_MESSAGES/varnex.mo from the first folder that has it.
class CCatalogLoader : public wxTranslationsLoader {
  public:
    explicit CCatalogLoader(std::vector<std::string> folders) : m_folders(std::move(folders)) {}

    wxMsgCatalog* LoadCatalog(const wxString& domain, const wxString& language) override {
        for (const std::string& folder : m_folders) {
            wxString path = CatalogPath(folder, language);
            if (wxFileExists(path)) return wxMsgCatalog::CreateFromFile(path, domain);
        }
        return nullptr;
    }

    wxArrayString GetAvailableTranslations(const wxString&) const override {
        wxArrayString languages;
        for (const std::string& folder : m_folders) {
            wxDir dir;
            if (!wxDirExists(wxString::FromUTF8(folder)) || !dir.Open(wxString::FromUTF8(folder))) {
                continue;
            }
            wxString language;
            for (bool more = dir.GetFirst(&language, "", wxDIR_DIRS); more;
                 more = dir.GetNext(&language)) {
                if (wxFileExists(CatalogPath(folder, language)) &&
                    languages.Index(language) == wxNOT_FOUND) {
                    languages.push_back(language);
                }
            }
        }
        return languages;
    }

  private:
    std::vector<std::string> m_folders;
};
}  // namespace

CWxTextCatalog::CWxTextCatalog(std::vector<std::string> folders) : m_folders(std::move(folders)) {}

CWxTextCatalog::~CWxTextCatalog() = default;

bool CWxTextCatalog::SetLanguage(const std::string& language) {
    m_translations.reset();
    m_language = "fr";
    if (language == "fr") return true;
    // A catalog that cannot be read is told by the caller; wx's own log would print it again.
    wxLogNull quiet;
    auto translations = std::make_unique<wxTranslations>();
    translations->SetLoader(new CCatalogLoader(m_folders));
    translations->SetLanguage(wxString::FromUTF8(language));
    if (!translations->AddCatalog(DOMAIN_NAME, wxLANGUAGE_FRENCH) ||
        !translations->IsLoaded(DOMAIN_NAME)) {
        return false;
    }
    m_translations = std::move(translations);
    m_language = language;
    return true;
}

std::vector<std::string> CWxTextCatalog::Languages() const {
    wxLogNull quiet;
    CCatalogLoader loader(m_folders);
    std::vector<std::string> languages;
    for (const wxString& language : loader.GetAvailableTranslations(DOMAIN_NAME)) {
        languages.push_back(language.utf8_string());
    }
    std::sort(languages.begin(), languages.end());
    languages.erase(std::remove(languages.begin(), languages.end(), "fr"), languages.end());
    languages.insert(languages.begin(), "fr");
    return languages;
}

std::string CWxTextCatalog::Find(const char* original) const {
    if (!m_translations) return std::string();
    const wxString* found =
        m_translations->GetTranslatedString(wxString::FromUTF8(original), DOMAIN_NAME);
    return found != nullptr ? found->utf8_string() : std::string();
}

std::string CWxTextCatalog::FindPlural(const char* singular, unsigned long count) const {
    if (!m_translations) return std::string();
    const wxString* found = m_translations->GetTranslatedString(
        wxString::FromUTF8(singular),
        static_cast<unsigned>(std::min<unsigned long>(count, 0xFFFFFFFEul)), DOMAIN_NAME);
    return found != nullptr ? found->utf8_string() : std::string();
}

std::vector<std::string> CatalogFolders(const std::string& programFolder) {
    if (programFolder.empty()) return {};
    wxFileName beside(wxString::FromUTF8(programFolder), "");
    beside.AppendDir("locale");
    wxFileName shared(wxString::FromUTF8(programFolder), "");
    shared.AppendDir("..");
    shared.AppendDir("share");
    shared.AppendDir("locale");
    shared.Normalize(wxPATH_NORM_DOTS);
    return {beside.GetPath().utf8_string(), shared.GetPath().utf8_string()};
}

std::string ProgramFolder() {
    // wxStandardPaths would need a wx application, which the command line does not start.
#ifdef _WIN32
    std::wstring path(32768, L'\0');
    DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size()) return std::string();
    path.resize(length);
    return wxFileName(wxString(path)).GetPath().utf8_string();
#else
    std::error_code ec;
    std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return std::string();
    return program.parent_path().string();
#endif
}

}  // namespace varnex
