// The edit box of a grid cell.
#pragma once

#include <wx/textctrl.h>

namespace varnex {

// GTK's entries keep inner margins meant for wide boxes: in the grid's narrow boxes they would
// hide the first digit of a three-digit NODES value.
class CGridEdit : public wxTextCtrl {
public:
    CGridEdit(wxWindow* parent, int id, const wxPoint& at, const wxSize& size)
        : wxTextCtrl(parent, id, wxEmptyString, at, size) {
#ifdef __WXGTK3__
        GTKApplyCssStyle("entry { padding-left: 2px; padding-right: 2px; }");
#endif
    }
};

}  // namespace varnex
