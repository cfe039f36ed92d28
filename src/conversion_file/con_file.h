// Conversion files: the grid's rows as records of a node byte and a little-endian double.
#pragma once

#include <string>
#include <string_view>

#include "pairing/grid.h"

namespace varnex {

constexpr int CON_RECORD_BYTES = 9;
constexpr int CON_FILE_BYTES = DEFAULT_GRID_ROWS * CON_RECORD_BYTES;  // 540, no header

// One record per row, at least 60 (540 bytes): the low 8 bits of NODES, then the correction.
// Throws CVarnexError naming the row when a correction is not finite.
std::string ComposeConFile(const GRID& grid);

// Every whole record of the file, 60 at least; the bytes of a last partial record are ignored.
// Throws CVarnexError naming source when it is shorter than 540 bytes, or the row whose correction
// is not finite.
GRID ReadConFile(std::string_view bytes, const std::string& source);

struct CON_FILE_ROWS {
    GRID rows;        // the file's first rows, as many as the grid has (60 at least)
    int leftOut = 0;  // whole records of the file beyond the grid's rows
};
// Load Con file on a grid of gridRows rows: reads the records the grid has room for, and counts
// the others without reading them. Throws CVarnexError naming path as ReadConFile does, or when
// the file cannot be read.
CON_FILE_ROWS ReadConFileFor(const std::string& path, int gridRows);

}  // namespace varnex
