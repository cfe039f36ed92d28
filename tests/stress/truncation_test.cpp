// Every truncated prefix of a valid file either builds or is refused with a message naming it,
// never crashes (the sanitizer build runs these too), never leaves a file behind. What a prefix
// builds is the start of what the whole file builds.
#include <gtest/gtest.h>

#include <filesystem>

#include "dialog_fixture.h"
#include "stress_support.h"

namespace fs = std::filesystem;

namespace varnex {
namespace {
// All prefixes of the first HEAD_BYTES bytes, then one in every STRIDE bytes, then the whole file.
constexpr std::size_t HEAD_BYTES = 3072;
constexpr std::size_t STRIDE = 53;

std::vector<std::size_t> PrefixLengths(std::size_t size) {
    std::vector<std::size_t> lengths;
    for (std::size_t n = 0; n <= size; n += n < HEAD_BYTES ? 1 : STRIDE) lengths.push_back(n);
    if (lengths.back() != size) lengths.push_back(size);
    return lengths;
}

// The text before the last "time" line: the frames a prefix holds whole.
std::string BeforeLastFrame(const std::string& output) {
    std::size_t last = output.rfind("\r\ntime ");
    return last == std::string::npos ? output : output.substr(0, last);
}

struct PREFIX_TALLY {
    int built = 0;
    int refused = 0;
};

// Checks one command's answer: ran through without a word, or refused with one message that
// starts with the path of the file under test.
bool RanThrough(CTestPlatform& ui, const CVarnexDlg& dlg, const std::string& file,
                std::size_t length) {
    bool done = dlg.LastResult() == CVarnexDlg::COMMAND_RESULT::DONE;
    EXPECT_EQ(ui.messages.size(), done ? 0u : 1u) << "prefix of " << length << " bytes";
    for (const std::string& message : ui.messages) {
        EXPECT_EQ(message.rfind(file + ":", 0), 0u) << "prefix of " << length << ": " << message;
    }
    ui.messages.clear();
    return done;
}

class TruncationTest : public CDialogFixture {
  protected:
    void SetUp() override {
        CDialogFixture::SetUp();
        CopySamples();
    }
};
}  // namespace

TEST_F(TruncationTest, EveryPrefixOfTheWalkBuildsItsWholeFramesOrIsRefused) {
    const std::string walk = ReadFile(SamplePath("runner_walk.smd"));
    const std::string expected = ReadFile(ExpectedPath("knight_runner_walk.smd"));
    const std::string anim = dir.Path("walk.smd");
    const std::string out = dir.Path("out.smd");
    Run(&CVarnexDlg::OnLoadRefModel, "knight_ref.smd");
    Run(&CVarnexDlg::OnLoadRefAnim, "runner_ref.smd");
    ASSERT_EQ(ui.messages, std::vector<std::string>{});

    PREFIX_TALLY tally;
    for (std::size_t length : PrefixLengths(walk.size())) {
        WriteFile(anim, walk.substr(0, length));
        ui.Answer(anim);
        dlg.OnLoadAnim();
        if (!RanThrough(ui, dlg, anim, length)) {
            ++tally.refused;
            continue;
        }
        ui.Answer(out);
        dlg.OnBuildSmd();
        if (RanThrough(ui, dlg, anim, length)) {
            ++tally.built;
            std::string built = ReadFile(out);
            std::string whole = BeforeLastFrame(built);
            ASSERT_EQ(whole, expected.substr(0, whole.size()))
                << "prefix of " << length << " bytes";
            fs::remove(out);
        } else {
            ++tally.refused;
            ASSERT_FALSE(fs::exists(out)) << "prefix of " << length << " bytes";
        }
        ASSERT_EQ(TemporaryFilesIn(dir.Root().string()), std::vector<std::string>{});
    }
    EXPECT_EQ(ReadFile(dir.Path("knight_ref.smd")), ReadFile(SamplePath("knight_ref.smd")));
    // The file without its head is refused; with its first frames it builds.
    EXPECT_GT(tally.built, 0);
    EXPECT_GT(tally.refused, 0);
}

TEST_F(TruncationTest, EveryPrefixOfTheModelLoadsPairsAndBuildsOrIsRefused) {
    const std::string knight = ReadFile(SamplePath("knight_ref.smd"));
    const std::string model = dir.Path("model.smd");
    const std::string out = dir.Path("out.smd");
    // The one-frame reference is the animation: the build then reads the model's header and
    // rest lines, which is what a truncated model can break.
    const std::string anim = dir.Path("runner_ref.smd");

    PREFIX_TALLY tally;
    for (std::size_t length = 0; length <= knight.size(); ++length) {
        WriteFile(model, knight.substr(0, length));
        CTestPlatform prefixUi;
        CVarnexDlg prefixDlg(prefixUi);
        prefixDlg.OnInitDialog();
        auto ranThrough = [&]() { return RanThrough(prefixUi, prefixDlg, model, length); };
        prefixUi.Answer(model);
        prefixDlg.OnLoadRefModel();
        bool built = false;
        if (ranThrough()) {
            prefixUi.Answer(dir.Path("runner_ref.smd"));
            prefixDlg.OnLoadRefAnim();
            if (ranThrough()) {
                prefixUi.Answer(anim);
                prefixDlg.OnLoadAnim();
                ASSERT_TRUE(ranThrough());
                prefixUi.Answer(out);
                prefixDlg.OnBuildSmd();
                built = ranThrough();
            }
        }
        ASSERT_EQ(fs::exists(out), built) << "prefix of " << length << " bytes";
        if (built) {
            std::string header = ReadFile(out);
            header = header.substr(0, header.find("skeleton\r\n"));
            ASSERT_EQ(header, knight.substr(0, header.size())) << "prefix of " << length;
            fs::remove(out);
        }
        ++(built ? tally.built : tally.refused);
        ASSERT_EQ(TemporaryFilesIn(dir.Root().string()), std::vector<std::string>{});
    }
    EXPECT_GT(tally.built, 0);
    EXPECT_GT(tally.refused, 0);
}

}  // namespace varnex
