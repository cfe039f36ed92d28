// BUILD SMD by the world method: frames read into typed poses, solved one by one, and written as
// composed lines.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "motion/motion_types.h"
#include "retarget/build_smd.h"
#include "smd_input/smd_reader.h"

namespace varnex {

// One frame line from a typed pose: the node number as BUILD SMD writes it (right-aligned in
// three columns), then the position and the angles in BUILD SMD's number form for composed
// values, single spaces between them.
void AppendPoseLine(std::string& out, int row, const POSE& pose, std::string_view lineEnd);
// A whole frame: its "time" line, then a line per pose, row by row.
void AppendPoseFrame(std::string& out, std::string_view timeText, std::span<const POSE> poses,
                     std::string_view lineEnd);

// The whole command by the world method: the model's header, then every frame of the animation
// at animPath retargeted by CWorldRetarget onto job.model's skeleton from refAnim's (the
// reference animation: node list and first frame) with job.rows, then "end"; written to
// outputPath through a temporary file renamed over it only when complete. Uses job.model,
// job.rows, job.lineEnd, job.threads and job.segmentBytes (the animation cut into segments of
// whole frames, each read, solved and written by one worker, as the default method's build does;
// the bytes are the same for any number) and, when set, feeds job.rootHeights with row 0's
// heights; the rest of the job is the local build's. Gives the animation's nodes that no row
// reads. Throws CVarnexError as CAnimationRetarget does, naming the file and line; outputPath is
// then untouched. The caller has checked that outputPath names no input.
std::vector<std::string> RetargetAnimationFileByWorld(const BUILD_JOB& job, const SMD_HEAD& refAnim,
                                                      const std::string& animPath,
                                                      const std::string& outputPath);

}  // namespace varnex
