#include "platform/help_page.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "test_support.h"

namespace varnex {

namespace fs = std::filesystem;


// An installed layout:  root/here (the current folder), root/usr/bin/varnex (the program),
// root/usr/share/varnex (the share folder). Each folder that receives the page wins over those
// after it; a folder of that name is not a page.
TEST(HelpPageLookup, CurrentFolderThenProgramFolderThenShareFolder) {
    CTempDir root;
    fs::path here = root.Root() / "here";
    fs::path bin = root.Root() / "usr" / "bin";
    fs::path share = root.Root() / "usr" / "share" / "varnex";
    fs::create_directories(here);
    fs::create_directories(bin);
    fs::create_directories(share);
    CCurrentFolder working(here);
    std::string program = (bin / "varnex").string();

    EXPECT_EQ(FindHelpPage("converter.htm", program), "");
    fs::create_directory(here / "converter.htm");
    EXPECT_EQ(FindHelpPage("converter.htm", program), "");
    WriteFile((share / "converter.htm").string(), "<html></html>");
    EXPECT_EQ(FindHelpPage("converter.htm", program), (share / "converter.htm").string());
    WriteFile((bin / "converter.htm").string(), "<html></html>");
    EXPECT_EQ(FindHelpPage("converter.htm", program), (bin / "converter.htm").string());
    fs::remove(here / "converter.htm");
    WriteFile((here / "converter.htm").string(), "<html></html>");
    EXPECT_EQ(FindHelpPage("converter.htm", program),
              (fs::current_path() / "converter.htm").string());
    // Without a program path only the current folder is searched.
    fs::remove(here / "converter.htm");
    EXPECT_EQ(FindHelpPage("converter.htm", ""), "");
}

TEST(HelpPageLookup, RunningProgramIsThisTestProgram) {
    fs::path program = RunningProgramPath();
    EXPECT_TRUE(program.is_absolute());
    EXPECT_EQ(program.filename(), "varnex_tests");
}

}  // namespace varnex
