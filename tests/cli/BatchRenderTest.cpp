// render with several inputs into a folder: the files written, the names
// chosen, the failures told, and the same files however many run at once.
#include "CliTestSupport.h"
#include "soundfiles/ExportTestSupport.h"

#include "cli/BatchRender.h"
#include "cli/RenderCommand.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

using namespace cellsonify;
using namespace exporttest;
namespace fs = std::filesystem;

namespace {

using clitest::Outcome;
using clitest::readFile;

std::size_t soundingNotes(const Smf& smf) {
    return std::count_if(smf.events.begin(), smf.events.end(), [](const SmfEvent& e) {
        return e.bytes.size() == 3 && (e.bytes[0] & 0xF0) == 0x90 && e.bytes[2] > 0;
    });
}

struct BatchRender : ::testing::Test {
    testfiles::TempDir dir;
    // Three events, then four; none in the last frame, whose notes are silent.
    const std::string first = dir.write("first.txt", dataFileText(5, {{1, 2}, {2}})).string();
    const std::string second = dir.write("second.txt", dataFileText(6, {{1, 2, 3}, {4}})).string();
    // A cell position outside the imaging field: refused when read.
    const std::string refused = dir.write("refused.txt", dataFileText(4, {{1}}) + "7 1 1 40000\n1\n").string();

    static Outcome run(const std::vector<std::string>& args) { return clitest::render(args); }
    fs::path folder(const std::string& name) const {
        fs::create_directory(dir.path() / name);
        return dir.path() / name;
    }
    static std::vector<std::string> namesIn(const fs::path& path) {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(path)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

}  // namespace

TEST_F(BatchRender, WritesEveryReadableInputAndNamesTheFailedOne) {
    const fs::path outDir = folder("out");
    const Outcome r = run({first, refused, second, "-o", outDir.string() + "/", "--format", "mid"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(namesIn(outDir), (std::vector<std::string>{"first.mid", "second.mid"})) << r.err;
    EXPECT_EQ(soundingNotes(parseSmf(readFile(outDir / "first.mid"))), 3u);
    EXPECT_EQ(soundingNotes(parseSmf(readFile(outDir / "second.mid"))), 4u);
    EXPECT_NE(r.err.find("[2/3] " + refused + " -> " + (outDir / "refused.mid").string() + "\n"), std::string::npos)
        << r.err;
    const std::string summary = r.err.substr(r.err.rfind('\n', r.err.size() - 2) + 1);
    EXPECT_EQ(summary.rfind("2 written, 1 failed: " + refused, 0), 0u) << r.err;
    EXPECT_EQ(summary.find(refused, summary.find(refused) + 1), std::string::npos) << "named once: " << summary;
}

TEST_F(BatchRender, TwoAtOnceWriteTheSameFilesAsOneAtATime) {
    const fs::path one = folder("one"), two = folder("two");
    const Outcome inTurn = run({first, refused, second, "-o", one.string(), "--format", "mid", "--jobs", "1"});
    const Outcome atOnce = run({first, refused, second, "-o", two.string(), "--format", "mid", "--jobs", "2"});
    EXPECT_EQ(inTurn.code, 1);
    EXPECT_EQ(atOnce.code, 1);
    ASSERT_EQ(namesIn(two), namesIn(one)) << atOnce.err;
    for (const std::string& name : namesIn(one)) EXPECT_EQ(readFile(two / name), readFile(one / name)) << name;
    const auto lastLine = [](const std::string& text) { return text.substr(text.rfind('\n', text.size() - 2) + 1); };
    EXPECT_EQ(lastLine(atOnce.err), lastLine(inTurn.err));
    EXPECT_NE(atOnce.out.find("wrote " + (two / "second.mid").string()), std::string::npos) << atOnce.out;
}

TEST_F(BatchRender, AFolderWithoutFormatOrAMissingFolderIsRefusedBeforeAnyRender) {
    const fs::path outDir = folder("out");
    const Outcome noFormat = run({first, second, "-o", outDir.string() + "/"});
    EXPECT_EQ(noFormat.code, 1);
    EXPECT_NE(noFormat.err.find("error: -o " + outDir.string() + "/ names a folder: --format"), std::string::npos)
        << noFormat.err;
    const std::string missing = (dir.path() / "absent").string() + "/";
    const Outcome noFolder = run({first, second, "-o", missing, "--format", "wav"});
    EXPECT_EQ(noFolder.code, 1);
    EXPECT_NE(noFolder.err.find("error: the output folder " + missing + " does not exist"), std::string::npos)
        << noFolder.err;
    EXPECT_TRUE(namesIn(outDir).empty());
    EXPECT_FALSE(fs::exists(missing));
}

TEST(BatchOutputNames, EveryInputTakesAsManyParentFoldersAsTellAllApartThenANumber) {
    testfiles::TempDir dir;
    fs::create_directories(dir.path() / "mouseA" / "suite2p" / "plane0");
    fs::create_directories(dir.path() / "mouseA" / "suite2p" / "plane1");
    fs::create_directories(dir.path() / "mouseB" / "suite2p" / "plane0");
    const std::string a = (dir.path() / "mouseA" / "suite2p" / "plane0").string() + "/";
    const std::string a1 = (dir.path() / "mouseA" / "suite2p" / "plane1").string();
    const std::string bNpy = (dir.path() / "mouseB" / "suite2p" / "plane0" / "F.npy").string();
    const std::string lone = (dir.path() / "mouseA" / "session.nwb").string();
    const std::string top = dir.path().filename().string();
    // plane1 and the NWB file clash with nothing, yet are named as the clashing planes are.
    EXPECT_EQ(batchOutputNames({a, a1, bNpy, lone, lone}, "wav"),
              (std::vector<std::string>{"mouseA-suite2p-plane0.wav", "mouseA-suite2p-plane1.wav",
                                        "mouseB-suite2p-plane0.wav", top + "-mouseA-session.wav",
                                        top + "-mouseA-session-2.wav"}));
    // With no clash, each keeps its own name alone, whatever its kind.
    EXPECT_EQ(batchOutputNames({a1, bNpy, lone}, "mid"),
              (std::vector<std::string>{"plane1.mid", "plane0.mid", "session.mid"}));
}
