#include "motion/legs_ratio.h"

#include <cmath>

#include "motion/forward_kinematics.h"
#include "pairing/bone_classifier.h"

namespace varnex {

namespace {
// Sums the position lengths from the foot up to the thigh, the thigh's own excluded; false when
// the climb never meets the thigh.
bool LegLength(int thigh, int foot, const std::vector<int>& parents, std::span<const POSE> rest,
               double& length) {
    if (thigh < 0 || foot < 0) return false;
    length = 0.0;
    int node = foot;
    for (std::size_t steps = 0; node >= 0 && steps <= parents.size(); ++steps) {
        if (node == thigh) return true;
        if (static_cast<std::size_t>(node) < rest.size()) {
            const POSE& p = rest[static_cast<std::size_t>(node)];
            length += std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);
        }
        node = parents[static_cast<std::size_t>(node)];
    }
    return false;
}
}  // namespace

double LEG_MEASURE::Length() const {
    if (hasLeft && hasRight) return (left + right) / 2.0;
    return hasLeft ? left : right;
}

LEG_MEASURE MeasureLegs(const std::vector<SKELETON_NODE>& nodes, const CBipedRig& rig,
                        std::span<const POSE> rest) {
    CForwardKinematics skeleton(nodes);
    const std::vector<int>& parents = skeleton.Parents();
    LEG_MEASURE legs;
    LEG_NODES left = rig.Leg(BODY_SIDE::LEFT);
    LEG_NODES right = rig.Leg(BODY_SIDE::RIGHT);
    legs.hasLeft = LegLength(left.thigh, left.foot, parents, rest, legs.left);
    legs.hasRight = LegLength(right.thigh, right.foot, parents, rest, legs.right);
    return legs;
}

LEGS_RATIO MeasureLegsRatio(const std::vector<SKELETON_NODE>& modelNodes,
                            const CBipedRig& modelRig, std::span<const POSE> modelRest,
                            const std::vector<SKELETON_NODE>& sourceNodes,
                            const CBipedRig& sourceRig, std::span<const POSE> sourceRest) {
    LEGS_RATIO r;
    r.model = MeasureLegs(modelNodes, modelRig, modelRest);
    r.source = MeasureLegs(sourceNodes, sourceRig, sourceRest);
    if (r.model.Found() && r.source.Found() && r.source.Length() > 0.0) {
        r.ratio = r.model.Length() / r.source.Length();
        r.known = std::isfinite(r.ratio);
    }
    return r;
}

}  // namespace varnex
