// The main window's controls where the dialog's layout puts them, in dialog units converted by
// the window's own font, and the Tab order.
#include "gui/window_layout.h"

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "app/varnex_dlg.h"
#include "gui/wx_text.h"
#include "scripted_window.h"

namespace varnex {

namespace {
struct PLACED {
    int id;
    const char* label;
    int x, y, width, height;
};

// As the dialog's layout gives them.
const PLACED BUTTONS[] = {
    {1020, "SMD Ref Modele", 394, 30, 77, 15}, {1044, "SMD Ref Animation", 394, 60, 77, 16},
    {1021, "SMD Animation", 394, 89, 77, 15},  {1130, "Convert CS Bipede", 394, 120, 77, 15},
    {1022, "BUILD SMD", 394, 165, 77, 15},     {1127, "HELP", 394, 225, 77, 15},
    {1043, "QUIT", 394, 325, 77, 15},          {1045, "Save  Con file", 7, 325, 65, 15},
    {1046, "Load Con file", 115, 325, 71, 15},
};

// First and last row of each group: NODES and Correction edit boxes.
const PLACED EDITS[] = {
    {1000, "row 0 NODES", 26, 17, 19, 12},    {1047, "row 0 Correction", 64, 17, 51, 12},
    {1019, "row 19 NODES", 26, 302, 19, 12},  {1066, "row 19 Correction", 64, 302, 51, 12},
    {1023, "row 20 NODES", 155, 17, 20, 12},  {1067, "row 20 Correction", 195, 17, 50, 12},
    {1042, "row 39 NODES", 155, 302, 20, 12}, {1086, "row 39 Correction", 195, 302, 50, 12},
    {1087, "row 40 NODES", 285, 17, 20, 12},  {1107, "row 40 Correction", 325, 17, 49, 12},
    {1106, "row 59 NODES", 285, 302, 20, 12}, {1126, "row 59 Correction", 325, 302, 49, 12},
};

wxRect DialogRect(const wxWindow& window, int x, int y, int width, int height) {
    return wxRect(window.ConvertDialogToPixels(wxPoint(x, y)),
                  window.ConvertDialogToPixels(wxSize(width, height)));
}

template <class T>
std::vector<T*> ChildrenOfKind(const wxWindow& window) {
    std::vector<T*> found;
    for (wxWindow* child : window.GetChildren()) {
        if (auto* kind = dynamic_cast<T*>(child)) found.push_back(kind);
    }
    return found;
}

wxStaticText* TextAt(const wxWindow& window, const wxString& label, wxPoint where) {
    for (wxStaticText* text : ChildrenOfKind<wxStaticText>(window)) {
        if (text->GetLabel() == label && text->GetPosition() == where) return text;
    }
    return nullptr;
}
}  // namespace

TEST(MainLayout, DialogIsCaptionedVarnex13AndSized479By348Units) {
    CScriptedWindow window;
    EXPECT_EQ(window.GetTitle(), "Varnex 1.3");
    EXPECT_EQ(window.GetClientSize(), window.ConvertDialogToPixels(wxSize(479, 348)));
    long style = window.GetWindowStyleFlag();
    EXPECT_TRUE(style & wxMINIMIZE_BOX);
    EXPECT_FALSE(style & wxMAXIMIZE_BOX);
    EXPECT_TRUE(style & wxRESIZE_BORDER);
    EXPECT_TRUE(style & wxSYSTEM_MENU);
    EXPECT_EQ(window.GetChildren().GetCount(), 195u) << "120 edits, 9 buttons, 66 texts";
}

TEST(MainLayout, ButtonsHaveTheirLabelsIdsAndPlacesAndNoneIsTheDefault) {
    CScriptedWindow window;
    for (const PLACED& b : BUTTONS) {
        auto* button = dynamic_cast<wxButton*>(window.FindWindow(b.id));
        ASSERT_NE(button, nullptr) << b.label;
        EXPECT_EQ(FromWx(button->GetLabel()), b.label);
        EXPECT_EQ(button->GetRect(), DialogRect(window, b.x, b.y, b.width, b.height)) << b.label;
    }
    EXPECT_EQ(ChildrenOfKind<wxButton>(window).size(), 9u);
    EXPECT_EQ(window.GetDefaultItem(), nullptr);
}

TEST(MainLayout, EditBoxesStandInThreeGroupsOfTwentyRows) {
    CScriptedWindow window;
    for (const PLACED& e : EDITS) {
        auto* edit = dynamic_cast<wxTextCtrl*>(window.FindWindow(e.id));
        ASSERT_NE(edit, nullptr) << e.label;
        EXPECT_EQ(edit->GetRect(), DialogRect(window, e.x, e.y, e.width, e.height)) << e.label;
        EXPECT_FALSE(edit->IsMultiLine()) << e.label;
    }
    EXPECT_EQ(ChildrenOfKind<wxTextCtrl>(window).size(), 120u);
    for (int row = 0; row < DEFAULT_GRID_ROWS; ++row) {
        EXPECT_EQ(window.NodeEdit(row), window.FindWindow(NodeEditId(row)));
        EXPECT_EQ(window.CorrectionEdit(row), window.FindWindow(CorrectionEditId(row)));
        EXPECT_EQ(window.NodeEdit(row)->GetPosition().y,
                  window.ConvertDialogToPixels(wxPoint(0, 17 + 15 * (row % 20))).y);
    }
}

TEST(MainLayout, RowLabelsAndHeadingsStandBesideTheirBoxes) {
    CScriptedWindow window;
    const int labelX[] = {7, 135, 265};
    const int correctionX[] = {64, 195, 325};
    for (int group = 0; group < 3; ++group) {
        wxPoint nodes = window.ConvertDialogToPixels(wxPoint(labelX[group], 6));
        wxPoint correction = window.ConvertDialogToPixels(wxPoint(correctionX[group], 6));
        EXPECT_NE(TextAt(window, "NODES", nodes), nullptr) << "group " << group;
        EXPECT_NE(TextAt(window, "Correction", correction), nullptr) << "group " << group;
    }
    for (int row = 0; row < DEFAULT_GRID_ROWS; ++row) {
        wxPoint at = window.ConvertDialogToPixels(wxPoint(labelX[row / 20], 22 + 15 * (row % 20)));
        EXPECT_NE(TextAt(window, std::to_string(row), at), nullptr) << "row " << row;
    }
}

TEST(MainLayout, TabVisitsNodesThenButtonsThenCorrectionsAsTheDialogOrdersThem) {
    CScriptedWindow window;
    std::vector<int> expected;
    for (int id = 1000; id <= 1019; ++id) expected.push_back(id);  // NODES rows 0 to 19
    for (int id = 1023; id <= 1042; ++id) expected.push_back(id);  // NODES rows 20 to 39
    for (int id : {1020, 1021, 1022, 1043, 1044, 1045, 1046}) expected.push_back(id);
    for (int id = 1047; id <= 1086; ++id) expected.push_back(id);  // Correction rows 0 to 39
    for (int id = 1087; id <= 1106; ++id) expected.push_back(id);  // NODES rows 40 to 59
    for (int id = 1107; id <= 1126; ++id) expected.push_back(id);  // Correction rows 40 to 59
    expected.push_back(1127);
    expected.push_back(1130);

    std::vector<int> focusable;
    for (wxWindow* child : window.GetChildren()) {
        if (child->CanAcceptFocus()) focusable.push_back(child->GetId());
    }
    EXPECT_EQ(focusable, expected);
}

}  // namespace varnex
