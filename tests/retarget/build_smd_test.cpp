#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <iterator>

#include "app/error_text.h"

#include "session/grid_texts.h"
#include "motion/motion_setup.h"
#include "motion/report_json.h"
#include "pairing/bone_scale.h"
#include "pairing/skeleton_pairing.h"
#include "retarget/build_smd.h"
#include "retarget/typed_build.h"
#include "session/retarget_session.h"
#include "platform/varnex_error.h"
#include "smd_input/decimal_text.h"
#include "cli/cli_in_process.h"
#include "dialog_fixture.h"
#include "test_support.h"

namespace varnex {

namespace {
const std::vector<FRAME_LINE> REST = {
    {"  0 0.000000 0.000000 40.000000 0.000000 0.000000 0.000000", 9},
    {"  1 0.000000 2.000000 0.000000 0.000000 0.000000 1.000000", 10},
};

SMD_HEAD Model(const std::vector<FRAME_LINE>& rest) {
    SMD_HEAD model;
    model.source = "model.smd";
    model.headerLines = {"version 1", "nodes", "  0 \"root\"  -1", "  1 \"a\"   0", "end", "skeleton"};
    model.rest = ReadRestPose(rest);
    return model;
}
const SMD_HEAD MODEL = Model(REST);

// The animations below have no head: their lines are keyed by a list of 2,000 nodes.
const ANIMATION_NODES ANIM_NODES = [] {
    ANIMATION_NODES nodes;
    for (int i = 0; i < 2000; ++i) nodes.keys.push_back(ParseNodeLine(NodeLine(i, "n", i - 1), 0));
    return nodes;
}();

BUILD_JOB Job(const std::vector<RETARGET_ROW>& rows, const std::string& lineEnd = "\r\n") {
    BUILD_JOB job;
    job.model = &MODEL;
    job.animNodes = &ANIM_NODES;
    job.rows = DecodeRows(rows);
    job.lineEnd = lineEnd;
    return job;
}

// Runs the build on an animation text whose skeleton block starts at its first line.
std::string Build(const BUILD_JOB& job, const std::string& frames) {
    CMemorySource source(frames, "walk.smd");
    CLineReader reader(source, 0, 8);
    CStringSink sink;
    WriteRetargetedAnimation(job, reader, sink);
    return sink.Text();
}

// The rows SMD Ref Animation gives the samples, row 0's Correction typed as rowZeroCorrection.
std::vector<DECODED_ROW> PairedRows(const SMD_HEAD& model, const SMD_HEAD& ref,
                                     const char* rowZeroCorrection) {
    int nodes = static_cast<int>(model.nodes.size());
    CGridTexts grid;
    grid.Resize(DEFAULT_GRID_ROWS);
    PAIRING pairing = PairSkeletons(model.nodes, nodes, ref.nodes, BIPED_MARKS());
    grid.SetPartners(pairing.partner);
    grid.Corrections()[0] = rowZeroCorrection;
    BONE_SCALES scales = ComputeBoneScales(model, ref, grid.Values(), nodes, pairing.marks);
    return BuildRows(grid.Values(), scales.factor, nodes);
}

const char* const HEADER =
    "version 1\r\nnodes\r\n  0 \"root\"  -1\r\n  1 \"a\"   0\r\nend\r\nskeleton\r\n";
}  // namespace

TEST(BuildSmd, HeaderThenEachFrameWithOneLinePerModelNodeWhateverTheLayout) {
    // Row 0 follows line 1 of each frame; row 1 keeps its rest line. LF and CR LF line ends,
    // blank lines, indented keywords, runs of blanks and tabs, lines no row reads, and what
    // follows the frames' "end".
    BUILD_JOB job = Job({{1, 1.0, 2.0}, {0, 1.0, 1.0}});
    std::string frames =
        "\n  time 0\n\n  0 9 9 9 0 0 0\n  1   1.000000\t2.000000 3.000000 0.1  0.2 0.3\n\n"
        "  2 7 7 7 7 7 7\ntime 1\r\n  0 9 9 9 0 0 0\r\n  1 -1 -2 -3 0.4 0.5 0.6\r\n   end  \r\n"
        "triangles\r\n";
    EXPECT_EQ(Build(job, frames),
              std::string(HEADER) +
                  "time 0\r\n  0 2.000000 4.000000 6.000000 0.1 0.2 0.3\r\n"
                  "  1 0.000000 2.000000 0.000000 0.000000 0.000000 1.000000\r\n"
                  "time 1\r\n  0 -2.000000 -4.000000 -6.000000 0.4 0.5 0.6\r\n"
                  "  1 0.000000 2.000000 0.000000 0.000000 0.000000 1.000000\r\nend\r\n");
}

TEST(BuildSmd, FastRouteWritesWhatTheGeneralAndTheTypedLocalRoutesWrite) {
    // Random frames mixing the usual number form with the others (exponents, signs, long digit
    // strings, tabs, text), on rows that scale, blend, keep the rest line and repeat a source.
    // The typed local route reads the same frames as files: the model, and four nodes.
    CTestRandom random(0x2545F4914F6CDD1Dull);
    auto next = [&random](std::uint64_t n) { return random.Below(n); };
    // The last frames also hold texts a rotation may not have: both routes refuse the same line.
    int frame = 0;
    auto number = [&]() -> std::string {
        static const char* const ODD[] = {"1e-3", "+2.5", "5.", ".25", "-0", "12.345678901",
                                          "1234567.1", "-0.000000", "0x1p3", "nan", "3.5abc"};
        if (next(8) == 0) return ODD[next(frame < 280 ? 8 : std::size(ODD))];
        char text[48];
        double magnitude = std::pow(10.0, static_cast<double>(next(9)) - 4.0);
        std::snprintf(text, sizeof text, "%.*f", static_cast<int>(1 + next(7)),
                      (static_cast<double>(next(2000001)) / 1e6 - 1.0) * magnitude);
        return text;
    };
    std::string frames;
    for (; frame < 300; ++frame) {
        frames += "time " + std::to_string(frame) + "\r\n";
        for (int line = 0; line < 4; ++line) {
            frames += "  " + std::to_string(line);
            for (int field = 0; field < 6; ++field) frames += (next(10) == 0 ? "\t" : " ") + number();
            frames += next(10) == 0 ? " extra\r\n" : "\r\n";
        }
    }
    std::size_t cut = frames.find("time 280");
    std::string goodFrames = frames.substr(0, cut) + "end\r\n";
    frames += "end\r\n";
    auto outputOrMessage = [](const BUILD_JOB& job, const std::string& text) {
        try {
            return Build(job, text);
        } catch (const CVarnexError& e) {
            return ErrorText(e);
        }
    };
    CTempDir dir;
    std::string model = HEADER + std::string("time 0\r\n");
    for (const FRAME_LINE& line : REST) model += line.text + "\r\n";
    WriteFile(dir.Path("model.smd"), model + "end\r\n");
    std::string nodes = "version 1\r\nnodes\r\n";
    for (int n = 0; n < 4; ++n) nodes += NodeLine(n, "n" + std::to_string(n), n - 1) + "\r\n";
    nodes += "end\r\nskeleton\r\n";
    std::string refText = nodes + "time 0\r\n";
    for (int n = 0; n < 4; ++n) refText += "  " + std::to_string(n) + " 0 0 0 0 0 0\r\n";
    WriteFile(dir.Path("ref.smd"), refText + "end\r\n");
    const SMD_HEAD modelHead = ReadModelFile(dir.Path("model.smd"));
    const SMD_HEAD ref = ReadReferenceAnimationFile(dir.Path("ref.smd"));
    auto typed = [&](const std::vector<RETARGET_ROW>& rows, const std::string& text) {
        WriteFile(dir.Path("anim.smd"), nodes + text);
        BUILD_JOB job = Job(rows);
        job.model = &modelHead;
        try {
            RetargetAnimationFileTyped(job, MakeMotionSetup(modelHead, ref, DecodeRows(rows), ROOT_MODE::SCALE),
                                       dir.Path("anim.smd"), dir.Path("typed.smd"));
        } catch (const CVarnexError&) {
            return std::string("refused");
        }
        return ReadFile(dir.Path("typed.smd"));
    };
    for (const std::vector<RETARGET_ROW>& rows :
         {std::vector<RETARGET_ROW>{{3, 1.0, 1.2523763407477821}, {3, 0.5, 0.75}},
          std::vector<RETARGET_ROW>{{102, 0.25, 1.5}, {0, 1.0, 1.0}},
          std::vector<RETARGET_ROW>{{101, -1.5, 1e-9}, {2, 3.0, 1e-4}}}) {
        BUILD_JOB general = Job(rows);
        general.generalRouteOnly = true;
        std::string expected = outputOrMessage(general, goodFrames);
        EXPECT_EQ(outputOrMessage(Job(rows), goodFrames), expected);
        EXPECT_NE(expected.find("time 279"), std::string::npos) << expected;
        EXPECT_EQ(outputOrMessage(Job(rows), frames), outputOrMessage(general, frames));
        EXPECT_EQ(typed(rows, goodFrames), expected);
        EXPECT_EQ(typed(rows, frames).rfind("refused", 0), 0u);
    }
}

// Segments of any size, on two or three workers, give what one thread gives: the same bytes,
// the same refusal with the same line, the same root heights and torn bones (row 1's offset,
// four times the source's, strays from its rest from frame 11 on). The animations mix line ends,
// blank lines, lines before the first frame and behind "end", lines for the general route, and
// a frame too long to cut (built on the calling thread).
TEST(BuildSmd, SegmentedBuildWritesRefusesAndMeasuresAsOneThread) {
    auto animation = [](int longFrame) {
        std::string frames = "  junk before the first frame\n";
        const char* const ENDS[] = {"\r\n", "\n", "\r"};
        for (int frame = 0; frame < 40; ++frame) {
            const char* end = ENDS[frame % 3];
            frames += (frame % 4 == 0 ? "  time " : "time ") + std::to_string(frame) + end;
            if (frame % 5 == 0) frames += std::string("\t ") + end;
            for (int line = 0; line < (frame == longFrame ? 2000 : 3); ++line) {
                frames += "  " + std::to_string(line) + " " + std::to_string(frame * 0.25) +
                          (frame % 7 == 0 ? " 1e-2 " : " 2.500000 ") +
                          std::to_string(frame % 9 - line) + " 0.1 0.2 0.3" + end;
            }
        }
        return frames;
    };
    std::string frames = animation(-1);
    std::string ended = frames + "end\r\n  7 not read\r\ntime x\r\n";
    for (int frame = 41; frame < 45; ++frame) {
        ended += "time " + std::to_string(frame) + "\r\n  0 1 2 3 4 5 6\r\n";
    }
    std::string longFrame = animation(20) + "end\n";
    std::string badRotation = ended;
    badRotation.replace(badRotation.rfind("0.3\r", badRotation.find("time 31")), 3, "0.x");
    std::string shortFrame = ended;
    shortFrame.insert(shortFrame.find("time 34"), "time 99\n  0 0 0 0 0 0 0\n");
    std::string badTime = ended;
    badTime.insert(badTime.find("time 37"), "time\r\n");
    std::string repeated = ended;
    repeated.insert(repeated.find("time 33"), "  1 0 0 0 0 0 0\r\n");
    std::string lacking = ended;
    lacking.insert(lacking.find("time 29"), "time 98\n  1 0 0 0 0 0 0\n");
    struct OUTCOME {
        std::string result;
        CRootHeightRange heights;
        CBoneTears tears;
        bool refused = false;
    };
    auto outcome = [](const BUILD_JOB& job, const std::string& text) {
        OUTCOME o;
        BUILD_JOB measured = job;
        measured.rootHeights = &o.heights;
        measured.boneTears = &o.tears;
        try {
            o.result = Build(measured, text);
        } catch (const CVarnexError& e) {
            o.result = ErrorText(e);
            o.refused = true;
        }
        return o;
    };
    BUILD_JOB one = Job({{1, 1.0, 2.0}, {2, 0.5, 8.0}});
    std::optional<MOTION_WARNING> torn = outcome(one, ended).tears.Warning();
    ASSERT_TRUE(torn);
    ASSERT_EQ(torn->rows.size(), 1u);
    EXPECT_EQ(torn->rows[0].row, 1);
    // Frame 35: 4 times (8.75, 0.01, 35 % 9 - 2) against the rest line (0, 2, 0).
    EXPECT_NEAR(torn->rows[0].largest, std::hypot(35.0, 4 * 0.01 - 2.0, 24.0), 1e-9);
    for (const std::string& text :
         {ended, frames, badRotation, shortFrame, badTime, repeated, lacking, longFrame}) {
        auto expected = outcome(one, text);
        for (std::size_t segmentBytes : {std::size_t{1}, std::size_t{50}, std::size_t{200},
                                         std::size_t{900}, std::size_t{1} << 20}) {
            for (int threads : {2, 3}) {
                BUILD_JOB segmented = one;
                segmented.threads = threads;
                segmented.segmentBytes = segmentBytes;
                auto got = outcome(segmented, text);
                EXPECT_EQ(got.result, expected.result) << segmentBytes << " " << threads;
                EXPECT_TRUE(got.heights == expected.heights) << segmentBytes << " " << threads;
                // A refused build says no warning: what it measured before stopping differs.
                EXPECT_TRUE(expected.refused || got.tears == expected.tears)
                    << segmentBytes << " " << threads;
            }
        }
    }
}

TEST(BuildSmd, RotationsAndRestLinesMustBeNumbers) {
    BUILD_JOB job = Job({{0, 1.0, 1.0}});
    const std::string ROTATIONS[] = {"nan", "1.5abc", "1e999", "--1", std::string("0\0", 2)};
    for (const std::string& rotation : ROTATIONS) {
        std::string frames = "time 0\r\n  0 1 2 3 4 5 " + rotation + "\r\nend\r\n";
        EXPECT_EQ(KindOf([&] { Build(job, frames); }), ERROR_KIND::NOT_A_NUMBER) << rotation;
    }
    SMD_HEAD badModel = Model({REST[0], {"  1 0 2 0 0 0 inf", 10}});
    BUILD_JOB rest = Job({{0, 1.0, 1.0}, {0, 1.0, 1.0}});
    rest.model = &badModel;
    EXPECT_EQ(KindOf([&] { Build(rest, "time 0\r\n  0 1 2 3 4 5 6\r\nend\r\n"); }),
              ERROR_KIND::NOT_A_NUMBER);
}

TEST(OutputName, ModelPrefixThenAnimationName) {
    EXPECT_EQ(DefaultOutputName("C:\\modeles\\knight_ref.smd", "D:\\anims\\walk.smd"),
              "knight_walk.smd");
    EXPECT_EQ(DefaultOutputName("C:\\modeles\\robot.smd", "D:\\anims\\walk.smd"), "robotwalk.smd");
    EXPECT_EQ(DefaultOutputName("/home/u/x_y_z.smd", "/home/u/anims/run.smd"), "x_run.smd");
    EXPECT_EQ(DefaultOutputName("/m/a.sm", "walk.smd"), "walk.smd");
    EXPECT_EQ(DefaultOutputName("model.smd", "walk.smd"), "modelwalk.smd");
}

// The samples paired as SMD Ref Animation pairs them, row 0 with a Correction of 0.8: with the
// root following the legs, the build writes row 0 as the in-memory retarget makes it, to the last
// digit, and every other line as the default build does; the root's height range then follows
// the legs' ratio (times the Correction), so the build's root check says nothing of it.
// The byte route writes what the typed local route writes, bit for bit: the walk as it is, its
// lines in another layout (runs of blanks and tabs, fields past the seventh, rotations with
// exponents: the general route), and renumbered (names in another order, lines out of order,
// a node the reference lacks); row 0 by its scale and by the legs; the same root heights.
TEST(BuildSmd, TheByteRouteWritesWhatTheTypedLocalRouteWrites) {
    SMD_HEAD model = ReadModelFile(SamplePath("knight_ref.smd"));
    SMD_HEAD ref = ReadReferenceAnimationFile(SamplePath("runner_ref.smd"));
    std::string walk = ReadFile(SamplePath("runner_walk.smd"));
    CTempDir dir;
    std::string loose = walk;
    for (std::size_t at = loose.find("time 1\r\n"), n = 0; at != std::string::npos; ++n) {
        at = loose.find("\r\n  ", at + 1);
        if (at == std::string::npos) break;
        std::size_t end = loose.find("\r\n", at + 2);
        std::string line = loose.substr(at + 2, end - at - 2);
        if (n % 3 == 0) {
            std::size_t space = line.rfind(' ');
            line = line.substr(0, space) + "\t " + line.substr(space + 1) + " 7";
        } else if (n % 3 == 1) {
            line.replace(line.rfind(' '), 1, " 1e-3 ");
            line.erase(line.rfind(' '));
        }
        loose.replace(at + 2, end - at - 2, line);
    }
    WriteFile(dir.Path("loose.smd"), loose);
    WriteFile(dir.Path("moved.smd"),
              Renumbered(walk, [](int n) { return n * 5 % 22; }, true, NodeLine(22, "Sword", 0),
                         " 22 1 2 3 0 0 0\r\n"));

    for (const char* anim : {"runner_walk.smd", "loose.smd", "moved.smd"}) {
        std::string path =
            anim == std::string("runner_walk.smd") ? SamplePath(anim) : dir.Path(anim);
        for (ROOT_MODE root : {ROOT_MODE::SCALE, ROOT_MODE::LEGS}) {
            BUILD_JOB job;
            job.model = &model;
            job.rows = PairedRows(model, ref, "0.8");
            MOTION_SETUP setup = MakeMotionSetup(model, ref, job.rows, root);
            if (setup.rootFromLegs) job.rootFromLegs = &*setup.rootFromLegs;
            CRootHeightRange bytesHeights, typedHeights;
            job.rootHeights = &bytesHeights;
            RetargetAnimationFile(job, ref.nodes, path, dir.Path("bytes.smd"));
            job.rootHeights = &typedHeights;
            RetargetAnimationFileTyped(job, setup, path, dir.Path("typed.smd"));
            std::string bytes = ReadFile(dir.Path("bytes.smd"));
            EXPECT_EQ(bytes, ReadFile(dir.Path("typed.smd"))) << anim;
            EXPECT_GT(bytes.size(), 30u * 22u * 40u) << anim;
            EXPECT_TRUE(bytesHeights == typedHeights) << anim;
        }
    }
}

// The check and the preview read an animation through its own node list as the build does: the
// walk renumbered (names in another order, lines out of order) and with a node the reference
// lacks retargets to the very poses of the walk, frame by frame, and its check, its preview and
// the window's frames are the walk's; a walk whose frame lacks a node a row reads is refused at
// that frame.
TEST(AnimationRetarget, ReadsAnAnimationThroughItsOwnNodeListAsTheBuildDoes) {
    SMD_HEAD model = ReadModelFile(SamplePath("knight_ref.smd"));
    SMD_HEAD ref = ReadReferenceAnimationFile(SamplePath("runner_ref.smd"));
    MOTION_SETUP setup = MakeMotionSetup(model, ref, PairedRows(model, ref, "1"), ROOT_MODE::SCALE);
    std::string walk = ReadFile(SamplePath("runner_walk.smd"));
    CTempDir dir;
    WriteFile(dir.Path("moved.smd"),
              Renumbered(walk, [](int n) { return n * 5 % 22; }, false, NodeLine(22, "Sword", 0),
                         " 22 1 2 3 0 0 0\r\n"));
    CAnimationRetarget original(setup, SamplePath("runner_walk.smd"));
    CAnimationRetarget moved(setup, dir.Path("moved.smd"));
    EXPECT_EQ(moved.UnusedNodes(), std::vector<std::string>{"Sword"});
    int frames = 0;
    while (original.Next(true)) {
        ASSERT_TRUE(moved.Next(true));
        ASSERT_EQ(moved.Result().size(), original.Result().size());
        for (std::size_t i = 0; i < original.Result().size(); ++i) {
            const POSE& a = original.Result()[i];
            const POSE& b = moved.Result()[i];
            EXPECT_TRUE(a.x == b.x && a.y == b.y && a.z == b.z && a.rx == b.rx && a.ry == b.ry &&
                        a.rz == b.rz)
                << "frame " << frames << " row " << i;
        }
        ++frames;
    }
    EXPECT_FALSE(moved.Next(true));
    EXPECT_EQ(frames, 30);
    CRetargetSession session;
    session.LoadModel(SamplePath("knight_ref.smd"));
    session.LoadReference(SamplePath("runner_ref.smd"));
    std::vector<SESSION_NOTE> notes;
    MOTION_REPORT report = session.Check(SamplePath("runner_walk.smd"), notes);
    MOTION_REPORT movedReport = session.Check(dir.Path("moved.smd"), notes);
    ASSERT_TRUE(report.feet.sourceGround && report.feet.scaledSourcePelvisHeight);
    movedReport.animation = report.animation;
    EXPECT_EQ(ReportJson(movedReport), ReportJson(report));
    for (const char* anim : {"moved", "walk"}) {
        std::string path = anim == std::string("walk") ? SamplePath("runner_walk.smd")
                                                       : dir.Path("moved.smd");
        ASSERT_EQ(RunInProcess({"preview", "--model", SamplePath("knight_ref.smd"), "--ref-anim",
                                SamplePath("runner_ref.smd"), "--step", "7", "-o",
                                dir.Path(std::string(anim) + ".svg"), path})
                      .status,
                  0);
    }
    EXPECT_EQ(ReadFile(dir.Path("moved.svg")), ReadFile(dir.Path("walk.svg")));
    // The window's preview holds the frames in memory, in the rows' order.
    ANIMATION_POSES held = ReadRowSourcePoses(setup, dir.Path("moved.smd"));
    ANIMATION_POSES walkHeld = ReadRowSourcePoses(setup, SamplePath("runner_walk.smd"));
    EXPECT_TRUE(held.nodes == walkHeld.nodes);
    ASSERT_EQ(held.frames.size(), 30u);
    for (std::size_t f = 0; f < 30; ++f) {
        for (std::size_t n = 0; n < walkHeld.frames[f].size(); ++n) {
            EXPECT_TRUE(SamePosition(held.frames[f][n], walkHeld.frames[f][n]) &&
                        SameRotation(held.frames[f][n], walkHeld.frames[f][n]))
                << "frame " << f << " node " << n;
        }
    }

    std::size_t line = walk.find("\r\n  5 ", walk.find("time 3\r\n"));
    WriteFile(dir.Path("short.smd"), walk.erase(line, walk.find("\r\n", line + 2) - line));
    CAnimationRetarget cut(setup, dir.Path("short.smd"));
    try {
        while (cut.Next(true)) {
        }
        ADD_FAILURE() << "a frame without node 5 was read";
    } catch (const CVarnexError& e) {
        EXPECT_EQ(ErrorText(e), dir.Path("short.smd") +
                                    ":96: frame « time 3 » : pas de ligne pour le node 5 "
                                    "(« Bip01 L Leg1 »), que lit la ligne 4 de la grille");
    }
}

}  // namespace varnex
