#include <gtest/gtest.h>

#include "cli/cli_in_process.h"
#include "dialog_fixture.h"

namespace varnex {
namespace {
//   model (L Thigh naming)          reference and animation (L Leg naming, other order)
//   0 Bip01        -1 (0,0,40)      0 Bip01       -1 (0,0,20)
//   1 Bip01 Pelvis  0 (0,0,2)       1 Bip01 L Leg  2 (0,12,0)
//   2 Bip01 Spine   1 (0,5,0)       2 Bip01 Pelvis 0 (0,0,1)
//   3 Bip01 L Thigh 2 (0,24,0)      3 Bip01 Spine  2 (3,4,0)
//   4 Sword         0 (9,0,0)
const std::vector<TEST_NODE> MODEL = {
    {"Bip01", -1, 0, 0, 40, 0, 0, 0},         {"Bip01 Pelvis", 0, 0, 0, 2, 0, 0, 0},
    {"Bip01 Spine", 1, 0, 5, 0, 0, 0, 0},     {"Bip01 L Thigh", 2, 0, 24, 0, 0.1, 0, 0},
    {"Sword", 0, 9, 0, 0, 0, 0, 1.5}};
const std::vector<TEST_NODE> REF = {
    {"Bip01", -1, 0, 0, 20, 0, 0, 0},  {"Bip01 L Leg", 2, 0, 12, 0, 0, 0, 0},
    {"Bip01 Pelvis", 0, 0, 0, 1, 0, 0, 0}, {"Bip01 Spine", 2, 3, 4, 0, 0, 0, 0}};
const std::vector<TEST_NODE> REF_FRAME1 = {
    {"Bip01", -1, 1, 0, 20, 0, 0, 0.5},  {"Bip01 L Leg", 2, 0, 12, 0, 0.2, 0, 0},
    {"Bip01 Pelvis", 0, 0, 0, 1, 0, 0, 0}, {"Bip01 Spine", 2, 3, 4, 0, 0, 0.3, 0}};

class DialogTest : public CDialogFixture {
protected:
    void SetUp() override {
        CDialogFixture::SetUp();
        WriteFile(dir.Path("knight_ref.smd"), MakeSmd(MODEL));
        WriteFile(dir.Path("runner_ref.smd"), MakeSmd(REF));
        WriteFile(dir.Path("walk.smd"), MakeSmd(REF, {REF_FRAME1}));
    }
    void LoadSmall() { LoadAll("knight_ref.smd", "runner_ref.smd", "walk.smd"); }
};
}  // namespace

TEST_F(DialogTest, StartUpShowsTheDefaultGridAndOnlyTheFreeCommandsRun) {
    EXPECT_EQ(ui.showGridCalls, 1);
    EXPECT_EQ(ui.screenNodes, GRID_TEXTS(60, "0"));
    EXPECT_EQ(ui.screenCorrections, GRID_TEXTS(60, "1"));
    dlg.OnLoadRefAnim();
    dlg.OnLoadAnim();
    dlg.OnBuildSmd();
    dlg.OnConvertBiped();
    EXPECT_EQ(ui.messages,
              (std::vector<std::string>{
                  "Choisissez d'abord un modèle de référence",
                  "Ouvrez les deux SMD de référence d'abord",
                  "Ouvrez les deux SMD de référence d'abord, puis celui de l'animation à copier",
                  "Choisissez d'abord un fichier de référence puis une animation qui y correspond"}));
    EXPECT_TRUE(ui.dialogs.empty());
    EXPECT_EQ(ui.takeGridCalls, 1) << "only BUILD SMD takes the grid before its checks";
    EXPECT_EQ(dlg.LastResult(), CVarnexDlg::COMMAND_RESULT::REFUSED);
}

TEST_F(DialogTest, LoadsPairScaleAndBuildTheRetargetedAnimation) {
    LoadSmall();
    EXPECT_EQ(ui.screenNodes[1], "2");
    EXPECT_EQ(ui.screenNodes[2], "3");
    EXPECT_EQ(ui.screenNodes[3], "1");
    EXPECT_EQ(ui.screenNodes[4], "0");
    EXPECT_EQ(dlg.BoneScales()[3], 24.0 / 13.0) << "the L Leg naming adds the spine's length 5";

    Run(&CVarnexDlg::OnBuildSmd, "out.smd");
    EXPECT_EQ(ui.messages, std::vector<std::string>{});
    EXPECT_EQ(ui.dialogs.back().initialName, "knight_walk.smd");
    EXPECT_TRUE(ui.dialogs.back().save);
    // Row 3 follows the reference's line 1 (L Leg), scaled: 12 * 24 / 13; row 4 keeps its rest.
    std::string out = ReadFile(dir.Path("out.smd"));
    EXPECT_NE(out.find("time 1\r\n  0 2.000000 0.000000 40.000000 0.000000 0.000000 0.500000\r\n"
                       "  1 0.000000 0.000000 2.000000 0.000000 0.000000 0.000000\r\n"
                       "  2 3.000000 4.000000 0.000000 0.000000 0.300000 0.000000\r\n"
                       "  3 0.000000 22.153846 0.000000 0.200000 0.000000 0.000000\r\n"
                       "  4 9.000000 0.000000 0.000000 0.000000 0.000000 1.500000\r\nend\r\n"),
              std::string::npos);
    EXPECT_EQ(dlg.OutputPath(), dir.Path("out.smd"));
    EXPECT_EQ(ListFolder(dir.Root()),
              (std::vector<std::string>{"knight_ref.smd", "out.smd", "runner_ref.smd", "walk.smd"}));
}

TEST_F(DialogTest, CancellingTheAnimationDialogStillTakesTheGrid) {
    Run(&CVarnexDlg::OnLoadRefModel, "knight_ref.smd");
    Run(&CVarnexDlg::OnLoadRefAnim, "runner_ref.smd");
    ui.screenNodes[4] = "7";
    ui.Cancel();
    dlg.OnLoadAnim();
    EXPECT_EQ(dlg.Grid().Nodes()[4], "7");
    EXPECT_EQ(dlg.LastResult(), CVarnexDlg::COMMAND_RESULT::CANCELLED);
    dlg.OnBuildSmd();
    EXPECT_EQ(Refusal(), "Choisissez une animation à copier");
}

TEST_F(DialogTest, RefusedModelChangesNothing) {
    Run(&CVarnexDlg::OnLoadRefModel, "knight_ref.smd");
    WriteFile(dir.Path("broken.smd"), "version 1\r\nnodes\r\n  0 \"a\" -1\r\nskeleton\r\n");
    Run(&CVarnexDlg::OnLoadRefModel, "broken.smd");
    EXPECT_EQ(Refusal(), dir.Path("broken.smd") +
                             ": la liste des nodes n'est pas fermée par une ligne « end »");
    // The first model is still the one the pairing sees.
    Run(&CVarnexDlg::OnLoadRefAnim, "runner_ref.smd");
    EXPECT_EQ(ui.screenNodes[3], "1");
}

TEST_F(DialogTest, RefusedBuildsLeaveNoFileBehind) {
    LoadSmall();
    ui.screenNodes[1] = "9";  // row 1 now points past the frames' 4 lines
    Run(&CVarnexDlg::OnBuildSmd, "out.smd");
    EXPECT_EQ(Refusal(),
              dir.Path("walk.smd") + ":9: frame « time 0 » : la ligne 1 de la grille (NODES 9) "
                                     "désigne la ligne de squelette 9, mais cette frame n'en a que 4");
    ui.screenNodes[1] = "2";
    std::string before = ReadFile(dir.Path("walk.smd"));
    Run(&CVarnexDlg::OnBuildSmd, "walk.smd");
    EXPECT_EQ(Refusal().find(": c'est un des fichiers d'entrée"), dir.Path("walk.smd").size());
    EXPECT_EQ(ReadFile(dir.Path("walk.smd")), before);
    EXPECT_EQ(ListFolder(dir.Root()),
              (std::vector<std::string>{"knight_ref.smd", "runner_ref.smd", "walk.smd"}));
    EXPECT_EQ(dlg.OutputPath(), "");
}

TEST_F(DialogTest, EveryModelNodeHasARowAndASmallerModelBringsSixtyBack) {
    // 0 Bip01 -1, 1..71 Bone1..Bone71 each on the one before; the reference names Bone65 too.
    std::vector<TEST_NODE> big = {{"Bip01", -1, 0, 0, 40, 0, 0, 0}};
    for (int i = 1; i < 72; ++i) big.push_back({"Bone" + std::to_string(i), i - 1, 2, 0, 0, 0, 0, 0.5});
    WriteFile(dir.Path("big.smd"), MakeSmd(big));
    std::vector<TEST_NODE> ref = REF;
    ref.push_back({"Bone65", 0, 4, 0, 0, 0, 0, 0});
    WriteFile(dir.Path("ref65.smd"), MakeSmd(ref));
    WriteFile(dir.Path("walk65.smd"), MakeSmd(ref, {ref}));
    dlg.SetPairSameNames(true);
    LoadAll("big.smd", "ref65.smd", "walk65.smd");
    ASSERT_EQ(dlg.Grid().Rows(), 72);
    EXPECT_EQ(dlg.Grid().Nodes()[65], "4") << "paired by its name";
    EXPECT_EQ(dlg.BoneScales()[65], 0.5) << "and scaled like any paired row: 2 / 4";
    Run(&CVarnexDlg::OnBuildSmd, "out.smd");
    std::string out = ReadFile(dir.Path("out.smd"));
    EXPECT_NE(out.find(" 71 2.000000 0.000000 0.000000 0.000000 0.000000 0.500000\r\ntime 1"),
              std::string::npos) << "row 71 keeps the model's rest line in every frame";
    EXPECT_NE(out.find(" 65 2.000000 0.000000 0.000000 0.000000 0.000000 0.000000\r\n 66"),
              std::string::npos);

    Run(&CVarnexDlg::OnSaveCon, "big.con");
    EXPECT_EQ(ReadFile(dir.Path("big.con")).size(), 72u * 9u);
    Run(&CVarnexDlg::OnLoadRefModel, "knight_ref.smd");
    EXPECT_EQ(dlg.Grid().Rows(), 60);
    Run(&CVarnexDlg::OnLoadCon, "big.con");
    EXPECT_EQ(ui.messages, std::vector<std::string>{dir.Path("big.con") +
                                                    ": 12 lignes du fichier ne sont pas chargées : "
                                                    "la grille n'en a que 60"});
    EXPECT_EQ(dlg.LastResult(), CVarnexDlg::COMMAND_RESULT::DONE) << "a note: the rows are loaded";
    EXPECT_EQ(dlg.Grid().Nodes()[59], "0");
}

// "Tout un .qc…" builds on the grid as the screen shows it, with the method chosen in the menu:
// the very files varnex-cli qc writes with the same edit and method, its progress shown
// animation by animation, its warnings listed; the status line counts the sequences.
TEST_F(DialogTest, AWholeQcIsTheCommandLinesSet) {
    WriteFile(dir.Path("walk2.smd"), MakeSmd(REF, {REF_FRAME1, REF}));
    WriteFile(dir.Path("runner.qc"), "$modelname \"runner.mdl\"\n$cd \".\"\n"
                                     "$sequence idle \"walk\" fps 30 loop\n"
                                     "$sequence run \"walk2\" ACT_RUN 1\n$sequence again walk\n");
    std::filesystem::create_directories(dir.Path("window"));
    LoadSmall();
    dlg.SetWorldMethod(true);
    ui.screenCorrections[3] = "0.5";
    ui.Answer(dir.Path("runner.qc"));
    ui.Cancel();  // no .qc of the model's own
    ui.Answer(dir.Path("window"));
    dlg.OnBuildQcSet();
    EXPECT_EQ(ui.messages, std::vector<std::string>{});
    EXPECT_EQ(dlg.LastResult(), CVarnexDlg::COMMAND_RESULT::DONE);
    EXPECT_EQ(ui.statuses.back(), "3 séquences écrites dans " + dir.Path("window"));
    EXPECT_EQ(ui.progress, (std::vector<std::string>{
                               "Tout un .qc: animation 1 sur 2 : walk (0/2)",
                               "Tout un .qc: animation 2 sur 2 : walk2 (1/2)"}));
    EXPECT_EQ(ui.endProgressCalls, 1);
    ASSERT_EQ(ui.lists.size(), 2u);
    EXPECT_EQ(ui.lists[0], "Tout un .qc : avertissements");
    EXPECT_NE(ui.lists[1].find("avertissement model-without-triangles"), std::string::npos)
        << ui.lists[1];
    EXPECT_EQ(ui.dialogs[ui.dialogs.size() - 2].filter, QC_FILTER);

    CLI_RUN cli = RunInProcess({"qc", "--model", dir.Path("knight_ref.smd"), "--ref-anim",
                                dir.Path("runner_ref.smd"), "--qc", dir.Path("runner.qc"),
                                "--method", "world", "--set", "3=:0.5", "--out-dir",
                                dir.Path("cli")});
    ASSERT_EQ(cli.status, 0) << cli.err;
    const std::vector<std::string> files = {"knight_ref.qc", "walk.smd", "walk2.smd"};
    ASSERT_EQ(ListFolder(dir.Root() / "window"), files);
    for (const std::string& name : files) {
        EXPECT_TRUE(ReadFile(dir.Path("window/" + name)) == ReadFile(dir.Path("cli/" + name)))
            << name;
    }
    dlg.SetWorldMethod(false);
    Run(&CVarnexDlg::OnBuildSmd, "local.smd");
    EXPECT_FALSE(ReadFile(dir.Path("local.smd")) == ReadFile(dir.Path("window/walk.smd")))
        << "the method made no difference: the test would not see it ignored";
}

// Every way out of "Tout un .qc…" but the end leaves nothing written: before the references, the
// source .qc or the folder cancelled, the progress cancelled, an animation refused (listed).
TEST_F(DialogTest, AWholeQcCancelledOrRefusedLeavesNothing) {
    WriteFile(dir.Path("runner.qc"), "$sequence idle walk\n$sequence run \"missing\" loop\n");
    std::filesystem::create_directories(dir.Path("out"));
    dlg.OnBuildQcSet();
    EXPECT_EQ(Refusal(), "Ouvrez les deux SMD de référence d'abord");
    LoadSmall();

    ui.Cancel();
    dlg.OnBuildQcSet();
    EXPECT_EQ(dlg.LastResult(), CVarnexDlg::COMMAND_RESULT::CANCELLED);
    EXPECT_TRUE(ui.folderTitles.empty());
    ui.Answer(dir.Path("runner.qc"));
    ui.Cancel();
    ui.Cancel();
    dlg.OnBuildQcSet();
    EXPECT_EQ(dlg.LastResult(), CVarnexDlg::COMMAND_RESULT::CANCELLED);
    EXPECT_EQ(ui.folderTitles.size(), 1u);
    EXPECT_TRUE(ui.progress.empty());

    WriteFile(dir.Path("missing.smd"), ReadFile(dir.Path("walk.smd")));
    ui.cancelAtStep = 2;
    ui.Answer(dir.Path("runner.qc"));
    ui.Cancel();
    ui.Answer(dir.Path("out"));
    dlg.OnBuildQcSet();
    EXPECT_EQ(dlg.LastResult(), CVarnexDlg::COMMAND_RESULT::CANCELLED);
    EXPECT_EQ(ui.progress.size(), 2u);
    EXPECT_EQ(ui.statuses.back(), "Tout un .qc annulé : rien n'est écrit");
    EXPECT_EQ(ListFolder(dir.Root() / "out"), std::vector<std::string>{});

    std::filesystem::remove(dir.Path("missing.smd"));
    ui.cancelAtStep = 0;
    ui.Answer(dir.Path("runner.qc"));
    ui.Cancel();
    ui.Answer(dir.Path("out"));
    dlg.OnBuildQcSet();
    std::string message = Refusal();
    EXPECT_EQ(message.substr(0, message.find('\n')),
              "Rien n'est écrit : 1 animation est refusée :");
    EXPECT_NE(message.find(dir.Path("runner.qc") + ":2: séquence « run » refusée : "),
              std::string::npos) << message;
    EXPECT_EQ(ListFolder(dir.Root() / "out"), std::vector<std::string>{});
    EXPECT_EQ(ui.endProgressCalls, 2);
    EXPECT_TRUE(ui.lists.empty());
}

TEST_F(DialogTest, QuitTakesTheGridAndEndsTheDialog) {
    ui.screenNodes[0] = "5";
    dlg.OnQuit();
    EXPECT_EQ(dlg.Grid().Nodes()[0], "5");
    EXPECT_EQ(ui.endDialogCalls, 1);
}

}  // namespace varnex

namespace varnex {

// A model of another skeleton starts from a fresh grid, as the command line's, and waits for its
// own pairing: after the knight, with a row edited, the runner's skeleton as the model asks first
// ("Non" keeps the knight and the edit), then builds the very bytes varnex-cli builds. The same
// model again keeps the grid and its edits.
TEST_F(DialogTest, AnotherSkeletonStartsFromTheCommandLinesGrid) {
    CopySamples();
    LoadAll();
    ui.screenNodes[5] = "7";
    ui.screenCorrections[5] = "0.5";
    Run(&CVarnexDlg::OnLoadRefModel, "knight_ref.smd");
    EXPECT_EQ(ui.questions.size(), 0u) << "the same skeleton asks nothing";
    EXPECT_EQ(ui.screenNodes[5], "7");

    ui.yesNo = {false};
    Run(&CVarnexDlg::OnLoadRefModel, "runner_ref.smd");
    EXPECT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(dlg.LastResult(), CVarnexDlg::COMMAND_RESULT::CANCELLED);
    EXPECT_EQ(ui.screenNodes[5], "7");

    Run(&CVarnexDlg::OnLoadRefModel, "runner_ref.smd");
    EXPECT_EQ(ui.screenNodes, GRID_TEXTS(60, "0"));
    EXPECT_EQ(ui.screenCorrections, GRID_TEXTS(60, "1"));
    EXPECT_NE(ui.statuses.back().find("mise de côté"), std::string::npos) << ui.statuses.back();
    dlg.OnBuildSmd();
    EXPECT_EQ(Refusal(), "Ouvrez les deux SMD de référence d'abord, puis celui de l'animation à "
                         "copier");

    Run(&CVarnexDlg::OnLoadRefAnim, "runner_ref.smd");
    Run(&CVarnexDlg::OnBuildSmd, "window.smd");
    ASSERT_EQ(ui.messages, std::vector<std::string>{});
    CLI_RUN cli = RunInProcess({"build", "--model", dir.Path("runner_ref.smd"), "--ref-anim",
                                dir.Path("runner_ref.smd"), "-o", dir.Path("cli.smd"),
                                dir.Path("runner_walk.smd")});
    ASSERT_EQ(cli.status, 0) << cli.err;
    EXPECT_TRUE(ReadFile(dir.Path("window.smd")) == ReadFile(dir.Path("cli.smd")));
}

}  // namespace varnex
