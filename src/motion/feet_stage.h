// Feet on the ground (--feet contact): a stage after either method that sees neighbouring frames.
// The source's contacts are found over the whole animation first (a few numbers a frame), then
// each retargeted frame passes through a window of a few frames: the root is placed from the
// legs and the ground, each planted foot held where the source plants it, the legs solved as
// two-bone chains and the pelvis lowered, smoothly, where a leg cannot reach.
#pragma once

#include <deque>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "motion/biped_rig.h"
#include "motion/foot_contact.h"
#include "motion/forward_kinematics.h"
#include "motion/frame_retarget.h"
#include "motion/motion_types.h"

namespace varnex {

// NONE writes what the method gives (the default); CONTACT holds the feet on the ground.
enum class FEET_MODE { NONE, CONTACT };

// Frames over which a contact is blended in before its first frame and out after its last.
constexpr int FEET_BLEND_FRAMES = 4;
// Frames over which a lowering of the pelvis is eased in and out: the window reads this far ahead.
constexpr int PELVIS_EASE_FRAMES = 6;
// A leg is stretched to at most this part of its length, where its knee still has a direction.
constexpr double LEG_REACH = 0.999;

// The source's feet over the whole animation, from its first pass: each side's foot joint a frame
// (empty for a side without a foot).
struct FEET_SOURCE {
    std::vector<VEC3> feet[2];  // left, right
};

// Where a few nodes stand in a frame, with their ancestors solved and no other node: the feet
// need the legs and the pelvis of skeletons of any size. The arithmetic of CForwardKinematics.
class CNodeChains {
public:
    // parents as CForwardKinematics::Parents() gives them; nodes out of range are left out.
    CNodeChains(const std::vector<int>& parents, const std::vector<int>& nodes);
    void Solve(std::span<const POSE> frame);
    // Of a node given or one of its ancestors, in the frame last solved.
    const VEC3& Joint(int node) const { return m_joints[static_cast<std::size_t>(node)]; }
    const MAT3& World(int node) const { return m_world[static_cast<std::size_t>(node)]; }

private:
    std::vector<int> m_parent;
    std::vector<int> m_order;  // the nodes solved, each after its parent
    std::vector<VEC3> m_joints;
    std::vector<MAT3> m_world;
};

// The first pass: the source's feet gathered frame by frame, frames in the reference
// animation's order.
class CSourceFeet {
public:
    CSourceFeet(const std::vector<SKELETON_NODE>& sourceNodes, const CBipedRig& sourceRig);
    void Add(std::span<const POSE> frame);
    const FEET_SOURCE& Feet() const { return m_feet; }
    // The nodes whose lines Add reads: the feet and their ancestors.
    const std::vector<int>& NodesRead() const { return m_read; }

private:
    int m_foot[2] = {-1, -1};
    std::vector<int> m_read;
    std::unique_ptr<CNodeChains> m_chains;
    FEET_SOURCE m_feet;
};

// One frame passing through the stage: what the caller gives with it comes back with it.
struct FEET_FRAME {
    FRAME_POSES source;     // the animation's own lines
    FRAME_POSES rowSource;  // in the reference animation's order, the one the stage measures
    std::vector<POSE> result;
    // Carried along untouched, when the caller keeps them: the result as the method made it and
    // the source's rotation texts in rowSource's order, which tell what the stage changed and
    // what it left to be written as read.
    std::vector<POSE> method;
    CFrameTexts texts;
    std::string timeText;
    int timeLine = 0;
    int index = 0;  // counted from 0
};

class CFeetStage {
public:
    // modelNodes/modelRig/modelRest: the model's skeleton, its rig and rest frame;
    // sourceNodes/sourceRig: the reference animation's (the rows' order); root: row 0's rule from
    // the legs, whose ratio scales the source's feet.
    CFeetStage(const std::vector<SKELETON_NODE>& modelNodes, const CBipedRig& modelRig,
               std::span<const POSE> modelRest, const std::vector<SKELETON_NODE>& sourceNodes,
               const CBipedRig& sourceRig, const ROOT_FROM_LEGS& root, const FEET_SOURCE& source);

    // Takes the next frame, its result as the method made it.
    void Push(FEET_FRAME& frame);
    // No frame comes after the last one pushed.
    void Finish() { m_finished = true; }
    // A frame can be given: the window holds every frame its pelvis depends on.
    bool Ready() const;
    // Gives the oldest frame, its result on the ground; false when none is left.
    bool Pop(FEET_FRAME& frame);

    const SOURCE_CONTACTS& Contacts() const { return m_contacts; }

private:
    struct LEG {
        int thigh = -1, calf = -1, foot = -1;
        bool Whole() const { return thigh >= 0 && calf >= 0 && foot >= 0; }
    };
    struct SIDE {
        LEG model, source;
        std::vector<int> contactOf;  // the contact a frame belongs to, -1 none
    };
    struct HELD {
        FEET_FRAME frame;
        VEC3 target[2];  // where each foot joint goes
        VEC3 pole[2];    // the way the source's knee points
        bool aimed[2] = {false, false};
        double lowering = 0.0;  // what this frame alone needs of the pelvis
    };
    // How much contact c weighs in frame i, 0 to 1.
    double Weight(int side, int i) const;
    void Aim(HELD& held);
    void Land(HELD& held, double lowering);
    void SolveLeg(int side, const VEC3& target, const VEC3& pole, std::vector<POSE>& result);

    std::vector<int> m_modelParents;
    std::size_t m_modelCount = 0;
    std::unique_ptr<CNodeChains> m_model, m_source;
    SIDE m_sides[2];
    int m_modelPelvis = 0, m_sourcePelvis = 0;
    bool m_rootFree = false;  // row 0 is a root: the stage moves it
    double m_ratio = 1.0;
    double m_modelGround = 0.0;
    SOURCE_CONTACTS m_contacts;
    std::vector<VEC3> m_anchor;  // per contact: where the model's foot is held
    std::vector<double> m_strideX,
        m_strideY;  // the root's shift a frame: the source's slides undone
    std::deque<HELD> m_window;
    std::deque<double> m_pastLowering;  // of the frames given, the latest first
    bool m_finished = false;
    int m_pushed = 0;
};

}  // namespace varnex
