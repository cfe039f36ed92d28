// Where every joint of a skeleton stands in a frame, as the model compiler reads SMD frames.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "motion/motion_types.h"

namespace varnex {

// A rotation matrix, rows first.
struct MAT3 {
    double m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
};

// The compiler's Rz·Ry·Rx from the sines and cosines of the X, Y and Z angles.
inline MAT3 RotationFromSines(double sx, double cx, double sy, double cy, double sz, double cz) {
    MAT3 r;
    r.m[0][0] = cz * cy;
    r.m[1][0] = sz * cy;
    r.m[2][0] = -sy;
    r.m[0][1] = cz * sy * sx - sz * cx;
    r.m[1][1] = sz * sy * sx + cz * cx;
    r.m[2][1] = cy * sx;
    r.m[0][2] = cz * sy * cx + sz * sx;
    r.m[1][2] = sz * sy * cx - cz * sx;
    r.m[2][2] = cy * cx;
    return r;
}

// The node's own rotation: Rz * Ry * Rx of its three angles (X applied first).
MAT3 RotationOf(const POSE& pose);

// Solves frames of one skeleton: a node's joint is its parent's joint plus its position turned by
// the parent's world rotation, and its world rotation is the parent's times its own. Z is up.
class CForwardKinematics {
public:
    // Works out once the order in which nodes are solved, parents first. A parent that is -1, out
    // of range, or closes a cycle of parents makes the node a root; nothing is refused.
    explicit CForwardKinematics(const std::vector<SKELETON_NODE>& nodes);

    std::size_t NodeCount() const { return m_parent.size(); }
    // The parent a node is solved against: -1 for a root, whatever its node line said.
    const std::vector<int>& Parents() const { return m_parent; }

    // The world position of every node's joint in the frame, into joints (resized to
    // NodeCount()). A node beyond the frame's lines takes the zero pose and so sits on its
    // parent's joint. Allocates nothing once joints has its size.
    void Solve(std::span<const POSE> frame, std::vector<VEC3>& joints);

    // The same in two steps, for callers that know some nodes' own rotations already (a retarget
    // copies rotations, so its frame shares them with the source's): every node's RotationOf into
    // rotations (resized to NodeCount()), then the joints from the frame's positions and those
    // rotations.
    void OwnRotations(std::span<const POSE> frame, std::vector<MAT3>& rotations) const;
    void Solve(std::span<const POSE> frame, std::span<const MAT3> rotations,
               std::vector<VEC3>& joints);
    // Every node's world rotation in the frame last solved.
    const std::vector<MAT3>& WorldRotations() const { return m_world; }

private:
    std::vector<int> m_parent;
    std::vector<int> m_order;   // every node once, each after its parent
    std::vector<MAT3> m_own;    // the frame's own rotations, reused
    std::vector<MAT3> m_world;  // world rotations of the frame being solved, reused
};

}  // namespace varnex
