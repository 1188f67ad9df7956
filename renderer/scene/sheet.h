#pragma once

#include "scene/scene_settings.h"

#include <cstdint>
#include <vector>

namespace solvane {

struct SheetPoint {
    float x, y, z; // displaced position, rewritten by every update
    float u, v;    // rest coordinates in [-1, 1]
    float r2;      // u^2 + v^2
    float glow;    // brightness in [0, 1]; border points keep 0
};

void hsvToRgb(float hue, float saturation, float value, float& red, float& green, float& blue);

// One deforming colour sheet: a (N + 1) x (N + 1) grid over the rest square,
// displaced every frame by a polynomial whose coefficients are cosines of
// nine turning phases. Only the glow derived from the displacement is drawn.
class Sheet {
public:
    static constexpr int coefficientCount = 9;

    // A grid of the settings' resolution; phases, rates and colour drawn
    // from the scene's generator.
    explicit Sheet(SceneInputs& inputs);
    Sheet(const Sheet&) = delete;
    Sheet& operator=(const Sheet&) = delete;

    void update(float frameSeconds);

    // Issues the sheet's triangle strips (needs a current GL context).
    void draw() const;

    int resolution() const { return n_; }
    SheetPoint point(int i, int j) const {
        const std::size_t k = index(i, j);
        return {x_[k], y_[k], z_[k], u_[k], v_[k], r2_[k], glow_[k]};
    }

    float coef[coefficientCount];
    float phase[coefficientCount];
    float rate[coefficientCount];
    float hue;
    float saturation;
    float value;
    float red, green, blue;
    float hueRate;
    float saturationRate;

private:
    std::size_t index(int i, int j) const { return static_cast<std::size_t>(i) * (n_ + 1) + j; }
    void displace();
    void updateGlow();

    int n_;
    // Where the glow starts on the normal, and the scale above it.
    float glowThreshold_;
    float glowScale_;
    // Point [i][j] at i * (N + 1) + j of each field's array, so that the
    // per-point arithmetic runs as flat loops the compiler vectorises.
    std::vector<float> x_, y_, z_, u_, v_, r2_, glow_;
    // Colour and position of every strip vertex, and the triangles of the
    // strips that carry light, rebuilt by each draw (allocated once).
    mutable std::vector<float> stripVertices_;
    mutable std::vector<std::uint16_t> litTriangles_;
};

} // namespace solvane
