#include "forms/view_zoom.hpp"

#include "platform/dpi.hpp"

namespace forms {

int ViewZoom::Points() const {
    return core::PointsFromFontHeight(view_.FontHeight(), platform::WindowDpi(window_));
}

void ViewZoom::SetPoints(int points) {
    const int height = core::FontHeightFromPoints(points, platform::WindowDpi(window_));
    if (height == view_.FontHeight()) return;
    view_.SetFont(view_.FontName(), height);
    view_.ScrollCaret();
}

void ViewZoom::Step(int steps) { SetPoints(core::ZoomedPoints(Points(), steps)); }

void ViewZoom::Wheel(short delta) {
    const int notches = wheel_.Add(delta);
    if (notches != 0) Step(notches);
}

void ViewZoom::Rescale(int oldDpi) {
    const int points = core::PointsFromFontHeight(view_.FontHeight(), oldDpi);
    SetPoints(points);
}

}  // namespace forms
