// Files that fail under the commands: an output that cannot be written, an input gone between two
// commands, a full disk, an output that names an input. Each must be told, naming the file,
// leave neither a half file nor a temporary one, and keep every input as it was.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "app/error_text.h"
#include "dialog_fixture.h"
#include "stress_support.h"

namespace fs = std::filesystem;

namespace varnex {
namespace {

// The three samples copied into a fresh folder, loaded in order by the dialog.
class FileFaultTest : public CDialogFixture {
  protected:
    void SetUp() override {
        CDialogFixture::SetUp();
        CopySamples();
        for (const std::string& name : THREE_SAMPLES) before.push_back(ReadFile(dir.Path(name)));
    }

    void Build(const std::string& output) {
        ui.Answer(output);
        dlg.OnBuildSmd();
    }

    void ExpectSamplesIntact() {
        for (std::size_t i = 0; i < THREE_SAMPLES.size(); ++i) {
            EXPECT_EQ(ReadFile(dir.Path(THREE_SAMPLES[i])), before[i]) << THREE_SAMPLES[i] << " changed";
        }
        EXPECT_EQ(TemporaryFilesIn(dir.Root().string()), std::vector<std::string>{});
    }

    std::vector<std::string> before;
};

const std::string EXPECTED_WALK = ExpectedPath("knight_runner_walk.smd");
}  // namespace

TEST_F(FileFaultTest, OutputsThatCannotBeCreatedAreToldAndNothingWritten) {
    LoadAll();
    Build(dir.Path("runner_walk.smd/out.smd"));
    EXPECT_EQ(Refusal(), dir.Path("runner_walk.smd/out.smd") +
                             ": impossible de créer le fichier : " + SystemReason(ENOTDIR));
    Run(&CVarnexDlg::OnSaveCon, "gone/grid.con");
    EXPECT_EQ(Refusal(), dir.Path("gone/grid.con") +
                             ": impossible de créer le fichier : fichier ou dossier introuvable");
    EXPECT_EQ(ListFolder(dir.Root()), THREE_SAMPLES);
    ExpectSamplesIntact();
}

TEST_F(FileFaultTest, ReadOnlyFolderIsToldAndItsOldOutputKept) {
    fs::create_directory(dir.Path("ro"));
    WriteFile(dir.Path("ro/knight_runner_walk.smd"), "previous build\r\n");
    for (const std::string& name : THREE_SAMPLES) fs::copy_file(dir.Path(name), dir.Path("ro/" + name));
    PROCESS_SETUP setup;
    setup.workDir = dir.Root().string();
    const std::string ro = dir.Path("ro");
    // Root writes through file modes: only a read-only mount stops it.
    setup.prepare = [&ro]() {
        return EnterPrivateMountNamespace() &&
               mount(ro.c_str(), ro.c_str(), nullptr, MS_BIND, nullptr) == 0 &&
               mount(nullptr, ro.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
    };
    PROCESS_RESULT run =
        RunVarnexCli({"build", "--model", "ro/knight_ref.smd", "--ref-anim", "ro/runner_ref.smd",
                      "--out-dir", "ro", "ro/runner_walk.smd"},
                     setup);
    if (run.exitStatus == CHILD_SETUP_FAILED) GTEST_SKIP() << "no read-only bind mount here";
    EXPECT_EQ(run.err,
              "varnex-cli: ro/knight_runner_walk.smd: impossible de créer le fichier : système "
              "de fichiers en lecture seule\n");
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(ReadFile(dir.Path("ro/knight_runner_walk.smd")), "previous build\r\n");
    EXPECT_EQ(ListFolder(dir.Path("ro")),
              (std::vector<std::string>{"knight_ref.smd", "knight_runner_walk.smd",
                                        "runner_ref.smd", "runner_walk.smd"}));
}

TEST_F(FileFaultTest, ReferencesAreReadOnceSoLaterChangesToThemDoNotMatter) {
    LoadAll();
    fs::rename(dir.Path("knight_ref.smd"), dir.Path("aside.smd"));
    WriteFile(dir.Path("runner_ref.smd"), "not an SMD any more");
    Build(dir.Path("out.smd"));
    EXPECT_EQ(ui.messages, std::vector<std::string>{});
    EXPECT_EQ(ReadFile(dir.Path("out.smd")), ReadFile(EXPECTED_WALK));
}

TEST_F(FileFaultTest, FileSizeLimitMidBuildIsToldAndThePreviousOutputKept) {
    // 1,000 frames make about 290 kB, written in several pieces: the limit falls in the middle.
    WriteLongAnimation(dir.Path("model.smd"), 1);
    WriteLongAnimation(dir.Path("long.smd"), 1000);
    WriteFile(dir.Path("out.smd"), "previous build\r\n");
    std::string anim = ReadFile(dir.Path("long.smd"));
    PROCESS_SETUP setup;
    setup.workDir = dir.Root().string();
    setup.fileSizeLimit = 100 * 1024;
    PROCESS_RESULT run = RunVarnexCli(
        {"build", "--model", "model.smd", "--ref-anim", "model.smd", "-o", "out.smd", "long.smd"},
        setup);
    EXPECT_EQ(run.err, "varnex-cli: out.smd: erreur d'écriture : fichier trop volumineux\n");
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(ReadFile(dir.Path("out.smd")), "previous build\r\n");
    EXPECT_EQ(ReadFile(dir.Path("long.smd")), anim);
    ExpectSamplesIntact();
}

TEST_F(FileFaultTest, FullDiskIsToldAndLeavesTheDiskAsItWas) {
    LoadAll();
    const std::string full = dir.Path("full");
    fs::create_directory(full);
    PROCESS_SETUP setup;
    setup.prepare = [&full]() {
        return EnterPrivateMountNamespace() &&
               mount("tmpfs", full.c_str(), "tmpfs", 0, "size=16k") == 0;
    };
    // The mount lives only in the child: the child builds, then reports what the disk holds.
    PROCESS_RESULT run = RunInChild(
        [&]() {
            WriteFile(full + "/old.smd", "previous build\r\n");
            Build(full + "/out.smd");
            std::string report;
            for (const std::string& message : ui.messages) report += message + "\n";
            for (const std::string& name : ListFolder(full)) report += "[" + name + "]";
            return report + "[" + ReadFile(full + "/old.smd") + "]";
        },
        setup);
    if (run.exitStatus == CHILD_SETUP_FAILED) GTEST_SKIP() << "no tmpfs mount here";
    EXPECT_EQ(run.out, full +
                           "/out.smd: erreur d'écriture : disque plein\n"
                           "[old.smd][previous build\r\n]");
    EXPECT_EQ(run.exitStatus, 0);
    ExpectSamplesIntact();
}

TEST_F(FileFaultTest, OutputNamingAnInputUnderAnotherSpellingIsRefused) {
    LoadAll();
    fs::create_directory(dir.Path("sub"));
    fs::create_symlink(dir.Path("runner_ref.smd"), dir.Path("link.smd"));
    fs::create_hard_link(dir.Path("knight_ref.smd"), dir.Path("hard.smd"));
    const std::string tail =
        ": c'est un des fichiers d'entrée : choisissez un autre nom pour ne "
        "pas l'écraser";
    for (const std::string& output :
         {dir.Path("sub/../runner_walk.smd"), dir.Path("./knight_ref.smd"), dir.Path("link.smd"),
          dir.Path("hard.smd")}) {
        Build(output);
        EXPECT_EQ(Refusal(), output + tail);
        ui.Answer(output);
        dlg.OnSaveCon();
        EXPECT_EQ(Refusal(), output + tail);
    }
    EXPECT_EQ(ReadFile(dir.Path("hard.smd")), before[0]);
    EXPECT_EQ(ListFolder(dir.Root()),
              (std::vector<std::string>{"hard.smd", "knight_ref.smd", "link.smd", "runner_ref.smd",
                                        "runner_walk.smd", "sub"}));
    ExpectSamplesIntact();
}

TEST_F(FileFaultTest, ConvertedFileThatWouldReplaceTheModelIsRefused) {
    // The converted file of walk.smd is walkNew.smd: here that is the model.
    WriteFile(dir.Path("walkNew.smd"), before[0]);
    WriteFile(dir.Path("walk.smd"), before[2]);
    LoadAll("walkNew.smd", "runner_ref.smd", "walk.smd");
    dlg.OnConvertBiped();
    EXPECT_EQ(Refusal(), dir.Path("walkNew.smd") +
                             ": c'est un des fichiers de référence : renommez l'animation pour ne "
                             "pas l'écraser");
    EXPECT_EQ(ReadFile(dir.Path("walkNew.smd")), before[0]);
    EXPECT_EQ(dlg.AnimPath(), dir.Path("walk.smd"));
    ExpectSamplesIntact();
}

}  // namespace varnex
