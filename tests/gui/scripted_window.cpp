#include "scripted_window.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/uiaction.h>

#include "gui/wx_text.h"

namespace varnex {

std::optional<std::string> CScriptedWindow::ChooseFile(const FILE_DIALOG& request) {
    dialogs.push_back(request);
    return CVarnexWindow::ChooseFile(request);
}

wxString CScriptedWindow::RunFileDialog(wxFileDialog& dialog) {
    shown.push_back({FromWx(dialog.GetMessage()), PathFromWx(dialog.GetDirectory())});
    if (m_answers.empty()) return wxString();
    std::string answer = m_answers.front();
    m_answers.pop_front();
    return answer == CANCEL ? wxString() : wxString(ToWx(answer));
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
    wxRect area = window.GetScreenRect();
    wxBitmap shot(area.GetWidth(), area.GetHeight(), 24);
    {
        wxScreenDC screen;
        wxMemoryDC memory(shot);
        if (!memory.Blit(0, 0, area.GetWidth(), area.GetHeight(), &screen, area.GetX(),
                         area.GetY())) {
            return false;
        }
    }
    return shot.SaveFile(wxString(png.string()), wxBITMAP_TYPE_PNG);
}

}  // namespace varnex
