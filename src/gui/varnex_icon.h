// The application icon, 32x32 and 16x16.
#pragma once

#include <wx/bitmap.h>
#include <wx/iconbndl.h>

namespace varnex {

// Both sizes, for the window's caption and task bar entry.
wxIconBundle VarnexIcons();
// The 32x32 image, for the About box.
wxBitmap VarnexBigIcon();

}  // namespace varnex
