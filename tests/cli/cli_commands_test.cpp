// The command line's parsing, in process: every wrong command line is told on standard error
// with the hint to --help, exit status 2, nothing on standard output and nothing written.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_in_process.h"
#include "motion/motion_setup.h"
#include "platform/varnex_error.h"
#include "session/retarget_session.h"
#include "test_support.h"

namespace varnex {

TEST(CliParsing, EveryWrongCommandLineIsToldWithStatusTwo) {
    const std::string model = SamplePath("knight_ref.smd");
    const std::string ref = SamplePath("runner_ref.smd");
    const std::string walk = SamplePath("runner_walk.smd");
    const std::vector<std::string> mr = {"--model", model, "--ref-anim", ref};
    auto with = [&mr](std::vector<std::string> front, std::vector<std::string> back) {
        front.insert(front.end(), mr.begin(), mr.end());
        front.insert(front.end(), back.begin(), back.end());
        return front;
    };
    const struct {
        std::vector<std::string> args;
        std::string message;
    } CASES[] = {
        {{}, "commande manquante (build, grid, convert, check, preview ou qc)"},
        {{"frob"}, "commande inconnue « frob » (build, grid, convert, check, preview ou qc)"},
        {{"build", "--model"}, "--model attend une valeur"},
        {{"build", "--ref-anim", ref, walk}, "--model manque"},
        {{"build", "--model", model, walk}, "--ref-anim manque"},
        {with({"build"}, {}), "aucune animation donnée"},
        {with({"grid"}, {walk}), "grid ne prend pas d'animation : « " + walk + " »"},
        {with({"grid"}, {"--json"}), "option inconnue pour grid : « --json »"},
        {with({"build"}, {"--set", "5", walk}), "--set attend ROW=NODES[:CORRECTION], pas « 5 »"},
        {with({"build"}, {"--set", "x=1", walk}), "--set : ligne « x » invalide"},
        {with({"build"}, {"--set", "5=", walk}), "--set « 5= » ne change rien"},
        {with({"build"}, {"--set", "60=1", walk}), "--set : la ligne doit aller de 0 à 59, pas 60"},
        {with({"build"}, {"-o", "a.smd", "--out-dir", "d", walk}), "-o et --out-dir s'excluent"},
        {with({"build"}, {"-o", "a.smd", walk, walk}),
         "-o ne vaut que pour une seule animation : utilisez --out-dir"},
        {with({"build"}, {"--line-ends", "cr", walk}), "--line-ends attend lf ou crlf, pas « cr »"},
        {with({"build"}, {"--threads", "0", walk}),
         "--threads attend un nombre entier positif, pas « 0 »"},
        {with({"build"}, {"--root-motion", "up", walk}),
         "--root-motion attend legs ou scale, pas « up »"},
        {with({"preview"}, {"--frames", "1,x", walk}),
         "--frames attend des numéros de frame séparés par des virgules (0,10,20), pas « 1,x »"},
        {with({"preview"}, {"--frames", "1", "--to", "3", walk}),
         "--frames s'emploie sans --from, --to ni --step"},
        {with({"check"}, {"--method", "global", walk}),
         "--method attend local ou world, pas « global »"},
        {with({"qc"}, {"--out-dir", "d"}), "--qc manque"},
        {with({"qc"}, {"--qc", "a.qc"}), "--out-dir manque"},
        {with({"qc"}, {"--qc", "a.qc", "--out-dir", "d", walk}),
         "qc prend ses animations du .qc : « " + walk + " »"},
        {with({"build"}, {"--keep-going", walk}), "option inconnue pour build : « --keep-going »"},
        {with({"build", "--lang", "de"}, {walk}), "--lang attend fr|en, pas « de »"},
        {with({"build"}, {"--lang"}), "--lang attend une valeur"},
    };
    for (const auto& c : CASES) {
        CLI_RUN run = RunInProcess(c.args);
        SCOPED_TRACE(c.message);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, "varnex-cli: " + c.message + "\n(varnex-cli --help pour l'aide)\n");
    }
}

// A .qc set through the command line: its SMDs are build's bytes, and one missing SMD leaves
// nothing behind, status 1, the refusal naming the sequence's line.
TEST(CliQc, BuildsEachSequenceAsBuildDoesOrLeavesNothing) {
    CTempDir dir;
    const std::string model = SamplePath("knight_ref.smd");
    const std::string ref = SamplePath("runner_ref.smd");
    WriteFile(dir.Path("walk.smd"), ReadFile(SamplePath("runner_walk.smd")));
    WriteFile(dir.Path("set.qc"), "$cd \".\"\n$sequence \"walk\" \"walk\" fps 30 loop\n"
                                  "$sequence \"idle\" {\n \"walk\" frame 0 3\n}\n");
    CLI_RUN set = RunInProcess({"qc", "--model", model, "--ref-anim", ref, "--qc",
                                dir.Path("set.qc"), "--out-dir", dir.Path("out")});
    EXPECT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(set.err, "");
    CLI_RUN one = RunInProcess({"build", "--model", model, "--ref-anim", ref, "-o",
                                dir.Path("one.smd"), dir.Path("walk.smd")});
    ASSERT_EQ(one.status, 0) << one.err;
    EXPECT_EQ(ReadFile(dir.Path("out/walk.smd")), ReadFile(dir.Path("one.smd")));
    std::string qc = ReadFile(dir.Path("out/knight_ref.qc"));
    EXPECT_NE(qc.find("$sequence \"walk\" \"walk\" fps 30 loop"), std::string::npos) << qc;

    WriteFile(dir.Path("set.qc"), ReadFile(dir.Path("set.qc")) + "$sequence \"run\" \"run\"\n");
    CLI_RUN refused = RunInProcess({"qc", "--model", model, "--ref-anim", ref, "--qc",
                                    dir.Path("set.qc"), "--out-dir", dir.Path("again")});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_NE(refused.err.find(dir.Path("set.qc") + ":6:"), std::string::npos) << refused.err;
    EXPECT_FALSE(std::filesystem::exists(dir.Path("again")));
}

// Frames read ahead by a second thread, in batches, as check and preview take them: each frame
// the one thread's, numbered alike, every one retargeted, and a refusal past the first batches
// by the same line.
TEST(CliThreads, FramesReadAheadAreTheOneThreadsFrames) {
    CTempDir dir;
    CRetargetSession s;
    s.LoadModel(SamplePath("knight_ref.smd"));
    s.LoadReference(SamplePath("runner_ref.smd"));
    const MOTION_SETUP setup = s.MotionSetup();
    std::string text = ReadFile(SamplePath("runner_walk.smd"));
    WriteFile(dir.Path("walk.smd"), text);
    std::size_t line = text.find("\n  5 ", text.find("time 25")) + 1;
    text.replace(text.find('\n', line) - 8, 8, "rotation");
    WriteFile(dir.Path("late.smd"), text);
    for (const char* name : {"walk.smd", "late.smd"}) {
        std::string told[2];
        std::vector<std::string> frames[2];
        for (int ahead : {0, 1}) {
            CAnimationRetarget run(setup, dir.Path(name));
            if (ahead) run.ReadAhead();
            try {
                while (run.Next(true)) {
                    std::ostringstream frame;
                    frame.precision(17);
                    frame << run.FrameIndex() << ' ' << run.TimeLineNumber() << run.TimeText();
                    for (const POSE& p : run.Result()) frame << ' ' << p.x << ' ' << p.rz;
                    for (const POSE& p : run.Source()) frame << ' ' << p.y << ' ' << p.rx;
                    frames[ahead].push_back(frame.str());
                }
                told[ahead] = std::to_string(run.FramesRead());
            } catch (const CVarnexError& e) {
                told[ahead] = std::to_string(e.Line()) + e.File();
            }
        }
        EXPECT_EQ(told[0], told[1]) << name;
        EXPECT_TRUE(frames[0] == frames[1]) << name;
        EXPECT_EQ(frames[0].size(), std::string(name) == "walk.smd" ? 30u : 25u) << name;
    }
}

// The other engine family's names ("ValveBiped.Bip01_L_Thigh") pair as their Half-Life
// counterparts: the knight so renamed is built and listed as the knight, but for its names, and
// the grid keeps a space after the names wider than their column.
TEST(CliPairing, TheKnightInTheOtherEngineFamilysNamesBuildsAsTheKnight) {
    CTempDir dir;
    auto rename = [](const std::string& smd) {
        static const std::regex BIPED("\"Bip01 ([^\"]*)\"");
        std::string renamed;
        auto last = smd.cbegin();
        for (std::sregex_iterator it(smd.begin(), smd.end(), BIPED), end; it != end; ++it) {
            renamed.append(last, (*it)[0].first);
            std::string bone = (*it)[1].str();
            std::replace(bone.begin(), bone.end(), ' ', '_');
            renamed += "\"ValveBiped.Bip01_" + bone + "\"";
            last = (*it)[0].second;
        }
        return renamed.append(last, smd.cend());
    };
    const std::string ref = SamplePath("runner_ref.smd");
    const std::string walk = SamplePath("runner_walk.smd");
    WriteFile(dir.Path("valve.smd"), rename(ReadFile(SamplePath("knight_ref.smd"))));
    CLI_RUN knight = RunInProcess({"build", "--model", SamplePath("knight_ref.smd"), "--ref-anim",
                                   ref, "-o", dir.Path("knight_walk.smd"), walk});
    CLI_RUN valve = RunInProcess({"build", "--model", dir.Path("valve.smd"), "--ref-anim", ref,
                                  "-o", dir.Path("valve_walk.smd"), walk});
    ASSERT_EQ(knight.status, 0) << knight.err;
    ASSERT_EQ(valve.status, 0) << valve.err;
    EXPECT_EQ(valve.err, knight.err);
    EXPECT_EQ(ReadFile(dir.Path("valve_walk.smd")), rename(ReadFile(dir.Path("knight_walk.smd"))));

    CLI_RUN grid = RunInProcess({"grid", "--model", dir.Path("valve.smd"), "--ref-anim", ref});
    EXPECT_NE(grid.out.find("15   18      1           1.052632    ValveBiped.Bip01_L_UpperArm "
                            "Bip01 L Arm1\n"),
              std::string::npos)
        << grid.out;
}

}  // namespace varnex
