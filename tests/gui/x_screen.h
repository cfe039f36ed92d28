// What the X server itself says about the screen's windows, through a connection of the test's
// own: which top-level windows are stacked above which, where they stand, what size hints the
// window manager is given. Window managers reparent each client into a frame of their own; a
// "frame" here is the root's child that holds a client, decorations included.
#pragma once

#include <wx/gdicmn.h>
#include <wx/image.h>

#include <string>
#include <vector>

struct _XDisplay;

namespace varnex {

class CXScreen {
public:
    CXScreen();
    ~CXScreen();
    CXScreen(const CXScreen&) = delete;
    CXScreen& operator=(const CXScreen&) = delete;

    // Whether a window manager has announced itself on the root window.
    bool HasWindowManager() const;
    wxRect RootRect() const;

    struct TOP_WINDOW {
        unsigned long id;
        wxRect rect;  // border included
    };
    // The root's mapped children, bottom to top.
    std::vector<TOP_WINDOW> Stacking() const;
    // The frame of the client whose title (_NET_WM_NAME) is title; 0 when none is mapped.
    unsigned long FrameOf(const std::string& title) const;
    // The client's inside on the screen, and the sizes it tells the window manager it accepts
    // (0 x 0 when it sets no bound).
    wxRect ClientRect(const std::string& title) const;
    wxSize MinSize(const std::string& title) const { return SizeHint(title, true); }
    wxSize MaxSize(const std::string& title) const { return SizeHint(title, false); }
    // What the screen shows in rect, read from the server at the call.
    wxImage Grab(const wxRect& rect) const;
    // Opens a window of this connection, another program's window for the window manager, over
    // rect and raised; closes it.
    unsigned long OpenWindow(const wxRect& rect);
    void CloseWindow(unsigned long window);
    // Parts of rect that windows stacked above frame hide, one entry per such window.
    std::vector<wxRect> Covered(unsigned long frame, const wxRect& rect) const;

private:
    unsigned long ClientOf(const std::string& title) const;
    unsigned long FindClient(unsigned long window, const std::string& title, int depth) const;
    wxSize SizeHint(const std::string& title, bool least) const;

    ::_XDisplay* m_display = nullptr;
};

}  // namespace varnex
