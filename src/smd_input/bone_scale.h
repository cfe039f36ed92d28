// Bone-length factors: how much longer each model bone is than the bone that drives it.
#pragma once

#include "platform/dialog_platform.h"
#include "smd_input/smd_reader.h"

constexpr int NODE_ROWS = 60;

struct BONE_SCALE_INPUT {
    int nodeCount = 0;                  // rows 0 to nodeCount - 1 get a factor
    const GRID_TEXTS* nodeText = nullptr;
    const SMD_HEAD* model = nullptr;    // with its first frame
    const SMD_HEAD* refAnim = nullptr;  // with its first frame
    int leftThighNode = -1;             // -1: none found
    int rightThighNode = -1;
    int spineNode = -1;
    bool thighNamedLeg = false;
};

struct BONE_SCALE_RESULT {
    double boneScale[NODE_ROWS] = {};
    bool scaled[NODE_ROWS] = {};  // rows whose factor was computed
    double spineLength = 0.0;
};

// Row i: length of the model's first-frame line i over the length of the reference animation's
// first-frame line n (its NODES value; n <= 0 takes line 0). With the "L Leg" naming, a thigh's
// reference length also counts the spine's. Zero reference length gives 0; rows other than 0
// paired with node 0 get 1. Throws CVarnexError naming the file, the line or row, when a line
// it needs is missing or malformed, or a length is not finite.
BONE_SCALE_RESULT ComputeBoneScales(const BONE_SCALE_INPUT& input);

// sqrt(x*x + y*y + z*z) of a first-frame line; throws CVarnexError when it is not finite.
double OffsetLength(const FRAME_LINE& line, const std::string& source);
