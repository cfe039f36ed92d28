// Where the controls of the main dialog and of the About box stand, in dialog units, and the
// order in which the Tab key visits the main dialog's controls. Plain data, no window system.
#pragma once

#include <array>
#include <vector>

#include "platform/text_catalog.h"

namespace varnex {

struct DLG_RECT {
    int x;
    int y;
    int width;
    int height;
};

struct BUTTON_LAYOUT {
    const char* label;  // the French original, looked up in the user's language
    int id;
    DLG_RECT rect;
};

// The main dialog.
inline constexpr const char* MAIN_CAPTION = "Varnex 1.3";
inline constexpr int MAIN_WIDTH = 479;
// The grid and the buttons take the top 348 units; the status line is added below them.
inline constexpr int MAIN_HEIGHT = 357;
inline constexpr DLG_RECT STATUS_LINE_RECT = {7, 345, 464, 8};
inline constexpr int GRID_GROUPS = 3;
inline constexpr int GROUP_ROWS = 20;
// From one grid row to the next.
inline constexpr int GRID_ROW_PITCH = 15;

// Button ids.
inline constexpr int IDC_REF_MODEL = 1020;
inline constexpr int IDC_ANIM = 1021;
inline constexpr int IDC_BUILD_SMD = 1022;
inline constexpr int IDC_QUIT = 1043;
inline constexpr int IDC_REF_ANIM = 1044;
inline constexpr int IDC_SAVE_CON = 1045;
inline constexpr int IDC_LOAD_CON = 1046;
inline constexpr int IDC_HELP_BUTTON = 1127;
inline constexpr int IDC_CONVERT_BIPED = 1130;

// The items of the window's menu, and the About box.
inline constexpr int IDM_ABOUTBOX = 16;
// The texts are French originals, looked up in the user's language.
inline constexpr const char* ABOUT_ITEM_TEXT = MarkText("&A propos de Varnex...\tAlt+A");
// The menu's checkable entry: the next SMD Ref Animation also pairs same-named nodes.
inline constexpr int IDM_PAIR_SAME_NAMES = 48;
inline constexpr const char* PAIR_SAME_NAMES_ITEM_TEXT =
    MarkText("Apparier aussi les nodes de même nom");
// The menu's checkable entry: BUILD SMD, a set, the preview and the check point each bone as the
// source's, in the world, on the model's own lengths.
inline constexpr int IDM_WORLD_METHOD = 49;
inline constexpr const char* WORLD_METHOD_ITEM_TEXT = MarkText("Orientations du monde");
// The menu's checkable entry: BUILD SMD, a set, the preview and the check hold the feet on the
// ground where the source's feet are planted.
inline constexpr int IDM_FEET_CONTACT = 51;
inline constexpr const char* FEET_CONTACT_ITEM_TEXT = MarkText("Pieds au sol");
// The menu's entry that builds a whole set from a .qc.
inline constexpr int IDM_QC_SET = 50;
inline constexpr const char* QC_SET_ITEM_TEXT = MarkText("Tout un .qc…");
// The menu's entry that puts back every remembered choice as a first run has it.
inline constexpr int IDM_DEFAULT_SETTINGS = 19;
inline constexpr const char* DEFAULT_SETTINGS_ITEM_TEXT = MarkText("Réglages d'origine");
inline constexpr const char* ABOUT_CAPTION = MarkText("A propos de Varnex");
inline constexpr const char* ABOUT_TEXT = MarkText("Varnex version 1.3");
inline constexpr const char* ABOUT_OK_TEXT = MarkText("OK");
// The languages of the window's menu: the first item's id, one item a language.
inline constexpr int IDM_LANGUAGE_FIRST = 32;
inline constexpr int LANGUAGE_ITEMS = 16;
inline constexpr int ABOUT_WIDTH = 235;
inline constexpr int ABOUT_HEIGHT = 78;
inline constexpr DLG_RECT ABOUT_ICON_RECT = {11, 17, 32, 32};  // size in pixels, not units
inline constexpr DLG_RECT ABOUT_TEXT_RECT = {50, 7, 119, 8};
inline constexpr DLG_RECT ABOUT_OK_RECT = {178, 7, 50, 14};

// The nine buttons, top to bottom on the right, then the two conversion file buttons.
extern const std::array<BUTTON_LAYOUT, 9> MAIN_BUTTONS;

// The headings of each group of the grid (French originals).
inline constexpr const char* NODES_HEADING = MarkText("NODES");
inline constexpr const char* CORRECTION_HEADING = MarkText("Correction");

// A grid row's number label and two edit boxes. Rows 60 and above stand in the extra column,
// one under the other from its top, as if it went on down: its scrolled area shows them.
DLG_RECT RowLabelRect(int row);
DLG_RECT NodeEditRect(int row);
DLG_RECT CorrectionEditRect(int row);
// Group 0 to 2, or EXTRA_GROUP: its two headings.
DLG_RECT NodesHeadingRect(int group);
DLG_RECT CorrectionHeadingRect(int group);

// When the model has more than 60 nodes the dialog widens by one column of 20 rows right of the
// third group, and the buttons on the right move over to make room; the column scrolls when it
// holds more than 20 rows. The first 60 rows stay where they are.
inline constexpr int EXTRA_GROUP = GRID_GROUPS;
inline constexpr int EXTRA_COLUMN_WIDTH = 130;
// The extra column, headings included, and its scrolled part.
DLG_RECT ExtraColumnRect();
DLG_RECT ExtraRowsRect();
// Where a button or the status line stands, with or without the extra column.
DLG_RECT ButtonRect(const BUTTON_LAYOUT& button, bool extraColumn);
DLG_RECT StatusLineRect(bool extraColumn);

// Control ids of any grid row's boxes: those of the dialog for rows 0 to 59, then from 6000 up,
// clear of the dialog's ids and of the window system's own (4999 to 5999).
int GridNodeEditId(int row);
int GridCorrectionEditId(int row);

// The ids of the focusable controls of the main dialog, in Tab order.
std::vector<int> MainTabOrder();

}  // namespace varnex
