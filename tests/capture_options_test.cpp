#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <tuple>
#include <unistd.h>
#include <vector>

#include "common/whole_number.h"
#include "tools/capture_options.h"
#include "tools/frame_pattern.h"
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
    EXPECT_FALSE(p.options.seedGiven);
    EXPECT_FALSE(p.options.raw);

    p = Parse({"--frames", "300", "--size", "640x360", "--time", "1765432100", "--out",
               "shots/%06d.png", "--every", "10"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.frames, 300);
    EXPECT_EQ(p.options.width, 640);
    EXPECT_EQ(p.options.height, 360);
    EXPECT_TRUE(p.options.seedGiven);
    EXPECT_EQ(p.options.seed, 1765432100);
    EXPECT_EQ(p.options.every, 10);
    EXPECT_FALSE(WritesFrame(p.options, 9));
    EXPECT_TRUE(WritesFrame(p.options, 10));
    EXPECT_TRUE(WritesFrame(p.options, 300));

    // Without --every only the last frame is written.
    p = Parse({"--frames", "5", "--out", "last.png"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_FALSE(WritesFrame(p.options, 4));
    EXPECT_TRUE(WritesFrame(p.options, 5));

    // --seed and --time are one option; the last one given counts.
    p = Parse({"--seed", "4294967295", "--bench"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.seed, 4294967295);
    p = Parse({"--time", "7", "--seed", "0", "--bench"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_TRUE(p.options.seedGiven);
    EXPECT_EQ(p.options.seed, 0);
}

TEST(CaptureOptions, RawTakesAnOptionalFile) {
    const struct {
        std::vector<const char*> args;
        const char* file;
    } cases[] = {
        {{"--raw"}, ""},
        {{"--raw", "--bench"}, ""},
        {{"--raw", "-", "--bench"}, ""},
        {{"--raw", "frames.rgba"}, "frames.rgba"},
        {{"--raw=frames.rgba", "--bench"}, "frames.rgba"},
        {{"--raw=-"}, ""},
    };
    for (const auto& c : cases) {
        const Parsed p = Parse(c.args);
        ASSERT_TRUE(p.ok) << p.error;
        EXPECT_TRUE(p.options.raw);
        EXPECT_EQ(p.options.rawFile, c.file) << c.args[0];
    }
    EXPECT_TRUE(Parse({"--raw", "-", "--bench"}).options.bench);
}

TEST(CaptureOptions, EveryValueMayFollowAnEqualsSign) {
    const struct {
        std::vector<const char*> joined, apart;
    } cases[] = {
        {{"--frames=2", "--bench"}, {"--frames", "2", "--bench"}},
        {{"--size=64x36", "--bench"}, {"--size", "64x36", "--bench"}},
        {{"--seed=5", "--bench"}, {"--seed", "5", "--bench"}},
        {{"--frames=4", "--every=2", "--out=s/%d.png"},
         {"--frames", "4", "--every", "2", "--out", "s/%d.png"}},
        {{"--out=a=b.png"}, {"--out", "a=b.png"}},
        {{"--video=clip.mkv"}, {"--video", "clip.mkv"}},
    };
    for (const auto& c : cases) {
        const Parsed joined = Parse(c.joined), apart = Parse(c.apart);
        ASSERT_TRUE(joined.ok) << c.joined[0] << ": " << joined.error;
        ASSERT_TRUE(apart.ok) << apart.error;
        const CaptureOptions &a = joined.options, &b = apart.options;
        EXPECT_EQ(std::tie(a.frames, a.width, a.height, a.seedGiven, a.seed, a.out, a.every, a.raw,
                           a.rawFile, a.video, a.texture, a.bench),
                  std::tie(b.frames, b.width, b.height, b.seedGiven, b.seed, b.out, b.every, b.raw,
                           b.rawFile, b.video, b.texture, b.bench))
            << c.joined[0];
    }
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
        {{"--seed", "4294967296", "--bench"}, "from 0 to 4294967295"},
        {{"--seed", "-1", "--bench"}, "--seed"},
        {{"--frames", "99999999999999999999", "--bench"}, "99999999999999999999"},
        {{"--frames", "4294967296", "--bench"}, "from 1 to 4294967295"},
        {{"--frames", "9223372036854775807", "--bench"}, "60 frames per second"},
        {{"--frames", "+5", "--bench"}, "--frames"},
        {{"--every", "9223372036854775808", "--out", "s/%d.png"}, "--every"},
        {{"--size", "65537x10", "--bench"}, "--size"},
        {{"--out", ""}, "--out needs a file name"},
        {{"--video", ""}, "--video needs a file name"},
        {{"--video", "-"}, "--video cannot write to standard output"},
        {{"--video=-"}, "--video cannot write to standard output"},
        {{"--texture", ""}, "--texture needs a file name"},
        {{"--raw", ""}, "--raw needs a file name"},
        {{"--raw="}, "--raw needs a file name"},
        {{"--frames", "3", "--every", "5", "--out", "s%d.png"}, "writes no frame"},
        {{"--every", "1", "--out", "%256d.png"}, "wider than 255"},
        {{"--every", "1", "--out", "d%d/../x.png"}, ".."},
        {{"--every", "1", "--out", "d%d/a/../../x.png"}, ".."},
        {{"--every", "5", "--bench"}, "--every"},
        {{"--every", "5", "--out", "plain.png"}, "pattern"},
        {{"--every", "0", "--out", "s/%d.png"}, "--every"},
        {{"--out", "s/%06d.png"}, "--every"},
        {{"--raw", "--video", "a.mp4"}, "--raw"},
        {{"--video", "shot%03d.png"}, "--video 'shot%03d.png': its extension"},
        {{"--video", "live.M3U8"}, ".mkv, .mp4"},
        {{"--video", "live.mpd"}, "or none for Matroska"},
        {{"--size", "63x35", "--video", "a.mkv"}, "give --size 64x36, not 63x35"},
        {{"--size", "64x1", "--video", "/dev/null"}, "even"},
        {{"--every", "4294967296", "--out", "s%d.png"}, "from 1 to 4294967295"},
        {{}, "nothing to write"},
        {{"--bench=1"}, "--bench takes no value, not '--bench=1'"},
        {{"--help=yes"}, "--help takes no value"},
        {{"--frames=", "--bench"}, "--frames needs"},
        {{"--size=", "--bench"}, "--size needs"},
        {{"--out="}, "--out needs a file name"},
        {{"--fast=1", "--bench"}, "'--fast=1'"},
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
    EXPECT_EQ(ExpandFramePattern("f%3d.png", 7), "f  7.png");
    EXPECT_EQ(ExpandFramePattern("%d", LONG_MAX), "9223372036854775807");

    // However wide the field, the number is never cut: different frames, different names.
    std::set<std::string> names;
    for (long frame : {1L, 9L, 10L, 99L, 100L, 123456789L}) {
        const std::string name = ExpandFramePattern("%99d.png", frame);
        EXPECT_EQ(name.size(), 103u) << name;
        EXPECT_EQ(name.substr(99 - std::to_string(frame).size(), std::to_string(frame).size()),
                  std::to_string(frame));
        names.insert(name);
        names.insert(ExpandFramePattern("%0255d", frame));
    }
    EXPECT_EQ(names.size(), 12u);

    // Names found in the numbered component's folder, read back as frames: only a name exactly as
    // some frame spells it.
    const struct {
        const char* pattern;
        const char* folder;
        const char* entry;
        long frame;
    } entries[] = {
        {"shots/%06d.png", "shots", "000042.png", 42},
        {"shots/%06d.png", "shots", "1234567.png", 1234567},
        {"shots/%06d.png", "shots", "00042.png", -1},
        {"shots/%06d.png", "shots", "00004x.png", -1},
        {"f%3d.png", ".", "f  7.png", 7},
        {"f%3d.png", ".", "f007.png", -1},
        {"f%d.png", ".", "f07.png", -1},
        {"f%d.png", ".", "f0.png", 0},
        {"f%d.png", ".", "f99999999999999999999.png", -1},
        {"f1%d.png", ".", "f12.png", 2},
        {"/d%d/x.png", "/", "d12", 12},
        {"a/b/run%d-%%/x.png", "a/b", "run5-%", 5},
        {"100%%/%d.png", "100%", "3.png", 3},
    };
    for (const auto& e : entries) {
        EXPECT_EQ(FramePatternFolder(e.pattern), e.folder) << e.pattern;
        EXPECT_EQ(FrameOfEntry(e.pattern, e.entry), e.frame) << e.pattern << " " << e.entry;
    }

    std::string error;
    EXPECT_TRUE(CheckFramePattern("%255d.png", &error)) << error;
    EXPECT_TRUE(CheckFramePattern("d%d/./x.png", &error)) << error;
    EXPECT_TRUE(CheckFramePattern("../d%d/x.png", &error)) << error;
    EXPECT_TRUE(FramePatternNumbersFolders("d%d/x.png"));
    EXPECT_FALSE(FramePatternNumbersFolders("d/%d.png"));
}

TEST(WholeNumber, DigitsOnlyAndNeverWrappedAround) {
    long value = -1;
    EXPECT_TRUE(ParseWholeNumber("9223372036854775807", 0, LONG_MAX, &value));
    EXPECT_EQ(value, LONG_MAX);
    EXPECT_TRUE(ParseWholeNumber("007", 0, 10, &value));
    EXPECT_EQ(value, 7);
    for (const char* bad : {"9223372036854775808", "99999999999999999999", "18446744073709551623",
                            "", "-1", "+1", " 1", "1 ", "1e3", "0x10", "11"}) {
        value = 42;
        EXPECT_FALSE(ParseWholeNumber(bad, 0, 10, &value)) << bad;
        EXPECT_EQ(value, 42) << bad;
    }
    EXPECT_FALSE(ParseWholeNumber("0", 1, 10, &value));

    // The full unsigned range, as window ids need, and ranges narrower than one digit.
    uint64_t wide = 0;
    EXPECT_TRUE(ParseWholeNumber(std::string("18446744073709551615"), 0, UINT64_MAX, &wide));
    EXPECT_EQ(wide, UINT64_MAX);
    EXPECT_FALSE(ParseWholeNumber(std::string("18446744073709551616"), 0, UINT64_MAX, &wide));
    EXPECT_TRUE(ParseWholeNumber(std::string("0"), 0, 0, &wide));
    EXPECT_EQ(wide, 0u);
    EXPECT_FALSE(ParseWholeNumber(std::string("5"), 0, 3, &wide));
    EXPECT_FALSE(ParseWholeNumber(std::string("5"), 0, 0, &wide));
}

TEST(OutputPath, TemporaryNameStaysInTheFolderAndKeepsTheExtension) {
    const std::string pid = std::to_string(getpid());
    EXPECT_EQ(TemporaryNameFor("out/dir/clip.mp4", 7), "out/dir/.clip.partial-" + pid + "-7.mp4");
    EXPECT_EQ(TemporaryNameFor("a", 1), ".a.partial-" + pid + "-1");
    EXPECT_EQ(TemporaryNameFor(".hidden", 2), "..hidden.partial-" + pid + "-2");
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
