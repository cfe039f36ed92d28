#include <gtest/gtest.h>

#include "biped/biped_conversion.h"
#include "dialog_fixture.h"

namespace varnex {

namespace {
//   0 Bip01 -1   1 Bip01 Pelvis 0   2 Bip01 Spine 1   3 Bip01 L Leg 1   4 Bip01 L Leg1 3
//   5 Bip01 R Leg 1
std::vector<TEST_NODE> Skeleton() {
    return {{"Bip01", -1, 0, 0, 40, 0, 0, 0},
            {"Bip01 Pelvis", 0, 0, 0, 2, 0, 0, 0},
            {"Bip01 Spine", 1, 0.5, 0, 1, 0, 0, 0},
            {"Bip01 L Leg", 1, 1, 2, 3, 0.1, 0.2, 0.3},
            {"Bip01 L Leg1", 3, 0, 10, 0, 0, 0, 0},
            {"Bip01 R Leg", 1, -1, 2, 3, -3.1, 0.2, 0.3}};
}

class ConversionTest : public CDialogFixture {
protected:
    void Load(const std::string& animText) {
        WriteFile(dir.Path("model.smd"), MakeSmd(Skeleton()));
        WriteFile(dir.Path("ref.smd"), MakeSmd(Skeleton()));
        WriteFile(dir.Path("walk.smd"), animText);
        LoadAll("model.smd", "ref.smd", "walk.smd");
    }
};

}  // namespace

TEST(BipedConversion, ParentFieldIsRewrittenWholeWhateverItsWidth) {
    EXPECT_EQ(ReplaceParent("  3 \"Bip01 L Leg\"   1", 12), "  3 \"Bip01 L Leg\"  12");
    EXPECT_EQ(ReplaceParent(" 14 \"Bip01 R Thigh\"  10", 2), " 14 \"Bip01 R Thigh\"   2");
    EXPECT_EQ(ReplaceParent("3 \"a\" 1", 123), "3 \"a\" 123");
    EXPECT_EQ(ReplaceParent("3 \"a\" 1  ", 7), "3 \"a\" 7  ");
}

TEST(BipedConversion, NewGoesBeforeTheLastFourCharacters) {
    EXPECT_EQ(ConvertedPathOf("C:\\anims\\walk.smd"), "C:\\anims\\walkNew.smd");
    EXPECT_EQ(ConvertedPathOf("/anims/walk.anim"), "/anims/walk.Newanim");
    EXPECT_EQ(ConvertedPathOf("/anims/abc"), "/anims/Newabc");
}

TEST_F(ConversionTest, ThighsHangFromTheSpineInTheHeaderAndEveryFrame) {
    // Frame 1 lists the spine after the thighs, its left thigh with odd blanks and short numbers,
    // its right thigh's angle wrapped back into one turn; frame 2 has no spine line.
    std::string walk = MakeSmd(Skeleton());
    walk.resize(walk.size() - 5);  // drop "end"
    walk +=
        "time 1\r\n"
        "  0 0.000000 0.000000 40.000000 0.000000 0.000000 0.000000\r\n"
        "  1 0.000000 0.000000 2.000000 0.000000 0.000000 0.000000\r\n"
        "  2 1.000000 1.000000 1.000000 0.500000 0.000000 0.000000\r\n"
        "3   1.0  2.0\t3.0 0.1 0.2 0.3\r\n"
        "  4 0.000000 10.000000 0.000000 0.000000 0.000000 0.000000\r\n"
        "  5 -1.000000 2.000000 3.000000 -3.000000 0.200000 0.300000\r\n"
        "time 2\r\n"
        "  0 0.000000 0.000000 40.000000 0.000000 0.000000 0.000000\r\n"
        "  1 0.000000 0.000000 2.000000 0.000000 0.000000 0.000000\r\nend\r\nafter the end\r\n";
    Load(walk);
    dlg.OnConvertBiped();
    ASSERT_EQ(ui.messages, std::vector<std::string>{});
    EXPECT_EQ(dlg.AnimPath(), dir.Path("walkNew.smd"));
    std::string converted = ReadFile(dir.Path("walkNew.smd"));
    EXPECT_EQ(converted,
              "version 1\r\nnodes\r\n  0 \"Bip01\"  -1\r\n  1 \"Bip01 Pelvis\"   0\r\n"
              "  2 \"Bip01 Spine\"   1\r\n  3 \"Bip01 L Leg\"   2\r\n  4 \"Bip01 L Leg1\"   3\r\n"
              "  5 \"Bip01 R Leg\"   2\r\nend\r\nskeleton\r\n"
              "time 0\r\n"
              "  0 0.000000 0.000000 40.000000 0.000000 0.000000 0.000000\r\n"
              "  1 0.000000 0.000000 2.000000 0.000000 0.000000 0.000000\r\n"
              "  2 0.500000 0.000000 1.000000 0.000000 0.000000 0.000000\r\n"
              "  3 0.500000 2.000000 2.000000 0.100000 0.200000 0.300000\r\n"
              "  4 0.000000 10.000000 0.000000 0.000000 0.000000 0.000000\r\n"
              "  5 -1.500000 2.000000 2.000000 -3.100000 0.200000 0.300000\r\n"
              "time 1\r\n"
              "  0 0.000000 0.000000 40.000000 0.000000 0.000000 0.000000\r\n"
              "  1 0.000000 0.000000 2.000000 0.000000 0.000000 0.000000\r\n"
              "  2 1.000000 1.000000 1.000000 0.500000 0.000000 0.000000\r\n"
              "  3 0.000000 1.000000 2.000000 -0.400000 0.200000 0.300000\r\n"
              "  4 0.000000 10.000000 0.000000 0.000000 0.000000 0.000000\r\n"
              "  5 -2.000000 1.000000 2.000000 2.783180 0.200000 0.300000\r\n"
              "time 2\r\n"
              "  0 0.000000 0.000000 40.000000 0.000000 0.000000 0.000000\r\n"
              "  1 0.000000 0.000000 2.000000 0.000000 0.000000 0.000000\r\nend\r\n");

    // BUILD SMD now reads the converted file: its short frame 2 is what stops it.
    ui.Answer(dir.Path("out.smd"));
    dlg.OnBuildSmd();
    EXPECT_EQ(ui.dialogs.back().initialName, "modelwalkNew.smd");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].rfind(dir.Path("walkNew.smd") + ":25: frame « time 2 »", 0), 0u)
        << ui.messages[0];
}

TEST_F(ConversionTest, ThighAlreadyOnTheSpineKeepsItsLineAndPose) {
    std::vector<TEST_NODE> nodes = Skeleton();
    nodes[5].parent = 2;
    Load(MakeSmd(nodes));
    dlg.OnConvertBiped();
    std::string converted = ReadFile(dir.Path("walkNew.smd"));
    EXPECT_NE(converted.find("  3 \"Bip01 L Leg\"   2\r\n"), std::string::npos);
    EXPECT_NE(converted.find("  5 -1.000000 2.000000 3.000000 -3.100000 0.200000 0.300000\r\n"),
              std::string::npos);
    EXPECT_NE(converted.find("  3 0.500000 2.000000 2.000000 0.100000"), std::string::npos);
}

TEST_F(ConversionTest, NothingToConvertIsToldAndNothingWritten) {
    std::vector<TEST_NODE> nodes = Skeleton();
    nodes[3].parent = 2;
    nodes[5].parent = 2;
    Load(MakeSmd(nodes));
    dlg.OnConvertBiped();
    EXPECT_EQ(ui.messages, (std::vector<std::string>{
                               dir.Path("walk.smd") +
                               ": les deux cuisses sont déjà rattachées à la colonne : rien à "
                               "convertir"}));
    EXPECT_EQ(dlg.AnimPath(), dir.Path("walk.smd"));
    EXPECT_EQ(ListFolder(dir.Root()), (std::vector<std::string>{"model.smd", "ref.smd", "walk.smd"}));
}

TEST_F(ConversionTest, MalformedThighLineIsToldAtLoadAndLeavesNoHalfFile) {
    std::string walk = MakeSmd(Skeleton());
    walk.insert(walk.rfind("end\r\n"), "time 1\r\n  0 0 0 0 0 0 0\r\n  1 0 0 0 0 0 0\r\n"
                                       "  2 0 0 0 0 0 0\r\n  3 0 0 0\r\n");
    WriteFile(dir.Path("model.smd"), MakeSmd(Skeleton()));
    WriteFile(dir.Path("ref.smd"), MakeSmd(Skeleton()));
    WriteFile(dir.Path("walk.smd"), walk);
    Run(&CVarnexDlg::OnLoadRefModel, "model.smd");
    Run(&CVarnexDlg::OnLoadRefAnim, "ref.smd");
    Run(&CVarnexDlg::OnLoadAnim, "walk.smd");
    EXPECT_EQ(Refusal().rfind(dir.Path("walk.smd") + ":22: ", 0), 0u);
    // The conversion alone, as the command line runs it, refuses the same line and writes nothing.
    bool thighNamedLeg = false;
    BIPED_NODES nodes = FindBipedNodes(dlg.RefAnim(), thighNamedLeg);
    try {
        ConvertAnimationFile(nodes, dir.Path("walk.smd"), "\r\n");
        ADD_FAILURE() << "converted";
    } catch (const CVarnexError& e) {
        EXPECT_EQ(e.Line(), 22);
    }
    EXPECT_EQ(ListFolder(dir.Root()), (std::vector<std::string>{"model.smd", "ref.smd", "walk.smd"}));
}

}  // namespace varnex
