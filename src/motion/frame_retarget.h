// Retargeting frames in memory, by the same arithmetic as the written animation, so that the
// motion can be measured and drawn without a file.
#pragma once

#include <span>
#include <vector>

#include "motion/motion_types.h"
#include "pairing/grid.h"

namespace varnex {

// The source line a row reads, or ROW_KEEPS_REST for a row other than 0 whose NODES is 0 (or
// 100): it keeps the model's rest line. The grid's own rule.
constexpr int ROW_KEEPS_REST = REST_LINE;
inline int RowSourceLine(int row, int nodes) { return SourceLineOf(row, nodes); }
inline bool RowBlends(int nodes) { return nodes >= BLEND_OFFSET; }

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

// Why a row cannot be made; row is the grid row, line the frame line concerned.
enum class RETARGET_FAULT {
    NONE,
    MISSING_REST_LINE,    // the model's rest frame has no line `row`
    MISSING_SOURCE_LINE,  // the source frame has no line `line`
    NOT_FINITE,           // the position made, or a value copied, is not a finite number
};
struct RETARGET_PROBLEM {
    RETARGET_FAULT fault = RETARGET_FAULT::NONE;
    int row = 0;
    int line = 0;
};

// The rows of one retarget, planned once and applied to any number of source frames.
class CFrameRetarget {
public:
    // rows beyond rows.size() up to nodeCount are default rows (NODES 0: the rest line).
    // rootFromLegs, when given, replaces row 0's bone scale. A row that needs a rest line the
    // model lacks is reported by PlanProblem().
    CFrameRetarget(std::span<const POSE> modelRest, int nodeCount,
                   std::span<const RETARGET_ROW> rows,
                   const ROOT_FROM_LEGS* rootFromLegs = nullptr);

    // The first row, in row order, that cannot be planned.
    const RETARGET_PROBLEM& PlanProblem() const { return m_planProblem; }
    int NodeCount() const { return static_cast<int>(m_plans.size()); }
    // Lines 0 to this less one are the ones the rows read.
    int LinesRead() const { return m_linesRead; }

    // The result frame's poses into result (resized to NodeCount()). Gives the first row, in row
    // order, that cannot be made; result is then incomplete. Allocates nothing once result has
    // its size.
    RETARGET_PROBLEM Apply(std::span<const POSE> source, std::vector<POSE>& result) const;

private:
    struct PLAN {
        int source = ROW_KEEPS_REST;
        bool blend = false;
        double correction = 1.0;
        double boneScale = 1.0;
        POSE rest;
    };
    std::vector<PLAN> m_plans;
    bool m_rootFromLegs = false;
    ROOT_FROM_LEGS m_rule;
    RETARGET_PROBLEM m_planProblem;
    int m_linesRead = 0;
};

}  // namespace varnex
