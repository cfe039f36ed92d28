#include "motion/body_parts.h"

#include <string>

#include "pairing/bone_classifier.h"

namespace varnex {

std::vector<int> ClassifyNodes(const std::vector<SKELETON_NODE>& nodes) {
    std::vector<int> classes;
    classes.reserve(nodes.size());
    for (const SKELETON_NODE& node : nodes) {
        classes.push_back(ClassifyNode(node.name, node.parent).boneClass);
    }
    return classes;
}

int FirstNodeOfClass(const std::vector<int>& classes, int boneClass) {
    for (std::size_t i = 0; i < classes.size(); ++i) {
        if (classes[i] == boneClass) return static_cast<int>(i);
    }
    return -1;
}

BODY_SIDE SideOfClass(int boneClass) {
    // Left arm 9 to 27, right arm 28 to 46, left leg 47 to 50, right leg 51 to 56.
    if ((boneClass >= 9 && boneClass <= 27) || (boneClass >= 47 && boneClass <= 50)) {
        return BODY_SIDE::LEFT;
    }
    if ((boneClass >= 28 && boneClass <= 46) || (boneClass >= 51 && boneClass <= 56)) {
        return BODY_SIDE::RIGHT;
    }
    return BODY_SIDE::MIDDLE;
}

std::vector<BODY_SIDE> NodeSides(const std::vector<int>& classes, const std::vector<int>& parents) {
    const std::size_t count = classes.size();
    std::vector<BODY_SIDE> sides(count, BODY_SIDE::MIDDLE);
    std::vector<char> known(count, 0);
    for (std::size_t i = 0; i < count; ++i) {
        if (classes[i] != 0) {
            sides[i] = SideOfClass(classes[i]);
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
