// The main window: the grid's 120 edit boxes and the nine buttons, laid out in dialog units, and
// the dialog platform that the commands of CVarnexDlg run on. Each button calls its handler on
// the one CVarnexDlg; the window adds no logic of its own.
//
// Keys: Enter (away from a button) ends the dialog taking the grid, as OK does; Escape and the
// close box end it without taking the grid; Alt+A, or the right button's menu, opens the About box.
#pragma once

#include <wx/dialog.h>
#include <wx/textctrl.h>

#include <array>

#include "app/varnex_dlg.h"

namespace varnex {

class CVarnexWindow : public wxDialog, public CDialogPlatform {
public:
    explicit CVarnexWindow(wxWindow* parent = nullptr);

    CVarnexDlg& Dialog() { return m_dlg; }
    wxTextCtrl* NodeEdit(int row) const { return m_nodeEdits[static_cast<std::size_t>(row)]; }
    wxTextCtrl* CorrectionEdit(int row) const {
        return m_correctionEdits[static_cast<std::size_t>(row)];
    }

    // The dialog platform. The modal ones (message box, file dialog, browser) are virtual so that
    // a test can answer them.
    void TakeGrid(GRID_TEXTS& nodeText, GRID_TEXTS& correctionText) override;
    void ShowGrid(const GRID_TEXTS& nodeText, const GRID_TEXTS& correctionText) override;
    void ShowMessage(const std::string& text) override;
    std::optional<std::string> ChooseFile(const FILE_DIALOG& request) override;
    // Ends the modal run with OK; a window shown without a modal run is hidden.
    void EndDialog() override;
    bool OpenHelpPage(const std::string& path) override;

protected:
    // Runs the About box modally.
    virtual void ShowAboutBox();
    // Asks whether an existing file may be replaced.
    virtual bool ConfirmReplace(const wxString& path);

private:
    void CreateControls();
    // Ends the run with code, also for a window shown without a modal run (it is then hidden).
    void Finish(int code);
    void OnButton(wxCommandEvent& event);
    void OnAboutItem(wxCommandEvent& event);
    void OnInitDialogEvent(wxInitDialogEvent& event);
    void OnCharHook(wxKeyEvent& event);
    void OnCloseWindow(wxCloseEvent& event);
    void OnContextMenu(wxContextMenuEvent& event);

    CVarnexDlg m_dlg;
    std::array<wxTextCtrl*, DEFAULT_GRID_ROWS> m_nodeEdits{};
    std::array<wxTextCtrl*, DEFAULT_GRID_ROWS> m_correctionEdits{};
    bool m_initialised = false;
};

}  // namespace varnex
