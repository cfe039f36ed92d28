#include "app/varnex_dlg.h"

#include <cmath>
#include <filesystem>

#include "biped/biped_conversion.h"
#include "build/build_smd.h"
#include "build/decimal_text.h"
#include "conversion_file/con_file.h"
#include "platform/help_page.h"
#include "platform/varnex_error.h"
#include "smd_input/bone_classifier.h"
#include "smd_input/number_text.h"
#include "smd_input/skeleton_pairing.h"

std::string g_lineBreak;

const char* const SMD_FILTER = "Half-Life SMD smd(*.smd)|*.smd||";
const char* const CON_FILTER = "SMD Conversion con(*.con)|*.con||";
const char* const HELP_PAGE_NAME = "converter.htm";

namespace {
const char* const MSG_NEED_REF_MODEL = "Choisissez d'abord un modèle de référence";
const char* const MSG_NEED_REFS = "Ouvrez les deux SMD de référence d'abord";
const char* const MSG_NEED_REFS_THEN_ANIM =
    "Ouvrez les deux SMD de référence d'abord, puis celui de l'animation à copier";
const char* const MSG_NEED_ANIM = "Choisissez une animation à copier";
const char* const MSG_NEED_ANIM_FOR_BIPED =
    "Choisissez d'abord un fichier de référence puis une animation qui y correspond";
const char* const MSG_NO_HELP =
    "Le fichier d'aide : converter.htm  est introuvable, recherchez le manuellement";

FILE_DIALOG OpenDialog(const char* extension, const char* initialName, const char* filter) {
    FILE_DIALOG request;
    request.defaultExtension = extension;
    request.initialName = initialName;
    request.filter = filter;
    request.mustExist = true;
    return request;
}

FILE_DIALOG SaveDialog(const char* extension, const std::string& initialName,
                          const char* filter) {
    FILE_DIALOG request;
    request.save = true;
    request.defaultExtension = extension;
    request.initialName = initialName;
    request.filter = filter;
    request.askBeforeReplacing = true;
    return request;
}

std::string ReadWholeFile(CFile& file, std::size_t limit) {
    std::string bytes;
    char chunk[4096];
    while (bytes.size() < limit) {
        std::size_t got = file.Read(chunk, sizeof chunk);
        if (got == 0) break;
        bytes.append(chunk, got);
    }
    if (bytes.size() > limit) bytes.resize(limit);
    return bytes;
}
}  // namespace

int NodeEditId(int row) {
    if (row < 20) return 1000 + row;
    if (row < 40) return 1023 + (row - 20);
    return 1087 + (row - 40);
}

int CorrectionEditId(int row) {
    if (row < 20) return 1047 + row;
    if (row < 40) return 1067 + (row - 20);
    return 1107 + (row - 40);
}

CVarnexDlg::CVarnexDlg(CDialogPlatform& platform) : m_platform(platform) {}

void CVarnexDlg::OnInitDialog() {
    m_animFileOpen = 0;
    m_refModelFileOpen = 0;
    m_nodeCount = 0;
    m_refAnimLoaded = 0;
    m_animLoaded = 0;
    m_refModelLoaded = 0;
    m_thighNamedLeg = 0;
    m_nodeText.fill("0");
    m_correctionText.fill("1");
    UpdateData(0);
    std::string help = FindHelpPage(HELP_PAGE_NAME, RunningProgramPath());
    m_helpFound = help.empty() ? 0 : 1;
    if (m_helpFound) m_helpPath = help;
    g_lineBreak = "\r\n";
}

void CVarnexDlg::UpdateData(BOOL saveAndValidate) {
    if (saveAndValidate) {
        m_platform.TakeGrid(m_nodeText, m_correctionText);
    } else {
        m_platform.ShowGrid(m_nodeText, m_correctionText);
    }
}

std::string CVarnexDlg::DecimalText(double value) const { return ::DecimalText(value); }

int CVarnexDlg::ClassifyBone(const std::string& text) { return ::ClassifyBone(text, m_thighNamedLeg); }

void CVarnexDlg::Refuse(const std::string& message) {
    m_lastResult = COMMAND_RESULT::REFUSED;
    m_platform.ShowMessage(message);
}

std::optional<std::string> CVarnexDlg::ChooseSmdToOpen() {
    std::optional<std::string> path = m_platform.ChooseFile(OpenDialog("smd", "*.smd", SMD_FILTER));
    if (!path) m_lastResult = COMMAND_RESULT::CANCELLED;
    return path;
}

void CVarnexDlg::RefuseInputAsOutput(const std::string& output,
                                     std::initializer_list<const std::string*> inputs,
                                     const char* message) {
    for (const std::string* input : inputs) {
        if (!input->empty() && IsSameFile(output, *input)) throw CVarnexError(output, 0, message);
    }
}

void CVarnexDlg::RefuseInputAsOutput(const std::string& output) const {
    RefuseInputAsOutput(output, {&m_refModelPath, &m_refAnimPath, &m_animPath},
                        "c'est un des fichiers d'entrée : choisissez un autre nom pour ne pas "
                        "l'écraser");
}

void CVarnexDlg::OnLoadRefModel() {
    m_lastResult = COMMAND_RESULT::DONE;
    m_refModelFileOpen = 0;
    std::optional<std::string> path = ChooseSmdToOpen();
    if (!path) return;
    try {
        m_refModelFile.OpenForReading(*path);
        m_refModelFileOpen = 1;
        SMD_HEAD head = ReadSmdHead(m_refModelFile, true);
        m_refModelFile.Close();
        m_refModelFileOpen = 0;
        RequireNodeList(head);
        if (head.nodeLines.empty()) throw CVarnexError(*path, 0, "la liste des nodes est vide");
        RequireFrame0(head);
        UpdateData(1);
        int count = static_cast<int>(head.nodeLines.size());
        m_refModelPath = *path;
        m_nodeCount = count > NODE_ROWS ? NODE_ROWS : count;
        m_refModelSkeletonPos = head.skeletonEnd;
        m_refModelHeader = std::move(head.headerLines);
        m_refModelNodes = std::move(head.nodeLines);
        m_refModelLoaded = 1;
        if (count > NODE_ROWS) {
            m_platform.ShowMessage(
                *path + ": le modèle a " + std::to_string(count) +
                " nodes, la grille n'en a que 60 : les nodes 60 à " + std::to_string(count - 1) +
                " n'auront pas de ligne dans les frames écrites");
        }
    } catch (const CVarnexError& e) {
        m_refModelFile.Close();
        m_refModelFileOpen = 0;
        Refuse(e.Text());
    }
}

void CVarnexDlg::OnLoadRefAnim() {
    m_lastResult = COMMAND_RESULT::DONE;
    if (!m_refModelLoaded) {
        Refuse(MSG_NEED_REF_MODEL);
        return;
    }
    UpdateData(1);
    std::optional<std::string> path = ChooseSmdToOpen();
    if (!path) return;
    try {
        m_refAnimFile.OpenForReading(*path);
        SMD_HEAD ref = ReadSmdHead(m_refAnimFile, true);
        m_refAnimFile.Close();
        RequireNodeList(ref);
        RequireFrame0(ref);
        m_refModelFile.OpenForReading(m_refModelPath);
        SMD_HEAD model = ReadSmdHead(m_refModelFile, true);
        m_refModelFile.Close();
        RequireNodeList(model);
        RequireFrame0(model);

        PAIRING_STATE pairing;
        pairing.nodeText = m_nodeText;
        pairing.leftThighNode = m_leftThighNode;
        pairing.rightThighNode = m_rightThighNode;
        pairing.spineNode = m_refAnimSpineNode;
        pairing.thighNamedLeg = m_thighNamedLeg;
        PairSkeletons(model.nodeLines, m_nodeCount, ref.nodeLines, pairing);

        BONE_SCALE_INPUT input;
        input.nodeCount = m_nodeCount;
        input.nodeText = &pairing.nodeText;
        input.model = &model;
        input.refAnim = &ref;
        input.leftThighNode = pairing.leftThighNode;
        input.rightThighNode = pairing.rightThighNode;
        input.spineNode = pairing.spineNode;
        input.thighNamedLeg = pairing.thighNamedLeg != 0;
        BONE_SCALE_RESULT scales = ComputeBoneScales(input);

        m_refAnimPath = *path;
        m_refAnimFrame0Pos = ref.frame0Offset;
        m_nodeText = pairing.nodeText;
        m_leftThighNode = pairing.leftThighNode;
        m_rightThighNode = pairing.rightThighNode;
        m_refAnimSpineNode = pairing.spineNode;
        m_thighNamedLeg = pairing.thighNamedLeg;
        m_refAnimSpineLength = scales.spineLength;
        for (int i = 0; i < NODE_ROWS; ++i) {
            if (scales.scaled[i]) m_boneScale[i] = scales.boneScale[i];
        }
        m_refAnimNodes = std::move(ref.nodeLines);
        m_refAnimLoaded = 1;
        m_refModelFileOpen = 0;
        UpdateData(0);
    } catch (const CVarnexError& e) {
        m_refAnimFile.Close();
        m_refModelFile.Close();
        Refuse(e.Text());
    }
}

void CVarnexDlg::OnLoadAnim() {
    m_lastResult = COMMAND_RESULT::DONE;
    if (!m_refAnimLoaded) {
        Refuse(MSG_NEED_REFS);
        return;
    }
    m_animFileOpen = 0;
    std::optional<std::string> path = ChooseSmdToOpen();
    if (path) {
        try {
            m_animFile.OpenForReading(*path);
            m_animFileOpen = 1;
            SMD_HEAD head = ReadSmdHead(m_animFile, false);
            m_animFile.Close();
            m_animFileOpen = 0;
            RequireSkeleton(head);
            m_animPath = *path;
            m_animSkeletonPos = head.skeletonEnd;
            m_animSkeletonLine = head.skeletonLine;
            m_animLoaded = 1;
        } catch (const CVarnexError& e) {
            m_animFile.Close();
            m_animFileOpen = 0;
            Refuse(e.Text());
            return;
        }
    }
    UpdateData(1);
}

void CVarnexDlg::OnBuildSmd() {
    m_lastResult = COMMAND_RESULT::DONE;
    UpdateData(1);
    if (!m_refAnimLoaded) {
        Refuse(MSG_NEED_REFS_THEN_ANIM);
        return;
    }
    if (!m_animLoaded) {
        Refuse(MSG_NEED_ANIM);
        return;
    }
    std::string name = DefaultOutputName(m_refModelPath, m_animPath);
    std::optional<std::string> path = m_platform.ChooseFile(SaveDialog("smd", name, SMD_FILTER));
    if (!path) {
        m_lastResult = COMMAND_RESULT::CANCELLED;
        return;
    }
    try {
        RefuseInputAsOutput(*path);
        BUILD_JOB job;
        for (int i = 0; i < m_nodeCount; ++i) {
            const std::string& text = m_correctionText[static_cast<std::size_t>(i) + 1];
            double correction = TextToDouble(text);
            if (!std::isfinite(correction)) {
                throw CVarnexError("", 0,
                                   "ligne " + std::to_string(i) + " de la grille : la Correction « " +
                                       text + " » n'est pas un nombre fini");
            }
            job.rows.push_back(NODE_ROW{TextToInt(m_nodeText[static_cast<std::size_t>(i) + 1]),
                                        correction, m_boneScale[i]});
        }
        m_buildModelFile.OpenForReading(m_refModelPath);
        SMD_HEAD model = ReadSmdHead(m_buildModelFile, true);
        m_buildModelFile.Close();
        job.header = m_refModelHeader;
        job.context.animSource = m_animPath;
        job.context.modelSource = m_refModelPath;
        job.context.refLines = &model.frame0Lines;
        job.context.lineEnd = g_lineBreak;

        CAtomicOutput output(*path);
        // The head is read again, so a file changed since SMD Animation is still read right.
        m_animFile.OpenForReading(m_animPath);
        m_animFileOpen = 1;
        CLineReader anim(m_animFile);
        RequireSkeleton(ReadSmdHead(anim, false));
        WriteRetargetedAnimation(job, anim, output);
        m_animFile.Close();
        output.Commit();
        m_outputPath = *path;
        m_animFileOpen = 0;
    } catch (const CVarnexError& e) {
        m_buildModelFile.Close();
        m_animFile.Close();
        m_animFileOpen = 0;
        Refuse(e.Text());
    }
}

void CVarnexDlg::OnSaveCon() {
    m_lastResult = COMMAND_RESULT::DONE;
    UpdateData(1);
    std::optional<std::string> path =
        m_platform.ChooseFile(SaveDialog("con", "Nouveau.con", CON_FILTER));
    if (!path) {
        m_lastResult = COMMAND_RESULT::CANCELLED;
        return;
    }
    try {
        RefuseInputAsOutput(*path);
        std::string bytes = ComposeConFile(m_nodeText, m_correctionText);
        CAtomicOutput output(*path);
        output.Write(bytes);
        output.Commit();
    } catch (const CVarnexError& e) {
        Refuse(e.File().empty() ? *path + " : " + e.Message() : e.Text());
    }
}

void CVarnexDlg::OnLoadCon() {
    m_lastResult = COMMAND_RESULT::DONE;
    FILE_DIALOG request = OpenDialog("con", "*.con", CON_FILTER);
    std::optional<std::string> path = m_platform.ChooseFile(request);
    if (!path) {
        m_lastResult = COMMAND_RESULT::CANCELLED;
        return;
    }
    try {
        m_conLoadFile.OpenForReading(*path);
        std::string bytes = ReadWholeFile(m_conLoadFile, CON_FILE_BYTES);
        m_conLoadFile.Close();
        ReadConFile(bytes, *path, m_nodeText, m_correctionText);
        UpdateData(0);
    } catch (const CVarnexError& e) {
        m_conLoadFile.Close();
        Refuse(e.Text());
    }
}

void CVarnexDlg::OnConvertBiped() {
    m_lastResult = COMMAND_RESULT::DONE;
    if (!m_animLoaded) {
        Refuse(MSG_NEED_ANIM_FOR_BIPED);
        return;
    }
    try {
        m_refAnimFile.OpenForReading(m_refAnimPath);
        SMD_HEAD ref = ReadSmdHead(m_refAnimFile, true);
        m_refAnimFile.Close();
        int thighNamedLeg = m_thighNamedLeg;
        BIPED_NODES nodes = FindBipedNodes(ref, thighNamedLeg);

        std::string convertedPath = ConvertedPathOf(m_animPath);
        RefuseInputAsOutput(convertedPath, {&m_refModelPath, &m_refAnimPath},
                            "c'est un des fichiers de référence : renommez l'animation pour ne "
                            "pas l'écraser");
        CAtomicOutput output(convertedPath);
        m_animFile.OpenForReading(m_animPath);
        CLineReader anim(m_animFile);
        CONVERSION_RESULT result = ::WriteConvertedAnimation(nodes, anim, output, g_lineBreak);
        m_animFile.Close();
        output.Commit();

        m_bipedPelvisNode = nodes.pelvis;
        m_bipedSpineNode = nodes.spine;
        m_leftThighNode = nodes.leftThigh;
        m_rightThighNode = nodes.rightThigh;
        m_restSpinePose = nodes.restSpine;
        m_frameSpinePose = result.lastFrameSpine;
        m_thighNamedLeg = thighNamedLeg;
        m_animPath = convertedPath;
        m_animSkeletonPos = result.skeletonEnd;
        m_animSkeletonLine = result.skeletonLine;
    } catch (const CVarnexError& e) {
        m_refAnimFile.Close();
        m_animFile.Close();
        Refuse(e.Text());
    }
}

void CVarnexDlg::OnHelpButton() {
    m_lastResult = COMMAND_RESULT::DONE;
    if (!m_helpFound) {
        m_platform.ShowMessage(MSG_NO_HELP);
        return;
    }
    if (!m_platform.OpenHelpPage(m_helpPath)) {
        Refuse("Impossible d'ouvrir la page d'aide " + m_helpPath +
               " : aucun navigateur n'a pu être lancé");
    }
}

void CVarnexDlg::OnQuit() {
    m_lastResult = COMMAND_RESULT::DONE;
    if (m_animFileOpen) m_animFile.Close();
    if (m_refModelFileOpen) m_refModelFile.Close();
    UpdateData(1);
    m_platform.EndDialog();
}
