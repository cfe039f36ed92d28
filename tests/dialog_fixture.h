// The dialog on a fresh folder, as the engine, conversion and fault tests drive it.
#pragma once

#include <gtest/gtest.h>

#include "app/varnex_dlg.h"
#include "test_support.h"

namespace varnex {

class CDialogFixture : public ::testing::Test {
protected:
    void SetUp() override { dlg.OnInitDialog(); }

    // Copies the three samples into the folder.
    void CopySamples() { varnex::CopySamples(dir.Root()); }

    // Runs a command, answering its file dialog with name in the folder.
    void Run(void (CVarnexDlg::*command)(), const std::string& name) {
        ui.Answer(dir.Path(name));
        (dlg.*command)();
    }

    // SMD Ref Modele, SMD Ref Animation and SMD Animation, each expected to run through.
    void LoadAll(const std::string& model = "knight_ref.smd", const std::string& ref = "runner_ref.smd",
                 const std::string& anim = "runner_walk.smd") {
        Run(&CVarnexDlg::OnLoadRefModel, model);
        Run(&CVarnexDlg::OnLoadRefAnim, ref);
        Run(&CVarnexDlg::OnLoadAnim, anim);
        ASSERT_EQ(ui.messages, std::vector<std::string>{});
    }

    // The one message of a refused command, taken off the list.
    std::string Refusal() {
        EXPECT_EQ(dlg.LastResult(), CVarnexDlg::COMMAND_RESULT::REFUSED);
        EXPECT_EQ(ui.messages.size(), 1u);
        std::string message = ui.messages.empty() ? std::string() : ui.messages.back();
        ui.messages.clear();
        return message;
    }

    CTempDir dir;
    CTestPlatform ui;
    CVarnexDlg dlg{ui};
};

// The kind of the error that body throws; fails the test when it throws none.
template <typename BODY>
ERROR_KIND KindOf(BODY body) {
    try {
        body();
    } catch (const CVarnexError& e) {
        return e.Kind();
    }
    ADD_FAILURE() << "no error thrown";
    return ERROR_KIND::FILE_NOT_OPEN;
}

}  // namespace varnex
