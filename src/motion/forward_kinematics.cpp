#include "motion/forward_kinematics.h"

#include <algorithm>
#include <cmath>

#include "motion/smd_angles.h"

namespace varnex {

CForwardKinematics::CForwardKinematics(const std::vector<SKELETON_NODE>& nodes)
    : m_parent(nodes.size(), -1), m_world(nodes.size()) {
    const int count = static_cast<int>(nodes.size());
    enum : char { UNSEEN, ON_CHAIN, PLACED };
    std::vector<char> state(nodes.size(), UNSEEN);
    std::vector<int> chain;
    m_order.reserve(nodes.size());
    for (int first = 0; first < count; ++first) {
        if (state[first] != UNSEEN) continue;
        // Climb from the node to the first ancestor already placed (or a root), then place the
        // chain top down.
        chain.clear();
        for (int node = first;;) {
            state[node] = ON_CHAIN;
            chain.push_back(node);
            int parent = nodes[node].parent;
            if (parent < 0 || parent >= count || state[parent] == ON_CHAIN) break;  // a root
            m_parent[node] = parent;
            if (state[parent] == PLACED) break;
            node = parent;
        }
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
            state[*it] = PLACED;
            m_order.push_back(*it);
        }
    }
}

void CForwardKinematics::OwnRotations(std::span<const POSE> frame,
                                      std::vector<MAT3>& rotations) const {
    rotations.resize(m_parent.size());
    const std::size_t count = std::min(frame.size(), rotations.size());
    for (std::size_t node = 0; node < count; ++node) rotations[node] = RotationOf(frame[node]);
    for (std::size_t node = count; node < rotations.size(); ++node) rotations[node] = MAT3();
}

void CForwardKinematics::Solve(std::span<const POSE> frame, std::vector<VEC3>& joints) {
    OwnRotations(frame, m_own);
    Solve(frame, m_own, joints);
}

void CForwardKinematics::Solve(std::span<const POSE> frame, std::span<const MAT3> rotations,
                               std::vector<VEC3>& joints) {
    joints.resize(m_parent.size());
    static const POSE ZERO_POSE;
    for (int node : m_order) {
        const POSE& pose = static_cast<std::size_t>(node) < frame.size() ? frame[node] : ZERO_POSE;
        const MAT3& own = rotations[static_cast<std::size_t>(node)];
        int parent = m_parent[node];
        if (parent < 0) {
            joints[node] = {pose.x, pose.y, pose.z};
            m_world[node] = own;
            continue;
        }
        const MAT3& w = m_world[parent];
        const VEC3& base = joints[parent];
        joints[node] = {base.x + w.m[0][0] * pose.x + w.m[0][1] * pose.y + w.m[0][2] * pose.z,
                        base.y + w.m[1][0] * pose.x + w.m[1][1] * pose.y + w.m[1][2] * pose.z,
                        base.z + w.m[2][0] * pose.x + w.m[2][1] * pose.y + w.m[2][2] * pose.z};
        m_world[node] = Multiply(w, own);
    }
}

}  // namespace varnex
