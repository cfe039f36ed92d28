// A skeleton's rest pose (its first frame) read once by the importer: each line's fields as the
// file wrote them and their values. Its readers (the bone scales, the build's rest lines, the
// motion code, Convert CS Bipede) take values and texts from here and ask only for the checks
// their use needs, each keeping its own message for a bad line.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace varnex {

struct FRAME_LINE;

struct REST_POSE_LINE {
    std::string text;  // the line as read
    int lineNumber = 0;
    bool complete = false;  // seven fields or more: the fields and values below are read
    std::array<std::string, 7> fields;  // node number, x, y, z, rx, ry, rz as written
    std::array<double, 6> values{};     // x, y, z, rx, ry, rz by atof's rule (TextToDouble)

    std::string_view Field(int n) const { return fields[static_cast<std::size_t>(n)]; }
    // Throws CVarnexError (source, line) as ParseFrameFields does for a line of fewer fields.
    void RequireComplete(const std::string& source) const;
    // Fields first to last (1: x ... 6: rz) must be decimal numbers: NOT_A_NUMBER names the first
    // that is not. Implies RequireComplete.
    void RequireDecimal(int first, int last, const std::string& source) const;
    // As a frame line of an animation is read: positions that atof's rule reads whole, decimal
    // rotations. Implies RequireComplete.
    void RequireNumbers(const std::string& source) const;
};

// The lines of a first frame, in order (as the reader keyed them).
struct REST_POSE {
    std::vector<REST_POSE_LINE> lines;
};
REST_POSE ReadRestPose(const std::vector<FRAME_LINE>& lines);

}  // namespace varnex
