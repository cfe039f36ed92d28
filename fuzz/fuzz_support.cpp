#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "biped/biped_conversion.h"

namespace fs = std::filesystem;

namespace {
// "path: ...", "path:12: ..." or, for a note, "path : ...".
bool StartsWithPath(const std::string& message, const std::string& path) {
    return message.rfind(path + ":", 0) == 0 || message.rfind(path + " :", 0) == 0;
}
}  // namespace

void FuzzFailure(const std::string& what) {
    std::fprintf(stderr, "\n*** varnex fuzz check failed: %s\n", what.c_str());
    std::abort();
}

CFuzzFolder& CFuzzFolder::Get() {
    static CFuzzFolder folder;
    return folder;
}

CFuzzFolder::CFuzzFolder()
    : m_model(m_dir.Path("knight_ref.smd")),
      m_refAnim(m_dir.Path("runner_ref.smd")),
      m_walk(m_dir.Path("runner_walk.smd")) {
    for (const std::string* copy : {&m_model, &m_refAnim, &m_walk}) {
        std::string sample = SamplePath(FileNameOf(*copy));
        std::string bytes = ReadFile(sample);
        if (bytes.empty()) FuzzFailure("cannot read the sample " + sample);
        WriteFile(*copy, bytes);
    }
}

std::string CFuzzFolder::WriteInput(const std::string& name, const std::uint8_t* data,
                                    std::size_t size) {
    std::string path = Path(name);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) FuzzFailure("cannot write " + path);
    if (size > 0 && std::fwrite(data, 1, size, f) != size) FuzzFailure("cannot write " + path);
    std::fclose(f);
    return path;
}

void CFuzzFolder::Clear() {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(m_dir.Root(), ec)) {
        std::string path = entry.path().string();
        if (path == m_model || path == m_refAnim || path == m_walk) continue;
        fs::remove_all(entry.path(), ec);
    }
}

CFuzzSession::CFuzzSession() {
    m_dlg.OnInitDialog();
    m_messagesSeen = m_ui.messages.size();
}

void CFuzzSession::AddInput(const std::string& path) {
    for (const INPUT_FILE& input : m_inputs) {
        if (input.path == path) return;
    }
    m_inputs.push_back(INPUT_FILE{path, ReadFile(path)});
}

void CFuzzSession::AddOutput(const std::string& path) { m_outputs.push_back(path); }

bool CFuzzSession::Check(const char* command, bool mayNoteNodeCount) {
    std::string where = std::string(command) + ": ";
    bool done = m_dlg.LastResult() == CVarnexDlg::COMMAND_RESULT::DONE;
    if (!done && m_dlg.LastResult() != CVarnexDlg::COMMAND_RESULT::REFUSED) {
        FuzzFailure(where + "cancelled although its file dialog was answered");
    }
    std::size_t shown = m_ui.messages.size() - m_messagesSeen;
    if (!done && shown != 1) {
        FuzzFailure(where + "refused with " + std::to_string(shown) + " messages instead of 1");
    }
    if (done && shown > (mayNoteNodeCount ? 1u : 0u)) {
        FuzzFailure(where + "ran through but said: " + m_ui.messages.back());
    }
    for (std::size_t i = m_messagesSeen; i < m_ui.messages.size(); ++i) {
        const std::string& message = m_ui.messages[i];
        bool namesAFile = false;
        for (const INPUT_FILE& input : m_inputs) {
            namesAFile = namesAFile || StartsWithPath(message, input.path);
        }
        for (const std::string& output : m_outputs) {
            namesAFile = namesAFile || StartsWithPath(message, output);
        }
        if (!namesAFile) FuzzFailure(where + "message names no file: " + message);
    }
    m_messagesSeen = m_ui.messages.size();

    const fs::path folder = fs::path(CFuzzFolder::Get().Path(""));
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        if (entry.path().filename().string().find(".tmp-") != std::string::npos) {
            FuzzFailure(where + "temporary file left behind: " + entry.path().string());
        }
    }
    for (const INPUT_FILE& input : m_inputs) {
        if (ReadFile(input.path) != input.bytes)
            FuzzFailure(where + "input changed: " + input.path);
    }
    return done;
}

bool CFuzzSession::LoadRefModel(const std::string& path) {
    AddInput(path);
    m_ui.Answer(path);
    m_dlg.OnLoadRefModel();
    return Check("SMD Ref Modele", true);
}

bool CFuzzSession::LoadRefAnim(const std::string& path) {
    AddInput(path);
    m_ui.Answer(path);
    m_dlg.OnLoadRefAnim();
    return Check("SMD Ref Animation", false);
}

bool CFuzzSession::LoadAnim(const std::string& path) {
    AddInput(path);
    m_ui.Answer(path);
    m_dlg.OnLoadAnim();
    return Check("SMD Animation", false);
}

bool CFuzzSession::BuildSmd(const std::string& outputPath) {
    std::error_code ec;
    fs::remove(outputPath, ec);
    AddOutput(outputPath);
    m_ui.Answer(outputPath);
    m_dlg.OnBuildSmd();
    bool done = Check("BUILD SMD", false);
    if (done != fs::exists(outputPath, ec)) {
        FuzzFailure(std::string("BUILD SMD: ") +
                    (done ? "ran through without writing " : "refused but wrote ") + outputPath);
    }
    return done;
}

bool CFuzzSession::ConvertBiped() {
    std::string converted = ConvertedPathOf(m_dlg.m_animPath);
    std::error_code ec;
    fs::remove(converted, ec);
    AddOutput(converted);
    m_dlg.OnConvertBiped();
    bool done = Check("Convert CS Bipede", false);
    if (done != fs::exists(converted, ec)) {
        FuzzFailure(std::string("Convert CS Bipede: ") +
                    (done ? "ran through without writing " : "refused but wrote ") + converted);
    }
    if (done && m_dlg.m_animPath != converted) {
        FuzzFailure("Convert CS Bipede: the animation is not the converted file");
    }
    // From now on the converted file is what BUILD SMD reads.
    if (done) AddInput(converted);
    return done;
}

bool CFuzzSession::LoadCon(const std::string& path) {
    AddInput(path);
    m_ui.Answer(path);
    m_dlg.OnLoadCon();
    return Check("Load Con file", false);
}

bool CFuzzSession::SaveCon(const std::string& path) {
    std::error_code ec;
    fs::remove(path, ec);
    AddOutput(path);
    m_ui.Answer(path);
    m_dlg.OnSaveCon();
    return Check("Save  Con file", false);
}
