// The catalogs of the window and of the Windows command line: compiled gettext catalogs
// (varnex.mo) read by wxWidgets' translations, from the folders of catalog_folders.h.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "i18n/catalog_folders.h"
#include "platform/text_catalog.h"

class wxTranslations;

namespace varnex {

class CWxTextCatalog : public CTextCatalog {
  public:
    // Speaks French (the originals) until SetLanguage; catalogs are looked for in folders, in
    // order.
    explicit CWxTextCatalog(std::vector<std::string> folders);
    ~CWxTextCatalog() override;
    CWxTextCatalog(const CWxTextCatalog&) = delete;
    CWxTextCatalog& operator=(const CWxTextCatalog&) = delete;

    // Speaks language from now on. False, and French, when no catalog of it can be read (French
    // itself needs none).
    bool SetLanguage(const std::string& language);
    std::string Language() const override { return m_language; }
    // French and every language whose catalog lies in the folders, sorted after French.
    std::vector<std::string> Languages() const;

  protected:
    std::string Find(const char* original) const override;
    std::string FindPlural(const char* singular, unsigned long count) const override;

  private:
    std::vector<std::string> m_folders;
    std::unique_ptr<wxTranslations> m_translations;  // none for French
    std::string m_language = ORIGINAL_LANGUAGE;
};

}  // namespace varnex
