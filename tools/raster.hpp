// SPDX-License-Identifier: MIT
// Small software rasteriser used by make_images.cpp.
//
// Pictures are drawn into a supersampled floating-point Canvas (ss x ss
// samples per output pixel) and box-filtered down to an Image, which gives
// clean anti-aliased edges. Shapes are unions of polygons; a shape is first
// turned into a Region (a sample mask with exact Euclidean distance fields),
// so that shaders can light it like a rounded, bevelled surface and so that
// outlines and glows can be grown around it. Everything is deterministic.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <utility>
#include <vector>

namespace raster {

constexpr double kPi = 3.14159265358979323846;

// ---------------------------------------------------------------- basic types

struct Vec2 {
    double x = 0;
    double y = 0;
};
inline Vec2 operator+(Vec2 a, Vec2 b) { return {a.x + b.x, a.y + b.y}; }
inline Vec2 operator-(Vec2 a, Vec2 b) { return {a.x - b.x, a.y - b.y}; }
inline Vec2 operator*(Vec2 a, double s) { return {a.x * s, a.y * s}; }
inline double dot(Vec2 a, Vec2 b) { return a.x * b.x + a.y * b.y; }
inline double length(Vec2 a) { return std::sqrt(dot(a, a)); }

struct Vec3 {
    double x = 0;
    double y = 0;
    double z = 0;
};
inline double dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 normalized(Vec3 v) {
    const double n = std::sqrt(dot(v, v));
    return {v.x / n, v.y / n, v.z / n};
}

struct Rgb {
    float r = 0;
    float g = 0;
    float b = 0;
};
inline Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Rgb operator*(Rgb a, float s) { return {a.r * s, a.g * s, a.b * s}; }
inline Rgb operator*(Rgb a, Rgb b) { return {a.r * b.r, a.g * b.g, a.b * b.b}; }
inline Rgb mix(Rgb a, Rgb b, float t) { return a * (1 - t) + b * t; }
inline float maxChannel(Rgb c) { return std::max({c.r, c.g, c.b}); }

// Colour from 8-bit components.
constexpr Rgb rgb8(int r, int g, int b) { return {r / 255.0f, g / 255.0f, b / 255.0f}; }

inline double clamp01(double v) { return std::clamp(v, 0.0, 1.0); }
inline double smoothstep(double e0, double e1, double x) {
    const double t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

// Piecewise linear colour ramp over [0, 1].
class Gradient {
  public:
    Gradient(std::initializer_list<std::pair<float, Rgb>> stops) : stops_(stops) {}
    Rgb at(double t) const {
        if (t <= stops_.front().first)
            return stops_.front().second;
        for (size_t i = 1; i < stops_.size(); ++i) {
            if (t <= stops_[i].first) {
                const auto& [t0, c0] = stops_[i - 1];
                const auto& [t1, c1] = stops_[i];
                return mix(c0, c1, static_cast<float>((t - t0) / (t1 - t0)));
            }
        }
        return stops_.back().second;
    }

  private:
    std::vector<std::pair<float, Rgb>> stops_;
};

// ------------------------------------------------------------ randomness

// SplitMix64: small, fast and fully specified, so output never depends on
// the C library.
class Rng {
  public:
    explicit Rng(uint64_t seed) : state_(seed) {}
    uint64_t next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double uniform() { return (next() >> 11) * (1.0 / 9007199254740992.0); }
    double range(double lo, double hi) { return lo + (hi - lo) * uniform(); }

  private:
    uint64_t state_;
};

// Hash of integer lattice coordinates to [0, 1).
inline double latticeValue(int64_t x, int64_t y, uint64_t seed) {
    Rng rng(seed ^ (static_cast<uint64_t>(x) * 0x8CB92BA72F3D8DD7ull) ^
            (static_cast<uint64_t>(y) * 0xD6E8FEB86659FD93ull));
    return rng.uniform();
}

// Smooth 2D value noise in [0, 1).
inline double valueNoise(double x, double y, uint64_t seed) {
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    const auto ix = static_cast<int64_t>(fx);
    const auto iy = static_cast<int64_t>(fy);
    auto fade = [](double t) { return t * t * t * (t * (t * 6 - 15) + 10); };
    const double u = fade(x - fx);
    const double v = fade(y - fy);
    const double a = latticeValue(ix, iy, seed);
    const double b = latticeValue(ix + 1, iy, seed);
    const double c = latticeValue(ix, iy + 1, seed);
    const double d = latticeValue(ix + 1, iy + 1, seed);
    return (a + (b - a) * u) * (1 - v) + (c + (d - c) * u) * v;
}

// Fractal sum of value noise octaves, normalised to [0, 1).
inline double fbm(double x, double y, int octaves, uint64_t seed) {
    double sum = 0;
    double amplitude = 1;
    double total = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * valueNoise(x, y, seed + i * 7919);
        total += amplitude;
        x *= 2.03;
        y *= 2.03;
        amplitude *= 0.5;
    }
    return sum / total;
}

// ------------------------------------------------------------- geometry

using Polygon = std::vector<Vec2>;
using Shape = std::vector<Polygon>; // union of polygons

inline Polygon ellipse(Vec2 centre, double rx, double ry, int segments = 64) {
    Polygon p;
    for (int i = 0; i < segments; ++i) {
        const double a = 2 * kPi * i / segments;
        p.push_back({centre.x + rx * std::cos(a), centre.y + ry * std::sin(a)});
    }
    return p;
}

inline Polygon roundedRect(Vec2 lo, Vec2 hi, double radius, int cornerSegments = 8) {
    Polygon p;
    const std::array<Vec2, 4> centres = {
        Vec2{hi.x - radius, lo.y + radius}, Vec2{hi.x - radius, hi.y - radius},
        Vec2{lo.x + radius, hi.y - radius}, Vec2{lo.x + radius, lo.y + radius}};
    for (int c = 0; c < 4; ++c) {
        for (int i = 0; i <= cornerSegments; ++i) {
            const double a = kPi / 2 * (c - 1 + static_cast<double>(i) / cornerSegments);
            p.push_back({centres[c].x + radius * std::cos(a), centres[c].y + radius * std::sin(a)});
        }
    }
    return p;
}

inline Polygon rect(Vec2 lo, Vec2 hi) { return {lo, {hi.x, lo.y}, hi, {lo.x, hi.y}}; }

// A thick line segment as a quad.
inline Polygon segment(Vec2 a, Vec2 b, double width) {
    const Vec2 d = b - a;
    const double len = length(d);
    const Vec2 n = Vec2{-d.y / len, d.x / len} * (width / 2);
    return {a + n, b + n, b - n, a - n};
}

// ------------------------------------------------------- images and canvas

// Final-resolution floating point picture.
struct Image {
    Image(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h) {}
    Rgb& at(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
    const Rgb& at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    int width;
    int height;
    std::vector<Rgb> pixels;
};

// Supersampled drawing surface. Coordinates given to drawing functions are
// in output pixels (continuous: pixel (x, y) covers [x, x+1) x [y, y+1)).
class Canvas {
  public:
    Canvas(int width, int height, int ss)
        : width_(width), height_(height), ss_(ss),
          samples_(static_cast<size_t>(width) * ss * height * ss) {}

    // Canvas whose samples all start as the pixels of a background image.
    Canvas(const Image& background, int ss) : Canvas(background.width, background.height, ss) {
        for (int j = 0; j < sampleHeight(); ++j)
            for (int i = 0; i < sampleWidth(); ++i)
                sample(i, j) = background.at(i / ss, j / ss);
    }

    int ss() const { return ss_; }
    int sampleWidth() const { return width_ * ss_; }
    int sampleHeight() const { return height_ * ss_; }
    bool contains(int i, int j) const {
        return i >= 0 && j >= 0 && i < sampleWidth() && j < sampleHeight();
    }
    Rgb& sample(int i, int j) { return samples_[static_cast<size_t>(j) * sampleWidth() + i]; }
    Vec2 samplePosition(int i, int j) const { return {(i + 0.5) / ss_, (j + 0.5) / ss_}; }

    // Adds light (additive blending) from `field` over the box [lo, hi).
    void addLight(Vec2 lo, Vec2 hi, const std::function<Rgb(Vec2)>& field) {
        const int i0 = std::max(0, static_cast<int>(std::floor(lo.x * ss_)));
        const int j0 = std::max(0, static_cast<int>(std::floor(lo.y * ss_)));
        const int i1 = std::min(sampleWidth(), static_cast<int>(std::ceil(hi.x * ss_)));
        const int j1 = std::min(sampleHeight(), static_cast<int>(std::ceil(hi.y * ss_)));
        for (int j = j0; j < j1; ++j)
            for (int i = i0; i < i1; ++i)
                sample(i, j) = sample(i, j) + field(samplePosition(i, j));
    }

    // Box-filters the samples down to output resolution.
    Image resolve() const {
        Image out(width_, height_);
        const float norm = 1.0f / (ss_ * ss_);
        for (int j = 0; j < sampleHeight(); ++j)
            for (int i = 0; i < sampleWidth(); ++i) {
                Rgb& p = out.at(i / ss_, j / ss_);
                p = p + samples_[static_cast<size_t>(j) * sampleWidth() + i] * norm;
            }
        return out;
    }

  private:
    int width_;
    int height_;
    int ss_;
    std::vector<Rgb> samples_;
};

// ------------------------------------------------------------ regions

namespace detail {
// Felzenszwalb-Huttenlocher 1D squared distance transform.
inline void distance1d(const std::vector<double>& f, std::vector<double>& d, int n) {
    constexpr double kInf = std::numeric_limits<double>::infinity();
    std::vector<int> v(n);
    std::vector<double> z(n + 1);
    int k = 0;
    v[0] = 0;
    z[0] = -kInf;
    z[1] = kInf;
    auto intersect = [&](int q, int p) {
        return ((f[q] + double(q) * q) - (f[p] + double(p) * p)) / (2.0 * q - 2.0 * p);
    };
    for (int q = 1; q < n; ++q) {
        if (f[q] >= kInf)
            continue;
        if (f[v[k]] >= kInf) { // first finite value replaces the placeholder
            v[k] = q;
            continue;
        }
        double s = intersect(q, v[k]);
        while (k > 0 && s <= z[k])
            s = intersect(q, v[--k]);
        v[++k] = q;
        z[k] = s;
        z[k + 1] = kInf;
    }
    for (int q = 0, j = 0; q < n; ++q) {
        while (z[j + 1] < q)
            ++j;
        d[q] = f[v[j]] >= kInf ? kInf : (q - v[j]) * double(q - v[j]) + f[v[j]];
    }
}

// Euclidean distance (in samples) from each cell to the nearest cell with
// feature[cell] set.
inline std::vector<double> distanceTransform(const std::vector<uint8_t>& feature, int w, int h) {
    constexpr double kInf = std::numeric_limits<double>::infinity();
    std::vector<double> grid(feature.size());
    for (size_t k = 0; k < feature.size(); ++k)
        grid[k] = feature[k] ? 0 : kInf;
    std::vector<double> f(std::max(w, h)), d(std::max(w, h));
    for (int x = 0; x < w; ++x) {
        for (int y = 0; y < h; ++y)
            f[y] = grid[static_cast<size_t>(y) * w + x];
        distance1d(f, d, h);
        for (int y = 0; y < h; ++y)
            grid[static_cast<size_t>(y) * w + x] = d[y];
    }
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            f[x] = grid[static_cast<size_t>(y) * w + x];
        distance1d(f, d, w);
        for (int x = 0; x < w; ++x)
            grid[static_cast<size_t>(y) * w + x] = std::sqrt(d[x]);
    }
    return grid;
}
} // namespace detail

// What a shader knows about one sample of a region.
struct Fragment {
    Vec2 pos;     // output-pixel coordinates
    double depth; // distance to the region's edge, in output pixels
    Vec2 normal;  // outward unit normal of the nearest edge (in the image plane)
};
using Shader = std::function<Rgb(const Fragment&)>;

// A shape rasterised at the canvas' sample resolution, with distance fields
// inside (to the edge) and outside (to the shape), both in output pixels.
class Region {
  public:
    Region(const Shape& shape, int ss, double marginPx) : ss_(ss) {
        double minX = 1e9, minY = 1e9, maxX = -1e9, maxY = -1e9;
        for (const Polygon& poly : shape)
            for (Vec2 p : poly) {
                minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
                minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
            }
        const int margin = static_cast<int>(std::ceil(marginPx * ss)) + 2;
        x0_ = static_cast<int>(std::floor(minX * ss)) - margin;
        y0_ = static_cast<int>(std::floor(minY * ss)) - margin;
        w_ = static_cast<int>(std::ceil(maxX * ss)) + margin - x0_;
        h_ = static_cast<int>(std::ceil(maxY * ss)) + margin - y0_;
        inside_.assign(static_cast<size_t>(w_) * h_, 0);
        for (const Polygon& poly : shape)
            fill(poly);
        computeDistances();
    }

    // Calls fn(i, j, depthPx, outsidePx) for every sample of the box (canvas
    // sample coordinates); exactly one of the two distances is non-zero.
    template <typename Fn> void forEachSample(Fn&& fn) const {
        for (int y = 0; y < h_; ++y)
            for (int x = 0; x < w_; ++x) {
                const size_t k = static_cast<size_t>(y) * w_ + x;
                fn(x0_ + x, y0_ + y, inside_[k] ? depth_[k] : 0.0, inside_[k] ? 0.0 : outside_[k]);
            }
    }

    bool inside(int i, int j) const {
        const int x = i - x0_, y = j - y0_;
        return x >= 0 && y >= 0 && x < w_ && y < h_ && inside_[static_cast<size_t>(y) * w_ + x];
    }

    // Outward normal from the gradient of the signed distance.
    Vec2 normalAt(int i, int j) const {
        auto sd = [&](int x, int y) {
            x = std::clamp(x, 0, w_ - 1);
            y = std::clamp(y, 0, h_ - 1);
            const size_t k = static_cast<size_t>(y) * w_ + x;
            return inside_[k] ? -depth_[k] : outside_[k];
        };
        const int x = i - x0_, y = j - y0_;
        const Vec2 g{sd(x + 1, y) - sd(x - 1, y), sd(x, y + 1) - sd(x, y - 1)};
        const double len = length(g);
        return len > 1e-9 ? g * (1 / len) : Vec2{0, 0};
    }

  private:
    void fill(const Polygon& poly) {
        std::vector<double> crossings;
        for (int y = 0; y < h_; ++y) {
            const double py = (y0_ + y + 0.5) / ss_;
            crossings.clear();
            for (size_t a = 0; a < poly.size(); ++a) {
                const Vec2 p = poly[a];
                const Vec2 q = poly[(a + 1) % poly.size()];
                if ((p.y <= py && q.y > py) || (q.y <= py && p.y > py))
                    crossings.push_back(p.x + (py - p.y) / (q.y - p.y) * (q.x - p.x));
            }
            std::sort(crossings.begin(), crossings.end());
            for (size_t c = 0; c + 1 < crossings.size(); c += 2) {
                const int from =
                    std::max(0, static_cast<int>(std::ceil(crossings[c] * ss_ - 0.5)) - x0_);
                const int to =
                    std::min(w_, static_cast<int>(std::ceil(crossings[c + 1] * ss_ - 0.5)) - x0_);
                for (int x = from; x < to; ++x)
                    inside_[static_cast<size_t>(y) * w_ + x] = 1;
            }
        }
    }

    void computeDistances() {
        std::vector<uint8_t> outsideMask(inside_.size());
        for (size_t k = 0; k < inside_.size(); ++k)
            outsideMask[k] = !inside_[k];
        const std::vector<double> toOutside = detail::distanceTransform(outsideMask, w_, h_);
        const std::vector<double> toInside = detail::distanceTransform(inside_, w_, h_);
        depth_.resize(inside_.size());
        outside_.resize(inside_.size());
        // Sample centres are half a sample away from the true edge.
        for (size_t k = 0; k < inside_.size(); ++k) {
            depth_[k] = std::max(0.0, toOutside[k] - 0.5) / ss_;
            outside_[k] = std::max(0.0, toInside[k] - 0.5) / ss_;
        }
    }

    int ss_;
    int x0_ = 0, y0_ = 0, w_ = 0, h_ = 0;
    std::vector<uint8_t> inside_;
    std::vector<double> depth_;
    std::vector<double> outside_;
};

// Paints the inside of a region with a shader, blended with `opacity`.
inline void paint(Canvas& canvas, const Region& region, const Shader& shader,
                  float opacity = 1.0f) {
    region.forEachSample([&](int i, int j, double depth, double outside) {
        if (outside > 0 || !canvas.contains(i, j) || !region.inside(i, j))
            return;
        const Fragment frag{canvas.samplePosition(i, j), depth, region.normalAt(i, j)};
        Rgb& s = canvas.sample(i, j);
        s = mix(s, shader(frag), opacity);
    });
}

// Paints a solid band of `width` pixels around the outside of a region.
inline void paintOutline(Canvas& canvas, const Region& region, double width, Rgb colour) {
    region.forEachSample([&](int i, int j, double, double outside) {
        if (outside > 0 && outside <= width && canvas.contains(i, j))
            canvas.sample(i, j) = colour;
    });
}

// Adds a soft glow falling off over `radius` pixels around a region.
inline void addGlow(Canvas& canvas, const Region& region, double radius,
                    const std::function<Rgb(Vec2)>& colour) {
    region.forEachSample([&](int i, int j, double, double outside) {
        if (outside <= 0 || outside >= radius || !canvas.contains(i, j))
            return;
        const double t = 1 - outside / radius;
        canvas.sample(i, j) =
            canvas.sample(i, j) + colour(canvas.samplePosition(i, j)) * float(t * t);
    });
}

// --------------------------------------------------------------- shading

// Colours of a surface under the scene light.
struct Material {
    Rgb shadow;           // facing away from the light
    Rgb base;             // flat, facing the viewer
    Rgb highlight;        // facing the light
    float specular = 0;   // strength of the white highlight
    float shininess = 20; // Blinn exponent
};

// Light from the upper left, in front of the screen.
inline const Vec3 kLightDirection = normalized({-0.55, -0.75, 0.9});

inline Rgb shade(const Material& m, Vec3 normal) {
    const double flat = kLightDirection.z;
    const double lambert = dot(normal, kLightDirection);
    Rgb c = lambert < flat
                ? mix(m.shadow, m.base, static_cast<float>(clamp01(lambert / flat)))
                : mix(m.base, m.highlight, static_cast<float>((lambert - flat) / (1 - flat)));
    const Vec3 half = normalized({kLightDirection.x, kLightDirection.y, kLightDirection.z + 1});
    const double highlight = std::pow(std::max(0.0, dot(normal, half)), m.shininess) * m.specular;
    return c + Rgb{1, 1, 1} * static_cast<float>(highlight);
}

// Surface normal of a shape whose edge is rounded over `roundness` pixels
// (quarter-circle profile), flat further inside.
inline Vec3 pillowNormal(const Fragment& f, double roundness) {
    if (roundness <= 0 || f.depth >= roundness)
        return {0, 0, 1};
    const double t = 1 - f.depth / roundness;
    return {f.normal.x * t, f.normal.y * t, std::sqrt(std::max(0.0, 1 - t * t))};
}

inline Shader pillow(const Material& m, double roundness) {
    return [m, roundness](const Fragment& f) { return shade(m, pillowNormal(f, roundness)); };
}

// Flat colour shader.
inline Shader solid(Rgb c) {
    return [c](const Fragment&) { return c; };
}

// Gradient from top to bottom of the band [top, top + height).
inline Shader verticalGradient(const Gradient& g, double top, double height) {
    return [g, top, height](const Fragment& f) { return g.at((f.pos.y - top) / height); };
}

} // namespace raster
