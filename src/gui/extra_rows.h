// Grid rows 60 and above, for a model of more nodes: a column of its own beside the first 60 rows,
// with its headings and a scrolled area that shows 20 rows at a time, beside a scroll bar always
// drawn (greyed while the rows fit).
#pragma once

#include <wx/panel.h>
#include <wx/scrolbar.h>
#include <wx/scrolwin.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <vector>

#include "platform/text_catalog.h"

namespace varnex {

class CExtraRows : public wxPanel {
public:
    // The boxes of rows 60 to rows - 1 in dialog's extra column, laid out in dialog's units, with
    // their own ids; in Tab order the NODES boxes top to bottom, then the Correction boxes. The
    // headings speak the language of texts.
    CExtraRows(wxWindow* dialog, int rows, const CTextCatalog& texts);

    // Gives the headings their texts in the language of texts.
    void ShowLabels(const CTextCatalog& texts);

    // The grid's rows, the first 60 included.
    int Rows() const;
    // Row 60 to Rows() - 1.
    wxTextCtrl* NodeEdit(int row) const;
    wxTextCtrl* CorrectionEdit(int row) const;
    wxScrollBar* ScrollBar() const { return m_bar; }
    // Scrolls the rows and the bar so that the column's top shows row 60 + firstRow, or as near
    // as the rows allow.
    void ScrollTo(int firstRow);

private:
    void OnBarMoved(wxScrollEvent& event);
    void OnWheel(wxMouseEvent& event);

    wxScrolledWindow* m_rows = nullptr;
    wxScrollBar* m_bar = nullptr;
    wxStaticText* m_nodesHeading = nullptr;
    wxStaticText* m_correctionHeading = nullptr;
    std::vector<wxTextCtrl*> m_nodeEdits;
    std::vector<wxTextCtrl*> m_correctionEdits;
};

}  // namespace varnex
