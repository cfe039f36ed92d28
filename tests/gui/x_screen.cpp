#include "x_screen.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace varnex {

namespace {
// The window's parent and children, children bottom to top.
std::vector<Window> Children(Display* display, Window window, Window* parent = nullptr) {
    Window root = 0, up = 0;
    Window* list = nullptr;
    unsigned count = 0;
    std::vector<Window> children;
    if (XQueryTree(display, window, &root, &up, &list, &count)) {
        children.assign(list, list + count);
        if (list) XFree(list);
    }
    if (parent) *parent = up;
    return children;
}

std::string Utf8Name(Display* display, Window window) {
    Atom name = XInternAtom(display, "_NET_WM_NAME", False);
    Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, left = 0;
    unsigned char* data = nullptr;
    std::string text;
    if (XGetWindowProperty(display, window, name, 0, 1024, False, utf8, &type, &format, &items,
                           &left, &data) == Success &&
        data) {
        if (type == utf8 && format == 8) text.assign(reinterpret_cast<char*>(data), items);
        XFree(data);
    }
    return text;
}
}  // namespace

CXScreen::CXScreen() : m_display(XOpenDisplay(nullptr)) {}

CXScreen::~CXScreen() {
    if (m_display) XCloseDisplay(m_display);
}

bool CXScreen::HasWindowManager() const {
    if (!m_display) return false;
    Atom check = XInternAtom(m_display, "_NET_SUPPORTING_WM_CHECK", False);
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, left = 0;
    unsigned char* data = nullptr;
    bool found = XGetWindowProperty(m_display, DefaultRootWindow(m_display), check, 0, 1, False,
                                    XA_WINDOW, &type, &format, &items, &left, &data) == Success &&
                 data && items == 1;
    if (data) XFree(data);
    return found;
}

wxRect CXScreen::RootRect() const {
    if (!m_display) return wxRect();
    XWindowAttributes a;
    XGetWindowAttributes(m_display, DefaultRootWindow(m_display), &a);
    return wxRect(a.x, a.y, a.width, a.height);
}

std::vector<CXScreen::TOP_WINDOW> CXScreen::Stacking() const {
    std::vector<TOP_WINDOW> stacking;
    if (!m_display) return stacking;
    XSync(m_display, False);
    for (Window child : Children(m_display, DefaultRootWindow(m_display))) {
        XWindowAttributes a;
        if (!XGetWindowAttributes(m_display, child, &a) || a.map_state != IsViewable ||
            a.c_class == InputOnly) {
            continue;
        }
        stacking.push_back({child, wxRect(a.x, a.y, a.width + 2 * a.border_width,
                                          a.height + 2 * a.border_width)});
    }
    return stacking;
}

unsigned long CXScreen::FindClient(unsigned long window, const std::string& title,
                                   int depth) const {
    if (Utf8Name(m_display, window) == title) return window;
    if (depth == 0) return 0;
    for (Window child : Children(m_display, window)) {
        if (unsigned long found = FindClient(child, title, depth - 1)) return found;
    }
    return 0;
}

unsigned long CXScreen::ClientOf(const std::string& title) const {
    if (!m_display) return 0;
    XSync(m_display, False);
    for (const TOP_WINDOW& top : Stacking()) {
        if (unsigned long client = FindClient(top.id, title, 3)) return client;
    }
    return 0;
}

unsigned long CXScreen::FrameOf(const std::string& title) const {
    Window window = ClientOf(title);
    Window root = m_display ? DefaultRootWindow(m_display) : 0;
    while (window != 0) {
        Window parent = 0;
        Children(m_display, window, &parent);
        if (parent == root) return window;
        window = parent;
    }
    return 0;
}

wxRect CXScreen::ClientRect(const std::string& title) const {
    Window client = ClientOf(title);
    XWindowAttributes a;
    if (client == 0 || !XGetWindowAttributes(m_display, client, &a)) return wxRect();
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(m_display, client, DefaultRootWindow(m_display), 0, 0, &x, &y, &child);
    return wxRect(x, y, a.width, a.height);
}

wxSize CXScreen::SizeHint(const std::string& title, bool least) const {
    XSizeHints hints{};
    long given = 0;
    Window client = ClientOf(title);
    if (client == 0 || !XGetWMNormalHints(m_display, client, &hints, &given) ||
        !(hints.flags & (least ? PMinSize : PMaxSize))) {
        return wxSize(0, 0);
    }
    return least ? wxSize(hints.min_width, hints.min_height)
                 : wxSize(hints.max_width, hints.max_height);
}

wxImage CXScreen::Grab(const wxRect& rect) const {
    wxImage image(rect.width, rect.height);
    if (!m_display) return image;
    XSync(m_display, False);
    XImage* shot = XGetImage(m_display, DefaultRootWindow(m_display), rect.x, rect.y,
                             static_cast<unsigned>(rect.width), static_cast<unsigned>(rect.height),
                             AllPlanes, ZPixmap);
    if (!shot) return image;
    for (int y = 0; y < rect.height; ++y) {
        for (int x = 0; x < rect.width; ++x) {
            unsigned long pixel = XGetPixel(shot, x, y);
            image.SetRGB(x, y, static_cast<unsigned char>((pixel & shot->red_mask) >> 16),
                         static_cast<unsigned char>((pixel & shot->green_mask) >> 8),
                         static_cast<unsigned char>(pixel & shot->blue_mask));
        }
    }
    XDestroyImage(shot);
    return image;
}

unsigned long CXScreen::OpenWindow(const wxRect& rect) {
    if (!m_display) return 0;
    Window root = DefaultRootWindow(m_display);
    Window window = XCreateSimpleWindow(m_display, root, rect.x, rect.y,
                                        static_cast<unsigned>(rect.width),
                                        static_cast<unsigned>(rect.height), 0, 0, 0);
    XSizeHints hints{};
    hints.flags = USPosition | USSize;
    hints.x = rect.x;
    hints.y = rect.y;
    hints.width = rect.width;
    hints.height = rect.height;
    XSetWMNormalHints(m_display, window, &hints);
    XMapRaised(m_display, window);
    XSync(m_display, False);
    return window;
}

void CXScreen::CloseWindow(unsigned long window) {
    if (!m_display || window == 0) return;
    XDestroyWindow(m_display, window);
    XSync(m_display, False);
}

std::vector<wxRect> CXScreen::Covered(unsigned long frame, const wxRect& rect) const {
    std::vector<wxRect> covered;
    bool above = false;
    for (const TOP_WINDOW& top : Stacking()) {
        if (above && top.rect.Intersects(rect)) covered.push_back(top.rect.Intersect(rect));
        above |= top.id == frame;
    }
    return covered;
}

}  // namespace varnex
