// Retargeting frames in memory, by the same arithmetic as the written animation, so that the
// motion can be measured and drawn without a file.
#pragma once

#include <cmath>
#include <span>
#include <string>
#include <vector>

#include "motion/motion_types.h"
#include "pairing/grid.h"
#include "platform/varnex_error.h"

namespace varnex {

// Root motion from the legs: the model's rest root position plus the legs' ratio times the
// source root's displacement from its own rest position. It takes the place of "position times
// bone scale" on row 0 only; Correction, blend and rotation then apply as on any row.
struct ROOT_FROM_LEGS {
    double legsRatio = 1.0;
    VEC3 sourceRest;  // row 0's source line in the source skeleton's rest frame
    VEC3 modelRest;   // the model's rest line 0
};
// One coordinate of the rule, in the one order of operations every caller must share.
inline double RootCoordinateFromLegs(double source, double sourceRest, double modelRest,
                                     double legsRatio) {
    return modelRest + legsRatio * (source - sourceRest);
}
VEC3 RootPositionFromLegs(const ROOT_FROM_LEGS& rule, double x, double y, double z);
// The rule for row 0 reading line `rowZeroNodes` names, from the two rest frames; false (rule
// untouched) when either rest frame lacks the line it needs.
bool MakeRootFromLegs(double legsRatio, std::span<const POSE> sourceRest,
                      std::span<const POSE> modelRest, int rowZeroNodes, ROOT_FROM_LEGS& rule);

// What a retarget throws for a row it cannot make. The retarget reads poses in memory: the
// error names no file; a caller that read them from one names its file and line from the row and
// the frame line concerned (FrameLine: the source line, or for the model's rest the row).
// NO_REST_LINE {lines, row}; POSITION_NOT_FINITE {x, y, z, row} of the pose read;
// FRAME_TOO_SHORT_FOR_ROW {"", row, NODES, line, lines}.
class CRowError : public CVarnexError {
public:
    CRowError(ERROR_KIND kind, int row, int frameLine, std::vector<std::string> values)
        : CVarnexError(kind, std::string(), 0, std::move(values)), m_row(row), m_line(frameLine) {}
    int Row() const { return m_row; }
    int FrameLine() const { return m_line; }

private:
    int m_row;
    int m_line;
};
[[noreturn]] void ThrowFrameTooShort(int row, int nodes, int line, std::size_t lines);
// pose is the one read: the source's for a driven row, the model's rest for a rest row.
[[noreturn]] void ThrowNotFinite(int row, int line, const POSE& pose);
// The model's rest frame of `lines` lines lacks row's line.
[[noreturn]] void ThrowNoRestLine(int row, std::size_t lines);
// Every frame's every row asks: inline.
inline bool IsFinitePose(const POSE& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z) && std::isfinite(p.rx) &&
           std::isfinite(p.ry) && std::isfinite(p.rz);
}

// A grid row as every retarget works it, made once per build: the row decoded, with what the
// retarget adds to it.
struct ROW_RULE : DECODED_ROW {
    VEC3 rest;                  // the model's rest position, for blending
    bool rootFromLegs = false;  // row 0 only: the rule below takes the place of the bone scale
    ROOT_FROM_LEGS root;
};
// rest is left at the origin; rootFromLegs, when given, applies to row 0.
ROW_RULE MakeRowRule(const DECODED_ROW& row, const ROOT_FROM_LEGS* rootFromLegs);

// A driven row's position from its source position: row 0 by the legs' rule when it follows
// them, else times the bone scale; then corrected. Every route computes it here, so that their
// values agree to the last bit.
inline VEC3 CorrectedPosition(const ROW_RULE& rule, double x, double y, double z) {
    if (rule.rootFromLegs) {
        VEC3 p = RootPositionFromLegs(rule.root, x, y, z);
        x = p.x;
        y = p.y;
        z = p.z;
    } else {
        double s = rule.boneScale;
        x = x * s;
        y = y * s;
        z = z * s;
    }
    CorrectPosition(x, y, z, rule.correction, rule.blend, rule.rest.x, rule.rest.y, rule.rest.z);
    return VEC3{x, y, z};
}

// The rows of one retarget, planned once and applied to any number of source frames.
class CFrameRetarget {
public:
    // rows beyond rows.size() up to nodeCount are default rows (NODES 0: the rest line).
    // rootFromLegs, when given, replaces row 0's bone scale. Throws CRowError for the first row,
    // in row order, that needs a rest line the model lacks or that is not finite.
    CFrameRetarget(std::span<const POSE> modelRest, int nodeCount,
                   std::span<const DECODED_ROW> rows,
                   const ROOT_FROM_LEGS* rootFromLegs = nullptr);

    int NodeCount() const { return static_cast<int>(m_plans.size()); }
    // Lines 0 to this less one are the ones the rows read.
    int LinesRead() const { return m_linesRead; }

    // The result frame's poses into result (resized to NodeCount()). Throws CRowError for the
    // first row, in row order, that cannot be made; result is then incomplete. Allocates nothing
    // once result has its size.
    void Apply(std::span<const POSE> source, std::vector<POSE>& result) const;

private:
    struct PLAN {
        ROW_RULE rule;
        POSE rest;
    };
    std::vector<PLAN> m_plans;
    int m_linesRead = 0;
};

}  // namespace varnex
