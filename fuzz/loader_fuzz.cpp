// libFuzzer entry point for the data-file loader.
//
// Any input must either load or be refused with a DataFileError; every other
// exception, crash or sanitizer report is a fault. A loaded model must also
// hold together, since the views and the playback index into it without
// checking again.
#include "model/DataFileLoader.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <string_view>

using namespace cellsonify;

namespace {

[[noreturn]] void broken(const char* what, int line) {
    std::fprintf(stderr, "loader_fuzz: invariant broken at line %d: %s\n", line, what);
    std::abort();
}
#define REQUIRE(cond)                     \
    do {                                  \
        if (!(cond)) broken(#cond, __LINE__); \
    } while (0)

const std::string kPath = "fuzz/input file.txt";

void checkModel(const CellModel& m) {
    REQUIRE(m.CellCount >= 0 && m.CellCount <= kMaxCellIndex);
    REQUIRE(m.FrameCount >= 0 && m.FrameCount <= kMaxFrameIndex);
    REQUIRE(m.CurrentFrame == 0);
    REQUIRE(m.DataFile == kPath);
    REQUIRE(captionFor(m.DataFile) == captionFor(kPath));  // the window's title for it

    const ActivityTable& a = m.Activity;
    REQUIRE(a.cellCount() == m.CellCount);
    REQUIRE(m.CellPos.size() == static_cast<std::size_t>(m.CellCount) + 1);
    REQUIRE(a.lastFrame() >= 0 && a.lastFrame() <= kMaxFrameIndex);

    std::size_t events = 0;
    int32_t highest = 0;
    for (int c = 1; c <= m.CellCount; ++c) {
        REQUIRE(a.level(c) >= 1);
        REQUIRE(a.at(c, 0) == a.level(c));
        REQUIRE(a.active(c, 0));
        const CellPosition& p = m.CellPos[c];
        REQUIRE(std::isfinite(p.X) && std::isfinite(p.Y));
        REQUIRE(p.X >= 0 && p.X <= 1 && p.Y >= 0 && p.Y <= 1);

        const auto frames = a.framesOf(c);
        int32_t previous = 0;
        for (int32_t f : frames) {
            REQUIRE(f > previous);  // ascending, no repeats, none below 1
            REQUIRE(f <= kMaxFrameIndex);
            previous = f;
            REQUIRE(a.active(c, f));
            REQUIRE(a.at(c, f) == 1);
            const auto cells = a.cellsIn(f);
            REQUIRE(std::binary_search(cells.begin(), cells.end(), static_cast<int16_t>(c)));
        }
        events += frames.size();
        if (!frames.empty()) highest = std::max(highest, frames.back());
    }
    REQUIRE(a.eventCount() == events);
    REQUIRE(a.lastFrame() == highest);
    REQUIRE(a.framesOf(0).empty() && a.framesOf(m.CellCount + 1).empty());
    REQUIRE(a.level(m.CellCount + 1) == 0);

    // The frame-major index holds exactly the same pairs, each list ascending.
    std::size_t indexed = 0;
    for (int32_t f = 1; f <= a.lastFrame(); ++f) {
        const auto cells = a.cellsIn(f);
        int previous = 0;
        for (int16_t c : cells) {
            REQUIRE(c > previous && c <= m.CellCount);
            previous = c;
            const auto frames = a.framesOf(c);
            REQUIRE(std::binary_search(frames.begin(), frames.end(), f));
        }
        indexed += cells.size();
    }
    REQUIRE(indexed == events);
    REQUIRE(a.cellsIn(0).empty() && a.cellsIn(a.lastFrame() + 1LL).empty());
    REQUIRE(!a.active(1, -1) && !a.active(1, a.lastFrame() + 1LL));
}

void checkRefusal(const DataFileError& e, std::string_view bytes) {
    const std::string what = e.what();
    REQUIRE(e.fileName() == baseName(kPath));
    // Bytes in memory: every refusal has a line but that of a text encoding
    // the loader does not read.
    const bool utf16 = bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF";
    REQUIRE(utf16 ? e.line() == 0 : e.line() >= 1);
    const std::string prefix =
        e.line() > 0 ? e.fileName() + ", line " + std::to_string(e.line()) + ": " : e.fileName() + ": ";
    REQUIRE(what.compare(0, prefix.size(), prefix) == 0);
    REQUIRE(what.size() > prefix.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        const CellModel m = LoadDataFileFromBytes(bytes, kPath);
        checkModel(m);
    } catch (const DataFileError& e) {
        checkRefusal(e, bytes);
    }
    // Anything else thrown escapes to libFuzzer, which reports it as a crash.
    return 0;
}
