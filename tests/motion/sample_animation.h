// The project's sample SMD files as the motion code takes them, and the grid a pairing by bone
// class would give them.
#pragma once

#include <string>
#include <vector>

#include "motion/frame_retarget.h"
#include "motion/motion_types.h"

namespace varnex {

struct SAMPLE_ANIMATION {
    std::vector<SKELETON_NODE> nodes;
    std::vector<FRAME_POSES> frames;
};

// Reads a well-formed SMD of samples/ (or tests/expected/ with dir "tests/expected"); throws
// std::runtime_error when the file cannot be read.
SAMPLE_ANIMATION ReadSample(const std::string& name, const std::string& dir = "samples");

// Each model node takes the first source node of its class, class 0 the source's node 0;
// corrections 1, bone scales the ratio of rest position lengths (1 for a row kept at rest).
std::vector<RETARGET_ROW> PairByClass(const SAMPLE_ANIMATION& model,
                                      const SAMPLE_ANIMATION& source);

}  // namespace varnex
