// Files a user may hand the loader by mistake, or that a damaged export leaves
// behind. Each must load into a sound model or be refused with a message that
// names the file (and the line, where one applies); none may crash, hang or
// disturb a model loaded before.
#include "model/DataFileLoader.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using namespace cellsonify;
namespace fs = std::filesystem;

namespace {

const std::string kHeader = "512 512 20 1\n100 0 0 0\n0 0 0 0\n0 0 0 0\n";
const std::string kInHeader =
    "the file ends inside its header (20 header values expected, a line break counting as one)";
const std::string kUtf16 = "is UTF-16 text; save it as plain (UTF-8) text to load it";
const std::string kNotAFile = "is a device, pipe or socket, not a data file";

// What a loaded file must hold.
struct Loaded {
    int cells;
    int frameCount;
    std::vector<int> levels;                   // per kept cell
    std::vector<std::vector<int32_t>> frames;  // per kept cell
};

// A corpus file and its outcome: a model, or the exact refusal.
struct Case {
    std::string file;
    std::optional<Loaded> model;
    std::string refusal;  // the whole what() of a refused file
    int line = 0;         // its DataFileError::line()
};

// Names the case in test output instead of dumping its bytes.
void PrintTo(const Case& c, std::ostream* os) { *os << c.file; }

Case loads(const std::string& file, Loaded l) { return {file, std::move(l), {}, 0}; }
Case refused(const std::string& file, int line, const std::string& problem) {
    const std::string where = line > 0 ? ", line " + std::to_string(line) + ": " : ": ";
    return {file, std::nullopt, file + where + problem, line};
}

const std::vector<Case> kCorpus = {
    refused("hostile-empty.txt", 1, kInHeader),
    loads("hostile-header-only.txt", {0, 100, {}, {}}),
    refused("hostile-header-cut-short.txt", 2, kInHeader),
    // Twenty line breaks make a header of zeros; the next two end the data.
    loads("hostile-only-line-breaks.txt", {0, 0, {}, {}}),
    // No digits and three line breaks: too few fields for a header.
    refused("hostile-binary-junk.txt", 4, kInHeader),
    // NUL is no separator: "5\0" reads 5, and a field of NULs alone reads 0,
    // ending the second cell's list before it has a frame.
    loads("hostile-nul-bytes.txt", {2, 100, {2, 1}, {{5, 9}, {}}}),
    refused("hostile-utf16-le.txt", 0, kUtf16),
    refused("hostile-utf16-be.txt", 0, kUtf16),
    loads("hostile-utf8-bom.txt", {1, 100, {2}, {{5}}}),
    loads("hostile-cr-only.txt", {2, 100, {2, 1}, {{5, 9}, {6}}}),
    // Lone CRs count lines like LFs do.
    refused("hostile-cr-only-refused.txt", 7, "level 40000 is above 32767"),

    // Values beyond 32 bits and beyond double range in each kind of field.
    loads("hostile-huge-header-values.txt", {1, 100, {2}, {{5}}}),
    refused("hostile-frame-count-beyond-32-bit.txt", 2, "the frame count 4294967296 is above 100000"),
    refused("hostile-frame-count-beyond-double.txt", 2, "the frame count (a number too large) is above 100000"),
    refused("hostile-frame-count-below-double.txt", 2, "the frame count (a number too small) is negative"),
    loads("hostile-x-beyond-32-bit.txt", {2, 100, {2, 1}, {{5}, {6}}}),
    refused("hostile-x-beyond-double.txt", 5, "the X position is a number too large"),
    // 1 followed by 400 zeros, times 1e-10: still 1e390, not the 0 it once read as.
    refused("hostile-x-digits-beyond-double.txt", 5, "the X position is a number too large"),
    loads("hostile-x-span-beyond-double.txt", {2, 100, {2, 1}, {{5}, {6}}}),
    refused("hostile-y-below-double.txt", 5, "the Y position is a number too small"),
    refused("hostile-level-beyond-32-bit.txt", 5, "level 4294967297 is above 32767"),
    refused("hostile-level-beyond-double.txt", 5, "level (a number too large) is above 32767"),
    // A level below 1 omits the cell, however far below.
    loads("hostile-level-below-double.txt", {1, 100, {1}, {{7}}}),
    loads("hostile-level-32767.txt", {1, 100, {32767}, {{5}}}),
    refused("hostile-level-32768.txt", 7, "level 32768 is above 32767"),
    refused("hostile-frame-beyond-32-bit.txt", 6, "frame 4294967296 of cell 1 is above 100000"),
    refused("hostile-frame-beyond-double.txt", 6, "frame (a number too large) of cell 1 is above 100000"),
    refused("hostile-frame-100001.txt", 6, "frame 100001 of cell 1 is above 100000"),
    // An omitted cell's frames are read past, whatever they are.
    loads("hostile-frame-100001-omitted-cell.txt", {1, 100, {1}, {{100000}}}),
    // The leading -3 is skipped, 2.5 and 3.5 round to even (2, 4), 4.4 to 4;
    // -7 ends the second list as a line break would, and the third record
    // follows on the same line.
    loads("hostile-negative-and-fractional-frames.txt", {3, 100, {2, 1, 1}, {{2, 4}, {6}, {8}}}),
    loads("hostile-x-zero-first-record.txt", {0, 100, {}, {}}),
    loads("hostile-all-cells-one-position.txt", {3, 100, {1, 1, 1}, {{5}, {6}, {7}}}),
};

std::vector<int32_t> framesOf(const CellModel& m, int cell) {
    const auto f = m.Activity.framesOf(cell);
    return {f.begin(), f.end()};
}

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The refusal of `path`, or a failure when it loads.
DataFileError refusalOf(const std::string& path) {
    try {
        const CellModel m = LoadDataFile(path);
        ADD_FAILURE() << path << " loaded (" << m.CellCount << " cells) but should have been refused";
    } catch (const DataFileError& e) {
        return e;
    }
    return DataFileError("", 0, "");
}

// Checks a loaded model against the facts the corpus states for it, and the
// facts every model must keep whatever the file.
void expectModel(const CellModel& m, const Loaded& want) {
    ASSERT_EQ(m.CellCount, want.cells);
    EXPECT_EQ(m.FrameCount, want.frameCount);
    ASSERT_EQ(want.levels.size(), static_cast<std::size_t>(want.cells));
    ASSERT_EQ(m.CellPos.size(), static_cast<std::size_t>(want.cells) + 1);
    for (int c = 1; c <= want.cells; ++c) {
        EXPECT_EQ(m.Activity.level(c), want.levels[c - 1]) << "cell " << c;
        EXPECT_EQ(framesOf(m, c), want.frames[c - 1]) << "cell " << c;
        for (int32_t f : want.frames[c - 1]) {
            const auto in = m.Activity.cellsIn(f);
            EXPECT_NE(std::find(in.begin(), in.end(), c), in.end()) << "cell " << c << " frame " << f;
        }
        EXPECT_TRUE(std::isfinite(m.CellPos[c].X) && std::isfinite(m.CellPos[c].Y)) << "cell " << c;
        EXPECT_TRUE(m.CellPos[c].X >= 0 && m.CellPos[c].X <= 1 && m.CellPos[c].Y >= 0 && m.CellPos[c].Y <= 1)
            << "cell " << c << " at " << m.CellPos[c].X << ", " << m.CellPos[c].Y;
    }
}

std::string testName(const testing::TestParamInfo<Case>& info) {
    std::string name = info.param.file.substr(0, info.param.file.rfind('.'));
    for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    return name;
}

class HostileCorpus : public testing::TestWithParam<Case> {};

}  // namespace

TEST_P(HostileCorpus, LoadsOrIsRefusedAsStated) {
    const Case& c = GetParam();
    const fs::path path = testfiles::data(c.file);
    ASSERT_TRUE(fs::is_regular_file(path)) << path;
    // The mapped file and the same bytes in memory must give the same outcome.
    const std::string bytes = readFile(path);
    if (c.model) {
        const CellModel m = LoadDataFile(path.string());
        expectModel(m, *c.model);
        EXPECT_EQ(captionFor(m.DataFile), " " + c.file + " (non-active cells are omitted)");
        EXPECT_EQ(LoadDataFileFromBytes(bytes, path.string()), m);
    } else {
        const DataFileError e = refusalOf(path.string());
        EXPECT_EQ(std::string(e.what()), c.refusal);
        EXPECT_EQ(e.fileName(), c.file);
        EXPECT_EQ(e.line(), c.line);
        try {
            LoadDataFileFromBytes(bytes, path.string());
            ADD_FAILURE() << "the same bytes in memory loaded";
        } catch (const DataFileError& fromBytes) {
            EXPECT_EQ(std::string(fromBytes.what()), c.refusal);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Files, HostileCorpus, testing::ValuesIn(kCorpus), testName);

TEST(HostileCorpusFiles, EveryHostileFileHasAStatedOutcome) {
    std::set<std::string> onDisk, stated;
    for (const auto& entry : fs::directory_iterator(testfiles::data("")))
        // Hostile import files (HDF5, pickles) are checked by the import tests.
        if (entry.path().filename().string().rfind("hostile-", 0) == 0 && entry.path().extension() == ".txt")
            onDisk.insert(entry.path().filename().string());
    for (const Case& c : kCorpus) EXPECT_TRUE(stated.insert(c.file).second) << c.file << " is listed twice";
    EXPECT_EQ(onDisk, stated);
}

TEST(HostilePositions, ExtremeAndSharedPositionsStayOnTheMap) {
    // X a full double range apart: the spread is beyond double range, yet the
    // two cells still land at the map's two edges.
    const CellModel span = LoadDataFile(testfiles::data("hostile-x-span-beyond-double.txt").string());
    EXPECT_DOUBLE_EQ(span.CellPos[1].X, 0.05 + 1 / 1.1);
    EXPECT_DOUBLE_EQ(span.CellPos[2].X, 0.05);
    EXPECT_DOUBLE_EQ(span.CellPos[1].Y, 0.95);
    EXPECT_NEAR(span.CellPos[2].Y, 0.95 - 1 / 1.1, 1e-12);

    // Beyond 32 bits but well inside double range: scaled like any other.
    EXPECT_EQ(LoadDataFile(testfiles::data("hostile-x-beyond-32-bit.txt").string()).CellPos, span.CellPos);

    const CellModel same = LoadDataFile(testfiles::data("hostile-all-cells-one-position.txt").string());
    for (int c = 1; c <= same.CellCount; ++c) {
        EXPECT_DOUBLE_EQ(same.CellPos[c].X, 0.05 + 0.5 / 1.1) << "cell " << c;
        EXPECT_DOUBLE_EQ(same.CellPos[c].Y, 0.95 - 0.5 / 1.1) << "cell " << c;
    }
}

TEST(HostileCellCounts, FifteenHundredActiveCellsLoadAndTheNextIsRefused) {
    testfiles::TempDir dir;
    // Every third record omitted (levels 0 and -5 alternate): they neither
    // count towards the limit nor take a cell number.
    std::string full = kHeader;
    int kept = 0, record = 0;
    while (kept < 1500) {
        ++record;
        const bool omit = record % 3 == 0;
        const std::string level = omit ? (record % 2 ? "0" : "-5") : "1";
        full += std::to_string(record) + " " + std::to_string(record) + " 5 " + level + "\n" +
                std::to_string(record % 97 + 1) + "\n";
        if (!omit) ++kept;
    }
    full += std::to_string(++record) + " 1 1 0\n3\n";  // one more omitted after the last kept cell
    const CellModel m = LoadDataFile(dir.write("1500 cells.txt", full).string());
    ASSERT_EQ(m.CellCount, 1500);
    // Kept cell k is record k + (k - 1) / 2, whose frame is record % 97 + 1.
    for (int k : {1, 2, 3, 750, 1499, 1500}) {
        const int rec = k + (k - 1) / 2;
        EXPECT_EQ(framesOf(m, k), (std::vector<int32_t>{rec % 97 + 1})) << "cell " << k;
    }

    // 1501 active cells, none omitted: the 1501st record's level is on line
    // 5 + 2 * 1500.
    std::string over = kHeader;
    for (int c = 1; c <= 1501; ++c) over += std::to_string(c) + " " + std::to_string(c) + " 5 1\n3\n";
    const DataFileError e = refusalOf(dir.write("1501 cells.txt", over).string());
    EXPECT_EQ(std::string(e.what()), "1501 cells.txt, line 3005: more than 1500 active cells");
}

namespace {

// Peak resident memory of this process in kB, after `work`; nullopt where the
// peak cannot be reset first.
template <typename Work>
std::optional<long> peakKbDuring(Work work) {
    {
        std::ofstream reset("/proc/self/clear_refs");
        if (!(reset << "5" << std::flush)) return std::nullopt;
    }
    work();
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return std::nullopt;
}

long currentKb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return 0;
}

}  // namespace

TEST(HostileSize, FiftyMegabytesOnOneLine) {
    constexpr std::size_t kSize = 50u << 20;
    testfiles::TempDir dir;

    // One unbroken number: it reads as infinity in an ignored header field,
    // then the file ends inside its header, still on line 1.
    {
        const fs::path p = dir.write("one number.txt", std::string(kSize, '9'));
        const DataFileError e = refusalOf(p.string());
        EXPECT_EQ(std::string(e.what()), "one number.txt, line 1: " + kInHeader);
        fs::remove(p);
    }

    // A whole recording on one line: header, one kept cell, and frame 7
    // repeated to 50 MB. It loads as one cell active in frame 7.
    // Twenty header values, the sixth the frame count, then the record.
    const std::string header = "512 512 20 1 0 100 0 0 0 0 0 0 0 0 0 0 0 0 0 0 1 10 10 2 ";
    std::string sevens;
    for (int i = 0; i < 1 << 19; ++i) sevens += "7 ";  // 1 MB
    std::string text = header;
    text.reserve(kSize);
    while (text.size() + sevens.size() <= kSize) text += sevens;
    const fs::path path = dir.write("one line.txt", text);
    text = std::string();

    CellModel m;
    const long before = currentKb();
    const auto peak = peakKbDuring([&] { m = LoadDataFile(path.string()); });
    ASSERT_EQ(m.CellCount, 1);
    EXPECT_EQ(m.FrameCount, 100);
    EXPECT_EQ(framesOf(m, 1), (std::vector<int32_t>{7}));
    EXPECT_EQ(m.Activity.eventCount(), 1u);
    if (peak) {
        // The file's pages are mapped while it is read; beyond them the load
        // should need little. Keeping every repeated frame until the cell ends
        // would take another 100 MB.
        const long growthKb = *peak - before;
        EXPECT_LT(growthKb, static_cast<long>(kSize / 1024) + 32 * 1024) << "peak grew by " << growthKb << " kB";
    }
}

TEST(HostileNames, CaptionAndMessagesNameTheFileAsTheUserSeesIt) {
    testfiles::TempDir dir;
    const std::string good = kHeader + "1 10 10 2\n5\n";
    const std::string bad = kHeader + "1 10 10 40000\n5\n";

    for (const std::string name : {"run 3 with spaces.txt", "Zellaktivität Mäuse ß.txt", "ячейки.txt"}) {
        const CellModel m = LoadDataFile(dir.write(name, good).string());
        EXPECT_EQ(captionFor(m.DataFile), " " + name + " (non-active cells are omitted)");
        EXPECT_EQ(m.CellCount, 1);
        const std::string refusedName = "bad " + name;
        EXPECT_EQ(std::string(refusalOf(dir.write(refusedName, bad).string()).what()),
                  refusedName + ", line 5: level 40000 is above 32767");
    }

    // A backslash is an ordinary character in a file name here, and the file
    // opens by its full path; captions and messages show what follows the last
    // backslash, as they do for a path written the other system's way.
    const CellModel m = LoadDataFile(dir.write("trial\\2.txt", good).string());
    EXPECT_EQ(m.CellCount, 1);
    EXPECT_EQ(captionFor(m.DataFile), " 2.txt (non-active cells are omitted)");
    EXPECT_EQ(std::string(refusalOf(dir.write("trial\\3.txt", bad).string()).what()),
              "3.txt, line 5: level 40000 is above 32767");

    // A link is named as chosen, not by its target.
    const fs::path link = dir.path() / "latest.txt";
    fs::create_symlink(dir.path() / "run 3 with spaces.txt", link);
    EXPECT_EQ(captionFor(LoadDataFile(link.string()).DataFile), " latest.txt (non-active cells are omitted)");
}

TEST(HostilePaths, WhatIsNotAReadableFileIsRefusedByName) {
    testfiles::TempDir dir;
    const std::string folder = dir.path().filename().string();
    EXPECT_EQ(std::string(refusalOf(dir.path().string()).what()), folder + ": is a folder, not a data file");
    EXPECT_EQ(std::string(refusalOf(dir.path().string() + "/").what()), folder + ": is a folder, not a data file");

    // Chosen, then removed before the load.
    const fs::path gone = dir.write("gone.txt", kHeader);
    fs::remove(gone);
    EXPECT_EQ(std::string(refusalOf(gone.string()).what()), "gone.txt: cannot be opened: No such file or directory");

    const fs::path dangling = dir.path() / "dangling.txt";
    fs::create_symlink(dir.path() / "nowhere.txt", dangling);
    EXPECT_EQ(std::string(refusalOf(dangling.string()).what()),
              "dangling.txt: cannot be opened: No such file or directory");

    const fs::path plain = dir.write("plain.txt", kHeader);
    EXPECT_EQ(std::string(refusalOf((plain / "inner.txt").string()).what()),
              "inner.txt: cannot be opened: Not a directory");

    const DataFileError unnamed = refusalOf("");
    EXPECT_EQ(std::string(unnamed.what()), ": no file name given");
    EXPECT_EQ(unnamed.line(), 0);
}

TEST(HostilePaths, PipesAndDevicesAreRefusedWithoutReading) {
    testfiles::TempDir dir;
    // A pipe with no writer: opening it to read would wait for one forever.
    const fs::path fifo = dir.path() / "recording.txt";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(std::string(refusalOf(fifo.string()).what()), "recording.txt: " + kNotAFile);

    // Endless (/dev/zero) and empty (/dev/null) devices alike.
    EXPECT_EQ(std::string(refusalOf("/dev/zero").what()), "zero: " + kNotAFile);
    EXPECT_EQ(std::string(refusalOf("/dev/null").what()), "null: " + kNotAFile);
}

TEST(HostilePaths, UnreadableFileIsRefusedByName) {
    testfiles::TempDir dir;
    const fs::path p = dir.write("locked data.txt", kHeader);
    ASSERT_EQ(::chmod(p.c_str(), 0), 0);
    EXPECT_TRUE(testfiles::asUnprivilegedUser([&] {
        return std::string(refusalOf(p.string()).what()) == "locked data.txt: cannot be opened: Permission denied";
    }));
}

TEST(HostileModel, ARefusedFileLeavesTheLoadedModelAsItWas) {
    const std::string a = testfiles::data("frame-list-leading-zero.txt").string();
    CellModel current = LoadDataFile(a);
    current.CurrentFrame = 17.5;  // the user has been playing it
    const CellModel before = current;

    testfiles::TempDir dir;
    std::vector<std::string> hostile = {dir.path().string(), "/dev/zero", (dir.path() / "missing.txt").string()};
    for (const Case& c : kCorpus)
        if (!c.model) hostile.push_back(testfiles::data(c.file).string());
    for (const std::string& b : hostile) {
        try {
            current = LoadDataFile(b);
            ADD_FAILURE() << b << " loaded";
        } catch (const DataFileError&) {
        }
        EXPECT_EQ(current, before) << "after " << b;
    }
    // Nothing of the refused files carries over into the next load either.
    CellModel again = LoadDataFile(a);
    again.CurrentFrame = 17.5;
    EXPECT_EQ(again, before);
}
