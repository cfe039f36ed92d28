#include "gui/extra_rows.h"

#include <wx/stattext.h>

#include <algorithm>
#include <string>

#include "gui/grid_edit.h"
#include "gui/wx_text.h"
#include "gui/window_layout.h"
#include "pairing/grid.h"

namespace varnex {

CExtraRows::CExtraRows(wxWindow* dialog, int rows, const CTextCatalog& texts) {
    auto px = [dialog](int x, int y) { return dialog->ConvertDialogToPixels(wxPoint(x, y)); };
    // Sizes from the corners, so that a container holds its contents despite rounding.
    auto size = [px](const DLG_RECT& r) {
        wxPoint extent = px(r.x + r.width, r.y + r.height) - px(r.x, r.y);
        return wxSize(extent.x, extent.y);
    };
    const DLG_RECT column = ExtraColumnRect();
    const DLG_RECT area = ExtraRowsRect();
    Create(dialog, wxID_ANY, px(column.x, column.y), size(column), wxTAB_TRAVERSAL | wxBORDER_NONE);
    SetFont(dialog->GetFont());
    // Each control's place is its place in the dialog less its container's.
    auto in = [&](const DLG_RECT& r, const DLG_RECT& container) {
        return px(r.x, r.y) - px(container.x, container.y);
    };

    DLG_RECT nodes = NodesHeadingRect(EXTRA_GROUP);
    DLG_RECT correction = CorrectionHeadingRect(EXTRA_GROUP);
    m_nodesHeading = new wxStaticText(this, wxID_ANY, wxString(), in(nodes, column), size(nodes),
                                      wxST_NO_AUTORESIZE);
    m_correctionHeading = new wxStaticText(this, wxID_ANY, wxString(), in(correction, column),
                                           size(correction), wxST_NO_AUTORESIZE);
    ShowLabels(texts);

    // A scroll bar of its own, beside the rows: the scrolled window's own bar may be an overlay
    // that shows only under the pointer, and nothing would tell that more rows lie below.
    m_bar = new wxScrollBar(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxSB_VERTICAL);
    const wxSize areaSize = size(area);
    const int barWidth = m_bar->GetBestSize().x;
    const wxPoint areaAt = in(area, column);
    m_bar->SetSize(areaAt.x + areaSize.x - barWidth, areaAt.y, barWidth, areaSize.y);
    auto* scrolled = new wxScrolledWindow(this, wxID_ANY, areaAt,
                                          wxSize(areaSize.x - barWidth, areaSize.y),
                                          wxVSCROLL | wxTAB_TRAVERSAL | wxBORDER_NONE);
    m_rows = scrolled;
    scrolled->SetFont(dialog->GetFont());
    scrolled->ShowScrollbars(wxSHOW_SB_NEVER, wxSHOW_SB_NEVER);
    int pitch = dialog->ConvertDialogToPixels(wxSize(0, GRID_ROW_PITCH)).y;
    scrolled->SetScrollRate(0, pitch);
    int extra = rows - DEFAULT_GRID_ROWS;
    scrolled->SetVirtualSize(areaSize.x - barWidth,
                             dialog->ConvertDialogToPixels(wxSize(0, GRID_ROW_PITCH * extra)).y);
    m_bar->SetScrollbar(0, GROUP_ROWS, std::max(extra, GROUP_ROWS), GROUP_ROWS - 1);
    m_bar->Enable(extra > GROUP_ROWS);
    m_bar->Bind(wxEVT_SCROLL_CHANGED, &CExtraRows::OnBarMoved, this);
    m_bar->Bind(wxEVT_SCROLL_THUMBTRACK, &CExtraRows::OnBarMoved, this);
    m_bar->Bind(wxEVT_SCROLL_LINEUP, &CExtraRows::OnBarMoved, this);
    m_bar->Bind(wxEVT_SCROLL_LINEDOWN, &CExtraRows::OnBarMoved, this);
    m_bar->Bind(wxEVT_SCROLL_PAGEUP, &CExtraRows::OnBarMoved, this);
    m_bar->Bind(wxEVT_SCROLL_PAGEDOWN, &CExtraRows::OnBarMoved, this);
    m_bar->Bind(wxEVT_SCROLL_TOP, &CExtraRows::OnBarMoved, this);
    m_bar->Bind(wxEVT_SCROLL_BOTTOM, &CExtraRows::OnBarMoved, this);
    // Tab into a row out of sight scrolls the rows to it; the bar follows once they have moved.
    scrolled->Bind(wxEVT_CHILD_FOCUS, [this](wxChildFocusEvent& event) {
        event.Skip();
        CallAfter([this] { m_bar->SetThumbPosition(m_rows->GetViewStart().y); });
    });
    scrolled->Bind(wxEVT_MOUSEWHEEL, &CExtraRows::OnWheel, this);

    // Tab visits the controls in the order they are created.
    for (int row = DEFAULT_GRID_ROWS; row < rows; ++row) {
        DLG_RECT r = NodeEditRect(row);
        m_nodeEdits.push_back(new CGridEdit(scrolled, GridNodeEditId(row), in(r, area), size(r)));
    }
    for (int row = DEFAULT_GRID_ROWS; row < rows; ++row) {
        DLG_RECT r = CorrectionEditRect(row);
        m_correctionEdits.push_back(
            new CGridEdit(scrolled, GridCorrectionEditId(row), in(r, area), size(r)));
    }
    for (int row = DEFAULT_GRID_ROWS; row < rows; ++row) {
        DLG_RECT label = RowLabelRect(row);
        new wxStaticText(scrolled, wxID_ANY, std::to_string(row), in(label, area), size(label),
                         wxST_NO_AUTORESIZE);
    }
}

void CExtraRows::ScrollTo(int firstRow) {
    int last = std::max(0, m_bar->GetRange() - m_bar->GetThumbSize());
    firstRow = std::clamp(firstRow, 0, last);
    m_rows->Scroll(0, firstRow);
    m_bar->SetThumbPosition(firstRow);
}

void CExtraRows::OnBarMoved(wxScrollEvent& event) { ScrollTo(event.GetPosition()); }

void CExtraRows::OnWheel(wxMouseEvent& event) {
    if (event.GetWheelDelta() <= 0 || event.GetWheelAxis() != wxMOUSE_WHEEL_VERTICAL) return;
    int rows = -event.GetWheelRotation() * event.GetLinesPerAction() / event.GetWheelDelta();
    ScrollTo(m_rows->GetViewStart().y + rows);
}

void CExtraRows::ShowLabels(const CTextCatalog& texts) {
    m_nodesHeading->SetLabel(ToWx(texts.Tr(NODES_HEADING)));
    m_correctionHeading->SetLabel(ToWx(texts.Tr(CORRECTION_HEADING)));
}

int CExtraRows::Rows() const { return DEFAULT_GRID_ROWS + static_cast<int>(m_nodeEdits.size()); }

wxTextCtrl* CExtraRows::NodeEdit(int row) const {
    return m_nodeEdits[static_cast<std::size_t>(row - DEFAULT_GRID_ROWS)];
}

wxTextCtrl* CExtraRows::CorrectionEdit(int row) const {
    return m_correctionEdits[static_cast<std::size_t>(row - DEFAULT_GRID_ROWS)];
}

}  // namespace varnex
