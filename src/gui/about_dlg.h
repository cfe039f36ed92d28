// The About box: the icon, "Varnex version 1.3" and OK, which ends it.
#pragma once

#include <wx/dialog.h>

namespace varnex {

class CAboutDlg : public wxDialog {
public:
    explicit CAboutDlg(wxWindow* parent);
};

}  // namespace varnex
