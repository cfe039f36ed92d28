#include "session/retarget_session.h"

#include <algorithm>

#include "biped/biped_conversion.h"
#include "conversion_file/con_file.h"
#include "pairing/animation_nodes.h"
#include "pairing/bone_scale.h"
#include "pairing/skeleton_pairing.h"
#include "motion/smd_poses.h"
#include "retarget/typed_build.h"
#include "retarget/world_build.h"
#include "platform/file_access.h"
#include "retarget/build_smd.h"

namespace varnex {

bool SameNodeList(const std::vector<SMD_NODE>& a, const std::vector<SMD_NODE>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].name != b[i].name || a[i].parent != b[i].parent) return false;
    }
    return true;
}

PENDING_MODEL CRetargetSession::ReadModel(const std::string& path) const {
    PENDING_MODEL model;
    model.path = path;
    model.head = ReadModelFile(path);
    model.otherSkeleton = m_modelLoaded && !SameNodeList(model.head.nodes, m_model.nodes);
    return model;
}

std::vector<SESSION_NOTE> CRetargetSession::TakeModel(PENDING_MODEL model) {
    // The rows name the earlier skeleton's nodes, and the bone scales measure them.
    if (model.otherSkeleton) {
        m_grid = CGridTexts();
        m_boneScale.clear();
        m_referenceLoaded = false;
    }
    // A row for every node of the model, so that every node has a line in every frame.
    int nodes = static_cast<int>(model.head.nodes.size());
    int rows = std::max(nodes, DEFAULT_GRID_ROWS);
    m_grid.Resize(rows);
    m_boneScale.resize(static_cast<std::size_t>(rows), 0.0);
    m_modelPath = std::move(model.path);
    m_model = std::move(model.head);
    m_modelLoaded = true;
    std::vector<SESSION_NOTE> notes;
    if (nodes > MODEL_COMPILER_MAX_NODES) {
        notes.push_back({SESSION_NOTE_KIND::OVER_COMPILER_LIMIT, m_modelPath, nodes, 0, {}, {}, {}});
    }
    return notes;
}

std::vector<SESSION_NOTE> CRetargetSession::LoadModel(const std::string& path) {
    return TakeModel(ReadModel(path));
}

REFERENCE_LOADED CRetargetSession::LoadReference(const std::string& path) {
    const int nodeCount = NodeCount();
    SMD_HEAD ref = ReadReferenceAnimationFile(path);
    const PAIRING_RULES rules = PairingRules();
    PAIRING pairing = PairSkeletons(m_model.nodes, nodeCount, ref.nodes, m_marks, rules);
    CGridTexts grid = m_grid;
    grid.SetPartners(pairing.partner);
    std::vector<int> sameNames;
    if (m_options.pairSameNames) {
        sameNames = SameNamePartners(m_model.nodes, nodeCount, ref.nodes, grid.Values(), rules);
        grid.SetPartners(sameNames);
    }
    REFERENCE_LOADED loaded;
    // NODES 0 on a row but 0 keeps the model's rest line: that row is not paired.
    for (std::size_t r = 0; r < pairing.partner.size(); ++r) {
        int partner = r < sameNames.size() && sameNames[r] >= 0 ? sameNames[r] : pairing.partner[r];
        if (partner > 0 || (partner == 0 && r == 0)) ++loaded.pairedRows;
    }
    BONE_SCALES scales = ComputeBoneScales(m_model, ref, grid.Values(), nodeCount, pairing.marks);

    m_referencePath = path;
    m_grid = std::move(grid);
    m_marks = pairing.marks;
    for (std::size_t i = 0; i < scales.factor.size() && i < m_boneScale.size(); ++i) {
        m_boneScale[i] = scales.factor[i];
    }
    m_reference = std::move(ref);
    m_referenceLoaded = true;
    m_legs = LoadedLegsRatio(m_model, m_reference);
    if (!pairing.beyondNodes.empty()) {
        loaded.notes.push_back(
            {SESSION_NOTE_KIND::BEYOND_NODES, path, 0, 0, pairing.beyondNodes, {}, {}});
    }
    return loaded;
}

std::vector<SESSION_NOTE> CRetargetSession::LoadCon(const std::string& path) {
    CON_FILE_ROWS file = ReadConFileFor(path, m_grid.Rows());
    m_grid.SetRows(file.rows);
    std::vector<SESSION_NOTE> notes;
    if (file.leftOut > 0) {
        notes.push_back({SESSION_NOTE_KIND::ROWS_LEFT_OUT, path, file.leftOut, m_grid.Rows(), {}, {}, {}});
    }
    return notes;
}

PAIRING_RULES CRetargetSession::PairingRules() const {
    return m_options.method == RETARGET_METHOD::WORLD ? WORLD_PAIRING_RULES : PAIRING_RULES{};
}

ROOT_MODE CRetargetSession::RootMode() const {
    if (m_options.feet == FEET_MODE::CONTACT) return ROOT_MODE::LEGS;
    return m_options.method == RETARGET_METHOD::WORLD ? ROOT_MODE::LEGS : m_options.rootMotion;
}

void CRetargetSession::AdviseMethod(std::vector<MOTION_WARNING>& warnings) const {
    AdviseFor(m_options.method, m_options.feet, warnings);
}

std::vector<SESSION_NOTE> CRetargetSession::WatchNotes(const std::string& file,
                                                       std::vector<MOTION_WARNING> warnings) const {
    AdviseMethod(warnings);
    std::vector<SESSION_NOTE> notes;
    for (MOTION_WARNING& w : warnings) {
        notes.push_back({SESSION_NOTE_KIND::WARNING, file, 0, 0, {}, {}, std::move(w)});
    }
    return notes;
}

std::vector<MOTION_WARNING> CRetargetSession::PairingWarnings() const {
    std::vector<MOTION_WARNING> warnings;
    if (RootMode() == ROOT_MODE::SCALE && NodeCount() > 0 && !m_boneScale.empty()) {
        if (auto w = RootFactorWarning(m_boneScale[0], m_legs)) warnings.push_back(*w);
    }
    // Measured on the grid as it stands; a grid that cannot be retargeted yet says nothing, as
    // a warning never stops a command.
    try {
        for (MOTION_WARNING& w : varnex::PairingWarnings(MotionSetup())) warnings.push_back(std::move(w));
    } catch (const CVarnexError&) {
    }
    AdviseMethod(warnings);
    return warnings;
}

int CRetargetSession::ReadAnimation(const std::string& animPath) const {
    CFile file;
    file.OpenForReading(animPath);
    CLineReader reader(file);
    SMD_HEAD head = ReadAnimationHead(reader);
    CAnimationFrameReader frames(reader, head.nodes.empty() ? m_reference.nodes : head.nodes);
    FRAME_POSES poses;
    while (frames.Next(&poses)) {
    }
    return frames.Frames();
}

std::string CRetargetSession::ConvertBiped(const std::string& animPath) {
    bool thighNamedLeg = m_marks.thighNamedLeg;
    BIPED_NODES nodes = FindBipedNodes(m_reference, thighNamedLeg);
    std::string converted = ConvertedPathOf(animPath);
    if (NamesAnyOf(converted, {m_modelPath, m_referencePath})) {
        throw CVarnexError(ERROR_KIND::CONVERTED_IS_REFERENCE, converted, 0);
    }
    ConvertAnimationFile(nodes, animPath, m_options.lineEnd);
    m_marks.leftThigh = nodes.leftThigh;
    m_marks.rightThigh = nodes.rightThigh;
    m_marks.thighNamedLeg = thighNamedLeg;
    return converted;
}

std::vector<DECODED_ROW> CRetargetSession::RowsOf(const CGridTexts& grid) const {
    grid.RequireFiniteCorrections(NodeCount());
    return BuildRows(grid.Values(), m_boneScale, NodeCount());
}

namespace {
void NoteUnused(const std::string& animPath, const std::vector<std::string>& unused,
                std::vector<SESSION_NOTE>& notes) {
    if (!unused.empty()) {
        notes.push_back({SESSION_NOTE_KIND::UNUSED_NODES, animPath, 0, 0, {}, unused, {}});
    }
}
}  // namespace

BUILD_RESULT CRetargetSession::Build(const std::string& animPath,
                                     const std::string& outputPath) const {
    if (NamesAnyOf(outputPath, {m_modelPath, m_referencePath, animPath})) {
        throw CVarnexError(ERROR_KIND::OUTPUT_IS_INPUT, outputPath, 0);
    }
    BUILD_JOB job;
    job.model = &m_model;
    job.rows = RowsOf(m_grid);
    job.lineEnd = m_options.lineEnd;
    job.threads = m_options.threads;
    const ROOT_MODE rootMode = RootMode();
    std::optional<ROOT_FROM_LEGS> rule;
    if (m_options.rootMotion == ROOT_MODE::LEGS && m_options.method == RETARGET_METHOD::LOCAL) {
        rule = RootRuleFromLegs(m_model, m_reference, job.rows.empty() ? 0 : job.rows[0].nodes);
        job.rootFromLegs = &*rule;
    }
    // With the feet on the ground the root's height is the stage's: its range says nothing of
    // where the two skeletons put their origins.
    CRootHeightRange heights;
    if (m_options.feet == FEET_MODE::NONE) job.rootHeights = &heights;
    CBoneTears tears;
    job.boneTears = &tears;
    std::vector<std::string> unused;
    if (m_options.feet == FEET_MODE::CONTACT) {
        unused = RetargetAnimationFileTyped(job, MotionSetup(), animPath, outputPath);
    } else if (m_options.method == RETARGET_METHOD::WORLD) {
        unused = RetargetAnimationFileByWorld(job, m_reference, animPath, outputPath);
    } else {
        unused = RetargetAnimationFile(job, m_reference.nodes, animPath, outputPath).unused;
    }
    BUILD_RESULT result;
    NoteUnused(animPath, unused, result.notes);
    double factor = job.rows.empty() ? 0.0 : job.rows[0].boneScale;
    std::vector<MOTION_WARNING> warnings = BuildWarnings(m_legs, factor, rootMode, heights, tears);
    AdviseMethod(warnings);
    for (const MOTION_WARNING& w : warnings) {
        result.notes.push_back({SESSION_NOTE_KIND::WARNING, outputPath, 0, 0, {}, {}, w});
    }
    return result;
}

QC_SET_RESULT CRetargetSession::BuildSet(
    QC_SET_REQUEST request, const std::function<std::string(const SESSION_NOTE&)>& words) const {
    request.modelSmd = m_modelPath;
    request.lineEnd = m_options.lineEnd;
    request.otherInputs.push_back(m_referencePath);
    auto build = [&](const std::string& source, const std::string& target) {
        BUILT_ANIMATION built;
        for (const SESSION_NOTE& note : Build(source, target).notes) {
            built.notes.push_back(words(note));
        }
        return built;
    };
    return BuildQcSet(request, build);
}

MOTION_SETUP CRetargetSession::MotionSetup(const CGridTexts& grid) const {
    // The world method finds its own root rule, as its build does; the feet need the legs'.
    const bool world = m_options.method == RETARGET_METHOD::WORLD;
    const bool feet = m_options.feet == FEET_MODE::CONTACT;
    MOTION_SETUP setup = MakeMotionSetup(
        m_model, m_reference, RowsOf(grid),
        feet ? ROOT_MODE::LEGS : (world ? ROOT_MODE::SCALE : m_options.rootMotion));
    setup.method = m_options.method;
    setup.feet = m_options.feet;
    return setup;
}

MOTION_REPORT CRetargetSession::Check(const std::string& animPath,
                                      std::vector<SESSION_NOTE>& notes) const {
    MOTION_SETUP setup = MotionSetup();
    CAnimationRetarget run(setup, animPath);
    NoteUnused(animPath, run.UnusedNodes(), notes);
    MOTION_CHECK_INPUT input = CheckInput(setup, run.RowSourceNodes(), run.RowSourceRig(),
                                          RootMode() == ROOT_MODE::LEGS);
    input.animation = animPath;
    CMotionCheck check(std::move(input));
    // Every frame is measured: with a second thread, the next are read and retargeted meanwhile.
    if (m_options.threads > 1) run.ReadAhead();
    while (run.Next(true)) check.AddFrame(run.RowSource(), run.Result());
    MOTION_REPORT report = check.Report();
    AdviseMethod(report.warnings);
    return report;
}

}  // namespace varnex
