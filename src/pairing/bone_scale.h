// Bone-length factors: how much longer each model bone is than the bone that drives it.
#pragma once

#include <vector>

#include "pairing/grid.h"
#include "smd_input/smd_reader.h"

namespace varnex {

struct BONE_SCALES {
    std::vector<double> factor;  // rows 0 to rows - 1
    double spineLength = 0.0;    // the reference spine's length, with the "L Leg" naming
};

// Row i of the first rows: length of the model's first-frame line i over the length of the
// reference animation's first-frame line n (the row's NODES; n <= 0 takes line 0). With the
// "L Leg" naming, a thigh's reference length also counts the spine's. Zero reference length
// gives 0; rows other than 0 paired with node 0 get 1. Throws CVarnexError naming the file, the
// line or row, when a line it needs is missing or malformed, or a length is not finite.
BONE_SCALES ComputeBoneScales(const SMD_HEAD& model, const SMD_HEAD& refAnim, const GRID& grid,
                              int rows, const BIPED_MARKS& marks);

// sqrt(x*x + y*y + z*z) of a first-frame line; throws CVarnexError when it is not finite.
double OffsetLength(const REST_POSE_LINE& line, const std::string& source);

}  // namespace varnex
