// The legs' ratio: how much longer the model's legs are than the source's.
#pragma once

#include <span>
#include <vector>

#include "motion/biped_rig.h"
#include "motion/motion_types.h"

namespace varnex {

// The legs of one skeleton in its rest frame. A leg's length is the sum of the position lengths
// along the parent chain from the thigh's child down to the foot (calf and any node between
// included); a side has a leg when it has a thigh and a foot below it.
struct LEG_MEASURE {
    bool hasLeft = false, hasRight = false;
    double left = 0.0, right = 0.0;
    bool Found() const { return hasLeft || hasRight; }
    // Both sides averaged, or the one side found.
    double Length() const;
};
// The first thigh and first foot of each side by bone class (rig, nodes' own); a node the rest
// frame lacks counts with length 0.
LEG_MEASURE MeasureLegs(const std::vector<SKELETON_NODE>& nodes, const CBipedRig& rig,
                        std::span<const POSE> rest);

struct LEGS_RATIO {
    bool known = false;  // both skeletons have a leg, the source's of non-zero length
    double ratio = 0.0;  // model's leg length over the source's
    LEG_MEASURE model, source;
};
// The model's legs from its rest frame, the source's from the reference animation's first frame.
LEGS_RATIO MeasureLegsRatio(const std::vector<SKELETON_NODE>& modelNodes,
                            const CBipedRig& modelRig, std::span<const POSE> modelRest,
                            const std::vector<SKELETON_NODE>& sourceNodes,
                            const CBipedRig& sourceRig, std::span<const POSE> sourceRest);

}  // namespace varnex
