// Where the preview goes, over screens from large to too small and main windows anywhere on them.
#include "gui/preview_placement.h"

#include <gtest/gtest.h>

namespace varnex {

TEST(PreviewPlacement, BesideAndClearOfTheMainWindowWheneverTheScreenHasRoom) {
    const wxSize wanted(620, 560), least(320, 380);
    for (wxRect screen : {wxRect(0, 0, 1920, 1080), wxRect(1920, 24, 1280, 1000),
                          wxRect(0, 0, 1024, 768), wxRect(0, 0, 800, 600)}) {
        for (wxSize mainSize : {wxSize(838, 600), wxSize(1066, 600), wxSize(500, 300)}) {
            for (int x = screen.x - 200; x < screen.GetRight() + 200; x += 97) {
                for (int y = screen.y - 100; y < screen.GetBottom() + 100; y += 89) {
                    wxRect main(wxPoint(x, y), mainSize);
                    PREVIEW_PLACE place = PlacePreview(screen, main, wanted, least);
                    wxRect moved(place.main, mainSize);
                    std::string where = "screen " + std::to_string(screen.width) + "x" +
                                        std::to_string(screen.height) + ", main " +
                                        std::to_string(mainSize.x) + "x" +
                                        std::to_string(mainSize.y) + " at " + std::to_string(x) +
                                        "," + std::to_string(y);
                    ASSERT_TRUE(screen.Contains(place.preview)) << where;
                    EXPECT_GE(place.preview.width, std::min(least.x, screen.width)) << where;
                    EXPECT_GE(place.preview.height, std::min(least.y, screen.height)) << where;
                    bool room = mainSize.x + least.x < screen.width ||
                                mainSize.y + least.y < screen.height;
                    if (room) {
                        EXPECT_TRUE(screen.Contains(moved)) << where;
                        EXPECT_FALSE(moved.Intersects(place.preview)) << where;
                    }
                    wxRect onTheRight(main.GetRight() + 9, y, wanted.x, wanted.y);
                    if (screen.Contains(main) && screen.Contains(onTheRight)) {
                        EXPECT_EQ(place.main, main.GetPosition()) << where << ": moved for nothing";
                        EXPECT_EQ(place.preview.GetSize(), wanted) << where;
                    }
                }
            }
        }
    }
}

}  // namespace varnex
