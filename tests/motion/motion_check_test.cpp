#include "motion/motion_check.h"

#include <gtest/gtest.h>

#include "motion/motion_texts.h"
#include "motion/report_json.h"
#include "sample_animation.h"

namespace varnex {

namespace {
// The samples: the runner's walk onto the knight, whose origins are both at the feet.
struct SAMPLES {
    SAMPLE_ANIMATION model = ReadSample("knight_ref.smd");
    SAMPLE_ANIMATION ref = ReadSample("runner_ref.smd");
    SAMPLE_ANIMATION anim = ReadSample("runner_walk.smd");
    // A player-like runner: origin at the hips, its root 2.09 above it at rest.
    void MoveOriginToTheHips() {
        for (SAMPLE_ANIMATION* a : {&ref, &anim}) {
            for (FRAME_POSES& frame : a->frames) frame[0].z -= 42.0;
        }
    }
};

struct CHECKED {
    MOTION_REPORT report;
    CRootHeightRange buildCheck;
};

// Retargets the walk in memory and checks it, feeding the build's root check on the way.
CHECKED Check(const SAMPLES& s, const std::vector<RETARGET_ROW>& rows, bool rootFromLegs) {
    CHECKED out;
    out.report = CheckRetarget(s.model, s.ref, s.anim, rows, rootFromLegs, &out.buildCheck,
                               "runner_walk.smd");
    return out;
}

// The root's, the feet's and the pairing's warnings; the thighs' chain-angle of the samples
// (below) is left out.
std::vector<std::string> Codes(const MOTION_REPORT& report) {
    std::vector<std::string> codes;
    for (const MOTION_WARNING& w : report.warnings) {
        if (w.code != WARNING_CODE::CHAIN_ANGLE) codes.push_back(WarningCodeText(w.code));
    }
    return codes;
}
}  // namespace

// The sound pair keeps the limbs' directions and warns of nothing but its thighs: the knight's
// hang from the spine, the runner's from the pelvis, so the knight's hips land where the runner's
// pelvis puts them, 30.8° off the runner's spine-to-hip direction. Then the case that hides
// until the model is compiled: with the origin at the hips, row 0's factor (36.8 / 2.09) sends the
// body flying while the legs stay right; root motion from the legs keeps the root's motion in
// proportion to the legs.
TEST(MotionCheck, SoundPairWarnsOfNothingAndLegsRootMotionMendsARootAtTheHips) {
    SAMPLES s;
    CHECKED c = Check(s, PairByClass(s.model, s.ref), false);
    const MOTION_REPORT& sound = c.report;
    EXPECT_EQ(sound.frames, 30);
    ASSERT_EQ(sound.bones.size(), 23u);
    EXPECT_FALSE(sound.bones[0].maxDegrees);  // the root has no bone
    for (const BONE_ANGLES& bone : sound.bones) {
        if (bone.row == 0 || !bone.sourceNode) continue;
        ASSERT_TRUE(bone.maxDegrees) << bone.modelNode;
        if (bone.row == 3 || bone.row == 7) continue;
        EXPECT_LT(*bone.maxDegrees, 10.0) << bone.modelNode;
    }
    ASSERT_EQ(sound.warnings.size(), 1u);
    const std::vector<WARNED_ROW>& thighs = sound.warnings[0].rows;
    ASSERT_EQ(thighs.size(), 2u);
    EXPECT_EQ(thighs[0].node, "Bip01 L Thigh");
    EXPECT_EQ(thighs[1].node, "Bip01 R Thigh");
    EXPECT_NEAR(thighs[0].largest, 30.787, 1e-3);
    EXPECT_EQ(thighs[0].frame, 8);  // the left leg's swing forward
    EXPECT_EQ(sound.unpairedRows, std::vector<int>{22});
    EXPECT_NEAR(*sound.source.restHeight, 44.09, 1e-9);
    EXPECT_NEAR(*sound.result.restHeight, 36.8, 1e-9);
    EXPECT_EQ(Codes(sound), std::vector<std::string>{});
    EXPECT_FALSE(c.buildCheck.Warning(sound.legs));

    s.MoveOriginToTheHips();
    std::vector<RETARGET_ROW> rows = PairByClass(s.model, s.ref);
    CHECKED scaled = Check(s, rows, false);
    EXPECT_EQ(Codes(scaled.report),
              (std::vector<std::string>{"root-factor", "root-range", "root-travel", "feet-off"}));
    std::optional<MOTION_WARNING> atBuild = scaled.buildCheck.Warning(scaled.report.legs);
    ASSERT_TRUE(atBuild);
    EXPECT_EQ(atBuild->code, WARNING_CODE::ROOT_RANGE);
    EXPECT_NE(WarningText(*atBuild).find("--root-motion legs"), std::string::npos);

    CHECKED legs = Check(s, rows, true);
    const MOTION_REPORT& r = legs.report;
    EXPECT_EQ(Codes(r), std::vector<std::string>{});
    EXPECT_FALSE(legs.buildCheck.Warning(r.legs));
    double sourceRange = *r.source.maxHeight - *r.source.minHeight;
    double resultRange = *r.result.maxHeight - *r.result.minHeight;
    EXPECT_NEAR(resultRange, r.legs.ratio * sourceRange, 1e-9);
    EXPECT_NEAR(*r.result.maxHeight, 36.8, 1e-9);  // the walk's highest root is its rest pose
}

TEST(MotionCheck, ReportsNodesOnTheirParentsJointAndAMissingLegsRatio) {
    SAMPLES s;
    std::vector<RETARGET_ROW> rows = PairByClass(s.model, s.ref);
    rows[17].correction = 0.0;  // Bip01 L Hand
    s.model.nodes[5].name = "Bip01 L Hoof";
    s.model.nodes[9].name = "Bip01 R Hoof";
    MOTION_REPORT r = Check(s, rows, false).report;
    EXPECT_EQ(r.collapsedNodes, std::vector<std::string>{"Bip01 L Hand"});
    EXPECT_FALSE(r.legs.known);
    EXPECT_FALSE(r.result.lowestFoot);
    ASSERT_EQ(Codes(r), (std::vector<std::string>{"no-legs-ratio", "collapsed-nodes"}));
    EXPECT_NE(WarningText(r.warnings[0]).find("du modèle n'a"), std::string::npos);
    EXPECT_NE(WarningText(r.warnings[1]).find(": Bip01 L Hand"), std::string::npos);
}

// The JSON form of a small report written out in full: keys, nulls, six decimals, no "-0", names
// escaped (a quote, a control character, UTF-8 kept, a Latin-1 byte).
TEST(MotionReportJson, WritesTheWholeShape) {
    MOTION_REPORT r;
    r.animation = "jump \\\"high\".smd";
    r.frames = 2;
    r.bones = {{0, "Bip01", "Bip01", std::nullopt, std::nullopt, std::nullopt, std::nullopt,
                std::nullopt},
               {1, "caf\xC3\xA9\x01", std::nullopt, std::nullopt, std::nullopt, std::nullopt,
                std::nullopt, std::nullopt},
               {2, "Cape\xE9", "L Arm", 12.3456789, -1e-9, 1, 3.5, 0.25}};
    r.legs.known = true;
    r.legs.ratio = 0.5;
    r.source = {2.0, 1.0, 3.0, 10.0, 0.25};
    r.result = {40.0, 30.0, 50.0, 200.0, std::nullopt};
    r.feet.sourceGround = 3.0;
    r.feet.maxError = 7.25;
    r.feet.contacts = {{FOOT_SIDE::RIGHT, 0, 4, 0.5}, {FOOT_SIDE::LEFT, 3, 9, std::nullopt}};
    r.feet.kneesCompared = true;
    r.feet.cycles = 1;
    r.feet.sourceCycleTravel = 12.5;
    r.collapsedNodes = {"Cape\xE9"};
    r.unpairedRows = {1};
    MOTION_WARNING w;
    w.code = WARNING_CODE::ROOT_TRAVEL;
    w.source = 10.0;
    w.result = 200.0;
    w.legsRatio = 0.5;
    MOTION_WARNING torn;
    torn.code = WARNING_CODE::TORN_BONE;
    torn.rows = {{1, "Bip01 Pelvis", 34.5, 0.0156, -1}};
    r.warnings = {w, torn};
    const std::string object =
        "{\n"
        "  \"animation\": \"jump \\\\\\\"high\\\".smd\",\n"
        "  \"frames\": 2,\n"
        "  \"bones\": [\n"
        "    {\"row\": 0, \"model_node\": \"Bip01\", \"source_node\": \"Bip01\", \"max_deg\": "
        "null, "
        "\"mean_deg\": null, \"max_frame\": null, \"axis_max_deg\": null, \"axis_mean_deg\": null},\n"
        "    {\"row\": 1, \"model_node\": \"caf\xC3\xA9\\u0001\", \"source_node\": null, "
        "\"max_deg\": "
        "null, \"mean_deg\": null, \"max_frame\": null, \"axis_max_deg\": null, \"axis_mean_deg\": null},\n"
        "    {\"row\": 2, \"model_node\": \"Cape\\u00e9\", \"source_node\": \"L Arm\", "
        "\"max_deg\": "
        "12.345679, \"mean_deg\": 0.000000, \"max_frame\": 1, \"axis_max_deg\": 3.500000, "
        "\"axis_mean_deg\": 0.250000}\n"
        "  ],\n"
        "  \"root\": {\"legs_ratio\": 0.500000,\n"
        "    \"source\": {\"rest_height\": 2.000000, \"min_height\": 1.000000, \"max_height\": "
        "3.000000, \"travel\": 10.000000, \"lowest_foot_height\": 0.250000},\n"
        "    \"result\": {\"rest_height\": 40.000000, \"min_height\": 30.000000, \"max_height\": "
        "50.000000, \"travel\": 200.000000, \"lowest_foot_height\": null}},\n"
        "  \"feet\": {\"source_ground\": 3.000000, \"result_ground\": null,\n"
        "    \"max_error\": 7.250000, \"median_error\": null,\n"
        "    \"pelvis_height\": null, \"scaled_source_pelvis_height\": null, \"max_pelvis_gap\": "
        "null,\n"
        "    \"max_slide\": null, \"slides\": 0, \"knee_flips\": 0,\n"
        "    \"cycles\": 1, \"source_cycle_travel\": 12.500000, \"result_cycle_travel\": null,\n"
        "    \"contacts\": [\n"
        "      {\"side\": \"right\", \"first_frame\": 0, \"last_frame\": 4, \"slide\": 0.500000},\n"
        "      {\"side\": \"left\", \"first_frame\": 3, \"last_frame\": 9, \"slide\": null}\n"
        "    ]},\n"
        "  \"collapsed_nodes\": [\"Cape\\u00e9\"],\n"
        "  \"unpaired_rows\": [1],\n"
        "  \"warnings\": [\n"
        "    {\"code\": \"root-travel\", \"text\": \"" +
        WarningText(w) +
        "\"},\n"
        "    {\"code\": \"torn-bone\", \"text\": \"" +
        WarningText(torn) +
        "\", \"rows\": [{\"row\": 1, \"node\": \"Bip01 Pelvis\", \"largest\": 34.500000, "
        "\"frame\": null}]}\n"
        "  ]\n"
        "}";
    EXPECT_EQ(ReportJson(r), object + "\n");
}

}  // namespace varnex
