#include "gui/about_dlg.h"

#include <wx/button.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "gui/dialog_font.h"
#include "gui/varnex_icon.h"
#include "gui/window_layout.h"
#include "gui/wx_text.h"

namespace varnex {

CAboutDlg::CAboutDlg(wxWindow* parent, const CTextCatalog& texts)
    : wxDialog(parent, wxID_ANY, ToWx(texts.Tr(ABOUT_CAPTION)), wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX) {
    SetFont(DialogFont());
    SetClientSize(ConvertDialogToPixels(wxSize(ABOUT_WIDTH, ABOUT_HEIGHT)));
    auto at = [this](const DLG_RECT& r) { return ConvertDialogToPixels(wxPoint(r.x, r.y)); };
    auto size = [this](const DLG_RECT& r) {
        return ConvertDialogToPixels(wxSize(r.width, r.height));
    };
    new wxStaticBitmap(this, wxID_ANY, VarnexBigIcon(), at(ABOUT_ICON_RECT),
                       wxSize(ABOUT_ICON_RECT.width, ABOUT_ICON_RECT.height));
    new wxStaticText(this, wxID_ANY, ToWx(texts.Tr(ABOUT_TEXT)), at(ABOUT_TEXT_RECT),
                     size(ABOUT_TEXT_RECT), wxST_NO_AUTORESIZE);
    auto* ok = new wxButton(this, wxID_OK, ToWx(texts.Tr(ABOUT_OK_TEXT)), at(ABOUT_OK_RECT),
                            size(ABOUT_OK_RECT));
    ok->SetDefault();
    ok->SetFocus();
    CentreOnParent();
}

}  // namespace varnex
