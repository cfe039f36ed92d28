// The main window driven as a user drives it: clicks sent to the buttons' ids, texts typed into
// the edit boxes, file dialogs answered by the script. The samples are copied into a temporary
// folder first, so that outputs written beside them land there.
#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/image.h>
#include <wx/scrolbar.h>
#include <wx/uiaction.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "app/varnex_dlg.h"
#include "gui/window_layout.h"
#include "retarget/node_line.h"
#include "gui/wx_text.h"
#include "scripted_window.h"
#include "test_support.h"
#include "x_screen.h"

namespace varnex {

namespace fs = std::filesystem;

namespace {

// A temporary folder holding copies of the three samples.
class CSampleFolder : public CTempDir {
public:
    CSampleFolder() { CopySamples(Root()); }
};

std::vector<std::string> Repeated(const std::string& text) {
    return std::vector<std::string>(DEFAULT_GRID_ROWS, text);
}

int CountLinesStartingWith(const std::string& text, const std::string& start) {
    int count = 0;
    for (std::size_t at = 0; at < text.size();) {
        if (text.compare(at, start.size(), start) == 0) ++count;
        std::size_t next = text.find("\r\n", at);
        if (next == std::string::npos) break;
        at = next + 2;
    }
    return count;
}

// The tooltip the box shows once the pointer comes over it.
std::string TooltipOf(wxTextCtrl* box) {
    wxMouseEvent enter(wxEVT_ENTER_WINDOW);
    enter.SetEventObject(box);
    box->ProcessWindowEvent(enter);
    return FromWx(box->GetToolTipText());
}

std::string StatusOf(const CScriptedWindow& window) {
    return FromWx(window.StatusLine()->GetLabelText());
}
}  // namespace

TEST(WindowStartUp, EveryNodesBoxShowsZeroAndEveryCorrectionBoxOne) {
    CScriptedWindow window;
    EXPECT_EQ(window.NodeBoxes(), Repeated("")) << "start-up runs when the window is shown";
    ShowAndDraw(window);
    EXPECT_EQ(window.NodeBoxes(), Repeated("0"));
    EXPECT_EQ(window.CorrectionBoxes(), Repeated("1"));
    EXPECT_TRUE(window.messages.empty());
}

TEST(Preconditions, RefAnimationBeforeAModelShowsItsMessageAndChangesNothing) {
    CShownWindow window;
    CScriptedWindow::Type(window.NodeEdit(3), "7");
    window.Press(IDC_REF_ANIM);
    EXPECT_EQ(window.messages, std::vector<std::string>{"Choisissez d'abord un modèle de référence"});
    EXPECT_TRUE(window.dialogs.empty()) << "no file dialog after a failed check";
    EXPECT_EQ(window.Dialog().Grid().Nodes()[3], "0") << "the grid is not taken";
    EXPECT_EQ(FromWx(window.NodeEdit(3)->GetValue()), "7") << "nor shown";
    EXPECT_TRUE(window.IsShown());
}

TEST(FileDialogs, RefModelAsksForAnExistingSmdWithTheSmdFilter) {
    CShownWindow window;
    window.Cancel();
    window.Press(IDC_REF_MODEL);
    ASSERT_EQ(window.dialogs.size(), 1u);
    const FILE_DIALOG& request = window.dialogs[0];
    EXPECT_FALSE(request.save);
    EXPECT_TRUE(request.mustExist);
    EXPECT_EQ(request.filter, "Half-Life SMD smd(*.smd)|*.smd||");
    EXPECT_EQ(request.defaultExtension, "smd");
    EXPECT_EQ(request.initialName, "*.smd");
    EXPECT_TRUE(window.messages.empty()) << "a cancelled dialog ends the command quietly";
}

// The folder of the last file chosen, whichever dialog chose it; a cancelled dialog changes
// nothing. Before any choice, the working directory.
TEST(FileDialogs, EachOpensInTheFolderOfTheLastFileChosen) {
    CSampleFolder folder;
    CTempDir other;
    CShownWindow window;
    window.Answer(folder.Path("knight_ref.smd"));
    window.Press(IDC_REF_MODEL);
    window.Cancel();
    window.Press(IDC_REF_ANIM);
    window.Answer(other.Path("grid.con"));
    window.Press(IDC_SAVE_CON);
    window.Cancel();
    window.Press(IDC_LOAD_CON);
    ASSERT_EQ(window.shown.size(), 4u);
    EXPECT_EQ(window.shown[0].folder, fs::current_path().string());
    EXPECT_EQ(window.shown[1].folder, folder.Root().string());
    EXPECT_EQ(window.shown[2].folder, folder.Root().string());
    EXPECT_EQ(window.shown[3].folder, other.Root().string());
    EXPECT_EQ(StatusOf(window), "") << "a cancelled command tells nothing";
}

TEST(GridExchange, RefAnimationShowsThePairingInTheNodesBoxes) {
    CSampleFolder folder;
    CShownWindow window;
    LoadModelAndReference(window, folder.Root());
    ASSERT_TRUE(window.messages.empty()) << window.messages.front();
    std::vector<std::string> boxes = window.NodeBoxes();
    // Knight row 2 "Bip01 Spine" and runner 4 "Bip01 Spine"; row 3 "Bip01 L Thigh" and runner
    // 2 "Bip01 L Leg"; row 13 "Bip01 Head" and runner 21; row 22 "Sword" has no partner.
    EXPECT_EQ(boxes[2], "4");
    EXPECT_EQ(boxes[3], "2");
    EXPECT_EQ(boxes[13], "21");
    EXPECT_EQ(boxes[22], "0");
    for (int row = 0; row < DEFAULT_GRID_ROWS; ++row) {
        EXPECT_EQ(boxes[static_cast<std::size_t>(row)],
                  window.Dialog().Grid().Nodes()[static_cast<std::size_t>(row)]);
    }
    EXPECT_EQ(window.CorrectionBoxes(), Repeated("1"));
    // The knight's thighs hang from the spine, the runner's from the pelvis: the pairing says so
    // after its count.
    EXPECT_EQ(StatusOf(window).rfind("modèle : 23 nodes, 22 lignes appariées ; avertissement : "
                                     "chaînes qui s'écartent de plus de 20°",
                                     0),
              0u)
        << StatusOf(window);
    EXPECT_NE(StatusOf(window).find("ligne 3 Bip01 L Thigh (29.7° à la frame 0)"), std::string::npos);
    EXPECT_TRUE(window.Dialog().ConfirmQuit() && window.questions.empty())
        << "the pairing is not an edit to ask about";
}

TEST(ConversionFiles, SavedGridComesBackIntoTheBoxes) {
    CTempDir folder;
    CShownWindow window;
    CScriptedWindow::Type(window.NodeEdit(0), "3");
    CScriptedWindow::Type(window.CorrectionEdit(0), "0.5");
    CScriptedWindow::Type(window.NodeEdit(59), "121");
    window.Answer(folder.Path("grid.con"));
    window.Press(IDC_SAVE_CON);
    ASSERT_TRUE(window.messages.empty()) << window.messages.front();
    EXPECT_EQ(fs::file_size(folder.Path("grid.con")), 540u);
    EXPECT_TRUE(window.dialogs[0].save);
    EXPECT_TRUE(window.dialogs[0].askBeforeReplacing);
    EXPECT_EQ(window.shown[0].title, "Save Con file : enregistrer la grille");
    EXPECT_EQ(StatusOf(window), "grille enregistrée dans " + folder.Path("grid.con"));
    // Quitting asks only about edits made since the grid was saved or loaded.
    window.answerYes = false;
    EXPECT_TRUE(window.Dialog().ConfirmQuit());
    CScriptedWindow::Type(window.NodeEdit(0), "9");
    CScriptedWindow::Type(window.CorrectionEdit(0), "x");
    EXPECT_FALSE(window.Dialog().ConfirmQuit());
    EXPECT_EQ(window.questions.size(), 1u);

    window.Answer(folder.Path("grid.con"));
    window.Press(IDC_LOAD_CON);
    ASSERT_TRUE(window.messages.empty()) << window.messages.front();
    EXPECT_FALSE(window.dialogs[1].save);
    EXPECT_TRUE(window.dialogs[1].mustExist);
    EXPECT_EQ(window.shown[1].title, "Load Con file : charger une grille");
    EXPECT_EQ(StatusOf(window), "grille chargée de " + folder.Path("grid.con"));
    EXPECT_TRUE(window.Dialog().ConfirmQuit());
    EXPECT_EQ(window.questions.size(), 1u);
    std::vector<std::string> nodes = window.NodeBoxes();
    std::vector<std::string> corrections = window.CorrectionBoxes();
    EXPECT_EQ(nodes[0], "3");
    EXPECT_EQ(corrections[0], "0.500000");
    EXPECT_EQ(nodes[59], "121");
    EXPECT_EQ(nodes[1], "0");
    EXPECT_EQ(corrections[1], "1.000000");
}

TEST(Retargeting, BuildThroughTheButtonsWritesTheModelsHeaderAndEveryFrame) {
    CSampleFolder folder;
    CShownWindow window;
    LoadThreeSamples(window, folder.Root());
    fs::path output = folder.Root() / "out" / "knight_runner_walk.smd";
    fs::create_directory(output.parent_path());
    window.Answer(output);
    window.Press(IDC_BUILD_SMD);
    ASSERT_TRUE(window.messages.empty()) << window.messages.front();

    ASSERT_EQ(window.shown.size(), 4u);
    EXPECT_EQ(window.shown[0].title, "SMD Ref Modele");
    EXPECT_EQ(window.shown[1].title, "SMD Ref Animation");
    EXPECT_EQ(window.shown[2].title, "SMD Animation");
    EXPECT_EQ(window.shown[3].title,
              "BUILD SMD : enregistrer l'animation sur le squelette du modèle");
    EXPECT_EQ(StatusOf(window), "écrit : " + output.string());
    EXPECT_TRUE(window.dialogs[3].save);
    EXPECT_EQ(window.dialogs[3].initialName, "knight_runner_walk.smd");
    ASSERT_TRUE(fs::exists(output));
    EXPECT_EQ(window.Dialog().OutputPath(), output.string());
    // The model's header, then every frame: the bytes the command line writes.
    EXPECT_EQ(ReadFile(output.string()), ReadFile(ExpectedPath("knight_runner_walk.smd")));
}

// "Tout un .qc…" from the menu: the three dialogs, the progress window gone and the main window
// usable again, the status line, the warnings listed; the walk built as BUILD SMD builds it.
TEST(Retargeting, AWholeQcFromTheMenuWritesTheSetAndListsItsWarnings) {
    CSampleFolder folder;
    WriteFile(folder.Path("runner.qc"), "$sequence walk \"runner_walk\" fps 30 loop\n"
                                        "$sequence walk2 runner_walk origin 0 0 1\n");
    fs::create_directory(folder.Root() / "out");
    CShownWindow window;
    LoadThreeSamples(window, folder.Root());
    window.Answer(folder.Path("runner.qc"));
    window.Cancel();
    window.Answer(folder.Root() / "out");
    window.Choose(IDM_QC_SET);
    ASSERT_TRUE(window.messages.empty()) << window.messages.front();
    ASSERT_EQ(window.shown.size(), 6u);
    EXPECT_EQ(window.shown[5].title,
              "Tout un .qc : le dossier où écrire les animations et le .qc du modèle");
    EXPECT_EQ(StatusOf(window), "2 séquences écrites dans " + folder.Path("out"));
    EXPECT_TRUE(window.IsEnabled());
    // The reading's warning (no $cd), then the set's.
    ASSERT_EQ(window.lists.size(), 3u);
    EXPECT_NE(window.lists[1].find("$cd"), std::string::npos) << window.lists[1];
    EXPECT_NE(window.lists[2].find("source-option-copied : séquence « walk2 »"), std::string::npos)
        << window.lists[2];
    EXPECT_EQ(ReadFile(folder.Path("out/runner_walk.smd")),
              ReadFile(ExpectedPath("knight_runner_walk.smd")));
    EXPECT_TRUE(fs::exists(folder.Root() / "out" / "knight_ref.qc"));
}

TEST(Retargeting, ConvertCsBipedeWritesTheNewAnimationThatBuildThenReads) {
    CSampleFolder folder;
    CShownWindow window;
    LoadThreeSamples(window, folder.Root());
    window.Press(IDC_CONVERT_BIPED);
    ASSERT_TRUE(window.messages.empty()) << window.messages.front();
    EXPECT_EQ(ReadFile(folder.Path("runner_walkNew.smd")),
              ReadFile(ExpectedPath("runner_walkNew.smd")));
    EXPECT_EQ(window.Dialog().AnimPath(), folder.Path("runner_walkNew.smd"));

    window.Answer(folder.Path("built.smd"));
    window.Press(IDC_BUILD_SMD);
    ASSERT_TRUE(window.messages.empty()) << window.messages.front();
    EXPECT_EQ(window.dialogs.back().initialName, "knight_runner_walkNew.smd");
    EXPECT_EQ(ReadFile(folder.Path("built.smd")),
              ReadFile(ExpectedPath("knight_runner_walkNew.smd")));
}

TEST(HelpCommand, WithoutThePageWarnsNamingConverterHtm) {
    CTempDir folder;
    CCurrentFolder here(folder.Root());
    CShownWindow window;
    window.Press(IDC_HELP_BUTTON);
    EXPECT_EQ(
        window.messages,
        std::vector<std::string>{
            "Le fichier d'aide : converter.htm  est introuvable, recherchez le manuellement"});
}

TEST(HelpCommand, ABrowserThatCannotStartIsTold) {
    CTempDir folder;
    WriteFile(folder.Path("converter.htm"), "<html></html>");
    CCurrentFolder here(folder.Root());
    CScriptedWindow window;
    window.browserStarts = false;
    ShowAndDraw(window);
    window.Press(IDC_HELP_BUTTON);
    ASSERT_EQ(window.messages.size(), 1u);
    EXPECT_EQ(window.messages[0], "Impossible d'ouvrir la page d'aide " +
                                      folder.Path("converter.htm") +
                                      " : aucun navigateur n'a pu être lancé");
}

// In English the help page is converter-en.htm, beside the French one.
TEST(HelpCommand, InEnglishOpensTheEnglishPageOrNamesIt) {
    CTempDir folder;
    WriteFile(folder.Path("converter.htm"), "<html></html>");
    CCurrentFolder here(folder.Root());
    CScriptedWindow window;
    ASSERT_TRUE(window.SetLanguage("en"));
    ShowAndDraw(window);
    window.Press(IDC_HELP_BUTTON);
    EXPECT_EQ(window.messages,
              std::vector<std::string>{"The help file converter-en.htm cannot be found: look for "
                                       "it by hand"});
    WriteFile(folder.Path("converter-en.htm"), "<html></html>");
    window.Press(IDC_HELP_BUTTON);
    EXPECT_EQ(window.helpPages, std::vector<std::string>{folder.Path("converter-en.htm")});
    EXPECT_EQ(window.messages.size(), 1u) << "an opened page is not a message";
}

// The menu's language items switch the running window: its labels, then its messages.
TEST(LanguageMenu, SwitchesTheLabelsAndTheMessagesOfTheRunningWindow) {
    CShownWindow window;
    const std::vector<std::string>& languages = window.Languages();
    auto english = std::find(languages.begin(), languages.end(), "en");
    ASSERT_NE(english, languages.end());
    window.Choose(IDM_LANGUAGE_FIRST + static_cast<int>(english - languages.begin()));
    EXPECT_EQ(window.FindWindow(IDC_REF_MODEL)->GetLabel(), "SMD Ref Model");
    window.Press(IDC_REF_ANIM);
    EXPECT_EQ(window.messages, std::vector<std::string>{"Choose a reference model first"});
    window.Choose(IDM_LANGUAGE_FIRST);
    EXPECT_EQ(window.FindWindow(IDC_REF_MODEL)->GetLabel(), "SMD Ref Modele");
}

TEST(EndingTheDialog, QuitEndsAtOnceWhenTheGridWasNotEdited) {
    CShownWindow window;
    window.Press(IDC_QUIT);
    EXPECT_FALSE(window.IsShown());
    EXPECT_EQ(window.GetReturnCode(), wxID_OK);
    EXPECT_TRUE(window.questions.empty());
}

// Non keeps the window, the edits and the status line; Oui ends it, the close box without taking the grid, QUIT
// with it.
TEST(EndingTheDialog, QuitAndTheCloseBoxAskBeforeLeavingEdits) {
    CShownWindow window;
    CScriptedWindow::Type(window.CorrectionEdit(40), "2.5");
    for (bool quitButton : {false, true}) {
        window.ShowStatus("écrit : out.smd");
        window.answerYes = false;
        quitButton ? window.Press(IDC_QUIT) : (void)window.Close();
        EXPECT_TRUE(window.IsShown());
        EXPECT_EQ(FromWx(window.CorrectionEdit(40)->GetValue()), "2.5");
        EXPECT_EQ(StatusOf(window), "écrit : out.smd") << "what the last command did";
        window.answerYes = true;
        quitButton ? window.Press(IDC_QUIT) : (void)window.Close();
        EXPECT_FALSE(window.IsShown());
        EXPECT_EQ(window.GetReturnCode(), quitButton ? wxID_OK : wxID_CANCEL);
        EXPECT_EQ(window.Dialog().Grid().Corrections()[40], quitButton ? "2.5" : "1");
        ShowAndDraw(window);
    }
    ASSERT_EQ(window.questions.size(), 4u);
    EXPECT_EQ(window.questions[0],
              "La grille a été modifiée depuis le dernier appariement, le dernier enregistrement "
              "ou le dernier chargement d'un fichier .con.\nQuitter sans enregistrer ces "
              "modifications ?");
}

TEST(AboutItem, TheMenuCommandOpensTheAboutBox) {
    CShownWindow window;
    window.Choose(IDM_ABOUTBOX);
    EXPECT_EQ(window.aboutBoxes, 1);
}

// The pictures of the README: the window once the samples' two skeletons are paired, in French
// and in English.
void SavePairedWindowPicture(const std::string& language, const std::string& png) {
    CSampleFolder folder;
    CScriptedWindow window;
    ASSERT_TRUE(window.SetLanguage(language));
    ShowAndDraw(window);
    LoadModelAndReference(window, folder.Root());
    ShowAndDraw(window);
    fs::remove(png);
    ASSERT_TRUE(SaveScreenshot(window, png));
    wxImage shot(png, wxBITMAP_TYPE_PNG);
    ASSERT_TRUE(shot.IsOk());
    EXPECT_EQ(shot.GetSize(), window.GetSize());
    // An edit box's inside is lighter than the dialog's background around it: the picture shows
    // the drawn window, not an empty rectangle.
    wxTextCtrl* edit = window.CorrectionEdit(0);
    wxPoint box = edit->GetScreenPosition() - window.GetScreenRect().GetPosition();
    wxPoint inside = box + wxPoint(edit->GetSize().x * 3 / 4, edit->GetSize().y / 2);
    wxPoint outside = box + wxPoint(-3, edit->GetSize().y / 2);
    auto brightness = [&](wxPoint p) {
        return shot.GetRed(p.x, p.y) + shot.GetGreen(p.x, p.y) + shot.GetBlue(p.x, p.y);
    };
    EXPECT_GT(brightness(inside), brightness(outside))
        << "inside " << inside.x << "," << inside.y << " outside " << outside.x << "," << outside.y;
}

TEST(MainWindowPicture, SavesAScreenshotOfThePairedGrid) {
    SavePairedWindowPicture("fr", "varnex-window.png");
}

// A model of more than 60 nodes, loaded through the buttons: its rows from 60 on get boxes of their
// own beside the first 60, are paired, typed into, named in their tooltips, taken and built; a
// smaller model brings the 60-row window back.
TEST(WholeSkeleton, RowsBeyondSixtyAreShownEditedNamedAndBuilt) {
    CSampleFolder folder;
    WriteFile(folder.Path("biped72_ref.smd"), Biped72(folder.Path("knight_ref.smd")));
    CShownWindow window;
    const wxSize sixtyRows = window.GetClientSize();
    window.Answer(folder.Path("biped72_ref.smd"));
    window.Press(IDC_REF_MODEL);
    window.Answer(folder.Path("runner_ref.smd"));
    window.Press(IDC_REF_ANIM);
    ASSERT_TRUE(window.messages.empty()) << window.messages.front();
    ASSERT_EQ(window.ShownRows(), 72);
    ShowAndDraw(window);
    EXPECT_EQ(window.GetClientSize().y, sixtyRows.y);
    ExpectApartAndInside(window);
    std::set<int> ids;
    for (int row = 0; row < 72; ++row) {
        ids.insert({window.NodeEdit(row)->GetId(), window.CorrectionEdit(row)->GetId()});
    }
    for (const BUTTON_LAYOUT& button : MAIN_BUTTONS) ids.insert(button.id);
    EXPECT_EQ(ids.size(), 72u * 2 + MAIN_BUTTONS.size()) << "every box has an id of its own";

    // The right leg is paired with the runner's "L Leg" naming; the tooltips name both nodes.
    std::vector<std::string> boxes = window.NodeBoxes();
    EXPECT_EQ(std::vector<std::string>(boxes.begin() + 68, boxes.end()),
              (std::vector<std::string>{"3", "8", "9", "10"}));
    EXPECT_EQ(TooltipOf(window.NodeEdit(68)),
              "ligne 68 : node « Bip01 R Thigh » du modèle\nsource : node 3 « Bip01 R Leg »");
    EXPECT_EQ(TooltipOf(window.CorrectionEdit(68)), TooltipOf(window.NodeEdit(68)));
    fs::remove("varnex-window-72.png");
    EXPECT_TRUE(SaveScreenshot(window, "varnex-window-72.png"));

    // Tab and Enter go on from row 59 into the new rows, NODES then Correction, and round the
    // end; leaving a box after typing renews its row's tooltip.
    wxUIActionSimulator user;
    auto enter = [&](wxTextCtrl* box, const char* text) {
        ClickInto(box);
        user.Text(text);
        EXPECT_TRUE(RunUntil([&] { return box->GetValue() == text; })) << text;
        user.Char(WXK_RETURN);
    };
    ClickInto(window.CorrectionEdit(59));
    user.Char(WXK_TAB);
    EXPECT_TRUE(RunUntil([&] { return FocusedId() == window.NodeEdit(60)->GetId(); }));
    enter(window.NodeEdit(71), "0");
    EXPECT_TRUE(RunUntil([&] { return FocusedId() == window.CorrectionEdit(60)->GetId(); }));
    EXPECT_EQ(TooltipOf(window.NodeEdit(71)),
              "ligne 71 : node « Bip01 R Toe0 » du modèle\ngarde la ligne de repos du modèle");
    enter(window.NodeEdit(70), "109");
    enter(window.CorrectionEdit(70), "0.25");
    ClickInto(window.CorrectionEdit(71));
    user.Char(WXK_RETURN);
    EXPECT_TRUE(RunUntil([&] { return FocusedId() == window.NodeEdit(0)->GetId(); }));
    EXPECT_EQ(TooltipOf(window.CorrectionEdit(70)),
              "ligne 70 : node « Bip01 R Foot » du modèle\nsource : node 9 « Bip01 R Foot », "
              "mélange avec la position de repos, poids 0.25");

    // Built: a line for each of the 72 nodes in every frame, row 71 its rest line as typed.
    window.Answer(folder.Path("runner_walk.smd"));
    window.Press(IDC_ANIM);
    window.Answer(folder.Path("built.smd"));
    window.Press(IDC_BUILD_SMD);
    ASSERT_TRUE(window.messages.empty()) << window.messages.front();
    EXPECT_EQ(window.Dialog().Grid().Nodes()[70], "109");
    EXPECT_EQ(window.Dialog().Grid().Corrections()[70], "0.25");
    std::string written = ReadFile(folder.Path("built.smd"));
    int frames = CountLinesStartingWith(written, "time ");
    ASSERT_GT(frames, 1);
    std::string model = ReadFile(folder.Path("biped72_ref.smd"));
    std::size_t at = model.find("\r\n 71 ") + 2;
    std::string restLine71 = model.substr(at, model.find("\r\n", at) + 2 - at);
    EXPECT_EQ(CountLinesStartingWith(written, restLine71), frames);
    EXPECT_EQ(CountLinesStartingWith(written, " 72 "), 0);

    // The tooltips and the extra column follow the window into another language.
    ASSERT_TRUE(window.SetLanguage("en"));
    EXPECT_EQ(TooltipOf(window.NodeEdit(68)),
              "row 68: model node \"Bip01 R Thigh\"\nsource: node 3 \"Bip01 R Leg\"");
    ASSERT_TRUE(window.SetLanguage("fr"));

    window.Answer(folder.Path("knight_ref.smd"));
    window.Press(IDC_REF_MODEL);
    ASSERT_TRUE(window.messages.empty()) << window.messages.front();
    EXPECT_EQ(window.ShownRows(), DEFAULT_GRID_ROWS);
    EXPECT_EQ(window.GetClientSize(), sixtyRows);
    EXPECT_EQ(window.FindWindow(GridNodeEditId(60)), nullptr);
    ExpectApartAndInside(window);
}

// 83 rows: the column shows 20 of its 23. Its scroll bar is drawn with no pointer over it, takes
// the rows to the last one, and follows when Tab brings the first one back into sight.
TEST(WholeSkeleton, TheExtraColumnsScrollBarIsDrawnAndReachesEveryRow) {
    CSampleFolder folder;
    WriteFile(folder.Path("biped83_ref.smd"), BipedWithCape(folder.Path("knight_ref.smd"), 83));
    CShownWindow window;
    window.Answer(folder.Path("biped83_ref.smd"));
    window.Press(IDC_REF_MODEL);
    ASSERT_TRUE(window.messages.empty()) << window.messages.front();
    ASSERT_EQ(window.ShownRows(), 83);
    ShowAndDraw(window);
    wxScrollBar* bar = nullptr;
    for (wxWindow* child : window.NodeEdit(60)->GetParent()->GetParent()->GetChildren()) {
        if (auto* found = dynamic_cast<wxScrollBar*>(child)) bar = found;
    }
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->IsShownOnScreen());

    wxImage shot = CXScreen().Grab(bar->GetScreenRect());
    wxColour background = window.GetBackgroundColour();
    int marked = 0;
    for (int y = 0; y < shot.GetHeight(); ++y) {
        for (int x = 0; x < shot.GetWidth(); ++x) {
            marked += wxColour(shot.GetRed(x, y), shot.GetGreen(x, y), shot.GetBlue(x, y)) !=
                      background;
        }
    }
    EXPECT_GT(marked, shot.GetWidth() * shot.GetHeight() / 4) << "the bar is not drawn";

    wxWindow* rows = window.NodeEdit(60)->GetParent();
    auto inSight = [&](int row) {
        return rows->GetScreenRect().Contains(window.NodeEdit(row)->GetScreenRect());
    };
    EXPECT_TRUE(inSight(60));
    EXPECT_FALSE(inSight(82));
    // The thumb dragged to the end.
    bar->SetThumbPosition(bar->GetRange());
    wxScrollEvent drag(wxEVT_SCROLL_THUMBTRACK, bar->GetId(), bar->GetThumbPosition(),
                       wxVERTICAL);
    drag.SetEventObject(bar);
    bar->ProcessWindowEvent(drag);
    EXPECT_TRUE(inSight(82));
    EXPECT_FALSE(inSight(60));

    ClickInto(window.CorrectionEdit(59));
    wxUIActionSimulator().Char(WXK_TAB);
    EXPECT_TRUE(RunUntil([&] { return FocusedId() == window.NodeEdit(60)->GetId(); }));
    EXPECT_TRUE(RunUntil([&] { return inSight(60) && bar->GetThumbPosition() == 0; }));

    // A notch of the wheel down over the rows: three rows on, the bar with them.
    wxMouseEvent wheel(wxEVT_MOUSEWHEEL);
    wheel.m_wheelRotation = -120;
    wheel.m_wheelDelta = 120;
    wheel.m_linesPerAction = 3;
    wheel.SetEventObject(rows);
    rows->ProcessWindowEvent(wheel);
    EXPECT_FALSE(inSight(62));
    EXPECT_TRUE(inSight(63) && inSight(82));
    EXPECT_EQ(bar->GetThumbPosition(), 3);
}

TEST(EnglishWindowPicture, SavesAScreenshotOfThePairedGrid) {
    SavePairedWindowPicture("en", "varnex-window-en.png");
}

}  // namespace varnex
