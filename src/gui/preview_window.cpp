#include "gui/preview_window.h"

#include <wx/dcbuffer.h>
#include <wx/dcmemory.h>
#include <wx/display.h>
#include <wx/graphics.h>
#include <wx/panel.h>
#include <wx/sizer.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "app/error_text.h"
#include "gui/preview_placement.h"
#include "gui/varnex_window.h"
#include "gui/wx_text.h"
#include "app/window_texts.h"
#include "motion/motion_texts.h"
#include "preview/svg_preview.h"

namespace varnex {

namespace {
constexpr int PLAY_FPS = 30;
constexpr double TURN_PER_PIXEL = 0.01;  // radians
constexpr double ZOOM_PER_NOTCH = 1.15;
// The canvas at first: two panels taller than wide, as a standing figure is.
const wxSize CANVAS_SIZE(600, 460);
const wxSize LEAST_CANVAS_SIZE(300, 260);

wxColour ColourOf(BONE_COLOUR colour) {
    switch (colour) {
        case BONE_COLOUR::LEFT:
            return wxColour(PREVIEW_LEFT_COLOUR);
        case BONE_COLOUR::RIGHT:
            return wxColour(PREVIEW_RIGHT_COLOUR);
        case BONE_COLOUR::UNPAIRED:
            return wxColour(PREVIEW_UNPAIRED_COLOUR);
        case BONE_COLOUR::MIDDLE:
            break;
    }
    return wxColour(PREVIEW_MIDDLE_COLOUR);
}

// The legend's entries, in the order they are listed.
struct LEGEND_ENTRY {
    BONE_COLOUR colour;
    const char* text;   // French original
    bool mark = false;  // a planted foot's marks, one of each side, in place of a stroke
};
constexpr LEGEND_ENTRY LEGEND[] = {
    {BONE_COLOUR::LEFT, MarkText("gauche")},
    {BONE_COLOUR::RIGHT, MarkText("droite")},
    {BONE_COLOUR::MIDDLE, MarkText("milieu")},
    {BONE_COLOUR::UNPAIRED, MarkText("non apparié")},
    {BONE_COLOUR::LEFT, MarkText("pied posé"), true},
};
// In device-independent pixels: the bones' lines, read at a glance at any scale, and the
// legend's stroke beside each text.
constexpr int LINE_WIDTH = 3;
constexpr int LEGEND_STROKE = 18;
constexpr int LEGEND_SPACING = 6;
// The wheel's zoom stays between these, so that a few notches too many can be taken back.
constexpr double LEAST_ZOOM = 0.2;
constexpr double MOST_ZOOM = 20.0;
}  // namespace

CPreviewCanvas::CPreviewCanvas(wxWindow* parent, const CTextCatalog& texts)
    : wxWindow(parent, wxID_ANY), m_texts(texts) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetMinSize(LEAST_CANVAS_SIZE);
    Bind(wxEVT_PAINT, &CPreviewCanvas::OnPaint, this);
    Bind(wxEVT_LEFT_DOWN, &CPreviewCanvas::OnMouse, this);
    Bind(wxEVT_LEFT_UP, &CPreviewCanvas::OnMouse, this);
    Bind(wxEVT_RIGHT_DOWN, &CPreviewCanvas::OnMouse, this);
    Bind(wxEVT_RIGHT_UP, &CPreviewCanvas::OnMouse, this);
    Bind(wxEVT_MOTION, &CPreviewCanvas::OnMouse, this);
    Bind(wxEVT_MOUSEWHEEL, &CPreviewCanvas::OnMouse, this);
    Bind(wxEVT_MOUSE_CAPTURE_LOST, [](wxMouseCaptureLostEvent&) {});
}

double CPreviewCanvas::LayOutLegend(wxDC& dc, const wxSize& size) {
    m_legend.clear();
    const double spacing = FromDIP(LEGEND_SPACING), stroke = FromDIP(LEGEND_STROKE);
    double x = spacing, row = 0.0, rowHeight = 0.0;
    for (const LEGEND_ENTRY& entry : LEGEND) {
        wxSize text = dc.GetTextExtent(ToWx(m_texts.Tr(entry.text)));
        double width = stroke + spacing / 2 + text.x;
        // A row too narrow for the next entry goes on below.
        if (x > spacing && x + width > size.GetWidth() - spacing) {
            x = spacing;
            ++row;
        }
        rowHeight = std::max(rowHeight, text.y + spacing / 2);
        m_legend.push_back(wxRect2DDouble(x, row, width, text.y));
        x += width + 2 * spacing;
    }
    double top = size.GetHeight() - spacing / 2 - (row + 1) * rowHeight;
    for (wxRect2DDouble& r : m_legend) r.m_y = top + r.m_y * rowHeight;
    return top - spacing / 2;
}

template <class DC>
void CPreviewCanvas::Paint(DC& dc, const wxSize& size) {
    // Lines through a graphics context, for their smooth edges; texts through the DC, as Wine's
    // graphics context neither measures nor draws text.
    dc.SetFont(GetFont());
    double figures = LayOutLegend(dc, size);
    {
        std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(dc));
        if (gc) DrawLines(*gc, size, figures);
    }
    DrawTexts(dc, size);
}

void CPreviewCanvas::Draw(wxMemoryDC& dc, const wxSize& size) { Paint(dc, size); }

void CPreviewCanvas::DrawLines(wxGraphicsContext& gc, const wxSize& size, double figures) {
    double width = size.GetWidth(), height = size.GetHeight();
    gc.SetBrush(*wxWHITE_BRUSH);
    gc.SetPen(*wxTRANSPARENT_PEN);
    gc.DrawRectangle(0, 0, width, height);
    m_view.width = width;
    m_view.height = figures;
    // Without a scene nothing is drawn: no bones of an earlier one linger.
    if (m_scene != nullptr) {
        m_scene->Draw(m_frame, m_view, m_drawing);
    } else {
        m_drawing = SCENE_DRAWING{};
    }

    const double lineWidth = FromDIP(LINE_WIDTH);
    auto pen = [lineWidth](BONE_COLOUR colour) {
        wxPen p(ColourOf(colour), static_cast<int>(lineWidth));
        p.SetCap(wxCAP_ROUND);
        return p;
    };
    if (m_scene != nullptr) {
        // Grey first, then the middle line, then the limbs, so that the colours stay on top.
        for (BONE_COLOUR pass : {BONE_COLOUR::UNPAIRED, BONE_COLOUR::MIDDLE, BONE_COLOUR::LEFT,
                                 BONE_COLOUR::RIGHT}) {
            wxGraphicsPath path = gc.CreatePath();
            bool any = false;
            for (const SCENE_BONE& bone : m_drawing.bones) {
                if (bone.colour != pass) continue;
                path.MoveToPoint(bone.x1, bone.y1);
                path.AddLineToPoint(bone.x2, bone.y2);
                any = true;
            }
            if (!any) continue;
            gc.SetPen(pen(pass));
            gc.StrokePath(path);
        }
        for (const SCENE_MARK& mark : m_drawing.marks) DrawMark(gc, mark.x, mark.y, mark.colour);
    }

    // The frame of the panels over the figures, which a zoom or a pan may have moved under it.
    gc.SetPen(*wxTRANSPARENT_PEN);
    gc.SetBrush(*wxWHITE_BRUSH);
    gc.DrawRectangle(0, figures, width, height - figures);
    gc.SetPen(wxPen(wxColour(144, 144, 144), 1));
    gc.StrokeLine(width / 2, 0, width / 2, figures);
    gc.StrokeLine(0, figures, width, figures);
    if (m_scene != nullptr) {
        gc.StrokeLine(8, m_drawing.groundY, width / 2 - 8, m_drawing.groundY);
        gc.StrokeLine(width / 2 + 8, m_drawing.groundY, width - 8, m_drawing.groundY);
    }
    for (std::size_t i = 0; i < m_legend.size(); ++i) {
        const wxRect2DDouble& r = m_legend[i];
        double middle = r.m_y + r.m_height / 2;
        if (LEGEND[i].mark) {
            const double stroke = FromDIP(LEGEND_STROKE);
            DrawMark(gc, r.m_x + stroke / 4, middle, BONE_COLOUR::LEFT);
            DrawMark(gc, r.m_x + stroke * 3 / 4, middle, BONE_COLOUR::RIGHT);
            continue;
        }
        gc.SetPen(pen(LEGEND[i].colour));
        gc.StrokeLine(r.m_x + lineWidth / 2, middle, r.m_x + FromDIP(LEGEND_STROKE) - lineWidth / 2,
                      middle);
    }
}

void CPreviewCanvas::DrawMark(wxGraphicsContext& gc, double x, double y, BONE_COLOUR colour) {
    const double radius = FromDIP(static_cast<int>(PREVIEW_MARK_RADIUS));
    gc.SetPen(wxPen(*wxWHITE, 1));
    gc.SetBrush(wxBrush(ColourOf(colour)));
    gc.DrawEllipse(x - radius, y - radius, 2 * radius, 2 * radius);
}

void CPreviewCanvas::DrawTexts(wxDC& dc, const wxSize& size) {
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    dc.SetTextForeground(wxColour(64, 64, 64));
    dc.DrawText(ToWx(PreviewSourceLabel(m_texts)), 8, 6);
    dc.DrawText(ToWx(PreviewResultLabel(m_texts)), size.GetWidth() / 2 + 8, 6);
    for (std::size_t i = 0; i < m_legend.size(); ++i) {
        const wxRect2DDouble& r = m_legend[i];
        dc.DrawText(ToWx(m_texts.Tr(LEGEND[i].text)),
                    static_cast<int>(r.m_x + FromDIP(LEGEND_STROKE) + FromDIP(LEGEND_SPACING) / 2),
                    static_cast<int>(r.m_y));
    }
}

wxBitmap CPreviewCanvas::Render(const wxSize& size, double scale) {
    wxBitmap bitmap;
    bitmap.CreateWithDIPSize(size, scale, 24);
    wxMemoryDC dc(bitmap);
    Draw(dc, size);
    dc.SelectObject(wxNullBitmap);
    return bitmap;
}

void CPreviewCanvas::ResetView(double yaw) {
    m_view = SCENE_VIEW{};
    m_view.yaw = yaw;
    Refresh();
}

void CPreviewCanvas::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    Paint(dc, GetClientSize());
}

void CPreviewCanvas::OnMouse(wxMouseEvent& event) {
    if (event.GetEventType() == wxEVT_MOUSEWHEEL) {
        int notches =
            event.GetWheelDelta() > 0 ? event.GetWheelRotation() / event.GetWheelDelta() : 0;
        double zoom = std::clamp(m_view.zoom * std::pow(ZOOM_PER_NOTCH, notches), LEAST_ZOOM,
                                 MOST_ZOOM);
        ZoomViewAbout(m_view, event.GetX(), event.GetY(), zoom / m_view.zoom);
        Refresh();
    } else if (event.LeftDown() || event.RightDown()) {
        m_dragFrom = event.GetPosition();
        m_panning = event.RightDown() || event.ShiftDown();
        if (!HasCapture()) CaptureMouse();
    } else if (event.LeftUp() || event.RightUp()) {
        if (HasCapture()) ReleaseMouse();
    } else if (event.Dragging() && (event.LeftIsDown() || event.RightIsDown())) {
        wxPoint moved = event.GetPosition() - m_dragFrom;
        if (m_panning) {
            m_view.panX += moved.x;
            m_view.panY += moved.y;
        } else {
            m_view.yaw += moved.x * TURN_PER_PIXEL;
        }
        m_dragFrom = event.GetPosition();
        Refresh();
    }
}

CPreviewWindow::CPreviewWindow(CVarnexWindow& owner, const std::optional<wxRect>& place)
    // Floating on the main window: the window manager keeps it above the main window, which it
    // would otherwise keep above every other window of the program as a dialog.
    : wxFrame(&owner, wxID_ANY, ToWx(PreviewWindowTitle(owner.Texts())), wxDefaultPosition,
              wxDefaultSize, wxDEFAULT_FRAME_STYLE | wxFRAME_FLOAT_ON_PARENT),
      m_owner(owner),
      m_timer(this) {
    wxPanel* panel = new wxPanel(this);
    const CTextCatalog& texts = owner.Texts();
    m_canvas = new CPreviewCanvas(panel, texts);
    m_play = new wxButton(panel, wxID_ANY, ToWx(PreviewPlayText(texts)));
    m_slider = new wxSlider(panel, wxID_ANY, 0, 0, 1);
    m_front = new wxButton(panel, wxID_ANY, ToWx(PreviewFrontLabel(texts)));
    m_side = new wxButton(panel, wxID_ANY, ToWx(PreviewSideLabel(texts)));
    m_status = new wxStaticText(panel, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                                wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_END);
    wxBoxSizer* controls = new wxBoxSizer(wxHORIZONTAL);
    controls->Add(m_play, 0, wxALL, 4);
    controls->Add(m_slider, 1, wxALL | wxEXPAND, 4);
    controls->Add(m_front, 0, wxALL, 4);
    controls->Add(m_side, 0, wxALL, 4);
    wxBoxSizer* column = new wxBoxSizer(wxVERTICAL);
    column->Add(m_canvas, 1, wxEXPAND);
    column->Add(controls, 0, wxEXPAND);
    column->Add(m_status, 0, wxALL | wxEXPAND, 4);
    panel->SetSizer(column);
    // The canvas at its least size beside the controls' own.
    wxSize least = column->GetMinSize();
    SetMinClientSize(least);
    wxSize wanted = least + CANVAS_SIZE - LEAST_CANVAS_SIZE;
    wanted.x = std::max(CANVAS_SIZE.x, least.x);
    SetClientSize(wanted);

    m_play->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { SetPlaying(!Playing()); });
    m_front->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { SetView(0.0); });
    m_side->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { SetView(std::numbers::pi / 2); });
    m_slider->Bind(wxEVT_SLIDER, &CPreviewWindow::OnSlider, this);
    Bind(wxEVT_TIMER, &CPreviewWindow::OnTimer, this);

    m_wantedClientSize = GetClientSize();
    if (place && !place->Intersects(owner.GetRect())) {
        SetSize(*place);
    } else {
        PlaceBeside();
    }
    Reload();
}

void CPreviewWindow::PlaceBeside() {
    int screen = wxDisplay::GetFromWindow(&m_owner);
    wxRect area =
        wxDisplay(screen == wxNOT_FOUND ? 0u : static_cast<unsigned>(screen)).GetClientArea();
    // Frames, decorations included once the window manager has told their size.
    wxSize decorations = GetSize() - GetClientSize();
    PREVIEW_PLACE place = PlacePreview(area, m_owner.GetRect(), m_wantedClientSize + decorations,
                                       GetMinClientSize() + decorations);
    if (place.main != m_owner.GetPosition()) m_owner.Move(place.main);
    SetSize(place.preview);
}

bool CPreviewWindow::OnScreen() const {
    int screen = wxDisplay::GetFromWindow(this);
    return screen != wxNOT_FOUND &&
           wxDisplay(static_cast<unsigned>(screen)).GetClientArea().Contains(GetRect());
}

void CPreviewWindow::Reload() {
    bool playing = Playing();
    SetPlaying(false);
    m_canvas->SetScene(nullptr);
    m_scene.reset();
    std::string why;
    std::optional<MOTION_SETUP> setup = m_owner.Dialog().PreviewSetup(why);
    const std::string& animPath = m_owner.Dialog().AnimPath();
    if (setup && animPath.empty()) why = PreviewNeedsFilesText(m_owner.Texts());
    if (!setup || animPath.empty()) {
        m_status->SetLabelText(ToWx(why));
        m_canvas->Refresh();
        return;
    }
    try {
        ANIMATION_POSES animation = ReadRowSourcePoses(*setup, animPath);
        m_scene = std::make_unique<CPreviewScene>(std::move(*setup), std::move(animation.nodes),
                                                  std::move(animation.frames));
    } catch (const CVarnexError& e) {
        m_status->SetLabelText(ToWx(ErrorText(e, m_owner.Texts())));
        m_canvas->Refresh();
        return;
    }
    m_canvas->SetScene(m_scene.get());
    m_slider->SetRange(0, std::max(1, m_scene->FrameCount() - 1));
    ShowFrame(std::min(m_frame, std::max(0, m_scene->FrameCount() - 1)));
    SetPlaying(playing);
}

void CPreviewWindow::FollowGrid() {
    if (!m_scene) {
        Reload();
        return;
    }
    std::string why;
    std::optional<MOTION_SETUP> setup = m_owner.Dialog().PreviewSetup(why);
    if (!setup) {
        m_status->SetLabelText(ToWx(PreviewCannotRetargetText(why, m_owner.Texts())));
        return;
    }
    m_scene->SetRows(std::move(setup->rows), setup->rootFromLegs);
    ShowFrame(m_frame);
}

void CPreviewWindow::ShowFrame(int frame) {
    m_frame = frame;
    if (m_slider->GetValue() != frame) m_slider->SetValue(frame);
    m_canvas->SetFrame(frame);
    m_canvas->Refresh();
    ShowFrameStatus();
}

void CPreviewWindow::ShowFrameStatus() {
    if (!m_scene) return;
    // The drawing is made at the next paint; the problem is the retarget's, known now.
    SCENE_DRAWING probe;
    m_scene->Draw(m_frame, SCENE_VIEW{0.0, 1.0, 2.0, 2.0}, probe);
    const CTextCatalog& texts = m_owner.Texts();
    std::string text = PreviewFrameText(m_frame, m_scene->FrameCount(), texts);
    if (probe.problem) {
        const CRowError& e = *probe.problem;
        text += " ; " + PreviewCannotRetargetText(
                            PreviewRowProblemText(
                                e.Row(), e.FrameLine(),
                                e.Kind() == ERROR_KIND::POSITION_NOT_FINITE, texts),
                            texts);
    }
    for (const MOTION_WARNING& w : m_scene->Warnings()) text += " ; " + WindowWarningText(w, texts);
    m_status->SetLabelText(ToWx(text));
}

void CPreviewWindow::SetPlaying(bool on) {
    if (on && m_scene && m_scene->FrameCount() > 1) {
        m_timer.Start(1000 / PLAY_FPS);
    } else {
        m_timer.Stop();
    }
    m_play->SetLabel(
        ToWx(Playing() ? PreviewPauseText(m_owner.Texts()) : PreviewPlayText(m_owner.Texts())));
}

void CPreviewWindow::ShowLabels() {
    const CTextCatalog& texts = m_owner.Texts();
    SetTitle(ToWx(PreviewWindowTitle(texts)));
    m_play->SetLabel(ToWx(Playing() ? PreviewPauseText(texts) : PreviewPlayText(texts)));
    m_front->SetLabel(ToWx(PreviewFrontLabel(texts)));
    m_side->SetLabel(ToWx(PreviewSideLabel(texts)));
    Layout();
    if (m_scene) {
        ShowFrameStatus();
        m_canvas->Refresh();
    } else {
        Reload();
    }
}

void CPreviewWindow::SetView(double yaw) { m_canvas->ResetView(yaw); }

void CPreviewWindow::OnSlider(wxCommandEvent&) { ShowFrame(m_slider->GetValue()); }

void CPreviewWindow::OnTimer(wxTimerEvent&) {
    if (!m_scene || m_scene->FrameCount() == 0) return;
    ShowFrame((m_frame + 1) % m_scene->FrameCount());
}

}  // namespace varnex
