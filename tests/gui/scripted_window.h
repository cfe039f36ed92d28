// The main window with its modal windows answered by a script, for tests: file and folder dialogs
// take their answers from one queue (none left: cancelled), questions take answerYes; messages,
// lists, questions, help pages and About boxes are recorded.
#pragma once

#include <wx/textctrl.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "gui/varnex_window.h"

namespace varnex {

class CScriptedWindow : public CVarnexWindow {
public:
    // Remembers nothing, unless given choices (kept in a temporary folder, never the user's).
    CScriptedWindow() = default;
    explicit CScriptedWindow(CRememberedChoices choices)
        : CVarnexWindow(nullptr, std::move(choices)) {}

    void Answer(const std::filesystem::path& path) { m_answers.push_back(path.string()); }
    void Cancel() { m_answers.push_back(CANCEL); }

    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    // Records the request; the window's own file dialog then runs with the scripted answer.
    std::optional<std::string> ChooseFile(const FILE_DIALOG& request) override;
    void ShowList(const std::string& title, const std::vector<std::string>& lines) override {
        lists.push_back(title);
        lists.insert(lists.end(), lines.begin(), lines.end());
    }
    bool AskYesNo(const std::string& text) override {
        questions.push_back(text);
        return answerYes;
    }
    bool OpenHelpPage(const std::string& path) override {
        helpPages.push_back(path);
        return browserStarts;
    }

    // Sends the button's click, as the user's click does.
    void Press(int buttonId);
    // Sends Alt+P (the preview), as the user's keys do.
    void PressAltP();
    // Sends the menu item's command, as the user's choice does.
    void Choose(int itemId) {
        wxCommandEvent item(wxEVT_MENU, itemId);
        ProcessWindowEvent(item);
    }
    // Replaces an edit box's text, as the user's typing does.
    static void Type(wxTextCtrl* box, const std::string& text);
    // The texts of every row's boxes.
    std::vector<std::string> NodeBoxes() const;
    std::vector<std::string> CorrectionBoxes() const;

    std::vector<std::string> messages;
    std::vector<std::string> lists;  // each list's title, then its lines
    std::vector<FILE_DIALOG> dialogs;
    struct SHOWN_DIALOG {
        std::string title;
        std::string folder;
    };
    std::vector<SHOWN_DIALOG> shown;  // as the window's file dialogs were when they ran
    std::vector<std::string> questions;
    bool answerYes = true;
    std::vector<std::string> helpPages;
    bool browserStarts = true;
    int aboutBoxes = 0;

protected:
    void ShowAboutBox() override { ++aboutBoxes; }
    wxString RunFileDialog(wxFileDialog& dialog) override;
    wxString RunDirDialog(wxDirDialog& dialog) override;

private:
    // Records the dialog shown and gives the next scripted answer.
    wxString NextAnswer(const wxString& title, const std::string& folder);

    static constexpr const char* CANCEL = "<cancelled>";
    std::deque<std::string> m_answers;
};

// A biped of nodes nodes made from the knight, whose right leg comes last after a cape ("Cape 18"
// on) hung from the spine; the sword goes. Its first frame, the rest pose, is written as the build
// writes lines. Biped72's rows:
//   rows 0-6: root, pelvis, spine, left leg   rows 7-17: spine1, neck, head, arms
//   rows 18-67: the cape                       rows 68-71: right thigh, calf, foot, toe
std::string BipedWithCape(const std::string& knightPath, int nodes);
inline std::string Biped72(const std::string& knightPath) { return BipedWithCape(knightPath, 72); }

// Shows window and lets it be drawn.
void ShowAndDraw(wxWindow& window);
// The scripted window shown and drawn, as most tests start.
class CShownWindow : public CScriptedWindow {
public:
    CShownWindow() { ShowAndDraw(*this); }
    explicit CShownWindow(CRememberedChoices choices) : CScriptedWindow(std::move(choices)) {
        ShowAndDraw(*this);
    }
};
// Lets the event loop run until done holds, a bounded number of rounds, never a clock; whether
// it holds.
bool RunUntil(const std::function<bool()>& done);
// The id of the window that has the focus, wxID_NONE when none has.
int FocusedId();
// Clicks into a box through the X server and selects its text, as a user does before typing.
void ClickInto(wxTextCtrl* box);
// Every child of window lies inside its area (scrolled, for a scrolled window) and overlaps no
// other child; children's children likewise.
void ExpectApartAndInside(const wxWindow& window);
// Saves what the screen shows of window, or of area, as a PNG; false when it could not.
bool SaveScreenshot(wxWindow& window, const std::filesystem::path& png);
bool SaveScreenshot(const wxRect& area, const std::filesystem::path& png);

// Loads the samples, already in folder, through the buttons: the knight by SMD Ref Modele and
// the runner's reference by SMD Ref Animation; the three samples also take the runner's walk by
// SMD Animation.
void LoadModelAndReference(CScriptedWindow& window, const std::filesystem::path& folder);
void LoadThreeSamples(CScriptedWindow& window, const std::filesystem::path& folder);

}  // namespace varnex
