// BUILD SMD on several threads: the animation cut into segments of whole frames, each read and
// built by one worker while the others build theirs, and written in the animation's order.
#pragma once

#include <functional>
#include <memory>
#include <string_view>

#include "motion/motion_warning.h"
#include "platform/file_access.h"
#include "retarget/build_smd.h"
#include "smd_input/smd_reader.h"

namespace varnex {

// Writes what one thread writes (header, frames, "end"), the same bytes, the same refusal (the
// first problem in the file's order, with its line) and the same root heights, with
// job.threads workers, the calling thread one of them. An animation that fits one segment is
// built on the calling thread alone; the rest of one in which no frame starts for several
// segments is built by one worker, after every segment before it is written.
void WriteSegmentedAnimation(const BUILD_JOB& job, CLineReader& anim, COutputSink& out);

// What a worker builds the frames of its segments with; one per worker, used by one thread at a
// time.
class CSegmentBuilder {
public:
    virtual ~CSegmentBuilder() = default;
    // Reads frames from reader, writing them to out, up to the animation's "end" (written, with
    // the line end, and true) or the reader's end (false; when sourceEnds, the refusal of the
    // missing "end" instead); feeds heights and tears when not null. Throws CVarnexError naming
    // the line, counted by reader.
    virtual bool Build(CLineReader& reader, COutputSink& out, CRootHeightRange* heights,
                       CBoneTears* tears, bool sourceEnds) = 0;
};

// WriteSegmentedAnimation with the frames built by makeBuilder's builders: one made per worker
// before any thread starts, so that a refusal of the making comes first.
void WriteSegmentedFrames(const BUILD_JOB& job, CLineReader& anim, COutputSink& out,
                          const std::function<std::unique_ptr<CSegmentBuilder>()>& makeBuilder);

// Where the last frame of data starts: the start of the last complete line of data that opens a
// frame, other than one at 0 (0 when there is none). data starts at a line's start.
std::size_t LastFrameStart(std::string_view data);

}  // namespace varnex
