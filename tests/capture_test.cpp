// Runs the real zorvik-capture binary on a headless context.
#include <gtest/gtest.h>

#include <png.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

const std::string kTool = ZORVIK_CAPTURE;
const std::string kSoak = ZORVIK_SOAK;
const std::string kScratch = ZORVIK_SCRATCH;
constexpr size_t kSmallFrameBytes = 64 * 36 * 4;

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

mode_t KindOf(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0 ? (st.st_mode & S_IFMT) : 0;
}

// Standard output and error go to files outside the scratch folder, which the tests list.
Result RunProgram(const std::string& program, const std::string& args,
                  const std::string& env = "") {
    const std::string out = kScratch + ".stdout", err = kScratch + ".stderr";
    const std::string command =
        env + " '" + program + "' " + args + " >'" + out + "' 2>'" + err + "' </dev/null";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(out), ReadFile(err)};
}

Result RunTool(const std::string& args, const std::string& env = "") {
    return RunProgram(kTool, args, env);
}

std::string Quote(const std::string& path) {
    return "'" + path + "'";
}

// The names in the scratch folder that hold `part`.
std::vector<std::string> ScratchNamesWith(const std::string& part) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(kScratch.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name.find(part) != std::string::npos) {
                names.push_back(name);
            }
        }
        closedir(dir);
    }
    return names;
}

bool LeftTemporary() {
    return !ScratchNamesWith(".partial-").empty();
}

// One line on stderr that starts with the tool's name and holds every one of `parts`.
void ExpectOneLineSaying(const Result& r, std::vector<std::string> parts) {
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_EQ(r.err.rfind("zorvik-capture: ", 0), 0u) << r.err;
    for (const std::string& part : parts) {
        EXPECT_NE(r.err.find(part), std::string::npos) << "'" << part << "' missing: " << r.err;
    }
}

bool HaveFfmpeg() {
    return std::system("command -v ffmpeg >/dev/null 2>&1") == 0;
}

// A device node with the numbers of /dev/null (1, 3) or /dev/full (1, 7); needs root.
bool MakeDevice(const std::string& path, unsigned minor) {
    return mknod(path.c_str(), S_IFCHR | 0666, makedev(1, minor)) == 0;
}

// The processes whose parent is `parent`, from /proc.
std::vector<pid_t> ChildrenOf(pid_t parent) {
    std::vector<pid_t> children;
    DIR* proc = opendir("/proc");
    while (const dirent* entry = proc != nullptr ? readdir(proc) : nullptr) {
        const pid_t pid = static_cast<pid_t>(std::atoi(entry->d_name));
        if (pid <= 0) {
            continue;
        }
        std::ifstream stat("/proc/" + std::string(entry->d_name) + "/stat");
        std::string line;
        std::getline(stat, line);
        // pid (comm) state ppid ...: the name may hold spaces, so read after its ')'.
        const size_t close = line.rfind(')');
        if (close == std::string::npos) {
            continue;
        }
        std::istringstream rest(line.substr(close + 1));
        char state = 0;
        pid_t ppid = 0;
        if (rest >> state >> ppid && ppid == parent) {
            children.push_back(pid);
        }
    }
    if (proc != nullptr) {
        closedir(proc);
    }
    return children;
}

// Starts the tool in the background with its output in files, and without core dumps (some of
// the signals sent to it dump core); `ignored`, when given, is a signal it inherits as ignored.
pid_t StartTool(const std::vector<std::string>& args, int ignored = 0) {
    const pid_t pid = fork();
    if (pid == 0) {
        const rlimit noCore{0, 0};
        setrlimit(RLIMIT_CORE, &noCore);
        if (ignored != 0) {
            signal(ignored, SIG_IGN);
        }
        const int out = open((kScratch + ".stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open((kScratch + ".stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        std::vector<char*> argv{const_cast<char*>(kTool.c_str())};
        for (const std::string& arg : args) {
            argv.push_back(const_cast<char*>(arg.c_str()));
        }
        argv.push_back(nullptr);
        execv(kTool.c_str(), argv.data());
        _exit(127);
    }
    return pid;
}

// Polls until `ready` holds, for as long as a hung run would need to show itself.
template <typename Condition> bool WaitFor(Condition ready) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (!ready()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
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
        "--frames 3 --every 5 --out s%d.png",
        "--out ''",
        "--frames 99999999999999999999 --bench",
        "--frames 9223372036854775807 --bench",
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

    // Encoders that fail after half a file, or end well having written nothing where they were
    // told: the final name must never appear.
    const std::string bin = kScratch + "/bin";
    mkdir(bin.c_str(), 0755);
    for (const char* does : {"head -c 100 >\"${last#file:}\"; exit 1", "cat >/dev/null"}) {
        std::ofstream(bin + "/ffmpeg") << "#!/bin/sh\nfor a; do last=$a; done\n" << does << "\n";
        chmod((bin + "/ffmpeg").c_str(), 0755);
        r = RunTool("--frames 2 --size 64x36 --video " + video, "PATH='" + bin + ":/usr/bin:/bin'");
        EXPECT_EQ(r.exitCode, 1) << does << ": " << r.err;
        EXPECT_FALSE(Exists(video)) << does;
        EXPECT_FALSE(LeftTemporary()) << does;
    }
}

TEST_F(Capture, DevicesFifosAndLinksAreWrittenIntoNotReplaced) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "making device nodes needs root";
    }
    ASSERT_TRUE(HaveFfmpeg()) << "ffmpeg is missing: bash scripts/deps.sh test installs it";
    const std::string null = kScratch + "/null", full = kScratch + "/full";
    ASSERT_TRUE(MakeDevice(null, 3));
    ASSERT_TRUE(MakeDevice(full, 7));
    const std::string small = "--frames 2 --size 64x36 --time 5 ";
    for (const char* option : {"--out", "--raw", "--video", "--texture"}) {
        Result r = RunTool(small + option + " " + Quote(null));
        EXPECT_EQ(r.exitCode, 0) << option << ": " << r.err;
        EXPECT_EQ(KindOf(null), S_IFCHR) << option;

        // A full device: an error with the file and the system's reason, nothing else.
        r = RunTool(small + option + " " + Quote(full));
        EXPECT_EQ(r.exitCode, 1) << option << ": " << r.err;
        ExpectOneLineSaying(r, {"'" + full + "'", "No space left on device"});
        EXPECT_EQ(r.err.find("libpng"), std::string::npos) << r.err;
        EXPECT_EQ(KindOf(full), S_IFCHR) << option;
    }

    // A FIFO is written into while something reads it.
    const std::string fifo = kScratch + "/frames.fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = ReadFile(fifo); });
    const Result r = RunTool(small + "--raw " + Quote(fifo));
    reader.join();
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(received.size(), 2 * kSmallFrameBytes);
    EXPECT_EQ(KindOf(fifo), S_IFIFO);

    // A link is followed, to a file or to where one will be, and stays a link.
    ASSERT_EQ(symlink("clip.mkv", (kScratch + "/latest.mkv").c_str()), 0);
    ASSERT_EQ(symlink("shot.png", (kScratch + "/latest.png").c_str()), 0);
    for (int run = 0; run < 2; ++run) {
        EXPECT_EQ(RunTool(small + "--video " + Quote(kScratch + "/latest.mkv") + " --out " +
                          Quote(kScratch + "/latest.png"))
                      .exitCode,
                  0);
        EXPECT_EQ(KindOf(kScratch + "/latest.mkv"), S_IFLNK);
        EXPECT_EQ(KindOf(kScratch + "/latest.png"), S_IFLNK);
        EXPECT_EQ(KindOf(kScratch + "/clip.mkv"), S_IFREG);
        Image image;
        EXPECT_TRUE(ReadPng(kScratch + "/shot.png", &image));
    }
    EXPECT_FALSE(LeftTemporary());
}

TEST_F(Capture, FramesOnStandardOutputSendReportsToStandardError) {
    for (const char* raw : {"--raw", "--raw -", "--raw /dev/stdout"}) {
        const Result r = RunTool(std::string("--frames 3 --size 64x36 --time 5 --bench ") + raw);
        ASSERT_EQ(r.exitCode, 0) << raw << ": " << r.err;
        EXPECT_EQ(r.out.size(), 3 * kSmallFrameBytes) << raw;
        EXPECT_NE(r.err.find("\nfps: "), std::string::npos) << raw << ": " << r.err;
    }
    // A picture on standard output, with the shell's >> kept: after what was there.
    std::ofstream(kScratch + ".stdout") << "before\n";
    const std::string command = Quote(kTool) + " --size 64x36 --time 5 --out /dev/stdout --bench" +
                                " >>" + Quote(kScratch + ".stdout") + " 2>/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string out = ReadFile(kScratch + ".stdout");
    EXPECT_EQ(out.substr(0, 11), "before\n\x89PNG");
    EXPECT_EQ(out.find("fps:"), std::string::npos);
}

TEST_F(Capture, UnwritableOutputsAreRefusedBeforeRendering) {
    // Each would fail; with frames on standard output, a run that rendered first shows it.
    ASSERT_EQ(mkdir((kScratch + "/d1").c_str(), 0755), 0);
    ASSERT_EQ(symlink("same.png", (kScratch + "/s1.png").c_str()), 0);
    ASSERT_EQ(symlink("same.png", (kScratch + "/s2.png").c_str()), 0);
    const std::string tooLong = kScratch + "/" + std::string(252, 'n') + ".png";
    const struct {
        std::string args;
        std::vector<std::string> says;
    } cases[] = {
        {"--out " + Quote(kScratch), {"'" + kScratch + "'", "Is a directory"}},
        {"--video " + Quote(kScratch + "/d1") + " --out /dev/stdout", {"Is a directory"}},
        {"--every 1 --out " + Quote(kScratch + "/d%d/x.png"),
         {"'" + kScratch + "/d2/x.png'", "No such file or directory"}},
        {"--out " + Quote(tooLong), {"File name too long"}},
        {"--every 1 --out " + Quote(kScratch + "/s%d.png"),
         {"'" + kScratch + "/s1.png'", "'" + kScratch + "/s2.png'", "would both write"}},
        {"--every 1 --out " + Quote(kScratch + "/%300d.png"), {"wider than 255"}},
        {"--out " + Quote(kScratch + "/a.png") + " --texture " + Quote(kScratch + "/./a.png"),
         {"would both write"}},
        // Names that have ffmpeg write other files than the one named, and a size it refuses.
        {"--video " + Quote(kScratch + "/f%03d.png") + " --out /dev/stdout", {"f%03d.png'"}},
        {"--video " + Quote(kScratch + "/live.m3u8") + " --out /dev/stdout", {".mkv"}},
        {"--size 64x35 --video " + Quote(kScratch + "/v.mkv") + " --out /dev/stdout", {"64x36"}},
    };
    for (const auto& c : cases) {
        const std::string raw = c.args.find("--video") == std::string::npos ? "--raw " : "";
        const Result r = RunTool("--frames 3 --size 64x36 " + raw + c.args);
        EXPECT_EQ(r.exitCode, 2) << c.args << ": " << r.err;
        EXPECT_EQ(r.out.size(), 0u) << c.args;
        ExpectOneLineSaying(r, c.says);
    }
    EXPECT_FALSE(Exists(kScratch + "/d1/x.png"));
    EXPECT_FALSE(Exists(kScratch + "/same.png"));
    EXPECT_FALSE(LeftTemporary());

    // Two long names that differ only near their end: each output has a temporary file of its
    // own, and the file replaced keeps nothing of the other's.
    const std::string stem = kScratch + "/" + std::string(245, 's');
    std::ofstream(stem + "2.png") << "old";
    const Result both = RunTool("--frames 2 --size 64x36 --raw " + Quote(stem + "1.png") +
                                " --out " + Quote(stem + "2.png"));
    EXPECT_EQ(both.exitCode, 0) << both.err;
    EXPECT_EQ(ReadFile(stem + "1.png").size(), 2 * kSmallFrameBytes);
    Image image;
    EXPECT_TRUE(ReadPng(stem + "2.png", &image));

    // The longest names that a folder takes are written, patterns of wide fields too.
    const std::string longest = kScratch + "/" + std::string(251, 'n') + ".png";
    EXPECT_EQ(RunTool("--size 64x36 --out " + Quote(longest)).exitCode, 0);
    EXPECT_TRUE(Exists(longest));
    const Result wide =
        RunTool("--frames 3 --every 1 --size 64x36 --out " + Quote(kScratch + "/%99d.png"));
    EXPECT_EQ(wide.exitCode, 0) << wide.err;
    for (int frame = 1; frame <= 3; ++frame) {
        EXPECT_TRUE(Exists(kScratch + "/" + std::string(98, ' ') + std::to_string(frame) + ".png"))
            << frame;
    }
    EXPECT_FALSE(LeftTemporary());
}

TEST_F(Capture, InterruptedRunsLeaveNoTemporaryFileAndNoEncoder) {
    ASSERT_TRUE(HaveFfmpeg()) << "ffmpeg is missing: bash scripts/deps.sh test installs it";
    const struct {
        std::string option;
        std::string file;
        int signal;
    } runs[] = {
        {"--video", "v.mp4", SIGINT},           {"--video", "v.mkv", SIGTERM},
        {"--raw", "frames.rgba", SIGTERM},      {"--raw", "frames.rgba", SIGHUP},
        {"--raw", "frames.rgba", SIGQUIT},      {"--raw", "frames.rgba", SIGUSR1},
        {"--raw", "frames.rgba", SIGALRM},      {"--raw", "frames.rgba", SIGXCPU},
        {"--raw", "frames.rgba", SIGRTMIN + 3}, {"--video", "v.mkv", SIGUSR2},
        {"--video", "v.mkv", SIGPROF},
    };
    for (const auto& run : runs) {
        const std::string file = kScratch + "/" + run.file;
        const pid_t tool =
            StartTool({"--frames", "100000000", "--size", "64x36", run.option, file});
        ASSERT_GT(tool, 0);
        // The temporary file is made before ffmpeg is started.
        const bool started = WaitFor([&] {
            return LeftTemporary() && (run.option != "--video" || !ChildrenOf(tool).empty());
        });
        std::vector<pid_t> encoders;
        if (run.option == "--video") {
            // ffmpeg has created its file, so it has long been started.
            encoders = ChildrenOf(tool);
            EXPECT_EQ(encoders.size(), 1u);
        }
        kill(tool, run.signal);
        int status = 0;
        ASSERT_EQ(waitpid(tool, &status, 0), tool);
        ASSERT_TRUE(started) << run.option << ": no temporary file appeared; "
                             << ReadFile(kScratch + ".stderr");
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == run.signal)
            << run.option << ": ended with status " << status;
        EXPECT_FALSE(LeftTemporary()) << run.option;
        EXPECT_FALSE(Exists(file)) << run.option;
        for (const pid_t encoder : encoders) {
            EXPECT_NE(kill(encoder, 0), 0) << "ffmpeg " << encoder << " outlived the capture";
            EXPECT_EQ(errno, ESRCH);
        }
    }

    // A signal ignored from the start, as nohup leaves SIGHUP, does not end the run.
    const std::string file = kScratch + "/frames.rgba";
    const pid_t tool =
        StartTool({"--frames", "100000000", "--size", "64x36", "--raw", file}, SIGHUP);
    ASSERT_GT(tool, 0);
    EXPECT_TRUE(WaitFor([] { return LeftTemporary(); }));
    kill(tool, SIGHUP);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    int status = 0;
    EXPECT_EQ(waitpid(tool, &status, WNOHANG), 0) << "ended by an ignored SIGHUP";
    kill(tool, SIGTERM);
    ASSERT_EQ(waitpid(tool, &status, 0), tool);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
    EXPECT_FALSE(LeftTemporary());
}

TEST_F(Capture, AClosedStandardOutputIsNoPlaceForFrames) {
    // The shell's ">&-": the tool finds descriptor 1 closed and keeps it from any file it opens.
    auto runClosed = [](const std::string& args) {
        const std::string err = kScratch + ".stderr";
        const int status = std::system(
            (Quote(kTool) + " --frames 2 --size 64x36 " + args + " 2>" + Quote(err) + " >&-")
                .c_str());
        return Result{WIFEXITED(status) ? WEXITSTATUS(status) : -1, "", ReadFile(err)};
    };
    for (const char* args : {"--raw", "--raw -", "--raw=-", "--out /dev/stdout",
                             "--raw /proc/self/fd/1", "--every 1 --out /dev/fd/%d"}) {
        const Result r = runClosed(args);
        EXPECT_EQ(r.exitCode, 2) << args << ": " << r.err;
        ExpectOneLineSaying(r, {"standard output", "closed"});
    }
    const std::string raw = kScratch + "/frames.rgba";
    const Result r = runClosed("--bench --raw " + Quote(raw));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFile(raw).size(), 2 * kSmallFrameBytes);
    EXPECT_FALSE(LeftTemporary());
}

TEST(Soak, NumbersAreCheckedAndUnusableOnesRefused) {
    for (const char* args :
         {"--render-frames 99999999999999999999", "--cpu-frames -5", "--cpu-frames 12abc",
          "--cpu-frames", "--frames 5", "--cpu-frames=12abc", "--render-frames="}) {
        const Result r = RunProgram(kSoak, args);
        EXPECT_EQ(r.exitCode, 2) << args << ": " << r.err;
        EXPECT_EQ(r.err.rfind("zorvik-soak: ", 0), 0u) << r.err;
    }
    const Result r = RunProgram(kSoak, "--render-frames 99999999999999999999");
    EXPECT_NE(r.err.find("'99999999999999999999'"), std::string::npos) << r.err;
    const Result ok = RunProgram(kSoak, "--cpu-frames=0 --render-frames 0");
    EXPECT_EQ(ok.exitCode, 0) << ok.err;
    EXPECT_NE(ok.out.find("soak: passed"), std::string::npos) << ok.out;
}
