// BUILD SMD by the typed route for any retarget in memory: the frames CAnimationRetarget gives
// (either method, through the feet stage when asked) written as composed lines.
#pragma once

#include <string>
#include <vector>

#include "motion/motion_setup.h"
#include "retarget/build_smd.h"

namespace varnex {

// The model's header (job.model), every frame of the animation at animPath retargeted by setup,
// its rows written as AppendPoseFrame writes them with job.lineEnd, then "end"; written to
// outputPath through a temporary file renamed over it only when complete. Feeds job.rootHeights,
// when set, with row 0's heights. Gives the animation's nodes that no row reads. Throws
// CVarnexError as CAnimationRetarget does; outputPath is then untouched. The caller has checked
// that outputPath names no input.
std::vector<std::string> RetargetAnimationFileTyped(const BUILD_JOB& job, const MOTION_SETUP& setup,
                                                    const std::string& animPath,
                                                    const std::string& outputPath);

}  // namespace varnex
