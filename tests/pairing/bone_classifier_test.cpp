#include <gtest/gtest.h>

#include "pairing/bone_classifier.h"

namespace varnex {

namespace {
struct CLASS_CASE {
    const char* text;
    int boneClass;
};

// Literals contained in later ones must lose to them ("L Leg" in "L Leg1", "Spine" in "Spine1",
// "L Finger1" in "L Finger11", "R Toe0" in "R Toe01"), and "-1" wins over every bone name.
const CLASS_CASE CLASS_TABLE[] = {
    {"  0 \"Bip01 Pelvis\" -1", 0}, {" \"Biped\" -1", 0},       {"1 \"Biped Pelvis\" 0", 1},
    {"Biped Spine", 2},            {"Biped Spine1", 3},         {"Biped Spine2", 4},
    {"Biped Spine3", 5},           {"Biped Spine4", 6},         {"Biped Neck", 7},
    {"Biped Head", 8},             {"Biped Neck Head", 7},      {"Biped L Clavicle", 9},
    {"Biped L Arm", 9},            {"Biped L Arm1", 10},        {"Biped L UpperArm", 10},
    {"Biped L Arm2", 11},          {"Biped L Forearm", 11},     {"Biped L Hand", 12},
    {"Biped L Finger0", 13},       {"Biped L Finger1", 14},     {"Biped L Finger4", 17},
    {"Biped L Finger01", 18},      {"Biped L Finger11", 19},    {"Biped L Finger41", 22},
    {"Biped L Finger02", 23},      {"Biped L Finger12", 24},    {"Biped L Finger42", 27},
    {"Biped R Clavicle", 28},      {"Biped R Arm", 28},         {"Biped R Arm1", 29},
    {"Biped R UpperArm", 29},      {"Biped R Arm2", 30},        {"Biped R Forearm", 30},
    {"Biped R Hand", 31},          {"Biped R Finger0", 32},     {"Biped R Finger4", 36},
    {"Biped R Finger01", 37},      {"Biped R Finger41", 41},    {"Biped R Finger02", 42},
    {"Biped R Finger42", 46},      {"Biped L Thigh", 47},       {"Biped L Leg", 47},
    {"Biped L Calf", 48},          {"Biped L Leg1", 48},        {"Biped L Foot", 49},
    {"Biped L Toe0", 50},          {"Biped L Toe01", 50},       {"Biped L Toe02", 50},
    {"Biped R Thigh", 51},         {"Biped R Leg", 51},         {"Biped R Calf", 52},
    {"Biped R Leg1", 52},          {"Biped R Foot", 53},        {"Biped R Toe0", 54},
    {"Biped R Toe01", 55},         {"Biped R Toe02", 56},       {"Biped Tail", 0},
    {"Biped Ponytail1", 0},        {"", 0},                     {"biped l leg", 0},
    {"Biped_L_Thigh", 0},
};
}  // namespace

TEST(BoneClassifier, OrderTableGivesEachTextItsClass) {
    for (const CLASS_CASE& c : CLASS_TABLE) {
        int naming = 0;
        EXPECT_EQ(ClassifyBone(c.text, naming), c.boneClass) << "text: " << c.text;
    }
}

// A name of class 0 as written is read in Half-Life's spelling; a name that classes as written
// keeps its class, and a root stays 0.
TEST(BoneClassifier, NodesNamedForTheOtherEngineFamilyClassAsTheirHalfLifeCounterparts) {
    struct NODE_CASE {
        const char* name;
        int parent;
        int boneClass;
        int naming;
    };
    const NODE_CASE CASES[] = {
        {"ValveBiped.Bip01_L_Thigh", 1, 47, NAMED_THIGH},
        {"Bip01_L_Leg", 1, 47, NAMED_LEG},
        {"ValveBiped.Bip01_R_Finger01", 9, 37, NO_NAMING},
        {"ValveBiped.Bip01_Pelvis", -1, 0, NO_NAMING},
        {"Bip01 Spine_L_Thigh", 1, 2, NO_NAMING},
        {"ValveBiped.weapon_bone", 9, 0, NO_NAMING},
    };
    for (const NODE_CASE& c : CASES) {
        NODE_CLASS got = ClassifyNode(c.name, c.parent);
        EXPECT_EQ(got.boneClass, c.boneClass) << c.name;
        EXPECT_EQ(got.naming, c.naming) << c.name;
    }
}

}  // namespace varnex
