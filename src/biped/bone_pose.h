// The six values of one skeleton line of a frame.
#pragma once

#include <string>
#include <string_view>

namespace varnex {

struct BonePose {
    double x = 0.0, y = 0.0, z = 0.0;     // position relative to the parent
    double rx = 0.0, ry = 0.0, rz = 0.0;  // rotation relative to the parent, radians
};

// The pose of a skeleton line: its fields 2 to 7 by the atof rule. Throws CVarnexError (source,
// line) when the line has fewer than seven fields.
BonePose ParseBonePose(std::string_view line, const std::string& source = std::string(),
                       int lineNumber = 0);

// The thigh line re-expressed relative to the spine: position less the spine's in this frame,
// rotation less the spine's turn from its rest rotation, each angle brought back once into
// +-3.14159. Written as the node number in three columns and six DecimalText values, without a
// line end. Throws CVarnexError when the line is malformed or a value is not finite.
std::string TransformThighLine(std::string_view line, const BonePose& frameSpine,
                               const BonePose& restSpine, const std::string& source = std::string(),
                               int lineNumber = 0);

}  // namespace varnex
