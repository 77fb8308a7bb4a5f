#pragma once
// The view's font size in points, as zoom changes it: in steps from 6 to 48 points, back to the
// size last chosen in the settings dialog (Ctrl+0), and kept at the same physical size on a screen
// of another DPI. The points are never kept apart from the view: they are its font's height read
// at the DPI the window stands at, so nothing can disagree with what is shown.
#include "core/settings_values.hpp"
#include "core/view_navigation.hpp"
#include "platform/text_view.hpp"

namespace forms {

class ViewZoom {
public:
    ViewZoom(platform::TextView& view, int dpi) : view_(view), dpi_(dpi) {}

    int Points() const;
    // Any size; the caret's line stays in view.
    void SetPoints(int points);
    // The size Ctrl+0 returns to.
    int ChosenPoints() const { return chosen_; }
    void SetChosenPoints(int points) { chosen_ = points; }

    void Step(int steps);  // larger for positive steps
    void Reset() { SetPoints(chosen_); }
    // A wheel turned with Ctrl held: a step per notch, a fine wheel's small turns added up.
    void Wheel(short delta);
    // The window now stands on a screen of another DPI: the same points there.
    void SetDpi(int dpi);

private:
    platform::TextView& view_;
    int dpi_;
    int chosen_ = core::kStartViewFont.points;
    core::WheelNotches wheel_;
};

}  // namespace forms
