// Where the preview window stands beside the main window, in screen pixels, frames included.
// Plain arithmetic on rectangles: the windows are moved by their owners.
#pragma once

#include <wx/gdicmn.h>

namespace varnex {

struct PREVIEW_PLACE {
    wxPoint main;    // the main window's frame, moved only when that makes room
    wxRect preview;  // the preview's frame
};

// The preview of size wanted (least at the smallest) beside the main window's frame main on the
// work area screen, never over it when both fit: right of it, else left, else beside with the main
// window moved across, else below or above (the main window moved up or down if need be), else
// beside or below at the size there is room for, whichever is larger. On a screen too small for
// both at their least sizes the preview, at its least width, stands at the screen's left edge and
// the main window at its right edge, the preview over the main window's left part (the grid's
// first rows, not the buttons). Both stay on the screen as far as their sizes allow.
PREVIEW_PLACE PlacePreview(const wxRect& screen, const wxRect& main, wxSize wanted, wxSize least);

}  // namespace varnex
