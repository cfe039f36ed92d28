#include <gtest/gtest.h>

#include <array>

#include "qc/qc_paths.h"

namespace varnex {

TEST(QcPaths, SequenceFilesAndRelativePathsAsTheCompilerBuildsThem) {
    // {$cd folder, name written, file named}
    const std::vector<std::array<std::string, 3>> CASES = {
        {"models", "walk", "models/walk.smd"},
        {"models", "hd\\Run.SMD", "models/hd/Run.SMD"},
        {"models", ".\\anims\\idle", "models/anims/idle.smd"},
        {".", "walk.smd.bak", "walk.smd.bak.smd"},
        {"models", "C:\\mdl\\walk", "C:/mdl/walk.smd"},
        {"models", "/abs/walk", "/abs/walk.smd"},
        {"/", "walk", "/walk.smd"},
    };
    for (const auto& [cd, name, path] : CASES) EXPECT_EQ(SmdPathOf(cd, name), path) << name;
    EXPECT_EQ(JoinQcPath("models", "."), "models");
    EXPECT_EQ(QcFolderOf("walk.qc"), ".");
    EXPECT_EQ(QcFolderOf("C:\\mod\\walk.qc"), "C:/mod");
    EXPECT_EQ(QcFolderOf("/walk.qc"), "/");
}

TEST(QcPaths, ANameNotFoundIsMatchedIgnoringCaseWhenOneFileMatches) {
    EXPECT_EQ(MatchNameIgnoringCase({"Walk.smd", "walk.SMD", "walk.smd"}, "walk.smd"), "walk.smd");
    EXPECT_EQ(MatchNameIgnoringCase({"Walk.smd", "run.smd"}, "WALK.smd"), "Walk.smd");
    EXPECT_EQ(MatchNameIgnoringCase({"Walk.smd", "walk.SMD"}, "WALK.smd"), std::nullopt);
    EXPECT_EQ(MatchNameIgnoringCase({"run.smd"}, "walk.smd"), std::nullopt);

    CMemoryQcFiles files;
    files.Add("set/Anims/HD/walk.smd", "");
    files.Add("set/Anims/HD/Walk2.smd", "");
    files.Add("set/anims/other.smd", "");
    EXPECT_EQ(LocateQcPath(files, "set/Anims/hd/WALK.smd"), "set/Anims/HD/walk.smd");
    EXPECT_EQ(LocateQcPath(files, "set/anims/other.smd"), "set/anims/other.smd");
    // "ANIMS" matches two folders: no guess.
    EXPECT_EQ(LocateQcPath(files, "set/ANIMS/HD/walk.smd"), std::nullopt);
    EXPECT_EQ(LocateQcPath(files, "set/Anims/HD/run.smd"), std::nullopt);
    EXPECT_EQ(LocateSmd(files, "set/Anims", "hd\\WALK"), "set/Anims/HD/walk.smd");
    files.Add("set/Anims/folder.smd/x", "");
    EXPECT_EQ(LocateSmd(files, "set/Anims", "folder"), std::nullopt);
}

}  // namespace varnex
