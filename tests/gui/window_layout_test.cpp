// Properties of the windows' layouts as GTK draws them: every control can be seen whole, and every
// value the grid holds can be read whole.
#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/stattext.h>

#include "gui/about_dlg.h"
#include "scripted_window.h"

namespace varnex {

namespace {
// Every button and label of window shows its text whole: a button at least as wide as GTK makes
// one that just fits the text, a label at least as wide as its text. The status line, which
// shortens long texts on purpose, and empty labels are left out.
void ExpectLabelsFit(wxWindow& window, const std::string& language) {
    for (wxWindow* child : window.GetChildren()) {
        wxString label = child->GetLabel();
        if (label.empty()) continue;
        if (dynamic_cast<wxButton*>(child)) {
            auto* probe = new wxButton(&window, wxID_ANY, label, wxDefaultPosition, wxDefaultSize,
                                       wxBU_EXACTFIT);
            int needed = probe->GetBestSize().x;
            probe->Destroy();
            EXPECT_LE(needed, child->GetSize().x) << language << " button \"" << label << "\"";
        } else if (dynamic_cast<wxStaticText*>(child)) {
            wxSize text = child->GetTextExtent(label);
            EXPECT_LE(text.x, child->GetSize().x) << language << " label \"" << label << "\"";
            EXPECT_LE(text.y, child->GetSize().y) << language << " label \"" << label << "\"";
        }
    }
}
}  // namespace

// In every language the window has a catalog for, at the dialog's sizes.
TEST(Layout, EveryLabelFitsItsControlInEveryLanguage) {
    CShownWindow window;
    std::vector<std::string> languages = window.Languages();
    ASSERT_GE(languages.size(), 2u);
    for (const std::string& language : languages) {
        ASSERT_TRUE(window.SetLanguage(language));
        ExpectLabelsFit(window, language);
        CAboutDlg about(&window, window.Texts());
        ExpectLabelsFit(about, language);
    }
}

TEST(Layout, NoControlOverlapsAnotherAndAllLieInsideTheWindow) {
    CScriptedWindow window;
    ExpectApartAndInside(window);
    CAboutDlg about(&window);
    ExpectApartAndInside(about);
}

// A box shows its text whole when the room GTK leaves around the text, added to the text's
// width, stays within the box.
TEST(Layout, NodesBoxesShowThreeDigitsAndCorrectionBoxesEightCharacters) {
    CShownWindow window;
    for (int row = 0; row < DEFAULT_GRID_ROWS; ++row) {
        for (auto [box, text] : {std::pair{window.NodeEdit(row), "115"},
                                 std::pair{window.CorrectionEdit(row), "0.333333"}}) {
            int needed = box->GetSizeFromTextSize(box->GetTextExtent(text).x).x;
            EXPECT_LE(needed, box->GetSize().x) << "row " << row << " \"" << text << "\"";
        }
    }
}

}  // namespace varnex
