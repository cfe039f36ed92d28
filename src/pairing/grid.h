// The node mapping grid as the engine holds it: one row per model node written in each frame.
#pragma once

#include <vector>

namespace varnex {

// The grid's rows when the model has no more nodes than that.
constexpr int DEFAULT_GRID_ROWS = 60;
// A NODES value of BLEND_OFFSET + n blends source node n with the model's rest position.
constexpr int BLEND_OFFSET = 100;
// The most nodes the model compiler accepts in a skeleton.
constexpr int MODEL_COMPILER_MAX_NODES = 128;

// Where a row's line comes from: the reference model's rest line, or source line n.
constexpr int REST_LINE = -1;
// n for a driven row (0 for NODES below 0), REST_LINE for rows other than 0 whose n is 0.
inline int SourceLineOf(int row, int nodes) {
    int n = nodes >= BLEND_OFFSET ? nodes - BLEND_OFFSET : nodes;
    if (n == 0 && row != 0) return REST_LINE;
    return n > 0 ? n : 0;
}

// A row's scaled source position corrected: times the correction c, or with blending weighed
// against the rest position (x0, y0, z0) by c. The build and the in-memory retarget both call it,
// so their values agree to the last bit.
inline void CorrectPosition(double& x, double& y, double& z, double c, bool blend, double x0,
                            double y0, double z0) {
    double w = 1.0 - c;
    if (blend) {
        x = x * w + x0 * c;
        y = y * w + y0 * c;
        z = z * w + z0 * c;
    } else {
        x = c * x;
        y = c * y;
        z = c * z;
    }
}

// A grid row as every retarget reads it: NODES (a source node; plus BLEND_OFFSET to blend with
// the model's rest position; 0 on rows other than 0 keeps the model's rest line; below 0 reads as
// 0), the Correction and the row's bone scale.
struct RETARGET_ROW {
    int nodes = 0;
    double correction = 1.0;
    double boneScale = 1.0;
};

struct GRID_ROW {
    int nodes = 0;            // source node; + BLEND_OFFSET to blend; 0 on rows but 0: rest line
    double correction = 1.0;  // factor, or with blending the weight of the rest position
};
using GRID = std::vector<GRID_ROW>;

// What the pairing marks for the bone scales and Convert CS Bipede; -1 is no node, which no row
// matches.
struct BIPED_MARKS {
    int leftThigh = -1;
    int rightThigh = -1;
    int spine = -1;
    bool thighNamedLeg = false;  // the left thigh last classified was named "L Leg"
};

}  // namespace varnex
