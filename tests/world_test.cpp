#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "scene/world.h"

TEST(WorldDimensions, GridIs35BlocksAndWorldTruncatesTo70000) {
    EXPECT_EQ(2 * worldsize / blocksize, 35.0f);
    EXPECT_EQ(static_cast<int>(worldsize), 70000);
}

TEST(DegreeTables, QuarterTurnsCarryTheShortPi) {
    FillDegreeTables();
    EXPECT_EQ(cosd[0], 1.0f);
    EXPECT_EQ(sind[0], 0.0f);
    EXPECT_EQ(cosd[90], 1.7948968e-9f);
    EXPECT_EQ(sind[90], 1.0f);
    EXPECT_EQ(cosd[180], -1.0f);
    EXPECT_EQ(sind[180], 3.5897936e-9f);
    EXPECT_EQ(cosd[270], -5.3846891e-9f);
    EXPECT_EQ(sind[270], -1.0f);
    // Exact halves, so products with whole radii truncate exactly.
    for (int i : {60, 300}) {
        EXPECT_EQ(cosd[i], 0.5f) << i;
    }
    for (int i : {30, 150}) {
        EXPECT_EQ(sind[i], 0.5f) << i;
    }
    for (int i : {120, 240}) {
        EXPECT_EQ(cosd[i], -0.5f) << i;
    }
    for (int i : {210, 330}) {
        EXPECT_EQ(sind[i], -0.5f) << i;
    }
    // The near-zero entries vanish when a radius 0..63 is applied and truncated.
    for (int radius = 0; radius < 64; ++radius) {
        EXPECT_EQ(static_cast<int>(radius * static_cast<double>(cosd[90])), 0);
        EXPECT_EQ(static_cast<int>(radius * static_cast<double>(sind[180])), 0);
        EXPECT_EQ(static_cast<int>(radius * static_cast<double>(cosd[270])), 0);
    }
}

TEST(DegreeTables, RefillingGivesIdenticalValues) {
    FillDegreeTables();
    std::array<float, maxd> c{}, s{};
    std::copy(cosd, cosd + maxd, c.begin());
    std::copy(sind, sind + maxd, s.begin());
    FillDegreeTables();
    for (int i = 0; i < maxd; ++i) {
        EXPECT_EQ(cosd[i], c[i]);
        EXPECT_EQ(sind[i], s[i]);
        EXPECT_NEAR(cosd[i] * cosd[i] + sind[i] * sind[i], 1.0f, 1e-6f);
    }
}

namespace {
std::array<float, 3> Corner(unsigned k) {
    return {cc_points[3 * k], cc_points[3 * k + 1], cc_points[3 * k + 2]};
}
} // namespace

// Each quad of the box cube must run counter-clockwise seen from outside, and its corners must lie
// on the face the table names; a swapped index turns a face inside out.
TEST(CubeTables, QuadsRunCounterClockwiseFromOutside) {
    const float outward[6][3] = {{0, 0, 1},  {1, 0, 0}, {0, 0, -1},
                                 {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}};
    for (int q = 0; q < 6; ++q) {
        const auto a = Corner(cc_faces[4 * q]), b = Corner(cc_faces[4 * q + 1]),
                   c = Corner(cc_faces[4 * q + 2]);
        const float u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
        const float v[3] = {c[0] - b[0], c[1] - b[1], c[2] - b[2]};
        const float n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2],
                            u[0] * v[1] - u[1] * v[0]};
        const float dot = n[0] * outward[q][0] + n[1] * outward[q][1] + n[2] * outward[q][2];
        EXPECT_GT(dot, 0.0f) << "quad " << q;
        for (int k = 0; k < 4; ++k) {
            const auto p = Corner(cc_faces[4 * q + k]);
            EXPECT_EQ(p[0] * outward[q][0] + p[1] * outward[q][1] + p[2] * outward[q][2], 25.0f)
                << "quad " << q << " corner " << k;
        }
        // Entries 0..5 of the normal table are the quads' outward directions, in quad order.
        for (int axis = 0; axis < 3; ++axis) {
            EXPECT_EQ(cc_normals[3 * q + axis], outward[q][axis]);
        }
    }
    for (int k = 18; k < 24; ++k) {
        EXPECT_EQ(cc_normals[k], 0.0f) << "corners 6 and 7 carry no normal";
    }
}

TEST(CubeTables, TexturedQuadMapsTheTextureMirroredInX) {
    // Vertex 0 of the drawn face: s = 1 at x = -50, t = 1 at y = +50, on the plane z = +50.
    const float v0[8] = {1, 1, 0, 0, 1, -50, 50, 50};
    const float v2[8] = {0, 0, 0, 0, 1, 50, -50, 50};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(g_cubeVertices[i], v0[i]);
        EXPECT_EQ(g_cubeVertices[16 + i], v2[i]);
    }
    for (int v = 0; v < 4; ++v) {
        EXPECT_EQ(g_cubeVertices[8 * v + 7], 50.0f);
        EXPECT_EQ(g_cubeVertices[8 * v + 4], 1.0f);
    }
    EXPECT_EQ(sizeof g_cubeVertices, 768u);
}
