#include "preview/preview_scene.h"

#include <algorithm>
#include <cmath>

#include "motion/feet_stage.h"
#include "preview/svg_preview.h"

namespace varnex {

namespace {
// Room above the taller figure and below the ground, as a share of a panel's height.
constexpr double FIGURE_SHARE = 0.84;
constexpr double GROUND_SHARE = 0.93;

double Across(const VEC3& joint, double yaw) {
    return joint.y * std::cos(yaw) + joint.x * std::sin(yaw);
}
}  // namespace

void ZoomViewAbout(SCENE_VIEW& view, double x, double y, double factor) {
    double panel = view.width / 2.0;
    double anchorX = x < panel ? panel / 2.0 : panel * 1.5;
    double anchorY = view.height * GROUND_SHARE;
    view.panX = (x - anchorX) - (x - anchorX - view.panX) * factor;
    view.panY = (y - anchorY) - (y - anchorY - view.panY) * factor;
    view.zoom *= factor;
}

CPreviewScene::FIGURE CPreviewScene::MakeFigure(CForwardKinematics& skeleton,
                                                const CBipedRig& rig, const FRAME_POSES& rest) {
    FIGURE f;
    f.parents = skeleton.Parents();
    f.sides = rig.Sides(f.parents);
    f.feet[0] = rig.Leg(BODY_SIDE::LEFT).foot;
    f.feet[1] = rig.Leg(BODY_SIDE::RIGHT).foot;
    skeleton.Solve(rest, m_joints);
    if (!m_joints.empty()) {
        double low = m_joints.front().z, high = low;
        for (const VEC3& j : m_joints) {
            if (!std::isfinite(j.z)) continue;
            low = std::min(low, j.z);
            high = std::max(high, j.z);
        }
        f.ground = low;
        f.height = high - low;
    }
    return f;
}

CPreviewScene::CPreviewScene(MOTION_SETUP setup, std::vector<SKELETON_NODE> sourceNodes,
                             std::vector<FRAME_POSES> frames)
    : m_setup(std::move(setup)),
      m_sourceNodes(std::move(sourceNodes)),
      m_sourceRig(m_setup.RigOf(m_sourceNodes)),
      m_frames(std::move(frames)),
      m_sourceSkeleton(m_sourceNodes),
      m_modelSkeleton(m_setup.modelNodes) {
    m_source = MakeFigure(m_sourceSkeleton, m_sourceRig, m_setup.refRest);
    m_result = MakeFigure(m_modelSkeleton, m_setup.modelRig, m_setup.modelRest);
    CSourceFeet feet(m_sourceNodes, m_sourceRig);
    for (const FRAME_POSES& frame : m_frames) feet.Add(frame);
    m_contacts = FindSourceContacts(feet.Feet().feet[0], feet.Feet().feet[1]);
    SetRows(m_setup.rows, m_setup.rootFromLegs);
}

void CPreviewScene::SetRows(std::vector<DECODED_ROW> rows,
                            std::optional<ROOT_FROM_LEGS> rootFromLegs) {
    m_setup.rows = std::move(rows);
    m_setup.rootFromLegs = rootFromLegs;
    m_retarget.reset();
    m_planProblem.reset();
    try {
        m_retarget.emplace(m_setup.modelRest, static_cast<int>(m_setup.modelNodes.size()),
                           m_setup.rows, m_setup.rootFromLegs ? &*m_setup.rootFromLegs : nullptr);
    } catch (const CRowError& e) {
        m_planProblem = e;  // a rest line of the model: no frame's result can be made
    }
    m_results.clear();
    m_resultsMade = m_setup.method != RETARGET_METHOD::LOCAL || m_setup.feet != FEET_MODE::NONE;
    if (m_resultsMade) {
        try {
            m_results = RetargetFrames(m_setup, m_frames);
        } catch (const CVarnexError&) {
            // The frames from the one refused on are drawn as the default method refuses them.
        }
    }
    WatchBones();
    std::size_t modelCount = m_setup.modelNodes.size();
    m_source.paired = DrivingSourceNodes(m_setup.rows, modelCount, m_sourceNodes.size());
    m_result.paired = PairedRows(m_setup.rows, modelCount, m_sourceNodes.size());
}

void CPreviewScene::WatchBones() {
    CBoneWarnings bones(m_setup, m_sourceNodes, m_sourceRig);
    for (std::size_t frame = 0; frame < m_frames.size(); ++frame) {
        if (m_resultsMade) {
            if (frame >= m_results.size()) break;
            bones.AddFrame(m_frames[frame], m_results[frame]);
            continue;
        }
        if (m_planProblem) break;
        try {
            m_retarget->Apply(m_frames[frame], m_resultPoses);
        } catch (const CRowError&) {
            break;  // the frames before it are watched; drawing it tells why
        }
        bones.AddFrame(m_frames[frame], m_resultPoses);
    }
    m_warnings = bones.Warnings();
    AdviseFor(m_setup.method, m_setup.feet, m_warnings);
}

void CPreviewScene::AddBones(const FIGURE& figure, const std::vector<VEC3>& joints, double left,
                             double scale, double groundY, double yaw, const bool planted[2],
                             SCENE_DRAWING& drawing) const {
    // The figure is followed across the panel: its root stays in the middle.
    double centre = joints.empty() ? 0.0 : Across(joints.front(), yaw);
    if (!std::isfinite(centre)) centre = 0.0;
    auto x = [&](const VEC3& j) { return left + (Across(j, yaw) - centre) * scale; };
    auto y = [&](const VEC3& j) { return groundY - (j.z - figure.ground) * scale; };
    for (std::size_t node = 0; node < joints.size() && node < figure.parents.size(); ++node) {
        int parent = figure.parents[node];
        if (parent < 0) continue;
        const VEC3& a = joints[static_cast<std::size_t>(parent)];
        const VEC3& b = joints[node];
        SCENE_BONE bone;
        bone.x1 = x(a);
        bone.y1 = y(a);
        bone.x2 = x(b);
        bone.y2 = y(b);
        if (!std::isfinite(bone.x1 + bone.y1 + bone.x2 + bone.y2)) continue;
        bool paired = node >= figure.paired.size() || figure.paired[node];
        BODY_SIDE side = node < figure.sides.size() ? figure.sides[node] : BODY_SIDE::MIDDLE;
        bone.colour = !paired                    ? BONE_COLOUR::UNPAIRED
                      : side == BODY_SIDE::LEFT  ? BONE_COLOUR::LEFT
                      : side == BODY_SIDE::RIGHT ? BONE_COLOUR::RIGHT
                                                 : BONE_COLOUR::MIDDLE;
        drawing.bones.push_back(bone);
    }
    for (int side = 0; side < 2; ++side) {
        int foot = figure.feet[side];
        if (!planted[side] || foot < 0 || static_cast<std::size_t>(foot) >= joints.size()) continue;
        const VEC3& j = joints[static_cast<std::size_t>(foot)];
        SCENE_MARK mark{x(j), y(j), side == 0 ? BONE_COLOUR::LEFT : BONE_COLOUR::RIGHT};
        if (std::isfinite(mark.x + mark.y)) drawing.marks.push_back(mark);
    }
}

void CPreviewScene::Draw(int frame, const SCENE_VIEW& view, SCENE_DRAWING& drawing) {
    drawing.bones.clear();
    drawing.marks.clear();
    drawing.problem.reset();
    double panel = view.width / 2.0;
    drawing.groundY = view.height * GROUND_SHARE + view.panY;
    double tallest = std::max({m_source.height, m_result.height, 1e-6});
    double scale = view.height * FIGURE_SHARE / tallest * view.zoom;
    if (m_frames.empty()) return;
    const FRAME_POSES& source =
        m_frames[static_cast<std::size_t>(std::clamp(frame, 0, FrameCount() - 1))];
    const std::size_t at = static_cast<std::size_t>(std::clamp(frame, 0, FrameCount() - 1));
    const bool planted[2] = {
        FootPlanted(m_contacts.contacts, FOOT_SIDE::LEFT, static_cast<int>(at)),
        FootPlanted(m_contacts.contacts, FOOT_SIDE::RIGHT, static_cast<int>(at))};
    m_sourceSkeleton.Solve(source, m_joints);
    AddBones(m_source, m_joints, panel / 2.0 + view.panX, scale, drawing.groundY, view.yaw, planted,
             drawing);
    if (m_resultsMade && at < m_results.size()) {
        m_modelSkeleton.Solve(m_results[at], m_joints);
    } else {
        try {
            if (m_planProblem) throw *m_planProblem;
            m_retarget->Apply(source, m_resultPoses);
        } catch (const CRowError& e) {
            drawing.problem = e;
            return;
        }
        m_modelSkeleton.Solve(m_resultPoses, m_joints);
    }
    AddBones(m_result, m_joints, panel * 1.5 + view.panX, scale, drawing.groundY, view.yaw, planted,
             drawing);
}

}  // namespace varnex
