#include "i18n/language_choice.h"

#include <gtest/gtest.h>

namespace varnex {

namespace {
const std::vector<std::string> AVAILABLE = {"fr", "en"};
}  // namespace

// The settings in the system's order: LANGUAGE, LC_ALL, LC_MESSAGES, LANG.
TEST(LanguageChoice, FirstSettingThatNamesALanguageWins) {
    struct CASE {
        std::optional<std::string> option, varnexLang, language, lcAll, lcMessages, lang;
        const char* expected;
    };
    const std::optional<std::string> none;
    const CASE cases[] = {
        {none, none, none, none, none, none, "fr"},
        {none, none, none, none, none, "C", "fr"},
        {none, none, none, none, none, "POSIX", "fr"},
        {none, none, none, none, none, "C.UTF-8", "fr"},
        {none, none, none, none, none, "fr_FR.UTF-8", "fr"},
        {none, none, none, none, none, "fr_CA", "fr"},
        {none, none, none, none, none, "en_US.UTF-8", "en"},
        {none, none, none, none, none, "de_DE.UTF-8", "en"},
        {none, none, none, none, none, "ru_RU@euro", "en"},
        {none, none, "de:en", none, none, "fr_FR.UTF-8", "en"},
        {none, none, "de:fr", none, none, "en_US.UTF-8", "fr"},
        {none, none, "", "C", none, "en_US.UTF-8", "fr"},
        {none, none, none, none, "en_GB.UTF-8", "fr_FR.UTF-8", "en"},
        {none, "en", none, "fr_FR.UTF-8", none, none, "en"},
        {none, "", none, "en_US.UTF-8", none, none, "en"},
        {"fr", "en", "en", none, none, none, "fr"},
        {"de", none, none, none, none, "en_US.UTF-8", "en"},
    };
    for (const CASE& c : cases) {
        EXPECT_EQ(ChooseLanguage(c.option, c.varnexLang,
                                 {c.language, c.lcAll, c.lcMessages, c.lang}, AVAILABLE),
                  c.expected)
            << "option " << c.option.value_or("-") << ", VARNEX_LANG " << c.varnexLang.value_or("-")
            << ", LANGUAGE " << c.language.value_or("-") << ", LC_ALL " << c.lcAll.value_or("-")
            << ", LC_MESSAGES " << c.lcMessages.value_or("-") << ", LANG " << c.lang.value_or("-");
    }
}

// Windows gives its interface languages as a list of names such as "de-DE".
TEST(LanguageChoice, ReadsWindowsLanguageNames) {
    EXPECT_EQ(ChooseLanguage(std::nullopt, std::nullopt, {"fr-FR:"}, AVAILABLE), "fr");
    EXPECT_EQ(ChooseLanguage(std::nullopt, std::nullopt, {"de-DE:en-US:"}, AVAILABLE), "en");
    EXPECT_EQ(ChooseLanguage(std::nullopt, std::nullopt, {"pt-BR:"}, {"fr", "en", "pt"}), "pt");
}

// The window's remembered choice yields to --lang and VARNEX_LANG, wins over the system's settings,
// and is passed over once its catalog is gone.
TEST(LanguageChoice, RememberedLanguageComesBetweenTheVariableAndTheSettings) {
    const std::vector<std::optional<std::string>> french = {"fr_FR.UTF-8"};
    EXPECT_EQ(ChooseLanguage(std::nullopt, std::nullopt, "en", french, AVAILABLE), "en");
    EXPECT_EQ(ChooseLanguage("fr", std::nullopt, "en", {}, AVAILABLE), "fr");
    EXPECT_EQ(ChooseLanguage(std::nullopt, "fr", "en", {}, AVAILABLE), "fr");
    EXPECT_EQ(ChooseLanguage(std::nullopt, std::nullopt, "de", french, AVAILABLE), "fr");
}

}  // namespace varnex
