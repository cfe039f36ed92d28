// Conversion files: the grid's rows as records of a node byte and a little-endian double.
#pragma once

#include <string>
#include <string_view>

#include "pairing/grid.h"

namespace varnex {

constexpr int CON_RECORD_BYTES = 9;
constexpr int CON_FILE_BYTES = DEFAULT_GRID_ROWS * CON_RECORD_BYTES;  // 540, no header

// The 540 bytes of the grid's first 60 rows: the low 8 bits of NODES, then the correction.
// Throws CVarnexError naming the row when a correction is not finite.
std::string ComposeConFile(const GRID& grid);

// Rows 0 to 59 from the first 540 bytes. Throws CVarnexError naming source when it is shorter,
// or the row whose correction is not finite.
GRID ReadConFile(std::string_view bytes, const std::string& source);

}  // namespace varnex
