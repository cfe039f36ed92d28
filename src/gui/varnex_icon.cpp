#include "gui/varnex_icon.h"

#include <wx/icon.h>

#include "varnex_16.xpm"
#include "varnex_32.xpm"

namespace varnex {

wxIconBundle VarnexIcons() {
    wxIconBundle icons;
    icons.AddIcon(wxIcon(varnex_32_xpm));
    icons.AddIcon(wxIcon(varnex_16_xpm));
    return icons;
}

wxBitmap VarnexBigIcon() { return wxBitmap(varnex_32_xpm); }

}  // namespace varnex
