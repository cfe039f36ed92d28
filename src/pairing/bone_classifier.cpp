#include "pairing/bone_classifier.h"

#include <array>
#include <cstdint>
#include <iterator>
#include <string>

namespace varnex {

namespace {
struct BONE_TEST {
    std::string_view literal;
    int boneClass;
};

// The order decides: a literal that another contains ("L Leg" in "L Leg1", "Spine" in "Spine1")
// comes after it.
constexpr BONE_TEST BONE_TESTS[] = {
    {"-1", 0},          {"Pelvis", 1},      {"L Leg1", 48},     {"L Leg", 47},
    {"L Thigh", 47},    {"L Calf", 48},     {"L Foot", 49},     {"R Toe01", 55},
    {"R Toe02", 56},    {"L Toe0", 50},     {"R Leg1", 52},     {"R Leg", 51},
    {"R Thigh", 51},    {"R Calf", 52},     {"R Foot", 53},     {"R Toe0", 54},
    {"Spine1", 3},      {"Spine2", 4},      {"Spine3", 5},      {"Spine4", 6},
    {"Spine", 2},       {"Neck", 7},        {"Head", 8},        {"L Clavicle", 9},
    {"L Arm1", 10},     {"L UpperArm", 10}, {"L Arm2", 11},     {"L Arm", 9},
    {"L Forearm", 11},  {"L Hand", 12},     {"L Finger01", 18}, {"L Finger11", 19},
    {"L Finger21", 20}, {"L Finger31", 21}, {"L Finger41", 22}, {"L Finger02", 23},
    {"L Finger12", 24}, {"L Finger22", 25}, {"L Finger32", 26}, {"L Finger42", 27},
    {"L Finger0", 13},  {"L Finger1", 14},  {"L Finger2", 15},  {"L Finger3", 16},
    {"L Finger4", 17},  {"R Clavicle", 28}, {"R Arm1", 29},     {"R UpperArm", 29},
    {"R Arm2", 30},     {"R Arm", 28},      {"R Forearm", 30},  {"R Hand", 31},
    {"R Finger01", 37}, {"R Finger11", 38}, {"R Finger21", 39}, {"R Finger31", 40},
    {"R Finger41", 41}, {"R Finger02", 42}, {"R Finger12", 43}, {"R Finger22", 44},
    {"R Finger32", 45}, {"R Finger42", 46}, {"R Finger0", 32},  {"R Finger1", 33},
    {"R Finger2", 34},  {"R Finger3", 35},  {"R Finger4", 36},
};

// A bit per byte value modulo 64: a text holds a literal only if it holds the literal's bits.
constexpr std::uint64_t BytesMask(std::string_view text) {
    std::uint64_t mask = 0;
    for (char c : text) mask |= std::uint64_t{1} << (static_cast<unsigned char>(c) & 63);
    return mask;
}

constexpr auto LITERAL_MASKS = [] {
    std::array<std::uint64_t, std::size(BONE_TESTS)> masks{};
    for (std::size_t i = 0; i < masks.size(); ++i) masks[i] = BytesMask(BONE_TESTS[i].literal);
    return masks;
}();
}  // namespace

int ClassifyBone(std::string_view text, int& thighNamedLeg) {
    // Every node line is tested against every literal: most are ruled out without a search.
    std::uint64_t present = BytesMask(text);
    for (std::size_t i = 0; i < std::size(BONE_TESTS); ++i) {
        const BONE_TEST& test = BONE_TESTS[i];
        if ((LITERAL_MASKS[i] & ~present) != 0) continue;
        if (text.find(test.literal) == std::string_view::npos) continue;
        if (test.literal == "L Leg") thighNamedLeg = 1;
        if (test.literal == "L Thigh") thighNamedLeg = 0;
        return test.boneClass;
    }
    return 0;
}

BODY_SIDE SideOfBone(int boneClass) {
    if ((boneClass >= BONE_LEFT_CLAVICLE && boneClass <= BONE_LEFT_LAST_FINGER) ||
        (boneClass >= BONE_LEFT_THIGH && boneClass <= BONE_LEFT_TOE)) {
        return BODY_SIDE::LEFT;
    }
    if ((boneClass >= BONE_RIGHT_CLAVICLE && boneClass <= BONE_RIGHT_LAST_FINGER) ||
        (boneClass >= BONE_RIGHT_THIGH && boneClass <= BONE_RIGHT_LAST_TOE)) {
        return BODY_SIDE::RIGHT;
    }
    return BODY_SIDE::MIDDLE;
}

namespace {
constexpr std::string_view OTHER_ENGINE_PREFIX = "ValveBiped.";

std::string NodeLineText(std::string_view name, int parent) {
    std::string text;
    text.reserve(name.size() + 16);
    text += '"';
    text += name;
    text += "\" ";
    text += std::to_string(parent);
    return text;
}

bool OtherEngineSpelling(std::string_view name) {
    return name.find('_') != std::string_view::npos || name.starts_with(OTHER_ENGINE_PREFIX);
}

std::string HalfLifeSpelling(std::string_view name) {
    if (name.starts_with(OTHER_ENGINE_PREFIX)) name.remove_prefix(OTHER_ENGINE_PREFIX.size());
    std::string spelled(name);
    for (char& c : spelled) {
        if (c == '_') c = ' ';
    }
    return spelled;
}
}  // namespace

NODE_CLASS ClassifyNode(std::string_view name, int parent) {
    NODE_CLASS c;
    c.boneClass = ClassifyBone(NodeLineText(name, parent), c.naming);
    // Only a name that no literal finds is read again in Half-Life's spelling, so that every
    // name classed today keeps its class.
    if (c.boneClass == BONE_NONE && OtherEngineSpelling(name)) {
        c.boneClass = ClassifyBone(NodeLineText(HalfLifeSpelling(name), parent), c.naming);
    }
    return c;
}

std::string PairingName(std::string_view name, int parent) {
    int naming = NO_NAMING;
    if (OtherEngineSpelling(name) &&
        ClassifyBone(NodeLineText(name, parent), naming) == BONE_NONE) {
        return HalfLifeSpelling(name);
    }
    return std::string(name);
}

}  // namespace varnex
