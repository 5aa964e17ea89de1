// The city as static construction leaves it, before anything is seeded: the same on every
// platform and every run.
#include <gtest/gtest.h>

#include <cmath>

#include "scene/random.h"
#include "scene/scene.h"
#include "tests/support/allocation_counter.h"

namespace {

uint64_t g_drawsBeforeMain = 0;
AllocationCounts g_allocationsBeforeMain{};

// The unseeded sequence, for recomputing objects independently of their constructors.
class Sequence {
  public:
    explicit Sequence(uint64_t skip) {
        for (uint64_t i = 0; i < skip; ++i) {
            Next();
        }
    }
    int Next() { return RandStep(state_); }

  private:
    uint32_t state_ = kRandDefaultState;
};

constexpr uint64_t kLightDraws = 4 * 12;
constexpr uint64_t kFloorDraws = 740 * 8;
constexpr uint64_t kCloudDraws = 280 * 6;
constexpr uint64_t kBoxDraws = 6220 * 12;
constexpr uint64_t kMoverDraws = 1400 * 7;

void ExpectClose(float actual, double expected, const char* what) {
    EXPECT_NEAR(actual, expected, std::fabs(expected) * 1e-6 + 1e-6) << what;
}

void CheckLight(const Lampje& light, uint64_t first) {
    Sequence s(first);
    EXPECT_EQ(light.duration, 200);
    EXPECT_EQ(light.posStart[0], s.Next() % 100 - 50);
    EXPECT_EQ(light.posStart[1], s.Next() % 100 - 50);
    EXPECT_EQ(light.posStart[2], s.Next() % 100);
    EXPECT_EQ(light.posCurrent[1], s.Next() % 100 - 50);
    EXPECT_EQ(light.posTarget[0], s.Next() % 100 - 50);
    EXPECT_EQ(light.posTarget[1], s.Next() % 100 - 50);
    EXPECT_EQ(light.posTarget[2], s.Next() % 100);
    EXPECT_EQ(light.frame, s.Next() % 100);
    for (int c = 0; c < 3; ++c) {
        ExpectClose(light.color[c], (s.Next() % 100) / 100.0, "colour");
    }
    EXPECT_EQ(light.life, s.Next() % 120 + 4);
    EXPECT_EQ(light.mode, 0);
    EXPECT_EQ(light.cutoff, 1.0f);
    EXPECT_EQ(light.posCurrent[0], 0.0f);
    EXPECT_EQ(light.dirTarget[2], 0.0f);
}

void CheckFloor(const Floor& tile, uint64_t first) {
    Sequence s(first);
    ExpectClose(tile.x, (s.Next() % 70000 - 35000.0) * 2, "x");
    ExpectClose(tile.y, (s.Next() % 70000 - 35000.0) * 2, "y");
    ExpectClose(tile.z, (s.Next() % 600 - 300) / 10.0 - 500, "z");
    const double sx = (s.Next() % 16000 - 8000) / 20.0;
    const double sy = (s.Next() % 16000 - 8000) / 20.0;
    ExpectClose(tile.scaleX, sx < 10 ? 10 : sx, "scaleX");
    ExpectClose(tile.scaleY, sy < 10 ? 10 : sy, "scaleY");
    EXPECT_EQ(tile.red, s.Next() % 255);
    EXPECT_EQ(tile.green, s.Next() % 255);
    EXPECT_EQ(tile.blue, s.Next() % 255);
}

void CheckCloud(const Cloud& cloud, uint64_t first) {
    Sequence s(first);
    ExpectClose(cloud.x, (s.Next() % 70000 - 35000.0) * 2, "x");
    ExpectClose(cloud.y, (s.Next() % 70000 - 35000.0) * 2, "y");
    ExpectClose(cloud.z, s.Next() % 70000 + 8000, "z");
    ExpectClose(cloud.scaleX, (s.Next() % 16000) / 50.0 + 250, "scaleX");
    ExpectClose(cloud.scaleY, (s.Next() % 16000) / 50.0 + 250, "scaleY");
    ExpectClose(cloud.speed, (s.Next() % 4000) / 120.0 + 4, "speed");
}

void CheckBox(const Carz& box, uint64_t first) {
    Sequence s(first);
    const int i = s.Next() % 35, j = s.Next() % 35;
    ExpectClose(box.x, (s.Next() % 10000 - 5000) / 9.0 + ((i - 17.5) * 4000 + 2000), "x");
    ExpectClose(box.y, (s.Next() % 10000 - 5000) / 9.0 + ((j - 17.5) * 4000 + 2000), "y");
    ExpectClose(box.z, (s.Next() % 70000) / 2.0, "z");
    ExpectClose(box.scale, (s.Next() % 1000) / 300.0 + 0.5, "scale");
    EXPECT_EQ(box.constHalf, 0.5f);
    EXPECT_EQ(box.stretch, s.Next() % 1450 + 70);
    EXPECT_EQ(box.red, s.Next() % 255);
    EXPECT_EQ(box.green, s.Next() % 255);
    EXPECT_EQ(box.blue, s.Next() % 255);
    EXPECT_EQ(box.translucent, s.Next() % 2);
    EXPECT_EQ(box.shape, s.Next() % 3);
    EXPECT_NE(box.corners, nullptr);
}

void CheckMover(const Moverz& m, uint64_t first) {
    Sequence s(first);
    EXPECT_EQ(m.x, 0.0f);
    EXPECT_EQ(m.y, 0.0f);
    EXPECT_EQ(m.z, 100.0f);
    ExpectClose(m.scaleX, (s.Next() % 100) / 50.0 + 3, "scaleX");
    EXPECT_EQ(m.scaleY, m.scaleX);
    ExpectClose(m.scaleZ, (s.Next() % 100) / 30.0 + 3, "scaleZ");
    EXPECT_EQ(m.red, s.Next() % 255);
    EXPECT_EQ(m.green, s.Next() % 255);
    EXPECT_EQ(m.blue, s.Next() % 255);
    EXPECT_EQ(m.heading, s.Next() % 3);
    ExpectClose(m.speed, (s.Next() % 200) / 20.0 + 15, "speed");
    EXPECT_EQ(m.laneOffset, m.speed * 5);
    EXPECT_EQ(m.travelled, 0.0f);
    EXPECT_EQ(m.laneX, 0.0f);
    EXPECT_EQ(m.laneY, 0.0f);
}

} // namespace

TEST(StaticConstruction, TakesEveryDrawInArrayOrder) {
    EXPECT_EQ(g_drawsBeforeMain, kLightDraws + kFloorDraws + kCloudDraws + kBoxDraws + kMoverDraws);
    EXPECT_EQ(g_drawsBeforeMain, 92088u);
}

// The scene allocates nothing on the heap but one corner array per static box.
TEST(StaticConstruction, AllocatesOneCornerArrayPerBox) {
    EXPECT_EQ(g_allocationsBeforeMain.arrays96, kBoxes);
    EXPECT_EQ(g_allocationsBeforeMain.arrays, kBoxes);
    for (int i = 1; i < kBoxes; ++i) {
        ASSERT_NE(kar[i].corners, kar[i - 1].corners);
    }
}

TEST(StaticConstruction, FirstAndLastObjectOfEachArray) {
    uint64_t at = 0;
    CheckLight(licht[0], at);
    CheckLight(licht[3], at + 36);
    at += kLightDraws;

    for (const Camera& camera : Zenith) {
        EXPECT_EQ(camera.eyeTarget[2], 300.0f);
        EXPECT_EQ(camera.eyeCurrent[0], 10.01f);
        EXPECT_EQ(camera.eyeFrame, 20);
        EXPECT_EQ(camera.lookDuration, 2);
    }

    CheckFloor(vloer[0], at);
    CheckFloor(vloer[739], at + 739 * 8);
    at += kFloorDraws;
    CheckCloud(cloudz[0], at);
    CheckCloud(cloudz[279], at + 279 * 6);
    at += kCloudDraws;
    CheckBox(kar[0], at);
    CheckBox(kar[6219], at + 6219 * 12);
    at += kBoxDraws;
    CheckMover(mover[0], at);
    CheckMover(mover[1399], at + 1399 * 7);
}

int main(int argc, char** argv) {
    // Static construction has run by now and nothing else has drawn.
    g_drawsBeforeMain = RandDrawCount();
    g_allocationsBeforeMain = CountedAllocations();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
