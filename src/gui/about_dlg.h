// The About box: the icon, "Varnex version 1.3" and OK, which ends it, in the language of texts.
#pragma once

#include <wx/dialog.h>

#include "platform/text_catalog.h"

namespace varnex {

class CAboutDlg : public wxDialog {
public:
    explicit CAboutDlg(wxWindow* parent, const CTextCatalog& texts = OriginalTexts());
};

}  // namespace varnex
