#include "sheet.h"

#include "random.h"
#include "scene_settings.h"
#include "vec3.h"

#include <cmath>
#include <numbers>

namespace solvane {

namespace {

constexpr float twoPi = 2.0f * std::numbers::pi_v<float>;

Vec3 difference(const SheetPoint& from, const SheetPoint& to) {
    Vec3 d;
    d.set(to.x - from.x, to.y - from.y, to.z - from.z);
    return d;
}

} // namespace

Sheet::Sheet() : n_(sceneSettings().gridResolution) {
    const int n = n_;
    points_.resize(static_cast<std::size_t>(n + 1) * (n + 1));
    stripVertices_.resize(static_cast<std::size_t>(n) * 2 * (n + 1) * 6);
    litTriangles_.reserve(static_cast<std::size_t>(n) * 2 * n * 3);
    const float step = 1.0f / (static_cast<float>(n) * 0.5f);
    for (int i = 0; i <= n; ++i) {
        const float u = static_cast<float>(i) * step - 1.0f;
        for (int j = 0; j <= n; ++j) {
            SheetPoint& p = point(i, j);
            p.x = p.y = p.z = 0.0f;
            p.u = u;
            p.v = static_cast<float>(j) * step - 1.0f;
            p.r2 = p.u * p.u + p.v * p.v;
            p.glow = 0.0f;
        }
    }

    const float waveSpeed = static_cast<float>(sceneSettings().waveSpeed);
    for (int k = 0; k < coefficientCount; ++k) {
        phase[k] = static_cast<float>(nextRandom()) * (twoPi / static_cast<float>(randomMax));
        rate[k] = nextRandomUnit() * (waveSpeed * 0.03f) + waveSpeed * 0.001f;
        coef[k] = 0.0f;
    }

    hue = nextRandomUnit();
    saturation = 0.1f + nextRandomUnit() * 0.9f;
    value = 1.0f;
    hueRate = nextRandomUnit() * 0.1f - 0.05f;
    saturationRate = 0.001f + nextRandomUnit() * 0.04f;
    red = green = blue = 0.0f;
}

void Sheet::update(float frameSeconds) {
    static const float glowThreshold = static_cast<float>(sceneSettings().edgeGlowPercent) * 0.01f;
    static const float glowScale = 1.0f / glowThreshold;

    for (int k = 0; k < coefficientCount; ++k) {
        phase[k] += frameSeconds * rate[k];
        if (phase[k] > twoPi) {
            phase[k] -= twoPi;
        }
        coef[k] = std::cos(phase[k]);
    }

    const int n = n_;
    for (SheetPoint& p : points_) {
        const float u = p.u;
        const float v = p.v;
        const float r2 = p.r2;
        p.x = coef[0] * u * u * v + coef[1] * r2 + 0.5f * coef[2];
        p.y = coef[3] * v * v * r2 + coef[4] * u + 0.5f * coef[5];
        p.z = coef[6] * u * r2 * r2 + coef[7] * v + coef[8];
    }

    for (int i = 1; i < n; ++i) {
        for (int j = 1; j < n; ++j) {
            Vec3 a = difference(point(i, j - 1), point(i, j + 1));
            Vec3 b = difference(point(i - 1, j), point(i + 1, j));
            a.normalize();
            b.normalize();
            Vec3 normal;
            normal.cross(b, a);
            const float nz = std::fabs(normal.z);
            float glow = (glowThreshold - nz) * glowScale;
            if (glow > 1.0f) {
                glow = 1.0f;
            }
            if (glow < 0.0f) {
                glow = 0.0f;
            }
            point(i, j).glow = glow;
        }
    }

    hue += frameSeconds * hueRate;
    if (hue < 0.0f) {
        hue += 1.0f;
    }
    if (hue > 1.0f) {
        hue -= 1.0f;
    }

    saturation += frameSeconds * saturationRate;
    if (saturation <= 0.1f) {
        saturationRate = -saturationRate;
        saturation = 0.1f;
    }
    if (saturation >= 1.0f) {
        saturationRate = -saturationRate;
        saturation = 1.0f;
    }

    hsvToRgb(hue, saturation, value, red, green, blue);
}

void hsvToRgb(float hue, float saturation, float value, float& red, float& green, float& blue) {
    const float h = hue;
    float r;
    float g;
    float b;
    if (h < 0.166667f) {
        r = 1.0f;
        g = 6.0f * h;
        b = 0.0f;
    } else if (h < 0.5f) {
        if (h < 0.333333f) {
            r = 1.0f - 6.0f * (h - 0.166667f);
            g = 1.0f;
            b = 0.0f;
        } else {
            r = 0.0f;
            g = 1.0f;
            b = 6.0f * (h - 0.333333f);
        }
    } else if (h < 0.833333f) {
        if (h < 0.666667f) {
            r = 0.0f;
            g = 1.0f - 6.0f * (h - 0.5f);
            b = 1.0f;
        } else {
            r = 6.0f * (h - 0.666667f);
            g = 0.0f;
            b = 1.0f;
        }
    } else {
        r = 1.0f;
        g = 0.0f;
        b = 1.0f - 6.0f * (h - 0.833333f);
    }

    red = value * (1.0f - saturation * (1.0f - r));
    green = value * (1.0f - saturation * (1.0f - g));
    blue = value * (1.0f - saturation * (1.0f - b));
}

} // namespace solvane
