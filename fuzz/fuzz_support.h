// What every fuzz target shares: one temporary folder per process holding copies of the samples,
// and the checks that turn a wrong answer (not only a crash) into a finding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>

#include "app/varnex_dlg.h"
#include "test_support.h"

// The folder of this process, made on first use with copies of the three samples, so that no
// command can ever write beside the checked-in ones. Removed when the process ends.
class CFuzzFolder {
  public:
    static CFuzzFolder& Get();

    std::string Path(const std::string& name) const { return m_dir.Path(name); }
    // Copies of samples/knight_ref.smd, samples/runner_ref.smd and samples/runner_walk.smd.
    const std::string& Model() const { return m_model; }
    const std::string& RefAnim() const { return m_refAnim; }
    const std::string& Walk() const { return m_walk; }

    // Writes the fuzzer's bytes to name in the folder and returns its path.
    std::string WriteInput(const std::string& name, const std::uint8_t* data, std::size_t size);
    // Removes every file of the folder but the three sample copies.
    void Clear();

  private:
    CFuzzFolder();

    CTempDir m_dir;
    std::string m_model;
    std::string m_refAnim;
    std::string m_walk;
};

// One run of the dialog on the folder, with the checks made after each command:
//  - a refused command shows exactly one message, which starts with the path of one of the files
//    given (so it names the file);
//  - a command that ran through shows no message, but for the model's "more than 60 nodes" note;
//  - no temporary output file is ever left in the folder;
//  - the files given as inputs keep their bytes.
// A failed check prints what went wrong and aborts, which libFuzzer reports with the input.
class CFuzzSession {
  public:
    CFuzzSession();

    // Answers the next file dialog with path and runs the command; true when it ran through.
    bool LoadRefModel(const std::string& path);
    bool LoadRefAnim(const std::string& path);
    bool LoadAnim(const std::string& path);
    bool BuildSmd(const std::string& outputPath);
    bool ConvertBiped();
    bool LoadCon(const std::string& path);
    bool SaveCon(const std::string& path);

    // The files whose path a message may start with, and whose bytes must never change.
    void AddInput(const std::string& path);
    void AddOutput(const std::string& path);

    CTestPlatform& Ui() { return m_ui; }
    CVarnexDlg& Dlg() { return m_dlg; }

  private:
    bool Check(const char* command, bool mayNoteNodeCount);

    struct INPUT_FILE {
        std::string path;
        std::string bytes;
    };
    CTestPlatform m_ui;
    CVarnexDlg m_dlg{m_ui};
    std::vector<INPUT_FILE> m_inputs;
    std::vector<std::string> m_outputs;
    std::size_t m_messagesSeen = 0;
};

// Prints the failed check and aborts.
[[noreturn]] void FuzzFailure(const std::string& what);
