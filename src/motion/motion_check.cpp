#include "motion/motion_check.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace varnex {

namespace {
// A node this close to its parent's joint sits on it.
constexpr double ON_JOINT = 1e-4;

VEC3 Minus(const VEC3& a, const VEC3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
double Length(const VEC3& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

// atan2 of the cross and dot products stays accurate for nearly parallel bones, where acos of
// the dot product would not.
double DegreesBetween(const VEC3& a, const VEC3& b) {
    VEC3 c = {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
    double dot = a.x * b.x + a.y * b.y + a.z * b.z;
    return std::atan2(Length(c), dot) * (180.0 / std::numbers::pi);
}

std::vector<int> Feet(const CBipedRig& rig) {
    std::vector<int> feet;
    for (BODY_SIDE side : {BODY_SIDE::LEFT, BODY_SIDE::RIGHT}) {
        int foot = rig.Leg(side).foot;
        if (foot >= 0) feet.push_back(foot);
    }
    return feet;
}

bool SameRotationValues(const POSE& a, const POSE& b) {
    return a.rx == b.rx && a.ry == b.ry && a.rz == b.rz;
}

std::vector<VEC3> RestJoints(CForwardKinematics& skeleton, const FRAME_POSES& rest) {
    std::vector<VEC3> joints;
    skeleton.Solve(rest, joints);
    return joints;
}

double LowestOf(const std::vector<int>& nodes, const std::vector<VEC3>& joints) {
    double lowest = joints[static_cast<std::size_t>(nodes.front())].z;
    for (int n : nodes) lowest = std::min(lowest, joints[static_cast<std::size_t>(n)].z);
    return lowest;
}
}  // namespace

CMotionCheck::CMotionCheck(MOTION_CHECK_INPUT input)
    : m_input(std::move(input)),
      m_sourceSkeleton(m_input.sourceNodes),
      m_modelSkeleton(m_input.modelNodes),
      m_feet(m_input.sourceRig, m_input.modelRig, RestJoints(m_modelSkeleton, m_input.modelRest),
             m_input.legs),
      m_rows(m_input.modelNodes.size()) {
    const std::vector<int>& modelParents = m_modelSkeleton.Parents();
    for (std::size_t row = 0; row < m_rows.size(); ++row) {
        int line = RowAt(m_input.rows, row).source;
        if (line != REST_LINE && static_cast<std::size_t>(line) < m_input.sourceNodes.size()) {
            m_rows[row].sourceLine = line;
        }
        // Only a node whose rest position is away from its parent's joint can collapse.
        if (modelParents[row] >= 0 && row < m_input.modelRest.size()) {
            const POSE& rest = m_input.modelRest[row];
            m_rows[row].collapsed = Length({rest.x, rest.y, rest.z}) > ON_JOINT;
        }
        if (row != 0 && row < m_input.modelRest.size()) {
            const POSE& rest = m_input.modelRest[row];
            ROW_STATE& state = m_rows[row];
            state.tearWatched = true;
            state.restLength = Length({rest.x, rest.y, rest.z});
            state.tearLimit2 = TornLimitSquared(state.restLength);
        }
    }
    PlanChains();

    m_source.feet = Feet(m_input.sourceRig);
    m_result.feet = Feet(m_input.modelRig);
    m_source.root = m_rows.empty() ? -1 : m_rows[0].sourceLine;
    m_result.root = m_rows.empty() ? -1 : 0;
    m_sourceSkeleton.Solve(m_input.sourceRest, m_sourceJoints);
    m_modelSkeleton.Solve(m_input.modelRest, m_resultJoints);
    m_modelSkeleton.OwnRotations(m_input.modelRest, m_restOwn);
    for (auto [side, joints] :
         {std::pair{&m_source, &m_sourceJoints}, std::pair{&m_result, &m_resultJoints}}) {
        if (side->root >= 0) side->restHeight = (*joints)[static_cast<std::size_t>(side->root)].z;
        if (!side->feet.empty()) side->restFoot = LowestOf(side->feet, *joints);
    }
}

bool CMotionCheck::Paired(std::size_t row) const {
    return RowAt(m_input.rows, row).source != REST_LINE;
}

void CMotionCheck::PlanChains() {
    const std::vector<int>& parents = m_modelSkeleton.Parents();
    std::vector<char> pairedBelow(m_rows.size(), 0);
    for (std::size_t row = 0; row < m_rows.size(); ++row) {
        if (!Paired(row)) continue;
        int above = parents[row];
        while (above >= 0 && !Paired(static_cast<std::size_t>(above))) above = parents[above];
        for (int a = parents[row]; a >= 0; a = parents[a]) pairedBelow[a] = 1;
        ROW_STATE& state = m_rows[row];
        if (row == 0 || above < 0 || state.sourceLine == REST_LINE) continue;
        int from = m_rows[static_cast<std::size_t>(above)].sourceLine;
        // Two rows of one source node: the source has no segment between them.
        if (from == REST_LINE || from == state.sourceLine) continue;
        state.chainFrom = above;
    }
    for (std::size_t row = 0; row < m_rows.size(); ++row) {
        m_rows[row].leaf = m_rows[row].sourceLine != REST_LINE && !pairedBelow[row];
    }
}

void CMotionCheck::Track(SIDE_STATE& side, const std::vector<VEC3>& joints) {
    bool first = m_frames == 0;
    if (side.root >= 0) {
        const VEC3& root = joints[static_cast<std::size_t>(side.root)];
        if (first) {
            side.first = root;
            side.minHeight = root.z;
            side.maxHeight = root.z;
        }
        side.minHeight = std::min(side.minHeight, root.z);
        side.maxHeight = std::max(side.maxHeight, root.z);
        side.last = root;
    }
    if (!side.feet.empty()) {
        double foot = LowestOf(side.feet, joints);
        side.lowestFoot = first ? foot : std::min(side.lowestFoot, foot);
    }
}

void CMotionCheck::AddFrame(std::span<const POSE> source, std::span<const POSE> result) {
    m_sourceSkeleton.OwnRotations(source, m_sourceOwn);
    m_sourceSkeleton.Solve(source, m_sourceOwn, m_sourceJoints);
    // A retarget copies rotations from the source line or the rest line: their matrices are
    // known, which halves the sines and cosines of a frame.
    m_resultOwn.resize(m_rows.size());
    static const POSE ZERO_POSE;
    for (std::size_t row = 0; row < m_rows.size(); ++row) {
        const POSE& pose = row < result.size() ? result[row] : ZERO_POSE;
        auto line = static_cast<std::size_t>(m_rows[row].sourceLine);
        if (m_rows[row].sourceLine != REST_LINE && line < source.size() &&
            SameRotationValues(pose, source[line])) {
            m_resultOwn[row] = m_sourceOwn[line];
        } else if (row < m_input.modelRest.size() && SameRotationValues(pose, m_input.modelRest[row])) {
            m_resultOwn[row] = m_restOwn[row];
        } else {
            m_resultOwn[row] = RotationOf(pose);
        }
    }
    m_modelSkeleton.Solve(result, m_resultOwn, m_resultJoints);
    const std::vector<int>& modelParents = m_modelSkeleton.Parents();
    for (std::size_t row = 0; row < m_rows.size(); ++row) {
        ROW_STATE& state = m_rows[row];
        if (state.collapsed) {
            const VEC3& parent = m_resultJoints[static_cast<std::size_t>(modelParents[row])];
            state.collapsed = Length(Minus(m_resultJoints[row], parent)) <= ON_JOINT;
        }
        if (state.tearWatched) {
            const POSE& pose = row < result.size() ? result[row] : ZERO_POSE;
            const POSE& rest = m_input.modelRest[row];
            double dx = pose.x - rest.x, dy = pose.y - rest.y, dz = pose.z - rest.z;
            double d2 = dx * dx + dy * dy + dz * dz;
            if (d2 > state.tearLimit2) state.largestTear = std::max(state.largestTear, std::sqrt(d2));
        }
        if (state.sourceLine == REST_LINE) continue;
        auto line = static_cast<std::size_t>(state.sourceLine);
        if (state.leaf) {
            const MAT3& s = m_sourceSkeleton.WorldRotations()[line];
            const MAT3& r = m_modelSkeleton.WorldRotations()[row];
            double degrees = DegreesBetween({s.m[0][0], s.m[1][0], s.m[2][0]},
                                            {r.m[0][0], r.m[1][0], r.m[2][0]});
            state.axisMax = std::max(state.axisMax, degrees);
            state.axisSum += degrees;
        }
        if (state.chainFrom < 0) continue;
        auto above = static_cast<std::size_t>(state.chainFrom);
        VEC3 from = Minus(m_sourceJoints[line],
                          m_sourceJoints[static_cast<std::size_t>(m_rows[above].sourceLine)]);
        VEC3 to = Minus(m_resultJoints[row], m_resultJoints[above]);
        if (!(Length(from) >= CHAIN_MIN_LENGTH) || !(Length(to) >= CHAIN_MIN_LENGTH)) continue;
        double degrees = DegreesBetween(from, to);
        if (state.measured == 0 || degrees > state.maxDegrees) {
            state.maxDegrees = degrees;
            state.maxFrame = m_frames;
        }
        state.sumDegrees += degrees;
        ++state.measured;
    }
    Track(m_source, m_sourceJoints);
    Track(m_result, m_resultJoints);
    m_feet.AddFrame(m_sourceJoints, m_resultJoints);
    ++m_frames;
}

ROOT_MOTION CMotionCheck::Summary(const SIDE_STATE& side) const {
    ROOT_MOTION r;
    if (side.root < 0) return r;
    r.restHeight = side.restHeight;
    if (m_frames == 0) return r;
    r.minHeight = side.minHeight;
    r.maxHeight = side.maxHeight;
    r.travel = std::hypot(side.last.x - side.first.x, side.last.y - side.first.y);
    if (!side.feet.empty()) r.lowestFoot = side.lowestFoot - side.restFoot;
    return r;
}

MOTION_REPORT CMotionCheck::Report() const {
    MOTION_REPORT report;
    report.animation = m_input.animation;
    report.frames = m_frames;
    report.legs = m_input.legs;
    MOTION_WARNING tears, chains;
    tears.code = WARNING_CODE::TORN_BONE;
    chains.code = WARNING_CODE::CHAIN_ANGLE;
    for (std::size_t row = 0; row < m_rows.size(); ++row) {
        const ROW_STATE& state = m_rows[row];
        BONE_ANGLES bone;
        bone.row = static_cast<int>(row);
        bone.modelNode = m_input.modelNodes[row].name;
        if (state.sourceLine == REST_LINE) {
            report.unpairedRows.push_back(bone.row);
        } else {
            bone.sourceNode = m_input.sourceNodes[static_cast<std::size_t>(state.sourceLine)].name;
        }
        if (state.measured > 0) {
            bone.maxDegrees = state.maxDegrees;
            bone.meanDegrees = state.sumDegrees / static_cast<double>(state.measured);
            bone.maxFrame = state.maxFrame;
            if (state.maxDegrees > CHAIN_ANGLE_LIMIT) {
                chains.rows.push_back({bone.row, bone.modelNode, state.maxDegrees, 0.0,
                                       state.maxFrame});
            }
        }
        if (state.leaf && m_frames > 0) {
            bone.axisMaxDegrees = state.axisMax;
            bone.axisMeanDegrees = state.axisSum / static_cast<double>(m_frames);
        }
        if (state.largestTear >= 0.0) {
            tears.rows.push_back({bone.row, bone.modelNode, state.largestTear, state.restLength});
        }
        if (state.collapsed && m_frames > 0) report.collapsedNodes.push_back(bone.modelNode);
        report.bones.push_back(std::move(bone));
    }
    report.source = Summary(m_source);
    report.result = Summary(m_result);
    report.feet = m_feet.Report();

    const LEGS_RATIO& legs = m_input.legs;
    if (!legs.known) report.warnings.push_back(NoLegsRatioWarning(legs));
    if (!m_input.rootFromLegs && !m_input.rows.empty()) {
        if (auto w = RootFactorWarning(m_input.rows[0].boneScale, legs)) {
            report.warnings.push_back(*w);
        }
    }
    if (report.source.minHeight && report.result.minHeight) {
        if (auto w = RootMotionWarning(WARNING_CODE::ROOT_RANGE,
                                       *report.source.maxHeight - *report.source.minHeight,
                                       *report.result.maxHeight - *report.result.minHeight, legs)) {
            report.warnings.push_back(*w);
        }
        if (auto w = RootMotionWarning(WARNING_CODE::ROOT_TRAVEL, *report.source.travel,
                                       *report.result.travel, legs)) {
            report.warnings.push_back(*w);
        }
    }
    std::optional<double> rootFactor;
    if (!m_input.rootFromLegs && !m_input.rows.empty()) rootFactor = m_input.rows[0].boneScale;
    for (MOTION_WARNING& w : FeetWarnings(report.feet, rootFactor, legs)) {
        report.warnings.push_back(std::move(w));
    }
    if (!report.collapsedNodes.empty()) {
        MOTION_WARNING w;
        w.code = WARNING_CODE::COLLAPSED_NODES;
        w.nodes = report.collapsedNodes;
        report.warnings.push_back(std::move(w));
    }
    if (!tears.rows.empty()) report.warnings.push_back(std::move(tears));
    if (!chains.rows.empty()) report.warnings.push_back(std::move(chains));
    return report;
}

}  // namespace varnex
