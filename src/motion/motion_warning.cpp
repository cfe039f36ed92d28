#include "motion/motion_warning.h"

#include <algorithm>
#include <cmath>

namespace varnex {

const char* WarningCodeText(WARNING_CODE code) {
    switch (code) {
        case WARNING_CODE::ROOT_RANGE:
            return "root-range";
        case WARNING_CODE::ROOT_TRAVEL:
            return "root-travel";
        case WARNING_CODE::ROOT_FACTOR:
            return "root-factor";
        case WARNING_CODE::COLLAPSED_NODES:
            return "collapsed-nodes";
        case WARNING_CODE::NO_LEGS_RATIO:
            return "no-legs-ratio";
        case WARNING_CODE::FEET_OFF:
            return "feet-off";
        case WARNING_CODE::FOOT_SLIDE:
            return "foot-slide";
        case WARNING_CODE::TORN_BONE:
            return "torn-bone";
        case WARNING_CODE::CHAIN_ANGLE:
            return "chain-angle";
    }
    return "";
}

bool RatiosApart(double a, double b) {
    // Written so that 0 and NaN count as apart.
    return !(a > 0.0 && b > 0.0 && a <= 2.0 * b && b <= 2.0 * a);
}

std::optional<MOTION_WARNING> RootFactorWarning(double rowZeroFactor, const LEGS_RATIO& legs) {
    if (!legs.known || !RatiosApart(rowZeroFactor, legs.ratio)) return std::nullopt;
    MOTION_WARNING w;
    w.code = WARNING_CODE::ROOT_FACTOR;
    w.factor = rowZeroFactor;
    w.legsRatio = legs.ratio;
    return w;
}

std::optional<MOTION_WARNING> RootMotionWarning(WARNING_CODE code, double source, double result,
                                                const LEGS_RATIO& legs) {
    if (!legs.known || !(source >= MIN_COMPARED_MOTION)) return std::nullopt;
    if (!RatiosApart(result / source, legs.ratio)) return std::nullopt;
    MOTION_WARNING w;
    w.code = code;
    w.source = source;
    w.result = result;
    w.legsRatio = legs.ratio;
    return w;
}

std::vector<MOTION_WARNING> FeetWarnings(const FEET_REPORT& feet, std::optional<double> rootFactor,
                                         const LEGS_RATIO& legs) {
    // A root scaled by a factor a tenth or more away from the legs' ratio moves the whole body
    // out of step with the legs.
    bool rootAdvice =
        rootFactor && legs.known && !(std::abs(*rootFactor - legs.ratio) <= 0.1 * legs.ratio);
    std::vector<MOTION_WARNING> warnings;
    if (feet.maxError && *feet.maxError > FEET_OFF_LIMIT) {
        MOTION_WARNING w;
        w.code = WARNING_CODE::FEET_OFF;
        w.largest = *feet.maxError;
        w.median = feet.medianError.value_or(0.0);
        w.legsRatio = legs.ratio;
        w.factor = rootFactor.value_or(0.0);
        w.rootAdvice = rootAdvice;
        warnings.push_back(w);
    }
    if (feet.slides > 0) {
        MOTION_WARNING w;
        w.code = WARNING_CODE::FOOT_SLIDE;
        w.largest = feet.maxSlide.value_or(0.0);
        w.count = feet.slides;
        w.contacts = static_cast<int>(feet.contacts.size());
        w.legsRatio = legs.ratio;
        w.factor = rootFactor.value_or(0.0);
        w.rootAdvice = rootAdvice;
        warnings.push_back(w);
    }
    return warnings;
}

MOTION_WARNING NoLegsRatioWarning(const LEGS_RATIO& legs) {
    MOTION_WARNING w;
    w.code = WARNING_CODE::NO_LEGS_RATIO;
    w.modelHasLegs = legs.model.Found();
    // A source leg of length zero gives no ratio either: it says the same to the user.
    w.sourceHasLegs = legs.source.Found() && legs.source.Length() > 0.0;
    return w;
}

std::optional<MOTION_WARNING> CRootHeightRange::Warning(const LEGS_RATIO& legs) const {
    if (m_sourceMin > m_sourceMax) return std::nullopt;
    return RootMotionWarning(WARNING_CODE::ROOT_RANGE, m_sourceMax - m_sourceMin,
                             m_resultMax - m_resultMin, legs);
}

void CBoneTears::Add(int row, const std::string& node, double distance, double restLength) {
    auto at = std::lower_bound(m_rows.begin(), m_rows.end(), row,
                               [](const WARNED_ROW& r, int n) { return r.row < n; });
    if (at == m_rows.end() || at->row != row) {
        WARNED_ROW added;
        added.row = row;
        added.node = node;
        added.largest = distance;
        added.restLength = restLength;
        m_rows.insert(at, std::move(added));
    } else if (distance > at->largest) {
        at->largest = distance;
    }
}

void CBoneTears::Merge(const CBoneTears& later) {
    for (const WARNED_ROW& r : later.m_rows) Add(r.row, r.node, r.largest, r.restLength);
}

std::optional<MOTION_WARNING> CBoneTears::Warning() const {
    if (m_rows.empty()) return std::nullopt;
    MOTION_WARNING w;
    w.code = WARNING_CODE::TORN_BONE;
    w.rows = m_rows;
    return w;
}

}  // namespace varnex
