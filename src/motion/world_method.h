// The world method: every paired bone pointed as its partner points in the source's world, on
// the model's own bone lengths. Offsets are the model's rest offsets, so no bone is ever
// stretched, collapsed or thrown, whatever the two skeletons' proportions.
#pragma once

#include <span>
#include <vector>

#include "motion/double_lanes.h"
#include "motion/forward_kinematics.h"
#include "motion/frame_retarget.h"
#include "motion/legs_ratio.h"
#include "motion/motion_types.h"
#include "motion/smd_angles.h"

namespace varnex {

// How a retarget turns the source's motion into the model's: `local` copies each row's own
// rotation and scales its position (the default), `world` follows bone directions.
enum class RETARGET_METHOD { LOCAL, WORLD };

// What one frame's solve works in; one per thread.
struct WORLD_WORK {
    std::vector<MAT3> sourceWorld;  // the source's world rotations
    std::vector<VEC3> sourceJoint;  // and joints
    std::vector<MAT3> modelWorld;   // the result's world rotations, parents first
};

// What a solve of two frames at once works in; one per thread.
struct WORLD_PAIR_WORK {
#ifdef VARNEX_DOUBLE_LANES
    std::vector<MAT3_LANES> sourceWorld;
    std::vector<VEC3_LANES> sourceJoint;
    std::vector<MAT3_LANES> modelWorld;
#endif
};

// The rows of one retarget by the world method, planned once per pair of skeletons and rows and
// applied to any number of source frames, each frame alone.
//
// Every row's position is the model's rest offset, but row 0's, which follows the legs (the rule
// of --root-motion legs, Correction and blend applied as on the local method). A paired row A
// (NODES, less 100, not 0, or row 0) points the direction from its joint to each nearest paired
// descendant C where its partner A' points to C''s partner: the smallest turn that does so is
// applied to A''s world rotation, which keeps the twist; with several such chains, the rotation
// that fits them best, each weighed by its rest length. A root follows only chains at least a
// unit long in both skeletons at rest (the model's and the reference animation's first frame).
// A paired row without such a chain takes its partner's world rotation. Unpaired rows keep their
// rest line. Correction
// c then weighs the solved rotation, relative to the parent, against the rest one by spherical
// interpolation (1: solved, 0: rest); with NODES + 100, c is the rest's weight. Angles are
// written as the set nearest the partner's own angles in that frame.
class CWorldRetarget {
public:
    // modelNodes/modelRest: the model's skeleton and first frame; sourceNodes/sourceRest: the
    // reference animation's, which the rows' NODES name and whose rest lines stand in for lines a
    // source frame lacks. rows beyond rows.size() are default rows. Throws CRowError for the first
    // row whose rest line the model lacks, or is not finite.
    CWorldRetarget(const std::vector<SKELETON_NODE>& modelNodes, std::span<const POSE> modelRest,
                   const std::vector<SKELETON_NODE>& sourceNodes, std::span<const POSE> sourceRest,
                   std::span<const DECODED_ROW> rows, const ROOT_FROM_LEGS& root);

    int NodeCount() const { return static_cast<int>(m_plans.size()); }
    int LinesRead() const { return m_linesRead; }

    // The result frame's poses into result (resized to NodeCount()), as CFrameRetarget::Apply:
    // CRowError for the first row that cannot be made, result then incomplete. Safe from several
    // threads with one work each; allocates nothing once result and work have their sizes.
    void Apply(std::span<const POSE> source, std::vector<POSE>& result, WORLD_WORK& work) const;
    // Two frames at once, each exactly as Apply makes it, where the processor holds two doubles
    // in one register: false, results then unusable, for anything Apply would refuse or where
    // it cannot (frames too short, a value no finite number); Apply then tells.
    bool ApplyPair(std::span<const POSE> first, std::span<const POSE> second,
                   std::vector<POSE>& firstResult, std::vector<POSE>& secondResult,
                   WORLD_PAIR_WORK& work) const;
    // The same with a work of its own, for one thread.
    void Apply(std::span<const POSE> source, std::vector<POSE>& result) {
        Apply(source, result, m_work);
    }

private:
    // Shorter than this, a segment gives no direction to follow.
    static constexpr double SHORTEST_SEGMENT = 1e-6;
    // The chains a node follows at most: more are left out.
    static constexpr std::size_t MOST_CHAINS = 16;
    struct CHAIN {
        int partner = 0;  // C''s source line
        VEC3 rest;        // the direction from A to C in A's own axes, at rest
        double weight = 0.0;
    };
    struct PLAN {
        ROW_RULE rule;  // the grid row decoded, row 0's root rule with it
        int parent = -1;
        POSE rest;
        MAT3 restMatrix;  // relative to the parent
        QUAT restRotation;
        std::vector<CHAIN> chains;  // empty: the partner's world rotation
        bool hasChildren = true;    // false: no row needs its world rotation
    };
    // Room for the far joints of a plan's chains: fixed for a handful (a pelvis has three), so
    // that a frame's solve allocates nothing.
    struct CHAIN_ENDS {
        VEC3 room[MOST_CHAINS];
        std::vector<VEC3> more;
        std::span<VEC3> For(const PLAN& plan) {
            if (plan.chains.size() <= MOST_CHAINS) return std::span<VEC3>(room, plan.chains.size());
            more.resize(plan.chains.size());
            return more;
        }
    };
    void SolveSource(std::span<const POSE> source, WORLD_WORK& work) const;
    MAT3 TargetRotation(const PLAN& plan, const WORLD_WORK& work) const;
#ifdef VARNEX_DOUBLE_LANES
    void SolveSourcePair(std::span<const POSE> first, std::span<const POSE> second,
                         WORLD_PAIR_WORK& work) const;
    MAT3_LANES TargetRotationPair(const PLAN& plan, const WORLD_PAIR_WORK& work) const;
#endif
    // The same from the partner's world rotation and joint, and the source's joints at the far
    // end of each of the plan's chains, in its order.
    static MAT3 TargetRotation(const PLAN& plan, const MAT3& partnerWorld,
                               const VEC3& partnerJoint, std::span<const VEC3> chainEnds);

    std::vector<PLAN> m_plans;
    std::vector<int> m_order;  // model rows, parents first
    std::vector<int> m_sourceParent;
    std::vector<int> m_sourceOrder;  // source lines, parents first
    std::vector<POSE> m_sourceRest;
    ROOT_FROM_LEGS m_root;
    int m_linesRead = 0;
    WORLD_WORK m_work;
};

// The root rule the world method takes for row 0 reading line rowZeroNodes names: the legs'
// ratio when known, else row 0's bone scale standing in for it. False when a rest frame lacks
// the line it needs.
bool WorldRootRule(const LEGS_RATIO& legs, std::span<const POSE> sourceRest,
                   std::span<const POSE> modelRest, const RETARGET_ROW& rowZero,
                   ROOT_FROM_LEGS& rule);

}  // namespace varnex
