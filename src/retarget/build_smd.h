// BUILD SMD: the model's header, then every frame of the animation with one composed line per
// grid row.
#pragma once

#include <string>
#include <vector>

#include "motion/frame_retarget.h"
#include "motion/motion_warning.h"
#include "pairing/animation_nodes.h"
#include "platform/file_access.h"
#include "retarget/node_line.h"
#include "smd_input/smd_reader.h"

namespace varnex {

struct BUILD_JOB {
    const SMD_HEAD* model = nullptr;  // the reference model: header lines and first frame
    // The animation's node list matched to the reference animation's (MapAnimationNodes): the
    // node numbers its frame lines are keyed by, and where each NODES value's node stands.
    const ANIMATION_NODES* animNodes = nullptr;
    std::vector<DECODED_ROW> rows;  // one per model node written in each frame
    std::string lineEnd = "\r\n";
    // Every line by the general route, as tests and the fuzzer check the fast one against it.
    bool generalRouteOnly = false;
    const ROOT_FROM_LEGS* rootFromLegs = nullptr;  // row 0 follows the legs (--root-motion legs)
    CRootHeightRange* rootHeights = nullptr;       // fed with row 0's heights in every frame
    // Fed with the rows, other than 0, whose written offset is torn from the model's rest line in
    // some frame: a few products a row, so the build stays as fast.
    CBoneTears* boneTears = nullptr;
    // Worker threads building segments of whole frames while the next is read; 1: the calling
    // thread alone.
    int threads = 1;
    std::size_t segmentBytes = 128 << 10;  // the animation's bytes a worker takes at a time
};

// The threads a build takes on this machine: one per processor, at most four.
int BuildThreads();

// The rows of a build: the grid's first rowCount rows with their bone scales, decoded.
std::vector<DECODED_ROW> BuildRows(const GRID& grid, const std::vector<double>& boneScale,
                                   int rowCount);

// Reads the animation from its skeleton block on (reader positioned just past "skeleton") and
// writes the header, each "time" line with its composed node lines, and "end". Holds what the
// rows read of one frame at a time (one segment per thread with job.threads), and writes in
// blocks of about 64 KB. Throws CVarnexError naming the file and line of the first problem; the
// caller discards what was written.
void WriteRetargetedAnimation(const BUILD_JOB& job, CLineReader& anim, COutputSink& out);

// Writes outputPath through a temporary file renamed over it only when complete, from an
// animation whose head the reader has just read. The caller has checked that outputPath names no
// input.
void RetargetAnimation(const BUILD_JOB& job, CLineReader& anim, const std::string& outputPath);

// The whole command on files: reads the animation at animPath, matches its node list to
// refNodes (the reference animation's) and writes outputPath through a temporary file, renamed
// over it only when complete. Gives the match, whose unused nodes a front end names. The caller
// has checked that outputPath names no input.
ANIMATION_NODES RetargetAnimationFile(const BUILD_JOB& job, const std::vector<SMD_NODE>& refNodes,
                                      const std::string& animPath, const std::string& outputPath);

// BUILD SMD's proposal for the output: the model's file name less its last four characters, cut
// just after its first "_", then the animation's file name ("knight_ref.smd" and "walk.smd" give
// "knight_walk.smd").
std::string DefaultOutputName(const std::string& refModelPath, const std::string& animPath);

}  // namespace varnex
