// One output node line of a frame, made from the grid row of its target node.
#pragma once

#include <string>
#include <vector>

#include "motion/frame_retarget.h"
#include "pairing/grid.h"
#include "smd_input/smd_reader.h"

namespace varnex {

// A grid row as BUILD SMD reads it.
struct NODE_ROW {
    int nodes = 0;            // NODES value: source line, plus 100 to blend with the rest position
    double correction = 1.0;  // factor, or with blending the weight of the rest position
    double boneScale = 1.0;
};

// Where a row's line comes from: the reference model's rest line, or frame line n.
constexpr int REST_LINE = -1;
// n for a driven row (0 for NODES below 0), REST_LINE for rows other than 0 whose n is 0.
int SourceLineOf(int row, int nodes);

// What every line of one build shares.
struct COMPOSE_CONTEXT {
    std::string animSource;               // for messages
    std::string modelSource;
    const std::vector<FRAME_LINE>* refLines = nullptr;  // the reference model's first frame
    std::string lineEnd = "\r\n";
    const ROOT_FROM_LEGS* rootFromLegs = nullptr;  // row 0 follows the legs (--root-motion legs)
};

// A frame of the animation as the build holds it: its lines 0 to size - 1.
struct FRAME_VIEW {
    const std::vector<FRAME_LINE>* lines = nullptr;
    std::size_t size = 0;
    std::string timeText;  // the "time" line as read, for messages
    int timeLineNumber = 0;
};

// A skeleton line in the written form: node number right-aligned in three columns, then the six
// fields as they stand, single spaces between them.
std::string NormalizedFrameLine(const FRAME_FIELDS& fields);

// What a row does in every frame, worked out once per build.
struct ROW_PLAN {
    int row = 0;
    NODE_ROW setting;
    int source = 0;          // frame line, or REST_LINE
    bool blend = false;
    double x0 = 0.0, y0 = 0.0, z0 = 0.0;  // the rest position, for blending
    std::string prefix;      // the node number in three columns and a space
    std::string restText;    // the whole rest line with its line end, for REST_LINE
    bool rootFromLegs = false;  // row 0 only: the rule below takes the place of the bone scale
    ROOT_FROM_LEGS root;
};
// Row 0's height as read from the source line and as written, for the build's root check.
struct ROOT_HEIGHT {
    double read = 0.0;
    double written = 0.0;
};
// Throws CVarnexError when the row needs a rest line the model does not have.
ROW_PLAN PlanRow(int row, const NODE_ROW& setting, const COMPOSE_CONTEXT& context);
// height, when given, receives the line's height as read and as written (not for REST_LINE).
void ComposePlannedLine(const ROW_PLAN& plan, const FRAME_VIEW& frame,
                        const COMPOSE_CONTEXT& context, std::string& out,
                        ROOT_HEIGHT* height = nullptr);

// Appends row's line for the frame to out: the rest line of the reference model, or the source
// line's position scaled by boneScale and corrected, with the source's rotation text. Throws
// CVarnexError naming the file and line when a line it needs is missing, malformed or gives a
// position that is not a finite number.
void ComposeNodeLine(int row, const NODE_ROW& setting, const FRAME_VIEW& frame,
                     const COMPOSE_CONTEXT& context, std::string& out);

// The reference model's first-frame line of node i; throws CVarnexError when there is none.
const FRAME_LINE& ReadReferenceLine(int node, const COMPOSE_CONTEXT& context);

}  // namespace varnex
