#include "app/varnex_dlg.h"

#include <algorithm>
#include <filesystem>

#include "app/error_text.h"
#include "biped/biped_conversion.h"
#include "conversion_file/con_file.h"
#include "motion/motion_texts.h"
#include "pairing/bone_scale.h"
#include "pairing/skeleton_pairing.h"
#include "platform/file_access.h"
#include "retarget/build_smd.h"
#include "platform/help_page.h"

namespace varnex {

const char* const SMD_FILTER = "Half-Life SMD smd(*.smd)|*.smd||";
const char* const CON_FILTER = "SMD Conversion con(*.con)|*.con||";
// TRANSLATORS: the name of this language's help page, installed beside converter.htm.
const char* const HELP_PAGE_NAME = MarkText("converter.htm");

namespace {
const char* const MSG_NEED_REF_MODEL = MarkText("Choisissez d'abord un modèle de référence");
const char* const MSG_NEED_REFS = MarkText("Ouvrez les deux SMD de référence d'abord");
const char* const MSG_NEED_REFS_THEN_ANIM =
    MarkText("Ouvrez les deux SMD de référence d'abord, puis celui de l'animation à copier");
const char* const MSG_NEED_ANIM = MarkText("Choisissez une animation à copier");
const char* const MSG_NEED_ANIM_FOR_BIPED =
    MarkText("Choisissez d'abord un fichier de référence puis une animation qui y correspond");
const char* const MSG_QUIT_LOSING_EDITS = MarkText(
    "La grille a été modifiée depuis le dernier appariement, le dernier enregistrement ou le "
    "dernier chargement d'un fichier .con.\nQuitter sans enregistrer ces modifications ?");

const char* const MSG_MODEL_CHANGE_LOSING_EDITS = MarkText(
    "La grille a été modifiée depuis le dernier appariement, le dernier enregistrement ou le "
    "dernier chargement d'un fichier .con, et ce modèle a un autre squelette : sa grille repart "
    "de zéro.\nCharger ce modèle sans enregistrer ces modifications ?");

// Names and parents in order: the skeleton a grid's rows were made for.
bool SameNodeList(const std::vector<SMD_NODE>& a, const std::vector<SMD_NODE>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].name != b[i].name || a[i].parent != b[i].parent) return false;
    }
    return true;
}

FILE_DIALOG OpenDialog(const std::string& title, const char* extension, const char* initialName,
                       const char* filter) {
    FILE_DIALOG request;
    request.title = title;
    request.defaultExtension = extension;
    request.initialName = initialName;
    request.filter = filter;
    request.mustExist = true;
    return request;
}

FILE_DIALOG SaveDialog(const std::string& title, const char* extension,
                       const std::string& initialName, const char* filter) {
    FILE_DIALOG request;
    request.title = title;
    request.save = true;
    request.defaultExtension = extension;
    request.initialName = initialName;
    request.filter = filter;
    request.askBeforeReplacing = true;
    return request;
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
    m_nodeCount = 0;
    m_refModelLoaded = false;
    m_refAnimLoaded = false;
    m_animLoaded = false;
    m_marks.thighNamedLeg = false;
    m_grid = CGridTexts();
    UpdateData(false);
    KeepGrid();
    m_programPath = RunningProgramPath();
    m_lineBreak = "\r\n";
}

void CVarnexDlg::UpdateData(bool saveAndValidate) {
    if (saveAndValidate) {
        m_platform.TakeGrid(m_grid.Nodes(), m_grid.Corrections());
    } else {
        m_platform.ShowGrid(m_grid.Nodes(), m_grid.Corrections());
    }
}

void CVarnexDlg::KeepGrid() { m_keptGrid = m_grid; }

bool CVarnexDlg::GridEdited(const CGridTexts& screen) const {
    // Rows a larger model added since are start-up rows, not edits.
    CGridTexts kept = m_keptGrid;
    if (kept.Rows() < screen.Rows()) kept.Resize(screen.Rows());
    return screen.Nodes() != kept.Nodes() || screen.Corrections() != kept.Corrections();
}

bool CVarnexDlg::ConfirmQuit() {
    CGridTexts screen = m_grid;
    m_platform.TakeGrid(screen.Nodes(), screen.Corrections());
    if (!GridEdited(screen)) return true;
    return m_platform.AskYesNo(m_platform.Texts().Tr(MSG_QUIT_LOSING_EDITS));
}

void CVarnexDlg::RefuseWith(const char* message) { Refuse(m_platform.Texts().Tr(message)); }

void CVarnexDlg::Refuse(const std::string& message) {
    m_lastResult = COMMAND_RESULT::REFUSED;
    m_platform.ShowMessage(message);
}

void CVarnexDlg::Refuse(const CVarnexError& error) { Refuse(ErrorText(error, m_platform.Texts())); }

std::optional<std::string> CVarnexDlg::ChooseSmdToOpen(const char* title) {
    std::optional<std::string> path =
        m_platform.ChooseFile(OpenDialog(m_platform.Texts().Tr(title), "smd", "*.smd", SMD_FILTER));
    if (!path) m_lastResult = COMMAND_RESULT::CANCELLED;
    return path;
}

void CVarnexDlg::RefuseInputAsOutput(const std::string& output) const {
    if (NamesAnyOf(output, {m_refModelPath, m_refAnimPath, m_animPath})) {
        throw CVarnexError(ERROR_KIND::OUTPUT_IS_INPUT, output, 0);
    }
}

void CVarnexDlg::OnLoadRefModel() {
    m_lastResult = COMMAND_RESULT::DONE;
    std::optional<std::string> path = ChooseSmdToOpen(MarkText("SMD Ref Modele"));
    if (!path) return;
    try {
        SMD_HEAD model = ReadModelFile(*path);
        UpdateData(true);
        // The rows name the earlier skeleton's nodes: another skeleton starts from a fresh grid,
        // as the command line's does, and waits for its own pairing.
        bool otherSkeleton = m_refModelLoaded && !SameNodeList(model.nodes, m_model.nodes);
        if (otherSkeleton && GridEdited(m_grid) &&
            !m_platform.AskYesNo(m_platform.Texts().Tr(MSG_MODEL_CHANGE_LOSING_EDITS))) {
            m_lastResult = COMMAND_RESULT::CANCELLED;
            return;
        }
        if (otherSkeleton) {
            m_grid = CGridTexts();
            m_boneScale.clear();
            m_refAnimLoaded = false;
        }
        // A row for every node of the model, so that every node has a line in every frame.
        m_nodeCount = static_cast<int>(model.nodes.size());
        int rows = std::max(m_nodeCount, DEFAULT_GRID_ROWS);
        m_grid.Resize(rows);
        m_boneScale.resize(static_cast<std::size_t>(rows), 0.0);
        if (otherSkeleton) KeepGrid();
        m_refModelPath = *path;
        m_model = std::move(model);
        m_refModelLoaded = true;
        UpdateData(false);
        std::string status = m_platform.Texts().Tr("modèle chargé : {0}, {1} nodes",
                                                   {*path, std::to_string(m_nodeCount)});
        if (otherSkeleton) {
            status += m_platform.Texts().Tr(" ; la grille de l'autre squelette est mise de côté : "
                                            "ouvrez SMD Ref Animation");
        }
        m_platform.ShowStatus(status);
        if (m_nodeCount > MODEL_COMPILER_MAX_NODES) {
            m_platform.ShowMessage(NoteOverCompilerLimit(*path, m_nodeCount, m_platform.Texts()));
        }
    } catch (const CVarnexError& e) {
        Refuse(e);
    }
}

void CVarnexDlg::OnLoadRefAnim() {
    m_lastResult = COMMAND_RESULT::DONE;
    if (!m_refModelLoaded) {
        RefuseWith(MSG_NEED_REF_MODEL);
        return;
    }
    UpdateData(true);
    std::optional<std::string> path = ChooseSmdToOpen(MarkText("SMD Ref Animation"));
    if (!path) return;
    try {
        SMD_HEAD ref = ReadReferenceAnimationFile(*path);
        PAIRING pairing = PairSkeletons(m_model.nodes, m_nodeCount, ref.nodes, m_marks);
        CGridTexts grid = m_grid;
        grid.SetPartners(pairing.partner);
        std::vector<int> sameNames;
        if (m_pairSameNames) {
            sameNames = SameNamePartners(m_model.nodes, m_nodeCount, ref.nodes, grid.Values());
            grid.SetPartners(sameNames);
        }
        // NODES 0 on a row but 0 keeps the model's rest line: that row is not paired.
        int paired = 0;
        for (std::size_t r = 0; r < pairing.partner.size(); ++r) {
            int partner = r < sameNames.size() && sameNames[r] >= 0 ? sameNames[r] : pairing.partner[r];
            if (partner > 0 || (partner == 0 && r == 0)) ++paired;
        }
        BONE_SCALES scales = ComputeBoneScales(m_model, ref, grid.Values(), m_nodeCount, pairing.marks);

        m_refAnimPath = *path;
        m_grid = grid;
        m_marks = pairing.marks;
        for (std::size_t i = 0; i < scales.factor.size() && i < m_boneScale.size(); ++i) {
            m_boneScale[i] = scales.factor[i];
        }
        m_refAnim = std::move(ref);
        m_refAnimLoaded = true;
        UpdateData(false);
        KeepGrid();
        m_platform.ShowStatus(m_platform.Texts().Tr(
            "modèle : {0} nodes, {1} lignes appariées",
            {std::to_string(m_nodeCount), std::to_string(paired)}));
        if (!m_rootFromLegs && m_nodeCount > 0) {
            if (auto w = RootFactorWarning(m_boneScale[0], LoadedLegsRatio(m_model, m_refAnim))) {
                m_platform.ShowStatus(WindowWarningText(*w, m_platform.Texts()));
            }
        }
        if (!pairing.beyondNodes.empty()) {
            m_platform.ShowMessage(NoteBeyondNodes(*path, pairing.beyondNodes, m_platform.Texts()));
        }
    } catch (const CVarnexError& e) {
        Refuse(e);
    }
}

void CVarnexDlg::OnLoadAnim() {
    m_lastResult = COMMAND_RESULT::DONE;
    if (!m_refAnimLoaded) {
        RefuseWith(MSG_NEED_REFS);
        return;
    }
    std::optional<std::string> path = ChooseSmdToOpen(MarkText("SMD Animation"));
    if (path) {
        try {
            ReadAnimationHeadFile(*path);
            m_animPath = *path;
            m_animLoaded = true;
            m_platform.ShowStatus(m_platform.Texts().Tr("animation chargée : {0}", {*path}));
        } catch (const CVarnexError& e) {
            Refuse(e);
            return;
        }
    }
    UpdateData(true);
}

void CVarnexDlg::OnBuildSmd() {
    m_lastResult = COMMAND_RESULT::DONE;
    UpdateData(true);
    if (!m_refAnimLoaded) {
        RefuseWith(MSG_NEED_REFS_THEN_ANIM);
        return;
    }
    if (!m_animLoaded) {
        RefuseWith(MSG_NEED_ANIM);
        return;
    }
    std::string name = DefaultOutputName(m_refModelPath, m_animPath);
    std::optional<std::string> path = m_platform.ChooseFile(SaveDialog(
        m_platform.Texts().Tr("BUILD SMD : enregistrer l'animation sur le squelette du modèle"),
        "smd", name, SMD_FILTER));
    if (!path) {
        m_lastResult = COMMAND_RESULT::CANCELLED;
        return;
    }
    try {
        RefuseInputAsOutput(*path);
        m_grid.RequireFiniteCorrections(m_nodeCount);
        BUILD_JOB job;
        job.model = &m_model;
        job.rows = BuildRows(m_grid.Values(), m_boneScale, m_nodeCount);
        job.lineEnd = m_lineBreak;
        job.threads = BuildThreads();
        ROOT_MODE mode = m_rootFromLegs ? ROOT_MODE::LEGS : ROOT_MODE::SCALE;
        std::optional<ROOT_FROM_LEGS> rule;
        if (m_rootFromLegs) {
            rule = RootRuleFromLegs(m_model, m_refAnim, job.rows.empty() ? 0 : job.rows[0].nodes);
            job.rootFromLegs = &*rule;
        }
        CRootHeightRange heights;
        job.rootHeights = &heights;
        CBoneTears tears;
        job.boneTears = &tears;
        ANIMATION_NODES nodes = RetargetAnimationFile(job, m_refAnim.nodes, m_animPath, *path);
        m_outputPath = *path;
        std::string status = m_platform.Texts().Tr("écrit : {0}", {*path});
        if (!nodes.unused.empty()) {
            status += " ; " + NoteUnusedNodes(m_animPath, nodes.unused, m_platform.Texts());
        }
        double factor = job.rows.empty() ? 0.0 : job.rows[0].boneScale;
        for (const MOTION_WARNING& w :
             BuildWarnings(LoadedLegsRatio(m_model, m_refAnim), factor, mode, heights, tears)) {
            status += " ; " + WindowWarningText(w, m_platform.Texts());
        }
        m_platform.ShowStatus(status);
    } catch (const CVarnexError& e) {
        Refuse(e);
    }
}

std::optional<MOTION_SETUP> CVarnexDlg::PreviewSetup(std::string& why) const {
    if (!m_refAnimLoaded) {
        why = m_platform.Texts().Tr(MSG_NEED_REFS);
        return std::nullopt;
    }
    CGridTexts screen = m_grid;
    m_platform.TakeGrid(screen.Nodes(), screen.Corrections());
    try {
        screen.RequireFiniteCorrections(m_nodeCount);
        std::vector<RETARGET_ROW> rows = BuildRows(screen.Values(), m_boneScale, m_nodeCount);
        return MakeMotionSetup(m_model, m_refAnim, rows,
                               m_rootFromLegs ? ROOT_MODE::LEGS : ROOT_MODE::SCALE);
    } catch (const CVarnexError& e) {
        why = ErrorText(e, m_platform.Texts());
        return std::nullopt;
    }
}

void CVarnexDlg::OnSaveCon() {
    m_lastResult = COMMAND_RESULT::DONE;
    UpdateData(true);
    const CTextCatalog& texts = m_platform.Texts();
    std::optional<std::string> path = m_platform.ChooseFile(
        SaveDialog(texts.Tr("Save Con file : enregistrer la grille"), "con",
                   texts.Tr("Nouveau.con"), CON_FILTER));
    if (!path) {
        m_lastResult = COMMAND_RESULT::CANCELLED;
        return;
    }
    try {
        RefuseInputAsOutput(*path);
        m_grid.RequireFiniteCorrections(m_grid.Rows());
        std::string bytes = ComposeConFile(m_grid.Values());
        CAtomicOutput output(*path);
        output.Write(bytes);
        output.Commit();
        KeepGrid();
        m_platform.ShowStatus(texts.Tr("grille enregistrée dans {0}", {*path}));
    } catch (const CVarnexError& e) {
        // TRANSLATORS: a file, then what is wrong with it.
        Refuse(e.File().empty() ? texts.Tr("{0} : {1}", {*path, ErrorMessage(e, texts)})
                                : ErrorText(e, texts));
    }
}

void CVarnexDlg::OnLoadCon() {
    m_lastResult = COMMAND_RESULT::DONE;
    const CTextCatalog& texts = m_platform.Texts();
    std::optional<std::string> path = m_platform.ChooseFile(
        OpenDialog(texts.Tr("Load Con file : charger une grille"), "con", "*.con", CON_FILTER));
    if (!path) {
        m_lastResult = COMMAND_RESULT::CANCELLED;
        return;
    }
    try {
        CON_FILE_ROWS file = ReadConFileFor(*path, m_grid.Rows());
        m_grid.SetRows(file.rows);
        UpdateData(false);
        KeepGrid();
        m_platform.ShowStatus(texts.Tr("grille chargée de {0}", {*path}));
        if (file.leftOut > 0) {
            m_platform.ShowMessage(NoteRowsLeftOut(*path, file.leftOut, m_grid.Rows(), texts));
        }
    } catch (const CVarnexError& e) {
        Refuse(e);
    }
}

void CVarnexDlg::OnConvertBiped() {
    m_lastResult = COMMAND_RESULT::DONE;
    if (!m_animLoaded) {
        RefuseWith(MSG_NEED_ANIM_FOR_BIPED);
        return;
    }
    try {
        bool thighNamedLeg = m_marks.thighNamedLeg;
        BIPED_NODES nodes = FindBipedNodes(m_refAnim, thighNamedLeg);
        std::string convertedPath = ConvertedPathOf(m_animPath);
        if (NamesAnyOf(convertedPath, {m_refModelPath, m_refAnimPath})) {
            throw CVarnexError(ERROR_KIND::CONVERTED_IS_REFERENCE, convertedPath, 0);
        }
        ConvertAnimationFile(nodes, m_animPath, m_lineBreak);
        m_marks.leftThigh = nodes.leftThigh;
        m_marks.rightThigh = nodes.rightThigh;
        m_marks.thighNamedLeg = thighNamedLeg;
        m_animPath = convertedPath;
        m_platform.ShowStatus(m_platform.Texts().Tr("écrit : {0}", {convertedPath}));
    } catch (const CVarnexError& e) {
        Refuse(e);
    }
}

void CVarnexDlg::OnHelpButton() {
    m_lastResult = COMMAND_RESULT::DONE;
    const CTextCatalog& texts = m_platform.Texts();
    std::string pageName = texts.Tr(HELP_PAGE_NAME);
    std::string pagePath = FindHelpPage(pageName, m_programPath);
    if (pagePath.empty()) {
        m_platform.ShowMessage(texts.Tr(
            "Le fichier d'aide : {0}  est introuvable, recherchez le manuellement", {pageName}));
        return;
    }
    if (!m_platform.OpenHelpPage(pagePath)) {
        Refuse(texts.Tr(
            "Impossible d'ouvrir la page d'aide {0} : aucun navigateur n'a pu être lancé",
            {pagePath}));
        return;
    }
    m_platform.ShowStatus(texts.Tr("page d'aide ouverte : {0}", {pagePath}));
}

void CVarnexDlg::OnQuit() {
    m_lastResult = COMMAND_RESULT::DONE;
    UpdateData(true);
    if (!ConfirmQuit()) {
        m_lastResult = COMMAND_RESULT::CANCELLED;
        return;
    }
    m_platform.EndDialog();
}

}  // namespace varnex
