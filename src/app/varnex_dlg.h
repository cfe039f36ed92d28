// The main dialog: the whole working state of Varnex and its commands. It reaches the screen, the
// file dialogs and the message boxes only through a CDialogPlatform.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "biped/bone_pose.h"
#include "platform/dialog_platform.h"
#include "platform/file_access.h"
#include "smd_input/bone_scale.h"
#include "smd_input/smd_reader.h"

using BOOL = int;

// Control ids of the grid's edit boxes, row r from 0 to 59.
int NodeEditId(int row);
int CorrectionEditId(int row);

// The filters of the file dialogs.
extern const char* const SMD_FILTER;  // "Half-Life SMD smd(*.smd)|*.smd||"
extern const char* const CON_FILTER;  // "SMD Conversion con(*.con)|*.con||"

// The line separator of everything Varnex writes: CR LF from start-up on (the command line may
// choose LF).
extern std::string g_lineBreak;

// The help page looked for at start-up in the current folder, then beside the program, then in
// the installed share folder.
extern const char* const HELP_PAGE_NAME;  // "converter.htm"

class CVarnexDlg {
public:
    // What the last command did, for front ends that turn it into an exit status.
    enum class COMMAND_RESULT { DONE, CANCELLED, REFUSED };

    explicit CVarnexDlg(CDialogPlatform& platform);

    // Start-up once the window exists: flags to 0, grid to "0" and "1", grid shown, help page
    // looked for, line break set.
    void OnInitDialog();

    // The commands. Each checks its preconditions first (message and return), works on copies,
    // and changes the members only when it has run through; any problem is told in a message box
    // naming the file and line, and the command then changes nothing.
    void OnLoadRefModel();
    void OnLoadRefAnim();
    void OnLoadAnim();
    void OnConvertBiped();
    void OnBuildSmd();
    void OnSaveCon();
    void OnLoadCon();
    void OnHelpButton();
    void OnQuit();

    // Grid exchange: TRUE takes the grid from the screen, FALSE shows it.
    void UpdateData(BOOL saveAndValidate);

    COMMAND_RESULT LastResult() const { return m_lastResult; }

    // The decimal text of the system, six decimals.
    std::string DecimalText(double value) const;
    // The bone class of a node text; records the left thigh's naming in m_thighNamedLeg.
    int ClassifyBone(const std::string& text);

    // Working state, as the commands leave it.
    GRID_TEXTS m_nodeText;
    GRID_TEXTS m_correctionText;
    std::string m_refModelPath;
    std::string m_refAnimPath;
    std::string m_animPath;
    std::string m_outputPath;
    std::string m_helpPath;
    CFile m_refModelFile;
    CFile m_buildModelFile;
    CFile m_refAnimFile;
    CFile m_animFile;
    CFile m_outputFile;
    CFile m_conSaveFile;
    CFile m_conLoadFile;
    long long m_refModelSkeletonPos = 0;
    long long m_refAnimFrame0Pos = 0;
    long long m_animSkeletonPos = 0;
    int m_nodeCount = 0;
    int m_leftThighNode = -1;  // -1: no such node found yet, which no row matches
    int m_rightThighNode = -1;
    int m_refAnimSpineNode = -1;
    int m_bipedSpineNode = -1;
    int m_bipedPelvisNode = -1;
    BOOL m_refModelFileOpen = 0;
    BOOL m_animFileOpen = 0;
    BOOL m_refAnimLoaded = 0;
    BOOL m_refModelLoaded = 0;
    BOOL m_animLoaded = 0;
    BOOL m_helpFound = 0;
    BOOL m_thighNamedLeg = 0;
    BonePose m_restSpinePose;
    BonePose m_frameSpinePose;
    double m_boneScale[NODE_ROWS] = {};
    double m_refAnimSpineLength = 0.0;

    // Kept from the loads: the model's header and node list, the reference animation's node
    // list (for the command line's grid listing), the animation's skeleton line number.
    std::vector<std::string> m_refModelHeader;
    std::vector<FRAME_LINE> m_refModelNodes;
    std::vector<FRAME_LINE> m_refAnimNodes;
    int m_animSkeletonLine = 0;

private:
    // Shows the message of an error and marks the command refused.
    void Refuse(const std::string& message);
    std::optional<std::string> ChooseSmdToOpen();
    // The output path must not name an input; throws CVarnexError (output, message) when it does.
    static void RefuseInputAsOutput(const std::string& output,
                                    std::initializer_list<const std::string*> inputs,
                                    const char* message);
    void RefuseInputAsOutput(const std::string& output) const;

    CDialogPlatform& m_platform;
    COMMAND_RESULT m_lastResult = COMMAND_RESULT::DONE;
};
