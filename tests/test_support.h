// Shared helpers of the tests: a scripted dialog platform, temporary folders, SMD text builders.
#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <optional>
#include <functional>
#include <string>
#include <vector>

#include "platform/dialog_platform.h"

namespace varnex {

// Pseudo-random numbers from a fixed seed (xorshift64): a failing case comes back on every run.
class CTestRandom {
public:
    explicit CTestRandom(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t Next() {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 7;
        m_state ^= m_state << 17;
        return m_state;
    }
    // From 0 to n - 1.
    std::uint64_t Below(std::uint64_t n) { return Next() % n; }

private:
    std::uint64_t m_state;
};

// The screen is two arrays; file and folder dialogs take their answers from one queue, in the
// order they are asked (none left: cancelled); every message, dialog, progress step and list
// shown is recorded.
class CTestPlatform : public CDialogPlatform {
public:
    void Answer(const std::string& path) { m_answers.push_back(path); }
    void Cancel() { m_answers.push_back(CANCEL); }

    void TakeGrid(GRID_TEXTS& nodeText, GRID_TEXTS& correctionText) override;
    void ShowGrid(const GRID_TEXTS& nodeText, const GRID_TEXTS& correctionText) override;
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void ShowStatus(const std::string& text) override { statuses.push_back(text); }
    // Questions are answered from yesNo (none left: yes) and recorded.
    bool AskYesNo(const std::string& text) override {
        questions.push_back(text);
        if (yesNo.empty()) return true;
        bool answer = yesNo.front();
        yesNo.pop_front();
        return answer;
    }
    std::optional<std::string> ChooseFile(const FILE_DIALOG& request) override;
    std::optional<std::string> ChooseFolder(const std::string& title) override;
    // The user stops at the progress step numbered cancelAtStep (from 1; 0: never).
    bool ShowProgress(const std::string& title, const std::string& text, int done,
                      int count) override;
    void EndProgress() override { ++endProgressCalls; }
    void ShowList(const std::string& title, const std::vector<std::string>& lines) override {
        lists.push_back(title);
        lists.insert(lists.end(), lines.begin(), lines.end());
    }
    void EndDialog() override { ++endDialogCalls; }
    bool OpenHelpPage(const std::string& path) override {
        helpPages.push_back(path);
        return true;
    }

    GRID_TEXTS screenNodes = GRID_TEXTS(60);
    GRID_TEXTS screenCorrections = GRID_TEXTS(60);
    int takeGridCalls = 0;
    int showGridCalls = 0;
    int endDialogCalls = 0;
    std::vector<std::string> messages;
    std::vector<std::string> statuses;
    std::vector<std::string> questions;
    std::deque<bool> yesNo;
    std::vector<FILE_DIALOG> dialogs;
    std::vector<std::string> folderTitles;
    std::vector<std::string> progress;  // "title: text (done/count)"
    int cancelAtStep = 0;
    int endProgressCalls = 0;
    std::vector<std::string> lists;  // each list's title, then its lines
    std::vector<std::string> helpPages;

private:
    std::optional<std::string> NextAnswer();

    static constexpr const char* CANCEL = "<cancelled>";
    std::deque<std::string> m_answers;
};

// A fresh folder under the system's temporary folder, removed with the object.
class CTempDir {
public:
    CTempDir();
    ~CTempDir();
    std::string Path(const std::string& name) const { return (m_path / name).string(); }
    const std::filesystem::path& Root() const { return m_path; }

private:
    std::filesystem::path m_path;
};

void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);
// Names of the files in a folder, sorted.
std::vector<std::string> ListFolder(const std::filesystem::path& folder);

// The folder of the project's samples and of the checked-in expected outputs.
std::string SamplePath(const std::string& name);
// The three samples a retarget needs: the model, the reference animation and the walk.
inline const std::vector<std::string> THREE_SAMPLES = {"knight_ref.smd", "runner_ref.smd",
                                                        "runner_walk.smd"};
// Copies them into folder.
void CopySamples(const std::filesystem::path& folder);

// The current folder moved for the life of the object.
class CCurrentFolder {
public:
    explicit CCurrentFolder(const std::filesystem::path& folder)
        : m_previous(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~CCurrentFolder() { std::filesystem::current_path(m_previous); }
    CCurrentFolder(const CCurrentFolder&) = delete;
    CCurrentFolder& operator=(const CCurrentFolder&) = delete;

private:
    std::filesystem::path m_previous;
};
std::string ExpectedPath(const std::string& name);

// SMD text in the well-formed layout, CR LF line ends.
struct TEST_NODE {
    std::string name;
    int parent;
    double x, y, z, rx, ry, rz;  // the first frame's line
};
std::string NodeLine(int number, const std::string& name, int parent);
// A CR LF SMD text with its node list and frame lines renumbered (old number to new, parents
// too), the list in the order of the new numbers, each frame's lines reversed when asked, extraNode added to the list and extraLine to each
// frame.
std::string Renumbered(const std::string& text, const std::function<int(int)>& number,
                       bool reverse, const std::string& extraNode = "",
                       const std::string& extraLine = "");
std::string FrameLine(int number, double x, double y, double z, double rx, double ry, double rz);
// "version 1", the node list, "skeleton" and one frame per pose list (each pose list in node
// order), then "end".
std::string MakeSmd(const std::vector<TEST_NODE>& nodes,
                    const std::vector<std::vector<TEST_NODE>>& extraFrames = {});

}  // namespace varnex
