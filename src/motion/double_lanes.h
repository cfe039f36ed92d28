// Two doubles side by side in one of the processor's vector registers: the world method solves
// two frames at once in them. Each lane's operation is the IEEE one of a plain double, in the
// order written, so a lane holds exactly what the one-frame solve computes.
#pragma once

#if defined(__SSE2__) && defined(__GNUC__)
#include <emmintrin.h>

#define VARNEX_DOUBLE_LANES 1

namespace varnex {

// +, -, * and / act lane by lane.
using DOUBLE_LANES = __m128d;

struct VEC3_LANES {
    DOUBLE_LANES x, y, z;
};

struct MAT3_LANES {
    DOUBLE_LANES m[3][3];
};

}  // namespace varnex
#endif
