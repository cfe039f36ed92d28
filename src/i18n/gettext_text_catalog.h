// The catalogs of the command line on Linux: the compiled gettext catalogs (varnex.mo) of
// catalog_folders.h read by the C library's own gettext, so that the program links no library
// beside the C library to speak a language.
#pragma once

#include <locale.h>

#include <optional>
#include <string>
#include <vector>

#include "i18n/catalog_folders.h"
#include "platform/text_catalog.h"

namespace varnex {

// The C library speaks one language per process (gettext follows the variable LANGUAGE): only
// one catalog of this kind may speak another language than French at a time. The process's own
// locale is left alone, so that numbers and every other category keep theirs.
class CGettextTextCatalog : public CTextCatalog {
  public:
    // Speaks French (the originals) until SetLanguage; catalogs are looked for in folders, in
    // order.
    explicit CGettextTextCatalog(std::vector<std::string> folders);
    // Gives LANGUAGE back its value from before SetLanguage.
    ~CGettextTextCatalog() override;
    CGettextTextCatalog(const CGettextTextCatalog&) = delete;
    CGettextTextCatalog& operator=(const CGettextTextCatalog&) = delete;

    // Speaks language from now on. False, and French, when no catalog of it can be read (French
    // itself needs none) or the C library has no UTF-8 locale to read it through.
    bool SetLanguage(const std::string& language);
    std::string Language() const override { return m_language; }
    // French and every language whose catalog lies in the folders, sorted after French.
    std::vector<std::string> Languages() const { return AvailableLanguages(m_folders); }

  protected:
    std::string Find(const char* original) const override;
    std::string FindPlural(const char* singular, unsigned long count) const override;

  private:
    // Back to French, LANGUAGE as it was.
    void SpeakFrench();

    std::vector<std::string> m_folders;
    // The messages of the locale C.UTF-8, through which the catalog is read: gettext ignores
    // LANGUAGE under the locale C. None for French.
    locale_t m_messages = static_cast<locale_t>(nullptr);
    // Whether SetLanguage changed LANGUAGE, and its value before (nothing: it was not set).
    bool m_languageChanged = false;
    std::optional<std::string> m_userLanguage;
    std::string m_language = ORIGINAL_LANGUAGE;
};

}  // namespace varnex
