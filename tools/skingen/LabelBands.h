#pragma once

#include "SkinPainter.h"

#include <vector>

namespace qvr::tools {

// A place where the main window draws a label over the picture, in the window's own layout
// units (its client area at the smallest size class is 1034 x 616; larger classes scale
// everything alike and stretch the picture over it).
struct LabelPlace {
    float left, top, right, bottom;
    Rgb colour;           // the label's text colour
    float requiredRatio;  // WCAG: 4.5 for normal text, 3 for large text
};

// The labels over a skin that always show: its title in `title`. (The labels that show only
// during a run bring their own backdrop in the window.)
std::vector<LabelPlace> MainWindowLabels(const Rgb& title);

// Tones the picture behind labels: inside a label's place (with a margin that absorbs the
// differences between size classes and languages) every pixel is darkened or lightened just
// as far as the label's contrast needs, and the change fades out smoothly around it, so the
// skin's figure and gradient stay visible through the band.
class LabelBands {
  public:
    // `top` and `bottom` are the skin's gradient ends: they decide whether a label whose colour
    // could stand on either side (red) gets a dark or a light band.
    LabelBands(std::vector<LabelPlace> labels, const Rgb& top, const Rgb& bottom, int width,
               int height);

    // The colour of the pixel (x, y) once the bands are applied.
    Rgb apply(const Rgb& colour, int x, int y) const;
    // Whether any band reaches row y: rows without one are left alone cheaply.
    bool touchesRow(int y) const;

  private:
    struct Band {
        float left, top, right, bottom;  // the full-strength core, in picture pixels
        float fade;                      // width of the soft edge, in picture pixels
        bool darken;
        float limit;  // the highest (darken) or lowest (lighten) background luminance allowed
    };

    float weight(const Band& band, float x, float y) const;

    std::vector<Band> bands_;
};

}  // namespace qvr::tools
