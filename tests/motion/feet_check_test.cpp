// The check's feet on animations generated on our sample skeletons (tools/sample_skeletons.h),
// retargeted by today's method: planted feet placed by solving the source's legs, and models whose
// legs differ from the knight's in one way at a time.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "motion/fixed_text.h"
#include "motion/motion_texts.h"
#include "sample_animation.h"
#include "sample_skeletons.h"

namespace varnex {

namespace {
constexpr double PI = std::numbers::pi;

SAMPLE_ANIMATION Generated(const SAMPLE_SKELETON& skeleton,
                           const std::vector<std::vector<SAMPLE_POSE>>& frames) {
    SAMPLE_ANIMATION a;
    for (const SAMPLE_NODE& node : skeleton.nodes) a.nodes.push_back({node.name, node.parent});
    for (const std::vector<SAMPLE_POSE>& frame : frames) {
        FRAME_POSES poses;
        for (const SAMPLE_POSE& p : frame) poses.push_back({p.x, p.y, p.z, p.rx, p.ry, p.rz});
        a.frames.push_back(poses);
    }
    return a;
}

SAMPLE_ANIMATION Stances(const SAMPLE_SKELETON& skeleton, const std::vector<SAMPLE_STANCE>& s) {
    std::vector<std::vector<SAMPLE_POSE>> frames;
    for (const SAMPLE_STANCE& stance : s) frames.push_back(StanceFrame(skeleton, stance));
    return Generated(skeleton, frames);
}

SAMPLE_ANIMATION Rest(const SAMPLE_SKELETON& skeleton) {
    std::vector<SAMPLE_POSE> rest;
    for (const SAMPLE_NODE& node : skeleton.nodes) rest.push_back(node.rest);
    return Generated(skeleton, {rest});
}

// Steps on the spot over 30 frames, knees bent by a crouch: the left foot lifts 10 units in the
// first half, the right one in the second, while the root sways forward and back.
std::vector<SAMPLE_STANCE> StepsOnTheSpot(double crouch, double sway) {
    std::vector<SAMPLE_STANCE> steps;
    for (int t = 0; t < 30; ++t) {
        double s = std::sin(2 * PI * t / 30);
        SAMPLE_STANCE stance;
        stance.rootX = sway * s;
        stance.rootZ = -crouch;
        stance.leftZ = std::max(0.0, 10 * s);
        stance.rightZ = std::max(0.0, -10 * s);
        steps.push_back(stance);
    }
    return steps;
}

// The root's and the feet's warnings: the samples' thighs, hung from the spine in one and the
// pelvis in the other, give a chain-angle of their own (motion_check_test.cpp).
std::vector<std::string> Codes(const MOTION_REPORT& report) {
    std::vector<std::string> codes;
    for (const MOTION_WARNING& w : report.warnings) {
        if (w.code != WARNING_CODE::CHAIN_ANGLE) codes.push_back(WarningCodeText(w.code));
    }
    return codes;
}

// The contacts as "L 0-4" or "R 15-29", in the report's order.
std::vector<std::string> Contacts(const MOTION_REPORT& report) {
    std::vector<std::string> contacts;
    for (const FOOT_CONTACT& c : report.feet.contacts) {
        contacts.push_back((c.side == FOOT_SIDE::LEFT ? "L " : "R ") + std::to_string(c.first) +
                           "-" + std::to_string(c.last));
    }
    return contacts;
}

struct FEET_SAMPLES {
    SAMPLE_SKELETON runner = RunnerSkeleton();
    SAMPLE_SKELETON knight = KnightSkeleton();
    SAMPLE_ANIMATION ref = Rest(runner);
    SAMPLE_ANIMATION model = Rest(knight);
    // The runner's ankle above the ground at rest (its toe touches the ground).
    double sourceGround = 0.9 * 3.1;

    MOTION_REPORT Check(const SAMPLE_ANIMATION& onModel, const std::vector<SAMPLE_STANCE>& anim,
                        bool rootFromLegs = false) const {
        return Check(onModel, anim, PairByClass(onModel, ref), rootFromLegs);
    }
    MOTION_REPORT Check(const SAMPLE_ANIMATION& onModel, const std::vector<SAMPLE_STANCE>& anim,
                        const std::vector<RETARGET_ROW>& rows, bool rootFromLegs = false) const {
        return CheckRetarget(onModel, ref, Stances(runner, anim), rows, rootFromLegs);
    }
};
}  // namespace

// Feet planted by the source stay planted on a model of the same proportions; on thighs 1.8 times
// the knight's, a deep crouch leaves the feet more than 5 units off the ground.
TEST(FeetCheck, FindsTheSourcesContactsAndTheFeetThatLegsOfOtherProportionsLift) {
    FEET_SAMPLES s;
    std::vector<SAMPLE_STANCE> steps = StepsOnTheSpot(10.0, 8.0);
    MOTION_REPORT sound = s.Check(s.model, steps);
    EXPECT_EQ(Contacts(sound), (std::vector<std::string>{"R 0-15", "L 15-29"}));
    EXPECT_NEAR(*sound.feet.sourceGround, s.sourceGround, 1e-9);
    EXPECT_LT(*sound.feet.maxError, 3.5);
    EXPECT_LT(*sound.feet.maxSlide, 0.3);
    EXPECT_EQ(sound.feet.kneeFlips, 0);
    EXPECT_LT(*sound.feet.maxPelvisGap, 0.2);
    EXPECT_EQ(Codes(sound), std::vector<std::string>{});

    SAMPLE_SKELETON longThighs = s.knight;
    ScaleRole(longThighs, SAMPLE_ROLE::CALF, 1.8);
    MOTION_REPORT lifted = s.Check(Rest(longThighs), steps);
    EXPECT_EQ(Contacts(lifted), Contacts(sound));
    EXPECT_GT(*lifted.feet.maxError, 6.5);
    ASSERT_EQ(Codes(lifted), std::vector<std::string>{"feet-off"});
    EXPECT_NE(WarningText(lifted.warnings[0]).find("pas le sol"), std::string::npos);
    // Row 0's factor follows the legs here: the root's motion is not what to change.
    EXPECT_EQ(WarningText(lifted.warnings[0]).find("--root-motion"), std::string::npos);
    // Holding the feet on the ground is.
    EXPECT_NE(WarningText(lifted.warnings[0]).find("(--feet contact)"), std::string::npos);
    std::string table = ReportTable(lifted);
    EXPECT_NE(table.find("\n  écart au sol, rapport des jambes appliqué : le plus grand " +
                         FixedText(*lifted.feet.maxError, 2) + ", médian " +
                         FixedText(*lifted.feet.medianError, 2) + "\n"),
              std::string::npos);
    EXPECT_NE(table.find("\n  appuis de la source : 2 ; glissement le plus grand " +
                         FixedText(*lifted.feet.maxSlide, 2) + ", au-dessus de 1 unité : 0\n"),
              std::string::npos);
}

// A source with its origin at the hips gets a huge row 0 factor: its sway moves the model's body
// over feet that the source keeps planted. The root from the legs mends it.
TEST(FeetCheck, AStepOnTheSpotSlidesWhenTheRootIsScaledApartFromTheLegs) {
    FEET_SAMPLES s;
    for (SAMPLE_SKELETON* skeleton : {&s.runner}) skeleton->nodes[0].rest.z -= 42.0;
    s.ref = Rest(s.runner);
    std::vector<SAMPLE_STANCE> steps = StepsOnTheSpot(0.0, 3.0);
    MOTION_REPORT slid = s.Check(s.model, steps);
    EXPECT_EQ(Contacts(slid), (std::vector<std::string>{"R 0-15", "L 15-29"}));
    double factor = PairByClass(s.model, s.ref)[0].boneScale;
    // The root's farthest sway in each contact, 3 sin(84 degrees), scaled by the factor, less
    // what the legs' ratio makes up for.
    double sway = 3.0 * std::sin(84.0 * PI / 180.0);
    EXPECT_NEAR(*slid.feet.maxSlide, (factor - slid.legs.ratio) * sway, 0.5);
    EXPECT_EQ(slid.feet.slides, 2);
    std::vector<std::string> codes = Codes(slid);
    ASSERT_EQ(codes.back(), "foot-slide");
    const MOTION_WARNING& slide = slid.warnings[codes.size() - 1];  // chain-angle comes after
    EXPECT_NE(WarningText(slide).find("2 des 2 appuis"), std::string::npos);
    EXPECT_NE(WarningText(slide).find("--root-motion legs"), std::string::npos);

    MOTION_REPORT legs = s.Check(s.model, steps, true);
    EXPECT_LT(*legs.feet.maxSlide, 0.3);
    EXPECT_EQ(Codes(legs), std::vector<std::string>{});
}

// Feet in the air are no contact, however still they hold; nor are feet that skid on landing,
// 1.5 units under the ground, which the ground taken over every frame would follow.
TEST(FeetCheck, AJumpHasNoContactInTheAirAndItsSkidDoesNotLowerTheGround) {
    FEET_SAMPLES s;
    std::vector<SAMPLE_STANCE> jump(20);
    for (int t = 5; t < 15; ++t) {
        double h = 12.0 * std::sin(PI * (t - 4) / 11.0);
        jump[static_cast<std::size_t>(t)] = {0.0, h, 0.0, h, 0.0, h};
    }
    for (int t = 15; t < 20; ++t) {
        double x = std::min(t - 14, 2);
        double z = t < 17 ? -1.5 : 0.0;
        jump[static_cast<std::size_t>(t)] = {x, z, x, z, x, z};
    }
    MOTION_REPORT r = s.Check(s.model, jump);
    EXPECT_EQ(Contacts(r), (std::vector<std::string>{"L 0-4", "R 0-4", "L 17-19", "R 17-19"}));
    EXPECT_NEAR(*r.feet.sourceGround, s.sourceGround, 1e-9);
    EXPECT_EQ(Codes(r), std::vector<std::string>{});
}

// A fall that lands in its last 3 of 80 frames: more than 95 % of the frames in the air, yet the
// landing is a contact and the ground is where it lands.
TEST(FeetCheck, AFallFindsItsLanding) {
    FEET_SAMPLES s;
    std::vector<SAMPLE_STANCE> fall(80);
    for (int t = 0; t < 77; ++t) {
        double h = 3.0 + 3.0 * (76 - t);
        fall[static_cast<std::size_t>(t)] = {0.0, h, 0.0, h, 0.0, h};
    }
    MOTION_REPORT r = s.Check(s.model, fall);
    EXPECT_EQ(Contacts(r), (std::vector<std::string>{"L 77-79", "R 77-79"}));
    EXPECT_NEAR(*r.feet.sourceGround, s.sourceGround, 1e-9);
}

// A reference whose first frame crouches 10 units makes row 0's factor too large: the result
// stands that much too high, which the check shows against a ground it takes from the animation,
// not from the reference (the animation starts crouched too).
TEST(FeetCheck, ACrouchedFirstReferenceFrameLiftsTheResultNotTheSourcesGround) {
    FEET_SAMPLES s;
    std::vector<SAMPLE_STANCE> steps = StepsOnTheSpot(0.0, 0.0);
    steps[0].rootZ = -10.0;
    MOTION_REPORT upright = s.Check(s.model, steps);
    double uprightFactor = PairByClass(s.model, s.ref)[0].boneScale;
    s.ref = Stances(s.runner, {steps[0]});
    MOTION_REPORT crouched = s.Check(s.model, steps);
    EXPECT_NEAR(*upright.feet.sourceGround, s.sourceGround, 1e-9);
    EXPECT_NEAR(*crouched.feet.sourceGround, s.sourceGround, 1e-9);
    double factor = PairByClass(s.model, s.ref)[0].boneScale;
    double lift = (factor - uprightFactor) * 44.09;  // times the root's height when upright
    EXPECT_GT(lift, 10.0);
    EXPECT_NEAR(*crouched.feet.maxError - *upright.feet.maxError, lift, 0.1);
    EXPECT_NEAR(*crouched.feet.pelvisHeight - *crouched.feet.scaledSourcePelvisHeight -
                    (*upright.feet.pelvisHeight - *upright.feet.scaledSourcePelvisHeight),
                lift, 0.1);
    ASSERT_EQ(Codes(crouched), std::vector<std::string>{"feet-off"});
    EXPECT_NE(WarningText(crouched.warnings[0]).find("--root-motion legs"), std::string::npos);
}

// A model whose knees bend backwards at rest, its calves and feet keeping their own offsets
// (blended fully with the rest position): a source knee bent 12 degrees forward flips, one that is
// near straight does not count, one bent far enough comes forward again.
TEST(FeetCheck, CountsKneeFlipsOnlyInBentFrames) {
    FEET_SAMPLES s;
    SAMPLE_SKELETON backKnees = s.knight;
    for (SAMPLE_NODE& node : backKnees.nodes) {
        if (node.role == SAMPLE_ROLE::CALF) node.rest.x = -4.0;
        if (node.role == SAMPLE_ROLE::FOOT) node.rest.x = 4.0;
    }
    SAMPLE_ANIMATION model = Rest(backKnees);
    std::vector<RETARGET_ROW> rows = PairByClass(model, s.ref);
    for (std::size_t row = 0; row < rows.size(); ++row) {
        SAMPLE_ROLE role = backKnees.nodes[row].role;
        if (role == SAMPLE_ROLE::CALF || role == SAMPLE_ROLE::FOOT) rows[row].nodes += 100;
    }
    std::vector<SAMPLE_STANCE> bends(3);
    bends[1].rootZ = -0.2;
    bends[2].rootZ = -15.0;
    EXPECT_EQ(s.Check(model, bends, rows).feet.kneeFlips, 1);
    EXPECT_EQ(s.Check(model, {bends[0], bends[2]}, rows).feet.kneeFlips, 0);
    EXPECT_EQ(s.Check(s.model, bends).feet.kneeFlips, 0);
}

}  // namespace varnex
