// Biped bone classes: the same bone gets the same number under both biped namings.
#pragma once

#include <string>
#include <string_view>

namespace varnex {

// The classes ClassifyBone gives, by its numbers: the same bone has the same number under both
// biped namings. Fingers are 13 to 27 on the left, 32 to 46 on the right.
enum BIPED_BONE : int {
    BONE_NONE = 0,
    BONE_PELVIS = 1,
    BONE_SPINE = 2,  // then Spine1 to Spine4, 3 to 6
    BONE_SPINE4 = 6,
    BONE_NECK = 7,
    BONE_HEAD = 8,
    BONE_LEFT_CLAVICLE = 9,
    BONE_LEFT_UPPER_ARM = 10,
    BONE_LEFT_FOREARM = 11,
    BONE_LEFT_HAND = 12,
    BONE_LEFT_LAST_FINGER = 27,
    BONE_RIGHT_CLAVICLE = 28,
    BONE_RIGHT_UPPER_ARM = 29,
    BONE_RIGHT_FOREARM = 30,
    BONE_RIGHT_HAND = 31,
    BONE_RIGHT_LAST_FINGER = 46,
    BONE_LEFT_THIGH = 47,
    BONE_LEFT_CALF = 48,
    BONE_LEFT_FOOT = 49,
    BONE_LEFT_TOE = 50,
    BONE_RIGHT_THIGH = 51,
    BONE_RIGHT_CALF = 52,
    BONE_RIGHT_FOOT = 53,
    BONE_RIGHT_TOE = 54,  // then "R Toe01" and "R Toe02", 55 and 56
    BONE_RIGHT_LAST_TOE = 56,
};

enum class BODY_SIDE { MIDDLE, LEFT, RIGHT };
// Arms, hands, fingers, legs and toes of each side; every other class is on the middle line.
BODY_SIDE SideOfBone(int boneClass);

// The class 0 to 56 of a node line (or part of one): the first literal of a fixed table that the
// text contains, case-sensitive; 0 when none does, and for any text holding "-1" (a root).
// Classifying by "L Leg" sets thighNamedLeg to 1, by "L Thigh" to 0; other texts leave it.
int ClassifyBone(std::string_view text, int& thighNamedLeg);

// A node's class from its name and parent, as its line reads behind its number
// ("\"Bip01 L Thigh\" 2"), so that a root (parent -1) is class 0; and the naming it shows:
// NAMED_LEG for a class found by "L Leg", NAMED_THIGH by "L Thigh", NO_NAMING otherwise.
// A name of class 0 as written is read again as PairingName spells it, so that the other engine
// family's names ("ValveBiped.Bip01_L_Thigh", "Bip01_L_Thigh") class as their Half-Life
// counterparts; every name that classes as written keeps that class.
constexpr int NO_NAMING = -1;
constexpr int NAMED_THIGH = 0;
constexpr int NAMED_LEG = 1;
struct NODE_CLASS {
    int boneClass = 0;
    int naming = NO_NAMING;
};
NODE_CLASS ClassifyNode(std::string_view name, int parent);

// The name ClassifyNode classes: a name of class 0 as written that holds a '_' or begins with
// "ValveBiped." without that prefix and with spaces for its '_'; any other name as it is.
std::string PairingName(std::string_view name, int parent);

}  // namespace varnex
