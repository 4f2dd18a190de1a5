// Commands given hostile names and places, and a batch killed as it renders.
#include "CliTestSupport.h"
#include "soundfiles/ExportTestSupport.h"

#include "cli/BatchRender.h"
#include "cli/CommandLine.h"
#include "playback/RealTimeSpeed.h"
#include "support/ImportFixtures.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <set>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace cellsonify;
using namespace exporttest;
namespace fs = std::filesystem;
using clitest::Outcome;
using clitest::readFile;

namespace {

Outcome run(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int code = runCommandLine(args, out, err, false, {});
    return {code, out.str(), err.str()};
}

std::size_t noteOns(const std::string& midi) {
    const auto events = parseSmf(midi).events;
    return std::count_if(events.begin(), events.end(),
                         [](const SmfEvent& e) { return e.bytes.at(0) >> 4 == 9 && e.bytes.at(2) > 0; });
}

std::set<std::string> namesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.insert(e.path().filename().string());
    return names;
}

// Polls `done` until it holds or five generous minutes pass.
bool within(const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(300);
    while (!done() && std::chrono::steady_clock::now() < end) ::usleep(10000);
    return done();
}

}  // namespace

// An input given twice is rendered once; a number given to a repeated name
// never lands on another input's name, nor on an input in the output folder.
TEST(HostileBatch, EveryOutputHasItsOwnNameAndNoInputIsWrittenOver) {
    testfiles::TempDir dir;
    const fs::path out = dir.path() / "out", other = dir.path() / "other";
    fs::create_directory(out);
    fs::create_directory(other);
    const std::string m1 = dir.write("m1.txt", dataFileText(5, {{1}})).string();
    const std::string m12 = dir.write("m1-2.txt", dataFileText(5, {{1, 2}, {3}})).string();
    const Outcome twice = run({"render", m1, m12, m1, "-o", out.string() + "/", "--format", "mid"});
    EXPECT_EQ(twice.code, 0) << twice.err;
    EXPECT_EQ(namesIn(out), (std::set<std::string>{"m1.mid", "m1-2.mid"}));
    EXPECT_EQ(noteOns(readFile(out / "m1.mid")), 1u);
    EXPECT_EQ(noteOns(readFile(out / "m1-2.mid")), 3u);
    EXPECT_NE(twice.err.find("\n2 written (1 input given again, rendered once)\n"), std::string::npos) << twice.err;

    // A data file named a-2.mid in the output folder is an input, not a place to write.
    const std::string a = dir.write("a.txt", dataFileText(5, {{1}})).string();
    const std::string a2Text = dataFileText(5, {{1, 2}});
    const std::string a2 = (other / "a-2.mid").string();
    std::ofstream(a2, std::ios::binary) << a2Text;
    const Outcome inside = run({"render", a, a, a2, "-o", other.string() + "/", "--format", "mid"});
    EXPECT_EQ(inside.code, 0) << inside.err;
    EXPECT_EQ(readFile(a2), a2Text);
    EXPECT_EQ(noteOns(readFile(other / "a.mid")), 1u);
    EXPECT_EQ(noteOns(readFile(other / "a-2-2.mid")), 2u) << inside.err;

    // Inputs whose names join past NAME_MAX are cut, and still told apart.
    const std::string stem(240, 's');
    const auto names = batchOutputNames({"/x/" + std::string(20, 'a') + "/" + stem + ".txt",
                                         "/x/" + std::string(20, 'b') + "/" + stem + ".txt"}, "mid");
    EXPECT_NE(names.at(0), names.at(1));
    for (const std::string& name : names) EXPECT_EQ(name.size(), 255u) << name;
}

// Standard output that cannot take the JSON (a full device) fails the
// command, in the system's words, instead of leaving cut JSON and exit 0.
TEST(HostileOutput, InspectOnAFullDeviceFailsWithTheReason) {
    testfiles::TempDir dir;
    const std::string data = dir.write("big.txt", "").string();
    ASSERT_EQ(run({"generate", data, "--cells", "1500", "--frames", "2000"}).code, 0);
    const std::string errFile = (dir.path() / "err.txt").string();
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int full = ::open("/dev/full", O_WRONLY), err = ::creat(errFile.c_str(), 0600);
        if (full < 0 || err < 0 || ::dup2(full, STDOUT_FILENO) < 0 || ::dup2(err, STDERR_FILENO) < 0) ::_exit(3);
        std::string program = "cellsonify", command = "inspect", file = data;
        char* argv[] = {program.data(), command.data(), file.data(), nullptr};
        ::_exit(runCommandLine(3, argv, {}));
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    const std::string said = readFile(errFile);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1) << said;
    EXPECT_EQ(said, "error: cannot write the output: " + std::string(std::strerror(ENOSPC)) + "\n");
}

// A FIFO named as the SoundFont (or reached through a link) is refused
// without being opened, which would wait for a writer for ever.
TEST(HostileOutput, ASoundFontThatIsAFifoIsRefusedNotOpened) {
    testfiles::TempDir dir;
    const std::string data = dir.write("rec.txt", dataFileText(3, {{1}})).string();
    const fs::path fifo = dir.path() / "font.sf2", link = dir.path() / "link.sf2";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_symlink(fifo, link);
    for (const fs::path& font : {fifo, link}) {
        ::setenv("CELLSONIFY_SOUNDFONT", font.c_str(), 1);
        const Outcome r = run({"render", data, "-o", (dir.path() / "x.wav").string()});
        ::unsetenv("CELLSONIFY_SOUNDFONT");
        EXPECT_EQ(r.code, 1);
        EXPECT_NE(r.err.find(font.string() + ": is not a regular file"), std::string::npos) << r.err;
    }
    EXPECT_FALSE(fs::exists(dir.path() / "x.wav"));
}

// Any name a folder takes can be written, though the temporary beside it is longer.
TEST(HostileOutput, NamesUpToTheLengthLimitAreWritten) {
    testfiles::TempDir dir;
    const std::string data = dir.write("rec.txt", dataFileText(3, {{1}})).string();
    for (const char* extension : {".mid", ".wav"}) {
        const fs::path longest = dir.path() / (std::string(255 - 4, 'n') + extension);
        EXPECT_EQ(run({"render", data, "-o", longest.string()}).code, 0) << extension;
        EXPECT_FALSE(readFile(longest).empty()) << extension;
    }
    EXPECT_EQ(noteOns(readFile(dir.path() / (std::string(251, 'n') + ".mid"))), 1u);
}

// Killing a batch parent (TERM, or KILL, which it cannot catch) ends its
// workers too, and they take their temporaries with them: no output, no
// leftover. The workers' temporaries name their process ids.
TEST(HostileBatch, WorkersEndWithTheirParentAndLeaveNothing) {
    ASSERT_EQ(::prctl(PR_SET_CHILD_SUBREAPER, 1), 0);  // orphaned workers come back to this test
    for (const int signal : {SIGTERM, SIGKILL}) {
        testfiles::TempDir dir;
        const std::string a = dir.write("a.txt", dataFileText(2, {{1}})).string();
        const std::string b = dir.write("b.txt", dataFileText(2, {{2}})).string();
        const fs::path out = dir.path() / "out";
        fs::create_directory(out);
        const pid_t parent = ::fork();
        ASSERT_GE(parent, 0);
        if (parent == 0) {
            // Two hours of sound each: still rendering when the parent is killed.
            std::ostringstream quiet;
            const std::vector<std::string> args{"render", a, b, "-o", out.string() + "/", "--format", "wav",
                                                "--jobs", "2", "--speed", "3600000"};
            ::_exit(runCommandLine(args, quiet, quiet, false, {}));
        }
        std::set<pid_t> workers;
        const bool bothStarted = within([&] {
            for (const std::string& name : namesIn(out)) {
                const std::size_t at = name.find(".cellsonify-part-");
                if (at != std::string::npos) workers.insert(std::stoi(name.substr(at + 17)));
            }
            return workers.size() == 2;
        });
        ::kill(parent, signal);
        int status = 0;
        ASSERT_EQ(::waitpid(parent, &status, 0), parent);
        ASSERT_TRUE(bothStarted) << "the workers never began writing";
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal;
        std::set<pid_t> ended;
        const bool allEnded = within([&] {
            for (const pid_t worker : workers)
                if (::waitpid(worker, &status, WNOHANG) == worker) ended.insert(worker);
            return ended.size() == workers.size();
        });
        for (const pid_t worker : workers)
            if (!ended.count(worker)) ::kill(worker, SIGKILL), ::waitpid(worker, &status, 0);
        EXPECT_TRUE(allEnded) << "signal " << signal << ": the workers went on without their parent";
        EXPECT_EQ(namesIn(out), std::set<std::string>{}) << "signal " << signal;
    }
    ::prctl(PR_SET_CHILD_SUBREAPER, 0);
}

// Messages name what they speak of: a plane folder given as "plane0/", a
// file given as a folder ("FILE/"), a rate stated but out of range.
TEST(HostileMessages, EachNamesWhatIsWrong) {
    testfiles::TempDir dir;
    importfixtures::writeSuite2pPlane(dir.path() / "plane0", 2, 10, {{1}, {2}});
    const Outcome plane = run({"inspect", (dir.path() / "plane0").string() + "/"});
    EXPECT_EQ(plane.code, 0) << plane.err;
    EXPECT_NE(plane.err.find("warning: plane0: no iscell.npy"), std::string::npos) << plane.err;

    const std::string data = dir.write("rec.txt", dataFileText(3, {{1}})).string();
    const Outcome file = run({"render", data, "-o", data + "/", "--format", "mid"});
    EXPECT_EQ(file.code, 1);
    EXPECT_NE(file.err.find("error: -o " + data + "/ is a file"), std::string::npos) << file.err;

    for (const auto& [speed, rate] : {std::pair{"x1e-10", 30.0}, std::pair{"realtime", 1e-300}}) try {
            resolveSpeedText(speed, rate);
            ADD_FAILURE() << speed;
        } catch (const std::invalid_argument& e) {
            EXPECT_NE(std::string(e.what()).find("frames per second asks for a frame every "), std::string::npos);
            EXPECT_NE(std::string(e.what()).find(rate == 30 ? "every 3.33333e+11 ms, which is out of range"
                                                            : "every 1e+303 ms, which is out of range"),
                      std::string::npos) << e.what();
        }
}
