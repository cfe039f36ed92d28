#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>

#include "smd_input/number_text.h"
#include "smd_input/smd_reader.h"
#include "test_support.h"

namespace varnex {
namespace {
std::vector<std::string> AllLines(const std::string& text) {
    CMemorySource source(text, "mem.smd");
    CLineReader reader(source);
    std::vector<std::string> lines;
    std::string_view line;
    while (reader.Next(line)) lines.emplace_back(line);
    return lines;
}

SMD_HEAD Head(const std::string& text) {
    CMemorySource source(text, "mem.smd");
    return ReadSmdHead(source, true);
}

const char* const THREE_NODES =
    "version 1\r\nnodes\r\n  0 \"Bip01\" -1\r\n  1 \"Bip01 Legend\"   0\r\n"
    "  2 \"Bip01 Spine\"   1\r\nend\r\nskeleton\r\ntime 0\r\n"
    "  0 0.000000 0.000000 1.000000 0.000000 0.000000 0.000000\r\n"
    "  1 0.000000 2.000000 0.000000 0.000000 0.000000 0.000000\r\n"
    "  2 3.000000 0.000000 0.000000 0.000000 0.000000 0.000000\r\nend\r\n";
}  // namespace

TEST(LineReading, LinesOfAnyLengthAcrossBufferRefills) {
    EXPECT_EQ(AllLines("a\r\nb\nc\rd\r\n\r\n"), (std::vector<std::string>{"a", "b", "c", "d", ""}));
    std::string longLine(200000, 'x');
    EXPECT_EQ(AllLines("first\r\n" + longLine + "\r\nlast"),
              (std::vector<std::string>{"first", longLine, "last"}));
    // The reader takes 65,536 bytes at a time: this CR is the last byte of the first read, and
    // its LF the first of the next. Taken for a lone CR, it would give an empty line.
    std::string split(65535, 'y');
    EXPECT_EQ(AllLines(split + "\r\nafter\r\n"), (std::vector<std::string>{split, "after"}));
}

TEST(SmdReading, KeywordsCountOnlyAsTheLineOwnWord) {
    // "Bip01 Legend" holds "end": it must not close the node list.
    SMD_HEAD head = Head(THREE_NODES);
    ASSERT_EQ(head.nodes.size(), 3u);
    EXPECT_EQ(head.nodes[1].name, "Bip01 Legend");
    EXPECT_EQ(head.nodes[2].parent, 1);
    EXPECT_EQ(head.skeletonEnd, static_cast<long long>(std::string(THREE_NODES).find("time 0")));
    EXPECT_EQ(head.rest.lines.size(), 3u);
    EXPECT_EQ(head.frame0Offset, head.skeletonEnd + 8);
    // Blank lines, and blanks around the keywords.
    head = Head("version 1\n\nnodes \n\n  0 \"root\" -1\n\n  1 \"a\" 0\n  end\nskeleton\t\n\n"
                "   time 0\n\n  0 1 2 3 4 5 6\n\n  1 1 2 3 4 5 6\nend\n");
    EXPECT_EQ(head.nodes.size(), 2u);
    EXPECT_EQ(head.rest.lines.size(), 2u);
    EXPECT_EQ(head.headerLines.size(), 9u);
    CMemorySource empty("version 1\r\nnodes\r\nend\r\nskeleton\r\ntime 0\r\nend\r\n", "ref.smd");
    EXPECT_TRUE(ReadReferenceAnimation(empty).nodes.empty()) << "a reference may list no node";
}

TEST(SmdReading, UsualFrameLinesReadAsTheGeneralRouteReadsThem) {
    const char* const LINES[] = {
        "  0 0.000000 -0.280667 3.547032 -1.398167 0.248250 -0.180804",
        " 12 1234567.1234567 -9.5 0.0000001 1.5 -2.25 0.125 extra fields",
        "1 1.5\t2.5 3.5 4.5 5.5 6.5",
        "  1 1.5 2.5 3.5 4.5\t5.5 6.5",    // a tab inside the rotation: general route
        "  1 1.5 2.5 3.5 4.5  5.5 6.5",    // two spaces inside the rotation
        "  1 1e3 2.5 3.5 4.5 5.5 6.5",
        "  1 12345678.5 2.5 3.5 4.5 5.5 6.5",
        "  1 1.12345678 2.5 3.5 4.5 5.5 6.5",
        "  1 1.5 2.5 3.5 4.5 5.5",
        "  1 1.5 2.5 3.5 4.5 5.5 6.5x",
        "  1 +1.5 .5 5. -0 4.5 5.5 6.5",
        "  1 1.5 2.5 3.5 4.5 5.5 -",
        "  1 -0.000000 2.5 3.5 4.5 5.5 6.5",
        "  1 1234567.1234567 -1234567.1234567 7654321.7654321 -0.5 0.25 -0.125",  // over 64 bytes
    };
    int usual = 0;
    for (const char* text : LINES) {
        // Past its end a line is followed by readable bytes, here digits that must not count.
        std::string padded = std::string(text) + std::string(READABLE_PAST_LINE, '7');
        std::string_view line(padded.data(), std::strlen(text));
        USUAL_FRAME_LINE fast;
        double rotation[3];
        if (!ReadUsualFrameLine(line, fast, rotation)) continue;
        ++usual;
        FRAME_FIELDS f = ParseFrameFields(line, "walk.smd", 1);
        EXPECT_EQ(fast.x, TextToDouble(f.x)) << text;
        EXPECT_EQ(std::signbit(fast.x), std::signbit(TextToDouble(f.x))) << text;
        EXPECT_EQ(fast.y, TextToDouble(f.y)) << text;
        EXPECT_EQ(fast.z, TextToDouble(f.z)) << text;
        EXPECT_EQ(rotation[0], TextToDouble(f.rx)) << text;
        EXPECT_EQ(rotation[1], TextToDouble(f.ry)) << text;
        EXPECT_EQ(rotation[2], TextToDouble(f.rz)) << text;
        for (std::string_view field : {f.rx, f.ry, f.rz}) EXPECT_TRUE(IsDecimalNumber(field)) << text;
        EXPECT_EQ(fast.rotation, std::string(f.rx) + " " + std::string(f.ry) + " " + std::string(f.rz))
            << text;
    }
    EXPECT_EQ(usual, 5);  // the first three and the last two: the others take the general route

    // Lines made of the bytes that matter, and usual lines with one byte changed: the 64-byte
    // masks decide as the bytewise route does, to the last bit of every value.
    CTestRandom random(0x9E3779B97F4A7C15ull);
    auto next = [&random](std::uint64_t n) { return random.Below(n); };
    const std::string BYTES = "0123456789.- \t\v\f+x";
    for (int i = 0; i < 200000; ++i) {
        std::string text = LINES[next(3) == 0 ? 1 : 0];
        if (i % 2 == 0) {
            text[next(text.size())] = BYTES[next(BYTES.size())];
        } else if (i % 4 == 1) {  // fields of 1 to 8 digits on each side of the point
            text = " " + std::to_string(next(100));
            for (int field = 0; field < 6; ++field) {
                text += next(2) == 0 ? " -" : " ";
                for (std::uint64_t n = next(8) + 1; n > 0; --n) text += BYTES[next(10)];
                text += '.';
                for (std::uint64_t n = next(8) + 1; n > 0; --n) text += BYTES[next(10)];
            }
        } else {
            text.clear();
            for (std::size_t n = next(70); n > 0; --n) {
                text += next(4) == 0 ? ' ' : BYTES[next(12)];
            }
        }
        std::string padded = text + std::string(READABLE_PAST_LINE, '7');
        std::string_view line(padded.data(), text.size());
        USUAL_FRAME_LINE wide, bytewise;
        double rotation[3];
        int decided = ReadUsualFrameLineWide(line, wide, rotation);
        if (decided < 0) continue;
        ASSERT_EQ(decided == 1, ReadUsualFrameLineBytewise(line, bytewise)) << text;
        if (decided == 0) continue;
        for (auto [a, b] : {std::pair{wide.x, bytewise.x}, {wide.y, bytewise.y}, {wide.z, bytewise.z}}) {
            ASSERT_EQ(std::bit_cast<std::uint64_t>(a), std::bit_cast<std::uint64_t>(b)) << text;
        }
        ASSERT_EQ(wide.rotation, bytewise.rotation) << text;
        ASSERT_EQ(wide.node, bytewise.node) << text;
        FRAME_FIELDS f = ParseFrameFields(line, "walk.smd", 1);
        for (auto [a, b] : {std::pair{rotation[0], f.rx}, {rotation[1], f.ry}, {rotation[2], f.rz}}) {
            ASSERT_EQ(std::bit_cast<std::uint64_t>(a), std::bit_cast<std::uint64_t>(TextToDouble(b)))
                << text;
        }
    }
}

}  // namespace varnex
