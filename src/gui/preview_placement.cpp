#include "gui/preview_placement.h"

#include <algorithm>

namespace varnex {

namespace {
// Between the two frames.
constexpr int GAP = 8;

// value moved into [low, high]; low when the range is empty (a window larger than the screen
// shows its top left corner).
int Clamp(int value, int low, int high) { return std::max(low, std::min(value, high)); }

long long Area(const wxSize& size) {
    return static_cast<long long>(size.x) * static_cast<long long>(size.y);
}
}  // namespace

PREVIEW_PLACE PlacePreview(const wxRect& screen, const wxRect& main, wxSize wanted, wxSize least) {
    wanted.DecTo(screen.GetSize());
    least.DecTo(wanted);
    const int right = screen.x + screen.width;  // one past the last column
    const int bottom = screen.y + screen.height;
    wxPoint kept(Clamp(main.x, screen.x, right - main.width),
                 Clamp(main.y, screen.y, bottom - main.height));

    auto beside = [&](wxPoint at, wxSize size, bool onTheRight) {
        int x = onTheRight ? at.x + main.width + GAP : at.x - GAP - size.x;
        return wxRect(wxPoint(x, Clamp(at.y, screen.y, bottom - size.y)), size);
    };
    auto under = [&](wxPoint at, wxSize size, bool below) {
        int y = below ? at.y + main.height + GAP : at.y - GAP - size.y;
        return wxRect(wxPoint(Clamp(at.x, screen.x, right - size.x), y), size);
    };

    for (bool onTheRight : {true, false}) {
        wxRect r = beside(kept, wanted, onTheRight);
        if (screen.Contains(r)) return {kept, r};
    }
    const int across = screen.width - main.width - GAP;  // room beside a main window moved across
    const int down = screen.height - main.height - GAP;  // room below one moved up
    if (across >= wanted.x) {
        wxPoint moved(Clamp(kept.x, screen.x, right - main.width - GAP - wanted.x), kept.y);
        return {moved, beside(moved, wanted, true)};
    }
    for (bool below : {true, false}) {
        wxRect r = under(kept, wanted, below);
        if (screen.Contains(r)) return {kept, r};
    }
    if (down >= wanted.y) {
        wxPoint moved(kept.x, Clamp(kept.y, screen.y, bottom - main.height - GAP - wanted.y));
        return {moved, under(moved, wanted, true)};
    }
    wxSize narrower(across, wanted.y);
    wxSize shorter(wanted.x, down);
    bool besideFits = across >= least.x;
    bool belowFits = down >= least.y;
    if (besideFits && (!belowFits || Area(narrower) >= Area(shorter))) {
        wxPoint moved(screen.x, kept.y);
        return {moved, beside(moved, narrower, true)};
    }
    if (belowFits) {
        wxPoint moved(kept.x, screen.y);
        return {moved, under(moved, shorter, true)};
    }
    // Too small for both: the main window at the screen's right edge and the preview, as narrow as
    // it goes, at its left, so that it covers as little as it can of the main window, and not the
    // buttons on its right.
    wxPoint moved(Clamp(right - main.width, screen.x, right), kept.y);
    wxSize size(least.x, wanted.y);
    return {moved, wxRect(wxPoint(screen.x, Clamp(kept.y, screen.y, bottom - size.y)), size)};
}

}  // namespace varnex
