#include "motion/frame_retarget.h"

#include <cmath>

namespace varnex {

namespace {
bool IsFinitePose(const POSE& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z) && std::isfinite(p.rx) &&
           std::isfinite(p.ry) && std::isfinite(p.rz);
}
}  // namespace

VEC3 RootPositionFromLegs(const ROOT_FROM_LEGS& rule, double x, double y, double z) {
    return {RootCoordinateFromLegs(x, rule.sourceRest.x, rule.modelRest.x, rule.legsRatio),
            RootCoordinateFromLegs(y, rule.sourceRest.y, rule.modelRest.y, rule.legsRatio),
            RootCoordinateFromLegs(z, rule.sourceRest.z, rule.modelRest.z, rule.legsRatio)};
}

bool MakeRootFromLegs(double legsRatio, std::span<const POSE> sourceRest,
                      std::span<const POSE> modelRest, int rowZeroNodes, ROOT_FROM_LEGS& rule) {
    std::size_t line = static_cast<std::size_t>(RowSourceLine(0, rowZeroNodes));
    if (line >= sourceRest.size() || modelRest.empty()) return false;
    const POSE& s = sourceRest[line];
    const POSE& m = modelRest[0];
    rule.legsRatio = legsRatio;
    rule.sourceRest = {s.x, s.y, s.z};
    rule.modelRest = {m.x, m.y, m.z};
    return true;
}

CFrameRetarget::CFrameRetarget(std::span<const POSE> modelRest, int nodeCount,
                               std::span<const RETARGET_ROW> rows,
                               const ROOT_FROM_LEGS* rootFromLegs) {
    if (rootFromLegs != nullptr) {
        m_rootFromLegs = true;
        m_rule = *rootFromLegs;
    }
    m_plans.resize(nodeCount > 0 ? static_cast<std::size_t>(nodeCount) : 0);
    for (std::size_t row = 0; row < m_plans.size(); ++row) {
        RETARGET_ROW setting = row < rows.size() ? rows[row] : RETARGET_ROW{};
        PLAN& plan = m_plans[row];
        plan.source = RowSourceLine(static_cast<int>(row), setting.nodes);
        plan.blend = RowBlends(setting.nodes);
        plan.correction = setting.correction;
        plan.boneScale = setting.boneScale;
        if (plan.source != ROW_KEEPS_REST && plan.source + 1 > m_linesRead) {
            m_linesRead = plan.source + 1;
        }
        if (plan.source != ROW_KEEPS_REST && !plan.blend) continue;
        if (row >= modelRest.size()) {
            if (m_planProblem.fault == RETARGET_FAULT::NONE) {
                m_planProblem = {RETARGET_FAULT::MISSING_REST_LINE, static_cast<int>(row),
                                 static_cast<int>(row)};
            }
            continue;
        }
        plan.rest = modelRest[row];
        if (plan.source == ROW_KEEPS_REST && !IsFinitePose(plan.rest) &&
            m_planProblem.fault == RETARGET_FAULT::NONE) {
            m_planProblem = {RETARGET_FAULT::NOT_FINITE, static_cast<int>(row),
                             static_cast<int>(row)};
        }
    }
}

RETARGET_PROBLEM CFrameRetarget::Apply(std::span<const POSE> source,
                                       std::vector<POSE>& result) const {
    result.resize(m_plans.size());
    for (std::size_t row = 0; row < m_plans.size(); ++row) {
        const PLAN& plan = m_plans[row];
        if (plan.source == ROW_KEEPS_REST) {
            result[row] = plan.rest;
            continue;
        }
        const int r = static_cast<int>(row);
        if (static_cast<std::size_t>(plan.source) >= source.size()) {
            return {RETARGET_FAULT::MISSING_SOURCE_LINE, r, plan.source};
        }
        const POSE& from = source[static_cast<std::size_t>(plan.source)];
        double x = from.x;
        double y = from.y;
        double z = from.z;
        if (row == 0 && m_rootFromLegs) {
            VEC3 p = RootPositionFromLegs(m_rule, x, y, z);
            x = p.x;
            y = p.y;
            z = p.z;
        } else {
            double s = plan.boneScale;
            x = x * s;
            y = y * s;
            z = z * s;
        }
        CorrectPosition(x, y, z, plan.correction, plan.blend, plan.rest.x, plan.rest.y, plan.rest.z);
        POSE& out = result[row];
        out = {x, y, z, from.rx, from.ry, from.rz};
        if (!IsFinitePose(out)) return {RETARGET_FAULT::NOT_FINITE, r, plan.source};
    }
    return {};
}

}  // namespace varnex
