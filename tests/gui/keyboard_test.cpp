// Real key presses and clicks through the X server (XTest), so that what GTK does with them is
// part of what is checked: typing, Tab, Enter on a box and on a button, Escape, Alt+A, the menu.
// Each wait is a bounded number of event-loop rounds until the expected change shows, never a
// clock.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/menu.h>
#include <wx/uiaction.h>


#include "gui/window_layout.h"
#include "gui/wx_text.h"
#include "scripted_window.h"

namespace varnex {

TEST(Keyboard, TypedTextIsWhatTheNextCommandTakes) {
    CShownWindow window;
    wxTextCtrl* box = window.NodeEdit(4);
    ClickInto(box);
    ASSERT_EQ(FocusedId(), NodeEditId(4));
    wxUIActionSimulator().Text("117");
    ASSERT_TRUE(RunUntil([box] { return box->GetValue() == "117"; })) << box->GetValue();
    window.Cancel();
    window.Press(IDC_SAVE_CON);
    EXPECT_EQ(window.Dialog().Grid().Nodes()[4], "117");
}

// The whole order is the order of the window's children (MainLayout); here real Tab presses
// cross each seam of it: from the NODES boxes to the buttons, from the buttons to the Correction
// boxes, from the second group's Corrections to the third group's NODES, and round the end.
TEST(Keyboard, TabCrossesFromGroupToGroupInTheDialogsOrder) {
    struct STRETCH {
        int start;
        std::vector<int> reached;
    };
    const STRETCH stretches[] = {
        {1042, {1020, 1021, 1022, 1043, 1044, 1045, 1046, 1047}},
        {1086, {1087}},
        {1106, {1107}},
        {1126, {1127, 1130, 1000}},
    };
    CShownWindow window;
    for (const STRETCH& stretch : stretches) {
        ClickInto(dynamic_cast<wxTextCtrl*>(window.FindWindow(stretch.start)));
        ASSERT_EQ(FocusedId(), stretch.start);
        std::vector<int> visited;
        for (std::size_t press = 0; press < stretch.reached.size(); ++press) {
            int before = FocusedId();
            wxUIActionSimulator().Char(WXK_TAB);
            ASSERT_TRUE(RunUntil([before] { return FocusedId() != before; })) << stretch.start;
            visited.push_back(FocusedId());
        }
        EXPECT_EQ(visited, stretch.reached) << "Tab from " << stretch.start;
    }
}

// Enter after a value goes on to the next edit box in Tab order, passing over the buttons
// (after row 39's NODES come the seven buttons, then row 0's Correction) and round the end;
// Escape does nothing. The window stays, with every value typed.
TEST(Keyboard, EnterGoesToTheNextEditBoxAndEscapeDoesNothing) {
    struct STEP {
        int box;
        const char* text;
        int next;
    };
    const STEP steps[] = {{1042, "115", 1047}, {1086, "0.333333", 1087}, {1126, "0.5", 1000}};
    CShownWindow window;
    wxUIActionSimulator user;
    for (const STEP& step : steps) {
        auto* box = dynamic_cast<wxTextCtrl*>(window.FindWindow(step.box));
        ClickInto(box);
        user.Text(step.text);
        ASSERT_TRUE(RunUntil([&] { return box->GetValue() == step.text; })) << step.box;
        user.Char(WXK_RETURN);
        EXPECT_TRUE(RunUntil([&] { return FocusedId() == step.next; })) << step.box;
        ClickInto(box);
        user.Char(WXK_ESCAPE);
        EXPECT_FALSE(RunUntil([&] { return !window.IsShown(); })) << step.box;
        EXPECT_EQ(box->GetValue(), step.text);
    }
    EXPECT_TRUE(window.IsShown());
}

TEST(Keyboard, EnterOnAFocusedButtonPressesThatButton) {
    CShownWindow window;
    // Tab from the last NODES box of the second group reaches "SMD Ref Modele".
    ClickInto(window.NodeEdit(39));
    wxUIActionSimulator user;
    user.Char(WXK_TAB);
    ASSERT_TRUE(RunUntil([] { return FocusedId() == IDC_REF_MODEL; }));
    window.Cancel();
    user.Char(WXK_RETURN);
    ASSERT_TRUE(RunUntil([&window] { return !window.dialogs.empty(); }));
    EXPECT_EQ(window.dialogs.size(), 1u);
    EXPECT_EQ(window.dialogs[0].initialName, "*.smd");
    EXPECT_TRUE(window.IsShown());
}

TEST(Keyboard, AltAOpensTheAboutBox) {
    CShownWindow window;
    ClickInto(window.NodeEdit(10));
    wxUIActionSimulator().Char('a', wxMOD_ALT);
    ASSERT_TRUE(RunUntil([&window] { return window.aboutBoxes == 1; }));
    EXPECT_TRUE(window.IsShown());
}

// Other entries may join the menu; the items are found by their ids. Same-name pairing is a
// checkable item, off at first.
TEST(ContextMenu, RightClickOffersTheAboutItemAndSameNamePairing) {
    CShownWindow window;
    wxString itemText;
    wxString sameNamesText;
    bool sameNamesUnchecked = false;
    bool closed = false;
    // The menu runs its own loop while it is open: it is read, then closed by Escape, from there.
    window.Bind(wxEVT_MENU_OPEN, [&](wxMenuEvent& event) {
        if (wxMenuItem* item =
                event.GetMenu() ? event.GetMenu()->FindItem(IDM_ABOUTBOX) : nullptr) {
            itemText = item->GetItemLabel();
        }
        if (wxMenuItem* item =
                event.GetMenu() ? event.GetMenu()->FindItem(IDM_PAIR_SAME_NAMES) : nullptr) {
            sameNamesText = item->GetItemLabel();
            sameNamesUnchecked = item->IsCheckable() && !item->IsChecked();
        }
        wxUIActionSimulator().Char(WXK_ESCAPE);
        event.Skip();
    });
    window.Bind(wxEVT_MENU_CLOSE, [&](wxMenuEvent& event) {
        closed = true;
        event.Skip();
    });
    wxUIActionSimulator user;
    // An empty part of the dialog, between the second group and the buttons.
    wxPoint spot = window.FindWindow(IDC_HELP_BUTTON)->GetScreenPosition() - wxPoint(20, 0);
    user.MouseMove(spot);
    user.MouseClick(wxMOUSE_BTN_RIGHT);
    ASSERT_TRUE(RunUntil([&] { return closed; }));
    EXPECT_EQ(itemText, "&A propos de Varnex...\tAlt+A");
    EXPECT_EQ(FromWx(sameNamesText), "Apparier aussi les nodes de même nom");
    EXPECT_TRUE(sameNamesUnchecked);
    EXPECT_TRUE(window.IsShown());
}

}  // namespace varnex
