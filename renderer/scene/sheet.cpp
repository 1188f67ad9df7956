#include "scene/sheet.h"

#include <cmath>
#include <numbers>

namespace solvane {

namespace {

constexpr float twoPi = 2.0f * std::numbers::pi_v<float>;

// Vec3::normalize on one component triple, without the branch: a zero
// length leaves x and z as they are and makes y 1.
inline void normalizeInPlace(float& x, float& y, float& z) {
    const float length = std::sqrt(x * x + y * y + z * z);
    const float reciprocal = 1.0f / length;
    const bool zero = length == 0.0f;
    const float inverse = zero ? 1.0f : reciprocal;
    const float scaledY = y * inverse;
    x *= inverse;
    y = zero ? 1.0f : scaledY;
    z *= inverse;
}

} // namespace

Sheet::Sheet(SceneInputs& inputs)
    : n_(inputs.settings.gridResolution), glowThreshold_(static_cast<float>(inputs.settings.edgeGlowPercent) * 0.01f),
      glowScale_(1.0f / glowThreshold_) {
    const int n = n_;
    const std::size_t count = static_cast<std::size_t>(n + 1) * (n + 1);
    for (std::vector<float>* field : {&x_, &y_, &z_, &u_, &v_, &r2_, &glow_}) {
        field->assign(count, 0.0f);
    }
    stripVertices_.resize(static_cast<std::size_t>(n) * 2 * (n + 1) * 6);
    litTriangles_.reserve(static_cast<std::size_t>(n) * 2 * n * 3);
    const float step = 1.0f / (static_cast<float>(n) * 0.5f);
    for (int i = 0; i <= n; ++i) {
        const float u = static_cast<float>(i) * step - 1.0f;
        for (int j = 0; j <= n; ++j) {
            const std::size_t k = index(i, j);
            u_[k] = u;
            v_[k] = static_cast<float>(j) * step - 1.0f;
            r2_[k] = u_[k] * u_[k] + v_[k] * v_[k];
        }
    }

    SceneRandom& random = inputs.random;
    const float waveSpeed = static_cast<float>(inputs.settings.waveSpeed);
    for (int k = 0; k < coefficientCount; ++k) {
        phase[k] = static_cast<float>(random.next()) * (twoPi / static_cast<float>(randomMax));
        rate[k] = random.nextUnit() * (waveSpeed * 0.03f) + waveSpeed * 0.001f;
        coef[k] = 0.0f;
    }

    hue = random.nextUnit();
    saturation = 0.1f + random.nextUnit() * 0.9f;
    value = 1.0f;
    hueRate = random.nextUnit() * 0.1f - 0.05f;
    saturationRate = 0.001f + random.nextUnit() * 0.04f;
    red = green = blue = 0.0f;
}

namespace {

// Restrict-qualified parameters tell the compiler that the arrays do not
// overlap, so that both loops vectorise.
void displacePoints(std::size_t count, const float* c, const float* __restrict u, const float* __restrict v,
                    const float* __restrict r2, float* __restrict x, float* __restrict y, float* __restrict z) {
    const float c0 = c[0], c1 = c[1], c2 = c[2], c3 = c[3], c4 = c[4], c5 = c[5], c6 = c[6], c7 = c[7], c8 = c[8];
    for (std::size_t k = 0; k < count; ++k) {
        x[k] = c0 * u[k] * u[k] * v[k] + c1 * r2[k] + 0.5f * c2;
        y[k] = c3 * v[k] * v[k] * r2[k] + c4 * u[k] + 0.5f * c5;
        z[k] = c6 * u[k] * r2[k] * r2[k] + c7 * v[k] + c8;
    }
}

// Glow of the points [first, last) of one interior row; `row` is the
// distance to the same point of the next row.
void glowRow(std::ptrdiff_t first, std::ptrdiff_t last, std::ptrdiff_t row, float threshold, float scale,
             const float* __restrict px, const float* __restrict py, const float* __restrict pz,
             float* __restrict glow) {
    for (std::ptrdiff_t k = first; k < last; ++k) {
        float ax = px[k + 1] - px[k - 1];
        float ay = py[k + 1] - py[k - 1];
        float az = pz[k + 1] - pz[k - 1];
        float bx = px[k + row] - px[k - row];
        float by = py[k + row] - py[k - row];
        float bz = pz[k + row] - pz[k - row];
        normalizeInPlace(ax, ay, az);
        normalizeInPlace(bx, by, bz);
        const float nz = std::fabs(bx * ay - ax * by); // z of b x a
        float g = (threshold - nz) * scale;
        g = g > 1.0f ? 1.0f : g;
        g = g < 0.0f ? 0.0f : g;
        glow[k] = g;
    }
}

} // namespace

void Sheet::displace() {
    displacePoints(x_.size(), coef, u_.data(), v_.data(), r2_.data(), x_.data(), y_.data(), z_.data());
}

void Sheet::updateGlow() {
    const std::ptrdiff_t row = n_ + 1;
    for (int i = 1; i < n_; ++i) {
        glowRow(i * row + 1, i * row + n_, row, glowThreshold_, glowScale_, x_.data(), y_.data(), z_.data(),
                glow_.data());
    }
}

void Sheet::update(float frameSeconds) {
    for (int k = 0; k < coefficientCount; ++k) {
        phase[k] += frameSeconds * rate[k];
        if (phase[k] > twoPi) {
            phase[k] -= twoPi;
        }
        coef[k] = std::cos(phase[k]);
    }

    displace();
    updateGlow();

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
