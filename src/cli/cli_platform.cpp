#include "cli/cli_platform.h"

CCliPlatform::CCliPlatform(std::ostream& messages) : m_messages(messages) {}

void CCliPlatform::AnswerNextDialog(const std::string& path) { m_answers.push_back(path); }

void CCliPlatform::TypeIntoRow(int row, const std::optional<std::string>& nodes,
                               const std::optional<std::string>& correction) {
    std::size_t entry = static_cast<std::size_t>(row) + 1;
    if (nodes) m_screenNodes[entry] = *nodes;
    if (correction) m_screenCorrections[entry] = *correction;
}

void CCliPlatform::TakeGrid(GRID_TEXTS& nodeText, GRID_TEXTS& correctionText) {
    // Entry 0 has no edit box.
    for (std::size_t i = 1; i < nodeText.size(); ++i) {
        nodeText[i] = m_screenNodes[i];
        correctionText[i] = m_screenCorrections[i];
    }
}

void CCliPlatform::ShowGrid(const GRID_TEXTS& nodeText, const GRID_TEXTS& correctionText) {
    for (std::size_t i = 1; i < nodeText.size(); ++i) {
        m_screenNodes[i] = nodeText[i];
        m_screenCorrections[i] = correctionText[i];
    }
}

void CCliPlatform::ShowMessage(const std::string& text) { m_messages << "varnex-cli: " << text << '\n'; }

std::optional<std::string> CCliPlatform::ChooseFile(const FILE_DIALOG& request) {
    if (m_answers.empty()) return std::nullopt;
    std::string path = m_answers.front();
    m_answers.pop_front();
    if (request.save && !path.empty() && (path.back() == '/' || path.back() == '\\')) {
        path += request.initialName;
    }
    return path;
}
