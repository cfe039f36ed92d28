// One output node line of a frame, made from the grid row of its target node.
#pragma once

#include <string>
#include <vector>

#include "motion/frame_retarget.h"
#include "pairing/grid.h"
#include "smd_input/smd_reader.h"

namespace varnex {

// What every line of one build shares.
struct COMPOSE_CONTEXT {
    std::string animSource;               // for messages
    std::string modelSource;
    const REST_POSE* rest = nullptr;  // the reference model's first frame
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

// A short text held in a fixed array, so that the fast route copies it in one fixed-size move.
struct PADDED_TEXT {
    char bytes[16] = {};
    std::size_t size = 0;
};
// False, leaving padded empty, when text is longer than the array.
bool MakePaddedText(std::string_view text, PADDED_TEXT& padded);

// What a row does in every frame, worked out once per build: its rule, and the texts it writes.
struct ROW_PLAN : ROW_RULE {
    std::string prefix;      // the node number in three columns and a space
    PADDED_TEXT paddedPrefix;
    std::string restText;    // the whole rest line with its line end, for REST_LINE
    // Scale, correction and rest position are small enough that no usual source position can
    // give a position that is not finite: the fast route then needs no check.
    bool finiteForUsual = false;
};
using POSITION = VEC3;
// Throws CVarnexError when the row needs a rest line the model does not have.
ROW_PLAN PlanRow(const DECODED_ROW& row, const COMPOSE_CONTEXT& context);
void ComposePlannedLine(const ROW_PLAN& plan, const FRAME_VIEW& frame,
                        const COMPOSE_CONTEXT& context, std::string& out);
// The general route for a driven row whose source line is source: splits it, checks it and
// appends the row's line to out; gives the position written. Throws CVarnexError as
// ComposeNodeLine does.
POSITION ComposeFromSourceLine(const ROW_PLAN& plan, const FRAME_LINE& source,
                           const COMPOSE_CONTEXT& context, std::string& out);

// The fast route, for a row with finiteForUsual and a source line in the usual form: the row's
// line, the same bytes as the general route gives.
// Room WriteUsualNodeLine needs at out; source.rotation must have USUAL_ROTATION_ROOM readable
// bytes (it copies them all and keeps its own).
constexpr std::size_t USUAL_ROTATION_ROOM = 64;
constexpr std::size_t USUAL_NODE_LINE_ROOM = 16 + 3 * 16 + 3 + USUAL_ROTATION_ROOM + 16;
static_assert(USUAL_ROTATION_BYTES <= USUAL_ROTATION_ROOM);
// Writes the line of a usual source line at out, from the row's position p (CorrectedPosition of
// the source's) and the source's rotation block, and returns its end; nullptr when a position
// needs the general formatting (AppendUsualNodeLine then writes it).
char* WriteUsualNodeLine(const ROW_PLAN& plan, const POSITION& p, std::string_view rotation,
                         const PADDED_TEXT& lineEnd, char* out);
void AppendUsualNodeLine(const ROW_PLAN& plan, const POSITION& p, std::string_view rotation,
                         std::string_view lineEnd, std::string& out);

// Appends row's line for the frame to out: the rest line of the reference model, or the source
// line's position scaled by boneScale and corrected, with the source's rotation text. Throws
// CVarnexError naming the file and line when a line it needs is missing, malformed or gives a
// position that is not a finite number.
void ComposeNodeLine(int row, const RETARGET_ROW& setting, const FRAME_VIEW& frame,
                     const COMPOSE_CONTEXT& context, std::string& out);

// The reference model's first-frame line of node i; throws CVarnexError when there is none.
const REST_POSE_LINE& ReadReferenceLine(int node, const COMPOSE_CONTEXT& context);

}  // namespace varnex
