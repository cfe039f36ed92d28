#include "gui/varnex_window.h"

#include <wx/button.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/stattext.h>
#include <wx/utils.h>

#include <algorithm>
#include <exception>
#include <iterator>
#include <map>

#include "gui/about_dlg.h"
#include "gui/dialog_font.h"
#include "gui/varnex_icon.h"
#include "gui/window_layout.h"
#include "gui/wx_text.h"

namespace varnex {

namespace {
struct BUTTON_COMMAND {
    int id;
    void (CVarnexDlg::*handler)();
};

constexpr BUTTON_COMMAND BUTTON_COMMANDS[] = {
    {IDC_REF_MODEL, &CVarnexDlg::OnLoadRefModel},
    {IDC_REF_ANIM, &CVarnexDlg::OnLoadRefAnim},
    {IDC_ANIM, &CVarnexDlg::OnLoadAnim},
    {IDC_CONVERT_BIPED, &CVarnexDlg::OnConvertBiped},
    {IDC_BUILD_SMD, &CVarnexDlg::OnBuildSmd},
    {IDC_HELP_BUTTON, &CVarnexDlg::OnHelpButton},
    {IDC_QUIT, &CVarnexDlg::OnQuit},
    {IDC_SAVE_CON, &CVarnexDlg::OnSaveCon},
    {IDC_LOAD_CON, &CVarnexDlg::OnLoadCon},
};

const BUTTON_LAYOUT* FindButton(int id) {
    for (const BUTTON_LAYOUT& request : MAIN_BUTTONS) {
        if (request.id == id) return &request;
    }
    return nullptr;
}

// A language's name as its speakers write it, for the menu.
std::string LanguageName(const std::string& code) {
    if (code == "fr") return "Français";
    if (code == "en") return "English";
    return code;
}

bool IsEnterKey(const wxKeyEvent& event) {
    return event.GetModifiers() == wxMOD_NONE &&
           (event.GetKeyCode() == WXK_RETURN || event.GetKeyCode() == WXK_NUMPAD_ENTER);
}

// "*.smd" and the like are the Windows way of naming the filter in the name box; here the filter
// list already does that, and a star in the name box would only be taken as a file name.
bool IsPattern(const std::string& name) { return name.find_first_of("*?") != std::string::npos; }

// GTK's entries keep inner margins meant for wide boxes: in the grid's narrow boxes they would
// hide the first digit of a three-digit NODES value.
class CGridEdit : public wxTextCtrl {
public:
    CGridEdit(wxWindow* parent, int id, const wxPoint& at, const wxSize& size)
        : wxTextCtrl(parent, id, wxEmptyString, at, size) {
#ifdef __WXGTK3__
        GTKApplyCssStyle("entry { padding-left: 2px; padding-right: 2px; }");
#endif
    }
};
}  // namespace

CVarnexWindow::CVarnexWindow(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, MAIN_CAPTION, wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxMINIMIZE_BOX | wxCLOSE_BOX | wxRESIZE_BORDER |
                   wxDIALOG_NO_PARENT),
      m_texts(CatalogFolders(ProgramFolder())),
      m_dlg(*this) {
    SetIcons(VarnexIcons());
    SetFont(DialogFont());
    SetClientSize(ConvertDialogToPixels(wxSize(MAIN_WIDTH, MAIN_HEIGHT)));
    CreateControls();
    m_languages = m_texts.Languages();

    for (const BUTTON_COMMAND& command : BUTTON_COMMANDS) {
        Bind(wxEVT_BUTTON, &CVarnexWindow::OnButton, this, command.id);
    }
    Bind(wxEVT_INIT_DIALOG, &CVarnexWindow::OnInitDialogEvent, this);
    Bind(wxEVT_CHAR_HOOK, &CVarnexWindow::OnCharHook, this);
    Bind(wxEVT_CLOSE_WINDOW, &CVarnexWindow::OnCloseWindow, this);
    Bind(wxEVT_CONTEXT_MENU, &CVarnexWindow::OnContextMenu, this);
    Bind(wxEVT_MENU, &CVarnexWindow::OnAboutItem, this, IDM_ABOUTBOX);
    Bind(wxEVT_MENU, &CVarnexWindow::OnLanguageItem, this, IDM_LANGUAGE_FIRST,
         IDM_LANGUAGE_FIRST + LANGUAGE_ITEMS - 1);
    Centre();
}

void CVarnexWindow::CreateControls() {
    auto at = [this](const DLG_RECT& r) { return ConvertDialogToPixels(wxPoint(r.x, r.y)); };
    auto size = [this](const DLG_RECT& r) {
        return ConvertDialogToPixels(wxSize(r.width, r.height));
    };
    auto edit = [&](int id, const DLG_RECT& r) {
        return new CGridEdit(this, id, at(r), size(r));
    };

    std::map<int, std::size_t> nodeRows;
    std::map<int, std::size_t> correctionRows;
    for (int row = 0; row < DEFAULT_GRID_ROWS; ++row) {
        nodeRows[NodeEditId(row)] = static_cast<std::size_t>(row);
        correctionRows[CorrectionEditId(row)] = static_cast<std::size_t>(row);
    }
    // Tab visits the controls in the order they are created; the labels take no focus.
    for (int id : MainTabOrder()) {
        if (auto node = nodeRows.find(id); node != nodeRows.end()) {
            int row = static_cast<int>(node->second);
            m_nodeEdits[node->second] = edit(id, NodeEditRect(row));
        } else if (auto correction = correctionRows.find(id); correction != correctionRows.end()) {
            int row = static_cast<int>(correction->second);
            m_correctionEdits[correction->second] = edit(id, CorrectionEditRect(row));
        } else if (const BUTTON_LAYOUT* button = FindButton(id)) {
            m_labels.emplace_back(
                new wxButton(this, id, button->label, at(button->rect), size(button->rect)),
                button->label);
        }
    }

    for (int group = 0; group < GRID_GROUPS; ++group) {
        DLG_RECT nodes = NodesHeadingRect(group);
        DLG_RECT correction = CorrectionHeadingRect(group);
        m_labels.emplace_back(new wxStaticText(this, wxID_ANY, NODES_HEADING, at(nodes),
                                               size(nodes), wxST_NO_AUTORESIZE),
                              NODES_HEADING);
        m_labels.emplace_back(new wxStaticText(this, wxID_ANY, CORRECTION_HEADING, at(correction),
                                               size(correction), wxST_NO_AUTORESIZE),
                              CORRECTION_HEADING);
    }
    for (int row = 0; row < DEFAULT_GRID_ROWS; ++row) {
        DLG_RECT label = RowLabelRect(row);
        new wxStaticText(this, wxID_ANY, std::to_string(row), at(label), size(label),
                         wxST_NO_AUTORESIZE);
    }
    // A long path loses its middle rather than the command's word or the file's name.
    m_statusLine = new wxStaticText(this, wxID_ANY, wxEmptyString, at(STATUS_LINE_RECT),
                                    size(STATUS_LINE_RECT),
                                    wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_MIDDLE);
}

void CVarnexWindow::OnButton(wxCommandEvent& event) {
    for (const BUTTON_COMMAND& command : BUTTON_COMMANDS) {
        if (command.id != event.GetId()) continue;
        // The line tells what the last command did; a refusal or a cancel leaves it empty.
        ShowStatus("");
        // The commands report their own failures; anything else still reaches the user as a
        // message rather than ending the program.
        try {
            (m_dlg.*command.handler)();
        } catch (const std::exception& e) {
            ShowMessage(e.what());
        }
        return;
    }
}

void CVarnexWindow::OnAboutItem(wxCommandEvent&) { ShowAboutBox(); }

bool CVarnexWindow::SetLanguage(const std::string& language) {
    bool read = m_texts.SetLanguage(language);
    ShowLabels();
    // What the line told was said in the other language.
    ShowStatus("");
    return read;
}

void CVarnexWindow::ShowLabels() {
    for (auto [control, original] : m_labels) control->SetLabel(ToWx(m_texts.Tr(original)));
}

void CVarnexWindow::OnLanguageItem(wxCommandEvent& event) {
    auto index = static_cast<std::size_t>(event.GetId() - IDM_LANGUAGE_FIRST);
    if (index >= m_languages.size()) return;
    if (!SetLanguage(m_languages[index])) {
        ShowMessage(m_texts.Tr("Le catalogue de la langue « {0} » est illisible : Varnex reste en "
                               "français",
                               {m_languages[index]}));
    }
}

void CVarnexWindow::OnInitDialogEvent(wxInitDialogEvent&) {
    // Showing the window again must not reset the working state.
    if (m_initialised) return;
    m_initialised = true;
    m_dlg.OnInitDialog();
}

void CVarnexWindow::OnCharHook(wxKeyEvent& event) {
    // Escape and Enter would end the dialog as its cancel and OK commands, losing the grid with
    // one keystroke: Escape does nothing, Enter after a value goes on to the next box.
    if (event.GetKeyCode() == WXK_ESCAPE && event.GetModifiers() == wxMOD_NONE) {
        return;
    } else if (IsEnterKey(event) && !dynamic_cast<wxButton*>(event.GetEventObject())) {
        FocusNextEdit(wxWindow::FindFocus());
    } else if (event.GetModifiers() == wxMOD_ALT && event.GetKeyCode() == 'A') {
        ShowAboutBox();
    } else {
        event.Skip();
    }
}

void CVarnexWindow::FocusNextEdit(wxWindow* box) {
    // The children stand in Tab order.
    const wxWindowList& children = GetChildren();
    auto current = std::find(children.begin(), children.end(), box);
    if (current == children.end() || !dynamic_cast<wxTextCtrl*>(box)) return;
    for (auto next = std::next(current);; ++next) {
        if (next == children.end()) next = children.begin();
        if (auto* edit = dynamic_cast<wxTextCtrl*>(*next)) {
            edit->SetFocus();
            edit->SelectAll();
            return;
        }
    }
}

void CVarnexWindow::OnCloseWindow(wxCloseEvent& event) {
    if (event.CanVeto() && !m_dlg.ConfirmQuit()) {
        event.Veto();
        return;
    }
    Finish(wxID_CANCEL);
}

void CVarnexWindow::Finish(int code) {
    SetReturnCode(code);
    wxDialog::EndDialog(code);
}

void CVarnexWindow::OnContextMenu(wxContextMenuEvent&) {
    wxMenu menu;
    menu.Append(IDM_ABOUTBOX, ToWx(m_texts.Tr(ABOUT_ITEM_TEXT)));
    menu.AppendSeparator();
    for (std::size_t i = 0; i < m_languages.size() && i < LANGUAGE_ITEMS; ++i) {
        int id = IDM_LANGUAGE_FIRST + static_cast<int>(i);
        menu.AppendRadioItem(id, ToWx(LanguageName(m_languages[i])));
        menu.Check(id, m_languages[i] == m_texts.Language());
    }
    PopupMenu(&menu);
}

void CVarnexWindow::ShowAboutBox() {
    CAboutDlg about(this, m_texts);
    about.ShowModal();
}

void CVarnexWindow::TakeGrid(GRID_TEXTS& nodeText, GRID_TEXTS& correctionText) {
    for (std::size_t row = 0; row < nodeText.size() && row < DEFAULT_GRID_ROWS; ++row) {
        nodeText[row] = FromWx(NodeEdit(static_cast<int>(row))->GetValue());
        correctionText[row] = FromWx(CorrectionEdit(static_cast<int>(row))->GetValue());
    }
}

void CVarnexWindow::ShowGrid(const GRID_TEXTS& nodeText, const GRID_TEXTS& correctionText) {
    for (std::size_t row = 0; row < nodeText.size() && row < DEFAULT_GRID_ROWS; ++row) {
        NodeEdit(static_cast<int>(row))->ChangeValue(ToWx(nodeText[row]));
        CorrectionEdit(static_cast<int>(row))->ChangeValue(ToWx(correctionText[row]));
    }
}

void CVarnexWindow::ShowMessage(const std::string& text) {
    wxMessageBox(ToWx(text), "Varnex", wxOK | wxICON_NONE, this);
}

std::optional<std::string> CVarnexWindow::ChooseFile(const FILE_DIALOG& request) {
    long style = request.save ? wxFD_SAVE : wxFD_OPEN;
    if (request.mustExist) style |= wxFD_FILE_MUST_EXIST;
    if (request.askBeforeReplacing) style |= wxFD_OVERWRITE_PROMPT;
    wxString initialName = IsPattern(request.initialName) ? wxString() : ToWx(request.initialName);
    wxString title = request.title.empty() ? wxString(wxFileSelectorPromptStr)
                                           : ToWx(request.title);
    wxString folder = m_lastFolder.empty() ? wxGetCwd() : m_lastFolder;
    wxFileDialog dialog(this, title, folder, initialName, WildcardOf(request.filter), style);
    for (wxString path = RunFileDialog(dialog); !path.empty(); path = RunFileDialog(dialog)) {
        // The dialog leaves a name typed without extension as it is, and has asked about
        // replacing only that name: the completed name is asked about here.
        wxString completed =
            request.save ? WithDefaultExtension(path, ToWx(request.defaultExtension)) : path;
        if (completed == path || !request.askBeforeReplacing || !wxFileExists(completed) ||
            AskYesNo(m_texts.Tr("Le fichier {0} existe déjà.\nVoulez-vous le remplacer ?",
                                {FromWx(wxFileName(completed).GetFullName())}))) {
            m_lastFolder = wxFileName(completed).GetPath();
            return PathFromWx(completed);
        }
        dialog.SetFilename(wxFileName(completed).GetFullName());
    }
    return std::nullopt;
}

wxString CVarnexWindow::RunFileDialog(wxFileDialog& dialog) {
    return dialog.ShowModal() == wxID_OK ? dialog.GetPath() : wxString();
}

bool CVarnexWindow::AskYesNo(const std::string& text) {
    wxMessageDialog question(this, ToWx(text), "Varnex", wxYES_NO | wxNO_DEFAULT | wxICON_WARNING);
    question.SetYesNoLabels(ToWx(m_texts.Tr("Oui")), ToWx(m_texts.Tr("Non")));
    return question.ShowModal() == wxID_YES;
}

void CVarnexWindow::ShowStatus(const std::string& text) { m_statusLine->SetLabelText(ToWx(text)); }

void CVarnexWindow::EndDialog() { Finish(wxID_OK); }

bool CVarnexWindow::OpenHelpPage(const std::string& path) {
    // The command tells the failure itself; wx's own log window would say it a second time.
    wxLogNull quiet;
    return wxLaunchDefaultBrowser(wxFileName::FileNameToURL(wxFileName(ToWx(path))));
}

}  // namespace varnex
