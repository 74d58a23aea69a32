#include "SkinPainter.h"

#include "LabelBands.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

namespace qvr::tools {
namespace {

constexpr float kPi = 3.14159265358979f;

constexpr Rgb rgb(int r, int g, int b)
{
    return {static_cast<float>(r), static_cast<float>(g), static_cast<float>(b)};
}

constexpr Rgb kWhite = rgb(255, 255, 255);
constexpr Rgb kBlack = rgb(0, 0, 0);
constexpr Rgb kYellow = rgb(255, 255, 0);

// Skins with a white or yellow title start dark at the top, those with a black title light. The
// title colours are the window's (one per skin); the pictures follow them.
const std::array<SkinDesign, 10> kSkins = {{
    {rgb(28, 66, 46), rgb(88, 148, 76), rgb(104, 182, 166), Pattern::Waves, 0.45f, kWhite},
    {rgb(249, 249, 249), rgb(133, 144, 217), rgb(136, 142, 220), Pattern::Rings, 0.35f, kBlack},
    {rgb(255, 251, 244), rgb(243, 101, 32), rgb(255, 196, 120), Pattern::Bands, 0.30f, kBlack},
    {rgb(26, 32, 64), rgb(78, 93, 155), rgb(140, 160, 230), Pattern::Blobs, 0.35f, kWhite},
    {rgb(22, 28, 62), rgb(83, 100, 169), rgb(120, 150, 240), Pattern::Waves, 0.40f, kYellow},
    {rgb(34, 34, 34), rgb(88, 88, 88), rgb(150, 150, 150), Pattern::Bands, 0.25f, kWhite},
    {rgb(238, 238, 238), rgb(140, 140, 140), rgb(255, 255, 255), Pattern::Rings, 0.30f, kBlack},
    {rgb(252, 252, 252), rgb(200, 200, 200), rgb(180, 180, 180), Pattern::Stripes, 0.35f, kBlack},
    {rgb(26, 26, 26), rgb(75, 75, 75), rgb(120, 120, 120), Pattern::Blobs, 0.40f, kWhite},
    {rgb(232, 241, 250), rgb(19, 75, 135), rgb(90, 160, 220), Pattern::Waves, 0.35f, kBlack},
}};

float clamp01(float x)
{
    return std::min(1.0f, std::max(0.0f, x));
}

float smoothstep(float edge0, float edge1, float x)
{
    const float t = clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}

// A soft bump of the distance d relative to the half width w: 1 in the middle, 0 outside.
float bump(float d, float w)
{
    const float t = d / w;
    const float s = 1.0f - t * t;
    return s > 0.0f ? s * s : 0.0f;
}

float triangle(float x)
{
    const float f = x - std::floor(x);
    return 1.0f - std::fabs(2.0f * f - 1.0f);
}

// A tiny deterministic noise of +-0.5 per channel step, which keeps gradients free of bands.
float dither(int x, int y)
{
    std::uint32_t h =
        static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return static_cast<float>((h >> 16) & 0xff) / 255.0f - 0.5f;
}

struct Blob {
    float u, v, radius;  // u in units of the picture height
};

// Figure strength at a point, u = x / height (0 .. aspect), v = y / height (0 .. 1).
class Figure {
  public:
    Figure(Pattern pattern, int width, int height)
        : pattern_(pattern), aspect_(static_cast<float>(width) / height)
    {
        if (pattern_ == Pattern::Waves) {
            for (int k = 0; k < 3; ++k) {
                waveRows_[k].resize(width);
                for (int x = 0; x < width; ++x) {
                    const float s = static_cast<float>(x) / width;
                    waveRows_[k][x] =
                        0.52f + 0.15f * k +
                        0.07f * std::sin(2 * kPi * (0.8f + 0.45f * k) * s + 1.7f * k) +
                        0.03f * std::sin(2 * kPi * 2.3f * s + 0.6f * k);
                }
            }
        }
        blobs_ = {{{0.25f * aspect_, 0.75f, 0.32f},
                   {0.55f * aspect_, 0.55f, 0.22f},
                   {0.80f * aspect_, 0.85f, 0.40f},
                   {0.95f * aspect_, 0.45f, 0.18f},
                   {0.10f * aspect_, 1.05f, 0.28f},
                   {0.45f * aspect_, 1.00f, 0.30f}}};
    }

    float at(int x, float u, float v) const
    {
        switch (pattern_) {
            case Pattern::Waves: {
                float a = 0;
                for (int k = 0; k < 3; ++k) {
                    a += bump(v - waveRows_[k][x], 0.05f + 0.02f * k) * (1.0f - 0.2f * k);
                }
                return clamp01(a);
            }
            case Pattern::Rings: {
                const float du = u - 1.05f * aspect_;
                const float dv = v - 1.1f;
                const float d = std::sqrt(du * du + dv * dv);
                const float ring = triangle(d * 7.0f);
                return ring * ring * ring * clamp01(1.4f - d * 0.8f);
            }
            case Pattern::Bands: {
                const float t = triangle((u * 0.7f + v) * 3.5f);
                return t * t * t * t;
            }
            case Pattern::Blobs: {
                float a = 0;
                for (const Blob& b : blobs_) {
                    const float du = u - b.u;
                    const float dv = v - b.v;
                    a += bump(std::sqrt(du * du + dv * dv), b.radius) * 0.7f;
                }
                return clamp01(a);
            }
            case Pattern::Stripes: {
                const float t = triangle(v * 9.0f + 0.08f * std::sin(u * 2.2f));
                return t * t * t * t * t * t;
            }
        }
        return 0;
    }

  private:
    Pattern pattern_;
    float aspect_;
    std::array<std::vector<float>, 3> waveRows_;
    std::array<Blob, 6> blobs_{};
};

std::uint8_t channel(float value)
{
    return static_cast<std::uint8_t>(std::clamp(value + 0.5f, 0.0f, 255.0f));
}

}  // namespace

const SkinDesign* SkinDesignFor(int skin)
{
    return skin >= 1 && skin <= static_cast<int>(kSkins.size()) ? &kSkins[skin - 1] : nullptr;
}

SkinDesign BuiltInDesign()
{
    return {rgb(250, 250, 252), rgb(133, 144, 217), rgb(200, 206, 245), Pattern::Waves, 0.45f};
}

RgbImage PaintSkin(const SkinDesign& design, int width, int height)
{
    return PaintSkin(design, width, height, {});
}

RgbImage PaintSkin(const SkinDesign& design, int width, int height,
                   const std::vector<LabelPlace>& labels)
{
    RgbImage image(width, height);
    const Figure figure(design.pattern, width, height);
    const LabelBands bands(labels, design.top, design.bottom, width, height);
    const float invHeight = 1.0f / height;
    for (int y = 0; y < height; ++y) {
        const float v = y * invHeight;
        const float g = smoothstep(0.0f, 1.0f, v);
        const Rgb base{design.top.r + (design.bottom.r - design.top.r) * g,
                       design.top.g + (design.bottom.g - design.top.g) * g,
                       design.top.b + (design.bottom.b - design.top.b) * g};
        // The band of the title line stays free of the figure.
        const float calm = smoothstep(0.18f, 0.40f, v) * design.strength;
        const bool banded = bands.touchesRow(y);
        std::uint8_t* out = image.row(y);
        for (int x = 0; x < width; ++x, out += 3) {
            const float a = calm > 0 ? figure.at(x, x * invHeight, v) * calm : 0.0f;
            Rgb colour{base.r + (design.accent.r - base.r) * a,
                       base.g + (design.accent.g - base.g) * a,
                       base.b + (design.accent.b - base.b) * a};
            if (banded) {
                colour = bands.apply(colour, x, y);
            }
            const float n = dither(x, y);
            out[0] = channel(colour.r + n);
            out[1] = channel(colour.g + n);
            out[2] = channel(colour.b + n);
        }
    }
    return image;
}

RgbImage PaintAboutBanner(int width, int height)
{
    RgbImage image(width, height);
    const Rgb left = rgb(22, 34, 84);
    const Rgb right = rgb(19, 75, 135);
    const Rgb glow = rgb(250, 230, 140);
    for (int y = 0; y < height; ++y) {
        const float v = static_cast<float>(y) / (height - 1);
        std::uint8_t* out = image.row(y);
        for (int x = 0; x < width; ++x, out += 3) {
            const float s = static_cast<float>(x) / (width - 1);
            // A tone that swells towards the middle: the re-tuned wave.
            const float envelope = std::sin(kPi * s);
            const float wave = 0.5f + 0.32f * envelope * std::sin(2 * kPi * 4.0f * s);
            const float a = clamp01(bump(v - wave, 0.09f) + 0.35f * bump(v - (1.0f - wave), 0.06f));
            const float shade = 0.85f + 0.15f * (1.0f - std::fabs(2 * v - 1));
            const Rgb base{(left.r + (right.r - left.r) * s) * shade,
                           (left.g + (right.g - left.g) * s) * shade,
                           (left.b + (right.b - left.b) * s) * shade};
            out[0] = channel(base.r + (glow.r - base.r) * a);
            out[1] = channel(base.g + (glow.g - base.g) * a);
            out[2] = channel(base.b + (glow.b - base.b) * a);
        }
    }
    return image;
}

}  // namespace qvr::tools
