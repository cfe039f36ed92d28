// Conversion files: the grid's 60 rows as 60 records of a node byte and a little-endian double.
#pragma once

#include <string>
#include <string_view>

#include "platform/dialog_platform.h"

constexpr int CON_RECORD_BYTES = 9;
constexpr int CON_FILE_BYTES = 60 * CON_RECORD_BYTES;  // 540, no header

// One row as it is stored.
struct CON_RECORD {
    unsigned char node;  // low 8 bits of the NODES text's integer
    double correction;   // the Correction text's number
};

// The 540 bytes of a grid. Throws CVarnexError naming the row when a Correction is not finite.
std::string ComposeConFile(const GRID_TEXTS& nodeText, const GRID_TEXTS& correctionText);

// Rows 0 to 59 from the first 540 bytes: node byte as decimal text, correction by DecimalText.
// Throws CVarnexError naming source when it is shorter, or the row whose correction is not finite;
// the texts are then unchanged.
void ReadConFile(std::string_view bytes, const std::string& source, GRID_TEXTS& nodeText,
                 GRID_TEXTS& correctionText);
