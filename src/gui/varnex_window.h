// The main window: the grid's edit boxes and the nine buttons, laid out in dialog units, and the
// dialog platform that the commands of CVarnexDlg run on. Each button calls its handler on the one
// CVarnexDlg; the window adds no logic of its own. Rows 60 and above, when the model has more
// nodes, stand in an extra column (CExtraRows); each row's boxes carry a tooltip saying which
// model node the row writes and where its line comes from.
//
// Keys: Enter in an edit box moves to the next edit box in Tab order (Enter on a button presses
// it); Escape does nothing; Alt+A, or the right button's menu, opens the About box. The menu also
// switches the options (same-name pairing for the next SMD Ref Animation, the world method...),
// builds a whole set from a .qc and switches the running window to another language. The close
// box ends the dialog without taking the grid, asking first when the grid holds edits.
//
// The window remembers its choices between runs (CRememberedChoices): the language picked in the
// menu, every checkable option, the last folder, and where it and the preview stood; the menu's
// "Réglages d'origine" forgets them. An open preview follows every load, option and edit.
#pragma once

#include <wx/dialog.h>
#include <wx/dirdlg.h>
#include <wx/filedlg.h>
#include <wx/progdlg.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/weakref.h>

#include <array>
#include <memory>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "app/varnex_dlg.h"
#include "gui/extra_rows.h"
#include "gui/remembered_choices.h"
#include "i18n/wx_text_catalog.h"

namespace varnex {

class CPreviewWindow;

// A checkable entry of the context menu: an option of the dialog, remembered under key. A new
// option is one more line of CheckableOptions().
struct CHECKABLE_OPTION {
    int menuId;
    const char* key;
    std::string (*menuText)(const CTextCatalog& texts);
    bool (CVarnexDlg::*isOn)() const;
    void (CVarnexDlg::*set)(bool on);
    // On, it makes BUILD SMD write other bytes than varnex-cli's defaults: when remembered, the
    // status line names it at start-up.
    bool changesBuild;
};
// In the menu's order.
std::span<const CHECKABLE_OPTION> CheckableOptions();

class CVarnexWindow : public wxDialog, public CDialogPlatform {
public:
    // In French until SetLanguage; the catalogs are looked for beside the program. Takes back
    // the options, the last folder and its place from choices, and keeps the new ones there; the
    // language remembered is the caller's to choose (see ChooseLanguage).
    explicit CVarnexWindow(wxWindow* parent = nullptr, CRememberedChoices choices = {});
    ~CVarnexWindow() override;

    // Speaks language from now on: every label, message and question, and the help page. False,
    // and French, when its catalog cannot be read.
    bool SetLanguage(const std::string& language);
    // The languages the window can speak, French first.
    const std::vector<std::string>& Languages() const { return m_languages; }

    CVarnexDlg& Dialog() { return m_dlg; }
    // The rows the window has boxes for: 60, or the grid's rows when it has more.
    int ShownRows() const;
    // Row 0 to ShownRows() - 1.
    wxTextCtrl* NodeEdit(int row) const;
    wxTextCtrl* CorrectionEdit(int row) const;
    wxStaticText* StatusLine() const { return m_statusLine; }

    // "Aperçu" (Alt+P): opens the preview window beside this one, or reloads and raises it.
    void OpenPreview();
    CPreviewWindow* Preview() const { return m_preview.get(); }

    // The dialog platform. The modal ones (message box, question, file dialog, browser) are
    // virtual so that a test can answer them. A file dialog opens in the folder of the last file
    // chosen in any file dialog of this window (at first, the working directory).
    void TakeGrid(GRID_TEXTS& nodeText, GRID_TEXTS& correctionText) override;
    void ShowGrid(const GRID_TEXTS& nodeText, const GRID_TEXTS& correctionText) override;
    void ShowMessage(const std::string& text) override;
    std::optional<std::string> ChooseFile(const FILE_DIALOG& request) override;
    // Opens in the folder of the last file or folder chosen, and becomes that folder.
    std::optional<std::string> ChooseFolder(const std::string& title) override;
    // The progress window is modal to the application: no other command runs meanwhile.
    bool ShowProgress(const std::string& title, const std::string& text, int done,
                      int count) override;
    void EndProgress() override;
    // A modal window whose lines can be read, selected and copied, with an OK button.
    void ShowList(const std::string& title, const std::vector<std::string>& lines) override;
    // Ends the modal run with OK; a window shown without a modal run is hidden.
    void EndDialog() override;
    bool OpenHelpPage(const std::string& path) override;
    void ShowStatus(const std::string& text) override;
    bool AskYesNo(const std::string& text) override;
    const CTextCatalog& Texts() const override { return m_texts; }

protected:
    // Runs the About box modally.
    virtual void ShowAboutBox();
    // Runs a file dialog modally; the path confirmed, or empty when it was cancelled.
    virtual wxString RunFileDialog(wxFileDialog& dialog);
    // Runs a folder dialog modally; the folder confirmed, or empty when it was cancelled.
    virtual wxString RunDirDialog(wxDirDialog& dialog);

private:
    void CreateControls();
    // Ends the run with code, also for a window shown without a modal run (it is then hidden).
    void Finish(int code);
    void OnButton(wxCommandEvent& event);
    // Runs one of the dialog's commands, its failures told in a message.
    void RunCommand(int id, void (CVarnexDlg::*handler)());
    void OnAboutItem(wxCommandEvent& event);
    void OnInitDialogEvent(wxInitDialogEvent& event);
    void OnCharHook(wxKeyEvent& event);
    void OnCloseWindow(wxCloseEvent& event);
    void OnContextMenu(wxContextMenuEvent& event);
    // A checkable option switched: kept, and shown by the preview.
    void OnOptionItem(wxCommandEvent& event);
    // "Réglages d'origine": options, language, folder and places as on a first run.
    void OnDefaultSettingsItem(wxCommandEvent& event);
    // Where the window and the preview stand now, for the next run.
    void RememberPlaces();
    // Leaving a grid box redraws the preview's result.
    void OnEditLeft(wxFocusEvent& event);
    // After a command that changed what the preview shows.
    void ReloadPreview();
    // The pointer over a box: its tooltip tells what its row now means.
    void OnEditEntered(wxMouseEvent& event);
    // Boxes for rows rows: the extra column comes, goes or changes, the dialog widening with it.
    void ShowRows(int rows);
    void OnLanguageItem(wxCommandEvent& event);
    // Gives every labelled control its text in the current language.
    void ShowLabels();
    // Gives the focus to the edit box after box in Tab order, passing over the buttons.
    void FocusNextEdit(wxWindow* box);

    CWxTextCatalog m_texts;
    CVarnexDlg m_dlg;
    std::vector<std::pair<wxWindow*, const char*>> m_labels;  // with their French originals
    std::vector<std::string> m_languages;                    // of the menu's items
    std::array<wxTextCtrl*, DEFAULT_GRID_ROWS> m_nodeEdits{};
    std::array<wxTextCtrl*, DEFAULT_GRID_ROWS> m_correctionEdits{};
    CExtraRows* m_extraRows = nullptr;  // rows 60 and above, when there are any
    wxStaticText* m_statusLine = nullptr;
    wxString m_lastFolder;  // of the last file chosen in a file dialog, or the last folder chosen
    std::unique_ptr<wxProgressDialog> m_progress;  // while a long command runs
    wxWeakRef<CPreviewWindow> m_preview;
    bool m_initialised = false;
    CRememberedChoices m_choices;
    std::vector<bool> m_firstOptions;  // as the dialog starts, before any remembered choice
};

}  // namespace varnex
