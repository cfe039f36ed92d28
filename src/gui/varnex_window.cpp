#include "gui/varnex_window.h"

#include <wx/button.h>
#include <wx/display.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/utils.h>

#include <algorithm>
#include <exception>
#include <iterator>
#include <map>
#include <utility>

#include "gui/about_dlg.h"
#include "gui/dialog_font.h"
#include "gui/preview_window.h"
#include "gui/grid_edit.h"
#include "gui/grid_tooltip.h"
#include "gui/varnex_icon.h"
#include "gui/window_layout.h"
#include "gui/wx_text.h"
#include "i18n/language_choice.h"
#include "app/window_texts.h"
#include "motion/motion_texts.h"

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

constexpr const char* WINDOW_PLACE = "Window";
constexpr const char* PREVIEW_PLACE_NAME = "Preview";

// The commands after which an open preview reads its files and the grid again.
constexpr int RELOADING_COMMANDS[] = {IDC_REF_MODEL, IDC_REF_ANIM, IDC_ANIM, IDC_CONVERT_BIPED,
                                      IDC_LOAD_CON};

constexpr CHECKABLE_OPTION CHECKABLE_OPTIONS[] = {
    {IDM_ROOT_FROM_LEGS, "RootFromLegs", RootFromLegsMenuText, &CVarnexDlg::RootFromLegs,
     &CVarnexDlg::SetRootFromLegs, true},
    {IDM_PAIR_SAME_NAMES, "PairSameNames",
     [](const CTextCatalog& texts) { return texts.Tr(PAIR_SAME_NAMES_ITEM_TEXT); },
     &CVarnexDlg::PairSameNames, &CVarnexDlg::SetPairSameNames, true},
    {IDM_WORLD_METHOD, "WorldMethod",
     [](const CTextCatalog& texts) { return texts.Tr(WORLD_METHOD_ITEM_TEXT); },
     &CVarnexDlg::WorldMethod, &CVarnexDlg::SetWorldMethod, true},
    {IDM_FEET_CONTACT, "FeetContact",
     [](const CTextCatalog& texts) { return texts.Tr(FEET_CONTACT_ITEM_TEXT); },
     &CVarnexDlg::FeetContact, &CVarnexDlg::SetFeetContact, true},
};

// A menu item as words of a sentence: no mnemonic mark, no key.
std::string ItemWords(std::string item) {
    std::erase(item, '&');
    return item.substr(0, item.find('\t'));
}

// The edit boxes among window's children and theirs, in Tab order.
void CollectEdits(const wxWindow& window, std::vector<wxTextCtrl*>& edits) {
    for (wxWindow* child : window.GetChildren()) {
        if (auto* edit = dynamic_cast<wxTextCtrl*>(child)) {
            edits.push_back(edit);
        } else if (!child->IsTopLevel()) {
            CollectEdits(*child, edits);
        }
    }
}

}  // namespace

std::span<const CHECKABLE_OPTION> CheckableOptions() { return CHECKABLE_OPTIONS; }

CVarnexWindow::CVarnexWindow(wxWindow* parent, CRememberedChoices choices)
    : wxDialog(parent, wxID_ANY, MAIN_CAPTION, wxDefaultPosition, wxDefaultSize,
               // No resize border: the layout has one size, that of the grid's rows.
               wxCAPTION | wxSYSTEM_MENU | wxMINIMIZE_BOX | wxCLOSE_BOX | wxDIALOG_NO_PARENT),
      m_texts(CatalogFolders(ProgramFolder())),
      m_dlg(*this),
      m_choices(std::move(choices)) {
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
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { OpenPreview(); }, IDM_PREVIEW);
    Bind(
        wxEVT_MENU, [this](wxCommandEvent&) { RunCommand(IDM_QC_SET, &CVarnexDlg::OnBuildQcSet); },
        IDM_QC_SET);
    for (const CHECKABLE_OPTION& option : CHECKABLE_OPTIONS) {
        Bind(wxEVT_MENU, &CVarnexWindow::OnOptionItem, this, option.menuId);
        m_firstOptions.push_back((m_dlg.*option.isOn)());
        if (std::optional<bool> on = m_choices.Option(option.key)) (m_dlg.*option.set)(*on);
    }
    Bind(wxEVT_MENU, &CVarnexWindow::OnDefaultSettingsItem, this, IDM_DEFAULT_SETTINGS);
    Bind(wxEVT_MENU, &CVarnexWindow::OnLanguageItem, this, IDM_LANGUAGE_FIRST,
         IDM_LANGUAGE_FIRST + LANGUAGE_ITEMS - 1);
    if (std::optional<wxString> folder = m_choices.LastFolder()) m_lastFolder = *folder;
    if (std::optional<wxRect> place = m_choices.Place(WINDOW_PLACE)) {
        // Only where it stood: its size is its layout's.
        Move(KeptOnScreen(wxRect(place->GetPosition(), GetSize()), ScreenAreas()).GetPosition());
    } else {
        Centre();
    }
}

CVarnexWindow::~CVarnexWindow() {
    // The boxes outlive this object while the window is destroyed: no event of theirs may reach it.
    for (int row = 0; row < ShownRows(); ++row) {
        for (wxTextCtrl* box : {NodeEdit(row), CorrectionEdit(row)}) {
            box->Unbind(wxEVT_ENTER_WINDOW, &CVarnexWindow::OnEditEntered, this);
            box->Unbind(wxEVT_KILL_FOCUS, &CVarnexWindow::OnEditLeft, this);
        }
    }
}

void CVarnexWindow::CreateControls() {
    auto at = [this](const DLG_RECT& r) { return ConvertDialogToPixels(wxPoint(r.x, r.y)); };
    auto size = [this](const DLG_RECT& r) {
        return ConvertDialogToPixels(wxSize(r.width, r.height));
    };
    auto edit = [&](int id, const DLG_RECT& r) {
        auto* box = new CGridEdit(this, id, at(r), size(r));
        box->Bind(wxEVT_ENTER_WINDOW, &CVarnexWindow::OnEditEntered, this);
        box->Bind(wxEVT_KILL_FOCUS, &CVarnexWindow::OnEditLeft, this);
        return box;
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
        if (command.id == event.GetId()) RunCommand(command.id, command.handler);
    }
}

void CVarnexWindow::RunCommand(int id, void (CVarnexDlg::*handler)()) {
    // The line tells what the last command did; a refusal or a cancel leaves it empty.
    // QUIT tells nothing: answered "Non", it leaves the line as it was.
    if (id != IDC_QUIT) ShowStatus("");
    // The commands report their own failures; anything else still reaches the user as a
    // message rather than ending the program.
    try {
        (m_dlg.*handler)();
    } catch (const std::exception& e) {
        ShowMessage(e.what());
        return;
    }
    // A refused or cancelled command changed nothing the preview shows.
    if (std::ranges::find(RELOADING_COMMANDS, id) != std::end(RELOADING_COMMANDS) &&
        m_dlg.LastResult() == CVarnexDlg::COMMAND_RESULT::DONE) {
        ReloadPreview();
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
    if (m_extraRows) m_extraRows->ShowLabels(m_texts);
    if (m_preview) m_preview->ShowLabels();
}

void CVarnexWindow::OnLanguageItem(wxCommandEvent& event) {
    auto index = static_cast<std::size_t>(event.GetId() - IDM_LANGUAGE_FIRST);
    if (index >= m_languages.size()) return;
    if (!SetLanguage(m_languages[index])) {
        ShowMessage(m_texts.Tr("Le catalogue de la langue « {0} » est illisible : Varnex reste en "
                               "français",
                               {m_languages[index]}));
        return;
    }
    m_choices.SetLanguage(m_languages[index]);
}

void CVarnexWindow::OnOptionItem(wxCommandEvent& event) {
    for (const CHECKABLE_OPTION& option : CHECKABLE_OPTIONS) {
        if (option.menuId != event.GetId()) continue;
        bool on = !(m_dlg.*option.isOn)();
        (m_dlg.*option.set)(on);
        m_choices.SetOption(option.key, on);
        ReloadPreview();
        return;
    }
}

void CVarnexWindow::OnDefaultSettingsItem(wxCommandEvent&) {
    m_choices.Forget();
    for (std::size_t i = 0; i < std::size(CHECKABLE_OPTIONS); ++i) {
        (m_dlg.*CHECKABLE_OPTIONS[i].set)(m_firstOptions[i]);
    }
    // The language a first run speaks; the window does not know of a --lang given to this run.
    SetLanguage(ChooseLanguage(std::nullopt, VarnexLangVariable(), UserLanguageSettings(),
                               m_languages));
    m_lastFolder.clear();
    Centre();
    if (m_preview && m_preview->IsShown()) m_preview->PlaceBeside();
    ReloadPreview();
    ShowStatus(m_texts.Tr("réglages d'origine rétablis"));
}

void CVarnexWindow::RememberPlaces() {
    // A minimised window's place is the system's, not the user's.
    if (!IsIconized()) m_choices.SetPlace(WINDOW_PLACE, GetRect());
    if (m_preview && m_preview->IsShown() && !m_preview->IsIconized()) {
        m_choices.SetPlace(PREVIEW_PLACE_NAME, m_preview->GetRect());
    }
}

void CVarnexWindow::OnEditLeft(wxFocusEvent& event) {
    event.Skip();
    if (m_preview) m_preview->FollowGrid();
}

void CVarnexWindow::ReloadPreview() {
    if (m_preview) m_preview->Reload();
}

void CVarnexWindow::OnInitDialogEvent(wxInitDialogEvent&) {
    // Showing the window again must not reset the working state.
    if (m_initialised) return;
    m_initialised = true;
    m_dlg.OnInitDialog();
    // A remembered option would make BUILD SMD differ from varnex-cli's defaults unnoticed.
    std::string names;
    for (const CHECKABLE_OPTION& option : CHECKABLE_OPTIONS) {
        if (!option.changesBuild || !(m_dlg.*option.isOn)()) continue;
        names += (names.empty() ? "" : ", ") + ItemWords(option.menuText(m_texts));
    }
    if (!names.empty()) {
        ShowStatus(m_texts.Tr("réglages retenus qui changent BUILD SMD : {0}", {names}));
    }
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
    } else if (event.GetModifiers() == wxMOD_ALT && event.GetKeyCode() == 'P') {
        OpenPreview();
    } else {
        event.Skip();
    }
}

void CVarnexWindow::FocusNextEdit(wxWindow* box) {
    // The children stand in Tab order.
    std::vector<wxTextCtrl*> edits;
    CollectEdits(*this, edits);
    auto current = std::find(edits.begin(), edits.end(), box);
    if (current == edits.end()) return;
    wxTextCtrl* next = std::next(current) == edits.end() ? edits.front() : *std::next(current);
    next->SetFocus();
    next->SelectAll();
}

void CVarnexWindow::OnCloseWindow(wxCloseEvent& event) {
    if (event.CanVeto() && !m_dlg.ConfirmQuit()) {
        event.Veto();
        return;
    }
    Finish(wxID_CANCEL);
}

void CVarnexWindow::Finish(int code) {
    RememberPlaces();
    SetReturnCode(code);
    wxDialog::EndDialog(code);
}

void CVarnexWindow::OnContextMenu(wxContextMenuEvent&) {
    wxMenu menu;
    menu.Append(IDM_ABOUTBOX, ToWx(m_texts.Tr(ABOUT_ITEM_TEXT)));
    menu.Append(IDM_PREVIEW, ToWx(PreviewMenuText(m_texts)));
    menu.Append(IDM_QC_SET, ToWx(m_texts.Tr(QC_SET_ITEM_TEXT)));
    for (const CHECKABLE_OPTION& option : CHECKABLE_OPTIONS) {
        menu.AppendCheckItem(option.menuId, ToWx(option.menuText(m_texts)));
        menu.Check(option.menuId, (m_dlg.*option.isOn)());
    }
    menu.Append(IDM_DEFAULT_SETTINGS, ToWx(m_texts.Tr(DEFAULT_SETTINGS_ITEM_TEXT)));
    menu.AppendSeparator();
    for (std::size_t i = 0; i < m_languages.size() && i < LANGUAGE_ITEMS; ++i) {
        int id = IDM_LANGUAGE_FIRST + static_cast<int>(i);
        menu.AppendRadioItem(id, ToWx(LanguageName(m_languages[i])));
        menu.Check(id, m_languages[i] == m_texts.Language());
    }
    PopupMenu(&menu);
}

void CVarnexWindow::OpenPreview() {
    if (m_preview) {
        m_preview->Reload();
        if (m_preview->IsIconized()) m_preview->Iconize(false);
        // Left where the user put it, unless it was closed, went partly off the screen or has
        // the main window over it.
        if (!m_preview->IsShown() || !m_preview->OnScreen() ||
            m_preview->GetRect().Intersects(GetRect())) {
            m_preview->PlaceBeside();
        }
    } else {
        std::optional<wxRect> place = m_choices.Place(PREVIEW_PLACE_NAME);
        if (place) *place = KeptOnScreen(*place, ScreenAreas());
        m_preview = new CPreviewWindow(*this, place);
        m_preview->Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& event) {
            event.Skip();
            if (m_preview && !m_preview->IsIconized()) {
                m_choices.SetPlace(PREVIEW_PLACE_NAME, m_preview->GetRect());
            }
        });
    }
    m_preview->Show();
    m_preview->Raise();
}

void CVarnexWindow::ShowAboutBox() {
    CAboutDlg about(this, m_texts);
    about.ShowModal();
}

int CVarnexWindow::ShownRows() const {
    return m_extraRows ? m_extraRows->Rows() : DEFAULT_GRID_ROWS;
}

wxTextCtrl* CVarnexWindow::NodeEdit(int row) const {
    return row < DEFAULT_GRID_ROWS ? m_nodeEdits[static_cast<std::size_t>(row)]
                                   : m_extraRows->NodeEdit(row);
}

wxTextCtrl* CVarnexWindow::CorrectionEdit(int row) const {
    return row < DEFAULT_GRID_ROWS ? m_correctionEdits[static_cast<std::size_t>(row)]
                                   : m_extraRows->CorrectionEdit(row);
}

void CVarnexWindow::ShowRows(int rows) {
    rows = std::max(rows, DEFAULT_GRID_ROWS);
    if (rows == ShownRows()) return;
    // Cleared first, so that nothing looks for a row among boxes being destroyed.
    if (CExtraRows* old = std::exchange(m_extraRows, nullptr)) old->Destroy();
    bool extraColumn = rows > DEFAULT_GRID_ROWS;
    if (extraColumn) {
        m_extraRows = new CExtraRows(this, rows, m_texts);
        m_extraRows->MoveAfterInTabOrder(m_correctionEdits.back());
        for (int row = DEFAULT_GRID_ROWS; row < rows; ++row) {
            for (wxTextCtrl* box : {NodeEdit(row), CorrectionEdit(row)}) {
                box->Bind(wxEVT_ENTER_WINDOW, &CVarnexWindow::OnEditEntered, this);
                box->Bind(wxEVT_KILL_FOCUS, &CVarnexWindow::OnEditLeft, this);
            }
        }
    }
    auto place = [this](wxWindow* control, const DLG_RECT& r) {
        control->SetSize(wxRect(ConvertDialogToPixels(wxPoint(r.x, r.y)),
                                ConvertDialogToPixels(wxSize(r.width, r.height))));
    };
    for (const BUTTON_LAYOUT& button : MAIN_BUTTONS) {
        place(FindWindow(button.id), ButtonRect(button, extraColumn));
    }
    place(m_statusLine, StatusLineRect(extraColumn));
    int width = MAIN_WIDTH + (extraColumn ? EXTRA_COLUMN_WIDTH : 0);
    SetClientSize(ConvertDialogToPixels(wxSize(width, MAIN_HEIGHT)));
    // Widening to the right must not take the buttons off the screen.
    wxRect screen = wxDisplay(this).GetClientArea();
    wxRect window = GetRect();
    if (window.GetRight() > screen.GetRight()) {
        Move(std::max(screen.GetLeft(), screen.GetRight() + 1 - window.GetWidth()), window.y);
    }
    // The wider window must not cover the preview.
    if (m_preview && m_preview->IsShown()) m_preview->PlaceBeside();
}

void CVarnexWindow::OnEditEntered(wxMouseEvent& event) {
    event.Skip();
    for (int row = 0; row < ShownRows(); ++row) {
        wxTextCtrl* box = NodeEdit(row);
        if (event.GetEventObject() != box) box = CorrectionEdit(row);
        if (event.GetEventObject() != box) continue;
        // Told when the pointer comes, from the row as it stands: replacing the tooltips of boxes
        // the pointer is not over maps Wine's tooltip window, empty and black, across the dialog.
        wxString tip = ToWx(GridRowTooltip(row, FromWx(NodeEdit(row)->GetValue()),
                                           FromWx(CorrectionEdit(row)->GetValue()), m_dlg.Model(),
                                           m_dlg.NodeCount(), m_dlg.RefAnim(), m_texts));
        if (box->GetToolTipText() != tip) box->SetToolTip(tip);
        return;
    }
}

void CVarnexWindow::TakeGrid(GRID_TEXTS& nodeText, GRID_TEXTS& correctionText) {
    int rows = std::min(static_cast<int>(nodeText.size()), ShownRows());
    for (int row = 0; row < rows; ++row) {
        nodeText[static_cast<std::size_t>(row)] = FromWx(NodeEdit(row)->GetValue());
        correctionText[static_cast<std::size_t>(row)] = FromWx(CorrectionEdit(row)->GetValue());
    }
}

void CVarnexWindow::ShowGrid(const GRID_TEXTS& nodeText, const GRID_TEXTS& correctionText) {
    ShowRows(static_cast<int>(nodeText.size()));
    int rows = std::min(static_cast<int>(nodeText.size()), ShownRows());
    for (int row = 0; row < rows; ++row) {
        NodeEdit(row)->ChangeValue(ToWx(nodeText[static_cast<std::size_t>(row)]));
        CorrectionEdit(row)->ChangeValue(ToWx(correctionText[static_cast<std::size_t>(row)]));
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
            m_choices.SetLastFolder(m_lastFolder);
            return PathFromWx(completed);
        }
        dialog.SetFilename(wxFileName(completed).GetFullName());
    }
    return std::nullopt;
}

wxString CVarnexWindow::RunFileDialog(wxFileDialog& dialog) {
    return dialog.ShowModal() == wxID_OK ? dialog.GetPath() : wxString();
}

std::optional<std::string> CVarnexWindow::ChooseFolder(const std::string& title) {
    wxString folder = m_lastFolder.empty() ? wxGetCwd() : m_lastFolder;
    wxDirDialog dialog(this, ToWx(title), folder, wxDD_DEFAULT_STYLE);
    wxString path = RunDirDialog(dialog);
    if (path.empty()) return std::nullopt;
    m_lastFolder = path;
    m_choices.SetLastFolder(m_lastFolder);
    return PathFromWx(path);
}

wxString CVarnexWindow::RunDirDialog(wxDirDialog& dialog) {
    return dialog.ShowModal() == wxID_OK ? dialog.GetPath() : wxString();
}

bool CVarnexWindow::ShowProgress(const std::string& title, const std::string& text, int done,
                                 int count) {
    if (!m_progress) {
        m_progress = std::make_unique<wxProgressDialog>(
            ToWx(title), ToWx(text), std::max(count, 1), this,
            // No times: wx would label them in its own language, not the window's.
            wxPD_APP_MODAL | wxPD_CAN_ABORT);
        // wx's own button speaks wx's language, not the window's (the native one of Windows
        // has no such child and keeps the system's word).
        if (wxWindow* cancel = m_progress->FindWindow(wxID_CANCEL)) {
            cancel->SetLabel(ToWx(m_texts.Tr("Annuler")));
        }
    }
    return m_progress->Update(std::clamp(done, 0, std::max(count, 1)), ToWx(text));
}

void CVarnexWindow::EndProgress() { m_progress.reset(); }

void CVarnexWindow::ShowList(const std::string& title, const std::vector<std::string>& lines) {
    wxDialog dialog(this, wxID_ANY, ToWx(title), wxDefaultPosition, wxDefaultSize,
                    wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER);
    std::string text;
    for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
    auto* box = new wxTextCtrl(&dialog, wxID_ANY, ToWx(text), wxDefaultPosition,
                               dialog.ConvertDialogToPixels(wxSize(360, 160)),
                               wxTE_MULTILINE | wxTE_READONLY);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(box, 1, wxEXPAND | wxALL, dialog.ConvertDialogToPixels(wxSize(7, 0)).x);
    auto* ok = new wxButton(&dialog, wxID_OK, ToWx(m_texts.Tr(ABOUT_OK_TEXT)));
    sizer->Add(ok, 0, wxALIGN_RIGHT | wxLEFT | wxRIGHT | wxBOTTOM,
               dialog.ConvertDialogToPixels(wxSize(7, 0)).x);
    dialog.SetSizerAndFit(sizer);
    ok->SetDefault();
    ok->SetFocus();
    dialog.CentreOnParent();
    dialog.ShowModal();
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
