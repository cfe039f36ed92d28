// Properties of the windows' layouts as GTK draws them: every control can be seen whole, and every
// value the grid holds can be read whole.
#include <gtest/gtest.h>

#include "gui/about_dlg.h"
#include "scripted_window.h"

namespace varnex {

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
