#include <gtest/gtest.h>

#include <cerrno>

#include "app/error_text.h"
#include "qc/qc_reader.h"
#include "app/qc_texts.h"
#include "test_support.h"

namespace varnex {
namespace {
// A decompiled-style script: a /* */ header holding a $sequence (the compiler reads it), a $cd
// from another machine, a braced $texturegroup, both $sequence forms, every comment form, an
// include written with '\' and another case than the file's.
const char* const BARNEY =
    "/*\n"
    "=== made by a decompiler ===\n"
    "$sequence old \"old\"\n"
    "*/\n"
    "$modelname \"barney.mdl\"\n"
    "$cd \"C:\\Users\\mod\\Desktop\\barney\"\n"
    "$cdtexture \".\\\"\n"
    "$body \"studio\" \"barney_ref\"\n"
    "$texturegroup skinfamilies\n"
    "{\n"
    "  { \"face.bmp\" }\n"
    "}\n"
    "// sequences\n"
    "$sequencegroup \"default\"\n"
    "$sequence \"idle\" \"idle1\" fps 15 loop ACT_IDLE 1 ; end of line\n"
    "$sequence walk { \"walk\" LX fps 30.5 loop\n"
    "   act_walk 2 # hash\n"
    "   event 1004 10 \"common/step1.wav\"\n"
    "   event 2001 3 }\n"
    "$sequence \"aim\"\n"
    "{\n"
    "  \"aim_down\" animation \"loop\"\n"
    "  blend XR -45 45 frame 0 20\n"
    "  origin 0 0 36 rotate 90 scale 1.5 pivot 0 1 10\n"
    "  node 2 transition 1 2 rtransition 3 4 deform AZR ACT_55 3\n"
    "}\n"
    "$include \"Anims\\Extra.QCI\"\n"
    "$sequence \"idle2\" \"idle1\" fps 10\n";

CMemoryQcFiles BarneyFiles() {
    CMemoryQcFiles files;
    files.Add("models/barney.qc", BARNEY);
    files.Add("models/anims/extra.qci", "\n$sequence \"run\" \"run\" LX loop ACT_RUN 1\n");
    return files;
}

QC_SCRIPT ReadBarney() { return ReadQc(BARNEY, "models/barney.qc", BarneyFiles()); }

std::vector<QC_OPTION_KIND> KindsOf(const QC_SEQUENCE& seq) {
    std::vector<QC_OPTION_KIND> kinds;
    for (const QC_OPTION& option : seq.options) kinds.push_back(option.kind);
    return kinds;
}

// What words read as after "$sequence s file": each further SMD as "smd:<name>", each option
// as "<kind>:<values it takes>".
std::string SequenceWords(const std::string& words) {
    QC_SEQUENCE seq =
        ReadQc("$sequence s file " + words + "\n", "m.qc", CMemoryQcFiles()).sequences[0];
    std::string read;
    for (std::size_t i = 1; i < seq.smds.size(); ++i) read += "smd:" + seq.smds[i].name + " ";
    for (const QC_OPTION& option : seq.options) {
        read += std::to_string(static_cast<int>(option.kind)) + ":" +
                std::to_string(option.values.size()) + " ";
    }
    return read;
}
}  // namespace

TEST(QcReading, ReadsEverySequenceWithItsFilesAndOptions) {
    using K = QC_OPTION_KIND;
    QC_SCRIPT qc = ReadBarney();
    std::vector<std::string> names;
    for (const QC_SEQUENCE& seq : qc.sequences) names.push_back(seq.name);
    EXPECT_EQ(names, (std::vector<std::string>{"old", "idle", "walk", "aim", "run", "idle2"}));

    const QC_SEQUENCE& idle = qc.sequences[1];
    EXPECT_EQ(idle.line, 15);
    EXPECT_EQ(idle.smds[0].name, "idle1");
    EXPECT_EQ(KindsOf(idle), (std::vector<K>{K::FPS, K::LOOP, K::ACTIVITY}));
    EXPECT_EQ(idle.fps, 15.0);
    EXPECT_TRUE(idle.loop);
    EXPECT_EQ(idle.activity, 1);

    const QC_SEQUENCE& walk = qc.sequences[2];
    EXPECT_TRUE(walk.braced);
    EXPECT_EQ(walk.fps, 30.5);
    EXPECT_EQ(walk.motionFlags, QC_LX);
    EXPECT_EQ(walk.activity, 3);
    EXPECT_EQ(walk.activityWeight, 2);
    ASSERT_EQ(walk.events.size(), 2u);
    EXPECT_EQ(walk.events[0].number, 1004);
    EXPECT_EQ(walk.events[0].frame, 10);
    EXPECT_EQ(walk.events[0].text, "common/step1.wav");
    // The "}" behind the last event closes the block: it is not the event's text.
    EXPECT_FALSE(walk.events[1].hasText);
    EXPECT_EQ(walk.events[1].line, 19);

    // "{" on the line after "$sequence"; "animation" names a file that reads like an option.
    const QC_SEQUENCE& aim = qc.sequences[3];
    EXPECT_TRUE(aim.braced);
    ASSERT_EQ(aim.smds.size(), 2u);
    EXPECT_EQ(aim.smds[1].name, "loop");
    EXPECT_TRUE(aim.smds[1].byAnimationWord);
    EXPECT_FALSE(aim.loop);
    EXPECT_EQ(KindsOf(aim),
              (std::vector<K>{K::BLEND, K::FRAME, K::ORIGIN, K::ROTATE, K::SCALE, K::PIVOT, K::NODE,
                              K::TRANSITION, K::RTRANSITION, K::DEFORM, K::MOTION, K::ACTIVITY}));
    EXPECT_EQ(aim.options[0].values, (std::vector<std::string>{"XR", "-45", "45"}));
    EXPECT_EQ(aim.options[5].line, 24);
    EXPECT_EQ(aim.frameStart, 0);
    EXPECT_EQ(aim.frameEnd, 20);
    EXPECT_EQ(aim.motionFlags, QC_AZR);
    EXPECT_EQ(aim.activity, 55);

    EXPECT_EQ(qc.sequences[4].file, "models/anims/extra.qci");
    EXPECT_EQ(qc.sequences[4].line, 2);
    // One file for two sequences.
    EXPECT_EQ(qc.sequences[5].smds[0].name, qc.sequences[1].smds[0].name);
}

TEST(QcReading, KeepsEveryLineInOrderAndWarnsWithoutPrinting) {
    QC_SCRIPT qc = ReadBarney();
    // The entries of the .qc put back together are the .qc; the include's follow its line.
    std::string joined;
    std::vector<std::string> commands;
    for (const QC_ENTRY& entry : qc.entries) {
        if (entry.file == "models/barney.qc") joined += entry.text + "\n";
        if (entry.kind != QC_ENTRY_KIND::TEXT) commands.push_back(entry.command);
    }
    EXPECT_EQ(joined, BARNEY);
    EXPECT_EQ(commands,
              (std::vector<std::string>{"$sequence", "$modelname", "$cd", "$cdtexture", "$body",
                                        "$texturegroup", "$sequencegroup", "$sequence", "$sequence",
                                        "$sequence", "$include", "$sequence", "$sequence"}));
    const QC_ENTRY& skins = qc.entries[7];
    EXPECT_EQ(skins.command, "$texturegroup");
    EXPECT_EQ(skins.line, 9);
    EXPECT_EQ(skins.lastLine, 12);
    EXPECT_EQ(skins.arguments,
              (std::vector<std::string>{"skinfamilies", "{", "{", "face.bmp", "}", "}"}));
    EXPECT_EQ(qc.entries[9].text, "$sequencegroup \"default\"");
    EXPECT_EQ(qc.entries[9].kind, QC_ENTRY_KIND::COMMAND);
    EXPECT_EQ(qc.entries[10].kind, QC_ENTRY_KIND::SEQUENCE);
    EXPECT_EQ(qc.entries[10].sequence, 1);

    // The $cd of another machine: the SMDs are looked for beside the .qc.
    EXPECT_EQ(qc.cd.written, "C:\\Users\\mod\\Desktop\\barney");
    EXPECT_EQ(qc.cd.path, "models");
    EXPECT_EQ(qc.cdTextures[0].path, "models");
    EXPECT_EQ(qc.includes[0].path, "models/anims/extra.qci");
    ASSERT_EQ(qc.warnings.size(), 2u);
    EXPECT_EQ(QcWarningText(qc.warnings[0]),
              "models/barney.qc:3: avertissement : la séquence « old » est dans un bloc « /* */ » "
              "ouvert ligne 1 : le compilateur de modèles ne connaît pas ces commentaires et la "
              "lit ; elle est gardée");
    EXPECT_EQ(
        QcWarningText(qc.warnings[1]),
        "models/barney.qc:6: avertissement : le dossier $cd « C:\\Users\\mod\\Desktop\\barney » "
        "n'existe pas ici : les SMD sont cherchés dans le dossier du .qc (models)");
}

TEST(QcReading, TellsOptionsFromFilesAsTheCompilerDoes) {
    // {words after "$sequence s file", what they read as: "smd:<name>" or "<kind>:<values>"}
    const std::vector<std::pair<std::string, std::string>> CASES = {
        {"looping", "1:0 "},        {"Frame 5 20", "2:2 "},
        {"blend_x XR 0 1", "8:3 "}, {"nodes 3", "9:1 "},
        {"Tran 1 2", "10:2 "},      {"rtra 1 2", "11:2 "},
        {"azr", "12:0 "},           {"ACT_IDLE 2", "13:1 "},
        {"act_7x 1", "13:1 "},      {"ACT_FOO", "smd:ACT_FOO "},
        {"ACT_0", "smd:ACT_0 "},    {"fpsx", "smd:fpsx "},
        {"event 5 1 text", "6:3 "}, {"event 5 1", "6:2 "},
        {"animation x", "smd:x "},  {"walk;fps 9", "smd:walk "},
        {"deform", "14:0 "},        {"origin 1 2 3", "3:3 "},
    };
    for (const auto& [words, read] : CASES) EXPECT_EQ(SequenceWords(words), read) << words;
}

TEST(QcReading, WarnsWhereTheCompilerWouldReadOtherwise) {
    using W = QC_WARNING_CODE;
    struct CASE {
        std::string qc;  // after a first line "$cd ."
        std::vector<QC_WARNING> warnings;
    };
    const std::vector<CASE> CASES = {
        {"$sequence a a ; fine\n$sequence b { b\n event 1 2 ; fine\n}\n", {}},
        {"$sequence a a // stops\n", {{W::COMMENT_STOPS_COMPILER, "m.qc", 2, {"a"}}}},
        {"$sequence a { a\n event 1 2 # stops\n} loop\n",
         {{W::COMMENT_STOPS_COMPILER, "m.qc", 3, {"a"}}}},
        {"$sequence caf\xC3\xA9 \"caf\xC3\xA9\"\n", {{W::BYTE_OUTSIDE_QUOTES, "m.qc", 2, {"caf"}}}},
        {"$Sequence a a\n$INCLUDE b\n",
         {{W::COMMAND_CASE, "m.qc", 2, {"$Sequence", "$sequence"}},
          {W::COMMAND_CASE, "m.qc", 3, {"$INCLUDE", "$include"}}}},
    };
    for (const CASE& c : CASES) {
        QC_SCRIPT qc = ReadQc("$cd .\n" + c.qc, "m.qc", CMemoryQcFiles());
        ASSERT_EQ(qc.warnings.size(), c.warnings.size()) << c.qc;
        for (std::size_t i = 0; i < c.warnings.size(); ++i) {
            EXPECT_EQ(qc.warnings[i].code, c.warnings[i].code) << c.qc;
            EXPECT_EQ(qc.warnings[i].line, c.warnings[i].line) << c.qc;
            EXPECT_EQ(qc.warnings[i].values, c.warnings[i].values) << c.qc;
        }
    }
    QC_SCRIPT noCd = ReadQc("$sequence a a\n", "set/m.qc", CMemoryQcFiles());
    EXPECT_EQ(noCd.cd.path, "set");
    ASSERT_EQ(noCd.warnings.size(), 1u);
    EXPECT_EQ(QcWarningText(noCd.warnings[0]),
              "set/m.qc: avertissement : pas de $cd : les SMD sont cherchés dans le dossier du .qc "
              "(set)");
}

TEST(QcReading, RefusesMalformedInputWithFileAndLine) {
    const std::string VALID =
        "$cd \".\"\n"
        "$sequence \"idle\" \"idle\" fps 10\n"
        "$sequence \"walk\" {\n"
        "  \"walk\" loop\n"
        "}\n";
    ASSERT_EQ(ReadQc(VALID, "m.qc", CMemoryQcFiles()).sequences.size(), 2u);
    struct CASE {
        std::string from, to;
        int line;
        std::string message;
    };
    const std::vector<CASE> CASES = {
        {"\"idle\" fps", "\"idle fps", 2, "guillemet ouvert et non fermé sur sa ligne"},
        {"}\n", "", 3,
         "l'accolade « { » de « $sequence walk » n'est pas fermée : il manque une « } » avant la "
         "fin du fichier"},
        {"}\n", "$sequence \"run\" \"run\"\n", 3,
         "l'accolade « { » de « $sequence walk » n'est pas fermée : il manque une « } » avant la "
         "commande de la ligne 5"},
        {"loop\n", "loop } }\n", 4, "accolade « } » sans « { » qui lui corresponde"},
        {"$sequence \"idle\" \"idle\" fps 10", "$sequence ; idle", 2,
         "$sequence sans nom de séquence sur sa ligne"},
        {"\"idle\" \"idle\" fps", "\"idle\" fps", 2,
         "la séquence « idle » ne nomme aucun fichier SMD"},
        {"fps 10", "fps // 10", 2,
         "séquence « idle » : l'option « fps » attend 1 valeur(s) sur sa ligne"},
        {"loop\n", "frame 1\n 2\n", 4,
         "séquence « walk » : l'option « frame » attend 2 valeur(s) sur sa ligne"},
        {"$cd \".\"", "$cd", 1, "« $cd » attend un chemin sur sa ligne"},
        {"}\n", "}\n$cd \"x\"\n", 6,
         "second $cd : le compilateur de modèles n'en accepte qu'un (le premier est ligne 1)"},
        {"$cd \".\"", "$include \"a\\none.qci\"", 1,
         "impossible de lire le fichier inclus « a\\none.qci » (a/none.qci) : fichier ou dossier "
         "introuvable"},
        {"$cd \".\"", "$include \"./M.QC\"", 1,
         "« $include ./M.QC » inclut un fichier en cours de lecture : les inclusions bouclent"},
    };
    for (const CASE& c : CASES) {
        std::string qc = VALID;
        qc.replace(qc.find(c.from), c.from.size(), c.to);
        CMemoryQcFiles files;
        files.Add("m.qc", qc);
        try {
            ReadQc(qc, "m.qc", files);
            ADD_FAILURE() << "accepted: " << qc;
        } catch (const CVarnexError& e) {
            EXPECT_EQ(ErrorText(e), "m.qc:" + std::to_string(c.line) + ": " + c.message) << qc;
        }
    }
}

TEST(QcReading, IncludesNestUpToTheCompilerLimitFromTheQcFolder) {
    // Every include is taken from the .qc's folder, even one written in an included file.
    CMemoryQcFiles files;
    for (int i = 1; i <= QC_MAX_INCLUDE_DEPTH + 1; ++i) {
        files.Add("set/inc/" + std::to_string(i) + ".qci", "$sequence s" + std::to_string(i) +
                                                               " f\n$include inc/" +
                                                               std::to_string(i + 1) + ".qci\n");
    }
    files.Add("set/inc/" + std::to_string(QC_MAX_INCLUDE_DEPTH + 1) + ".qci", "$sequence last f\n");
    QC_SCRIPT qc = ReadQc("$include inc/2.qci\n", "set/top.qc", files);
    EXPECT_EQ(qc.sequences.size(), static_cast<std::size_t>(QC_MAX_INCLUDE_DEPTH));
    EXPECT_EQ(qc.sequences.back().name, "last");
    EXPECT_EQ(qc.sequences.back().file, "set/inc/7.qci");
    try {
        ReadQc("$include inc/1.qci\n", "set/top.qc", files);
        ADD_FAILURE();
    } catch (const CVarnexError& e) {
        EXPECT_EQ(ErrorText(e),
                  "set/inc/6.qci:2: « $include inc/7.qci » : plus de 6 inclusions "
                  "imbriquées, le compilateur de modèles refuse");
    }
}

TEST(QcReading, ReadsFilesFromTheDiskAndNamesTheUnreadableInclude) {
    CTempDir dir;
    WriteFile(dir.Path("model.qc"), "$cd \"Anims\"\r\n$include \"part.qci\"\r\n$sequence b b\r\n");
    WriteFile(dir.Path("part.qci"), "$sequence a a\r\n");
    std::filesystem::create_directory(dir.Root() / "anims");
    QC_SCRIPT qc = ReadQcFile(dir.Path("model.qc"));
    ASSERT_EQ(qc.sequences.size(), 2u);
    EXPECT_EQ(qc.sequences[0].file, QcFolderOf(dir.Path("model.qc")) + "/part.qci");
    EXPECT_EQ(qc.cd.path, QcFolderOf(dir.Path("model.qc")) + "/anims");
    EXPECT_TRUE(qc.warnings.empty());
    std::filesystem::remove(dir.Root() / "part.qci");
    try {
        ReadQcFile(dir.Path("model.qc"));
        ADD_FAILURE();
    } catch (const CVarnexError& e) {
        EXPECT_EQ(e.Kind(), ERROR_KIND::QC_INCLUDE_UNREADABLE);
        EXPECT_EQ(e.File(), dir.Path("model.qc"));
        EXPECT_EQ(e.Line(), 2);
        EXPECT_EQ(e.SystemError(), ENOENT);
    }
}

TEST(QcReading, EveryTruncatedScriptReadsOrIsRefusedByName) {
    CMemoryQcFiles files = BarneyFiles();
    std::string qc = BARNEY;
    for (std::size_t size = 0; size <= qc.size(); ++size) {
        try {
            ReadQc(std::string_view(qc).substr(0, size), "models/barney.qc", files);
        } catch (const CVarnexError& e) {
            EXPECT_EQ(e.File(), "models/barney.qc") << size;
            EXPECT_GT(e.Line(), 0) << size;
        }
    }
}

}  // namespace varnex
