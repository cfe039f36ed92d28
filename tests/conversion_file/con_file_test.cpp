#include <gtest/gtest.h>

#include "app/varnex_dlg.h"
#include "conversion_file/con_file.h"
#include "platform/varnex_error.h"
#include "test_support.h"

namespace {
GRID_TEXTS Filled(const char* text) {
    GRID_TEXTS grid;
    grid.fill(text);
    return grid;
}
}  // namespace

TEST(ConFile, StartUpGridIsSixtyRecordsOfZeroAndOne) {
    std::string bytes = ComposeConFile(Filled("0"), Filled("1"));
    ASSERT_EQ(bytes.size(), 540u);
    const std::string record("\x00\x00\x00\x00\x00\x00\x00\xF0\x3F", 9);
    for (int r = 0; r < 60; ++r) EXPECT_EQ(bytes.substr(r * 9, 9), record) << "row " << r;
}

TEST(ConFile, NodeTextsKeepTheirLowEightBits) {
    GRID_TEXTS nodes = Filled("0");
    nodes[1] = "-1";
    nodes[2] = "256";
    nodes[3] = "300";
    nodes[4] = "abc";
    nodes[60] = "12";
    GRID_TEXTS corrections = Filled("1");
    corrections[1] = "-0.25";
    std::string bytes = ComposeConFile(nodes, corrections);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xFF);
    EXPECT_EQ(std::string(bytes.data() + 1, 8), std::string("\x00\x00\x00\x00\x00\x00\xD0\xBF", 8));
    EXPECT_EQ(static_cast<unsigned char>(bytes[9]), 0);
    EXPECT_EQ(static_cast<unsigned char>(bytes[18]), 44);
    EXPECT_EQ(static_cast<unsigned char>(bytes[27]), 0);
    EXPECT_EQ(static_cast<unsigned char>(bytes[59 * 9]), 12);
}

TEST(ConFile, RoundTripGivesByteValuesAndSixDecimals) {
    GRID_TEXTS nodes = Filled("0");
    GRID_TEXTS corrections = Filled("1");
    nodes[1] = "12";
    nodes[2] = "-1";
    corrections[1] = "0.5";
    corrections[2] = "1.23456789";
    corrections[3] = "-0.25";
    std::string bytes = ComposeConFile(nodes, corrections);
    GRID_TEXTS loadedNodes = Filled("x");
    GRID_TEXTS loadedCorrections = Filled("x");
    ReadConFile(bytes, "grid.con", loadedNodes, loadedCorrections);
    EXPECT_EQ(loadedNodes[0], "x") << "entry 0 is never loaded";
    EXPECT_EQ(loadedNodes[1], "12");
    EXPECT_EQ(loadedNodes[2], "255");
    EXPECT_EQ(loadedNodes[3], "0");
    EXPECT_EQ(loadedCorrections[1], "0.500000");
    EXPECT_EQ(loadedCorrections[2], "1.234568");
    EXPECT_EQ(loadedCorrections[3], "-0.250000");
    EXPECT_EQ(loadedCorrections[60], "1.000000");
}

TEST(ConFile, ShortFileIsRefusedAndLongFileReadToFiveHundredForty) {
    GRID_TEXTS nodes = Filled("7");
    GRID_TEXTS corrections = Filled("2");
    std::string bytes = ComposeConFile(Filled("3"), Filled("0.5"));
    try {
        ReadConFile(bytes.substr(0, 539), "short.con", nodes, corrections);
        FAIL() << "accepted";
    } catch (const CVarnexError& e) {
        EXPECT_EQ(e.Text(), "short.con: fichier de conversion trop court : 539 octets au lieu de 540");
    }
    EXPECT_EQ(nodes[5], "7");
    ReadConFile(bytes + "trailing bytes", "long.con", nodes, corrections);
    EXPECT_EQ(nodes[5], "3");
    EXPECT_EQ(corrections[5], "0.500000");
}

TEST(ConFile, NonFiniteCorrectionIsRefusedWithItsRow) {
    std::string bytes = ComposeConFile(Filled("0"), Filled("1"));
    const char nanBytes[8] = {0, 0, 0, 0, 0, 0, static_cast<char>(0xF8), 0x7F};
    bytes.replace(7 * 9 + 1, 8, nanBytes, 8);
    GRID_TEXTS nodes = Filled("a");
    GRID_TEXTS corrections = Filled("b");
    try {
        ReadConFile(bytes, "nan.con", nodes, corrections);
        FAIL() << "accepted";
    } catch (const CVarnexError& e) {
        EXPECT_EQ(e.Text(), "nan.con: ligne 7 : la correction enregistrée n'est pas un nombre fini");
    }
    EXPECT_EQ(nodes[1], "a") << "no row changes when the file is refused";
    GRID_TEXTS typed = Filled("1");
    typed[4] = "inf";
    EXPECT_THROW(ComposeConFile(Filled("0"), typed), CVarnexError);
}

TEST(ConFile, CommandsSaveThenLoadThroughTheirDialogs) {
    CTempDir dir;
    CTestPlatform ui;
    CVarnexDlg dlg(ui);
    dlg.OnInitDialog();
    ui.screenNodes[1] = "-1";
    ui.screenCorrections[1] = "0.5";
    ui.Answer(dir.Path("grid.con"));
    dlg.OnSaveCon();
    EXPECT_EQ(ui.dialogs.back().initialName, "Nouveau.con");
    EXPECT_EQ(ui.dialogs.back().filter, "SMD Conversion con(*.con)|*.con||");
    EXPECT_TRUE(ui.dialogs.back().save);
    EXPECT_EQ(ReadFile(dir.Path("grid.con")).size(), 540u);

    ui.screenNodes[1] = "typed, not taken";
    ui.Answer(dir.Path("grid.con"));
    dlg.OnLoadCon();
    EXPECT_EQ(ui.dialogs.back().initialName, "*.con");
    EXPECT_EQ(ui.screenNodes[1], "255");
    EXPECT_EQ(ui.screenCorrections[1], "0.500000");
    EXPECT_EQ(ui.screenCorrections[2], "1.000000");

    WriteFile(dir.Path("short.con"), "abc");
    ui.Answer(dir.Path("short.con"));
    dlg.OnLoadCon();
    EXPECT_EQ(ui.messages, (std::vector<std::string>{
                               dir.Path("short.con") +
                               ": fichier de conversion trop court : 3 octets au lieu de 540"}));
    EXPECT_EQ(dlg.m_nodeText[1], "255");
}
