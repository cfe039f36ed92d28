#include <gtest/gtest.h>

#include "app/varnex_dlg.h"
#include "test_support.h"

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

const char* const EXPECTED_BUILD =
    "version 1\r\nnodes\r\n  0 \"Bip01\"  -1\r\n  1 \"Bip01 Pelvis\"   0\r\n"
    "  2 \"Bip01 Spine\"   1\r\n  3 \"Bip01 L Thigh\"   2\r\n  4 \"Sword\"   0\r\nend\r\n"
    "skeleton\r\ntime 0\r\n"
    "  0 0.000000 0.000000 40.000000 0.000000 0.000000 0.000000\r\n"
    "  1 0.000000 0.000000 2.000000 0.000000 0.000000 0.000000\r\n"
    "  2 3.000000 4.000000 0.000000 0.000000 0.000000 0.000000\r\n"
    "  3 0.000000 22.153846 0.000000 0.000000 0.000000 0.000000\r\n"
    "  4 9.000000 0.000000 0.000000 0.000000 0.000000 1.500000\r\n"
    "time 1\r\n"
    "  0 2.000000 0.000000 40.000000 0.000000 0.000000 0.500000\r\n"
    "  1 0.000000 0.000000 2.000000 0.000000 0.000000 0.000000\r\n"
    "  2 3.000000 4.000000 0.000000 0.000000 0.300000 0.000000\r\n"
    "  3 0.000000 22.153846 0.000000 0.200000 0.000000 0.000000\r\n"
    "  4 9.000000 0.000000 0.000000 0.000000 0.000000 1.500000\r\n"
    "end\r\n";

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFile(dir.Path("knight_ref.smd"), MakeSmd(MODEL));
        WriteFile(dir.Path("runner_ref.smd"), MakeSmd(REF));
        WriteFile(dir.Path("walk.smd"), MakeSmd(REF, {REF_FRAME1}));
        dlg.OnInitDialog();
    }

    void LoadAll() {
        ui.Answer(dir.Path("knight_ref.smd"));
        dlg.OnLoadRefModel();
        ui.Answer(dir.Path("runner_ref.smd"));
        dlg.OnLoadRefAnim();
        ui.Answer(dir.Path("walk.smd"));
        dlg.OnLoadAnim();
        ASSERT_EQ(ui.messages, std::vector<std::string>{});
    }

    CTempDir dir;
    CTestPlatform ui;
    CVarnexDlg dlg{ui};
};
}  // namespace

TEST_F(DialogTest, StartUpShowsTheDefaultGridAndOnlyTheFreeCommandsRun) {
    EXPECT_EQ(ui.showGridCalls, 1);
    EXPECT_EQ(ui.screenNodes[1], "0");
    EXPECT_EQ(ui.screenNodes[60], "0");
    EXPECT_EQ(ui.screenCorrections[60], "1");
    EXPECT_EQ(dlg.m_nodeText[0], "0");
    EXPECT_EQ(dlg.m_correctionText[0], "1");
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

TEST_F(DialogTest, BuildChecksTheReferencesThenTheAnimationAfterTakingTheGrid) {
    ui.Answer(dir.Path("knight_ref.smd"));
    dlg.OnLoadRefModel();
    dlg.OnBuildSmd();
    ui.Answer(dir.Path("runner_ref.smd"));
    dlg.OnLoadRefAnim();
    ui.screenCorrections[3] = "0.5";
    dlg.OnBuildSmd();
    EXPECT_EQ(ui.messages,
              (std::vector<std::string>{
                  "Ouvrez les deux SMD de référence d'abord, puis celui de l'animation à copier",
                  "Choisissez une animation à copier"}));
    EXPECT_EQ(dlg.m_correctionText[3], "0.5");
}

TEST_F(DialogTest, LoadsPairScaleAndBuildTheRetargetedAnimation) {
    LoadAll();
    EXPECT_EQ(dlg.m_nodeCount, 5);
    EXPECT_EQ(ui.screenNodes[1], "0");
    EXPECT_EQ(ui.screenNodes[2], "2");
    EXPECT_EQ(ui.screenNodes[3], "3");
    EXPECT_EQ(ui.screenNodes[4], "1");
    EXPECT_EQ(ui.screenNodes[5], "0");
    EXPECT_EQ(dlg.m_leftThighNode, 1);
    EXPECT_EQ(dlg.m_rightThighNode, -1);
    EXPECT_EQ(dlg.m_refAnimSpineNode, 3);
    EXPECT_EQ(dlg.m_thighNamedLeg, 1);
    EXPECT_EQ(dlg.m_boneScale[3], 24.0 / 13.0);
    EXPECT_EQ(dlg.m_refAnimSpineLength, 5.0);

    ui.Answer(dir.Path("out.smd"));
    dlg.OnBuildSmd();
    EXPECT_EQ(ui.messages, std::vector<std::string>{});
    EXPECT_EQ(ui.dialogs.back().initialName, "knight_walk.smd");
    EXPECT_TRUE(ui.dialogs.back().save);
    EXPECT_EQ(ui.dialogs.back().filter, "Half-Life SMD smd(*.smd)|*.smd||");
    EXPECT_EQ(ReadFile(dir.Path("out.smd")), EXPECTED_BUILD);
    EXPECT_EQ(dlg.m_outputPath, dir.Path("out.smd"));
    EXPECT_EQ(ListFolder(dir.Root()),
              (std::vector<std::string>{"knight_ref.smd", "out.smd", "runner_ref.smd", "walk.smd"}));
}

TEST_F(DialogTest, CancellingTheAnimationDialogStillTakesTheGrid) {
    ui.Answer(dir.Path("knight_ref.smd"));
    dlg.OnLoadRefModel();
    ui.Answer(dir.Path("runner_ref.smd"));
    dlg.OnLoadRefAnim();
    ui.screenNodes[5] = "7";
    ui.Cancel();
    dlg.OnLoadAnim();
    EXPECT_EQ(dlg.m_nodeText[5], "7");
    EXPECT_EQ(dlg.m_animLoaded, 0);
    EXPECT_EQ(dlg.LastResult(), CVarnexDlg::COMMAND_RESULT::CANCELLED);
}

TEST_F(DialogTest, RefusedModelChangesNothing) {
    ui.Answer(dir.Path("knight_ref.smd"));
    dlg.OnLoadRefModel();
    WriteFile(dir.Path("broken.smd"), "version 1\r\nnodes\r\n  0 \"a\" -1\r\nskeleton\r\n");
    ui.Answer(dir.Path("broken.smd"));
    dlg.OnLoadRefModel();
    ui.Answer(dir.Path("missing.smd"));
    dlg.OnLoadRefModel();
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0], dir.Path("broken.smd") +
                                  ": la liste des nodes n'est pas fermée par une ligne « end »");
    EXPECT_EQ(ui.messages[1], dir.Path("missing.smd") +
                                  ": impossible d'ouvrir le fichier : No such file or directory");
    EXPECT_EQ(dlg.m_refModelPath, dir.Path("knight_ref.smd"));
    EXPECT_EQ(dlg.m_nodeCount, 5);
    EXPECT_EQ(dlg.m_refModelFileOpen, 0);
}

TEST_F(DialogTest, BadAnimationLeavesNoFileBehind) {
    LoadAll();
    ui.screenNodes[2] = "9";  // row 1 now points past the frames' 4 lines
    ui.Answer(dir.Path("out.smd"));
    dlg.OnBuildSmd();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0],
              dir.Path("walk.smd") + ":9: frame « time 0 » : la ligne 1 de la grille (NODES 9) "
                                     "désigne la ligne de squelette 9, mais cette frame n'en a que 4");
    EXPECT_EQ(ListFolder(dir.Root()),
              (std::vector<std::string>{"knight_ref.smd", "runner_ref.smd", "walk.smd"}));
    EXPECT_EQ(dlg.m_outputPath, "");
}

TEST_F(DialogTest, OutputNamingAnInputIsRefusedAndTheInputKept) {
    LoadAll();
    std::string before = ReadFile(dir.Path("walk.smd"));
    ui.Answer(dir.Path("walk.smd"));
    dlg.OnBuildSmd();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0], dir.Path("walk.smd") +
                                  ": c'est un des fichiers d'entrée : choisissez un autre nom pour "
                                  "ne pas l'écraser");
    EXPECT_EQ(ReadFile(dir.Path("walk.smd")), before);
}

TEST_F(DialogTest, UnwritableOutputFolderIsToldAndNothingWritten) {
    LoadAll();
    ui.Answer(dir.Path("no/such/folder/out.smd"));
    dlg.OnBuildSmd();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0], dir.Path("no/such/folder/out.smd") +
                                  ": impossible de créer le fichier : No such file or directory");
    EXPECT_EQ(dlg.LastResult(), CVarnexDlg::COMMAND_RESULT::REFUSED);
}

TEST_F(DialogTest, AnimationDeletedAfterLoadingIsTold) {
    LoadAll();
    std::filesystem::remove(dir.Path("walk.smd"));
    ui.Answer(dir.Path("out.smd"));
    dlg.OnBuildSmd();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0], dir.Path("walk.smd") +
                                  ": impossible d'ouvrir le fichier : No such file or directory");
    EXPECT_EQ(ListFolder(dir.Root()),
              (std::vector<std::string>{"knight_ref.smd", "runner_ref.smd"}));
}

TEST_F(DialogTest, ModelOfMoreThanSixtyNodesFillsSixtyRowsAndSaysSo) {
    std::vector<TEST_NODE> big;
    for (int i = 0; i < 83; ++i) big.push_back({"node" + std::to_string(i), i - 1, 1, 0, 0, 0, 0, 0});
    WriteFile(dir.Path("big.smd"), MakeSmd(big));
    ui.Answer(dir.Path("big.smd"));
    dlg.OnLoadRefModel();
    EXPECT_EQ(dlg.m_nodeCount, 60);
    EXPECT_EQ(dlg.m_refModelLoaded, 1);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0], dir.Path("big.smd") +
                                  ": le modèle a 83 nodes, la grille n'en a que 60 : les nodes 60 "
                                  "à 82 n'auront pas de ligne dans les frames écrites");
    EXPECT_EQ(dlg.LastResult(), CVarnexDlg::COMMAND_RESULT::DONE);
}

TEST_F(DialogTest, NewModelAfterTheAnimationKeepsBuildAvailable) {
    LoadAll();
    std::vector<TEST_NODE> small(MODEL.begin(), MODEL.begin() + 2);
    WriteFile(dir.Path("small_ref.smd"), MakeSmd(small));
    ui.Answer(dir.Path("small_ref.smd"));
    dlg.OnLoadRefModel();
    ui.Answer(dir.Path("out.smd"));
    dlg.OnBuildSmd();
    EXPECT_EQ(ui.messages, std::vector<std::string>{});
    std::string out = ReadFile(dir.Path("out.smd"));
    EXPECT_NE(out.find("  1 \"Bip01 Pelvis\"   0\r\nend\r\nskeleton\r\ntime 0\r\n"), std::string::npos);
    EXPECT_EQ(out.find("Sword"), std::string::npos);
}

TEST_F(DialogTest, NonFiniteCorrectionNeverReachesTheOutput) {
    LoadAll();
    ui.screenCorrections[2] = "1e999";
    ui.Answer(dir.Path("out.smd"));
    dlg.OnBuildSmd();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0],
              "ligne 1 de la grille : la Correction « 1e999 » n'est pas un nombre fini");
    EXPECT_FALSE(std::filesystem::exists(dir.Path("out.smd")));
}

TEST_F(DialogTest, QuitTakesTheGridAndEndsTheDialog) {
    ui.screenNodes[1] = "5";
    dlg.OnQuit();
    EXPECT_EQ(dlg.m_nodeText[1], "5");
    EXPECT_EQ(ui.endDialogCalls, 1);
}
