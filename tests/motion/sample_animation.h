// The project's sample SMD files as the motion code takes them, and the grid a pairing by bone
// class would give them.
#pragma once

#include <string>
#include <vector>

#include "motion/frame_retarget.h"
#include "motion/motion_check.h"
#include "motion/motion_warning.h"
#include "motion/motion_check.h"
#include "motion/smd_poses.h"

namespace varnex {

using SAMPLE_ANIMATION = ANIMATION_POSES;

// A file of samples/, read by the engine's own reader.
inline SAMPLE_ANIMATION ReadSample(const std::string& name) {
    return ReadAnimationPoses(std::string(VARNEX_SOURCE_DIR) + "/samples/" + name);
}

// The rows the pairing gives the two skeletons, as SMD Ref Modele and SMD Ref Animation of their
// first frames would.
std::vector<RETARGET_ROW> PairByClass(const SAMPLE_ANIMATION& model,
                                      const SAMPLE_ANIMATION& source);

// Retargets anim (on ref's skeleton) onto model frame by frame in memory, as check does, and
// gives the check's report named name; buildCheck, when given, is fed row 0's heights as the
// build feeds its root check.
MOTION_REPORT CheckRetarget(const SAMPLE_ANIMATION& model, const SAMPLE_ANIMATION& ref,
                            const SAMPLE_ANIMATION& anim, const std::vector<RETARGET_ROW>& rows,
                            bool rootFromLegs, CRootHeightRange* buildCheck = nullptr,
                            const std::string& name = "generated.smd");

}  // namespace varnex
