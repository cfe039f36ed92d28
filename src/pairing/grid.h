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
