// Biped bone classes: the same bone gets the same number under both biped namings.
#pragma once

#include <string>
#include <string_view>

namespace varnex {

// BoneClass values the commands single out.
constexpr int BONE_PELVIS = 1;
constexpr int BONE_SPINE = 2;
constexpr int BONE_LEFT_THIGH = 47;
constexpr int BONE_RIGHT_THIGH = 51;

// The class 0 to 56 of a node line (or part of one): the first literal of a fixed table that the
// text contains, case-sensitive; 0 when none does, and for any text holding "-1" (a root).
// Classifying by "L Leg" sets thighNamedLeg to 1, by "L Thigh" to 0; other texts leave it.
int ClassifyBone(std::string_view text, int& thighNamedLeg);

// A node's class from its name and parent, as its line reads behind its number
// ("\"Bip01 L Thigh\" 2"), so that a root (parent -1) is class 0; and the naming it shows:
// NAMED_LEG for a class found by "L Leg", NAMED_THIGH by "L Thigh", NO_NAMING otherwise.
constexpr int NO_NAMING = -1;
constexpr int NAMED_THIGH = 0;
constexpr int NAMED_LEG = 1;
struct NODE_CLASS {
    int boneClass = 0;
    int naming = NO_NAMING;
};
NODE_CLASS ClassifyNode(std::string_view name, int parent);

}  // namespace varnex
