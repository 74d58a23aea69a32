#pragma once

#include "JpegWriter.h"

#include <vector>

namespace qvr::tools {

struct Rgb {
    float r = 0, g = 0, b = 0;
};

// The soft figure drawn over a skin's gradient.
enum class Pattern { Waves, Rings, Bands, Blobs, Stripes };

// One calm background: a vertical gradient with a figure in an accent colour. The top stays
// plain, so the title line above the list reads well in its skin colour.
struct SkinDesign {
    Rgb top;
    Rgb bottom;
    Rgb accent;
    Pattern pattern = Pattern::Waves;
    float strength = 0.3f;     // how far the figure moves the gradient towards the accent
    Rgb title{255, 255, 255};  // the colour the window gives the title line on this skin
};

// The design of skin 1 to 10; nothing for other numbers.
const SkinDesign* SkinDesignFor(int skin);
// The built-in background, shown until a skin picture has been loaded.
SkinDesign BuiltInDesign();

struct LabelPlace;

// The skin's picture; behind each of `labels` the picture is toned until the label reads.
RgbImage PaintSkin(const SkinDesign& design, int width, int height,
                   const std::vector<LabelPlace>& labels);
// The picture with no labels over it. (A default argument would need LabelPlace complete here.)
RgbImage PaintSkin(const SkinDesign& design, int width, int height);
// The banner of the about box: a tone wave over a deep gradient.
RgbImage PaintAboutBanner(int width, int height);

}  // namespace qvr::tools
