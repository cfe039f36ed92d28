// A skeleton's biped bones, found once from its node list: each node's class, its side of the
// body, and the nodes of the legs, the spine, the neck and the head.
#pragma once

#include <vector>

#include "motion/motion_types.h"
#include "pairing/bone_classifier.h"

namespace varnex {

// One leg's nodes, -1 where the skeleton has none.
struct LEG_NODES {
    int thigh = -1;
    int calf = -1;
    int foot = -1;
    int toe = -1;
};

class CBipedRig {
public:
    // No node: every class BONE_NONE, no leg.
    CBipedRig() = default;
    // Classifies every node once, by name and parent (ClassifyNode).
    explicit CBipedRig(const std::vector<SKELETON_NODE>& nodes);

    // The class of node n (BONE_NONE past the list).
    int ClassOf(std::size_t node) const {
        return node < m_classes.size() ? m_classes[node] : BONE_NONE;
    }
    // The first node of a class, or -1.
    int First(int boneClass) const;
    LEG_NODES Leg(BODY_SIDE side) const;
    int Pelvis() const { return First(BONE_PELVIS); }
    // Spine, Spine1... as far as the skeleton has them, from the pelvis up.
    std::vector<int> SpineChain() const;
    int Neck() const { return First(BONE_NECK); }
    int Head() const { return First(BONE_HEAD); }
    // The side of every node: its class's, or for a node of no biped bone its nearest classified
    // ancestor's (a prop in the right hand is drawn with the right arm). parents as
    // CForwardKinematics::Parents() gives them.
    std::vector<BODY_SIDE> Sides(const std::vector<int>& parents) const;

private:
    std::vector<int> m_classes;
};

}  // namespace varnex
