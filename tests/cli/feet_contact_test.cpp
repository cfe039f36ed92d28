// --feet contact end to end: generated walks, jumps and crouches on the samples' runner, built
// onto models whose legs differ from it, and the written files measured by the check's own
// figures (foot error, slides, knee flips, pelvis, travel) against the same builds without it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <sstream>

#include "cli/cli_in_process.h"
#include "motion/forward_kinematics.h"
#include "motion/motion_setup.h"
#include "motion/smd_poses.h"
#include "sample_families.h"
#include "session/retarget_session.h"
#include "test_support.h"

namespace varnex {

namespace {
constexpr double PI = std::numbers::pi;

// A walk at `speed` units a frame (0: steps on the spot), a cycle of 30 frames: each foot planted
// for 18 frames where the hips pass over it, then swung 5 units high to its next place, the
// right half a cycle after the left; the hips bob 1 unit, 3 units below their rest height. A
// planted foot drifts `skid` units a frame forward, still a contact below 0.5.
std::vector<SAMPLE_STANCE> Walk(double speed, int frames, double skid = 0.0) {
    std::vector<SAMPLE_STANCE> walk;
    for (int t = 0; t < frames; ++t) {
        SAMPLE_STANCE s;
        s.rootX = speed * t;
        s.rootZ = -3.0 + std::cos(4 * PI * t / 30);
        for (int side = 0; side < 2; ++side) {
            int phase = t + 15 * side + 4;  // mid-stance at phase 9
            int cycle = phase / 30, at = phase % 30;
            double x = speed * (30 * cycle + 9 - 15 * side - 4), z = 0.0;
            if (at >= 18) {
                double f = (at - 17) / 13.0;
                x += f * 30 * speed + (1.0 - f) * 17 * skid;
                z = 5.0 * std::sin(PI * f);
            } else {
                x += at * skid;
            }
            (side == 0 ? s.leftX : s.rightX) = x;
            (side == 0 ? s.leftZ : s.rightZ) = z;
        }
        walk.push_back(s);
    }
    return walk;
}

// A source animation of the runner built onto a model, as files.
struct FEET_CASE {
    CTempDir dir;
    std::string model = dir.Path("model.smd");
    std::string ref = dir.Path("ref.smd");
    std::string anim = dir.Path("anim.smd");
    std::string out = dir.Path("out.smd");
    SAMPLE_SKELETON runner = RunnerSkeleton();
    SAMPLE_SKELETON target;

    FEET_CASE(const SAMPLE_SKELETON& model_, const std::vector<SAMPLE_STANCE>& stances,
              const SAMPLE_STANCE* refStance = nullptr)
        : target(model_) {
        std::vector<std::vector<SAMPLE_POSE>> frames;
        for (const SAMPLE_STANCE& s : stances) frames.push_back(StanceFrame(runner, s));
        WriteFile(model, FamilyReferenceSmd(target));
        WriteFile(ref, refStance ? FamilySmd(runner, {StanceFrame(runner, *refStance)})
                                 : FamilyReferenceSmd(runner));
        WriteFile(anim, FamilySmd(runner, frames));
    }

    struct RUN {
        MOTION_REPORT check;  // the session's check, in memory
        FEET_REPORT built;    // the written file measured
        // Of each frame, how far the pelvis stands below k times the source's above the ground.
        std::vector<double> lowering;
        ANIMATION_POSES output;
    };
    // plus100: the roles whose rows blend fully with the model's rest position (NODES + 100).
    RUN Run(RETARGET_METHOD method, FEET_MODE feet,
            const std::vector<SAMPLE_ROLE>& plus100 = {}) const {
        CRetargetSession s;
        s.Options().method = method;
        s.Options().feet = feet;
        s.LoadModel(model);
        s.LoadReference(ref);
        const std::vector<SAMPLE_NODE>& nodes = target.nodes;
        for (std::size_t row = 0; row < nodes.size(); ++row) {
            if (std::find(plus100.begin(), plus100.end(), nodes[row].role) == plus100.end())
                continue;
            std::string& text = s.Grid().Nodes()[row];
            text = std::to_string(std::stoi(text) + 100);
        }
        s.Build(anim, out);
        std::vector<SESSION_NOTE> notes;
        RUN r;
        r.check = s.Check(anim, notes);
        r.output = ReadAnimationPoses(out);
        ANIMATION_POSES source = ReadAnimationPoses(anim);
        // A front end holding the frames retargets them as the build wrote them.
        std::vector<std::vector<POSE>> memory = RetargetFrames(s.MotionSetup(), source.frames);
        EXPECT_EQ(memory.size(), r.output.frames.size());
        double worst = 0.0;
        for (std::size_t i = 0; i < memory.size() && i < r.output.frames.size(); ++i) {
            for (std::size_t n = 0; n < memory[i].size(); ++n) {
                const POSE &a = memory[i][n], &b = r.output.frames[i][n];
                for (double gap :
                     {a.x - b.x, a.y - b.y, a.z - b.z, a.rx - b.rx, a.ry - b.ry, a.rz - b.rz}) {
                    worst = std::max(worst, std::abs(gap));
                }
            }
        }
        EXPECT_LE(worst, 5e-7);  // the text's rounding
        ANIMATION_POSES rest = ReadAnimationPoses(model);
        CForwardKinematics sourceSkeleton(source.nodes), modelSkeleton(rest.nodes);
        std::vector<VEC3> sourceJoints, resultJoints;
        modelSkeleton.Solve(rest.frames.front(), resultJoints);
        CFeetCheck measure(CBipedRig(source.nodes), CBipedRig(rest.nodes), resultJoints,
                           s.Legs());
        EXPECT_EQ(source.frames.size(), r.output.frames.size());
        auto pelvis = [](const std::vector<SKELETON_NODE>& list) {
            std::size_t n = 0;
            while (n < list.size() && list[n].name != "Bip01 Pelvis") ++n;
            return n;
        };
        std::vector<double> sourcePelvis, resultPelvis;
        for (std::size_t i = 0; i < source.frames.size() && i < r.output.frames.size(); ++i) {
            sourceSkeleton.Solve(source.frames[i], sourceJoints);
            modelSkeleton.Solve(r.output.frames[i], resultJoints);
            measure.AddFrame(sourceJoints, resultJoints);
            sourcePelvis.push_back(sourceJoints[pelvis(source.nodes)].z);
            resultPelvis.push_back(resultJoints[pelvis(rest.nodes)].z);
        }
        r.built = measure.Report();
        for (std::size_t i = 0; i < sourcePelvis.size() && r.built.sourceGround; ++i) {
            r.lowering.push_back(s.Legs().ratio * (sourcePelvis[i] - *r.built.sourceGround) -
                                 (resultPelvis[i] - *r.built.resultGround));
        }
        return r;
    }
};

// The largest change of a value from one frame to the next.
double LargestStep(const std::vector<double>& values) {
    double step = 0.0;
    for (std::size_t i = 1; i < values.size(); ++i) {
        step = std::max(step, std::abs(values[i] - values[i - 1]));
    }
    return step;
}

// Feet held on the ground: the written file as the check measured it in memory, no foot off its
// scaled height, no planted foot sliding, no knee turned against the source's.
void ExpectGrounded(const FEET_CASE::RUN& r, const std::string& what) {
    SCOPED_TRACE(what);
    ASSERT_TRUE(r.built.maxError && r.check.feet.maxError);
    EXPECT_NEAR(*r.built.maxError, *r.check.feet.maxError, 1e-3);
    EXPECT_LT(*r.built.maxError, 0.3);
    EXPECT_LT(*r.built.medianError, 0.05);
    EXPECT_EQ(r.built.slides, 0);
    if (r.built.maxSlide) {
        EXPECT_LT(*r.built.maxSlide, 0.05);
    }
    EXPECT_EQ(r.built.kneeFlips, 0);
    for (const MOTION_WARNING& w : r.check.warnings) {
        EXPECT_NE(w.code, WARNING_CODE::FEET_OFF);
        EXPECT_NE(w.code, WARNING_CODE::FOOT_SLIDE);
    }
}

// The text with the fields of its skeleton lines written short, as some exporters write them:
// "1.500000" as "1.5", "0.000000" as "0"; other lines as they stand.
std::string ShortFields(const std::string& text) {
    std::istringstream in(text);
    std::string line, out;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::vector<std::string> fields;
        for (std::string w; words >> w;) fields.push_back(w);
        bool skeletonLine = fields.size() == 7;
        for (std::size_t f = 1; f < fields.size(); ++f) {
            skeletonLine = skeletonLine && fields[f].find('.') != std::string::npos;
        }
        if (skeletonLine) {
            line = " " + fields[0];
            for (std::size_t f = 1; f < 7; ++f) {
                std::string& w = fields[f];
                w.erase(w.find_last_not_of('0') + 1);
                if (w.back() == '.') w.pop_back();
                line += " " + (w.empty() || w == "-" ? w + "0" : w);
            }
            line += "\r";
        }
        out += line + "\n";
    }
    return out;
}

struct MODEL {
    std::string name;
    SAMPLE_SKELETON skeleton;
};
std::vector<MODEL> LegModels() {
    SAMPLE_SKELETON longer = KnightSkeleton(), shorter = KnightSkeleton();
    ScaleRole(longer, SAMPLE_ROLE::CALF, 1.4);
    ScaleRole(shorter, SAMPLE_ROLE::THIGH, 0.7);
    return {{"knight", KnightSkeleton()}, {"longer calves", longer}, {"shorter thighs", shorter}};
}
}  // namespace

// Walks forward and on the spot onto legs of other proportions, by both methods: without the
// option the feet follow the source's angles off the ground and slide; with it they stand and
// the root travels the source's way times the legs' ratio.
TEST(FeetContact, WalksStandOnLegsOfOtherProportionsByBothMethods) {
    for (double speed : {0.5, 0.0}) {
        for (const MODEL& m : LegModels()) {
            FEET_CASE c(m.skeleton, Walk(speed, 60));
            for (RETARGET_METHOD method : {RETARGET_METHOD::LOCAL, RETARGET_METHOD::WORLD}) {
                std::string what = m.name + (speed > 0 ? ", forward, " : ", on the spot, ") +
                                   (method == RETARGET_METHOD::WORLD ? "world" : "local");
                FEET_CASE::RUN plain = c.Run(method, FEET_MODE::NONE);
                FEET_CASE::RUN held = c.Run(method, FEET_MODE::CONTACT);
                ASSERT_EQ(held.built.contacts.size(), 5u) << what;
                ExpectGrounded(held, what);
                // The world method's bones keep their directions and lengths: it strays less.
                if (m.name != "knight" && method == RETARGET_METHOD::LOCAL) {
                    EXPECT_GT(*plain.built.maxError, 1.0) << what;
                }
                double k = held.check.legs.ratio;
                EXPECT_NEAR(*held.check.result.travel, k * *held.check.source.travel,
                            0.02 * k * 30.0 + 1e-6)
                    << what;
                ASSERT_EQ(held.check.feet.cycles, 2) << what;
                EXPECT_NEAR(*held.check.feet.sourceCycleTravel, 30.0 * speed, 1e-6) << what;
                EXPECT_NEAR(*held.check.feet.resultCycleTravel, k * 30.0 * speed, 1e-3) << what;
                // The local method's legs, scaled bone by bone, reach less far: the pelvis comes
                // down where the world method's stands as the source's.
                EXPECT_NEAR(*held.built.pelvisHeight, *held.built.scaledSourcePelvisHeight,
                            method == RETARGET_METHOD::WORLD ? 0.05 : 1.5)
                    << what;
            }
        }
    }
}

// A planted foot of the source that skids carries its body along: the result's foot stays, and
// the root travels over each contact what the source's root travels from its foot, scaled.
TEST(FeetContact, TheRootTravelsWhatThePlantedFootAllows) {
    FEET_CASE c(KnightSkeleton(), Walk(0.5, 60, 0.2));
    ANIMATION_POSES source = ReadAnimationPoses(c.anim);
    for (RETARGET_METHOD method : {RETARGET_METHOD::LOCAL, RETARGET_METHOD::WORLD}) {
        FEET_CASE::RUN plain = c.Run(method, FEET_MODE::NONE);
        FEET_CASE::RUN held = c.Run(method, FEET_MODE::CONTACT);
        EXPECT_GT(plain.built.slides, 0);
        ExpectGrounded(held, "skids");
        ASSERT_EQ(held.built.contacts.size(), 5u);
        const double k = held.check.legs.ratio;
        CForwardKinematics skeleton(source.nodes);
        std::vector<VEC3> first, last;
        for (const FOOT_CONTACT& f : held.built.contacts) {
            std::size_t foot = f.side == FOOT_SIDE::LEFT ? 6 : 9;  // the runner's feet
            skeleton.Solve(source.frames[static_cast<std::size_t>(f.first)], first);
            skeleton.Solve(source.frames[static_cast<std::size_t>(f.last)], last);
            double allowed = k * ((last[0].x - first[0].x) - (last[foot].x - first[foot].x));
            const auto& out = held.output.frames;
            double travel = out[static_cast<std::size_t>(f.last)][0].x -
                            out[static_cast<std::size_t>(f.first)][0].x;
            EXPECT_NEAR(travel, allowed, 0.05) << f.first << "-" << f.last;
        }
    }
}

// A jump: the feet leave the ground for 10 frames, no contact then, and land; a reference whose
// first frame crouches 10 units lifts today's result off the ground, not the option's.
TEST(FeetContact, AJumpAndACrouchedReferenceFrameKeepTheFeetAtTheirHeight) {
    std::vector<SAMPLE_STANCE> jump(24);
    for (int t = 0; t < 24; ++t) jump[static_cast<std::size_t>(t)].rootZ = -4.0;
    for (int t = 6; t < 16; ++t) {
        double h = 12.0 * std::sin(PI * (t - 5) / 11.0);
        jump[static_cast<std::size_t>(t)] = {0.0, h - 4.0, 0.0, h, 0.0, h};
    }
    SAMPLE_SKELETON longer = KnightSkeleton();
    ScaleRole(longer, SAMPLE_ROLE::CALF, 1.4);
    FEET_CASE c(longer, jump);
    FEET_CASE::RUN held = c.Run(RETARGET_METHOD::WORLD, FEET_MODE::CONTACT);
    std::vector<std::string> contacts;
    for (const FOOT_CONTACT& f : held.built.contacts) {
        contacts.push_back(std::to_string(f.first) + "-" + std::to_string(f.last));
    }
    EXPECT_EQ(contacts, (std::vector<std::string>{"0-5", "0-5", "16-23", "16-23"}));
    ExpectGrounded(held, "jump");

    SAMPLE_STANCE crouch;
    crouch.rootZ = -10.0;
    FEET_CASE crouched(KnightSkeleton(), Walk(0.5, 60), &crouch);
    EXPECT_GT(*crouched.Run(RETARGET_METHOD::WORLD, FEET_MODE::NONE).built.maxError, 5.0);
    ExpectGrounded(crouched.Run(RETARGET_METHOD::WORLD, FEET_MODE::CONTACT), "crouched");
}

// Knees whose rest pose bends them backwards, their calves and feet blended fully with their rest
// positions: copying the source's rotations turns them against the source's knee once it bends;
// the option turns them its way, also with legs near straight.
TEST(FeetContact, KneesTurnTheSourcesWayNearStraightOrBent) {
    SAMPLE_SKELETON backKnees = KnightSkeleton();
    for (SAMPLE_NODE& node : backKnees.nodes) {
        if (node.role == SAMPLE_ROLE::CALF) node.rest.x = -4.0;
        if (node.role == SAMPLE_ROLE::FOOT) node.rest.x = 4.0;
    }
    std::vector<SAMPLE_STANCE> bends(20);
    for (int t = 0; t < 20; ++t) bends[static_cast<std::size_t>(t)].rootZ = -0.05 - t * 0.8;
    FEET_CASE c(backKnees, bends);
    const std::vector<SAMPLE_ROLE> blended = {SAMPLE_ROLE::CALF, SAMPLE_ROLE::FOOT};
    EXPECT_GE(c.Run(RETARGET_METHOD::LOCAL, FEET_MODE::NONE, blended).built.kneeFlips, 2);
    for (RETARGET_METHOD method : {RETARGET_METHOD::LOCAL, RETARGET_METHOD::WORLD}) {
        ExpectGrounded(c.Run(method, FEET_MODE::CONTACT, blended), "back knees");
    }
}

// Digitigrade legs cannot straighten: where the source's hips stand higher than they reach, the
// pelvis comes down, eased over neighbouring frames (also where the source's hips pop up for a
// frame), the feet still on the ground and the extra segment at the angle the method gave it.
TEST(FeetContact, ThePelvisComesDownSmoothlyWhereALegCannotReach) {
    FAMILY_SHAPE shape;
    shape.horseLink = true;
    SAMPLE_SKELETON digitigrade = FamilySkeleton(shape);
    // Steps on the spot, the hips rising from 3 units below their rest height to it and back.
    std::vector<SAMPLE_STANCE> rise = Walk(0.0, 40);
    for (int t = 0; t < 40; ++t) {
        double s = std::sin(PI * t / 40);
        rise[static_cast<std::size_t>(t)].rootZ = -3.0 + 3.0 * s * s;
    }
    rise[8].rootZ += 2.5;
    FEET_CASE c(digitigrade, rise);
    FEET_CASE::RUN plain = c.Run(RETARGET_METHOD::WORLD, FEET_MODE::NONE);
    FEET_CASE::RUN held = c.Run(RETARGET_METHOD::WORLD, FEET_MODE::CONTACT);
    ExpectGrounded(held, "digitigrade");
    EXPECT_LT(*held.built.pelvisHeight, *held.built.scaledSourcePelvisHeight - 1.0);
    double most = *std::max_element(held.lowering.begin(), held.lowering.end());
    EXPECT_GT(most, 1.0);
    EXPECT_LT(LargestStep(held.lowering), 0.3 * most);
    for (std::size_t row = 0; row < held.output.nodes.size(); ++row) {
        if (held.output.nodes[row].name.find("HorseLink") == std::string::npos) continue;
        for (std::size_t i = 0; i < held.output.frames.size(); ++i) {
            const POSE &a = held.output.frames[i][row], &b = plain.output.frames[i][row];
            EXPECT_NEAR(a.rx, b.rx, 1e-6);
            EXPECT_NEAR(a.ry, b.ry, 1e-6);
            EXPECT_NEAR(a.rz, b.rz, 1e-6);
        }
    }
}

// The option on the command line: its values, its refusal of others, and a build by it.
TEST(FeetContact, TheCommandLineTakesContactOrNone) {
    FEET_CASE c(KnightSkeleton(), Walk(0.5, 40));
    auto run = [&](std::vector<std::string> more) {
        std::vector<std::string> args = {"build", "--model", c.model,
                                         "--ref-anim", c.ref, "-o", c.out};
        args.insert(args.end(), more.begin(), more.end());
        args.push_back(c.anim);
        CLI_RUN r = RunInProcess(args);
        return std::pair{r.status, r.err};
    };
    EXPECT_EQ(run({"--feet", "walk"}).first, 2);
    EXPECT_NE(run({"--feet", "walk"}).second.find("--feet attend contact ou none"),
              std::string::npos);
    ASSERT_EQ(run({"--feet", "none"}).first, 0);
    std::string plain = ReadFile(c.out);
    ASSERT_EQ(run({"--feet", "contact", "--threads", "1"}).first, 0);
    const std::string held = ReadFile(c.out);
    EXPECT_NE(held, plain);
    // With a second thread the frames are read ahead of the stage, in batches: the same bytes.
    ASSERT_EQ(run({"--feet", "contact", "--threads", "2"}).first, 0);
    EXPECT_TRUE(ReadFile(c.out) == held);

    // A rotation that is no number in an arm's line, then in a foot's: the first pass, which
    // reads the feet alone, leaves the refusal to the full reading, as without the option; then
    // one past the frames read ahead in the first batch: the same line, nothing written. 26 lines
    // of head, 23 a frame: frame 10's "time" line is 257, node 15's sixteen lines on.
    const std::string clean = ReadFile(c.anim);
    using SPOILED = std::vector<std::pair<const char*, const char*>>;  // "time" line, node
    const std::pair<SPOILED, const char*> CASES[] = {
        {{{"time 10\r\n", " 15 "}, {"time 12\r\n", "  6 "}}, "anim.smd:273:"},
        {{{"time 36\r\n", " 15 "}}, "anim.smd:871:"}};
    for (const auto& [spoiled, where] : CASES) {
        std::string text = clean;
        for (auto [time, node] : spoiled) {
            std::size_t line = text.find(std::string("\n") + node, text.find(time)) + 1;
            text.replace(text.find('\r', line) - 8, 8, "rotation");
        }
        WriteFile(c.anim, text);
        auto refused = run({"--feet", "none"});
        EXPECT_EQ(refused.first, 1);
        EXPECT_NE(refused.second.find(where), std::string::npos) << refused.second;
        for (const char* threads : {"1", "2"}) {
            EXPECT_EQ(run({"--feet", "contact", "--threads", threads}), refused) << threads;
            EXPECT_TRUE(ReadFile(c.out) == held);
        }
    }
}

// The local method's texts through the stage: a source and a model whose fields are written
// short keep them, byte for byte as without the option, on every row the stage cannot move
// (spine, arms, head, the toes below the feet, the model's prop from its rest line); the legs'
// rows change, and row 0 only in its position.
TEST(FeetContact, RowsTheStageLeavesKeepTheLocalMethodsTexts) {
    FEET_CASE c(KnightSkeleton(), Walk(0.5, 40));
    WriteFile(c.anim, ShortFields(ReadFile(c.anim)));
    WriteFile(c.model, ShortFields(ReadFile(c.model)));
    auto build = [&](const std::string& feet) {
        EXPECT_EQ(RunInProcess({"build", "--model", c.model, "--ref-anim", c.ref, "-o", c.out,
                                "--feet", feet, c.anim})
                      .status,
                  0);
        std::istringstream in(ReadFile(c.out));
        std::vector<std::pair<std::string, std::vector<std::string>>> lines;  // bytes and words
        for (std::string line; std::getline(in, line);) {
            std::istringstream words(line);
            lines.emplace_back(line, std::vector<std::string>());
            for (std::string w; words >> w;) lines.back().second.push_back(w);
        }
        return lines;
    };
    const auto plain = build("none"), held = build("contact");
    ASSERT_EQ(plain.size(), held.size());
    auto legs = [&](std::size_t row) {
        SAMPLE_ROLE role = c.target.nodes[row].role;
        return role == SAMPLE_ROLE::THIGH || role == SAMPLE_ROLE::CALF || role == SAMPLE_ROLE::FOOT;
    };
    std::vector<int> changed(c.target.nodes.size(), 0);
    int shortTexts = 0, rowZeroTurned = 0;
    std::string kept;  // the lines of the rows the stage leaves that it changed anyway
    for (std::size_t n = 0; n < plain.size(); ++n) {
        const std::vector<std::string>&a = plain[n].second, &b = held[n].second;
        if (a.size() != 7 || b.size() != 7 || a[1].find('.') == std::string::npos) continue;
        const auto row = static_cast<std::size_t>(std::stoi(a[0]));
        ASSERT_LT(row, changed.size());
        shortTexts += a[6].find('.') == std::string::npos;
        const bool same = plain[n].first == held[n].first;
        changed[row] += !same;
        rowZeroTurned += row == 0 && !std::equal(a.begin() + 4, a.end(), b.begin() + 4);
        if (row != 0 && !legs(row) && !same) kept += std::to_string(n + 1) + " ";
    }
    EXPECT_EQ(kept, "");
    EXPECT_EQ(rowZeroTurned, 0);
    EXPECT_GT(shortTexts, 400);
    for (std::size_t row = 0; row < changed.size(); ++row) {
        if (row == 0 || legs(row)) {
            EXPECT_GT(changed[row], 30) << c.target.nodes[row].name;
        }
    }
}

}  // namespace varnex
