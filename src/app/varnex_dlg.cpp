#include "app/varnex_dlg.h"

#include <algorithm>
#include <atomic>
#include <filesystem>

#include "app/error_text.h"
#include "app/session_texts.h"
#include "biped/biped_conversion.h"
#include "conversion_file/con_file.h"
#include "motion/motion_texts.h"
#include "pairing/bone_scale.h"
#include "pairing/skeleton_pairing.h"
#include "platform/file_access.h"
#include "retarget/build_smd.h"
#include "platform/help_page.h"
#include "qc/qc_set.h"
#include "app/qc_texts.h"

namespace varnex {

const char* const SMD_FILTER = "Half-Life SMD smd(*.smd)|*.smd||";
const char* const CON_FILTER = "SMD Conversion con(*.con)|*.con||";
const char* const QC_FILTER = "Half-Life QC qc(*.qc)|*.qc||";
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
    // The menu's choices may come before the window starts; they outlive its state.
    SESSION_OPTIONS options = m_session.Options();
    m_session = CRetargetSession();
    m_session.Options() = options;
    m_animLoaded = false;
    UpdateData(false);
    KeepGrid();
    m_programPath = RunningProgramPath();
    m_session.Options().lineEnd = "\r\n";
    m_session.Options().threads = BuildThreads();
}

void CVarnexDlg::UpdateData(bool saveAndValidate) {
    CGridTexts& grid = m_session.Grid();
    if (saveAndValidate) {
        m_platform.TakeGrid(grid.Nodes(), grid.Corrections());
    } else {
        m_platform.ShowGrid(grid.Nodes(), grid.Corrections());
    }
}

void CVarnexDlg::KeepGrid() { m_keptGrid = m_session.Grid(); }

bool CVarnexDlg::GridEdited(const CGridTexts& screen) const {
    // Rows a larger model added since are start-up rows, not edits.
    CGridTexts kept = m_keptGrid;
    if (kept.Rows() < screen.Rows()) kept.Resize(screen.Rows());
    return screen.Nodes() != kept.Nodes() || screen.Corrections() != kept.Corrections();
}

bool CVarnexDlg::ConfirmQuit() {
    CGridTexts screen = m_session.Grid();
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

void CVarnexDlg::ShowNotes(const std::vector<SESSION_NOTE>& notes) {
    for (const SESSION_NOTE& note : notes) {
        m_platform.ShowMessage(SessionNoteText(note, m_platform.Texts()));
    }
}

std::optional<std::string> CVarnexDlg::ChooseSmdToOpen(const char* title) {
    std::optional<std::string> path =
        m_platform.ChooseFile(OpenDialog(m_platform.Texts().Tr(title), "smd", "*.smd", SMD_FILTER));
    if (!path) m_lastResult = COMMAND_RESULT::CANCELLED;
    return path;
}

void CVarnexDlg::RefuseInputAsOutput(const std::string& output) const {
    if (NamesAnyOf(output, {m_session.ModelPath(), m_session.ReferencePath(), m_animPath})) {
        throw CVarnexError(ERROR_KIND::OUTPUT_IS_INPUT, output, 0);
    }
}

void CVarnexDlg::OnLoadRefModel() {
    m_lastResult = COMMAND_RESULT::DONE;
    std::optional<std::string> path = ChooseSmdToOpen(MarkText("SMD Ref Modele"));
    if (!path) return;
    try {
        PENDING_MODEL model = m_session.ReadModel(*path);
        UpdateData(true);
        if (model.otherSkeleton && GridEdited(m_session.Grid()) &&
            !m_platform.AskYesNo(m_platform.Texts().Tr(MSG_MODEL_CHANGE_LOSING_EDITS))) {
            m_lastResult = COMMAND_RESULT::CANCELLED;
            return;
        }
        bool otherSkeleton = model.otherSkeleton;
        std::vector<SESSION_NOTE> notes = m_session.TakeModel(std::move(model));
        if (otherSkeleton) KeepGrid();
        UpdateData(false);
        std::string status = m_platform.Texts().Tr("modèle chargé : {0}, {1} nodes",
                                                   {*path, std::to_string(NodeCount())});
        if (otherSkeleton) {
            status += m_platform.Texts().Tr(" ; la grille de l'autre squelette est mise de côté : "
                                            "ouvrez SMD Ref Animation");
        }
        m_platform.ShowStatus(status);
        ShowNotes(notes);
    } catch (const CVarnexError& e) {
        Refuse(e);
    }
}

void CVarnexDlg::OnLoadRefAnim() {
    m_lastResult = COMMAND_RESULT::DONE;
    if (!m_session.ModelLoaded()) {
        RefuseWith(MSG_NEED_REF_MODEL);
        return;
    }
    UpdateData(true);
    std::optional<std::string> path = ChooseSmdToOpen(MarkText("SMD Ref Animation"));
    if (!path) return;
    try {
        REFERENCE_LOADED loaded = m_session.LoadReference(*path);
        UpdateData(false);
        KeepGrid();
        // The pairing's warnings follow the count on the status line.
        std::string status = m_platform.Texts().Tr(
            "modèle : {0} nodes, {1} lignes appariées",
            {std::to_string(NodeCount()), std::to_string(loaded.pairedRows)});
        for (const MOTION_WARNING& w : m_session.PairingWarnings()) {
            status += " ; " + WindowWarningText(w, m_platform.Texts());
        }
        m_platform.ShowStatus(status);
        ShowNotes(loaded.notes);
    } catch (const CVarnexError& e) {
        Refuse(e);
    }
}

void CVarnexDlg::OnLoadAnim() {
    m_lastResult = COMMAND_RESULT::DONE;
    if (!m_session.ReferenceLoaded()) {
        RefuseWith(MSG_NEED_REFS);
        return;
    }
    std::optional<std::string> path = ChooseSmdToOpen(MarkText("SMD Animation"));
    if (path) {
        try {
            m_session.ReadAnimation(*path);
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
    if (!m_session.ReferenceLoaded()) {
        RefuseWith(MSG_NEED_REFS_THEN_ANIM);
        return;
    }
    if (!m_animLoaded) {
        RefuseWith(MSG_NEED_ANIM);
        return;
    }
    std::string name = DefaultOutputName(m_session.ModelPath(), m_animPath);
    std::optional<std::string> path = m_platform.ChooseFile(SaveDialog(
        m_platform.Texts().Tr("BUILD SMD : enregistrer l'animation sur le squelette du modèle"),
        "smd", name, SMD_FILTER));
    if (!path) {
        m_lastResult = COMMAND_RESULT::CANCELLED;
        return;
    }
    try {
        BUILD_RESULT built = m_session.Build(m_animPath, *path);
        m_outputPath = *path;
        std::string status = m_platform.Texts().Tr("écrit : {0}", {*path});
        for (const SESSION_NOTE& note : built.notes) {
            status += " ; " + (note.kind == SESSION_NOTE_KIND::WARNING
                                   ? WindowWarningText(note.warning, m_platform.Texts())
                                   : SessionNoteText(note, m_platform.Texts()));
        }
        m_platform.ShowStatus(status);
    } catch (const CVarnexError& e) {
        Refuse(e);
    }
}

std::optional<MOTION_SETUP> CVarnexDlg::PreviewSetup(std::string& why) const {
    if (!m_session.ReferenceLoaded()) {
        why = m_platform.Texts().Tr(MSG_NEED_REFS);
        return std::nullopt;
    }
    CGridTexts screen = m_session.Grid();
    m_platform.TakeGrid(screen.Nodes(), screen.Corrections());
    try {
        return m_session.MotionSetup(screen);
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
        const CGridTexts& grid = m_session.Grid();
        grid.RequireFiniteCorrections(grid.Rows());
        std::string bytes = ComposeConFile(grid.Values());
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
        std::vector<SESSION_NOTE> notes = m_session.LoadCon(*path);
        UpdateData(false);
        KeepGrid();
        m_platform.ShowStatus(texts.Tr("grille chargée de {0}", {*path}));
        ShowNotes(notes);
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
        std::string convertedPath = m_session.ConvertBiped(m_animPath);
        m_animPath = convertedPath;
        m_platform.ShowStatus(m_platform.Texts().Tr("écrit : {0}", {convertedPath}));
    } catch (const CVarnexError& e) {
        Refuse(e);
    }
}

void CVarnexDlg::OnBuildQcSet() {
    m_lastResult = COMMAND_RESULT::DONE;
    UpdateData(true);
    if (!m_session.ReferenceLoaded()) {
        RefuseWith(MSG_NEED_REFS);
        return;
    }
    const CTextCatalog& texts = m_platform.Texts();
    std::optional<std::string> sourceQc = m_platform.ChooseFile(OpenDialog(
        texts.Tr("Tout un .qc : le .qc des animations à copier"), "qc", "*.qc", QC_FILTER));
    if (!sourceQc) {
        m_lastResult = COMMAND_RESULT::CANCELLED;
        return;
    }
    // The model's own .qc is optional: without it the set's .qc gets a minimal head.
    std::optional<std::string> targetQc = m_platform.ChooseFile(OpenDialog(
        texts.Tr("Tout un .qc : le .qc du modèle (Annuler : aucun)"), "qc", "*.qc", QC_FILTER));
    std::optional<std::string> outDir = m_platform.ChooseFolder(
        texts.Tr("Tout un .qc : le dossier où écrire les animations et le .qc du modèle"));
    if (!outDir) {
        m_lastResult = COMMAND_RESULT::CANCELLED;
        return;
    }

    const std::string title = texts.Tr("Tout un .qc");
    std::atomic<bool> cancel = false;
    QC_SET_REQUEST request;
    request.sourceQc = *sourceQc;
    request.targetQc = targetQc.value_or("");
    request.outDir = *outDir;
    if (m_animLoaded) request.otherInputs.push_back(m_animPath);
    request.texts = &texts;
    request.cancel = &cancel;
    request.progress = [&](int done, int count, const std::string& name) {
        if (!m_platform.ShowProgress(
                title,
                texts.Tr("animation {0} sur {1} : {2}",
                         {std::to_string(done), std::to_string(count), name}),
                done - 1, count)) {
            cancel = true;
        }
    };
    QC_SET_RESULT result;
    try {
        // The progress window goes however the run ends.
        struct PROGRESS_END {
            CDialogPlatform& platform;
            ~PROGRESS_END() { platform.EndProgress(); }
        } progressEnd{m_platform};
        result = m_session.BuildSet(
            request, [&](const SESSION_NOTE& note) { return SessionNoteText(note, texts); });
    } catch (const CVarnexError& e) {
        Refuse(QcErrorText(e, texts));
        return;
    }
    if (result.cancelled) {
        m_lastResult = COMMAND_RESULT::CANCELLED;
        m_platform.ShowStatus(texts.Tr("Tout un .qc annulé : rien n'est écrit"));
        return;
    }
    std::vector<std::string> lines;
    for (const QC_REFUSAL& refusal : result.refusals) {
        for (const std::string& line : QcRefusalLines(refusal, texts)) lines.push_back(line);
    }
    if (!result.written) {
        std::string message = texts.TrPlural(
            "Rien n'est écrit : {0} animation est refusée :",
            "Rien n'est écrit : {0} animations sont refusées :",
            static_cast<unsigned long>(result.refusals.size()),
            {std::to_string(result.refusals.size())});
        for (const std::string& line : lines) message += "\n" + line;
        Refuse(message);
        return;
    }
    for (const QC_WARNING& w : result.readWarnings) lines.push_back(QcWarningText(w, texts));
    for (const std::string& note : result.notes) lines.push_back(note);
    for (const QC_SET_WARNING& w : result.warnings) lines.push_back(QcSetWarningText(w, texts));
    m_platform.ShowStatus(QcSetDone(result.sequencesWritten, *outDir, texts));
    if (!lines.empty()) {
        m_platform.ShowList(texts.Tr("Tout un .qc : avertissements"), lines);
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
