// Which biped bone each node of a skeleton is, and on which side of the body it lies.
#pragma once

#include <vector>

#include "motion/motion_types.h"

namespace varnex {

// Bone classes of the legs, as ClassifyBone numbers them.
constexpr int BONE_LEFT_FOOT = 49;
constexpr int BONE_RIGHT_FOOT = 53;

// The class of every node, as ClassifyNode gives it.
std::vector<int> ClassifyNodes(const std::vector<SKELETON_NODE>& nodes);

// The first node of a class, or -1.
int FirstNodeOfClass(const std::vector<int>& classes, int boneClass);

enum class BODY_SIDE { MIDDLE, LEFT, RIGHT };
// Arms, hands, fingers, legs and toes of each side; every other class is on the middle line.
BODY_SIDE SideOfClass(int boneClass);
// The side of every node: its class's, or for a node of no biped bone its parent's (a prop in the
// right hand is drawn with the right arm). parents as CForwardKinematics::Parents() gives them.
std::vector<BODY_SIDE> NodeSides(const std::vector<int>& classes, const std::vector<int>& parents);

}  // namespace varnex
