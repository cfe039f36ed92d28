#include "i18n/gettext_text_catalog.h"

#include <libintl.h>

#include <cstdlib>

namespace varnex {

namespace {
// LANGUAGE's value, or nothing when it is not set.
std::optional<std::string> LanguageVariable() {
    const char* value = std::getenv("LANGUAGE");
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

// gettext keeps the texts it found, for the LC_MESSAGES locale they were found under; setting
// the same text domain again is its way to hear that LANGUAGE changed and drop them.
void ForgetFoundTexts() { textdomain(textdomain(nullptr)); }

// The translation of msgid under messages, or nothing: gettext gives the very pointer it was
// passed when the catalog has no translation.
template <typename LOOKUP>
std::string FoundUnder(locale_t messages, const char* msgid, LOOKUP lookup) {
    if (messages == static_cast<locale_t>(nullptr)) return std::string();
    locale_t previous = uselocale(messages);
    const char* found = lookup();
    uselocale(previous);
    return found != msgid ? std::string(found) : std::string();
}
}  // namespace

CGettextTextCatalog::CGettextTextCatalog(std::vector<std::string> folders)
    : m_folders(std::move(folders)) {}

CGettextTextCatalog::~CGettextTextCatalog() { SpeakFrench(); }

void CGettextTextCatalog::SpeakFrench() {
    if (m_messages != static_cast<locale_t>(nullptr)) freelocale(m_messages);
    m_messages = static_cast<locale_t>(nullptr);
    m_language = ORIGINAL_LANGUAGE;
    if (!m_languageChanged) return;
    if (m_userLanguage) {
        setenv("LANGUAGE", m_userLanguage->c_str(), 1);
    } else {
        unsetenv("LANGUAGE");
    }
    m_languageChanged = false;
    ForgetFoundTexts();
}

bool CGettextTextCatalog::SetLanguage(const std::string& language) {
    SpeakFrench();
    if (language == ORIGINAL_LANGUAGE) return true;
    std::string folder = CatalogFolder(m_folders, language);
    if (folder.empty()) return false;
    m_messages = newlocale(LC_MESSAGES_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    if (m_messages == static_cast<locale_t>(nullptr)) return false;
    m_userLanguage = LanguageVariable();
    m_languageChanged = true;
    setenv("LANGUAGE", language.c_str(), 1);
    bindtextdomain(CATALOG_DOMAIN, folder.c_str());
    bind_textdomain_codeset(CATALOG_DOMAIN, "UTF-8");
    ForgetFoundTexts();
    // Every compiled catalog has a header, the translation of the empty text; a file gettext
    // cannot read has none.
    if (Find("").empty()) {
        SpeakFrench();
        return false;
    }
    m_language = language;
    return true;
}

std::string CGettextTextCatalog::Find(const char* original) const {
    return FoundUnder(m_messages, original,
                      [original]() { return dgettext(CATALOG_DOMAIN, original); });
}

std::string CGettextTextCatalog::FindPlural(const char* singular, unsigned long count) const {
    // The plural of the original is not at hand: the singular stands for both, which gettext
    // gives back whatever the count when the catalog has no translation.
    return FoundUnder(m_messages, singular, [singular, count]() {
        return dngettext(CATALOG_DOMAIN, singular, singular, count);
    });
}

}  // namespace varnex
