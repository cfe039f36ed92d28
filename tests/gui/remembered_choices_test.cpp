// The window's choices kept in a settings file of a temporary folder: back after a restart, gone
// after "Réglages d'origine"; a frame left where no screen is any more comes back into sight.
#include "gui/remembered_choices.h"

#include <gtest/gtest.h>
#include <wx/display.h>

#include <algorithm>
#include <filesystem>

#include "gui/preview_window.h"
#include "gui/window_layout.h"
#include "gui/wx_text.h"
#include "scripted_window.h"
#include "test_support.h"

namespace varnex {

namespace {
CRememberedChoices SettingsIn(const CTempDir& folder) {
    return CRememberedChoices(OpenSettingsFile(ToWx(folder.Path("config/varnex.conf"))));
}

std::string StatusOf(const CVarnexWindow& window) {
    return FromWx(window.StatusLine()->GetLabelText());
}
}  // namespace

TEST(RememberedChoices, ComeBackAfterARestartAndGoAfterDefaultSettings) {
    CTempDir settings;
    CTempDir files;
    std::filesystem::copy_file(SamplePath("knight_ref.smd"), files.Root() / "knight_ref.smd");
    const wxPoint windowAt(20, 10);
    wxRect previewAt;
    {
        CShownWindow window(SettingsIn(settings));
        EXPECT_EQ(StatusOf(window), "");
        window.Choose(IDM_ROOT_FROM_LEGS);
        window.Choose(IDM_PAIR_SAME_NAMES);
        window.Choose(IDM_WORLD_METHOD);
        window.Choose(IDM_FEET_CONTACT);
        const std::vector<std::string>& languages = window.Languages();
        auto english = std::find(languages.begin(), languages.end(), "en");
        ASSERT_NE(english, languages.end());
        window.Choose(IDM_LANGUAGE_FIRST + static_cast<int>(english - languages.begin()));
        window.Answer(files.Path("knight_ref.smd"));
        window.Press(IDC_REF_MODEL);
        // Placed by the user: the main window high up, the preview below it at its least size.
        window.OpenPreview();
        ShowAndDraw(*window.Preview());
        window.Move(windowAt);
        previewAt =
            wxRect(wxPoint(300, window.GetRect().GetBottom() + 10), window.Preview()->GetMinSize());
        window.Preview()->SetSize(previewAt);
        previewAt = window.Preview()->GetRect();
        window.Press(IDC_QUIT);
    }
    EXPECT_EQ(SettingsIn(settings).Language(), "en");
    {
        CShownWindow window(SettingsIn(settings));
        EXPECT_TRUE(window.Dialog().RootFromLegs());
        EXPECT_TRUE(window.Dialog().PairSameNames());
        EXPECT_TRUE(window.Dialog().WorldMethod());
        EXPECT_TRUE(window.Dialog().FeetContact());
        EXPECT_EQ(StatusOf(window),
                  "réglages retenus qui changent BUILD SMD : Racine d'après les "
                  "jambes, Apparier aussi les nodes de même nom, Orientations du monde, Pieds au "
                  "sol");
        EXPECT_EQ(window.GetPosition(), windowAt);
        window.OpenPreview();
        wxRect preview = window.Preview()->GetRect();
        EXPECT_EQ(preview.GetPosition(), previewAt.GetPosition());
        // Within what GTK guesses of a frame not yet mapped.
        EXPECT_NEAR(preview.width, previewAt.width, 4);
        EXPECT_NEAR(preview.height, previewAt.height, 4);
        window.Cancel();
        window.Press(IDC_REF_MODEL);
        ASSERT_EQ(window.shown.size(), 1u);
        EXPECT_EQ(window.shown[0].folder, files.Root().string());
        window.Choose(IDM_DEFAULT_SETTINGS);
        EXPECT_FALSE(window.Dialog().RootFromLegs());
        EXPECT_FALSE(window.Dialog().PairSameNames());
        EXPECT_FALSE(window.Dialog().WorldMethod());
        EXPECT_FALSE(window.Dialog().FeetContact());
        EXPECT_EQ(StatusOf(window), window.Texts().Tr("réglages d'origine rétablis"));
    }
    CShownWindow window(SettingsIn(settings));
    EXPECT_FALSE(window.Dialog().RootFromLegs());
    EXPECT_FALSE(window.Dialog().PairSameNames());
    EXPECT_EQ(StatusOf(window), "");
    EXPECT_EQ(SettingsIn(settings).Language(), std::nullopt);
    window.Cancel();
    window.Press(IDC_REF_MODEL);
    ASSERT_EQ(window.shown.size(), 1u);
    EXPECT_EQ(window.shown[0].folder, std::filesystem::current_path().string());
}

TEST(RememberedChoices, AFrameLeftWhereNoScreenIsComesBackOntoOne) {
    const std::vector<wxRect> screens = {{0, 0, 1280, 1024}, {1280, 0, 1920, 1080}};
    EXPECT_EQ(KeptOnScreen({1500, 100, 600, 400}, screens), wxRect(1500, 100, 600, 400));
    // Mostly on the second screen: wholly on it.
    EXPECT_EQ(KeptOnScreen({1100, -50, 600, 400}, screens), wxRect(1280, 0, 600, 400));
    // The second screen unplugged: onto the main one.
    EXPECT_EQ(KeptOnScreen({1500, 100, 600, 400}, {screens[0]}), wxRect(680, 100, 600, 400));
    EXPECT_EQ(KeptOnScreen({-100, 900, 2000, 300}, {screens[0]}), wxRect(0, 724, 1280, 300));
}

}  // namespace varnex
