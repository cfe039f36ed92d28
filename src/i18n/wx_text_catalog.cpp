#include "i18n/wx_text_catalog.h"

#include <wx/log.h>
#include <wx/translation.h>

#include <algorithm>

namespace varnex {

namespace {
// Reads <folder>/<language>/LC_MESSAGES/varnex.mo from the first folder that has it.
class CCatalogLoader : public wxTranslationsLoader {
  public:
    explicit CCatalogLoader(std::vector<std::string> folders) : m_folders(std::move(folders)) {}

    wxMsgCatalog* LoadCatalog(const wxString& domain, const wxString& language) override {
        std::string name = language.utf8_string();
        std::string folder = CatalogFolder(m_folders, name);
        if (folder.empty()) return nullptr;
        return wxMsgCatalog::CreateFromFile(wxString::FromUTF8(CatalogFile(folder, name)), domain);
    }

    wxArrayString GetAvailableTranslations(const wxString&) const override {
        wxArrayString languages;
        for (const std::string& language : CatalogLanguages(m_folders)) {
            languages.push_back(wxString::FromUTF8(language));
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
    m_language = ORIGINAL_LANGUAGE;
    if (language == ORIGINAL_LANGUAGE) return true;
    // A catalog that cannot be read is told by the caller; wx's own log would print it again.
    wxLogNull quiet;
    auto translations = std::make_unique<wxTranslations>();
    translations->SetLoader(new CCatalogLoader(m_folders));
    translations->SetLanguage(wxString::FromUTF8(language));
    if (!translations->AddCatalog(CATALOG_DOMAIN, wxLANGUAGE_FRENCH) ||
        !translations->IsLoaded(CATALOG_DOMAIN)) {
        return false;
    }
    m_translations = std::move(translations);
    m_language = language;
    return true;
}

std::vector<std::string> CWxTextCatalog::Languages() const { return AvailableLanguages(m_folders); }

std::string CWxTextCatalog::Find(const char* original) const {
    if (!m_translations) return std::string();
    const wxString* found =
        m_translations->GetTranslatedString(wxString::FromUTF8(original), CATALOG_DOMAIN);
    return found != nullptr ? found->utf8_string() : std::string();
}

std::string CWxTextCatalog::FindPlural(const char* singular, unsigned long count) const {
    if (!m_translations) return std::string();
    const wxString* found = m_translations->GetTranslatedString(
        wxString::FromUTF8(singular),
        static_cast<unsigned>(std::min<unsigned long>(count, 0xFFFFFFFEul)), CATALOG_DOMAIN);
    return found != nullptr ? found->utf8_string() : std::string();
}

}  // namespace varnex
