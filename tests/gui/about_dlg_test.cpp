#include "gui/about_dlg.h"

#include <gtest/gtest.h>
#include <wx/image.h>
#include <wx/stattext.h>

#include "scripted_window.h"

namespace varnex {

TEST(AboutBox, ShowsTheVersionAndItsDefaultOkEndsIt) {
    CAboutDlg about(nullptr);
    ShowAndDraw(about);
    bool versionShown = false;
    for (wxWindow* child : about.GetChildren()) {
        if (auto* text = dynamic_cast<wxStaticText*>(child)) {
            versionShown |= text->GetLabel() == "Varnex version 1.3";
        }
    }
    EXPECT_TRUE(versionShown);
    wxWindow* ok = about.FindWindow(wxID_OK);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(about.GetDefaultItem(), ok);
    wxCommandEvent click(wxEVT_BUTTON, wxID_OK);
    click.SetEventObject(ok);
    ok->ProcessWindowEvent(click);
    EXPECT_FALSE(about.IsShown());
}

TEST(AppIcon, WindowsIconHoldsTheSameTwoImagesAsTheXpmFiles) {
    const std::string resources = std::string(VARNEX_SOURCE_DIR) + "/resources/";
    ASSERT_EQ(wxImage::GetImageCount(resources + "varnex.ico", wxBITMAP_TYPE_ICO), 2);
    for (int index = 0; index < 2; ++index) {
        wxImage ico(resources + "varnex.ico", wxBITMAP_TYPE_ICO, index);
        int size = index == 0 ? 32 : 16;
        wxImage xpm(resources + "varnex_" + std::to_string(size) + ".xpm", wxBITMAP_TYPE_XPM);
        ASSERT_TRUE(ico.IsOk());
        ASSERT_TRUE(xpm.IsOk());
        ASSERT_EQ(ico.GetSize(), wxSize(size, size));
        ASSERT_EQ(xpm.GetSize(), wxSize(size, size));
        std::vector<std::string> differences;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                bool icoClear = ico.IsTransparent(x, y);
                bool xpmClear = xpm.IsTransparent(x, y);
                bool same = icoClear == xpmClear &&
                            (icoClear || (ico.GetRed(x, y) == xpm.GetRed(x, y) &&
                                          ico.GetGreen(x, y) == xpm.GetGreen(x, y) &&
                                          ico.GetBlue(x, y) == xpm.GetBlue(x, y)));
                if (!same) differences.push_back(std::to_string(x) + "," + std::to_string(y));
            }
        }
        EXPECT_TRUE(differences.empty())
            << size << "x" << size << " differs at " << differences.front();
    }
}

}  // namespace varnex
