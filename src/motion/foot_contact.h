// The feet against the ground: the contacts of a source animation, and how far a retarget's feet,
// knees and pelvis stray from the source's scaled by the legs' ratio.
#pragma once

#include <optional>
#include <vector>

#include "motion/biped_rig.h"
#include "motion/legs_ratio.h"
#include "motion/motion_types.h"

namespace varnex {

// A foot joint is planted in a frame when it lies within CONTACT_REACH of its ground and has
// moved less than CONTACT_DRIFT horizontally since the frame before; a contact is a run of at
// least CONTACT_FRAMES planted frames.
constexpr double CONTACT_REACH = 2.0;
constexpr double CONTACT_DRIFT = 0.5;
constexpr int CONTACT_FRAMES = 3;
// The source's ground is this percentile of its lowest foot's height over its contact frames.
constexpr double GROUND_PERCENTILE = 5.0;
// A knee flips when its bend points more than this far from the source knee's, both bent more
// than KNEE_BENT_DEGREES.
constexpr double KNEE_FLIP_DEGREES = 90.0;
constexpr double KNEE_BENT_DEGREES = 5.0;

enum class FOOT_SIDE { LEFT, RIGHT };

// One contact of the source, frames first to last counted from 0. slide is the largest
// horizontal distance of the result's foot of that side from where it stood in the first frame;
// none when the model has no foot on that side.
struct FOOT_CONTACT {
    FOOT_SIDE side = FOOT_SIDE::LEFT;
    int first = 0, last = 0;
    std::optional<double> slide;
};

// The feet of one animation. Heights are measured from each side's ground: the model's is its
// lowest foot joint in its rest pose, the source's the percentile above. Figures that need the
// legs' ratio, a foot or a frame on both sides are none without them.
struct FEET_REPORT {
    std::optional<double> sourceGround, resultGround;
    // |(result foot - its ground) - ratio * (source foot - its ground)|, over every frame and
    // every side both skeletons have a foot on.
    std::optional<double> maxError, medianError;
    std::vector<FOOT_CONTACT> contacts;  // in order of first frame, left before right
    std::optional<double> maxSlide;      // over the contacts that have a slide
    int slides = 0;                      // contacts whose slide is above SLIDE_LIMIT
    int kneeFlips = 0;                   // frames in which a knee flips
    bool kneesCompared = false;          // both skeletons have a thigh, calf and foot on a side
    // The pelvis (or the root) above the ground, median over the frames: the result's, the
    // source's times the legs' ratio; and the largest difference of the two in a frame.
    std::optional<double> pelvisHeight, scaledSourcePelvisHeight, maxPelvisGap;
    // The pelvis's (or the root's) horizontal travel over a step cycle, from the first frame of a
    // contact (not the animation's first) to that of the next contact of the same foot, mean over
    // the cycles: the source's and the result's, the figure the compiled sequence's linear
    // movement follows; none without a cycle.
    int cycles = 0;
    std::optional<double> sourceCycleTravel, resultCycleTravel;
};

// The source's ground and contacts from its foot joints, one a frame on each side (empty for a
// side without a foot), as the check finds them: slides are left none. No ground without a frame
// or a foot.
struct SOURCE_CONTACTS {
    std::optional<double> ground;
    std::vector<FOOT_CONTACT> contacts;  // in order of first frame, left before right
};
SOURCE_CONTACTS FindSourceContacts(const std::vector<VEC3>& leftFeet,
                                   const std::vector<VEC3>& rightFeet);

// A slide above this is worth a warning, and so is a foot error above FEET_OFF_LIMIT.
constexpr double SLIDE_LIMIT = 1.0;
constexpr double FEET_OFF_LIMIT = 5.0;

// Fed with the joints of each source frame and of its retarget, in order. Keeps a few numbers a
// frame (the feet and the pelvis), since the source's ground is known only once every frame is.
class CFeetCheck {
public:
    // The joints of the model's rest pose give its ground.
    CFeetCheck(const CBipedRig& sourceRig, const CBipedRig& modelRig,
               const std::vector<VEC3>& modelRest, const LEGS_RATIO& legs);
    void AddFrame(const std::vector<VEC3>& source, const std::vector<VEC3>& result);
    FEET_REPORT Report() const;

private:
    struct LEG {
        int thigh = -1, calf = -1, foot = -1;
    };
    struct SIDE {
        FOOT_SIDE side = FOOT_SIDE::LEFT;
        LEG source, model;
        std::vector<VEC3> sourceFeet, resultFeet;  // one a frame, where the skeleton has the foot
    };
    // Whether a knee of the result bends away from the source's in this frame.
    bool KneeFlips(const std::vector<VEC3>& source, const std::vector<VEC3>& result) const;

    SIDE m_sides[2];
    int m_sourcePelvis = -1, m_modelPelvis = -1;
    std::optional<double> m_modelGround;
    LEGS_RATIO m_legs;
    std::vector<VEC3> m_sourcePelvisPoints, m_resultPelvisPoints;  // one a frame
    int m_frames = 0;
    int m_kneeFlips = 0;
};

}  // namespace varnex
