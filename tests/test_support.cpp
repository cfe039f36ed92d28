#include "test_support.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>

#include "smd_input/decimal_text.h"

#ifndef VARNEX_SOURCE_DIR
#error "VARNEX_SOURCE_DIR must name the project's folder"
#endif

namespace varnex {

void CTestPlatform::TakeGrid(GRID_TEXTS& nodeText, GRID_TEXTS& correctionText) {
    ++takeGridCalls;
    for (std::size_t i = 0; i < nodeText.size() && i < screenNodes.size(); ++i) {
        nodeText[i] = screenNodes[i];
        correctionText[i] = screenCorrections[i];
    }
}

void CTestPlatform::ShowGrid(const GRID_TEXTS& nodeText, const GRID_TEXTS& correctionText) {
    ++showGridCalls;
    screenNodes = nodeText;
    screenCorrections = correctionText;
}

std::optional<std::string> CTestPlatform::ChooseFile(const FILE_DIALOG& request) {
    dialogs.push_back(request);
    return NextAnswer();
}

std::optional<std::string> CTestPlatform::ChooseFolder(const std::string& title) {
    folderTitles.push_back(title);
    return NextAnswer();
}

bool CTestPlatform::ShowProgress(const std::string& title, const std::string& text, int done,
                                 int count) {
    progress.push_back(title + ": " + text + " (" + std::to_string(done) + "/" +
                       std::to_string(count) + ")");
    return static_cast<int>(progress.size()) != cancelAtStep;
}

std::optional<std::string> CTestPlatform::NextAnswer() {
    if (m_answers.empty()) return std::nullopt;
    std::string answer = m_answers.front();
    m_answers.pop_front();
    if (answer == CANCEL) return std::nullopt;
    return answer;
}

CTempDir::CTempDir() {
    std::random_device rd;
    m_path = std::filesystem::temp_directory_path() /
             ("varnex-test-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(m_path);
}

CTempDir::~CTempDir() {
    std::error_code ec;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(m_path, ec);
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> ListFolder(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string SamplePath(const std::string& name) {
    return std::string(VARNEX_SOURCE_DIR) + "/samples/" + name;
}

void CopySamples(const std::filesystem::path& folder) {
    for (const std::string& name : THREE_SAMPLES) {
        std::filesystem::copy_file(SamplePath(name), folder / name,
                                   std::filesystem::copy_options::overwrite_existing);
    }
}

std::string ExpectedPath(const std::string& name) {
    return std::string(VARNEX_SOURCE_DIR) + "/tests/expected/" + name;
}

std::string NodeLine(int number, const std::string& name, int parent) {
    char line[256];
    std::snprintf(line, sizeof line, "%3d \"%s\" %3d\r\n", number, name.c_str(), parent);
    return line;
}

std::string Renumbered(const std::string& text, const std::function<int(int)>& number,
                       bool reverse, const std::string& extraNode,
                       const std::string& extraLine) {
    std::string out;
    std::vector<std::string> frame;
    std::vector<std::pair<int, std::string>> list;  // written in the order of the new numbers
    auto flush = [&] {
        if (reverse) std::reverse(frame.begin(), frame.end());
        for (const std::string& line : frame) out += line + "\r\n";
        if (!extraLine.empty() && !frame.empty()) out += extraLine;
        frame.clear();
    };
    enum { HEAD, NODES, FRAMES } part = HEAD;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find("\r\n", at);
        std::string line = text.substr(at, end - at);
        at = end + 2;
        int n = std::atoi(line.c_str());
        std::size_t first = line.find_first_not_of(" ");
        bool numbered = first != std::string::npos && line[first] >= '0' && line[first] <= '9';
        std::size_t rest = line.find(' ', first);
        if (line == "end" || line.rfind("time ", 0) == 0) {
            flush();
            std::sort(list.begin(), list.end());
            for (const auto& node : list) out += node.second;
            list.clear();
            if (part == NODES && line == "end") out += extraNode;
            if (line == "end") part = HEAD;
            out += line + "\r\n";
        } else if (part == NODES) {
            int parent = std::atoi(line.substr(line.rfind(' ')).c_str());
            std::size_t open = line.find('"');
            std::string name = line.substr(open + 1, line.find('"', open + 1) - open - 1);
            list.emplace_back(number(n),
                              NodeLine(number(n), name, parent < 0 ? parent : number(parent)));
        } else if (part == FRAMES && numbered) {
            char prefix[16];
            std::snprintf(prefix, sizeof prefix, "%3d", number(n));
            frame.push_back(prefix + line.substr(rest));
        } else {
            out += line + "\r\n";
        }
        if (line == "nodes") part = NODES;
        if (line == "skeleton") part = FRAMES;
    }
    return out;
}

std::string FrameLine(int number, double x, double y, double z, double rx, double ry, double rz) {
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "%3d", number);
    std::string line = prefix;
    for (double v : {x, y, z, rx, ry, rz}) line += " " + DecimalText(v);
    return line + "\r\n";
}

std::string MakeSmd(const std::vector<TEST_NODE>& nodes,
                    const std::vector<std::vector<TEST_NODE>>& extraFrames) {
    std::string text = "version 1\r\nnodes\r\n";
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        text += NodeLine(static_cast<int>(i), nodes[i].name, nodes[i].parent);
    }
    text += "end\r\nskeleton\r\ntime 0\r\n";
    auto frame = [&](const std::vector<TEST_NODE>& poses) {
        for (std::size_t i = 0; i < poses.size(); ++i) {
            const TEST_NODE& n = poses[i];
            text += FrameLine(static_cast<int>(i), n.x, n.y, n.z, n.rx, n.ry, n.rz);
        }
    };
    frame(nodes);
    for (std::size_t f = 0; f < extraFrames.size(); ++f) {
        text += "time " + std::to_string(f + 1) + "\r\n";
        frame(extraFrames[f]);
    }
    return text + "end\r\n";
}

}  // namespace varnex
