// The motion check: compares a source animation with its retarget frame by frame, the report
// saying whether the retarget kept the motion.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "motion/biped_rig.h"
#include "motion/foot_contact.h"
#include "motion/forward_kinematics.h"
#include "motion/frame_retarget.h"
#include "motion/legs_ratio.h"
#include "motion/motion_types.h"
#include "motion/motion_warning.h"

namespace varnex {

// A grid row's chain: the angle between the direction from its nearest paired ancestor's joint
// to its own in the result and the direction between the same two source nodes' joints (on a
// chain paired one to one, its bone's own direction). Not measured on row 0, where the two rows
// share one source node, or in a frame where either segment is shorter than CHAIN_MIN_LENGTH.
// A row is paired when its NODES (less 100) is not 0, and row 0 always.
struct BONE_ANGLES {
    int row = 0;
    std::string modelNode;
    std::optional<std::string> sourceNode;  // none for a row left unpaired
    std::optional<double> maxDegrees;       // none where no frame is measured
    std::optional<double> meanDegrees;
    std::optional<int> maxFrame;            // the frame of the largest angle, counted from 0
    // A paired row with no paired descendant (hand, foot, head): the angle between its world X
    // axis and its source node's; none on other rows.
    std::optional<double> axisMaxDegrees;
    std::optional<double> axisMeanDegrees;
};

// Segments shorter than this have no direction worth measuring.
constexpr double CHAIN_MIN_LENGTH = 1.0;

// The root of one side, and its lowest foot. Heights are the joints' Z; the foot's is measured
// from the lower foot of the rest pose. None where there is no frame, or no foot.
struct ROOT_MOTION {
    std::optional<double> restHeight;
    std::optional<double> minHeight, maxHeight;
    std::optional<double> travel;  // XY distance from the first frame's root to the last's
    std::optional<double> lowestFoot;
};

struct MOTION_REPORT {
    std::string animation;
    int frames = 0;
    std::vector<BONE_ANGLES> bones;  // one per grid row
    LEGS_RATIO legs;
    ROOT_MOTION source, result;
    FEET_REPORT feet;
    std::vector<std::string> collapsedNodes;
    std::vector<int> unpairedRows;
    std::vector<MOTION_WARNING> warnings;
};

struct MOTION_CHECK_INPUT {
    std::string animation;                   // as the report names it
    std::vector<SKELETON_NODE> sourceNodes;  // the skeleton the source frames stand on
    CBipedRig sourceRig;                     // its rig (CAnimationRetarget::RowSourceRig())
    FRAME_POSES sourceRest;                  // its rest pose
    std::vector<SKELETON_NODE> modelNodes;
    CBipedRig modelRig;                      // MOTION_SETUP::modelRig
    FRAME_POSES modelRest;
    std::vector<DECODED_ROW> rows;  // one per model node; missing rows are default rows
    LEGS_RATIO legs;
    bool rootFromLegs = false;  // row 0 follows the legs: its factor is not compared
};

// Fed with each source frame and its retarget, in order; memory grows only by the few numbers a
// frame that the feet keep (CFeetCheck).
class CMotionCheck {
public:
    explicit CMotionCheck(MOTION_CHECK_INPUT input);
    // Lines a frame lacks take the zero pose.
    void AddFrame(std::span<const POSE> source, std::span<const POSE> result);
    MOTION_REPORT Report() const;

private:
    struct ROW_STATE {
        int sourceLine = REST_LINE;  // REST_LINE also for a line the source lacks
        int chainFrom = -1;  // the nearest paired ancestor, when the chain can be measured
        bool leaf = false;   // paired, with no paired descendant
        double maxDegrees = 0.0;
        double sumDegrees = 0.0;
        long long measured = 0;
        int maxFrame = 0;
        double axisMax = 0.0, axisSum = 0.0;
        bool collapsed = false;  // still on its parent's joint in every frame so far
        bool tearWatched = false;  // a row other than 0 with a rest offset
        double tearLimit2 = 0.0;   // TornLimitSquared of the rest offset's length
        double restLength = 0.0;
        double largestTear = -1.0;  // the largest distance beyond the limit, -1: none
    };
    struct SIDE_STATE {
        int root = -1;
        std::vector<int> feet;
        double restHeight = 0.0;
        double restFoot = 0.0;
        double minHeight = 0.0, maxHeight = 0.0;
        double lowestFoot = 0.0;
        VEC3 first, last;
    };
    bool Paired(std::size_t row) const;
    // Each row's nearest paired ancestor and whether a paired row hangs below it.
    void PlanChains();
    void Track(SIDE_STATE& side, const std::vector<VEC3>& joints);
    ROOT_MOTION Summary(const SIDE_STATE& side) const;

    MOTION_CHECK_INPUT m_input;
    CForwardKinematics m_sourceSkeleton, m_modelSkeleton;
    CFeetCheck m_feet;
    std::vector<ROW_STATE> m_rows;
    SIDE_STATE m_source, m_result;
    std::vector<VEC3> m_sourceJoints, m_resultJoints;
    std::vector<MAT3> m_sourceOwn, m_resultOwn, m_restOwn;  // nodes' own rotations
    int m_frames = 0;
};

}  // namespace varnex
