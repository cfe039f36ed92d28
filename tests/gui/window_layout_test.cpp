// Properties of the windows' layouts as GTK draws them: every control can be seen whole, and every
// value the grid holds can be read whole.
#include <gtest/gtest.h>

#include "gui/about_dlg.h"
#include "scripted_window.h"

namespace varnex {

namespace {
// Every child lies inside the window's client area and overlaps no other child.
void ExpectApartAndInside(const wxWindow& window) {
    wxRect client(wxPoint(0, 0), window.GetClientSize());
    std::vector<wxWindow*> children(window.GetChildren().begin(), window.GetChildren().end());
    ASSERT_FALSE(children.empty());
    for (std::size_t i = 0; i < children.size(); ++i) {
        wxRect r = children[i]->GetRect();
        EXPECT_TRUE(client.Contains(r))
            << "child " << i << " (" << children[i]->GetLabel() << ") leaves the window";
        for (std::size_t j = i + 1; j < children.size(); ++j) {
            EXPECT_FALSE(r.Intersects(children[j]->GetRect()))
                << "children " << i << " (" << children[i]->GetLabel() << ") and " << j << " ("
                << children[j]->GetLabel() << ") overlap";
        }
    }
}
}  // namespace

TEST(Layout, NoControlOverlapsAnotherAndAllLieInsideTheWindow) {
    CScriptedWindow window;
    ExpectApartAndInside(window);
    CAboutDlg about(&window);
    ExpectApartAndInside(about);
}

// A box shows its text whole when the room GTK leaves around the text, added to the text's
// width, stays within the box.
TEST(Layout, NodesBoxesShowThreeDigitsAndCorrectionBoxesEightCharacters) {
    CScriptedWindow window;
    ShowAndDraw(window);
    for (int row = 0; row < DEFAULT_GRID_ROWS; ++row) {
        for (auto [box, text] : {std::pair{window.NodeEdit(row), "115"},
                                 std::pair{window.CorrectionEdit(row), "0.333333"}}) {
            int needed = box->GetSizeFromTextSize(box->GetTextExtent(text).x).x;
            EXPECT_LE(needed, box->GetSize().x) << "row " << row << " \"" << text << "\"";
        }
    }
}

}  // namespace varnex
