// The main dialog: the working state of the window and its commands. It reaches the screen, the
// file dialogs and the message boxes only through a CDialogPlatform, and the engine through typed
// values made from the grid's texts at the exchange points.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "motion/motion_setup.h"
#include "pairing/grid.h"
#include "platform/dialog_platform.h"
#include "platform/varnex_error.h"
#include "session/retarget_session.h"
#include "smd_input/smd_reader.h"

namespace varnex {

// Control ids of the grid's edit boxes, row r from 0 to 59 (the window gives later rows ids of
// its own).
int NodeEditId(int row);
int CorrectionEditId(int row);

// The filters of the file dialogs.
extern const char* const SMD_FILTER;  // "Half-Life SMD smd(*.smd)|*.smd||"
extern const char* const CON_FILTER;  // "SMD Conversion con(*.con)|*.con||"
extern const char* const QC_FILTER;   // "Half-Life QC qc(*.qc)|*.qc||"

// The help page, looked for when HELP is pressed in the current folder, then beside the program,
// then in the installed share folder; each language names its own page (English:
// "converter-en.htm").
extern const char* const HELP_PAGE_NAME;  // "converter.htm"

class CVarnexDlg {
public:
    // What the last command did, for front ends that turn it into an exit status.
    enum class COMMAND_RESULT { DONE, CANCELLED, REFUSED };

    explicit CVarnexDlg(CDialogPlatform& platform);

    // Start-up once the window exists: grid to "0" and "1" and shown, help folder noted, line
    // break CR LF.
    void OnInitDialog();

    // The commands. Each checks its preconditions first (message and return), works on copies,
    // and changes the state only when it has run through; any problem is told in a message box
    // naming the file and line, and the command then changes nothing.
    void OnLoadRefModel();
    void OnLoadRefAnim();
    void OnLoadAnim();
    void OnConvertBiped();
    void OnBuildSmd();
    void OnSaveCon();
    void OnLoadCon();
    void OnHelpButton();
    // "Tout un .qc…": after both references, asks for the source .qc, the model's own .qc
    // (cancelled: none) and the output folder (cancelled: nothing done), then builds every SMD
    // the source's sequences name on the grid as the screen shows it, and the model's .qc,
    // showing the progress; cancelled or refused, the set leaves nothing. The warnings come in a
    // list, the refusals in a message.
    void OnBuildQcSet();
    void OnQuit();

    // Grid exchange: true takes the grid from the screen, false shows it.
    void UpdateData(bool saveAndValidate);

    // True when the grid on screen is the one last paired, saved or loaded, or the user agrees to
    // lose its edits. Leaves the grid as it is.
    bool ConfirmQuit();

    // The next SMD Ref Animation also pairs unpaired rows with source nodes of the same name.
    void SetPairSameNames(bool on) { m_session.Options().pairSameNames = on; }
    bool PairSameNames() const { return m_session.Options().pairSameNames; }
    // BUILD SMD and the preview move row 0 by the legs' ratio (the window's checkable entry).
    void SetRootFromLegs(bool on) {
        m_session.Options().rootMotion = on ? ROOT_MODE::LEGS : ROOT_MODE::SCALE;
    }
    bool RootFromLegs() const { return m_session.Options().rootMotion == ROOT_MODE::LEGS; }
    // The world method (the window's checkable entry): BUILD SMD, a set, the preview and the
    // check follow it at once, the pairing from the next SMD Ref Animation.
    void SetWorldMethod(bool on) {
        m_session.Options().method = on ? RETARGET_METHOD::WORLD : RETARGET_METHOD::LOCAL;
    }
    bool WorldMethod() const { return m_session.Options().method == RETARGET_METHOD::WORLD; }
    // BUILD SMD, a set, the preview and the check hold the feet where the source plants them.
    void SetFeetContact(bool on) {
        m_session.Options().feet = on ? FEET_MODE::CONTACT : FEET_MODE::NONE;
    }
    bool FeetContact() const { return m_session.Options().feet == FEET_MODE::CONTACT; }

    // The engine's values of the grid as the screen shows it now, for the preview: the loaded
    // skeletons, the rows as BUILD SMD would take them and the root rule. Leaves the grid as it
    // is. Nothing, with the reason in why, before both references are loaded or when the grid or
    // a first frame cannot be retargeted.
    std::optional<MOTION_SETUP> PreviewSetup(std::string& why) const;

    COMMAND_RESULT LastResult() const { return m_lastResult; }
    const CRetargetSession& Session() const { return m_session; }
    const SMD_HEAD& Model() const { return m_session.Model(); }
    const SMD_HEAD& RefAnim() const { return m_session.Reference(); }
    int NodeCount() const { return m_session.NodeCount(); }
    const CGridTexts& Grid() const { return m_session.Grid(); }
    const std::string& AnimPath() const { return m_animPath; }
    const std::string& OutputPath() const { return m_outputPath; }
    const std::vector<double>& BoneScales() const { return m_session.BoneScales(); }

private:
    // Shows the words of an error and marks the command refused.
    void Refuse(const std::string& message);
    void Refuse(const CVarnexError& error);
    // The same for one of the marked texts, looked up in the user's language.
    void RefuseWith(const char* message);
    std::optional<std::string> ChooseSmdToOpen(const char* title);
    // The grid as it is now counts as kept: quitting loses nothing.
    void KeepGrid();
    // The grid differs from the one kept at the last pairing, .con file or start.
    bool GridEdited(const CGridTexts& screen) const;
    // Throws CVarnexError (output) when output names one of the three SMD inputs.
    void RefuseInputAsOutput(const std::string& output) const;
    // A session's note in a message box.
    void ShowNotes(const std::vector<SESSION_NOTE>& notes);

    CDialogPlatform& m_platform;
    COMMAND_RESULT m_lastResult = COMMAND_RESULT::DONE;
    CRetargetSession m_session;  // the loaded files, their pairing and the grid
    CGridTexts m_keptGrid;       // as last paired, saved or loaded
    std::string m_animPath;
    std::string m_outputPath;
    std::string m_programPath;  // of the running program, where the help page may be
    bool m_animLoaded = false;
};

}  // namespace varnex
