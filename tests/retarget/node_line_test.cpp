#include <gtest/gtest.h>

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
const REST_POSE REST_POSE_READ = ReadRestPose(REST);

std::string Compose(int row, int nodes, double correction, double scale) {
    COMPOSE_CONTEXT context;
    context.animSource = "walk.smd";
    context.modelSource = "model.smd";
    context.rest = &REST_POSE_READ;
    FRAME_VIEW frame;
    frame.lines = &FRAME;
    frame.size = FRAME.size();
    frame.timeText = "time 3";
    frame.timeLineNumber = 10;
    std::string out;
    ComposeNodeLine(row, RETARGET_ROW{nodes, correction, scale}, frame, context, out);
    return out;
}
}  // namespace

// Each NODES form, on a row 0 and on another row; the row's Correction and bone scale.
TEST(NodeLine, EveryRowFormOfTheTable) {
    struct ROW_FORM {
        int row, nodes;
        double correction, scale;
        const char* line;
    };
    const ROW_FORM FORMS[] = {
        // 1 to 99: driven by that line, c*s*p.
        {4, 2, 0.5, 2.0, "  4 1.500000 -2.000000 10.000000 0.100000 0.200000 0.300000\r\n"},
        {0, 3, 1.0, 3.0, "  0 -3.000000 0.000000 0.000000 1.000000 2.000000 3.000000\r\n"},
        // A Correction of 0 multiplies last: a negative coordinate keeps its sign.
        {2, 2, 0.0, 1.0, "  2 0.000000 -0.000000 0.000000 0.100000 0.200000 0.300000\r\n"},
        // NODES 0: row 0 follows line 0; other rows keep the rest line.
        {0, 0, 1.0, 3.0, "  0 0.000000 0.000000 30.000000 0.000000 0.000000 0.000000\r\n"},
        {4, 0, 0.5, 2.0, "  4 0.000000 4.000000 8.000000 0.400000 0.500000 0.600000\r\n"},
        // 100: row 0 blends line 0 with its rest line; other rows keep the rest line.
        {0, 100, 0.5, 3.0, "  0 0.000000 0.000000 35.000000 0.000000 0.000000 0.000000\r\n"},
        {3, 100, 0.5, 3.0, "  3 0.000000 3.000000 0.000000 0.000000 0.000000 0.000000\r\n"},
        // 101 and above: blend of line v - 100 with the rest position.
        {2, 101, 0.5, 3.0, "  2 1.500000 2.500000 1.500000 0.010000 0.020000 0.030000\r\n"},
        {4, 102, 0.25, 1.0, "  4 1.125000 -0.500000 9.500000 0.100000 0.200000 0.300000\r\n"},
        // Below 0: line 0, no rest line, c*s*p.
        {3, -5, 1.0, 3.0, "  3 0.000000 0.000000 30.000000 0.000000 0.000000 0.000000\r\n"},
    };
    for (const ROW_FORM& f : FORMS) {
        EXPECT_EQ(Compose(f.row, f.nodes, f.correction, f.scale), f.line)
            << "row " << f.row << " NODES " << f.nodes;
    }
}

TEST(NodeLine, NonFinitePositionIsRefusedWithItsLine) {
    std::vector<FRAME_LINE> frame = {{"  0 1e308 0 0 0 0 0", 21}};
    COMPOSE_CONTEXT context;
    context.animSource = "walk.smd";
    context.rest = &REST_POSE_READ;
    FRAME_VIEW view{&frame, 1, "time 0", 20};
    std::string out;
    try {
        ComposeNodeLine(0, RETARGET_ROW{0, 1.0, 10.0}, view, context, out);
        ADD_FAILURE() << "accepted";
    } catch (const CVarnexError& e) {
        EXPECT_EQ(e.File() + ":" + std::to_string(e.Line()), "walk.smd:21");
    }
}

}  // namespace varnex
