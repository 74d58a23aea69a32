#include "LabelBands.h"

#include <algorithm>
#include <cmath>

namespace qvr::tools {
namespace {

constexpr float kLayoutWidth = 1034.0f;
constexpr float kLayoutHeight = 616.0f;
// Labels move by a few units between size classes (the menu bar does not scale) and grow with
// longer translations; the core of a band reaches this far beyond a label's usual place.
constexpr float kMargin = 12.0f;
constexpr float kFade = 24.0f;
// Aim above the required ratio, so JPEG noise and dithering never pull a pixel below it.
constexpr float kHeadroom = 1.12f;

float toLinear(float channel)
{
    const float c = std::clamp(channel / 255.0f, 0.0f, 1.0f);
    return c <= 0.04045f ? c / 12.92f : std::pow((c + 0.055f) / 1.055f, 2.4f);
}

float toChannel(float linear)
{
    const float c = std::clamp(linear, 0.0f, 1.0f);
    return 255.0f * (c <= 0.0031308f ? c * 12.92f : 1.055f * std::pow(c, 1.0f / 2.4f) - 0.055f);
}

float luminance(const Rgb& linear)
{
    return 0.2126f * linear.r + 0.7152f * linear.g + 0.0722f * linear.b;
}

Rgb linearOf(const Rgb& colour)
{
    return {toLinear(colour.r), toLinear(colour.g), toLinear(colour.b)};
}

float smoothstep(float edge0, float edge1, float x)
{
    const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

// How far outside [low, high] the value lies, 0 inside.
float outside(float value, float low, float high)
{
    return std::max({low - value, value - high, 0.0f});
}

}  // namespace

// Where the window puts it, with its longest text: the title line. The counter under the list,
// "Converting..." and the error count show only during a run; the window draws their backdrops
// with them, so the idle window shows no empty boxes.
std::vector<LabelPlace> MainWindowLabels(const Rgb& title)
{
    return {{32, 74, 800, 94, title, 4.5f}};
}

LabelBands::LabelBands(std::vector<LabelPlace> labels, const Rgb& top, const Rgb& bottom, int width,
                       int height)
{
    const float sx = width / kLayoutWidth;
    const float sy = height / kLayoutHeight;
    for (const LabelPlace& label : labels) {
        const float ratio = label.requiredRatio * kHeadroom;
        const float text = luminance(linearOf(label.colour));
        const float darkLimit = (text + 0.05f) / ratio - 0.05f;  // darkest band's upper bound
        const float lightLimit = ratio * (text + 0.05f) - 0.05f;
        // The skin's own tone at the label's height decides the side that needs less change.
        const float v = smoothstep(0.0f, 1.0f, (label.top + label.bottom) / 2 / kLayoutHeight);
        const Rgb base{top.r + (bottom.r - top.r) * v, top.g + (bottom.g - top.g) * v,
                       top.b + (bottom.b - top.b) * v};
        const float own = luminance(linearOf(base));
        bool darken = lightLimit > 1.0f;
        if (darkLimit > 0.0f && lightLimit <= 1.0f) {
            darken = (own + 0.05f) * (own + 0.05f) < (darkLimit + 0.05f) * (lightLimit + 0.05f);
        }
        bands_.push_back({(label.left - kMargin) * sx, (label.top - kMargin) * sy,
                          (label.right + kMargin) * sx, (label.bottom + kMargin) * sy, kFade * sy,
                          darken, darken ? darkLimit : lightLimit});
    }
}

bool LabelBands::touchesRow(int y) const
{
    return std::any_of(bands_.begin(), bands_.end(), [y](const Band& band) {
        return y >= band.top - band.fade && y <= band.bottom + band.fade;
    });
}

float LabelBands::weight(const Band& band, float x, float y) const
{
    const float dx = outside(x, band.left, band.right);
    const float dy = outside(y, band.top, band.bottom);
    return 1.0f - smoothstep(0.0f, band.fade, std::sqrt(dx * dx + dy * dy));
}

Rgb LabelBands::apply(const Rgb& colour, int x, int y) const
{
    Rgb result = colour;
    for (const Band& band : bands_) {
        const float w = weight(band, static_cast<float>(x), static_cast<float>(y));
        if (w <= 0.0f) {
            continue;
        }
        Rgb linear = linearOf(result);
        const float own = luminance(linear);
        if (band.darken && own > band.limit) {
            // Scaling the light keeps the hue.
            const float k = band.limit / own;
            linear = {linear.r * k, linear.g * k, linear.b * k};
        } else if (!band.darken && own < band.limit) {
            const float t = (band.limit - own) / (1.0f - own);
            linear = {linear.r + (1 - linear.r) * t, linear.g + (1 - linear.g) * t,
                      linear.b + (1 - linear.b) * t};
        } else {
            continue;
        }
        const Rgb toned{toChannel(linear.r), toChannel(linear.g), toChannel(linear.b)};
        result = {result.r + (toned.r - result.r) * w, result.g + (toned.g - result.g) * w,
                  result.b + (toned.b - result.b) * w};
    }
    return result;
}

}  // namespace qvr::tools
