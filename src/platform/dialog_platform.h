// What the dialog needs from the window system. The window and the tests each supply their own
// implementation; the commands never see which one they run on.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/text_catalog.h"

namespace varnex {

// One grid column as the edit boxes show it, entry r for row r.
using GRID_TEXTS = std::vector<std::string>;

struct FILE_DIALOG {
    std::string title;              // what is asked for, in the user's words
    bool save = false;              // save kind (else open kind)
    std::string defaultExtension;   // "smd", "con"
    std::string initialName;        // "*.smd", "Nouveau.con", a default output name
    std::string filter;             // "Half-Life SMD smd(*.smd)|*.smd||"
    bool mustExist = false;         // open kind: only an existing file is accepted
    bool askBeforeReplacing = false;  // save kind: asks before an existing file is replaced
};

class CDialogPlatform {
public:
    virtual ~CDialogPlatform() = default;

    // Take the grid from the screen: every edit box's text into the two columns, whose length is
    // the grid's row count.
    virtual void TakeGrid(GRID_TEXTS& nodeText, GRID_TEXTS& correctionText) = 0;
    // Show the grid: every edit box receives its column's text.
    virtual void ShowGrid(const GRID_TEXTS& nodeText, const GRID_TEXTS& correctionText) = 0;
    // A modal message box captioned "Varnex" with an OK button.
    virtual void ShowMessage(const std::string& text) = 0;
    // A modal file dialog; the full path chosen, or nothing when it was not confirmed.
    virtual std::optional<std::string> ChooseFile(const FILE_DIALOG& request) = 0;
    // A modal folder dialog titled title; the full path chosen, or nothing when it was not
    // confirmed.
    virtual std::optional<std::string> ChooseFolder(const std::string& title) = 0;
    // Ends the modal run of the dialog (QUIT).
    virtual void EndDialog() = 0;
    // Opens the help page in the system's browser; false when no browser could be started.
    virtual bool OpenHelpPage(const std::string& path) = 0;
    // Tells what a command did, without asking for a click. Where nobody looks, nothing.
    virtual void ShowStatus(const std::string& /*text*/) {}
    // A modal question answered Oui or Non; true for Oui. Where nobody can answer, Oui.
    virtual bool AskYesNo(const std::string& /*text*/) { return true; }
    // A long command's progress in a window titled title that can be cancelled, shown from the
    // first call to EndProgress: step done of count, text saying what it does now. False once
    // the user has asked to stop. Where nobody looks, nothing shown, never stopped.
    virtual bool ShowProgress(const std::string& /*title*/, const std::string& /*text*/,
                              int /*done*/, int /*count*/) {
        return true;
    }
    virtual void EndProgress() {}
    // Lines to read at leisure (a set's warnings), in a modal window titled title.
    virtual void ShowList(const std::string& title, const std::vector<std::string>& lines) = 0;
    // The words of the user's language, for the commands' messages; the French originals unless
    // the window supplies a catalog.
    virtual const CTextCatalog& Texts() const { return OriginalTexts(); }
};

}  // namespace varnex
