// The window's preview without the window: one frame of the source and of its retarget, projected
// for two panels side by side (source on the left) from a view that turns about the vertical
// axis. The grid can change between two drawings: the result is retargeted again from memory.
#pragma once

#include <optional>
#include <vector>

#include "motion/biped_rig.h"
#include "motion/foot_contact.h"
#include "motion/forward_kinematics.h"
#include "motion/frame_retarget.h"
#include "motion/motion_setup.h"

namespace varnex {

enum class BONE_COLOUR { MIDDLE, LEFT, RIGHT, UNPAIRED };

// A bone as drawn, in pixels of the whole drawing, y down.
struct SCENE_BONE {
    double x1 = 0.0, y1 = 0.0, x2 = 0.0, y2 = 0.0;
    BONE_COLOUR colour = BONE_COLOUR::MIDDLE;
};

// A planted foot's mark, on the foot joint: the source's in a frame of one of its contacts, and
// the model's foot of that side in the same frame. LEFT or RIGHT, the foot's side.
struct SCENE_MARK {
    double x = 0.0, y = 0.0;
    BONE_COLOUR colour = BONE_COLOUR::LEFT;
};

// yaw 0 looks from +X, where biped models face (Y across, as the SVG's front view); pi/2 from the
// figure's right (X across, the side view). zoom 1 fits the taller rest pose in a panel; panX and
// panY move both figures alike, in pixels.
struct SCENE_VIEW {
    double yaw = 0.0;
    double zoom = 1.0;
    double width = 0.0, height = 0.0;  // of the whole drawing: two panels
    double panX = 0.0, panY = 0.0;
};

// view zoomed by factor about the point (x, y) of the drawing: what the panel under that point
// shows there stays there, and the other panel follows alike.
void ZoomViewAbout(SCENE_VIEW& view, double x, double y, double factor);

struct SCENE_DRAWING {
    std::vector<SCENE_BONE> bones;
    std::vector<SCENE_MARK> marks;  // drawn over the bones
    double groundY = 0.0;  // the ground line, the same in both panels
    // Why the result could not be made; only the source is drawn then.
    std::optional<CRowError> problem;
};

class CPreviewScene {
public:
    // setup's skeletons, rows and root rule; the animation's own node list and its frames.
    CPreviewScene(MOTION_SETUP setup, std::vector<SKELETON_NODE> sourceNodes,
                  std::vector<FRAME_POSES> frames);

    // The grid changed: the result follows these rows and root rule from the next drawing.
    void SetRows(std::vector<DECODED_ROW> rows, std::optional<ROOT_FROM_LEGS> rootFromLegs);
    const std::vector<DECODED_ROW>& Rows() const { return m_setup.rows; }

    int FrameCount() const { return static_cast<int>(m_frames.size()); }
    std::size_t NodeCount() const { return m_modelSkeleton.NodeCount(); }
    // The source's contacts, found once as the check finds them; the marks show them.
    const SOURCE_CONTACTS& Contacts() const { return m_contacts; }
    // Torn bones and chains at an angle over every frame the rows retarget, as the check
    // measures them, with the advice of the setup's method and feet.
    const std::vector<MOTION_WARNING>& Warnings() const { return m_warnings; }

    // Frame `frame` (clamped to the frames there are) into drawing. Allocates nothing once the
    // drawing has held as many bones.
    void Draw(int frame, const SCENE_VIEW& view, SCENE_DRAWING& drawing);

private:
    struct FIGURE {
        std::vector<int> parents;
        std::vector<BODY_SIDE> sides;
        std::vector<bool> paired;
        int feet[2] = {-1, -1};  // left, right; -1 none
        double ground = 0.0;  // the rest pose's lowest joint
        double height = 0.0;  // from it to the highest
    };
    FIGURE MakeFigure(CForwardKinematics& skeleton, const CBipedRig& rig,
                      const FRAME_POSES& rest);
    // m_warnings over every frame, from the results as Draw makes them.
    void WatchBones();
    // The figure's bones, and the marks of the feet planted[side] says are.
    void AddBones(const FIGURE& figure, const std::vector<VEC3>& joints, double left, double scale,
                  double groundY, double yaw, const bool planted[2], SCENE_DRAWING& drawing) const;

    MOTION_SETUP m_setup;
    std::vector<SKELETON_NODE> m_sourceNodes;
    CBipedRig m_sourceRig;  // found once, the model's is the setup's
    std::vector<FRAME_POSES> m_frames;
    CForwardKinematics m_sourceSkeleton, m_modelSkeleton;
    FIGURE m_source, m_result;
    SOURCE_CONTACTS m_contacts;
    std::optional<CFrameRetarget> m_retarget;
    std::optional<CRowError> m_planProblem;  // why m_retarget could not be made
    // With the world method or the feet on the ground, every frame's result made at once (the
    // feet need the frames around each one), up to the first that cannot be made.
    std::vector<std::vector<POSE>> m_results;
    bool m_resultsMade = false;
    std::vector<POSE> m_resultPoses;
    std::vector<VEC3> m_joints;
    std::vector<MOTION_WARNING> m_warnings;
};

}  // namespace varnex
