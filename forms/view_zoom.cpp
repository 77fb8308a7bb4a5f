#include "forms/view_zoom.hpp"

namespace forms {

int ViewZoom::Points() const {
    return core::PointsFromFontHeight(view_.FontHeight(), dpi_);
}

void ViewZoom::SetPoints(int points) {
    const int height = core::FontHeightFromPoints(points, dpi_);
    if (height == view_.FontHeight()) return;
    view_.SetFont(view_.FontName(), height);
    view_.ScrollCaret();
}

void ViewZoom::Step(int steps) { SetPoints(core::ZoomedPoints(Points(), steps)); }

void ViewZoom::Wheel(short delta) {
    const int notches = wheel_.Add(delta);
    if (notches != 0) Step(notches);
}

void ViewZoom::SetDpi(int dpi) {
    const int points = Points();
    dpi_ = dpi;
    SetPoints(points);
}

}  // namespace forms
