#include "motion/frame_retarget.h"

#include <cmath>

#include "motion/fixed_text.h"

namespace varnex {

void ThrowFrameTooShort(int row, int nodes, int line, std::size_t lines) {
    throw CRowError(ERROR_KIND::FRAME_TOO_SHORT_FOR_ROW, row, line,
                    {std::string(), std::to_string(row), std::to_string(nodes),
                     std::to_string(line), std::to_string(lines)});
}

void ThrowNotFinite(int row, int line, const POSE& pose) {
    throw CRowError(ERROR_KIND::POSITION_NOT_FINITE, row, line,
                    {FixedText(pose.x, 6), FixedText(pose.y, 6), FixedText(pose.z, 6),
                     std::to_string(row)});
}

void ThrowNoRestLine(int row, std::size_t lines) {
    throw CRowError(ERROR_KIND::NO_REST_LINE, row, row,
                    {std::to_string(lines), std::to_string(row)});
}

ROW_RULE MakeRowRule(const DECODED_ROW& row, const ROOT_FROM_LEGS* rootFromLegs) {
    ROW_RULE rule;
    static_cast<DECODED_ROW&>(rule) = row;
    if (row.row == 0 && rootFromLegs != nullptr) {
        rule.rootFromLegs = true;
        rule.root = *rootFromLegs;
    }
    return rule;
}

VEC3 RootPositionFromLegs(const ROOT_FROM_LEGS& rule, double x, double y, double z) {
    return {RootCoordinateFromLegs(x, rule.sourceRest.x, rule.modelRest.x, rule.legsRatio),
            RootCoordinateFromLegs(y, rule.sourceRest.y, rule.modelRest.y, rule.legsRatio),
            RootCoordinateFromLegs(z, rule.sourceRest.z, rule.modelRest.z, rule.legsRatio)};
}

bool MakeRootFromLegs(double legsRatio, std::span<const POSE> sourceRest,
                      std::span<const POSE> modelRest, int rowZeroNodes, ROOT_FROM_LEGS& rule) {
    std::size_t line = static_cast<std::size_t>(DecodeRow(0, RETARGET_ROW{rowZeroNodes}).source);
    if (line >= sourceRest.size() || modelRest.empty()) return false;
    const POSE& s = sourceRest[line];
    const POSE& m = modelRest[0];
    rule.legsRatio = legsRatio;
    rule.sourceRest = {s.x, s.y, s.z};
    rule.modelRest = {m.x, m.y, m.z};
    return true;
}

CFrameRetarget::CFrameRetarget(std::span<const POSE> modelRest, int nodeCount,
                               std::span<const DECODED_ROW> rows,
                               const ROOT_FROM_LEGS* rootFromLegs) {
    m_plans.resize(nodeCount > 0 ? static_cast<std::size_t>(nodeCount) : 0);
    for (std::size_t row = 0; row < m_plans.size(); ++row) {
        const int r = static_cast<int>(row);
        PLAN& plan = m_plans[row];
        plan.rule = MakeRowRule(RowAt(rows, row), rootFromLegs);
        const int source = plan.rule.source;
        if (source != REST_LINE && source + 1 > m_linesRead) m_linesRead = source + 1;
        if (source != REST_LINE && !plan.rule.blend) continue;
        if (row >= modelRest.size()) ThrowNoRestLine(r, modelRest.size());
        plan.rest = modelRest[row];
        plan.rule.rest = {plan.rest.x, plan.rest.y, plan.rest.z};
        if (source == REST_LINE && !IsFinitePose(plan.rest)) ThrowNotFinite(r, r, plan.rest);
    }
}

void CFrameRetarget::Apply(std::span<const POSE> source, std::vector<POSE>& result) const {
    result.resize(m_plans.size());
    for (std::size_t row = 0; row < m_plans.size(); ++row) {
        const PLAN& plan = m_plans[row];
        const ROW_RULE& rule = plan.rule;
        if (rule.source == REST_LINE) {
            result[row] = plan.rest;
            continue;
        }
        if (static_cast<std::size_t>(rule.source) >= source.size()) {
            ThrowFrameTooShort(rule.row, rule.nodes, rule.source, source.size());
        }
        const POSE& from = source[static_cast<std::size_t>(rule.source)];
        VEC3 p = CorrectedPosition(rule, from.x, from.y, from.z);
        POSE& out = result[row];
        out = {p.x, p.y, p.z, from.rx, from.ry, from.rz};
        if (!IsFinitePose(out)) ThrowNotFinite(rule.row, rule.source, from);
    }
}

}  // namespace varnex
