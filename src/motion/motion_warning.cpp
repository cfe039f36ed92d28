#include "motion/motion_warning.h"

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

}  // namespace varnex
