// Convert CS Bipede: hanging an animation's thighs from the spine.
#pragma once

#include <string>

#include "biped/bone_pose.h"
#include "platform/file_access.h"
#include "smd_input/smd_reader.h"

namespace varnex {

// What the conversion takes from the reference animation.
struct BIPED_NODES {
    int pelvis = -1;
    int spine = -1;
    int leftThigh = -1;
    int rightThigh = -1;
    BonePose restSpine;  // the spine's line in the first frame
};

// The last node-list line of each class (pelvis, spine, left and right thigh) and the spine's
// rest pose. Classifying records the left thigh's naming in thighNamedLeg. Throws CVarnexError
// saying which node or frame is missing.
BIPED_NODES FindBipedNodes(const SMD_HEAD& refAnim, bool& thighNamedLeg);

struct CONVERSION_RESULT {
    BonePose lastFrameSpine;  // the spine's pose in the last frame converted
};

// Copies the animation read by reader (from its start) to out, giving each thigh whose parent is
// not yet the spine the spine as parent and its frame lines relative to the spine's line of the
// same frame (the previous frame's when a frame has none; the rest pose before any). Other lines
// are copied; nothing behind the frames' "end" is. Throws CVarnexError naming the file and line
// of a problem, and when no thigh needs converting.
CONVERSION_RESULT WriteConvertedAnimation(const BIPED_NODES& nodes, CLineReader& reader,
                                          COutputSink& out, const std::string& lineEnd);

// The whole command on files: converts animPath into ConvertedPathOf(animPath) through a
// temporary file. The caller has checked that the converted path names no reference file.
CONVERSION_RESULT ConvertAnimationFile(const BIPED_NODES& nodes, const std::string& animPath,
                                       const std::string& lineEnd);

// The converted file's path: "New" before the file name's last four characters.
std::string ConvertedPathOf(const std::string& animPath);

// A node line with its parent field (its last field) replaced by parent, the field keeping its
// width where the number fits.
std::string ReplaceParent(std::string_view nodeLine, int parent);

}  // namespace varnex
