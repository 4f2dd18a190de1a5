// Every output goes through SafeOutput: a file replaced keeps its mode, a link
// is written through, a failure or a signal leaves no temporary and never
// touches the file that was there, and a dead run's leftovers are removed.
#include "files/PartialFiles.h"
#include "files/SafeOutput.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace cellsonify;
namespace fs = std::filesystem;

namespace {

std::string contents(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void put(const fs::path& p, const std::string& text) { std::ofstream(p, std::ios::binary) << text; }

std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

mode_t modeOf(const fs::path& p) {
    struct stat s {};
    ::stat(p.c_str(), &s);
    return s.st_mode & 07777;
}

}  // namespace

TEST(SafeOutput, ReplacingKeepsTheModeAndWritesThroughALink) {
    testfiles::TempDir dir;
    const fs::path target = dir.path() / "private.mid", link = dir.path() / "link.mid";
    put(target, "old");
    ::chmod(target.c_str(), 0600);
    writeFileSafely(target.string(), "new");
    EXPECT_EQ(contents(target), "new");
    EXPECT_EQ(modeOf(target), 0600u);

    fs::create_symlink("private.mid", link);
    writeFileSafely(link.string(), "through the link");
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(contents(target), "through the link");
    EXPECT_EQ(modeOf(target), 0600u);
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"link.mid", "private.mid"}));

    // A link that leads to itself is refused in words, not followed for ever.
    fs::create_symlink("loop.mid", dir.path() / "loop.mid");
    try {
        writeFileSafely((dir.path() / "loop.mid").string(), "x");
        ADD_FAILURE() << "a link loop was written";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("loop.mid: cannot be written: Too many levels of symbolic links"),
                  std::string::npos) << e.what();
    }
}

TEST(SafeOutput, AnOutputDroppedUnfinishedLeavesTheExistingFileAndNoTemporary) {
    testfiles::TempDir dir;
    const fs::path target = dir.path() / "out.wav";
    put(target, "the earlier render");
    {
        SafeOutput output(target.string());
        output.write("half of a new render");
        EXPECT_TRUE(fs::exists(output.temporaryPath()));
        EXPECT_EQ(fs::path(output.temporaryPath()).parent_path(), dir.path());
    }
    EXPECT_EQ(contents(target), "the earlier render");
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"out.wav"});
    // A folder in the way is refused before anything is written.
    fs::create_directory(dir.path() / "folder.mid");
    EXPECT_THROW(writeFileSafely((dir.path() / "folder.mid").string(), "x"), std::runtime_error);
}

TEST(SafeOutput, AnEndingSignalRemovesTheTemporaryAndEndsTheProcessWithThatSignal) {
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        testfiles::TempDir dir;
        const fs::path target = dir.path() / "movie.mp4";
        put(target, "the earlier movie");
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // A shell starts background jobs with SIGINT ignored; the child
            // stands for a program started in the foreground.
            for (const int s : {SIGTERM, SIGINT, SIGHUP}) std::signal(s, SIG_DFL);
            ::close(ready[0]);
            SafeOutput output(target.string());
            output.write("part of a movie");
            const std::string name = output.temporaryPath() + "\n";
            if (::write(ready[1], name.data(), name.size()) != static_cast<ssize_t>(name.size())) ::_exit(3);
            for (;;) ::pause();
        }
        ::close(ready[1]);
        std::string temporary;
        char c;
        while (::read(ready[0], &c, 1) == 1 && c != '\n') temporary += c;
        ::close(ready[0]);
        ASSERT_FALSE(temporary.empty());
        EXPECT_TRUE(fs::exists(temporary));
        ::kill(child, signal);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "signal " << signal << ", status " << status;
        EXPECT_EQ(WTERMSIG(status), signal);
        EXPECT_FALSE(fs::exists(temporary)) << temporary;
        EXPECT_EQ(contents(target), "the earlier movie");
    }
}

TEST(SafeOutput, LeftoversOfAProcessThatIsGoneAreRemovedAndOthersKept) {
    testfiles::TempDir dir;
    const std::string target = (dir.path() / "out.wav").string();
    // A pid known to be gone: a child that has ended and been reaped.
    const pid_t gone = ::fork();
    ASSERT_GE(gone, 0);
    if (gone == 0) ::_exit(0);
    ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
    const std::string dead = partialFilePrefix(target, gone) + "Ab12Cd";
    const std::string living = partialFilePrefix(target, ::getppid()) + "Ef34Gh";
    const std::string otherTarget = partialFilePrefix((dir.path() / "other.wav").string(), gone) + "Ij56Kl";
    for (const auto& p : {dead, living, otherTarget}) put(p, "left over");

    writeFileSafely(target, "new");
    EXPECT_FALSE(fs::exists(dead));
    EXPECT_TRUE(fs::exists(living));
    EXPECT_TRUE(fs::exists(otherTarget));
    EXPECT_EQ(contents(target), "new");
}

TEST(SafeOutput, AFullDiskIsToldInTheSystemsWordsAndLeavesTheEarlierFile) {
    testfiles::TempDir dir;
    const fs::path small = dir.path() / "small";
    fs::create_directory(small);
    if (::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a small tmpfs here (" << std::strerror(errno) << "): needs root";
    struct Unmount {
        const fs::path& at;
        ~Unmount() { ::umount(at.c_str()); }
    } unmount{small};
    const fs::path target = small / "out.mid";
    put(target, "the earlier file");
    try {
        writeFileSafely(target.string(), std::string(256 * 1024, 'x'));
        ADD_FAILURE() << "256 KiB were written to a 64 KiB file system";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), target.string() + ": cannot be written: " + std::strerror(ENOSPC));
    }
    EXPECT_EQ(contents(target), "the earlier file");
    EXPECT_EQ(namesIn(small), std::vector<std::string>{"out.mid"});
}
