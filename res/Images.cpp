#include "res/Images.h"

#include <array>
#include <cmath>
#include <cstdint>

#include "res/ResourceIds.h"

namespace res {
namespace {

constexpr std::uint32_t Rgb(int r, int g, int b, int a = 255) {
    return (static_cast<std::uint32_t>(a) << 24) | (static_cast<std::uint32_t>(r) << 16) |
           (static_cast<std::uint32_t>(g) << 8) | static_cast<std::uint32_t>(b);
}

std::uint32_t& Pixel(ui::Image& img, int x, int y) {
    return img.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(img.width) +
                      static_cast<std::size_t>(x)];
}

void Fill(ui::Image& img, int x0, int y0, int x1, int y1, std::uint32_t colour) {
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (x >= 0 && y >= 0 && x < img.width && y < img.height)
                Pixel(img, x, y) = colour;
}

void Disc(ui::Image& img, double cx, double cy, double r, std::uint32_t colour) {
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x)
            if (std::hypot(x + 0.5 - cx, y + 0.5 - cy) <= r)
                Pixel(img, x, y) = colour;
}

// A small camera: body, lens and a status light; scale s is the body height in pixels.
void DrawCamera(ui::Image& img, int x, int y, int s) {
    const std::uint32_t body = Rgb(38, 70, 120);
    Fill(img, x, y + s / 6, x + s * 3 / 2, y + s, body);
    Fill(img, x + s / 5, y, x + s * 3 / 5, y + s / 6 + 1, body);
    Disc(img, x + s * 0.75, y + s * 0.58, s * 0.32, Rgb(220, 228, 240));
    Disc(img, x + s * 0.75, y + s * 0.58, s * 0.22, Rgb(20, 30, 50));
    Disc(img, x + s * 0.68, y + s * 0.50, s * 0.06, Rgb(200, 220, 255));
    Disc(img, x + s * 1.3, y + s * 0.32, s * 0.06, Rgb(90, 220, 90));
}

// 5 x 7 glyphs of the few letters the banner needs, one row per entry, bit 4 leftmost.
struct Glyph {
    char c;
    std::array<std::uint8_t, 7> rows;
};
constexpr Glyph kGlyphs[] = {
    {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}}, {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'V', {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}}, {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}},
    {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}}, {'N', {0x11, 0x19, 0x15, 0x13, 0x11, 0x11, 0x11}},
};

void DrawText(ui::Image& img, int x, int y, int scale, const char* text, std::uint32_t colour) {
    for (; *text; ++text, x += 6 * scale) {
        for (const Glyph& g : kGlyphs) {
            if (g.c != *text)
                continue;
            for (int row = 0; row < 7; ++row)
                for (int col = 0; col < 5; ++col)
                    if (g.rows[static_cast<std::size_t>(row)] & (0x10 >> col))
                        Fill(img, x + col * scale, y + row * scale, x + (col + 1) * scale,
                             y + (row + 1) * scale, colour);
        }
    }
}

} // namespace

ui::Image AppIcon() {
    ui::Image img{128, 128, std::vector<std::uint32_t>(std::size_t{128} * 128, 0)};
    // Rounded tile, then the camera.
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            const double dx = std::max(0.0, std::abs(x + 0.5 - 64) - 46),
                         dy = std::max(0.0, std::abs(y + 0.5 - 64) - 46);
            if (std::hypot(dx, dy) <= 16)
                Pixel(img, x, y) = Rgb(232, 240, 250 - y / 4);
        }
    DrawCamera(img, 22, 34, 56);
    return img;
}

ui::Image Banner() {
    constexpr int kW = 194, kH = 26;
    ui::Image img{kW, kH, std::vector<std::uint32_t>(std::size_t{kW} * kH)};
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            Pixel(img, x, y) = Rgb(60 + x / 4, 110 + x / 5, 180 + y);
    DrawCamera(img, 6, 4, 18);
    DrawText(img, 40, 6, 2, "TAVLIN", Rgb(255, 255, 255));
    return img;
}

void RegisterImages() {
    ui::RegisterImage(kIdrMainFrame, AppIcon());
    ui::RegisterImage(kIdbBanner, Banner());
}

} // namespace res
