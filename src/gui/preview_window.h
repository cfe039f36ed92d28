// The window's preview: the animation on its skeleton beside its retarget on the model's, for the
// grid as the main window shows it, with a legend of the colours. A frame slider, play and pause,
// front and side views (which also undo zoom and pan), a drag that turns the view, a drag with the
// right button or with Shift that moves it, and the wheel that zooms about the pointer. The main
// window tells it of every change: leaving a grid box after typing redraws the result from memory,
// a load or an option reads everything again; no file is written.
#pragma once

#include <wx/button.h>
#include <wx/dcmemory.h>
#include <wx/frame.h>
#include <wx/graphics.h>
#include <wx/slider.h>
#include <wx/stattext.h>
#include <wx/timer.h>

#include <memory>
#include <optional>
#include <vector>

#include "platform/text_catalog.h"
#include "preview/preview_scene.h"

namespace varnex {

class CVarnexWindow;

// The context menu's entries of the main window.
inline constexpr int IDM_PREVIEW = 17;
inline constexpr int IDM_ROOT_FROM_LEGS = 18;

// Draws a scene with wxWidgets' own graphics context.
class CPreviewCanvas : public wxWindow {
public:
    // Its labels speak the language of texts, which outlives it.
    CPreviewCanvas(wxWindow* parent, const CTextCatalog& texts);

    // The scene to draw (none: an empty canvas); the canvas does not own it.
    void SetScene(CPreviewScene* scene) { m_scene = scene; }
    void SetFrame(int frame) { m_frame = frame; }
    SCENE_VIEW& View() { return m_view; }

    // One drawing of size into dc: panels, ground lines, bones, the colours' legend.
    void Draw(wxMemoryDC& dc, const wxSize& size);
    // The same into a bitmap, as a screen of that scale (2 at 200 %) would show it.
    wxBitmap Render(const wxSize& size, double scale = 1.0);
    // The front or side view (yaw), unzoomed and centred.
    void ResetView(double yaw);
    // The last drawing: its bones and marks, and where the legend's entries stood (stroke and
    // text).
    const SCENE_DRAWING& LastDrawing() const { return m_drawing; }
    const std::vector<wxRect2DDouble>& LegendEntries() const { return m_legend; }

private:
    void OnPaint(wxPaintEvent& event);
    void OnMouse(wxMouseEvent& event);
    template <class DC>
    void Paint(DC& dc, const wxSize& size);
    // Places the legend's entries in rows along the bottom of size; the height left above them.
    double LayOutLegend(wxDC& dc, const wxSize& size);
    // Everything but the texts, the figures in the top figures pixels; then the texts.
    void DrawLines(wxGraphicsContext& gc, const wxSize& size, double figures);
    void DrawTexts(wxDC& dc, const wxSize& size);
    // A planted foot's mark centred on (x, y).
    void DrawMark(wxGraphicsContext& gc, double x, double y, BONE_COLOUR colour);

    const CTextCatalog& m_texts;
    CPreviewScene* m_scene = nullptr;
    int m_frame = 0;
    SCENE_VIEW m_view;
    SCENE_DRAWING m_drawing;
    std::vector<wxRect2DDouble> m_legend;
    wxPoint m_dragFrom;
    bool m_panning = false;  // the drag moves the figures rather than turning them
};

class CPreviewWindow : public wxFrame {
public:
    // Opens on what owner's dialog has loaded, speaking owner's language: at place (a frame left
    // there in an earlier run) unless that would cover owner, else beside owner.
    explicit CPreviewWindow(CVarnexWindow& owner, const std::optional<wxRect>& place = {});

    // Stands beside owner on its screen, moving owner if that makes room (see PlacePreview).
    void PlaceBeside();
    // Whether the whole window lies on a screen's work area.
    bool OnScreen() const;

    // Gives the title, the buttons and the status line their texts in owner's language (after
    // owner changed it).
    void ShowLabels();

    // Reads the animation and the grid again (after a new load), on the same frame and playing
    // if it was; a problem is told in the preview's status line, in place of what it told
    // before, and leaves the preview empty.
    void Reload();
    // Takes the grid from the owner's screen and redraws the result.
    void FollowGrid();
    void ShowFrame(int frame);
    void SetPlaying(bool on);

    CPreviewCanvas* Canvas() const { return m_canvas; }
    wxSlider* Slider() const { return m_slider; }
    wxStaticText* StatusLine() const { return m_status; }
    wxButton* PlayButton() const { return m_play; }
    wxButton* FrontButton() const { return m_front; }
    bool Playing() const { return m_timer.IsRunning(); }
    int Frame() const { return m_frame; }

private:
    void OnSlider(wxCommandEvent& event);
    void OnTimer(wxTimerEvent& event);
    void SetView(double yaw);
    void ShowFrameStatus();

    CVarnexWindow& m_owner;
    std::unique_ptr<CPreviewScene> m_scene;
    CPreviewCanvas* m_canvas = nullptr;
    wxSlider* m_slider = nullptr;
    wxButton* m_play = nullptr;
    wxButton* m_front = nullptr;
    wxButton* m_side = nullptr;
    wxStaticText* m_status = nullptr;
    wxTimer m_timer;
    int m_frame = 0;
    wxSize m_wantedClientSize;  // as laid out at first; smaller only where the screen lacks room
};

}  // namespace varnex
