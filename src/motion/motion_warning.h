// Warnings about the retargeted motion: a fixed code and the values that explain it. Their text
// is made from these by WarningText (motion_texts.h).
#pragma once

#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "motion/foot_contact.h"
#include "motion/legs_ratio.h"

namespace varnex {

enum class WARNING_CODE {
    ROOT_RANGE,       // the root's height range is off the legs' ratio by more than a factor 2
    ROOT_TRAVEL,      // the same for the root's horizontal travel
    ROOT_FACTOR,      // row 0's factor and the legs' ratio are more than a factor 2 apart
    COLLAPSED_NODES,  // nodes sit on their parent's joint in every frame
    NO_LEGS_RATIO,    // a skeleton lacks a thigh or a foot on both sides
    FEET_OFF,         // a foot strays more than 5 units from the source's scaled height
    FOOT_SLIDE,       // a foot planted in the source slides more than 1 unit in the result
    TORN_BONE,        // a row's offset strays from the model's rest offset (TORN_LIMIT)
    CHAIN_ANGLE,      // a row's chain points more than CHAIN_ANGLE_LIMIT away from the source's
};
// "root-range", "root-travel", "root-factor", "collapsed-nodes", "no-legs-ratio", "feet-off",
// "foot-slide", "torn-bone", "chain-angle": the same in every language.
const char* WarningCodeText(WARNING_CODE code);

// A row a TORN_BONE or CHAIN_ANGLE warning names, with its worst figure.
struct WARNED_ROW {
    int row = 0;
    std::string node;
    double largest = 0.0;  // TORN_BONE: the offset's largest distance from the rest offset;
                           // CHAIN_ANGLE: the largest angle in degrees
    double restLength = 0.0;  // TORN_BONE: the rest offset's length
    int frame = -1;           // CHAIN_ANGLE: the frame of the largest angle, counted from 0
    bool operator==(const WARNED_ROW&) const = default;
};

struct MOTION_WARNING {
    WARNING_CODE code = WARNING_CODE::ROOT_RANGE;
    double source = 0.0;             // ROOT_RANGE, ROOT_TRAVEL: the source's value
    double result = 0.0;             // ... and the result's
    double factor = 0.0;             // ROOT_FACTOR: row 0's factor
    double legsRatio = 0.0;          // every root warning
    std::vector<std::string> nodes;  // COLLAPSED_NODES
    bool modelHasLegs = true;        // NO_LEGS_RATIO: which skeleton lacks them
    bool sourceHasLegs = true;
    double largest = 0.0;  // FEET_OFF: the largest foot error; FOOT_SLIDE: the largest slide
    double median = 0.0;   // FEET_OFF: the median foot error
    int count = 0;         // FOOT_SLIDE: the contacts that slide
    int contacts = 0;      // FOOT_SLIDE: all the source's contacts
    // FEET_OFF, FOOT_SLIDE: row 0's factor is apart from the legs' ratio and the root does not
    // follow the legs, so that following them would bring the feet nearer.
    bool rootAdvice = false;
    std::vector<WARNED_ROW> rows;  // TORN_BONE, CHAIN_ANGLE, in row order
    // TORN_BONE, CHAIN_ANGLE: the rows follow the source's rotations, which a method that
    // follows the bones' directions would mend.
    bool methodAdvice = true;
    // FEET_OFF, FOOT_SLIDE: the feet are not held on the ground, which --feet contact would do.
    bool contactAdvice = true;
};

// A row's offset torn from the model's rest offset: farther than this from it...
constexpr double TORN_DISTANCE = 10.0;
// ...and farther than this share of the rest offset's length.
constexpr double TORN_SHARE = 0.5;
// A chain further than this from the source's, in degrees.
constexpr double CHAIN_ANGLE_LIMIT = 20.0;

// The square of the distance beyond which an offset is torn from a rest offset of that length:
// comparing squares keeps the build's test to a few products.
inline double TornLimitSquared(double restLength) {
    double limit = restLength * TORN_SHARE > TORN_DISTANCE ? restLength * TORN_SHARE
                                                           : TORN_DISTANCE;
    return limit * limit;
}

// Two ratios more than a factor of 2 apart; a ratio that is not above 0 is apart from any.
bool RatiosApart(double a, double b);

// Root motion smaller than this in the source is not compared: its ratio would be noise.
constexpr double MIN_COMPARED_MOTION = 0.01;

// The warning told at pairing and at build when row 0's factor and the legs' ratio are apart;
// none without a legs' ratio.
std::optional<MOTION_WARNING> RootFactorWarning(double rowZeroFactor, const LEGS_RATIO& legs);
// ROOT_RANGE or ROOT_TRAVEL when result / source is apart from the legs' ratio; none without a
// ratio or when the source hardly moves.
std::optional<MOTION_WARNING> RootMotionWarning(WARNING_CODE code, double source, double result,
                                                const LEGS_RATIO& legs);
// FEET_OFF when the largest foot error is above FEET_OFF_LIMIT, FOOT_SLIDE when a contact slides
// more than SLIDE_LIMIT; rootFactor is row 0's, or none when the root follows the legs.
std::vector<MOTION_WARNING> FeetWarnings(const FEET_REPORT& feet, std::optional<double> rootFactor,
                                         const LEGS_RATIO& legs);

// What a command that needs the legs' ratio says when there is none.
MOTION_WARNING NoLegsRatioWarning(const LEGS_RATIO& legs);

// The build's cheap root check: fed with row 0's position as read and as written in every frame,
// it compares the two height ranges.
class CRootHeightRange {
public:
    void Add(double sourceZ, double resultZ) {
        if (sourceZ < m_sourceMin) m_sourceMin = sourceZ;
        if (sourceZ > m_sourceMax) m_sourceMax = sourceZ;
        if (resultZ < m_resultMin) m_resultMin = resultZ;
        if (resultZ > m_resultMax) m_resultMax = resultZ;
    }
    // Takes in the heights of frames that come after this range's, as Add would have.
    void Merge(const CRootHeightRange& later) {
        if (later.m_sourceMin < m_sourceMin) m_sourceMin = later.m_sourceMin;
        if (later.m_sourceMax > m_sourceMax) m_sourceMax = later.m_sourceMax;
        if (later.m_resultMin < m_resultMin) m_resultMin = later.m_resultMin;
        if (later.m_resultMax > m_resultMax) m_resultMax = later.m_resultMax;
    }
    bool operator==(const CRootHeightRange&) const = default;
    // The ROOT_RANGE warning, or none (no frame, no ratio, a source that hardly moves).
    std::optional<MOTION_WARNING> Warning(const LEGS_RATIO& legs) const;

private:
    static constexpr double NONE = std::numeric_limits<double>::infinity();
    double m_sourceMin = NONE, m_sourceMax = -NONE;
    double m_resultMin = NONE, m_resultMax = -NONE;
};

// The build's torn-bone check: fed with the rows whose written offset strays from the rest
// offset beyond TornLimitSquared, it keeps each one's largest distance.
class CBoneTears {
public:
    void Add(int row, const std::string& node, double distance, double restLength);
    // Takes in the tears of frames that come after these.
    void Merge(const CBoneTears& later);
    bool operator==(const CBoneTears&) const = default;
    // The TORN_BONE warning naming the rows, or none.
    std::optional<MOTION_WARNING> Warning() const;

private:
    std::vector<WARNED_ROW> m_rows;  // in row order
};

}  // namespace varnex
