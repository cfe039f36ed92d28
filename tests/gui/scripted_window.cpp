#include "scripted_window.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/uiaction.h>

#include "gui/window_layout.h"
#include "gui/wx_text.h"
#include "x_screen.h"
#include "retarget/node_line.h"
#include "smd_input/smd_reader.h"

namespace varnex {

std::optional<std::string> CScriptedWindow::ChooseFile(const FILE_DIALOG& request) {
    dialogs.push_back(request);
    return CVarnexWindow::ChooseFile(request);
}

wxString CScriptedWindow::NextAnswer(const wxString& title, const std::string& folder) {
    shown.push_back({FromWx(title), folder});
    if (m_answers.empty()) return wxString();
    std::string answer = m_answers.front();
    m_answers.pop_front();
    return answer == CANCEL ? wxString() : wxString(ToWx(answer));
}

wxString CScriptedWindow::RunFileDialog(wxFileDialog& dialog) {
    return NextAnswer(dialog.GetMessage(), PathFromWx(dialog.GetDirectory()));
}

wxString CScriptedWindow::RunDirDialog(wxDirDialog& dialog) {
    return NextAnswer(dialog.GetMessage(), PathFromWx(dialog.GetPath()));
}

void CScriptedWindow::PressAltP() {
    wxKeyEvent altP(wxEVT_CHAR_HOOK);
    altP.m_keyCode = 'P';
    altP.m_altDown = true;
    altP.SetEventObject(this);
    ProcessWindowEvent(altP);
}

void CScriptedWindow::Press(int buttonId) {
    wxWindow* button = FindWindow(buttonId);
    wxCommandEvent click(wxEVT_BUTTON, buttonId);
    click.SetEventObject(button);
    button->ProcessWindowEvent(click);
}

void CScriptedWindow::Type(wxTextCtrl* box, const std::string& text) { box->SetValue(ToWx(text)); }

std::vector<std::string> CScriptedWindow::NodeBoxes() const {
    std::vector<std::string> texts;
    for (int row = 0; row < ShownRows(); ++row) texts.push_back(FromWx(NodeEdit(row)->GetValue()));
    return texts;
}

std::vector<std::string> CScriptedWindow::CorrectionBoxes() const {
    std::vector<std::string> texts;
    for (int row = 0; row < ShownRows(); ++row) {
        texts.push_back(FromWx(CorrectionEdit(row)->GetValue()));
    }
    return texts;
}

std::string BipedWithCape(const std::string& knightPath, int nodeCount) {
    SMD_HEAD knight = ReadModelFile(knightPath);
    std::vector<int> order = {0, 1, 2, 3, 4, 5, 6, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21};
    for (int cape = 0; cape < nodeCount - 22; ++cape) order.push_back(-1);
    for (int leg : {7, 8, 9, 10}) order.push_back(leg);
    std::vector<int> rowOf(knight.nodes.size(), -1);
    for (std::size_t row = 0; row < order.size(); ++row) {
        if (order[row] >= 0) rowOf[static_cast<std::size_t>(order[row])] = static_cast<int>(row);
    }
    std::string nodes = "version 1\r\nnodes\r\n";
    std::string frame = "skeleton\r\ntime 0\r\n";
    for (std::size_t row = 0; row < order.size(); ++row) {
        std::string name = "Cape " + std::to_string(row);
        int parent = row == 18 ? 2 : static_cast<int>(row) - 1;
        FRAME_FIELDS pose{"", "0.000000", "-0.600000", "-0.500000", "0.000000", "0.000000",
                          "0.000000"};
        if (int k = order[row]; k >= 0) {
            const SMD_NODE& node = knight.nodes[static_cast<std::size_t>(k)];
            name = node.name;
            parent = node.parent < 0 ? -1 : rowOf[static_cast<std::size_t>(node.parent)];
            const REST_POSE_LINE& line = knight.rest.lines[static_cast<std::size_t>(k)];
            pose = ParseFrameFields(line.text, knightPath, line.lineNumber);
        }
        std::string number = std::to_string(row);
        pose.number = number;
        nodes += number + " \"" + name + "\" " + std::to_string(parent) + "\r\n";
        frame += NormalizedFrameLine(pose) + "\r\n";
    }
    return nodes + "end\r\n" + frame + "end\r\n";
}

void ShowAndDraw(wxWindow& window) {
    window.Show();
    window.Raise();
    // Mapping and drawing take a few rounds of the X connection; nothing here waits on a clock.
    for (int round = 0; round < 20; ++round) {
        window.Update();
        wxTheApp->Yield(true);
    }
}

bool RunUntil(const std::function<bool()>& done) {
    for (int round = 0; round < 200; ++round) {
        if (done()) return true;
        wxTheApp->Yield(true);
    }
    return done();
}

int FocusedId() {
    wxWindow* focus = wxWindow::FindFocus();
    return focus ? focus->GetId() : wxID_NONE;
}

void ClickInto(wxTextCtrl* box) {
    wxUIActionSimulator user;
    user.MouseMove(box->GetScreenPosition() + wxPoint(box->GetSize().x / 2, box->GetSize().y / 2));
    user.MouseDblClick();
    RunUntil([box] { return wxWindow::FindFocus() == box; });
}

void ExpectApartAndInside(const wxWindow& window) {
    wxRect area(wxPoint(0, 0), window.GetVirtualSize());
    std::vector<wxWindow*> children(window.GetChildren().begin(), window.GetChildren().end());
    ASSERT_FALSE(children.empty());
    for (std::size_t i = 0; i < children.size(); ++i) {
        wxRect r = children[i]->GetRect();
        EXPECT_TRUE(area.Contains(r))
            << "child " << i << " (" << children[i]->GetLabel() << ") leaves the window: " << r.x
            << "," << r.y << " " << r.width << "x" << r.height << " in " << area.width << "x"
            << area.height;
        for (std::size_t j = i + 1; j < children.size(); ++j) {
            EXPECT_FALSE(r.Intersects(children[j]->GetRect()))
                << "children " << i << " (" << children[i]->GetLabel() << ") and " << j << " ("
                << children[j]->GetLabel() << ") overlap";
        }
        if (!children[i]->GetChildren().empty() && !dynamic_cast<wxTextCtrl*>(children[i])) {
            ExpectApartAndInside(*children[i]);
        }
    }
}

bool SaveScreenshot(wxWindow& window, const std::filesystem::path& png) {
    return SaveScreenshot(window.GetScreenRect(), png);
}

bool SaveScreenshot(const wxRect& area, const std::filesystem::path& png) {
    // Read from the X server at the call: a screen DC gives a process its first picture again.
    return CXScreen().Grab(area).SaveFile(wxString(png.string()), wxBITMAP_TYPE_PNG);
}

void LoadModelAndReference(CScriptedWindow& window, const std::filesystem::path& folder) {
    window.Answer((folder / "knight_ref.smd").string());
    window.Press(IDC_REF_MODEL);
    window.Answer((folder / "runner_ref.smd").string());
    window.Press(IDC_REF_ANIM);
}

void LoadThreeSamples(CScriptedWindow& window, const std::filesystem::path& folder) {
    LoadModelAndReference(window, folder);
    window.Answer((folder / "runner_walk.smd").string());
    window.Press(IDC_ANIM);
}

}  // namespace varnex
