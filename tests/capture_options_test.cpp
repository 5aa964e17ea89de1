#include <gtest/gtest.h>

#include <vector>

#include "tools/capture_options.h"
#include "tools/frame_stats.h"
#include "tools/output_path.h"

namespace {

struct Parsed {
    bool ok;
    CaptureOptions options;
    std::string error;
};

Parsed Parse(std::vector<const char*> args) {
    args.insert(args.begin(), "zorvik-capture");
    Parsed p;
    p.ok = ParseCaptureOptions(static_cast<int>(args.size()), args.data(), &p.options, &p.error);
    return p;
}

} // namespace

TEST(CaptureOptions, DefaultsAndValues) {
    Parsed p = Parse({"--bench"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.frames, 1);
    EXPECT_EQ(p.options.width, 1280);
    EXPECT_EQ(p.options.height, 720);
    EXPECT_FALSE(p.options.timeGiven);

    p = Parse({"--frames", "300", "--size", "640x360", "--time", "1765432100", "--out",
               "shots/%06d.png", "--every", "10"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.frames, 300);
    EXPECT_EQ(p.options.width, 640);
    EXPECT_EQ(p.options.height, 360);
    EXPECT_EQ(p.options.time, 1765432100);
    EXPECT_EQ(p.options.every, 10);
    EXPECT_FALSE(WritesFrame(p.options, 9));
    EXPECT_TRUE(WritesFrame(p.options, 10));
    EXPECT_TRUE(WritesFrame(p.options, 300));

    // Without --every only the last frame is written.
    p = Parse({"--frames", "5", "--out", "last.png"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_FALSE(WritesFrame(p.options, 4));
    EXPECT_TRUE(WritesFrame(p.options, 5));
}

TEST(CaptureOptions, BadArgumentsNameTheProblem) {
    const struct {
        std::vector<const char*> args;
        const char* mentions;
    } cases[] = {
        {{"--bench", "--fast"}, "--fast"},
        {{"--frames", "0", "--bench"}, "--frames"},
        {{"--frames", "-3", "--bench"}, "--frames"},
        {{"--frames", "12abc", "--bench"}, "12abc"},
        {{"--frames"}, "needs a value"},
        {{"--size", "1280", "--bench"}, "--size"},
        {{"--size", "x720", "--bench"}, "--size"},
        {{"--size", "0x720", "--bench"}, "--size"},
        {{"--size", "12x34x56", "--bench"}, "--size"},
        {{"--time", "soon", "--bench"}, "--time"},
        {{"--every", "5", "--bench"}, "--every"},
        {{"--every", "5", "--out", "plain.png"}, "pattern"},
        {{"--every", "0", "--out", "s/%d.png"}, "--every"},
        {{"--out", "s/%06d.png"}, "--every"},
        {{"--raw", "--video", "a.mp4"}, "--raw"},
        {{}, "nothing to write"},
    };
    for (const auto& c : cases) {
        const Parsed p = Parse(c.args);
        EXPECT_FALSE(p.ok) << c.mentions;
        EXPECT_NE(p.error.find(c.mentions), std::string::npos) << p.error;
        EXPECT_EQ(p.error.find('\n'), std::string::npos) << "one line: " << p.error;
    }
}

TEST(OutputPath, FramePatterns) {
    EXPECT_TRUE(IsFramePattern("shots/%06d.png"));
    EXPECT_TRUE(IsFramePattern("%d.png"));
    EXPECT_TRUE(IsFramePattern("100%%-%4d.png"));
    EXPECT_FALSE(IsFramePattern("plain.png"));
    EXPECT_FALSE(IsFramePattern("%d-%d.png"));
    EXPECT_FALSE(IsFramePattern("%s.png"));
    EXPECT_FALSE(IsFramePattern("%06x.png"));
    EXPECT_FALSE(IsFramePattern("%%d.png"));
    EXPECT_EQ(ExpandFramePattern("shots/%06d.png", 42), "shots/000042.png");
    EXPECT_EQ(ExpandFramePattern("100%%-%d.png", 7), "100%-7.png");
    EXPECT_EQ(ExpandFramePattern("f%3d.png", 1234567), "f1234567.png");
}

TEST(OutputPath, TemporaryNameStaysInTheFolderAndKeepsTheExtension) {
    const std::string t = TemporaryNameFor("out/dir/clip.mp4");
    EXPECT_EQ(t.rfind("out/dir/.clip.partial-", 0), 0u) << t;
    EXPECT_EQ(t.substr(t.size() - 4), ".mp4");
    EXPECT_NE(TemporaryNameFor("a.png"), "a.png");
}

TEST(FrameStats, NearestRankPercentiles) {
    EXPECT_EQ(Percentile({}, 50), 0.0);
    EXPECT_EQ(Percentile({5.0}, 90), 5.0);
    std::vector<double> samples;
    for (int i = 10; i >= 1; --i) {
        samples.push_back(i);
    }
    EXPECT_EQ(Percentile(samples, 50), 5.0);
    EXPECT_EQ(Percentile(samples, 90), 9.0);
    EXPECT_EQ(Percentile(samples, 100), 10.0);
}
