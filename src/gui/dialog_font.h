// The font the dialogs are laid out in (their dialog units follow it): the system's sans-serif
// face at 8 points.
#pragma once

#include <wx/font.h>

namespace varnex {

inline wxFont DialogFont() { return wxFont(wxFontInfo(8).Family(wxFONTFAMILY_SWISS)); }

}  // namespace varnex
