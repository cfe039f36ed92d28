// The dialog platform of the command line: the "screen" grid is kept in memory, file dialogs are
// answered from a queue of paths, messages go to standard error.
#pragma once

#include <deque>
#include <ostream>

#include "platform/dialog_platform.h"

class CCliPlatform : public CDialogPlatform {
public:
    explicit CCliPlatform(std::ostream& messages);

    // The next file dialog is answered with path. For a save dialog, an answer ending in a folder
    // separator names a folder: the dialog's proposed name is put into it.
    void AnswerNextDialog(const std::string& path);
    // As a user typing into row's edit boxes; an absent part keeps the box's text.
    void TypeIntoRow(int row, const std::optional<std::string>& nodes,
                     const std::optional<std::string>& correction);
    const GRID_TEXTS& ScreenNodes() const { return m_screenNodes; }
    const GRID_TEXTS& ScreenCorrections() const { return m_screenCorrections; }

    void TakeGrid(GRID_TEXTS& nodeText, GRID_TEXTS& correctionText) override;
    void ShowGrid(const GRID_TEXTS& nodeText, const GRID_TEXTS& correctionText) override;
    void ShowMessage(const std::string& text) override;
    std::optional<std::string> ChooseFile(const FILE_DIALOG& request) override;
    void EndDialog() override {}
    bool OpenHelpPage(const std::string&) override { return false; }

private:
    std::ostream& m_messages;
    std::deque<std::string> m_answers;
    GRID_TEXTS m_screenNodes;
    GRID_TEXTS m_screenCorrections;
};
