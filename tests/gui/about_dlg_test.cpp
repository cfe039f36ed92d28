#include "gui/about_dlg.h"

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/image.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "scripted_window.h"

namespace varnex {

namespace {
template <class T>
std::vector<T*> ChildrenOfKind(const wxWindow& window) {
    std::vector<T*> found;
    for (wxWindow* child : window.GetChildren()) {
        if (auto* kind = dynamic_cast<T*>(child)) found.push_back(kind);
    }
    return found;
}

wxRect DialogRect(const wxWindow& window, int x, int y, int width, int height) {
    return wxRect(window.ConvertDialogToPixels(wxPoint(x, y)),
                  window.ConvertDialogToPixels(wxSize(width, height)));
}
}  // namespace

TEST(AboutBox, ShowsTheIconTheVersionAndADefaultOk) {
    CAboutDlg about(nullptr);
    EXPECT_EQ(about.GetTitle(), "A propos de Varnex");
    EXPECT_EQ(about.GetClientSize(), about.ConvertDialogToPixels(wxSize(235, 78)));

    std::vector<wxStaticText*> texts = ChildrenOfKind<wxStaticText>(about);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0]->GetLabel(), "Varnex version 1.3");
    EXPECT_EQ(texts[0]->GetRect(), DialogRect(about, 50, 7, 119, 8));

    auto* ok = dynamic_cast<wxButton*>(about.FindWindow(wxID_OK));
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->GetLabel(), "OK");
    EXPECT_EQ(about.GetDefaultItem(), ok);
    EXPECT_EQ(ok->GetRect(), DialogRect(about, 178, 7, 50, 14));

    std::vector<wxStaticBitmap*> icons = ChildrenOfKind<wxStaticBitmap>(about);
    ASSERT_EQ(icons.size(), 1u);
    EXPECT_EQ(icons[0]->GetPosition(), about.ConvertDialogToPixels(wxPoint(11, 17)));
    EXPECT_EQ(icons[0]->GetBitmap().GetSize(), wxSize(32, 32));
}

TEST(AboutBox, OkEndsIt) {
    CAboutDlg about(nullptr);
    ShowAndDraw(about);
    wxCommandEvent click(wxEVT_BUTTON, wxID_OK);
    click.SetEventObject(about.FindWindow(wxID_OK));
    about.FindWindow(wxID_OK)->ProcessWindowEvent(click);
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
