// The node mapping grid as the engine holds it: one row per model node written in each frame.
#pragma once

#include <cstddef>
#include <span>
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

// A grid row's values as given: NODES (a source node; plus BLEND_OFFSET to blend with the model's
// rest position; 0 on rows other than 0 keeps the model's rest line; below 0 reads as 0), the
// Correction and the row's bone scale. DecodeRow reads them.
struct RETARGET_ROW {
    int nodes = 0;
    double correction = 1.0;
    double boneScale = 1.0;
};

// A grid row decoded once, where the grid is taken in: its values as given, and which line it
// reads and how. Every reader of the rows takes these, so that a NODES value has one meaning.
struct DECODED_ROW : RETARGET_ROW {
    int row = 0;
    int source = REST_LINE;  // n for a driven row (0 for NODES below 0), else REST_LINE
    bool blend = false;      // NODES + BLEND_OFFSET: weighed against the model's rest position
};

// The one reading of a NODES value: n is NODES less BLEND_OFFSET when blended; a row other than
// 0 whose n is 0 keeps the model's rest line.
inline DECODED_ROW DecodeRow(int row, const RETARGET_ROW& setting) {
    DECODED_ROW decoded;
    static_cast<RETARGET_ROW&>(decoded) = setting;
    decoded.row = row;
    decoded.blend = setting.nodes >= BLEND_OFFSET;
    int n = decoded.blend ? setting.nodes - BLEND_OFFSET : setting.nodes;
    decoded.source = n == 0 && row != 0 ? REST_LINE : n > 0 ? n : 0;
    return decoded;
}
inline std::vector<DECODED_ROW> DecodeRows(std::span<const RETARGET_ROW> rows) {
    std::vector<DECODED_ROW> decoded;
    decoded.reserve(rows.size());
    for (std::size_t r = 0; r < rows.size(); ++r) {
        decoded.push_back(DecodeRow(static_cast<int>(r), rows[r]));
    }
    return decoded;
}
// Row `row` of rows, a default row (NODES 0) past their end.
inline DECODED_ROW RowAt(std::span<const DECODED_ROW> rows, std::size_t row) {
    return row < rows.size() ? rows[row] : DecodeRow(static_cast<int>(row), RETARGET_ROW{});
}

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
