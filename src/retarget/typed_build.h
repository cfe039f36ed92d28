// BUILD SMD by the typed route for any retarget in memory: the frames CAnimationRetarget gives
// (either method, through the feet stage when asked) written as composed lines.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "motion/motion_setup.h"
#include "retarget/build_smd.h"

namespace varnex {

// A frame by the local method on typed poses, as BUILD SMD writes it: its "time" line, then row
// by row the rest line's text, or the position the method made (result, by row) and the
// rotation text of the source line the row reads.
void AppendLocalFrame(std::string& out, std::string_view timeText, std::span<const ROW_PLAN> plans,
                      std::span<const POSE> result, const CFrameTexts& source,
                      std::string_view lineEnd);

// The model's header (job.model), every frame of the animation at animPath retargeted by setup,
// its rows written with job.lineEnd, then "end"; written to outputPath through a temporary file
// renamed over it only when complete. The local method without a stage writes the source's
// rotation texts and the rest lines' (AppendLocalFrame): the bytes BUILD SMD's byte route
// writes; otherwise every value is composed (CPoseLines). Feeds job.rootHeights, when set,
// with row 0's heights. Gives the animation's nodes that no row reads. Throws CVarnexError as
// CAnimationRetarget does; outputPath is then untouched. The caller has checked that outputPath
// names no input.
std::vector<std::string> RetargetAnimationFileTyped(const BUILD_JOB& job, const MOTION_SETUP& setup,
                                                    const std::string& animPath,
                                                    const std::string& outputPath);

}  // namespace varnex
