// Writing the retargeted animation: the model's header, then every frame of the animation with one
// composed line per model node.
#pragma once

#include <string>
#include <vector>

#include "build/node_line.h"
#include "platform/file_access.h"
#include "platform/varnex_error.h"

struct BUILD_JOB {
    std::vector<std::string> header;  // the reference model's lines through "skeleton"
    std::vector<NODE_ROW> rows;       // one per model node written in each frame
    COMPOSE_CONTEXT context;
};

// Reads the animation from its skeleton block on (reader positioned just past "skeleton") and
// writes the header, each "time" line with its composed node lines, and "end" when the animation
// has one. Holds one frame at a time. Throws CVarnexError naming the file and line of the first
// problem; the caller discards what was written.
void WriteRetargetedAnimation(const BUILD_JOB& job, CLineReader& anim, COutputSink& out);

// The refusal of a file whose frames are not closed by "end", at the reader's last line.
CVarnexError MissingEnd(const CLineReader& reader);

// BUILD SMD's proposal for the output: the model's file name less its last four characters, cut
// just after its first "_", then the animation's file name ("knight_ref.smd" and "walk.smd" give
// "knight_walk.smd").
std::string DefaultOutputName(const std::string& refModelPath, const std::string& animPath);

// "time" and the frame number as the animation writes it; throws CVarnexError without a number.
std::string TimeLineText(std::string_view line, const std::string& source, int lineNumber);
