// Runs the real zorvik-capture binary on a headless context.
#include <gtest/gtest.h>

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <vector>

namespace {

const std::string kTool = ZORVIK_CAPTURE;
const std::string kScratch = ZORVIK_SCRATCH;

struct Result {
    int exitCode;
    std::string out;
    std::string err;
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool Exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

Result RunTool(const std::string& args, const std::string& env = "") {
    const std::string out = kScratch + "/stdout", err = kScratch + "/stderr";
    const std::string command =
        env + " '" + kTool + "' " + args + " >'" + out + "' 2>'" + err + "' </dev/null";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(out), ReadFile(err)};
}

struct Image {
    int width = 0, height = 0;
    std::vector<unsigned char> rgba;
};

bool ReadPng(const std::string& path, Image* image) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str())) {
        return false;
    }
    png.format = PNG_FORMAT_RGBA;
    image->width = static_cast<int>(png.width);
    image->height = static_cast<int>(png.height);
    image->rgba.resize(PNG_IMAGE_SIZE(png));
    return png_image_finish_read(&png, nullptr, image->rgba.data(), 0, nullptr) != 0;
}

class Capture : public ::testing::Test {
  protected:
    void SetUp() override {
        std::system(("rm -rf '" + kScratch + "' && mkdir -p '" + kScratch + "'").c_str());
    }
};

} // namespace

TEST_F(Capture, ArgumentErrorsExitWith2AndOneLine) {
    const char* bad[] = {
        "--bogus",
        "--frames 0 --bench",
        "--frames -1 --bench",
        "--size 640by480 --bench",
        "--size 100000x10 --bench",
        "--every 3 --bench",
        "--out /nonexistent-folder/x.png",
        "--frames 3 --every 1 --out /nonexistent-folder/%d.png",
    };
    for (const char* args : bad) {
        const Result r = RunTool(args);
        EXPECT_EQ(r.exitCode, 2) << args << ": " << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << args << ": " << r.err;
        EXPECT_EQ(r.err.rfind("zorvik-capture: ", 0), 0u) << r.err;
    }
    const Result help = RunTool("--help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("--frames N"), std::string::npos);
}

TEST_F(Capture, SameTimeGivesIdenticalPicturesAndAnotherTimeDoesNot) {
    const std::string a = kScratch + "/a.png", b = kScratch + "/b.png", c = kScratch + "/c.png";
    const std::string common = "--frames 40 --size 320x180 ";
    ASSERT_EQ(RunTool(common + "--time 1765432100 --out " + a).exitCode, 0);
    ASSERT_EQ(RunTool(common + "--time 1765432100 --out " + b).exitCode, 0);
    ASSERT_EQ(RunTool(common + "--time 1000000000 --out " + c).exitCode, 0);
    const std::string pa = ReadFile(a), pb = ReadFile(b), pc = ReadFile(c);
    ASSERT_FALSE(pa.empty());
    EXPECT_EQ(pa, pb);
    // The seed steers the camera and lights, so forty frames in the pictures part.
    EXPECT_NE(pa, pc);

    Image image;
    ASSERT_TRUE(ReadPng(a, &image));
    EXPECT_EQ(image.width, 320);
    EXPECT_EQ(image.height, 180);
    long lit = 0;
    for (size_t i = 0; i < image.rgba.size(); i += 4) {
        lit += image.rgba[i] + image.rgba[i + 1] + image.rgba[i + 2] > 30;
    }
    EXPECT_GT(lit, 320 * 180 / 100) << "the city should not be black";
    EXPECT_NE(std::system(("ls -A '" + kScratch + "' | grep -q partial").c_str()), 0)
        << "temporary file left behind";
}

TEST_F(Capture, EveryKthFrameFollowsThePattern) {
    ASSERT_EQ(RunTool("--frames 7 --size 64x36 --time 5 --every 3 --out " + kScratch + "/f%03d.png")
                  .exitCode,
              0);
    EXPECT_FALSE(Exists(kScratch + "/f001.png"));
    EXPECT_TRUE(Exists(kScratch + "/f003.png"));
    EXPECT_TRUE(Exists(kScratch + "/f006.png"));
    EXPECT_FALSE(Exists(kScratch + "/f007.png"));
}

TEST_F(Capture, RawWritesEveryFrameTopDown) {
    const Result r = RunTool("--frames 3 --size 64x36 --time 5 --raw");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out.size(), 3u * 64 * 36 * 4);

    // The last raw frame equals the PNG of the same run, row for row.
    ASSERT_EQ(RunTool("--frames 3 --size 64x36 --time 5 --out " + kScratch + "/last.png").exitCode,
              0);
    Image image;
    ASSERT_TRUE(ReadPng(kScratch + "/last.png", &image));
    EXPECT_EQ(r.out.substr(2u * 64 * 36 * 4), std::string(image.rgba.begin(), image.rgba.end()));
}

TEST_F(Capture, TextureMatchesTheGlowImage) {
    const std::string path = kScratch + "/glow.png";
    ASSERT_EQ(RunTool("--texture " + path).exitCode, 0);
    Image image;
    ASSERT_TRUE(ReadPng(path, &image));
    ASSERT_EQ(image.width, 128);
    ASSERT_EQ(image.height, 128);
    long sum = 0;
    int nonBlack = 0;
    for (size_t i = 0; i < image.rgba.size(); i += 4) {
        const int s = image.rgba[i] + image.rgba[i + 1] + image.rgba[i + 2] + image.rgba[i + 3];
        sum += s;
        nonBlack += s != 0;
    }
    EXPECT_EQ(sum, 4703122);
    EXPECT_EQ(nonBlack, 11456);
    auto pixel = [&](int row, int column) {
        const unsigned char* p = &image.rgba[(static_cast<size_t>(row) * 128 + column) * 4];
        return std::vector<int>{p[0], p[1], p[2], p[3]};
    };
    // Row 0 of the image is the PNG's first row: the raw samples sit at the bottom.
    EXPECT_EQ(pixel(78, 78), (std::vector<int>{249, 249, 249, 176}));
    EXPECT_EQ(pixel(127, 96), (std::vector<int>{43, 43, 43, 43}));
    EXPECT_EQ(pixel(0, 64), (std::vector<int>{0, 0, 0, 0}));
}

TEST_F(Capture, BenchPrintsOneFigurePerLine) {
    const Result r = RunTool("--frames 5 --size 160x90 --time 7 --bench");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::regex line(R"(^([a-z0-9_]+): (.+?)( [a-z/]+)?$)");
    std::vector<std::string> names;
    std::istringstream in(r.out);
    for (std::string text; std::getline(in, text);) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(text, m, line)) << text;
        names.push_back(m[1]);
        if (m[1] != "renderer") {
            EXPECT_GE(std::stod(m[2]), 0.0) << text;
        }
    }
    for (const char* name :
         {"renderer", "fps", "frame_median", "frame_p90", "simulation_median", "simulation_p90",
          "submission_median", "submission_p90", "finish_median", "finish_p90", "first_draw"}) {
        EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << name;
    }
}

TEST_F(Capture, VideoWithoutFfmpegOrWithAFailingOneLeavesNoFile) {
    const std::string video = kScratch + "/clip.mp4";
    Result r = RunTool("--frames 2 --size 64x36 --video " + video, "PATH=/nonexistent");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("ffmpeg"), std::string::npos) << r.err;
    EXPECT_FALSE(Exists(video));

    // An encoder that writes half a file and fails: the final name must never appear.
    const std::string bin = kScratch + "/bin";
    std::system(("mkdir -p '" + bin +
                 "' && printf '#!/bin/sh\\nfor a; do last=$a; done\\n"
                 "head -c 100 >\"$last\"\\nexit 1\\n' >'" +
                 bin + "/ffmpeg' && chmod +x '" + bin + "/ffmpeg'")
                    .c_str());
    r = RunTool("--frames 2 --size 64x36 --video " + video, "PATH='" + bin + ":/usr/bin:/bin'");
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_FALSE(Exists(video));
    EXPECT_NE(std::system(("ls -A '" + kScratch + "' | grep -q partial").c_str()), 0)
        << "temporary file left behind";
}
