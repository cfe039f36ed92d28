// The check, the build and the pairing on skeletons of other families' shapes: what they measure
// of each chain and the torn-bone and chain-angle warnings they give, end to end through
// varnex-cli's commands.
#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_in_process.h"
#include "motion/motion_setup.h"
#include "motion/motion_texts.h"
#include "motion/smd_angles.h"
#include "session/retarget_session.h"
#include "sample_families.h"
#include "test_support.h"

namespace varnex {

namespace {
// The same poses with each node's axes turned by a rotation of its own (drawn from seed), as
// exporters of other rigs write them: every joint stays where it was.
std::vector<SAMPLE_POSE> OnOtherAxes(const SAMPLE_SKELETON& skeleton,
                                     const std::vector<SAMPLE_POSE>& poses, unsigned seed) {
    std::mt19937 draw(seed);
    std::uniform_real_distribution<double> angle(-3.1, 3.1);
    std::vector<MAT3> axes;
    for (std::size_t n = 0; n < poses.size(); ++n) {
        axes.push_back(RotationOfAngles(SMD_ANGLES{angle(draw), angle(draw) / 2, angle(draw)}));
    }
    std::vector<SAMPLE_POSE> turned;
    for (std::size_t n = 0; n < poses.size(); ++n) {
        const SAMPLE_POSE& p = poses[n];
        int parent = skeleton.nodes[n].parent;
        MAT3 parentAxes = parent < 0 ? MAT3{} : axes[static_cast<std::size_t>(parent)];
        VEC3 offset = TurnedBack(parentAxes, VEC3{p.x, p.y, p.z});
        MAT3 own = Multiply(RotationOfAngles(SMD_ANGLES{p.rx, p.ry, p.rz}), axes[n]);
        SMD_ANGLES a = AnglesOf(MultiplyTransposed(parentAxes, own), SMD_ANGLES{});
        turned.push_back(SAMPLE_POSE{offset.x, offset.y, offset.z, a.x, a.y, a.z});
    }
    return turned;
}

// A model of one shape driven by a walk of another, written as files.
struct FAMILY_PAIR {
    CTempDir dir;
    std::string model = dir.Path("model.smd");
    std::string ref = dir.Path("ref.smd");
    std::string walk = dir.Path("walk.smd");

    // With otherAxes, each skeleton's bones carry rest rotations of their own exporter's.
    FAMILY_PAIR(const FAMILY_SHAPE& modelShape, const FAMILY_SHAPE& sourceShape,
                double bowDegrees = 60.0, bool crouchedFirst = false, bool otherAxes = false) {
        SAMPLE_SKELETON m = FamilySkeleton(modelShape);
        SAMPLE_SKELETON s = FamilySkeleton(sourceShape);
        ScaleRole(s, SAMPLE_ROLE::CALF, 1.2);  // another body of the family
        std::vector<std::vector<SAMPLE_POSE>> frames = FamilyAnimation(s, 30, bowDegrees, crouchedFirst);
        if (otherAxes) {
            std::vector<SAMPLE_POSE> rest;
            for (const SAMPLE_NODE& node : m.nodes) rest.push_back(node.rest);
            rest = OnOtherAxes(m, rest, 7);
            for (std::size_t n = 0; n < rest.size(); ++n) m.nodes[n].rest = rest[n];
            for (std::vector<SAMPLE_POSE>& frame : frames) frame = OnOtherAxes(s, frame, 11);
        }
        WriteFile(model, FamilyReferenceSmd(m));
        WriteFile(ref, FamilySmd(s, {frames.front()}));
        WriteFile(walk, FamilySmd(s, frames));
    }

    CLI_RUN Run(const std::string& command, std::vector<std::string> more = {}) const {
        std::vector<std::string> args = {command, "--model", model, "--ref-anim", ref};
        args.insert(args.end(), more.begin(), more.end());
        args.push_back(walk);
        return RunInProcess(args);
    }

    // The pairing's setup as the command line makes it, for PairingWarnings.
    MOTION_SETUP Setup() const {
        CRetargetSession session;
        session.LoadModel(model);
        session.LoadReference(ref);
        return session.MotionSetup();
    }
};

// A row's figure in the check's JSON ("max_deg", "max_frame", "axis_max_deg"); -1 for null.
double Figure(const std::string& json, const std::string& node, const std::string& key) {
    std::size_t at = json.find("\"model_node\": \"" + node + "\"");
    EXPECT_NE(at, std::string::npos) << node;
    at = json.find("\"" + key + "\": ", at) + key.size() + 4;
    return json.compare(at, 4, "null") == 0 ? -1.0 : std::stod(json.substr(at));
}

// The rows a warning of the check's JSON names, as "node largest@frame" (largest to 0.01).
std::vector<std::string> Warned(const std::string& json, const std::string& code) {
    std::vector<std::string> rows;
    std::size_t at = json.find("{\"code\": \"" + code + "\"");
    if (at == std::string::npos) return rows;
    std::string line = json.substr(at, json.find('\n', at) - at);
    static const std::regex ROW("\\{\"row\": [0-9]+, \"node\": \"([^\"]*)\", \"largest\": "
                                "([0-9.]+), \"frame\": (null|[0-9]+)\\}");
    for (std::sregex_iterator it(line.begin(), line.end(), ROW), last; it != last; ++it) {
        char largest[32];
        std::snprintf(largest, sizeof largest, "%.2f", std::stod((*it)[2]));
        rows.push_back((*it)[1].str() + " " + largest +
                       ((*it)[3] == "null" ? "" : "@" + (*it)[3].str()));
    }
    return rows;
}

std::vector<std::string> Codes(const std::vector<MOTION_WARNING>& warnings) {
    std::vector<std::string> codes;
    for (const MOTION_WARNING& w : warnings) codes.push_back(WarningCodeText(w.code));
    return codes;
}

}  // namespace
// Two bodies of one family paired one to one, even from a crouched first frame: every chain and
// every end's X axis keeps the source's direction, and neither check, build nor pairing warns.
TEST(FamilyWarnings, OneFamilyPairedOneToOneCarriesNeither) {
    for (bool crouched : {false, true}) {
        FAMILY_PAIR p(FAMILY_SHAPE(), FAMILY_SHAPE(), 60.0, crouched);
        CLI_RUN check = p.Run("check", {"--json"});
        ASSERT_EQ(check.status, 0) << check.err;
        static const std::regex ANGLE("\"(axis_)?max_deg\": ([0-9.]+)");
        int angles = 0;
        for (std::sregex_iterator it(check.out.begin(), check.out.end(), ANGLE), last; it != last; ++it, ++angles) {
            EXPECT_LT(std::stod((*it)[2]), 1e-4) << crouched << " " << it->str();
        }
        EXPECT_EQ(angles, 21 + 5);  // rows 1 to 21; the head, the hands and the toes
        EXPECT_EQ(check.out.find("torn-bone"), std::string::npos);
        EXPECT_EQ(check.out.find("chain-angle"), std::string::npos);
        CLI_RUN build = p.Run("build", {"-o", p.dir.Path("out.smd")});
        EXPECT_EQ(build.err, "");
        EXPECT_EQ(Codes(PairingWarnings(p.Setup())), std::vector<std::string>{});
    }
}

// A spine of 4 segments bowing 90° drives one of 1: the model's spine takes the first segment's
// 22.5°, so its neck points 3/8 of the bow away from the source's and its head 3/4, in the
// frame of the deepest bow; the arms hang from the neck. The other way round the model's extra
// segments are unpaired and the bow is kept. The build measures no angle and says nothing.
TEST(FamilyWarnings, SpineChainsOfOtherLengthsNameTheirRowsWithTheirAngles) {
    FAMILY_PAIR shorter(FAMILY_SHAPE{.spineSegments = 1}, FAMILY_SHAPE{.spineSegments = 4}, 90.0);
    std::string json = shorter.Run("check", {"--json"}).out;
    EXPECT_NEAR(Figure(json, "Bip01 Head", "axis_max_deg"), 67.5, 0.01);
    EXPECT_EQ(Warned(json, "chain-angle"),
              (std::vector<std::string>{"Bip01 Neck 33.75@15", "Bip01 Head 67.50@15",
                                        "Bip01 L Clavicle 44.34@17", "Bip01 L Forearm 67.26@15",
                                        "Bip01 L Hand 67.29@15", "Bip01 R Clavicle 44.34@13",
                                        "Bip01 R Forearm 67.26@15", "Bip01 R Hand 67.29@15"}));
    EXPECT_EQ(shorter.Run("build", {"-o", shorter.dir.Path("out.smd")}).err, "");
    EXPECT_EQ(Codes(PairingWarnings(shorter.Setup())), std::vector<std::string>{});

    FAMILY_PAIR longer(FAMILY_SHAPE{.spineSegments = 4}, FAMILY_SHAPE{.spineSegments = 1}, 90.0);
    json = longer.Run("check", {"--json"}).out;
    EXPECT_EQ(Figure(json, "Bip01 Spine2", "max_deg"), -1.0);
    EXPECT_LT(Figure(json, "Bip01 Head", "max_deg"), 1e-4);
    EXPECT_EQ(Warned(json, "chain-angle"), std::vector<std::string>{});
}

// Thighs hung from the pelvis driven by thighs hung from a bowing spine: the hip joints sit where
// the source's offsets from the spine put them (34° off at rest, which the pairing says), and the
// legs lose the spine's 30° of bow.
TEST(FamilyWarnings, ThighsFromThePelvisAgainstThighsFromTheSpine) {
    FAMILY_PAIR p(FAMILY_SHAPE{.thighsFromSpine = false}, FAMILY_SHAPE());
    std::string json = p.Run("check", {"--json"}).out;
    EXPECT_NEAR(Figure(json, "Bip01 L Toe0", "axis_max_deg"), 30.63, 0.01);
    EXPECT_EQ(Warned(json, "chain-angle"),
              (std::vector<std::string>{"Bip01 L Thigh 52.07@17", "Bip01 L Calf 30.63@16",
                                        "Bip01 L Foot 30.63@16", "Bip01 L Toe0 30.63@16",
                                        "Bip01 R Thigh 50.95@16", "Bip01 R Calf 30.53@16",
                                        "Bip01 R Foot 30.54@16", "Bip01 R Toe0 30.58@16"}));
    std::vector<MOTION_WARNING> pairing = PairingWarnings(p.Setup());
    ASSERT_EQ(Codes(pairing), std::vector<std::string>{"chain-angle"});
    ASSERT_EQ(pairing[0].rows.size(), 2u);
    EXPECT_EQ(pairing[0].rows[1].node, "Bip01 R Thigh");
    EXPECT_NEAR(pairing[0].rows[1].largest, 33.98, 0.01);
    EXPECT_EQ(pairing[0].rows[1].frame, 0);
}

// A pelvis 0.0156 above the root drives one 10.8 above it: the bone scale of 692 throws the
// model's pelvis 34 units aside with the source's sway of a twentieth of a unit, which the check
// and the build (over every frame) say naming the row; the reference's first frame has no sway,
// so the pairing does not; the preview's watch does. The other way round the pelvis stays put, and its 0.0156 offset is
// too short to be measured.
TEST(FamilyWarnings, APelvisOffsetOf10_8DrivenByOneOf0_0156IsTorn) {
    FAMILY_PAIR thrown(FAMILY_SHAPE{.pelvisOffset = 10.8}, FAMILY_SHAPE{.pelvisOffset = 0.0156});
    std::string json = thrown.Run("check", {"--json"}).out;
    EXPECT_EQ(Warned(json, "torn-bone"), std::vector<std::string>{"Bip01 Pelvis 34.43"});
    EXPECT_EQ(Warned(json, "chain-angle"), std::vector<std::string>{});
    CLI_RUN build = thrown.Run("build", {"-o", thrown.dir.Path("out.smd")});
    EXPECT_NE(build.err.find("out.smd: avertissement torn-bone : "), std::string::npos) << build.err;
    EXPECT_NE(build.err.find(" : ligne 1 Bip01 Pelvis (jusqu'à 34.43 unités de sa position au "
                             "repos, à 10.80 unités de son parent au repos) ; "),
              std::string::npos)
        << build.err;
    EXPECT_NE(build.err.find("(--method world)\n"), std::string::npos);
    EXPECT_EQ(Codes(PairingWarnings(thrown.Setup())), std::vector<std::string>{});
    // The preview watches every frame, the ones it does not draw too.
    CLI_RUN preview = thrown.Run("preview", {"--step", "40", "-o", thrown.dir.Path("p.svg")});
    EXPECT_NE(preview.err.find("walk.smd: avertissement torn-bone : "), std::string::npos)
        << preview.err;
    EXPECT_NE(preview.err.find("ligne 1 Bip01 Pelvis (jusqu'à 34.43 unités"), std::string::npos);

    FAMILY_PAIR kept(FAMILY_SHAPE{.pelvisOffset = 0.0156}, FAMILY_SHAPE{.pelvisOffset = 10.8});
    json = kept.Run("check", {"--json"}).out;
    EXPECT_EQ(Figure(json, "Bip01 Pelvis", "max_deg"), -1.0);
    EXPECT_EQ(json.find("torn-bone"), std::string::npos);
    EXPECT_EQ(kept.Run("build", {"-o", kept.dir.Path("out.smd")}).err, "");
}

// Shapes whose chains the check measures without a warning: an extra "Neck1" (classed as the
// neck, so it shares the neck's partner and is not measured), a digitigrade leg (the foot's offset
// scaled from the source's puts it 17° off the source's calf-to-foot direction) and a root on
// the ground.
TEST(FamilyWarnings, AnExtraNeckADigitigradeLegAndARootOnTheGroundAreMeasured) {
    FAMILY_PAIR neck(FAMILY_SHAPE{.extraNeck = true}, FAMILY_SHAPE());
    std::string json = neck.Run("check", {"--json"}).out;
    EXPECT_EQ(Figure(json, "Bip01 Neck1", "max_deg"), -1.0);
    EXPECT_NEAR(Figure(json, "Bip01 Head", "max_deg"), 0.68, 0.01);
    EXPECT_NEAR(Figure(json, "Bip01 Head", "axis_max_deg"), 4.56, 0.01);

    FAMILY_PAIR horse(FAMILY_SHAPE{.horseLink = true}, FAMILY_SHAPE());
    json = horse.Run("check", {"--json"}).out;
    EXPECT_EQ(Figure(json, "Bip01 L HorseLink", "max_deg"), -1.0);
    EXPECT_NEAR(Figure(json, "Bip01 L Foot", "max_deg"), 16.95, 0.01);

    FAMILY_PAIR ground(FAMILY_SHAPE{.rootAtHips = false}, FAMILY_SHAPE());
    json = ground.Run("check", {"--json"}).out;
    EXPECT_LT(Figure(json, "Bip01 Pelvis", "max_deg"), 1e-4);
    for (const FAMILY_PAIR* p : {&neck, &horse, &ground}) {
        std::string out = p->Run("check", {"--json"}).out;
        EXPECT_EQ(Warned(out, "chain-angle"), std::vector<std::string>{});
        EXPECT_EQ(Warned(out, "torn-bone"), std::vector<std::string>{});
    }
}

// The world method on the torn pelvis: every bone keeps the model's length, so nothing is thrown,
// every chain points as the source's, and neither check, build nor pairing warns or advises.
TEST(FamilyWarnings, TheWorldMethodKeepsATornPelvisWhole) {
    FAMILY_PAIR thrown(FAMILY_SHAPE{.pelvisOffset = 10.8}, FAMILY_SHAPE{.pelvisOffset = 0.0156});
    CLI_RUN check = thrown.Run("check", {"--json", "--method", "world"});
    ASSERT_EQ(check.status, 0) << check.err;
    EXPECT_EQ(check.err, "");
    EXPECT_EQ(Warned(check.out, "torn-bone"), std::vector<std::string>{});
    EXPECT_EQ(Warned(check.out, "chain-angle"), std::vector<std::string>{});
    for (const char* node : {"Bip01 Spine", "Bip01 L Thigh", "Bip01 L Calf", "Bip01 Head"}) {
        EXPECT_LT(Figure(check.out, node, "max_deg"), 1e-3) << node;
    }
    CLI_RUN build = thrown.Run("build", {"-o", thrown.dir.Path("out.smd"), "--method", "world"});
    EXPECT_EQ(build.status, 0);
    EXPECT_EQ(build.err, "");
}

}  // namespace varnex

namespace varnex {
// The world method across every pair of the families' shapes, each skeleton on its own
// exporter's axes, walking with a bow of 20° (the spine's usual share of a walk) from a stance and
// from a crouch: no chain the check measures strays above 20°, none of a pair of one shape above
// a thousandth of a degree (the pelvis, hung from a root whose axes differ, among them), and no
// bone is torn.
TEST(FamilyWarnings, TheWorldMethodHoldsEveryChainAcrossFamilies) {
    std::vector<FAMILY_SHAPE> shapes;
    for (int segments = 1; segments <= 4; ++segments) {
        shapes.push_back(FAMILY_SHAPE{.spineSegments = segments});
    }
    shapes.push_back(FAMILY_SHAPE{.thighsFromSpine = false});
    shapes.push_back(FAMILY_SHAPE{.extraNeck = true});
    shapes.push_back(FAMILY_SHAPE{.horseLink = true});
    shapes.push_back(FAMILY_SHAPE{.rootAtHips = false});
    shapes.push_back(FAMILY_SHAPE{.pelvisOffset = 0.0156});
    shapes.push_back(FAMILY_SHAPE{.pelvisOffset = 10.8});
    static const std::regex ANGLE("\"model_node\": \"([^\"]*)\"[^\n]*\"max_deg\": ([0-9.]+)");
    int measured = 0;
    for (bool crouched : {false, true}) {
        for (std::size_t m = 0; m < shapes.size(); ++m) {
            for (std::size_t s = 0; s < shapes.size(); ++s) {
                if (crouched && (shapes[m].horseLink || shapes[s].horseLink)) continue;
                FAMILY_PAIR p(shapes[m], shapes[s], 20.0, crouched, true);
                CLI_RUN check = p.Run("check", {"--json", "--method", "world"});
                ASSERT_EQ(check.status, 0) << check.err;
                const double most = m == s ? 1e-3 : 20.0;
                for (std::sregex_iterator it(check.out.begin(), check.out.end(), ANGLE), last;
                     it != last; ++it, ++measured) {
                    EXPECT_LT(std::stod((*it)[2]), most)
                        << "shapes " << m << " <- " << s << (crouched ? " crouched " : " ")
                        << (*it)[1];
                }
                EXPECT_EQ(check.out.find("torn-bone"), std::string::npos) << m << " <- " << s;
            }
        }
    }
    EXPECT_GT(measured, 3000);
}

}  // namespace varnex
