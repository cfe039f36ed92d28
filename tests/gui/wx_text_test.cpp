#include "gui/wx_text.h"

#include <gtest/gtest.h>

#include "app/varnex_dlg.h"

namespace varnex {

TEST(FileDialogFilters, TheTrailingEmptyPairIsDropped) {
    EXPECT_EQ(WildcardOf(SMD_FILTER), "Half-Life SMD smd(*.smd)|*.smd");
    EXPECT_EQ(WildcardOf(CON_FILTER), "SMD Conversion con(*.con)|*.con");
    EXPECT_EQ(WildcardOf("A|*.a|B|*.b||"), "A|*.a|B|*.b");
    EXPECT_EQ(WildcardOf("A|*.a"), "A|*.a");
}

TEST(ScreenTexts, FrenchTextsKeepTheirAccentsBothWays) {
    const std::string text = "Choisissez d'abord un modèle de référence";
    wxString shown = ToWx(text);
    EXPECT_EQ(shown.length(), 41u);
    EXPECT_EQ(shown[25], wxUniChar(0xE8));
    EXPECT_EQ(FromWx(shown), text);
}

TEST(ScreenTexts, BytesThatAreNotUtf8AreShownAsLatin1) {
    wxString shown = ToWx("/tmp/mod\xE8le.smd");
    EXPECT_EQ(shown.length(), 15u);
    EXPECT_EQ(shown[8], wxUniChar(0xE8));
}

TEST(ScreenTexts, PathsGoBackAsTheFileSystemsBytes) {
    EXPECT_EQ(PathFromWx(wxString::FromUTF8("/tmp/mod\xC3\xA8le.smd")), "/tmp/mod\xC3\xA8le.smd");
}

TEST(FileDialogNames, ANameTypedWithoutExtensionGetsTheDefaultOne) {
    EXPECT_EQ(WithDefaultExtension("/tmp/grille", "con"), "/tmp/grille.con");
    EXPECT_EQ(WithDefaultExtension("/tmp/walk.smd", "smd"), "/tmp/walk.smd");
    EXPECT_EQ(WithDefaultExtension("/tmp/walk.txt", "smd"), "/tmp/walk.txt");
    EXPECT_EQ(WithDefaultExtension("/tmp/v1.2/walk", "smd"), "/tmp/v1.2/walk.smd");
    EXPECT_EQ(WithDefaultExtension("/tmp/walk", ""), "/tmp/walk");
}

}  // namespace varnex
