// The compiled catalogs read through wxWidgets and through the C library, and the system's
// reasons in the chosen language.
#include <gtest/gtest.h>

#include <cerrno>
#include <clocale>
#include <cstdlib>

#include "app/error_text.h"
#include "i18n/wx_text_catalog.h"
#ifndef _WIN32
#include "i18n/gettext_text_catalog.h"
#endif

namespace varnex {

namespace {
class CEnglishFixture : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(english.SetLanguage("en")) << ProgramFolder(); }
    CWxTextCatalog english{CatalogFolders(ProgramFolder())};
};
}  // namespace

TEST_F(CEnglishFixture, TranslatesTextsTheirValuesAndTheirPlurals) {
    EXPECT_EQ(english.Languages(), (std::vector<std::string>{"fr", "en"}));
    EXPECT_EQ(english.Language(), "en");
    CVarnexError error(ERROR_KIND::INCOMPLETE_FRAME_LINE, "walk.smd", 57, {"5"});
    EXPECT_EQ(ErrorText(error, english),
              "walk.smd:57: incomplete skeleton line: 5 fields instead of 7");
    EXPECT_EQ(NoteRowsLeftOut("a.con", 1, 60, english),
              "a.con: 1 row of the file is not loaded: the grid has only 60");
    EXPECT_EQ(NoteRowsLeftOut("a.con", 2, 60, english),
              "a.con: 2 rows of the file are not loaded: the grid has only 60");
    // French's plural starts at 2, English's at 0.
    EXPECT_EQ(NoteSameNames(1),
              "1 ligne non appariée a un node du même nom dans l'animation de "
              "référence : --pair-same-names les apparie");
    EXPECT_EQ(english.Tr("ceci n'est dans aucun catalogue"), "ceci n'est dans aucun catalogue");
    english.SetLanguage("fr");
    EXPECT_EQ(ErrorText(error, english),
              "walk.smd:57: ligne de squelette incomplète : 5 champs au lieu de 7");
}

#ifndef _WIN32
// The command line on Linux reads the same catalogs through the C library's gettext: the same
// texts and plurals, whatever LANGUAGE the user set, which gets its value back afterwards.
TEST_F(CEnglishFixture, TheCLibraryReadsTheSameTexts) {
    const char* user = std::getenv("LANGUAGE");
    std::string userLanguage = user != nullptr ? user : "(none)";
    {
        CGettextTextCatalog gettext(CatalogFolders(ProgramFolder()));
        EXPECT_EQ(gettext.Languages(), english.Languages());
        EXPECT_FALSE(gettext.SetLanguage("de"));
        ASSERT_TRUE(gettext.SetLanguage("en"));
        EXPECT_EQ(gettext.Language(), "en");
        CVarnexError error(ERROR_KIND::INCOMPLETE_FRAME_LINE, "walk.smd", 57, {"5"});
        EXPECT_EQ(ErrorText(error, gettext), ErrorText(error, english));
        for (int count : {0, 1, 2}) {
            EXPECT_EQ(NoteRowsLeftOut("a.con", count, 60, gettext),
                      NoteRowsLeftOut("a.con", count, 60, english));
        }
        EXPECT_EQ(gettext.Tr("ceci n'est dans aucun catalogue"), "ceci n'est dans aucun catalogue");
        gettext.SetLanguage("fr");
        EXPECT_EQ(ErrorText(error, gettext),
                  "walk.smd:57: ligne de squelette incomplète : 5 champs au lieu de 7");
        ASSERT_TRUE(gettext.SetLanguage("en"));
        EXPECT_EQ(ErrorText(error, gettext), ErrorText(error, english));
    }
    user = std::getenv("LANGUAGE");
    EXPECT_EQ(user != nullptr ? user : "(none)", userLanguage);
}
#endif

// The window system sets the process's locale from the user's settings: a French C library must
// not put its words into an English message, nor its English into a French one where French words
// exist.
TEST_F(CEnglishFixture, SystemReasonsSpeakTheChosenLanguageWhateverTheProcessLocale) {
    std::string previous = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "fr_FR.UTF-8") == nullptr) GTEST_SKIP() << "no fr_FR.UTF-8 locale";
    EXPECT_EQ(SystemReason(ENOENT, english), "no such file or folder");
    EXPECT_EQ(SystemReason(EACCES, english), "permission denied");
    EXPECT_EQ(SystemReason(ENOSPC, english), "disk full");
    EXPECT_EQ(SystemReason(ENOTDIR, english), "Not a directory");
    EXPECT_EQ(SystemReason(EROFS), "système de fichiers en lecture seule");
    EXPECT_NE(SystemReason(ENOTDIR), "Not a directory");
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(SystemReason(EISDIR, english), "it is a folder");
    std::setlocale(LC_ALL, previous.c_str());
}

}  // namespace varnex
