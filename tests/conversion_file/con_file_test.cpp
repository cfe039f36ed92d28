#include <gtest/gtest.h>

#include "conversion_file/con_file.h"
#include "dialog_fixture.h"

namespace varnex {

TEST(ConFile, RecordsAreTheNodesLowEightBitsThenALittleEndianDouble) {
    GRID grid(60);
    grid[0] = GRID_ROW{-1, -0.25};
    grid[1] = GRID_ROW{256, 1.0};
    grid[2] = GRID_ROW{300, 1.0};
    grid[59] = GRID_ROW{12, 1.0};
    std::string bytes = ComposeConFile(grid);
    ASSERT_EQ(bytes.size(), 540u);
    EXPECT_EQ(bytes.substr(0, 9), std::string("\xFF\x00\x00\x00\x00\x00\x00\xD0\xBF", 9));
    EXPECT_EQ(bytes.substr(9, 9), std::string("\x00\x00\x00\x00\x00\x00\x00\xF0\x3F", 9));
    EXPECT_EQ(static_cast<unsigned char>(bytes[18]), 44);
    EXPECT_EQ(static_cast<unsigned char>(bytes[59 * 9]), 12);
    GRID back = ReadConFile(bytes + "trailing bytes are ignored", "grid.con");
    EXPECT_EQ(back[0].nodes, 255);
    EXPECT_EQ(back[0].correction, -0.25);
    EXPECT_EQ(back[2].nodes, 44);
}

using ConFileCommands = CDialogFixture;

TEST_F(ConFileCommands, SaveThenLoadGivesByteValuesAndSixDecimals) {
    ui.screenNodes[0] = "-1";
    ui.screenNodes[1] = "abc";
    ui.screenCorrections[0] = "0.5";
    ui.screenCorrections[1] = "1.23456789";
    Run(&CVarnexDlg::OnSaveCon, "grid.con");
    EXPECT_EQ(ui.dialogs.back().initialName, "Nouveau.con");
    EXPECT_EQ(ui.dialogs.back().filter, "SMD Conversion con(*.con)|*.con||");

    ui.screenNodes[0] = "typed, not taken";
    Run(&CVarnexDlg::OnLoadCon, "grid.con");
    EXPECT_EQ(ui.dialogs.back().initialName, "*.con");
    EXPECT_EQ(ui.screenNodes[0], "255");
    EXPECT_EQ(ui.screenNodes[1], "0");
    EXPECT_EQ(ui.screenCorrections[0], "0.500000");
    EXPECT_EQ(ui.screenCorrections[1], "1.234568");
    EXPECT_EQ(ui.screenCorrections[2], "1.000000");

    WriteFile(dir.Path("short.con"), "abc");
    Run(&CVarnexDlg::OnLoadCon, "short.con");
    Refusal();
    EXPECT_EQ(ui.screenNodes[0], "255") << "a refused file changes no row";

    ui.screenCorrections[4] = "inf";
    Run(&CVarnexDlg::OnSaveCon, "bad.con");
    EXPECT_EQ(Refusal(), dir.Path("bad.con") +
                             " : ligne 4 de la grille : la Correction « inf » n'est pas un nombre fini");
    EXPECT_EQ(ListFolder(dir.Root()), (std::vector<std::string>{"grid.con", "short.con"}));
}

}  // namespace varnex
