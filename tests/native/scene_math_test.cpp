// The sheet's arithmetic: construction, update, colour and the generator.
#include "plain_sheet.h"
#include "scene/random.h"
#include "scene/scene.h"
#include "scene/scene_settings.h"
#include "scene/sheet.h"
#include "scene/vec3.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numbers>

namespace solvane {
namespace {

constexpr float twoPi = 2.0f * std::numbers::pi_v<float>;

class SheetTest : public ::testing::Test {
protected:
    SceneInputs inputs{fixedSceneSettings, SceneRandom::fromTime(20240101)};
};

TEST(Vec3Test, NormalizeScalesToUnitAndReturnsLength) {
    Vec3 v;
    v.set(3.0f, 0.0f, 4.0f);
    EXPECT_FLOAT_EQ(v.normalize(), 5.0f);
    EXPECT_FLOAT_EQ(v.x, 0.6f);
    EXPECT_FLOAT_EQ(v.y, 0.0f);
    EXPECT_FLOAT_EQ(v.z, 0.8f);
}

TEST(Vec3Test, ZeroLengthNormalizesToUnitY) {
    Vec3 v;
    v.set(0.0f, 0.0f, 0.0f);
    EXPECT_EQ(v.normalize(), 0.0f);
    EXPECT_EQ(v.x, 0.0f);
    EXPECT_EQ(v.y, 1.0f);
    EXPECT_EQ(v.z, 0.0f);
}

TEST(Vec3Test, CrossFollowsRightHandRuleAndMayAliasItself) {
    Vec3 a;
    Vec3 b;
    a.set(1.0f, 0.0f, 0.0f);
    b.set(0.0f, 1.0f, 0.0f);
    Vec3 n;
    n.cross(a, b);
    EXPECT_EQ(n.z, 1.0f);
    n.cross(b, a);
    EXPECT_EQ(n.z, -1.0f);
    // Arguments are copies, so a vector may be crossed with itself in place.
    a.set(1.0f, 2.0f, 3.0f);
    b.set(4.0f, 5.0f, 6.0f);
    a.cross(a, b);
    EXPECT_FLOAT_EQ(a.x, -3.0f);
    EXPECT_FLOAT_EQ(a.y, 6.0f);
    EXPECT_FLOAT_EQ(a.z, -3.0f);
}

TEST_F(SheetTest, GridLiesOverTheRestSquare) {
    Sheet sheet(inputs);
    const int n = sheet.resolution();
    ASSERT_EQ(n, 30);
    EXPECT_FLOAT_EQ(sheet.point(0, 0).u, -1.0f);
    EXPECT_FLOAT_EQ(sheet.point(0, 0).v, -1.0f);
    EXPECT_NEAR(sheet.point(n, n).u, 1.0f, 1e-6f);
    EXPECT_NEAR(sheet.point(n, 0).u, 1.0f, 1e-6f);
    EXPECT_NEAR(sheet.point(0, n).v, 1.0f, 1e-6f);
    EXPECT_NEAR(sheet.point(15, 15).u, 0.0f, 1e-6f);
    const SheetPoint& p = sheet.point(7, 22);
    EXPECT_FLOAT_EQ(p.r2, p.u * p.u + p.v * p.v);
    EXPECT_EQ(p.glow, 0.0f);
    EXPECT_EQ(sheet.value, 1.0f);
}

TEST_F(SheetTest, FirstUpdateWithZeroStepSetsEverything) {
    Sheet sheet(inputs);
    float phases[Sheet::coefficientCount];
    std::copy(std::begin(sheet.phase), std::end(sheet.phase), phases);
    sheet.update(0.0f);

    for (int k = 0; k < Sheet::coefficientCount; ++k) {
        EXPECT_EQ(sheet.phase[k], phases[k]);
        EXPECT_FLOAT_EQ(sheet.coef[k], std::cos(phases[k]));
    }
    const float* c = sheet.coef;
    const int n = sheet.resolution();
    int lit = 0;
    for (int i = 0; i <= n; ++i) {
        for (int j = 0; j <= n; ++j) {
            const SheetPoint& p = sheet.point(i, j);
            const float u = p.u;
            const float v = p.v;
            const float r2 = p.r2;
            EXPECT_FLOAT_EQ(p.x, c[0] * u * u * v + c[1] * r2 + 0.5f * c[2]);
            EXPECT_FLOAT_EQ(p.y, c[3] * v * v * r2 + c[4] * u + 0.5f * c[5]);
            EXPECT_FLOAT_EQ(p.z, c[6] * u * r2 * r2 + c[7] * v + c[8]);
            EXPECT_GE(p.glow, 0.0f);
            EXPECT_LE(p.glow, 1.0f);
            lit += p.glow > 0.0f ? 1 : 0;
        }
    }
    EXPECT_GT(lit, 0) << "some interior point must glow";

    // One interior glow recomputed by hand from its four neighbours.
    const int i = 11;
    const int j = 19;
    Vec3 a;
    Vec3 b;
    a.set(sheet.point(i, j + 1).x - sheet.point(i, j - 1).x, sheet.point(i, j + 1).y - sheet.point(i, j - 1).y,
          sheet.point(i, j + 1).z - sheet.point(i, j - 1).z);
    b.set(sheet.point(i + 1, j).x - sheet.point(i - 1, j).x, sheet.point(i + 1, j).y - sheet.point(i - 1, j).y,
          sheet.point(i + 1, j).z - sheet.point(i - 1, j).z);
    a.normalize();
    b.normalize();
    Vec3 normal;
    normal.cross(b, a);
    const float expected = std::clamp((0.4f - std::fabs(normal.z)) * 2.5f, 0.0f, 1.0f);
    EXPECT_NEAR(sheet.point(i, j).glow, expected, 1e-6f);

    float red;
    float green;
    float blue;
    hsvToRgb(sheet.hue, sheet.saturation, 1.0f, red, green, blue);
    EXPECT_EQ(sheet.red, red);
    EXPECT_EQ(sheet.green, green);
    EXPECT_EQ(sheet.blue, blue);
}

TEST_F(SheetTest, UpdatesEqualThePlainPointByPointArithmeticExactly) {
    // Steps of every kind, the first 0, some long enough to wrap phases, hue
    // and saturation; several seeds, so that many glows are partly lit.
    const float steps[] = {0.0f, 0.016f, 0.033f, 0.1f, 1.7f, 0.004f, 11.0f, 0.05f};
    for (const std::uint32_t seed : {1u, 77u, 20240101u}) {
        SceneInputs forSheet{fixedSceneSettings, SceneRandom::fromTime(seed)};
        Sheet sheet(forSheet);
        SceneInputs forReference{fixedSceneSettings, SceneRandom::fromTime(seed)};
        plain::PlainSheet reference(forReference);
        const int n = sheet.resolution();
        long partlyLit = 0;
        for (int frame = 0; frame < 300; ++frame) {
            const float dt = steps[frame % std::size(steps)];
            sheet.update(dt);
            reference.update(dt);
            for (int i = 0; i <= n; ++i) {
                for (int j = 0; j <= n; ++j) {
                    const SheetPoint p = sheet.point(i, j);
                    const SheetPoint& q = reference.grid[i][j];
                    ASSERT_EQ(p.x, q.x) << i << "," << j << " frame " << frame;
                    ASSERT_EQ(p.y, q.y) << i << "," << j << " frame " << frame;
                    ASSERT_EQ(p.z, q.z) << i << "," << j << " frame " << frame;
                    ASSERT_EQ(p.glow, q.glow) << i << "," << j << " frame " << frame;
                    partlyLit += (q.glow > 0.0f && q.glow < 1.0f) ? 1 : 0;
                }
            }
            ASSERT_EQ(sheet.hue, reference.hue);
            ASSERT_EQ(sheet.saturation, reference.saturation);
            ASSERT_EQ(sheet.red, reference.red);
            ASSERT_EQ(sheet.green, reference.green);
            ASSERT_EQ(sheet.blue, reference.blue);
        }
        EXPECT_GT(partlyLit, 300) << "the comparison must cover glows between 0 and 1";
    }
}

TEST(SheetSettingsTest, EachSheetReadsTheSettingsItIsGiven) {
    // The same draws under two glow thresholds: each sheet glows by its own,
    // whichever was made first.
    SceneInputs narrow{fixedSceneSettings, SceneRandom::fromTime(31)};
    SceneInputs wide{fixedSceneSettings, SceneRandom::fromTime(31)};
    wide.settings.edgeGlowPercent = 90;
    SceneInputs coarse{fixedSceneSettings, SceneRandom::fromTime(31)};
    coarse.settings.gridResolution = 10;
    Sheet first(narrow);
    Sheet second(wide);
    const Sheet third(coarse);
    first.update(0.5f);
    second.update(0.5f);
    double firstGlow = 0;
    double secondGlow = 0;
    for (int i = 1; i < first.resolution(); ++i) {
        for (int j = 1; j < first.resolution(); ++j) {
            firstGlow += first.point(i, j).glow;
            secondGlow += second.point(i, j).glow;
        }
    }
    EXPECT_GT(secondGlow, firstGlow * 1.2) << "a wider threshold lights more of the sheet";
    EXPECT_EQ(third.resolution(), 10);
}

TEST_F(SheetTest, BorderPointsNeverGlow) {
    Sheet sheet(inputs);
    const int n = sheet.resolution();
    for (int frame = 0; frame < 200; ++frame) {
        sheet.update(0.05f);
        for (int k = 0; k <= n; ++k) {
            ASSERT_EQ(sheet.point(0, k).glow, 0.0f);
            ASSERT_EQ(sheet.point(n, k).glow, 0.0f);
            ASSERT_EQ(sheet.point(k, 0).glow, 0.0f);
            ASSERT_EQ(sheet.point(k, n).glow, 0.0f);
        }
    }
}

TEST_F(SheetTest, PhasesTurnAtTheirRatesAndWrapOnce) {
    Sheet sheet(inputs);
    sheet.phase[0] = twoPi - 0.01f;
    sheet.rate[0] = 0.5f;
    sheet.phase[1] = 1.0f;
    sheet.rate[1] = 0.25f;
    sheet.update(0.1f);
    EXPECT_NEAR(sheet.phase[0], 0.04f, 1e-5f);
    EXPECT_NEAR(sheet.phase[1], 1.025f, 1e-6f);
    EXPECT_FLOAT_EQ(sheet.coef[1], std::cos(sheet.phase[1]));
}

TEST_F(SheetTest, HueWrapsBothWaysAndOneStaysOne) {
    Sheet sheet(inputs);
    sheet.hue = 0.01f;
    sheet.hueRate = -0.05f;
    sheet.update(1.0f);
    EXPECT_NEAR(sheet.hue, 0.96f, 1e-6f);

    sheet.hue = 0.99f;
    sheet.hueRate = 0.05f;
    sheet.update(1.0f);
    EXPECT_NEAR(sheet.hue, 0.04f, 1e-6f);

    sheet.hue = 1.0f;
    sheet.hueRate = 0.0f;
    sheet.saturation = 1.0f;
    sheet.saturationRate = 0.0f;
    sheet.update(0.0f);
    EXPECT_EQ(sheet.hue, 1.0f);
    // Hue 1 falls in the last band: magenta turning back to red.
    EXPECT_FLOAT_EQ(sheet.red, 1.0f);
    EXPECT_FLOAT_EQ(sheet.green, 0.0f);
    EXPECT_NEAR(sheet.blue, 6.0f * (0.833333f - 1.0f) + 1.0f, 1e-5f);
}

TEST_F(SheetTest, SaturationBouncesBetweenItsLimits) {
    Sheet sheet(inputs);
    sheet.saturation = 0.12f;
    sheet.saturationRate = -0.04f;
    sheet.update(1.0f);
    EXPECT_EQ(sheet.saturation, 0.1f);
    EXPECT_EQ(sheet.saturationRate, 0.04f);

    sheet.saturation = 0.98f;
    sheet.update(1.0f);
    EXPECT_EQ(sheet.saturation, 1.0f);
    EXPECT_EQ(sheet.saturationRate, -0.04f);

    sheet.update(1.0f);
    EXPECT_NEAR(sheet.saturation, 0.96f, 1e-6f);
    EXPECT_EQ(sheet.saturationRate, -0.04f);
}

struct Rgb {
    float r, g, b;
};

Rgb hsv(float h, float s = 1.0f, float v = 1.0f) {
    Rgb c{};
    hsvToRgb(h, s, v, c.r, c.g, c.b);
    return c;
}

void expectRgb(const Rgb& c, float r, float g, float b) {
    EXPECT_NEAR(c.r, r, 2e-6f);
    EXPECT_NEAR(c.g, g, 2e-6f);
    EXPECT_NEAR(c.b, b, 2e-6f);
}

TEST(HsvToRgbTest, BandsSwitchAtTheirSixDecimalBounds) {
    expectRgb(hsv(0.0f), 1, 0, 0);
    // Just below 0.166667 the first band reaches 6h, just above 1.
    expectRgb(hsv(0.16666f), 1, 6 * 0.16666f, 0);
    expectRgb(hsv(0.166667f), 1, 1, 0);
    expectRgb(hsv(0.25f), 1 - 6 * (0.25f - 0.166667f), 1, 0);
    expectRgb(hsv(0.333333f), 0, 1, 0);
    expectRgb(hsv(0.4f), 0, 1, 6 * (0.4f - 0.333333f));
    expectRgb(hsv(0.5f), 0, 1, 1);
    expectRgb(hsv(0.6f), 0, 1 - 6 * (0.6f - 0.5f), 1);
    expectRgb(hsv(0.666667f), 0, 0, 1);
    expectRgb(hsv(0.75f), 6 * (0.75f - 0.666667f), 0, 1);
    expectRgb(hsv(0.833333f), 1, 0, 1);
    expectRgb(hsv(0.9f), 1, 0, 1 - 6 * (0.9f - 0.833333f));
    // The bounds are not exact sixths: 1/6 itself is still in the first band.
    expectRgb(hsv(1.0f / 6.0f), 1, 6.0f / 6.0f, 0);
    expectRgb(hsv(0.3333325f), 1 - 6 * (0.3333325f - 0.166667f), 1, 0);
}

TEST(HsvToRgbTest, SaturationAndValueScaleTheHue) {
    const Rgb pale = hsv(0.0f, 0.1f, 1.0f);
    expectRgb(pale, 1.0f, 0.9f, 0.9f);
    for (float h = 0.0f; h <= 1.0f; h += 0.01f) {
        const Rgb c = hsv(h, 0.1f, 1.0f);
        for (float channel : {c.r, c.g, c.b}) {
            EXPECT_GE(channel, 0.9f - 1e-6f);
            EXPECT_LE(channel, 1.0f + 1e-6f);
        }
    }
    expectRgb(hsv(0.5f, 1.0f, 0.5f), 0.0f, 0.5f, 0.5f);
    expectRgb(hsv(0.5f, 0.0f, 1.0f), 1.0f, 1.0f, 1.0f);
}

TEST(SceneRandomTest, DrawsFifteenBitValuesAndRepeatsPerSeed) {
    SceneRandom random(99);
    int low = randomMax;
    int high = 0;
    std::uint64_t sum = 0;
    constexpr int draws = 200000;
    for (int i = 0; i < draws; ++i) {
        const int r = random.next();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, randomMax);
        low = std::min(low, r);
        high = std::max(high, r);
        sum += static_cast<std::uint64_t>(r);
    }
    EXPECT_EQ(low, 0);
    EXPECT_EQ(high, randomMax);
    EXPECT_NEAR(static_cast<double>(sum) / draws, randomMax / 2.0, 150.0);

    SceneRandom again(1234);
    const int first = again.next();
    const int second = again.next();
    SceneRandom same(1234);
    EXPECT_EQ(same.next(), first);
    EXPECT_EQ(same.next(), second);
}

TEST(SceneRandomTest, SceneSeedDiscardsTwentyDraws) {
    SceneRandom plain(555);
    for (int i = 0; i < 20; ++i) {
        plain.next();
    }
    const int expected = plain.next();
    EXPECT_EQ(SceneRandom::fromTime(555).next(), expected);
}

TEST(SceneRandomTest, GeneratorsAreIndependent) {
    SceneRandom a(7);
    SceneRandom b(7);
    a.next();
    a.next();
    const int third = a.next();
    b.next();
    SceneRandom other(8);
    other.next();
    b.next();
    EXPECT_EQ(b.next(), third) << "drawing from one generator moves no other";
}

// Finds a seed whose draw number `index` (counting from 0) is `wanted`.
std::uint32_t seedGiving(int index, int wanted) {
    for (std::uint32_t seed = 0;; ++seed) {
        SceneRandom random(seed);
        int r = 0;
        for (int i = 0; i <= index; ++i) {
            r = random.next();
        }
        if (r == wanted) {
            return seed;
        }
    }
}

struct RangeCase {
    const char* field;
    int drawIndex;
    float low;
    float high;
    float (*read)(const Sheet&);
};

TEST(SheetConstructionTest, EveryRangeReachesBothEnds) {
    const RangeCase cases[] = {
        {"phase[0]", 0, 0.0f, twoPi, [](const Sheet& s) { return s.phase[0]; }},
        {"rate[0]", 1, 0.02f, 0.62f, [](const Sheet& s) { return s.rate[0]; }},
        {"phase[4]", 8, 0.0f, twoPi, [](const Sheet& s) { return s.phase[4]; }},
        {"rate[8]", 17, 0.02f, 0.62f, [](const Sheet& s) { return s.rate[8]; }},
        {"hue", 18, 0.0f, 1.0f, [](const Sheet& s) { return s.hue; }},
        {"saturation", 19, 0.1f, 1.0f, [](const Sheet& s) { return s.saturation; }},
        {"hueRate", 20, -0.05f, 0.05f, [](const Sheet& s) { return s.hueRate; }},
        {"saturationRate", 21, 0.001f, 0.041f, [](const Sheet& s) { return s.saturationRate; }},
    };
    for (const RangeCase& c : cases) {
        SceneInputs low{fixedSceneSettings, SceneRandom(seedGiving(c.drawIndex, 0))};
        const Sheet lowSheet(low);
        EXPECT_NEAR(c.read(lowSheet), c.low, 1e-6f) << c.field << " at r = 0";
        SceneInputs high{fixedSceneSettings, SceneRandom(seedGiving(c.drawIndex, randomMax))};
        const Sheet highSheet(high);
        EXPECT_NEAR(c.read(highSheet), c.high, 1e-6f) << c.field << " at r = 32767";
    }
}

} // namespace
} // namespace solvane
