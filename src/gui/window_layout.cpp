#include "gui/window_layout.h"

#include "app/varnex_dlg.h"

namespace varnex {

namespace {
// x and width of each column of a group.
struct GROUP_COLUMNS {
    int labelX, labelWidth;
    int nodeX, nodeWidth;
    int correctionX, correctionWidth;
    int correctionHeadingWidth;
};

constexpr GROUP_COLUMNS GROUPS[GRID_GROUPS + 1] = {
    {7, 18, 26, 19, 64, 51, 51},
    {135, 18, 155, 20, 195, 50, 63},
    {265, 18, 285, 20, 325, 49, 63},
    {395, 18, 415, 20, 455, 49, 63},  // the extra column
};

constexpr int HEADING_Y = 6;
constexpr int TEXT_HEIGHT = 8;
constexpr int EDIT_HEIGHT = 12;
constexpr int NODES_HEADING_WIDTH = 31;
constexpr int FIRST_EDIT_Y = 17;
constexpr int FIRST_LABEL_Y = 22;

constexpr int FIRST_EXTRA_ROW = GRID_GROUPS * GROUP_ROWS;
static_assert(FIRST_EXTRA_ROW == DEFAULT_GRID_ROWS);
// Buttons from here rightwards move with the extra column.
constexpr int RIGHT_BUTTONS_X = 394;
constexpr int FIRST_EXTRA_ID = 6000;

const GROUP_COLUMNS& GroupOf(int row) {
    return GROUPS[row < FIRST_EXTRA_ROW ? row / GROUP_ROWS : EXTRA_GROUP];
}
// The row's place from the top of its column.
int PlaceInColumn(int row) { return row < FIRST_EXTRA_ROW ? row % GROUP_ROWS : row - FIRST_EXTRA_ROW; }
int EditY(int row) { return FIRST_EDIT_Y + GRID_ROW_PITCH * PlaceInColumn(row); }
}  // namespace

const std::array<BUTTON_LAYOUT, 9> MAIN_BUTTONS = {{
    {MarkText("SMD Ref Modele"), IDC_REF_MODEL, {394, 30, 77, 15}},
    {MarkText("SMD Ref Animation"), IDC_REF_ANIM, {394, 60, 77, 16}},
    {MarkText("SMD Animation"), IDC_ANIM, {394, 89, 77, 15}},
    {MarkText("Convert CS Bipede"), IDC_CONVERT_BIPED, {394, 120, 77, 15}},
    {MarkText("BUILD SMD"), IDC_BUILD_SMD, {394, 165, 77, 15}},
    {MarkText("HELP"), IDC_HELP_BUTTON, {394, 225, 77, 15}},
    {MarkText("QUIT"), IDC_QUIT, {394, 325, 77, 15}},
    {MarkText("Save  Con file"), IDC_SAVE_CON, {7, 325, 65, 15}},
    {MarkText("Load Con file"), IDC_LOAD_CON, {115, 325, 71, 15}},
}};

DLG_RECT RowLabelRect(int row) {
    const GROUP_COLUMNS& g = GroupOf(row);
    return {g.labelX, FIRST_LABEL_Y + GRID_ROW_PITCH * PlaceInColumn(row), g.labelWidth, TEXT_HEIGHT};
}

DLG_RECT NodeEditRect(int row) {
    const GROUP_COLUMNS& g = GroupOf(row);
    return {g.nodeX, EditY(row), g.nodeWidth, EDIT_HEIGHT};
}

DLG_RECT CorrectionEditRect(int row) {
    const GROUP_COLUMNS& g = GroupOf(row);
    return {g.correctionX, EditY(row), g.correctionWidth, EDIT_HEIGHT};
}

DLG_RECT NodesHeadingRect(int group) {
    return {GROUPS[group].labelX, HEADING_Y, NODES_HEADING_WIDTH, TEXT_HEIGHT};
}

DLG_RECT CorrectionHeadingRect(int group) {
    const GROUP_COLUMNS& g = GROUPS[group];
    return {g.correctionX, HEADING_Y, g.correctionHeadingWidth, TEXT_HEIGHT};
}

DLG_RECT ExtraColumnRect() {
    // From the headings down to the last visible row, with room for the scroll bar on the right.
    DLG_RECT rows = ExtraRowsRect();
    return {rows.x, HEADING_Y, rows.width, rows.y + rows.height - HEADING_Y};
}

DLG_RECT ExtraRowsRect() {
    const GROUP_COLUMNS& g = GROUPS[EXTRA_GROUP];
    return {g.labelX - 2, FIRST_EDIT_Y, EXTRA_COLUMN_WIDTH - 5, GRID_ROW_PITCH * GROUP_ROWS};
}

DLG_RECT ButtonRect(const BUTTON_LAYOUT& button, bool extraColumn) {
    DLG_RECT r = button.rect;
    if (extraColumn && r.x >= RIGHT_BUTTONS_X) r.x += EXTRA_COLUMN_WIDTH;
    return r;
}

DLG_RECT StatusLineRect(bool extraColumn) {
    DLG_RECT r = STATUS_LINE_RECT;
    if (extraColumn) r.width += EXTRA_COLUMN_WIDTH;
    return r;
}

int GridNodeEditId(int row) {
    return row < FIRST_EXTRA_ROW ? NodeEditId(row) : FIRST_EXTRA_ID + 2 * (row - FIRST_EXTRA_ROW);
}

int GridCorrectionEditId(int row) {
    return row < FIRST_EXTRA_ROW ? CorrectionEditId(row)
                                 : FIRST_EXTRA_ID + 2 * (row - FIRST_EXTRA_ROW) + 1;
}

std::vector<int> MainTabOrder() {
    std::vector<int> order;
    for (int row = 0; row < 40; ++row) order.push_back(NodeEditId(row));
    for (int id : {IDC_REF_MODEL, IDC_ANIM, IDC_BUILD_SMD, IDC_QUIT, IDC_REF_ANIM, IDC_SAVE_CON,
                   IDC_LOAD_CON}) {
        order.push_back(id);
    }
    for (int row = 0; row < 40; ++row) order.push_back(CorrectionEditId(row));
    for (int row = 40; row < DEFAULT_GRID_ROWS; ++row) order.push_back(NodeEditId(row));
    for (int row = 40; row < DEFAULT_GRID_ROWS; ++row) order.push_back(CorrectionEditId(row));
    order.push_back(IDC_HELP_BUTTON);
    order.push_back(IDC_CONVERT_BIPED);
    return order;
}

}  // namespace varnex
