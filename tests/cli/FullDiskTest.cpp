// Every command that writes a file says why it could not when the disk is
// full, in the system's words, and leaves no partial file behind.
#include "cli/CommandLine.h"
#include "support/ImportFixtures.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/mount.h>

using namespace cellsonify;
namespace fs = std::filesystem;

TEST(FullDisk, EveryWriterSaysNoSpaceLeftAndLeavesNothing) {
    testfiles::TempDir dir;
    const fs::path full = dir.path() / "full";
    fs::create_directory(full);
    if (::mount("tmpfs", full.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a small tmpfs here (" << std::strerror(errno) << "): needs root";
    struct Unmount {
        const fs::path& at;
        ~Unmount() { ::umount(at.c_str()); }
    } unmount{full};
    {
        // Fill it to the last block.
        std::ofstream filler(full / "filler", std::ios::binary);
        const std::string block(4096, 'x');
        for (int i = 0; i < 64 && filler; ++i) filler.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
    const fs::path plane = dir.path() / "plane0";
    importfixtures::writeSuite2pPlane(plane, 2, 20, {{0, 5}, {10}}, {1, 0.9, 1, 0.9});
    const std::string data = (dir.path() / "rec.txt").string();
    std::ostringstream ignored;
    ASSERT_EQ(runCommandLine({"generate", data, "--cells", "20", "--frames", "50"}, ignored, ignored, false, {}), 0);

    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"generate", (full / "gen.txt").string()},
             {"render", data, "-o", (full / "out.mid").string()},
             {"convert", plane.string(), "-o", (full / "out.txt").string()},
         }) {
        std::ostringstream out, err;
        EXPECT_EQ(runCommandLine(args, out, err, false, {}), 1) << args[0];
        EXPECT_NE(err.str().find(std::string(": cannot be written: ") + std::strerror(ENOSPC)), std::string::npos)
            << args[0] << ": " << err.str();
    }
    std::vector<std::string> left;
    for (const auto& e : fs::directory_iterator(full)) left.push_back(e.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"filler"});
}
