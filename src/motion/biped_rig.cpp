#include "motion/biped_rig.h"

namespace varnex {

CBipedRig::CBipedRig(const std::vector<SKELETON_NODE>& nodes) {
    m_classes.reserve(nodes.size());
    for (const SKELETON_NODE& node : nodes) {
        m_classes.push_back(ClassifyNode(node.name, node.parent).boneClass);
    }
}

int CBipedRig::First(int boneClass) const {
    for (std::size_t i = 0; i < m_classes.size(); ++i) {
        if (m_classes[i] == boneClass) return static_cast<int>(i);
    }
    return -1;
}

LEG_NODES CBipedRig::Leg(BODY_SIDE side) const {
    int thigh = side == BODY_SIDE::LEFT ? BONE_LEFT_THIGH : BONE_RIGHT_THIGH;
    return LEG_NODES{First(thigh), First(thigh + 1), First(thigh + 2), First(thigh + 3)};
}

std::vector<int> CBipedRig::SpineChain() const {
    std::vector<int> chain;
    for (int bone = BONE_SPINE; bone <= BONE_SPINE4; ++bone) {
        int node = First(bone);
        if (node < 0) break;
        chain.push_back(node);
    }
    return chain;
}

std::vector<BODY_SIDE> CBipedRig::Sides(const std::vector<int>& parents) const {
    const std::size_t count = m_classes.size();
    std::vector<BODY_SIDE> sides(count, BODY_SIDE::MIDDLE);
    std::vector<char> known(count, 0);
    for (std::size_t i = 0; i < count; ++i) {
        if (m_classes[i] != BONE_NONE) {
            sides[i] = SideOfBone(m_classes[i]);
            known[i] = 1;
        }
    }
    // A node of no class takes the side of its nearest classified ancestor; the climb is bounded
    // by the node count as parents never form a cycle here.
    for (std::size_t i = 0; i < count; ++i) {
        if (known[i]) continue;
        int p = i < parents.size() ? parents[i] : -1;
        for (std::size_t steps = 0; p >= 0 && steps < count; ++steps) {
            if (known[static_cast<std::size_t>(p)]) {
                sides[i] = sides[static_cast<std::size_t>(p)];
                break;
            }
            p = parents[static_cast<std::size_t>(p)];
        }
    }
    return sides;
}

}  // namespace varnex
