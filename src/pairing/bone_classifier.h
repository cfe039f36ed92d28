// Biped bone classes: the same bone gets the same number under both biped namings.
#pragma once

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

}  // namespace varnex
