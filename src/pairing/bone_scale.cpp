#include "pairing/bone_scale.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "platform/varnex_error.h"
#include "smd_input/number_text.h"

namespace varnex {

namespace {
// The first-frame line at ordinal; kind and what say who asked, for the message.
const REST_POSE_LINE& Frame0Line(const SMD_HEAD& head, int ordinal, ERROR_KIND kind,
                                 std::vector<std::string> what) {
    const std::vector<REST_POSE_LINE>& lines = head.rest.lines;
    if (ordinal < 0 || static_cast<std::size_t>(ordinal) >= lines.size()) {
        what.push_back(head.frame0Time);
        what.push_back(std::to_string(lines.size()));
        what.push_back(std::to_string(ordinal));
        throw CVarnexError(kind, head.source, head.frame0TimeLine, std::move(what));
    }
    return lines[static_cast<std::size_t>(ordinal)];
}
}  // namespace

double OffsetLength(const REST_POSE_LINE& line, const std::string& source) {
    line.RequireComplete(source);
    double x = line.values[0];
    double y = line.values[1];
    double z = line.values[2];
    double length = std::sqrt(x * x + y * y + z * z);
    if (!std::isfinite(length)) {
        throw CVarnexError(ERROR_KIND::LENGTH_NOT_FINITE, source, line.lineNumber,
                           {line.fields[1], line.fields[2], line.fields[3]});
    }
    return length;
}

BONE_SCALES ComputeBoneScales(const SMD_HEAD& model, const SMD_HEAD& ref, const GRID& grid,
                              int rows, const BIPED_MARKS& marks) {
    BONE_SCALES out;
    RequireFrame0(model);
    RequireFrame0(ref);

    if (marks.thighNamedLeg && marks.spine >= 0) {
        const REST_POSE_LINE& spine = Frame0Line(ref, marks.spine, ERROR_KIND::FRAME0_NO_LINE_FOR_SPINE,
                                             {std::to_string(marks.spine)});
        out.spineLength = OffsetLength(spine, ref.source);
    }

    rows = std::max(0, std::min(rows, static_cast<int>(grid.size())));
    out.factor.assign(static_cast<std::size_t>(rows), 0.0);
    for (int i = 0; i < rows; ++i) {
        int n = grid[static_cast<std::size_t>(i)].nodes;
        std::string row = std::to_string(i);
        double lm = OffsetLength(
            Frame0Line(model, i, ERROR_KIND::FRAME0_NO_LINE_FOR_NODE, {row}), model.source);
        double la = OffsetLength(Frame0Line(ref, n > 0 ? n : 0, ERROR_KIND::FRAME0_NO_LINE_FOR_ROW,
                                            {row, std::to_string(n)}),
                                 ref.source);
        // -1 is no node: a typed -1 must not pass for a missing thigh.
        if (n >= 0 && (n == marks.leftThigh || n == marks.rightThigh)) {
            la = std::sqrt(la * la + out.spineLength * out.spineLength);
        }
        double factor = la == 0.0 ? 0.0 : lm / la;
        if (n == 0 && i != 0) factor = 1.0;
        if (!std::isfinite(factor)) {
            throw CVarnexError(ERROR_KIND::SCALE_NOT_FINITE, ref.source, 0, {row});
        }
        out.factor[static_cast<std::size_t>(i)] = factor;
    }
    return out;
}

}  // namespace varnex
