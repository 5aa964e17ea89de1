// Where the capture tool's files go and how they are written: links, devices, FIFOs, the
// process's own descriptors, long names, full devices, and the checks made before rendering.
#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "common/standard_descriptors.h"
#include "tools/capture_options.h"
#include "tools/capture_outputs.h"
#include "tools/output_file.h"
#include "tools/output_path.h"
#include "tools/png_file.h"

namespace {

const std::string kScratch = ZORVIK_SCRATCH;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

mode_t KindOf(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0 ? (st.st_mode & S_IFMT) : 0;
}

// Names in the scratch folder that a run left behind by mistake.
bool LeftTemporary() {
    return std::system(("ls -A '" + kScratch + "' | grep -q partial").c_str()) == 0;
}

// Writes `text` through an OutputFile; the error when it fails.
std::string WriteThrough(const std::string& name, const std::string& text) {
    OutputFile file;
    std::string error;
    if (!file.Open(name, &error) || !file.Write(text.data(), text.size(), &error) ||
        !file.Commit(&error)) {
        return error.empty() ? "failed without a reason" : error;
    }
    return "";
}

// A device node with the numbers of /dev/null (1, 3) or /dev/full (1, 7); needs root.
bool MakeDevice(const std::string& path, unsigned minor) {
    return mknod(path.c_str(), S_IFCHR | 0666, makedev(1, minor)) == 0;
}

// Parses a command line and checks its outputs as the tool does before rendering.
bool check(std::vector<const char*> args, CaptureOutputs* outputs, std::string* error) {
    args.insert(args.begin(), "zorvik-capture");
    CaptureOptions options;
    EXPECT_TRUE(ParseCaptureOptions(static_cast<int>(args.size()), args.data(), &options, error))
        << *error;
    return CheckCaptureOutputs(options, 0, outputs, error);
}

class CaptureOutput : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(std::system(("rm -rf '" + kScratch + "' && mkdir -p '" + kScratch + "'").c_str()),
                  0);
    }
    std::string At(const std::string& name) const { return kScratch + "/" + name; }
};

} // namespace

TEST_F(CaptureOutput, RegularFilesAreReplacedThroughLinksWhichStayLinks) {
    WriteText(At("real.png"), "old");
    ASSERT_EQ(chmod(At("real.png").c_str(), 0640), 0);
    ASSERT_EQ(symlink("real.png", At("near").c_str()), 0);
    ASSERT_EQ(symlink((kScratch + "/near").c_str(), At("link.png").c_str()), 0);

    OutputTarget target;
    std::string error;
    ASSERT_TRUE(ResolveOutput(At("link.png"), &target, &error)) << error;
    EXPECT_EQ(target.mode, OutputMode::kReplace);
    EXPECT_EQ(target.path, At("real.png"));
    EXPECT_TRUE(target.exists);

    EXPECT_EQ(WriteThrough(At("link.png"), "new"), "");
    EXPECT_EQ(KindOf(At("link.png")), S_IFLNK);
    EXPECT_EQ(KindOf(At("near")), S_IFLNK);
    EXPECT_EQ(ReadFile(At("real.png")), "new");
    struct stat st;
    ASSERT_EQ(stat(At("real.png").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u) << "the replaced file keeps its permissions";

    // A link to nothing yet: its target is created, relative to the link's folder.
    ASSERT_EQ(symlink("made.png", At("dangling.png").c_str()), 0);
    EXPECT_EQ(WriteThrough(At("dangling.png"), "made"), "");
    EXPECT_EQ(KindOf(At("dangling.png")), S_IFLNK);
    EXPECT_EQ(ReadFile(At("made.png")), "made");
    EXPECT_FALSE(LeftTemporary());
}

TEST_F(CaptureOutput, AnOutputGivenUpLeavesTheOldFileAndNoTemporary) {
    WriteText(At("keep.png"), "old");
    {
        OutputFile file;
        std::string error;
        ASSERT_TRUE(file.Open(At("keep.png"), &error)) << error;
        ASSERT_TRUE(file.Write("partial", 7, &error)) << error;
        EXPECT_TRUE(LeftTemporary()) << "the temporary file is where the data goes";
    }
    EXPECT_EQ(ReadFile(At("keep.png")), "old");
    EXPECT_FALSE(LeftTemporary());
}

TEST_F(CaptureOutput, FoldersLoopsAndOtherKindsAreRefusedWithTheirReason) {
    ASSERT_EQ(mkdir(At("folder").c_str(), 0755), 0);
    ASSERT_EQ(symlink("loop-b", At("loop-a").c_str()), 0);
    ASSERT_EQ(symlink("loop-a", At("loop-b").c_str()), 0);
    WriteText(At("file"), "");
    const struct {
        std::string name;
        const char* reason;
    } cases[] = {
        {At("folder"), "Is a directory"},
        {At("folder/"), "Is a directory"},
        {At("loop-a"), "Too many levels of symbolic links"},
        {At("file/x.png"), "Not a directory"},
        {At("missing/x.png"), "No such file or directory"},
        {At(std::string(NAME_MAX + 1, 'n')), "File name too long"},
        {"", "a file name is needed"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(CheckOutput(c.name, true, &error)) << c.name;
        EXPECT_EQ(error.rfind("cannot write '" + c.name + "'", 0), 0u) << error;
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    }
    EXPECT_FALSE(LeftTemporary());
}

TEST_F(CaptureOutput, TheLongestNameIsWrittenAndItsTemporaryNameFits) {
    const std::string name = std::string(NAME_MAX - 4, 'a') + ".png";
    std::string error;
    EXPECT_TRUE(CheckOutput(At(name), true, &error)) << error;
    EXPECT_EQ(WriteThrough(At(name), "long"), "");
    EXPECT_EQ(ReadFile(At(name)), "long");
    EXPECT_FALSE(LeftTemporary());
}

TEST_F(CaptureOutput, EveryOutputGetsATemporaryFileOfItsOwn) {
    // Names that differ only where a long name is cut to make room for the marker, and one name
    // given twice.
    const std::string stem(245, 's');
    const struct {
        std::string first, second;
    } cases[] = {
        {At(stem + "1.mkv"), At(stem + "2.mkv")},
        {At(std::string(NAME_MAX - 4, 'a') + ".png"), At(std::string(NAME_MAX - 4, 'a') + ".png")},
        {At("clip.mp4"), At("clip.mp4")},
    };
    for (const auto& c : cases) {
        std::string first, second;
        const int a = CreateTemporaryFile(c.first, &first);
        const int b = CreateTemporaryFile(c.second, &second);
        EXPECT_GE(a, 0) << std::strerror(errno);
        EXPECT_GE(b, 0) << std::strerror(errno);
        EXPECT_NE(first, second);
        for (const std::string& t : {first, second}) {
            EXPECT_EQ(FolderOf(t), kScratch);
            EXPECT_LE(BaseNameOf(t).size(), static_cast<size_t>(NAME_MAX)) << t;
            EXPECT_EQ(t.substr(t.size() - 4), c.first.substr(c.first.size() - 4)) << t;
        }
        close(a);
        close(b);
        RemoveTemporaryFile(&first);
        RemoveTemporaryFile(&second);
        EXPECT_TRUE(first.empty());
    }
    EXPECT_FALSE(LeftTemporary());

    // Files already under the names this process would take next (a process of the same id,
    // killed outright, leaves them) are skipped, not cut short. This program has made far fewer
    // temporary files than the names blocked here.
    const std::string name = At(stem + ".png");
    for (unsigned long sequence = 0; sequence < 300; ++sequence) {
        WriteText(TemporaryNameFor(name, sequence), "leftover");
    }
    EXPECT_EQ(WriteThrough(name, "new"), "");
    EXPECT_EQ(ReadFile(name), "new");
    for (unsigned long sequence = 0; sequence < 300; ++sequence) {
        EXPECT_EQ(ReadFile(TemporaryNameFor(name, sequence)), "leftover") << sequence;
    }
}

TEST_F(CaptureOutput, DevicesAndFifosAreWrittenIntoAndStayWhatTheyAre) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "making device nodes needs root";
    }
    ASSERT_TRUE(MakeDevice(At("null.png"), 3));
    ASSERT_TRUE(MakeDevice(At("full.png"), 7));
    ASSERT_EQ(symlink("null.png", At("to-null.png").c_str()), 0);

    OutputTarget target;
    std::string error;
    ASSERT_TRUE(ResolveOutput(At("to-null.png"), &target, &error)) << error;
    EXPECT_EQ(target.mode, OutputMode::kStream);
    EXPECT_EQ(WriteThrough(At("to-null.png"), "gone"), "");
    EXPECT_EQ(KindOf(At("null.png")), S_IFCHR);
    EXPECT_EQ(KindOf(At("to-null.png")), S_IFLNK);

    // A full device fails with the system's reason, and libpng adds nothing of its own.
    const std::string big(256 * 1024, 'x');
    EXPECT_EQ(WriteThrough(At("full.png"), big),
              "cannot write '" + At("full.png") + "': No space left on device");
    std::vector<unsigned char> pixels(64 * 64 * 4, 200);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(WritePng(At("full.png"), 64, 64, pixels.data(), &error));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(error, "cannot write '" + At("full.png") + "': No space left on device");
    EXPECT_EQ(KindOf(At("full.png")), S_IFCHR);

    ASSERT_EQ(mkfifo(At("pipe.png").c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = ReadFile(At("pipe.png")); });
    EXPECT_TRUE(WritePng(At("pipe.png"), 64, 64, pixels.data(), &error)) << error;
    reader.join();
    EXPECT_EQ(received.substr(1, 3), "PNG");
    EXPECT_EQ(KindOf(At("pipe.png")), S_IFIFO);

    // A block device is no place for a picture.
    ASSERT_EQ(mknod(At("disk").c_str(), S_IFBLK | 0600, makedev(7, 0)), 0);
    EXPECT_FALSE(CheckOutput(At("disk"), true, &error));
    EXPECT_NE(error.find("block device"), std::string::npos) << error;
    EXPECT_FALSE(LeftTemporary());
}

TEST_F(CaptureOutput, TheProgramsOwnDescriptorsAreWrittenThroughAsTheyAreOpen) {
    // Standard output in append mode, as a shell's >> leaves it: written at the end, not over
    // the start and not replaced.
    WriteText(At("log"), "start\n");
    const int log = open(At("log").c_str(), O_WRONLY | O_APPEND);
    ASSERT_GE(log, 0);
    const std::string name = "/proc/self/fd/" + std::to_string(log);
    OutputTarget target;
    std::string error;
    ASSERT_TRUE(ResolveOutput(name, &target, &error)) << error;
    EXPECT_EQ(target.mode, OutputMode::kDescriptor);
    EXPECT_EQ(target.descriptor, log);
    EXPECT_EQ(WriteThrough(name, "frame"), "");
    EXPECT_EQ(WriteThrough("/dev/fd/" + std::to_string(log), "frame"), "");
    EXPECT_EQ(ReadFile(At("log")), "start\nframeframe");
    EXPECT_NE(fcntl(log, F_GETFD), -1) << "the descriptor stays open";
    close(log);

    EXPECT_FALSE(CheckOutput(name, true, &error)) << "closed now";
    EXPECT_NE(error.find("not open"), std::string::npos) << error;
    const int input = open(At("log").c_str(), O_RDONLY);
    EXPECT_FALSE(CheckOutput("/dev/fd/" + std::to_string(input), true, &error));
    EXPECT_NE(error.find("reading only"), std::string::npos) << error;
    close(input);

    // A terminal takes no binary output, by any name.
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0) {
        const std::string terminal = ptsname(master);
        EXPECT_FALSE(CheckOutput(terminal, true, &error));
        EXPECT_NE(error.find("terminal"), std::string::npos) << error;
        const int slave = open(terminal.c_str(), O_WRONLY | O_NOCTTY);
        EXPECT_FALSE(CheckOutput("/dev/fd/" + std::to_string(slave), true, &error));
        EXPECT_NE(error.find("terminal"), std::string::npos) << error;
        close(slave);
    }
    if (master >= 0) {
        close(master);
    }
}

TEST_F(CaptureOutput, RunOutputsAreCheckedTogetherBeforeRendering) {
    CaptureOutputs outputs;
    std::string error;
    const std::string a = At("a.png"), dotA = kScratch + "/./a.png";
    EXPECT_FALSE(check({"--out", a.c_str(), "--texture", dotA.c_str()}, &outputs, &error));
    EXPECT_NE(error.find("--out '" + a + "' and --texture '" + dotA + "' would both write"),
              std::string::npos)
        << error;

    // A pattern whose number names folders: each frame's folder must be there.
    ASSERT_EQ(mkdir(At("d1").c_str(), 0755), 0);
    const std::string folders = At("d%d/x.png");
    EXPECT_FALSE(
        check({"--frames", "3", "--every", "1", "--out", folders.c_str()}, &outputs, &error));
    EXPECT_EQ(error, "cannot write '" + At("d2/x.png") + "': No such file or directory");

    // A frame in the middle that is a folder, and two frames that are one file.
    ASSERT_EQ(mkdir(At("f2.png").c_str(), 0755), 0);
    const std::string frames = At("f%d.png");
    EXPECT_FALSE(
        check({"--frames", "3", "--every", "1", "--out", frames.c_str()}, &outputs, &error));
    EXPECT_EQ(error, "cannot write '" + At("f2.png") + "': Is a directory");
    ASSERT_EQ(rmdir(At("f2.png").c_str()), 0);
    WriteText(At("f1.png"), "");
    ASSERT_EQ(symlink("f1.png", At("f3.png").c_str()), 0);
    EXPECT_FALSE(
        check({"--frames", "3", "--every", "1", "--out", frames.c_str()}, &outputs, &error));
    EXPECT_NE(error.find("--out (frame 1) '" + At("f1.png") + "' and --out (frame 3) '" +
                         At("f3.png") + "' would both write '" + At("f1.png") + "'"),
              std::string::npos)
        << error;

    // Devices may take several outputs; standard output, by any name, carries data.
    const std::string texture = At("t.png");
    ASSERT_TRUE(check({"--out", "/dev/null", "--texture", "/dev/null"}, &outputs, &error)) << error;
    EXPECT_FALSE(outputs.standardOutputCarriesData);
    if (!isatty(STDOUT_FILENO)) {
        ASSERT_TRUE(check({"--out", "/dev/stdout"}, &outputs, &error)) << error;
        EXPECT_TRUE(outputs.standardOutputCarriesData);
        ASSERT_TRUE(check({"--raw", "--texture", texture.c_str()}, &outputs, &error)) << error;
        EXPECT_TRUE(outputs.standardOutputCarriesData);
    }
    EXPECT_FALSE(LeftTemporary());
}

TEST(StandardDescriptors, ClosedOnesGetDevNullSoThatNoFileTakesTheirPlace) {
    struct stat null;
    ASSERT_EQ(stat("/dev/null", &null), 0);
    for (const unsigned closed : {0u, 1u, 2u, 4u, 5u, 6u, 7u}) {
        // In a child: the test's own output must stay where it is.
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int fd = 0; fd <= 2; ++fd) {
                if ((closed & (1u << fd)) != 0) {
                    close(fd);
                }
            }
            unsigned reported = 99;
            if (!ReopenClosedStandardDescriptors(&reported) || reported != closed) {
                _exit(1);
            }
            for (int fd = 0; fd <= 2; ++fd) {
                struct stat st;
                if (fstat(fd, &st) != 0) {
                    _exit(2);
                }
                const bool isNull = S_ISCHR(st.st_mode) && st.st_rdev == null.st_rdev;
                if ((closed & (1u << fd)) != 0 &&
                    (!isNull || (fcntl(fd, F_GETFL) & O_ACCMODE) != O_RDWR)) {
                    _exit(3);
                }
            }
            const int next = open("/dev/zero", O_RDONLY);
            _exit(next > 2 ? 0 : 4);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status)) << closed;
        EXPECT_EQ(WEXITSTATUS(status), 0) << "closed set " << closed;
    }
}

TEST_F(CaptureOutput, FramesThatLeadToOneFileAreRefusedWithBothNames) {
    // Each setup, in the scratch folder, with the frames it makes meet (none where empty).
    const struct {
        const char* setup;
        const char* pattern;
        const char* frames;
        std::vector<std::string> meet;
    } cases[] = {
        {"ln -s same.png f1.png && ln -s same.png f2.png", "f%d.png", "2", {"f1.png", "f2.png"}},
        {"ln -s f3.png f1.png", "f%d.png", "3", {"f1.png", "f3.png"}},
        {"ln -s hop f1.png && ln -s f2.png hop", "f%d.png", "2", {"f1.png", "f2.png"}},
        // As many frames as a run may have: only what is on disk is looked at, so the check ends
        // at once, and finds frames that meet however far apart they are.
        {"ln -s f3000000000.png f7.png", "f%d.png", "4294967295", {"f7.png", "f3000000000.png"}},
        {"ln -s f3.png f1.png", "f%d.png", "5", {"f1.png", "f3.png"}},
        {"mkdir d1 d2 d3", "d%d/x.png", "4294967295", {"d4/x.png", "No such file"}},
        {"mkdir d0 d1 d2 d02", "d%d/x.png", "2", {}},
        {"mkdir d1 && ln -s d1 d2", "d%d/x.png", "2", {"d1/x.png", "d2/x.png"}},
        {"mkdir d1 d2 && ln -s ../d2/x.png d1/x.png", "d%d/x.png", "2", {"d1/x.png", "d2/x.png"}},
        {"mkdir e && ln -s ../f2.png e/f1.png && ln -s e/f1.png f1.png",
         "f%d.png",
         "2",
         {"f1.png", "f2.png"}},
        // Hard links are two entries, each replaced on its own; links elsewhere part ways.
        {"touch f1.png && ln f1.png f2.png", "f%d.png", "2", {}},
        {"mkdir d1 d2 && ln -s d1 d3", "d%d/x.png", "2", {}},
        {"ln -s a.png f1.png && ln -s b.png f2.png", "f%d.png", "2", {}},
    };
    for (const auto& c : cases) {
        SetUp();
        ASSERT_EQ(std::system(("cd '" + kScratch + "' && " + c.setup).c_str()), 0) << c.setup;
        const std::string pattern = At(c.pattern);
        CaptureOutputs outputs;
        std::string error;
        const bool ok = check({"--frames", c.frames, "--every", "1", "--out", pattern.c_str()},
                              &outputs, &error);
        EXPECT_EQ(ok, c.meet.empty()) << c.setup << ": " << error;
        for (const std::string& name : c.meet) {
            const std::string quoted = name.find('.') == std::string::npos ? name : "'" + At(name);
            EXPECT_NE(error.find(quoted), std::string::npos) << c.setup << ": " << error;
        }
    }

    // Another output on a frame that does not exist yet.
    SetUp();
    ASSERT_EQ(symlink("f2.png", At("t.png").c_str()), 0);
    const std::string pattern = At("f%d.png"), texture = At("t.png");
    CaptureOutputs outputs;
    std::string error;
    EXPECT_FALSE(check(
        {"--frames", "5", "--every", "1", "--out", pattern.c_str(), "--texture", texture.c_str()},
        &outputs, &error));
    EXPECT_NE(error.find("--texture '" + texture + "' and --out (frame 2) '" + At("f2.png")),
              std::string::npos)
        << error;
    EXPECT_FALSE(LeftTemporary());
}
