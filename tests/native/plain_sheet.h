#pragma once
// The sheet as the plain algorithm gives it, for tests to hold the renderer's
// optimised sheet against: one separately held point per grid place, Vec3
// arithmetic point by point, and immediate-mode strips.
#include "scene/gl_api.h"
#include "scene/random.h"
#include "scene/scene_settings.h"
#include "scene/sheet.h"
#include "scene/vec3.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace solvane::plain {

inline constexpr float twoPi = 2.0f * std::numbers::pi_v<float>;

class PlainSheet {
public:
    // Draws its phases, rates and colour from the scene's generator in the
    // same order as a constructed Sheet.
    explicit PlainSheet(SceneInputs& inputs)
        : n(inputs.settings.gridResolution), threshold(static_cast<float>(inputs.settings.edgeGlowPercent) * 0.01f),
          grid(n + 1, std::vector<SheetPoint>(n + 1)) {
        const float step = 1.0f / (static_cast<float>(n) * 0.5f);
        for (int i = 0; i <= n; ++i) {
            for (int j = 0; j <= n; ++j) {
                SheetPoint& p = grid[i][j];
                p = {0, 0, 0, static_cast<float>(i) * step - 1.0f, static_cast<float>(j) * step - 1.0f, 0, 0};
                p.r2 = p.u * p.u + p.v * p.v;
            }
        }
        SceneRandom& random = inputs.random;
        const float waveSpeed = static_cast<float>(inputs.settings.waveSpeed);
        for (int k = 0; k < 9; ++k) {
            phase[k] = static_cast<float>(random.next()) * (twoPi / 32767.0f);
            rate[k] = random.nextUnit() * (waveSpeed * 0.03f) + waveSpeed * 0.001f;
        }
        hue = random.nextUnit();
        saturation = 0.1f + random.nextUnit() * 0.9f;
        hueRate = random.nextUnit() * 0.1f - 0.05f;
        saturationRate = 0.001f + random.nextUnit() * 0.04f;
    }

    void update(float dt) {
        for (int k = 0; k < 9; ++k) {
            phase[k] += dt * rate[k];
            if (phase[k] > twoPi) {
                phase[k] -= twoPi;
            }
            coef[k] = std::cos(phase[k]);
        }
        for (auto& row : grid) {
            for (SheetPoint& p : row) {
                p.x = coef[0] * p.u * p.u * p.v + coef[1] * p.r2 + 0.5f * coef[2];
                p.y = coef[3] * p.v * p.v * p.r2 + coef[4] * p.u + 0.5f * coef[5];
                p.z = coef[6] * p.u * p.r2 * p.r2 + coef[7] * p.v + coef[8];
            }
        }
        for (int i = 1; i < n; ++i) {
            for (int j = 1; j < n; ++j) {
                Vec3 a;
                Vec3 b;
                a.set(grid[i][j + 1].x - grid[i][j - 1].x, grid[i][j + 1].y - grid[i][j - 1].y,
                      grid[i][j + 1].z - grid[i][j - 1].z);
                b.set(grid[i + 1][j].x - grid[i - 1][j].x, grid[i + 1][j].y - grid[i - 1][j].y,
                      grid[i + 1][j].z - grid[i - 1][j].z);
                a.normalize();
                b.normalize();
                Vec3 normal;
                normal.cross(b, a);
                float glow = (threshold - std::fabs(normal.z)) * (1.0f / threshold);
                if (glow > 1.0f) {
                    glow = 1.0f;
                }
                if (glow < 0.0f) {
                    glow = 0.0f;
                }
                grid[i][j].glow = glow;
            }
        }
        hue += dt * hueRate;
        if (hue < 0.0f) {
            hue += 1.0f;
        }
        if (hue > 1.0f) {
            hue -= 1.0f;
        }
        saturation += dt * saturationRate;
        if (saturation <= 0.1f) {
            saturationRate = -saturationRate;
            saturation = 0.1f;
        }
        if (saturation >= 1.0f) {
            saturationRate = -saturationRate;
            saturation = 1.0f;
        }
        hsvToRgb(hue, saturation, 1.0f, red, green, blue);
    }

    // Every strip vertex by itself, two GL calls a vertex.
    void draw() const {
        glPushMatrix();
        glTranslatef(0.2f * coef[0], 0.2f * coef[1], 1.6f);
        for (int i = 0; i < n; ++i) {
            glBegin(GL_TRIANGLE_STRIP);
            for (int j = 0; j <= n; ++j) {
                for (const SheetPoint* p : {&grid[i + 1][j], &grid[i][j]}) {
                    glColor3f(red + p->glow - 1.0f, green + p->glow - 1.0f, blue + p->glow - 1.0f);
                    glVertex3f(p->u, p->v, p->glow);
                }
            }
            glEnd();
        }
        glPopMatrix();
    }

    int n;
    float threshold;
    std::vector<std::vector<SheetPoint>> grid;
    float coef[9] = {};
    float phase[9] = {};
    float rate[9] = {};
    float hue = 0, saturation = 0, red = 0, green = 0, blue = 0, hueRate = 0, saturationRate = 0;
};

} // namespace solvane::plain
