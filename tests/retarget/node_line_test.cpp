#include <gtest/gtest.h>

#include "app/error_text.h"

#include "retarget/node_line.h"
#include "platform/varnex_error.h"

namespace varnex {

namespace {
// A frame of five lines; line 2 holds the worked example's source.
const std::vector<FRAME_LINE> FRAME = {
    {"  0 0.000000 0.000000 10.000000 0.000000 0.000000 0.000000", 11},
    {"  1 1.000000 1.000000 1.000000 0.010000 0.020000 0.030000", 12},
    {"  2 1.500000 -2.000000 10.000000 0.100000 0.200000 0.300000", 13},
    {"  3 -1.000000 0.000000 0.000000 1.000000 2.000000 3.000000", 14},
    {"  4 0.000000 0.000000 0.000000 0.000000 0.000000 0.000000", 15},
};
// The model's rest lines; node 4 rests at (0, 4, 8).
const std::vector<FRAME_LINE> REST = {
    {"  0 0.000000 0.000000 40.000000 0.000000 0.000000 0.000000", 9},
    {"  1 0.500000 0.000000 0.000000 0.000000 0.000000 0.000000", 10},
    {"  2 0.000000 2.000000 0.000000 0.000000 0.000000 0.000000", 11},
    {"  3 0.000000 3.000000 0.000000 0.000000 0.000000 0.000000", 12},
    {"  4 0.000000 4.000000 8.000000 0.400000 0.500000 0.600000", 13},
};

std::string Compose(int row, int nodes, double correction, double scale) {
    COMPOSE_CONTEXT context;
    context.animSource = "walk.smd";
    context.modelSource = "model.smd";
    context.refLines = &REST;
    FRAME_VIEW frame;
    frame.lines = &FRAME;
    frame.size = FRAME.size();
    frame.timeText = "time 3";
    frame.timeLineNumber = 10;
    std::string out;
    ComposeNodeLine(row, NODE_ROW{nodes, correction, scale}, frame, context, out);
    return out;
}
}  // namespace

TEST(NodeLine, WorkedExampleDrivenAndBlended) {
    EXPECT_EQ(Compose(4, 2, 0.5, 2.0),
              "  4 1.500000 -2.000000 10.000000 0.100000 0.200000 0.300000\r\n");
    EXPECT_EQ(Compose(4, 102, 0.25, 1.0),
              "  4 1.125000 -0.500000 9.500000 0.100000 0.200000 0.300000\r\n");
    EXPECT_EQ(Compose(4, 0, 0.5, 2.0),
              "  4 0.000000 4.000000 8.000000 0.400000 0.500000 0.600000\r\n");
}

TEST(NodeLine, EveryRowFormOfTheTable) {
    struct ROW_FORM {
        int row, nodes;
        const char* line;
    };
    const ROW_FORM FORMS[] = {
        // NODES 0: row 0 follows line 0, c*s*p; other rows keep the rest line.
        {0, 0, "  0 0.000000 0.000000 30.000000 0.000000 0.000000 0.000000\r\n"},
        {1, 0, "  1 0.500000 0.000000 0.000000 0.000000 0.000000 0.000000\r\n"},
        // 1 to 99: driven by that line.
        {0, 3, "  0 -3.000000 0.000000 0.000000 1.000000 2.000000 3.000000\r\n"},
        {2, 3, "  2 -3.000000 0.000000 0.000000 1.000000 2.000000 3.000000\r\n"},
        // 100: row 0 blends line 0 with its rest line; other rows keep the rest line.
        {0, 100, "  0 0.000000 0.000000 35.000000 0.000000 0.000000 0.000000\r\n"},
        {3, 100, "  3 0.000000 3.000000 0.000000 0.000000 0.000000 0.000000\r\n"},
        // 101 and above: blend of line v - 100 with the rest position.
        {2, 101, "  2 1.500000 2.500000 1.500000 0.010000 0.020000 0.030000\r\n"},
        // Below 0: line 0, no rest line, c*s*p.
        {3, -5, "  3 0.000000 0.000000 30.000000 0.000000 0.000000 0.000000\r\n"},
    };
    for (const ROW_FORM& form : FORMS) {
        // Correction 1 except for the blends, which take 0.5 (half the rest position).
        double correction = form.nodes >= 100 ? 0.5 : 1.0;
        EXPECT_EQ(Compose(form.row, form.nodes, correction, 3.0), form.line)
            << "row " << form.row << " NODES " << form.nodes;
    }
}

TEST(NodeLine, ZeroCorrectionKeepsTheSignOfTheScaledCoordinate) {
    EXPECT_EQ(Compose(2, 2, 0.0, 1.0),
              "  2 0.000000 -0.000000 0.000000 0.100000 0.200000 0.300000\r\n");
}

TEST(NodeLine, PrefixRightAlignsTheRowInThreeColumns) {
    std::vector<FRAME_LINE> frame(12, FRAME[1]);
    std::vector<FRAME_LINE> rest(12, REST[1]);
    COMPOSE_CONTEXT context;
    context.refLines = &rest;
    FRAME_VIEW view{&frame, frame.size(), "time 0", 1};
    std::string nine, ten;
    ComposeNodeLine(9, NODE_ROW{1, 1.0, 1.0}, view, context, nine);
    ComposeNodeLine(10, NODE_ROW{1, 1.0, 1.0}, view, context, ten);
    EXPECT_EQ(nine.substr(0, 4), "  9 ");
    EXPECT_EQ(ten.substr(0, 4), " 10 ");
}

TEST(NodeLine, RotationKeepsTheSourceDigitsWhateverTheSpacing) {
    std::vector<FRAME_LINE> frame = {{"0   1.5   2\t3 0.1234567890123 -0.0 1e-3  ", 7}};
    COMPOSE_CONTEXT context;
    context.refLines = &REST;
    FRAME_VIEW view{&frame, 1, "time 0", 6};
    std::string out;
    ComposeNodeLine(0, NODE_ROW{0, 1.0, 2.0}, view, context, out);
    EXPECT_EQ(out, "  0 3.000000 4.000000 6.000000 0.1234567890123 -0.0 1e-3\r\n");
}

TEST(NodeLine, SourceLinePastTheFrameIsRefusedWithFrameAndRow) {
    try {
        Compose(4, 12, 1.0, 1.0);
        FAIL() << "accepted";
    } catch (const CVarnexError& e) {
        EXPECT_EQ(ErrorText(e),
                  "walk.smd:10: frame « time 3 » : la ligne 4 de la grille (NODES 12) désigne la "
                  "ligne de squelette 12, mais cette frame n'en a que 5");
    }
}

TEST(NodeLine, NonFinitePositionIsRefusedWithItsLine) {
    std::vector<FRAME_LINE> frame = {{"  0 1e308 0 0 0 0 0", 21}};
    COMPOSE_CONTEXT context;
    context.animSource = "walk.smd";
    context.refLines = &REST;
    FRAME_VIEW view{&frame, 1, "time 0", 20};
    std::string out;
    try {
        ComposeNodeLine(0, NODE_ROW{0, 1.0, 10.0}, view, context, out);
        FAIL() << "accepted";
    } catch (const CVarnexError& e) {
        EXPECT_EQ(e.File(), "walk.smd");
        EXPECT_EQ(e.Line(), 21);
    }
}

}  // namespace varnex
