#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "app/error_text.h"
#include "qc/qc_set.h"
#include "app/qc_texts.h"
#include "session/retarget_session.h"
#include "test_support.h"

namespace varnex {
namespace {

namespace fs = std::filesystem;

// The file, its folders made first.
void Put(const std::string& path, const std::string& bytes) {
    fs::create_directories(fs::path(path).parent_path());
    WriteFile(path, bytes);
}

// Two nodes, frames 0 and lastTime.
std::string TwoNodeSmd(int lastTime = 1) {
    std::string text = "version 1\nnodes\n  0 \"root\" -1\n  1 \"Bip01 Spine\" 0\nend\nskeleton\n";
    for (int t : {0, lastTime}) {
        text += "time " + std::to_string(t) + "\n  0 0 0 0 0 0 0\n  1 0 0 1 0 0 0\n";
    }
    return text + "end\n";
}

// Copies the animation: where what matters is the set, not the motion. The set reads the copy's
// nodes and times.
BUILT_ANIMATION CopyBuild(const std::string& from, const std::string& to) {
    WriteFile(to, ReadFile(from));
    return {};
}

std::set<std::string> Tree(const fs::path& root) {
    std::set<std::string> files;
    if (!fs::exists(root)) return files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        files.insert(fs::relative(entry.path(), root).generic_string() +
                     (entry.is_directory() ? "/" : ""));
    }
    return files;
}

// A decompiled-style set: a $cd from another machine, an include, both $sequence forms with
// blends, events, motion flags and origin, a file named by two sequences and by two spellings,
// two files of one name in two folders, a name found only ignoring case.
struct SOURCE_SET {
    CTempDir dir;
    std::string qc = dir.Path("src/barney.qc");
    std::string model = dir.Path("models/knight.smd");
    std::string out = dir.Path("out");
    SOURCE_SET() {
        Put(qc,
                  "// decompiled\n"
                  "$modelname \"C:\\old\\barney.mdl\"\n"
                  "$cd \"C:\\Users\\someone\\barney\"\n"
                  "$scale 1.2\n"
                  "$body \"studio\" \"barney_ref\"\n"
                  "$include \"anims\\Extra.qci\"\n"
                  "$sequence \"idle\" \"idle\" fps 12 loop ACT_IDLE 1\n"
                  "// the running ones\n"
                  "/* not a comment\n"
                  "   to this compiler */\n"
                  "$sequence \"run\"\n"
                  "{\n"
                  "  \"hd\\run\" \"RUN_b\"\n"
                  "  blend XR -45 45 LX\n"
                  "  event 5004 3 \"common/npc step1.wav\" fps 30\n"
                  "  event 1000 7\n"
                  "  origin 0 0 36\n"
                  "}\n"
                  "$sequencegroup \"extra\"\n"
                  "$sequence \"idle2\" \"idle.smd\" frame 0 1\n"
                  "$sequence \"walk\" animation \"walk\" LX\n"
                  "$sequence \"walk2\" \"sub/walk\" { event 1000 1 }\n");
        Put(dir.Path("src/anims/extra.qci"), "$sequence \"attack\" \"attack\" ACT_MELEE_ATTACK1 1\n");
        for (const char* name : {"idle", "hd/run", "run_b", "walk", "sub/walk", "attack"}) {
            Put(dir.Path(std::string("src/") + name + ".smd"), TwoNodeSmd());
        }
        Put(model, TwoNodeSmd());
    }
    QC_SET_REQUEST Request() const {
        QC_SET_REQUEST request;
        request.sourceQc = qc;
        request.modelSmd = model;
        request.outDir = out;
        request.lineEnd = "\n";
        return request;
    }
};

}  // namespace

TEST(QcSet, BuiltNamesKeepTheirFoldersFlattenTheRestAndNeverCollideIgnoringCase) {
    std::string longName(80, 'a');
    EXPECT_EQ(BuiltSmdNames({"hd\\run", "Walk.SMD", "walk", "../../x/../y", "C:\\anims\\z",
                             "/abs/t", "r\xc3\xa9ussi", "HD/RUN.smd", "./", longName,
                             "f/" + longName}),
              (std::vector<std::string>{"hd/run", "Walk", "walk_2", "x/y", "anims/z", "abs/t",
                                        "r__ussi", "HD/RUN_2", "anim", std::string(59, 'a'),
                                        std::string(59, 'a') + "_2"}));
}

// The written .qc, read back: every sequence in order with its options and events as written,
// each naming a built file, each SMD built once; exactly one $cd; the source's model commands
// and $scale left out; a second run replaces the set's files and keeps the others.
TEST(QcSet, WritesEverySequenceInOrderAndBuildsEachFileOnce) {
    SOURCE_SET set;
    Put(set.dir.Path("out/notes.txt"), "mine");
    std::vector<std::string> progress;
    QC_SET_REQUEST request = set.Request();
    request.progress = [&](int done, int count, const std::string& name) {
        progress.push_back(std::to_string(done) + "/" + std::to_string(count) + " " + name);
    };
    std::vector<std::string> built;
    QC_SET_RESULT result = BuildQcSet(request, [&](const std::string& from, const std::string& to) {
        built.push_back(fs::relative(from, set.dir.Path("src")).generic_string());
        return CopyBuild(from, to);
    });
    ASSERT_TRUE(result.written);
    EXPECT_EQ(result.sequencesWritten, 6);
    EXPECT_EQ(built, (std::vector<std::string>{"attack.smd", "idle.smd", "hd/run.smd",
                                               "run_b.smd", "walk.smd", "sub/walk.smd"}));
    EXPECT_EQ(progress, (std::vector<std::string>{"1/6 attack", "2/6 idle", "3/6 hd/run",
                                                  "4/6 RUN_b", "5/6 walk", "6/6 sub/walk"}));
    EXPECT_EQ(Tree(set.out), (std::set<std::string>{"RUN_b.smd", "attack.smd", "hd/", "hd/run.smd",
                                                    "idle.smd", "knight.qc", "notes.txt", "sub/",
                                                    "sub/walk.smd", "walk.smd"}));
    EXPECT_EQ(result.qcPath, set.dir.Path("out/knight.qc"));
    const std::string text = ReadFile(result.qcPath);
    EXPECT_EQ(text,
              "// knight.qc, écrit par Varnex : les séquences de barney.qc sur knight.smd\n"
              "$modelname \"knight.mdl\"\n"
              "$cd \".\"\n"
              "$cdtexture \"../models\"\n"
              "$body \"studio\" \"../models/knight\"\n"
              "\n"
              "// séquences de barney.qc\n"
              "// non repris de barney.qc (mesuré sur son squelette) : $scale 1.2\n"
              "// $include \"anims\\Extra.qci\" : écrit ici\n"
              "$sequence \"attack\" \"attack\" ACT_MELEE_ATTACK1 1\n"
              "$sequence \"idle\" \"idle\" fps 12 loop ACT_IDLE 1\n"
              "// the running ones\n"
              "// /* not a comment\n"
              "//    to this compiler */\n"
              "$sequence \"run\" {\n"
              "    \"hd/run\" \"RUN_b\"\n"
              "    blend XR -45 45 LX\n"
              "    event 5004 3 \"common/npc step1.wav\" fps 30\n"
              "    event 1000 7\n"
              "    origin 0 0 36\n"
              "}\n"
              "$sequencegroup \"extra\"\n"
              "$sequence \"idle2\" \"idle\" frame 0 1\n"
              "$sequence \"walk\" animation \"walk\" LX\n"
              "$sequence \"walk2\" {\n"
              "    \"sub/walk\" event 1000 1\n"
              "}\n");
    QC_SCRIPT source = ReadQcFile(set.qc);
    QC_SCRIPT again = ReadQcFile(result.qcPath);
    ASSERT_EQ(again.sequences.size(), source.sequences.size());
    for (std::size_t i = 0; i < again.sequences.size(); ++i) {
        const QC_SEQUENCE& a = again.sequences[i];
        const QC_SEQUENCE& s = source.sequences[i];
        EXPECT_EQ(a.name, s.name);
        ASSERT_EQ(a.options.size(), s.options.size()) << a.name;
        for (std::size_t o = 0; o < a.options.size(); ++o) {
            EXPECT_EQ(a.options[o].word, s.options[o].word);
            EXPECT_EQ(a.options[o].values, s.options[o].values);
        }
        ASSERT_EQ(a.smds.size(), s.smds.size());
        for (const QC_SMD_NAME& smd : a.smds) {
            EXPECT_TRUE(fs::is_regular_file(SmdPathOf(again.cd.path, smd.name))) << smd.name;
        }
    }
    EXPECT_EQ(again.warnings.size(), 0u);
    ASSERT_EQ(result.warnings.size(), 2u);
    EXPECT_EQ(result.warnings[0].code, QC_SET_WARNING_CODE::MODEL_WITHOUT_TRIANGLES);
    EXPECT_EQ(QcSetWarningText(result.warnings[1]),
              set.qc + ":17: avertissement source-option-copied : séquence « run » : l'option "
                       "« origin » est copiée telle quelle, mais ses valeurs sont mesurées sur le "
                       "squelette source");

    // Again into the same folder: the set's own files replaced, the others kept.
    Put(set.dir.Path("src/idle.smd"), TwoNodeSmd(5));
    ASSERT_TRUE(BuildQcSet(set.Request(), CopyBuild).written);
    EXPECT_EQ(ReadFile(set.dir.Path("out/idle.smd")), TwoNodeSmd(5));
    EXPECT_EQ(ReadFile(set.dir.Path("out/notes.txt")), "mine");
    EXPECT_EQ(ReadFile(result.qcPath), text);
}

// The target's own commands in place of the minimal head, its paths taken to the output folder,
// its $cd and its sequences replaced, its include written in place.
TEST(QcSet, TargetQcGivesItsOwnCommandsWithPathsFromTheOutputFolder) {
    SOURCE_SET set;
    Put(set.dir.Path("tgt/meshes/knight_ref.smd"), TwoNodeSmd());
    Put(set.dir.Path("tgt/Knight.qc"),
              "$modelname \"knight.mdl\"\n"
              "$cd \"meshes\"\n"
              "$body \"body\" \"knight_ref\" reverse\n"
              "$bodygroup \"weapon\"\n{\n  studio \"knight_ref\"\n  blank\n}\n"
              "$include \"hit.qci\"\n"
              "$sequence \"old\" \"knight_ref\"\n"
              "$attachment 0 \"Bip01 Spine\" 0 0 10\n");
    Put(set.dir.Path("tgt/hit.qci"), "$hbox 0 \"root\" -1 -1 -1 1 1 1\n");
    QC_SET_REQUEST request = set.Request();
    request.targetQc = set.dir.Path("tgt/Knight.qc");
    QC_SET_RESULT result = BuildQcSet(request, CopyBuild);
    ASSERT_TRUE(result.written);
    EXPECT_EQ(result.qcPath, set.dir.Path("out/Knight.qc"));
    std::string text = ReadFile(result.qcPath);
    std::string head = text.substr(0, text.find("\n\n// séquences"));
    EXPECT_EQ(head,
              "// Knight.qc, écrit par Varnex : les séquences de barney.qc sur knight.smd\n"
              "$cd \".\"\n"
              "$cdtexture \"../tgt/meshes\"\n"
              "$modelname \"knight.mdl\"\n"
              "$body \"body\" \"../tgt/meshes/knight_ref\" reverse\n"
              "$bodygroup \"weapon\"\n{\n    studio \"../tgt/meshes/knight_ref\"\n    blank\n}\n"
              "// $include \"hit.qci\" : écrit ici\n"
              "$hbox 0 \"root\" -1 -1 -1 1 1 1\n"
              "// les $sequence de Knight.qc ne sont pas reprises : les séquences sont celles de "
              "barney.qc\n"
              "$attachment 0 \"Bip01 Spine\" 0 0 10");
    EXPECT_EQ(ReadQcFile(result.qcPath).sequences.size(), 6u);
}

// Each check once, on a set made to cross every limit it holds the set against.
TEST(QcSet, ChecksSayWhatTheCompilerWouldRefuseOrLose) {
    CTempDir dir;
    std::string smds;
    for (int i = 0; i < 17; ++i) smds += " \"a\"";
    Put(dir.Path("s.qc"),
              "$sequence \"" + std::string(32, 's') + "\" \"a\" event 1 0 \"" +
                  std::string(64, 'e') + "\"\n"
                  "$sequence \"many\"" + smds + " frame 0 600\n"
                  "$sequence \"ref_aim_x\" \"late\"\n"
                  "$sequence \"parent\" \"other\" rotate 90\n");
    Put(dir.Path("a.smd"), TwoNodeSmd());
    Put(dir.Path("late.smd"), TwoNodeSmd(600));
    std::string other = TwoNodeSmd();
    other.replace(other.find("\"Bip01 Spine\" 0"), 15, "\"Bip01 Spine\" -1");
    Put(dir.Path("other.smd"), other);
    std::string model = "version 1\nnodes\n";
    for (int i = 0; i < 128; ++i) {
        model += "  " + std::to_string(i) + " \"" + (i == 0 ? "root" : i == 1 ? "Bip01 Spine" : "n" + std::to_string(i)) +
                 (i == 2 ? std::string(30, 'x') : "") + "\" " + std::to_string(i - 1) + "\n";
    }
    model += "end\nskeleton\ntime 0\n";
    for (int i = 0; i < 128; ++i) model += "  " + std::to_string(i) + " 0 0 1 0 0 0\n";
    Put(dir.Path("m/model.smd"), model + "end\n");
    QC_SET_REQUEST request;
    request.sourceQc = dir.Path("s.qc");
    request.modelSmd = dir.Path("m/model.smd");
    request.outDir = dir.Path("o");
    QC_SET_RESULT result = BuildQcSet(request, CopyBuild);
    ASSERT_TRUE(result.written);
    std::vector<std::string> codes;
    for (const QC_SET_WARNING& w : result.warnings) codes.push_back(QcSetWarningCodeText(w.code));
    EXPECT_EQ(codes, (std::vector<std::string>{
                         "model-without-triangles", "too-many-nodes", "node-name-too-long",
                         "sequence-name-too-long", "event-text-too-long", "too-many-smds",
                         "frame-range-above-limit", "frame-range-outside-times",
                         "time-outside-range", "parent-disagrees", "player-nodes-missing",
                         "source-option-copied"}));
    for (const QC_SET_WARNING& w : result.warnings) {
        EXPECT_EQ(QcSetWarningText(w).find("{"), std::string::npos) << QcSetWarningText(w);
    }
    EXPECT_NE(QcSetWarningText(result.warnings[8]).find("1 numéro(s) de frame (time) hors de 0 "
                                                        "à 511 (de 0 à 600)"),
              std::string::npos);
    EXPECT_EQ(result.warnings[9].values,
              (std::vector<std::string>{"other", "Bip01 Spine", "", "root"}));
    EXPECT_EQ(result.warnings[10].values, (std::vector<std::string>{"Bip01 Pelvis"}));
}

namespace {
// The samples' knight and runner in one session, as a front end has them: each animation built
// by the real engine.
struct ENGINE {
    CRetargetSession session;
    ENGINE() {
        session.LoadModel(SamplePath("knight_ref.smd"));
        session.LoadReference(SamplePath("runner_ref.smd"));
    }
    BUILD_ONE_ANIMATION Callback() {
        return [this](const std::string& from, const std::string& to) {
            session.Build(from, to);
            return BUILT_ANIMATION{};
        };
    }
};

// An 8-bit BMP of 8 by 8 pixels, the texture the knight's triangles name.
std::string SmallBmp() {
    auto le = [](std::string& s, unsigned value, int bytes) {
        for (int i = 0; i < bytes; ++i) s += static_cast<char>((value >> (8 * i)) & 0xff);
    };
    std::string bmp = "BM";
    const unsigned offset = 14 + 40 + 256 * 4;
    le(bmp, offset + 64, 4);
    le(bmp, 0, 4);
    le(bmp, offset, 4);
    for (unsigned v : {40u, 8u, 8u}) le(bmp, v, 4);
    le(bmp, 1, 2);
    le(bmp, 8, 2);
    for (unsigned v : {0u, 64u, 0u, 0u, 256u, 0u}) le(bmp, v, 4);
    for (unsigned c = 0; c < 256; ++c) le(bmp, c * 0x010101u, 4);
    for (unsigned p = 0; p < 64; ++p) bmp += static_cast<char>(p * 4);
    return bmp;
}

struct ENGINE_SET {
    CTempDir dir;
    std::string qc = dir.Path("src/runner.qc");
    std::string model = dir.Path("model/knight.smd");
    std::string out = dir.Path("out");
    ENGINE_SET() {
        // LF: this compiler ends a triangles block on "end\n" alone.
        std::string knight = ReadFile(SamplePath("knight_ref.smd"));
        for (std::size_t at; (at = knight.find('\r')) != std::string::npos;) knight.erase(at, 1);
        Put(model, knight);
        Put(dir.Path("model/knight.bmp"), SmallBmp());
        std::string walk = ReadFile(SamplePath("runner_walk.smd"));
        Put(dir.Path("src/walk.smd"), walk);
        Put(dir.Path("src/hd/walk.smd"), walk);
        std::string lacking = walk;
        lacking.replace(lacking.find("\"Bip01 Head\""), 12, "\"Bip01 Hat\"");
        Put(dir.Path("src/bad.smd"), lacking);
        Put(qc,
                  "$cd \"/home/modder/runner\"\n"
                  "$sequence \"idle\" \"walk\" frame 0 0 fps 10 loop ACT_IDLE 1\n"
                  "$sequence \"walk\" {\n"
                  "  \"walk\" \"hd\\walk\" blend XR -45 45\n"
                  "  event 1004 10 \"common/npc_step1.wav\"\n"
                  "  LX fps 30 loop ACT_WALK 1\n"
                  "}\n"
                  "$sequence \"broken\" \"bad\" fps 30\n");
    }
};

// studiomdl built from ../shared/consumer, or empty when that folder is not there.
std::string ModelCompiler() {
    fs::path consumer = fs::path(VARNEX_SOURCE_DIR).parent_path() / "shared" / "consumer";
    if (!fs::exists(consumer / "build.sh")) return {};
    std::string command = "sh '" + (consumer / "build.sh").string() + "' 2>/dev/null";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return {};
    char line[4096] = {};
    std::string path;
    if (std::fgets(line, sizeof line, pipe) != nullptr) path = line;
    pclose(pipe);
    while (!path.empty() && (path.back() == '\n' || path.back() == '\r')) path.pop_back();
    return path;
}
}  // namespace

// A refused animation (it lacks a node the grid reads): by default nothing is left and the
// refusal names the sequence's line and the file; with keepGoing the rest is written and the
// .qc says what was left out.
TEST(QcSet, ARefusedAnimationLeavesNothingUnlessKeepGoing) {
    ENGINE engine;
    ENGINE_SET set;
    QC_SET_REQUEST request;
    request.sourceQc = set.qc;
    request.modelSmd = set.model;
    request.outDir = set.out;
    Put(set.qc, ReadFile(set.qc) + "$sequence \"lost\" \"gone\"\n");
    QC_SET_RESULT refused = BuildQcSet(request, engine.Callback());
    EXPECT_FALSE(refused.written);
    EXPECT_FALSE(fs::exists(set.out));
    ASSERT_EQ(refused.refusals.size(), 2u);
    std::vector<std::string> lines = QcRefusalLines(refused.refusals[0]);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind(set.qc + ":8: séquence « broken » refusée : " + set.dir.Path("src/bad.smd"), 0), 0u)
        << lines[0];
    EXPECT_EQ(QcRefusalLines(refused.refusals[1]),
              (std::vector<std::string>{set.qc + ":9: séquence « lost » refusée : " +
                                        set.dir.Path("src/gone.smd") + ": " +
                                        ErrorMessage(refused.refusals[1].error)}));

    // Cancelled from the progress: nothing either, the folder being there before.
    fs::create_directories(set.out);
    std::atomic<bool> cancel{false};
    request.cancel = &cancel;
    request.keepGoing = true;
    request.progress = [&cancel](int done, int, const std::string&) { cancel = done == 2; };
    QC_SET_RESULT cancelled = BuildQcSet(request, engine.Callback());
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_TRUE(Tree(set.out).empty());

    request.cancel = nullptr;
    QC_SET_RESULT kept = BuildQcSet(request, engine.Callback());
    ASSERT_TRUE(kept.written);
    EXPECT_EQ(kept.sequencesWritten, 2);
    EXPECT_EQ(Tree(set.out), (std::set<std::string>{"hd/", "hd/walk.smd", "knight.qc", "walk.smd"}));
    std::string text = ReadFile(kept.qcPath);
    EXPECT_NE(text.find("// $sequence \"broken\" non écrite : bad n'a pas pu être construit\r\n"
                        "// $sequence \"lost\" non écrite : gone n'a pas pu être construit\r\n"),
              std::string::npos);
    EXPECT_EQ(ReadQcFile(kept.qcPath).sequences.size(), 2u);

    // The built files are the engine's own output, byte for byte.
    std::string direct = set.dir.Path("direct.smd");
    engine.session.Build(set.dir.Path("src/walk.smd"), direct);
    EXPECT_EQ(ReadFile(set.dir.Path("out/walk.smd")), ReadFile(direct));

    // An output folder holding the source's files: a built file would replace an input.
    request.outDir = set.dir.Path("src");
    EXPECT_THROW(
        {
            try {
                BuildQcSet(request, engine.Callback());
            } catch (const CVarnexError& e) {
                EXPECT_EQ(e.Kind(), ERROR_KIND::OUTPUT_IS_INPUT);
                throw;
            }
        },
        CVarnexError);
    EXPECT_EQ(Tree(set.dir.Path("src")),
              (std::set<std::string>{"bad.smd", "hd/", "hd/walk.smd", "runner.qc", "walk.smd"}));
}

// The model compiler of the Half-Life SDK compiles the written set, with the minimal head and
// with a decompiled target's .qc, with no flag and says nothing of an error, an unknown command,
// an illegal value or too many of anything.
TEST(QcSet, TheModelCompilerCompilesTheWrittenSet) {
    std::string studiomdl = ModelCompiler();
    if (studiomdl.empty()) {
        GTEST_SKIP() << "no model compiler: ../shared/consumer is not there or its build.sh failed";
    }
    ENGINE engine;
    ENGINE_SET set;
    Put(set.dir.Path("src/bad.smd"), ReadFile(SamplePath("runner_walk.smd")));
    Put(set.dir.Path("src/anims.qci"), "$sequence \"more\" \"hd/walk\" fps 15\n");
    Put(set.qc, "/*\n$sequence \"old\" \"walk\"\n*/\n$include \"anims.qci\"\n" + ReadFile(set.qc));
    Put(set.dir.Path("tgt/knight_ref.smd"), ReadFile(set.model));
    Put(set.dir.Path("tgt/knight.bmp"), SmallBmp());
    Put(set.dir.Path("tgt/knight.qc"),
        "$modelname \"knight.mdl\"\n$cd \"C:\\decompiled\\knight\"\n$cdtexture \".\\\"\n"
        "$scale 1.0\n$body \"studio\" \"knight_ref\"\n$attachment 0 \"Sword\" 0 0 -10\n"
        "$sequence \"idle\" \"knight_ref\" loop\n");
    for (const std::string& target : {std::string(), set.dir.Path("tgt/knight.qc")}) {
        QC_SET_REQUEST request;
        request.sourceQc = set.qc;
        request.targetQc = target;
        request.modelSmd = set.model;
        request.outDir = set.dir.Path(target.empty() ? "out" : "out2");
        QC_SET_RESULT result = BuildQcSet(request, engine.Callback());
        ASSERT_TRUE(result.written);
        EXPECT_EQ(result.sequencesWritten, 5);
        std::string command = "cd '" + request.outDir + "' && '" + studiomdl + "' knight.qc 2>&1";
        std::FILE* pipe = popen(command.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        std::string output;
        char line[4096];
        while (std::fgets(line, sizeof line, pipe) != nullptr) output += line;
        int status = pclose(pipe);
        EXPECT_EQ(status, 0) << output;
        std::string lower = output;
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        for (const char* word : {"error", "unknown", "illegal", "too many"}) {
            EXPECT_EQ(lower.find(word), std::string::npos) << word << " in:\n" << output;
        }
        EXPECT_NE(output.find("sequences"), std::string::npos) << output;
        EXPECT_TRUE(fs::is_regular_file(request.outDir + "/knight.mdl")) << output;
    }
}

}  // namespace varnex
