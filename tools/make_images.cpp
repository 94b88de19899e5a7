// SPDX-License-Identifier: MIT
// make_images: draws Duelstar's pictures, the files of the game's list of
// pictures, and saves them as 24-bit Windows BMP files.
//
//   make_images [output-folder]      (default folder: "images")
//
// Everything is drawn procedurally with a small supersampling rasteriser
// (raster.hpp) and a hand-made pixel font (pixel_font.hpp); the only library
// used is SDL 1.2, for SDL_SaveBMP. The output is deterministic: all
// randomness comes from fixed-seed SplitMix64 generators, so the same program
// always writes byte-identical files.
//
// The game converts pictures to RGB565 and treats pure black as transparent
// in every picture the list does not mark opaque. The pictures are
// therefore ordered-dithered to RGB565 levels here, and in transparent
// pictures every pixel is either exactly black or bright enough to survive
// the conversion.

#include <SDL/SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "gfx/Pictures.h"
#include "pixel_font.hpp"
#include "raster.hpp"

namespace {

using pixel_font::TextLayout;
using raster::Canvas;
using raster::Fragment;
using raster::Gradient;
using raster::Image;
using raster::Material;
using raster::Polygon;
using raster::Region;
using raster::Rgb;
using raster::rgb8;
using raster::Rng;
using raster::Shape;
using raster::Vec2;

// Sizes in px, from the game's list of pictures.
constexpr int kScreenWidth = FileOf(Picture::STARS).width;
constexpr int kScreenHeight = FileOf(Picture::STARS).height;
constexpr int kShipSize = FileOf(Picture::SHIP_RED).width;
constexpr int kLaserWidth = FileOf(Picture::LASER_RED).width;
constexpr int kLaserHeight = FileOf(Picture::LASER_RED).height;
constexpr int kBoomWidth = FileOf(Picture::BOOM).width;
constexpr int kBoomHeight = FileOf(Picture::BOOM).height;
constexpr int kDigitCount = 10;
constexpr int kDigitWidth = FileOf(Picture::DIGITS).width / kDigitCount;
constexpr int kDigitHeight = FileOf(Picture::DIGITS).height;
constexpr int kBannerHeight = FileOf(Picture::TEXT).height;

constexpr int kSpriteSupersampling = 8; // samples per pixel side for small pictures
constexpr int kScreenSupersampling = 3; // for full-screen pictures

// Any pixel of a transparent picture dimmer than this becomes pure black.
// It is safely above RGB565's "becomes black" limit (red < 8, green < 4,
// blue < 8), so nothing meant to be drawn turns transparent.
constexpr float kTransparentCutoff = 16 / 255.0f;
// Share of a channel's overflow above 1 that spills into the other channels,
// so that very bright light turns white instead of saturating.
constexpr float kWhiteSpill = 0.6f;

// Ship centre in its picture and laser anchor: the shot position is the
// picture's point (20, 37); the bolt runs along row 37 from column 0 to 40.
constexpr Vec2 kShipCentre{37.5, 37.5};
constexpr double kBoltRow = 37.5;
constexpr double kBoltLeftEnd = 0.0;
constexpr double kBoltRightEnd = 41.0;

// ------------------------------------------------------------------ output

enum class Background { kOpaque, kTransparentBlack };

Rgb toneMap(Rgb c) {
    const float excess = std::max(0.0f, raster::maxChannel(c) - 1.0f);
    c = c + Rgb{1, 1, 1} * (excess * kWhiteSpill);
    return {std::clamp(c.r, 0.0f, 1.0f), std::clamp(c.g, 0.0f, 1.0f), std::clamp(c.b, 0.0f, 1.0f)};
}

// Ordered-dithers one channel to one of the 2^bits levels of RGB565 and expands the
// level back to 8 bits so that the game's conversion reproduces it exactly.
Uint8 ditherChannel(float value, int bits, double threshold) {
    const int maxLevel = (1 << bits) - 1;
    const int level =
        std::min(maxLevel, static_cast<int>(std::floor(value * maxLevel + threshold)));
    return static_cast<Uint8>((level << (8 - bits)) | (level >> (2 * bits - 8)));
}

double bayerThreshold(int x, int y) {
    static constexpr int kBayer8[8][8] = {
        {0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26},
        {12, 44, 4, 36, 14, 46, 6, 38}, {60, 28, 52, 20, 62, 30, 54, 22},
        {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
        {15, 47, 7, 39, 13, 45, 5, 37}, {63, 31, 55, 23, 61, 29, 53, 21}};
    return (kBayer8[y & 7][x & 7] + 0.5) / 64.0;
}

// The pixels are written as blue, green, red bytes, the order of a BMP file.
// SDL reads three bytes as one value in the machine's byte order, so the
// masks that find red, green and blue in them follow that order.
constexpr bool kLittleEndian = SDL_BYTEORDER == SDL_LIL_ENDIAN;
constexpr Uint32 kRedMask = kLittleEndian ? 0xFF0000 : 0x0000FF;
constexpr Uint32 kGreenMask = 0x00FF00;
constexpr Uint32 kBlueMask = kLittleEndian ? 0x0000FF : 0xFF0000;

SDL_Surface* toSurface(const Image& image, Background background) {
    SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, image.width, image.height, 24,
                                                kRedMask, kGreenMask, kBlueMask, 0);
    if (!surface)
        return nullptr;
    std::memset(surface->pixels, 0, static_cast<size_t>(surface->pitch) * surface->h);
    for (int y = 0; y < image.height; ++y) {
        Uint8* row = static_cast<Uint8*>(surface->pixels) + y * surface->pitch;
        for (int x = 0; x < image.width; ++x) {
            const Rgb c = toneMap(image.at(x, y));
            if (background == Background::kTransparentBlack &&
                raster::maxChannel(c) < kTransparentCutoff)
                continue; // stays exactly (0, 0, 0)
            const double t = bayerThreshold(x, y);
            row[3 * x + 0] = ditherChannel(c.b, 5, t);
            row[3 * x + 1] = ditherChannel(c.g, 6, t);
            row[3 * x + 2] = ditherChannel(c.r, 5, t);
        }
    }
    return surface;
}

bool save(const Image& image, Background background, const std::filesystem::path& file) {
    SDL_Surface* surface = toSurface(image, background);
    const bool ok = surface && SDL_SaveBMP(surface, file.string().c_str()) == 0;
    if (!ok)
        std::fprintf(stderr, "make_images: cannot write %s: %s\n", file.c_str(), SDL_GetError());
    SDL_FreeSurface(surface);
    return ok;
}

// ------------------------------------------------------------- text helpers

struct TextStyle {
    TextLayout layout;
    Gradient fill;
    double outlineWidth = 0; // 0: no outline
    Rgb outline;
    double bevel = 0; // rounding of the strokes' edges in pixels, 0: flat
};

// Draws text with its top-left corner at `origin`; returns its width.
double drawText(Canvas& canvas, std::string_view text, Vec2 origin, const TextStyle& style) {
    const Shape shape = pixel_font::textShape(text, origin, style.layout);
    const Region region(shape, canvas.ss(), style.outlineWidth);
    if (style.outlineWidth > 0)
        raster::paintOutline(canvas, region, style.outlineWidth, style.outline);
    const Gradient fill = style.fill;
    const double top = origin.y;
    const double height = style.layout.height();
    const double bevel = style.bevel;
    raster::paint(canvas, region, [=](const Fragment& f) {
        const Rgb base = fill.at((f.pos.y - top) / height);
        if (bevel <= 0)
            return base;
        const raster::Vec3 n = raster::pillowNormal(f, bevel);
        const double light = dot(n, raster::kLightDirection) / raster::kLightDirection.z;
        return base * static_cast<float>(0.45 + 0.55 * light);
    });
    return style.layout.width(text);
}

double drawCentredText(Canvas& canvas, std::string_view text, Vec2 centre, const TextStyle& style) {
    const Vec2 origin{centre.x - style.layout.width(text) / 2,
                      centre.y - style.layout.height() / 2};
    return drawText(canvas, text, origin, style);
}

// ------------------------------------------------------------------ stars

struct StarLayer {
    int count;
    double minBrightness, maxBrightness;
    double minSigma, maxSigma; // gaussian radius in pixels
    double bandShare;          // share of stars placed in the nebula band
};

// Fraction of a unit pixel [p, p+1) covered by a 1D gaussian centred at c.
double gaussianCover(double p, double c, double sigma) {
    const double s = sigma * std::sqrt(2.0);
    return 0.5 * (std::erf((p + 1 - c) / s) - std::erf((p - c) / s));
}

// Adds an anti-aliased gaussian star whose peak is about `colour` when it is
// centred on a pixel.
void addStar(Image& image, Vec2 pos, double sigma, Rgb colour) {
    const double peak = std::pow(gaussianCover(0, 0.5, sigma), 2);
    const int reach = static_cast<int>(std::ceil(sigma * 3));
    for (int y = static_cast<int>(pos.y) - reach; y <= static_cast<int>(pos.y) + reach; ++y)
        for (int x = static_cast<int>(pos.x) - reach; x <= static_cast<int>(pos.x) + reach; ++x) {
            if (x < 0 || y < 0 || x >= image.width || y >= image.height)
                continue;
            const double w = gaussianCover(x, pos.x, sigma) * gaussianCover(y, pos.y, sigma) / peak;
            image.at(x, y) = image.at(x, y) + colour * static_cast<float>(w);
        }
}

// Thin horizontal and vertical diffraction spikes of a bright star.
void addSpikes(Image& image, Vec2 pos, double length, Rgb colour) {
    const int reach = static_cast<int>(length * 2);
    for (int d = -reach; d <= reach; ++d)
        for (int side = -1; side <= 1; ++side) {
            const double falloff = std::exp(-std::abs(d) / length) * (side == 0 ? 1.0 : 0.18);
            const Rgb c = colour * static_cast<float>(falloff);
            const int cx = static_cast<int>(pos.x), cy = static_cast<int>(pos.y);
            const std::pair<int, int> points[] = {{cx + d, cy + side}, {cx + side, cy + d}};
            for (auto [x, y] : points)
                if (x >= 0 && y >= 0 && x < image.width && y < image.height && d != 0)
                    image.at(x, y) = image.at(x, y) + c;
        }
}

// Star colour by temperature, mostly white with some blue and warm stars.
Rgb starColour(Rng& rng) {
    static const std::pair<double, Rgb> kPalette[] = {{0.25, rgb8(175, 200, 255)},
                                                      {0.60, rgb8(235, 240, 255)},
                                                      {0.80, rgb8(255, 240, 215)},
                                                      {0.95, rgb8(255, 212, 165)},
                                                      {1.00, rgb8(255, 165, 145)}};
    const double pick = rng.uniform();
    for (const auto& [limit, colour] : kPalette)
        if (pick <= limit)
            return colour;
    return kPalette[0].second;
}

// Faint diagonal nebula band: 0 outside, up to 1 at its densest.
double nebulaDensity(Vec2 p, uint64_t seed) {
    const Vec2 across{0.56, 0.83}; // normal of the band, which rises to the right
    const double offset = dot(p - Vec2{400, 330}, across);
    const double warp = (raster::fbm(p.x / 260, p.y / 260, 3, seed + 1) - 0.5) * 220;
    const double band = std::exp(-std::pow((offset + warp) / 140, 2));
    const double clouds =
        raster::smoothstep(0.38, 0.78, raster::fbm(p.x / 170, p.y / 170, 6, seed));
    return band * clouds;
}

void addNebula(Image& image, uint64_t seed) {
    const Rgb violet = rgb8(70, 30, 100);
    const Rgb teal = rgb8(20, 60, 90);
    constexpr float kStrength = 0.42f;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const Vec2 p{x + 0.5, y + 0.5};
            const double density = nebulaDensity(p, seed);
            const double hue = raster::fbm(p.x / 120, p.y / 120, 4, seed + 99);
            image.at(x, y) = image.at(x, y) + mix(violet, teal, static_cast<float>(hue)) *
                                                  static_cast<float>(density * kStrength);
        }
}

Vec2 randomStarPosition(Rng& rng, bool inBand, uint64_t seed) {
    for (;;) {
        const Vec2 p{rng.range(0, kScreenWidth), rng.range(0, kScreenHeight)};
        if (!inBand || rng.uniform() < nebulaDensity(p, seed) * 1.6)
            return p;
    }
}

Image makeStarField() {
    constexpr uint64_t kSeed = 0xD0E15747;
    Image image(kScreenWidth, kScreenHeight);
    addNebula(image, kSeed);
    Rng rng(kSeed);
    static const StarLayer kLayers[] = {
        {1300, 0.10, 0.32, 0.38, 0.50, 0.45}, // distant dust
        {280, 0.30, 0.60, 0.48, 0.62, 0.30},  // middle distance
        {45, 0.60, 0.95, 0.60, 0.80, 0.20},   // near, bright
    };
    for (const StarLayer& layer : kLayers)
        for (int i = 0; i < layer.count; ++i) {
            const Vec2 p = randomStarPosition(rng, rng.uniform() < layer.bandShare, kSeed);
            const double brightness = rng.range(layer.minBrightness, layer.maxBrightness);
            // One draw per statement: the order of a call's arguments is up
            // to the compiler, and differs between machines.
            const Rgb colour = starColour(rng);
            const double sigma = rng.range(layer.minSigma, layer.maxSigma);
            addStar(image, p, sigma, colour * static_cast<float>(brightness));
        }
    // A few coloured "twinkle" stars with halo and diffraction spikes.
    static const Rgb kTwinkleColours[] = {rgb8(150, 190, 255), rgb8(255, 220, 150),
                                          rgb8(255, 150, 200), rgb8(160, 255, 230)};
    for (int i = 0; i < 9; ++i) {
        const Vec2 p = randomStarPosition(rng, false, kSeed);
        const Rgb colour = kTwinkleColours[i % 4];
        addStar(image, p, 2.2, colour * 0.10f);
        addStar(image, p, 0.75, mix(colour, Rgb{1, 1, 1}, 0.6f) * 0.95f);
        addSpikes(image, p, rng.range(2.5, 4.5), colour * 0.35f);
    }
    return image;
}

// ------------------------------------------------------------------ ships

// Parts of a ship and the material each is drawn with.
enum class Role { kHull, kWing, kTrim, kMetal, kGlass };

struct ShipPalette {
    Material hull, wing, trim, metal, glass;
    Rgb outline;
    Rgb flameCore, flame;
    Rgb navLight;
    const Material& material(Role role) const {
        switch (role) {
        case Role::kHull:
            return hull;
        case Role::kWing:
            return wing;
        case Role::kTrim:
            return trim;
        case Role::kMetal:
            return metal;
        case Role::kGlass:
            return glass;
        }
        return hull;
    }
};

// A polygon of the ship, in ship coordinates: pixels, origin at the ship's
// centre, nose towards +x. A mirrored part also gets its reflection across
// the ship's axis (y -> -y).
struct ShipPart {
    Role role;
    double roundness; // pixels over which the part's edges are rounded
    bool mirrored;
    Polygon points;
};

struct Engine {
    Vec2 nozzle; // centre of the nozzle exit
    double radius;
    double flameLength;
};

// Engraved seam between hull plates, mirrored like parts.
struct PanelLine {
    Vec2 from, to;
    bool mirrored;
};

struct ShipDesign {
    ShipPalette palette;
    std::vector<ShipPart> parts; // drawn in order
    std::vector<PanelLine> panelLines;
    Vec2 canopyCentre, canopyRadii;
    std::vector<Engine> engines;
    std::vector<Vec2> navLights; // mirrored like parts
};

constexpr double kShipOutlineWidth = 0.9;
constexpr double kPanelLineWidth = 0.5;
constexpr float kPanelLineOpacity = 0.55f;

const Material kGunMetal{rgb8(48, 52, 62), rgb8(112, 118, 132), rgb8(205, 210, 222), 0.5f, 30};

const ShipDesign kBlueShip{
    {
        Material{rgb8(16, 38, 100), rgb8(46, 108, 215), rgb8(170, 215, 255), 0.45f, 25},
        Material{rgb8(22, 36, 86), rgb8(40, 78, 160), rgb8(125, 172, 240), 0.30f, 20},
        Material{rgb8(60, 100, 150), rgb8(160, 215, 250), rgb8(240, 252, 255), 0.4f, 25},
        kGunMetal,
        Material{rgb8(18, 50, 70), rgb8(40, 150, 185), rgb8(190, 250, 255), 1.0f, 40},
        rgb8(26, 34, 78),
        rgb8(235, 250, 255),
        rgb8(60, 170, 255),
        rgb8(140, 230, 255),
    },
    {
        // swept-back delta wings
        {Role::kWing,
         1.6,
         true,
         {{12, -5}, {-13, -27}, {-20, -30}, {-24, -28.5}, {-20, -15}, {-18, -5}}},
        // pale leading-edge stripe
        {Role::kTrim,
         0.7,
         true,
         {{6, -8.2}, {-13, -25.4}, {-15.5, -26.4}, {-14, -23.6}, {3, -8.2}}},
        // wingtip fins
        {Role::kMetal,
         1.0,
         true,
         {{-8, -29}, {-23, -28.5}, {-27, -30.5}, {-24, -32.5}, {-11, -32}}},
        // engine nacelles
        {Role::kHull,
         3.0,
         true,
         {{4, -5}, {-4, -11}, {-25, -11.5}, {-28, -9.5}, {-28, -4}, {-20, -3}}},
        // nozzles
        {Role::kMetal, 1.2, true, {{-25, -10}, {-30.5, -10.2}, {-30.5, -4}, {-25, -4.2}}},
        // canards
        {Role::kWing, 1.0, true, {{25, -3}, {17, -10}, {13, -10}, {14, -4}}},
        // fuselage
        {Role::kHull,
         5.5,
         false,
         {{35, 0},
          {28, -2.3},
          {18, -4.9},
          {6, -6.4},
          {-10, -6.4},
          {-22, -5},
          {-27, -3},
          {-27, 3},
          {-22, 5},
          {-10, 6.4},
          {6, 6.4},
          {18, 4.9},
          {28, 2.3}}},
        // spine
        {Role::kTrim, 0.6, false, {{1, -0.7}, {-20, -0.7}, {-20, 0.7}, {1, 0.7}}},
        // nose cannon
        {Role::kMetal, 0.5, false, {{36.5, -0.8}, {29, -0.9}, {29, 0.9}, {36.5, 0.8}}},
    },
    {
        {{-5, -8}, {-17, -25}, true},    // wing spar
        {{-14, -6}, {-18.5, -21}, true}, // flap
        {{-2, -6.4}, {-2, 6.4}, false},
        {{-13, -6.4}, {-13, 6.4}, false},
        {{-10, -10.8}, {-10, -5.5}, true},
    },
    {13, 0},
    {7.5, 3.2},
    {{{-30.5, 7.1}, 2.8, 5.5}, {{-30.5, -7.1}, 2.8, 5.5}},
    {{-25, -31}},
};

const ShipDesign kRedShip{
    {
        Material{rgb8(92, 14, 20), rgb8(200, 36, 40), rgb8(255, 140, 120), 0.45f, 25},
        Material{rgb8(72, 16, 24), rgb8(150, 30, 36), rgb8(235, 110, 100), 0.30f, 20},
        Material{rgb8(125, 72, 20), rgb8(240, 178, 58), rgb8(255, 240, 170), 0.4f, 25},
        kGunMetal,
        Material{rgb8(70, 34, 12), rgb8(205, 125, 40), rgb8(255, 232, 165), 1.0f, 40},
        rgb8(62, 20, 28),
        rgb8(255, 250, 225),
        rgb8(255, 120, 30),
        rgb8(255, 220, 120),
    },
    {
        // twin tail fins
        {Role::kWing, 1.2, true, {{-12, -7}, {-23, -18}, {-29, -18.5}, {-27, -7}}},
        // forward-swept wings
        {Role::kWing,
         1.6,
         true,
         {{4, -7}, {15, -27}, {12, -30.5}, {3, -30.5}, {-17, -9}, {-17, -7}}},
        // gold stripe along the wing's leading edge
        {Role::kTrim, 0.8, true, {{1.5, -9.5}, {11.2, -26.8}, {8.8, -27.6}, {-2, -9.5}}},
        // wingtip cannons
        {Role::kMetal,
         1.0,
         true,
         {{22, -28.2}, {3, -28.2}, {0, -30.2}, {3, -32.4}, {20, -32.4}, {23, -30.3}}},
        // air intakes
        {Role::kMetal, 1.0, true, {{15, -6}, {8, -10.6}, {-4, -10.6}, {-4, -7}}},
        // engine nozzle
        {Role::kMetal, 1.5, false, {{-25, -6}, {-32, -6.5}, {-32, 6.5}, {-25, 6}}},
        // fuselage
        {Role::kHull,
         6.5,
         false,
         {{34, 0},
          {27, -3},
          {17, -6.4},
          {6, -8.8},
          {-12, -8.8},
          {-22, -7.6},
          {-28, -5},
          {-28, 5},
          {-22, 7.6},
          {-12, 8.8},
          {6, 8.8},
          {17, 6.4},
          {27, 3}}},
        // gold chevron behind the canopy
        {Role::kTrim, 0.7, false, {{4, 0}, {-3, -5.5}, {-7, -5.5}, {-1, 0}, {-7, 5.5}, {-3, 5.5}}},
        // nose cannon
        {Role::kMetal, 0.5, false, {{35.5, -0.9}, {28, -1.1}, {28, 1.1}, {35.5, 0.9}}},
    },
    {
        {{-11, -10}, {4, -28}, true}, // flap
        {{-1, -9}, {7, -24}, true},   // spar
        {{-15, -8.8}, {-15, 8.8}, false},
        {{21, -5}, {21, 5}, false},
        {{-19, -9}, {-25, -16}, true},
    },
    {14, 0},
    {7.0, 3.7},
    {{{-32, 0}, 4.6, 3.8}},
    {{21, -30.3}},
};

// Maps ship coordinates to picture coordinates.
struct ShipPlacement {
    Vec2 centre;
    int facing; // +1: nose to the right, -1: nose to the left
    double scale;
    Vec2 operator()(Vec2 p) const {
        return {centre.x + facing * p.x * scale, centre.y + p.y * scale};
    }
};

Shape partShape(const ShipPart& part, const ShipPlacement& place) {
    Shape shape(1);
    for (Vec2 p : part.points)
        shape[0].push_back(place(p));
    if (part.mirrored) {
        shape.emplace_back();
        for (Vec2 p : part.points)
            shape[1].push_back(place({p.x, -p.y}));
    }
    return shape;
}

// Exhaust flame pointing backwards out of a nozzle: white-hot core inside a
// coloured plume that tapers and fades with distance.
void addFlame(Canvas& canvas, const Engine& engine, const ShipPlacement& place, Rgb core,
              Rgb flame) {
    const double r = engine.radius * place.scale;
    const double len = engine.flameLength * place.scale;
    const Vec2 nozzle = place(engine.nozzle);
    const double back = -place.facing; // screen direction of the exhaust
    const Vec2 lo{std::min(nozzle.x, nozzle.x + back * (len + r)) - r, nozzle.y - 2 * r};
    const Vec2 hi{std::max(nozzle.x, nozzle.x + back * (len + r)) + r, nozzle.y + 2 * r};
    canvas.addLight(lo, hi, [=](Vec2 p) {
        const double along = (p.x - nozzle.x) * back; // distance behind the nozzle
        if (along < -0.6 * r)
            return Rgb{};
        const double t = std::max(0.0, along) / len;
        const double width = r * (1.0 - 0.75 * std::min(1.0, t));
        const double across = (p.y - nozzle.y) / std::max(0.2, width);
        const double plume = std::exp(-across * across * 1.6) * std::max(0.0, 1 - t * t);
        const double hot = std::exp(-across * across * 4) * std::exp(-t * 5);
        return flame * static_cast<float>(1.3 * plume) + core * static_cast<float>(1.4 * hot);
    });
}

void addPointLight(Canvas& canvas, Vec2 centre, double radius, Rgb colour) {
    const Vec2 reach{radius * 2.5, radius * 2.5};
    canvas.addLight(centre - reach, centre + reach, [=](Vec2 p) {
        const double d2 = dot(p - centre, p - centre) / (radius * radius);
        return colour * static_cast<float>(std::exp(-d2));
    });
}

// Draws a ship; all outlines, shading and lights scale with `scale`.
void drawShip(Canvas& canvas, const ShipDesign& design, const ShipPlacement& place) {
    const ShipPalette& pal = design.palette;
    const Polygon canopy =
        raster::ellipse(place(design.canopyCentre), design.canopyRadii.x * place.scale,
                        design.canopyRadii.y * place.scale);
    Shape silhouette;
    for (const ShipPart& part : design.parts)
        for (Polygon& p : partShape(part, place))
            silhouette.push_back(std::move(p));
    const double outlineWidth = kShipOutlineWidth * place.scale;
    raster::paintOutline(canvas, Region(silhouette, canvas.ss(), outlineWidth), outlineWidth,
                         pal.outline);

    for (const ShipPart& part : design.parts)
        raster::paint(canvas, Region(partShape(part, place), canvas.ss(), 0),
                      raster::pillow(pal.material(part.role), part.roundness * place.scale));

    Shape seams;
    for (const PanelLine& line : design.panelLines) {
        seams.push_back(
            raster::segment(place(line.from), place(line.to), kPanelLineWidth * place.scale));
        if (line.mirrored)
            seams.push_back(raster::segment(place({line.from.x, -line.from.y}),
                                            place({line.to.x, -line.to.y}),
                                            kPanelLineWidth * place.scale));
    }
    raster::paint(canvas, Region(seams, canvas.ss(), 0), raster::solid(pal.hull.shadow * 0.6f),
                  kPanelLineOpacity);

    // Glass canopy with a soft reflection streak.
    raster::paint(canvas, Region({canopy}, canvas.ss(), 0),
                  raster::pillow(pal.glass, design.canopyRadii.y * place.scale));
    const Vec2 glint = place(design.canopyCentre + Vec2{1.0, -1.3});
    raster::paint(canvas,
                  Region({raster::ellipse(glint, design.canopyRadii.x * 0.45 * place.scale,
                                          design.canopyRadii.y * 0.22 * place.scale)},
                         canvas.ss(), 0),
                  raster::solid(Rgb{1, 1, 1}), 0.55f);

    for (const Engine& engine : design.engines) {
        addFlame(canvas, engine, place, pal.flameCore, pal.flame);
        addPointLight(canvas, place(engine.nozzle), engine.radius * 0.7 * place.scale,
                      pal.flame * 0.6f);
    }
    for (Vec2 light : design.navLights)
        for (Vec2 p : {light, Vec2{light.x, -light.y}})
            addPointLight(canvas, place(p), 0.9 * place.scale, pal.navLight);
}

Image makeShipPicture(const ShipDesign& design, int facing) {
    Canvas canvas(kShipSize, kShipSize, kSpriteSupersampling);
    drawShip(canvas, design, {kShipCentre, facing, 1.0});
    return canvas.resolve();
}

// ----------------------------------------------------------------- lasers

struct BoltColours {
    Rgb core;
    Rgb glow;
};
const BoltColours kRedBolt{rgb8(255, 235, 200), rgb8(255, 60, 25)};
const BoltColours kBlueBolt{rgb8(215, 250, 255), rgb8(30, 140, 255)};

// Laser bolt along a horizontal line, lighting exactly the columns between
// its front point `tip` and its tail: brightest and thickest at the rounded
// head, tapering and fading towards the tail. `towardsTail` is +1 if the
// tail lies to the right of the tip.
void addBolt(Canvas& canvas, Vec2 tip, double length, int towardsTail, double thickness,
             const BoltColours& colours) {
    const double tail = tip.x + towardsTail * length;
    const double headCentre = tip.x + towardsTail * thickness * 0.6;
    const Vec2 lo{std::min(tip.x, tail), tip.y - 3 * thickness};
    const Vec2 hi{std::max(tip.x, tail), tip.y + 3 * thickness};
    canvas.addLight(lo, hi, [=](Vec2 p) {
        const double behind = (p.x - headCentre) * towardsTail; // < 0 in front of the head
        const double u = std::max(0.0, behind) / length;        // 0 at head, ~1 at tail
        const double v = p.y - tip.y;
        const double ahead = std::max(0.0, -behind);
        const double half = thickness * (1 - 0.6 * u);
        const double d2 = (v * v + ahead * ahead) / (half * half);
        const double fade = 1 - 0.92 * raster::smoothstep(0.2, 1.0, u);
        const double core = std::exp(-d2 * 2.2) * fade;
        const double glow = std::exp(-d2 * 0.55) * fade;
        const double head = std::exp(-(v * v + behind * behind) / (2.2 * thickness * thickness));
        return colours.core * static_cast<float>(1.25 * core + 0.5 * head) +
               colours.glow * static_cast<float>(0.95 * glow);
    });
}

constexpr double kBoltThickness = 2.2;

Image makeLaserPicture(const BoltColours& colours, int direction) {
    Canvas canvas(kLaserWidth, kLaserHeight, kSpriteSupersampling);
    const double length = kBoltRightEnd - kBoltLeftEnd;
    if (direction < 0) // flies left: tip at column 0
        addBolt(canvas, {kBoltLeftEnd, kBoltRow}, length, +1, kBoltThickness, colours);
    else // flies right: tip at column 40
        addBolt(canvas, {kBoltRightEnd, kBoltRow}, length, -1, kBoltThickness, colours);
    return canvas.resolve();
}

// ------------------------------------------------------------- explosions

const Gradient kRedFire{{0.00f, rgb8(0, 0, 0)},       {0.18f, rgb8(90, 8, 10)},
                        {0.40f, rgb8(220, 40, 20)},   {0.62f, rgb8(255, 130, 30)},
                        {0.82f, rgb8(255, 225, 120)}, {1.00f, rgb8(255, 255, 245)}};
const Gradient kBlueFire{{0.00f, rgb8(0, 0, 0)},       {0.18f, rgb8(20, 14, 90)},
                         {0.40f, rgb8(40, 70, 230)},   {0.62f, rgb8(50, 170, 255)},
                         {0.82f, rgb8(170, 240, 255)}, {1.00f, rgb8(250, 255, 255)}};

// Explosion burst inside the ellipse `radii`: a billowing fireball with a
// ragged rim, a few light rays and flying sparks, coloured by a fire ramp
// (0 = black, 1 = white hot). Nothing reaches the ellipse's edge.
void addBurst(Canvas& canvas, Vec2 centre, Vec2 radii, const Gradient& fire, uint64_t seed) {
    constexpr double kRimNoiseScale = 1.8; // bumps around the rim
    constexpr double kPuffSize = 6.0;      // pixels per turbulence cell
    constexpr int kRays = 9;
    constexpr int kSparks = 40;
    Rng rng(seed);
    std::vector<std::pair<double, double>> rays(kRays); // angle, angular width
    for (auto& [angle, width] : rays)
        angle = rng.range(0, 2 * raster::kPi), width = rng.range(0.02, 0.05);
    canvas.addLight(centre - radii, centre + radii, [=](Vec2 p) {
        const Vec2 q{(p.x - centre.x) / radii.x, (p.y - centre.y) / radii.y};
        const double r = raster::length(q);
        if (r >= 1)
            return Rgb{};
        const double c = r > 1e-9 ? q.x / r : 1, s = r > 1e-9 ? q.y / r : 0;
        const double rim =
            0.55 + 0.4 * raster::fbm(c * kRimNoiseScale + 10, s * kRimNoiseScale + 10, 3, seed);
        const double puffs = raster::fbm(p.x / kPuffSize, p.y / kPuffSize, 4, seed + 5);
        const double heat = std::pow(raster::clamp01(1 - r / rim), 0.55) * (0.55 + 0.75 * puffs);
        double rayLight = 0;
        for (const auto& [angle, width] : rays) {
            const double d = std::remainder(std::atan2(q.y, q.x) - angle, 2 * raster::kPi) / width;
            rayLight += std::exp(-d * d) * (1 - r) * (1 - r);
        }
        return fire.at(std::min(1.0, heat)) * 1.1f +
               fire.at(0.7) * static_cast<float>(0.8 * rayLight);
    });
    for (int i = 0; i < kSparks; ++i) {
        const double angle = rng.range(0, 2 * raster::kPi);
        const double dist = rng.range(0.35, 0.9);
        const Vec2 p{centre.x + std::cos(angle) * dist * radii.x,
                     centre.y + std::sin(angle) * dist * radii.y};
        // One draw per statement, as for the stars.
        const Rgb colour = fire.at(rng.range(0.7, 1.0));
        const double size = rng.range(0.45, 0.8);
        addPointLight(canvas, p, size, colour);
    }
}

struct BoomStyle {
    std::string text;
    const Gradient& leftFire;
    const Gradient& rightFire;
    Gradient textFill;
    Rgb textOutline;
};

constexpr double kBoomTextMargin = 8;
constexpr double kBoomOutline = 2.0;

Image makeBoomPicture(const BoomStyle& style, uint64_t seed) {
    Canvas canvas(kBoomWidth, kBoomHeight, kSpriteSupersampling / 2);
    const Vec2 centre{kBoomWidth / 2.0, kBoomHeight / 2.0};
    // A round fireball per half and a flat flash across the whole banner.
    const Vec2 ballRadii{kBoomHeight * 0.9, kBoomHeight / 2.0 - 1};
    const Vec2 flashRadii{kBoomWidth * 0.27, kBoomHeight * 0.2};
    addBurst(canvas, {kBoomWidth * 0.25, centre.y}, flashRadii, style.leftFire, seed + 2);
    addBurst(canvas, {kBoomWidth * 0.75, centre.y}, flashRadii, style.rightFire, seed + 3);
    addBurst(canvas, {kBoomWidth * 0.4, centre.y}, ballRadii, style.leftFire, seed);
    addBurst(canvas, {kBoomWidth * 0.6, centre.y}, ballRadii, style.rightFire, seed + 1);

    // Largest bold lettering that fits between the margins.
    TextStyle text{{2.5, 3.5, true}, style.textFill, kBoomOutline, style.textOutline, 1.6};
    while (text.layout.width(style.text) + 2 * (kBoomTextMargin + kBoomOutline) > kBoomWidth)
        text.layout.cellWidth -= 0.25;
    drawCentredText(canvas, style.text, centre, text);
    return canvas.resolve();
}

// ----------------------------------------------------------------- digits

const Gradient kDigitFill{
    {0.0f, rgb8(255, 255, 255)}, {0.55f, rgb8(235, 242, 255)}, {1.0f, rgb8(170, 195, 240)}};

Image makeDigitsPicture() {
    Canvas canvas(kDigitCount * kDigitWidth, kDigitHeight, kSpriteSupersampling);
    const TextStyle style{{1.5, 2, true}, kDigitFill, 1.0, rgb8(34, 38, 80), 0};
    for (int n = 0; n < 10; ++n) {
        const std::string digit(1, static_cast<char>('0' + n));
        drawCentredText(canvas, digit, {kDigitWidth * (n + 0.5), kDigitHeight / 2.0}, style);
    }
    return canvas.resolve();
}

// ----------------------------------------------------------------- banner

const Gradient kTitleFill{{0.0f, rgb8(255, 250, 190)}, {1.0f, rgb8(255, 170, 40)}};
const Gradient kRedFill{{0.0f, rgb8(255, 150, 140)}, {1.0f, rgb8(255, 50, 50)}};
const Gradient kRedKeysFill{{0.0f, rgb8(255, 225, 215)}, {1.0f, rgb8(255, 150, 130)}};
const Gradient kBlueFill{{0.0f, rgb8(150, 225, 255)}, {1.0f, rgb8(50, 130, 255)}};
const Gradient kBlueKeysFill{{0.0f, rgb8(225, 245, 255)}, {1.0f, rgb8(140, 200, 255)}};
const Gradient kNeutralFill{{0.0f, rgb8(235, 235, 245)}, {1.0f, rgb8(175, 180, 200)}};
const Gradient kSeparatorFill{{0.0f, rgb8(200, 160, 255)}, {1.0f, rgb8(130, 90, 230)}};

struct TextRun {
    std::string text;
    const Gradient& fill;
};

// Draws runs of text one after another, centred horizontally on `centreX`.
void drawRuns(Canvas& canvas, const std::vector<TextRun>& runs, double centreX, double top,
              const TextLayout& layout, double outline = 0, Rgb outlineColour = {},
              double bevel = 0) {
    std::string all;
    for (const TextRun& run : runs)
        all += run.text;
    double x = std::round(centreX - layout.width(all) / 2);
    for (const TextRun& run : runs) {
        const TextStyle style{layout, run.fill, outline, outlineColour, bevel};
        x += drawText(canvas, run.text, {x, top}, style) +
             pixel_font::kLetterSpacing * layout.cellWidth;
    }
}

Image makeBannerPicture() {
    Canvas canvas(kScreenWidth, kBannerHeight, kSpriteSupersampling / 2);
    const TextLayout crisp{1, 2, false};
    const std::string sep = "   *   ";
    drawRuns(canvas,
             {{"DUELSTAR", kTitleFill},
              {sep, kSeparatorFill},
              {"RED: ", kRedFill},
              {"T G F H MOVE, S FIRE", kRedKeysFill},
              {sep, kSeparatorFill},
              {"BLUE: ", kBlueFill},
              {"CURSOR KEYS MOVE, RETURN FIRE", kBlueKeysFill},
              {sep, kSeparatorFill},
              {"P SCREENSHOT", kNeutralFill},
              {sep, kSeparatorFill},
              {"ESC QUIT", kNeutralFill}},
             kScreenWidth / 2.0, 2, crisp);
    return canvas.resolve();
}

// -------------------------------------------------------------- title card

const Gradient kChrome{{0.00f, rgb8(250, 252, 255)}, {0.40f, rgb8(150, 185, 250)},
                       {0.49f, rgb8(40, 40, 110)},   {0.51f, rgb8(120, 40, 40)},
                       {0.56f, rgb8(255, 140, 60)},  {1.00f, rgb8(255, 235, 150)}};

void drawLogo(Canvas& canvas, Vec2 centre) {
    const TextLayout layout{11, 15, true};
    const std::string title = "DUELSTAR";
    const Vec2 origin{centre.x - layout.width(title) / 2, centre.y - layout.height() / 2};
    const Shape shape = pixel_font::textShape(title, origin, layout);
    constexpr double kGlowRadius = 26;
    const Region region(shape, canvas.ss(), kGlowRadius);
    const double left = origin.x, width = layout.width(title);
    raster::addGlow(canvas, region, kGlowRadius, [=](Vec2 p) {
        return mix(rgb8(40, 110, 255), rgb8(255, 50, 40),
                   static_cast<float>(raster::clamp01((p.x - left) / width))) *
               0.55f;
    });
    raster::paintOutline(canvas, region, 4.0, rgb8(18, 16, 48));
    const TextStyle style{layout, kChrome, 0, {}, 5.0};
    drawText(canvas, title, origin, style);
}

// A key cap with a label, lit like the ships.
void drawKey(Canvas& canvas, Vec2 centre, Vec2 size, std::string_view label, Rgb accent) {
    const Material cap{rgb8(34, 38, 54), rgb8(66, 72, 96), rgb8(150, 160, 190), 0.25f, 20};
    const Vec2 half = size * 0.5;
    const Region body({raster::roundedRect(centre - half, centre + half, 5)}, canvas.ss(), 2);
    raster::paintOutline(canvas, body, 1.6, accent);
    raster::paint(canvas, body, raster::pillow(cap, 4));
    const TextLayout layout = label.size() > 1 ? TextLayout{1, 2, false} : TextLayout{2, 2.5, true};
    const Gradient white{{0.0f, rgb8(255, 255, 255)}, {1.0f, rgb8(200, 210, 230)}};
    drawCentredText(canvas, label, {centre.x, centre.y - 1}, TextStyle{layout, white, 0, {}, 0});
}

struct PlayerKeys {
    std::string name;
    const Gradient& nameFill;
    Rgb accent;
    std::string up, left, down, right, fire;
};

// Panel with a player's name, movement keys in an inverted T and the fire key.
void drawControlsPanel(Canvas& canvas, Vec2 centre, const PlayerKeys& keys) {
    constexpr double kKey = 30, kGap = 4, kPanelW = 330, kPanelH = 130;
    const Vec2 half{kPanelW / 2, kPanelH / 2};
    const Region panel({raster::roundedRect(centre - half, centre + half, 10)}, canvas.ss(), 2);
    raster::paint(canvas, panel, raster::solid(rgb8(10, 12, 30)), 0.7f);
    raster::paintOutline(canvas, panel, 1.5, keys.accent * 0.8f);

    const TextLayout heading{2, 3, true};
    drawRuns(canvas, {{keys.name, keys.nameFill}}, centre.x, centre.y - half.y + 10, heading, 1.5,
             rgb8(24, 24, 48));

    const Vec2 cluster{centre.x - 85, centre.y + 22}; // centre of the bottom row
    const double step = kKey + kGap;
    const Vec2 keySize{kKey, kKey};
    drawKey(canvas, cluster - Vec2{0, step}, keySize, keys.up, keys.accent);
    drawKey(canvas, cluster - Vec2{step, 0}, keySize, keys.left, keys.accent);
    drawKey(canvas, cluster, keySize, keys.down, keys.accent);
    drawKey(canvas, cluster + Vec2{step, 0}, keySize, keys.right, keys.accent);

    const TextLayout label{1, 2, false};
    const Gradient grey{{0.0f, rgb8(235, 238, 250)}, {1.0f, rgb8(170, 178, 205)}};
    drawRuns(canvas, {{"MOVE", grey}}, cluster.x, cluster.y + kKey / 2 + 6, label);

    const double fireWidth = std::max(kKey, TextLayout{1, 2, false}.width(keys.fire) + 20);
    const Vec2 fireKey{centre.x + 85, cluster.y - step / 2};
    drawKey(canvas, fireKey, {fireWidth, kKey}, keys.fire, keys.accent);
    drawRuns(canvas, {{"FIRE", grey}}, fireKey.x, fireKey.y + kKey / 2 + 6, label);
}

Image makeLoadingPicture(const Image& stars) {
    Canvas canvas(stars, kScreenSupersampling);
    drawLogo(canvas, {kScreenWidth / 2.0, 100});

    const Gradient subtitle{{0.0f, rgb8(210, 225, 255)}, {1.0f, rgb8(140, 160, 220)}};
    drawRuns(canvas, {{"A SPACE DUEL FOR TWO PLAYERS", subtitle}}, kScreenWidth / 2.0, 178,
             {1.5, 2.5, true});

    constexpr double kShipY = 282, kShipScale = 2.0;
    drawShip(canvas, kBlueShip, {{175, kShipY}, +1, kShipScale});
    drawShip(canvas, kRedShip, {{625, kShipY}, -1, kShipScale});
    addBolt(canvas, {352, kShipY}, 70, -1, 2 * kBoltThickness, kBlueBolt);
    addBolt(canvas, {448, kShipY}, 70, +1, 2 * kBoltThickness, kRedBolt);
    const Gradient gold{{0.0f, rgb8(255, 250, 200)}, {1.0f, rgb8(255, 160, 40)}};
    drawCentredText(canvas, "VS", {400, kShipY},
                    TextStyle{{4, 5, true}, gold, 2.0, rgb8(40, 20, 10), 2});

    drawControlsPanel(canvas, {175, 440},
                      {"BLUE", kBlueFill, rgb8(60, 140, 255), std::string(1, pixel_font::kArrowUp),
                       std::string(1, pixel_font::kArrowLeft),
                       std::string(1, pixel_font::kArrowDown),
                       std::string(1, pixel_font::kArrowRight), "RETURN"});
    drawControlsPanel(canvas, {625, 440},
                      {"RED", kRedFill, rgb8(255, 70, 60), "T", "F", "G", "H", "S"});

    drawRuns(canvas, {{"5 HITS DESTROY A SHIP   *   FIRST TO 3 WINS", kTitleFill}},
             kScreenWidth / 2.0, 524, {1, 2, false});
    drawRuns(canvas, {{"LOADING...", kNeutralFill}}, kScreenWidth / 2.0, 548, {2, 3, true}, 1.5,
             rgb8(24, 24, 48));
    drawRuns(
        canvas,
        {{"P SCREENSHOT", kNeutralFill}, {"   *   ", kSeparatorFill}, {"ESC QUIT", kNeutralFill}},
        kScreenWidth / 2.0, 580, {1, 2, false});
    return canvas.resolve();
}

} // namespace

int main(int argc, char* argv[]) {
    setenv("SDL_VIDEODRIVER", "dummy", 0); // no window is ever needed
    const std::filesystem::path folder = argc > 1 ? argv[1] : IMAGES_FOLDER;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::fprintf(stderr, "make_images: cannot create %s: %s\n", folder.c_str(),
                     error.message().c_str());
        return 1;
    }

    const Gradient redText{
        {0.0f, rgb8(255, 255, 245)}, {0.5f, rgb8(255, 225, 140)}, {1.0f, rgb8(255, 140, 70)}};
    const Gradient blueText{
        {0.0f, rgb8(250, 255, 255)}, {0.5f, rgb8(190, 240, 255)}, {1.0f, rgb8(110, 170, 255)}};
    const Gradient bothText{
        {0.0f, rgb8(255, 252, 255)}, {0.5f, rgb8(240, 205, 255)}, {1.0f, rgb8(190, 140, 255)}};

    const Image stars = makeStarField();
    const auto make = [&](Picture picture) -> Image {
        switch (picture) {
        case Picture::LOADING:
            return makeLoadingPicture(stars);
        case Picture::STARS:
            return stars;
        case Picture::DIGITS:
            return makeDigitsPicture();
        case Picture::TEXT:
            return makeBannerPicture();
        case Picture::SHIP_RED:
            return makeShipPicture(kRedShip, -1);
        case Picture::SHIP_BLUE:
            return makeShipPicture(kBlueShip, +1);
        case Picture::LASER_RED:
            return makeLaserPicture(kRedBolt, -1);
        case Picture::LASER_BLUE:
            return makeLaserPicture(kBlueBolt, +1);
        case Picture::BOOM:
            return makeBoomPicture(
                {"BOTH DESTROYED", kRedFire, kBlueFire, bothText, rgb8(36, 12, 62)}, 11);
        case Picture::RED_BOOM:
            return makeBoomPicture({"RED DESTROYED", kRedFire, kRedFire, redText, rgb8(52, 10, 10)},
                                   22);
        case Picture::BLUE_BOOM:
            return makeBoomPicture(
                {"BLUE DESTROYED", kBlueFire, kBlueFire, blueText, rgb8(12, 20, 66)}, 33);
        default:
            return Image(0, 0);
        }
    };
    bool ok = true;
    for (const PictureFile& file : PICTURE_FILES) {
        const Image image = make(file.picture);
        if (image.width != file.width || image.height != file.height) {
            std::fprintf(stderr, "make_images: %s is %dx%d, the game expects %dx%d\n", file.name,
                         image.width, image.height, file.width, file.height);
            ok = false;
            continue;
        }
        const Background background =
            file.look == Look::OPAQUE ? Background::kOpaque : Background::kTransparentBlack;
        ok &= save(image, background, folder / file.name);
    }
    return ok ? 0 : 1;
}
