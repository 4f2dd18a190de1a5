// The experiment on the command line: inspect lists it, render plays it, and
// --context off leaves it out.
#include "CliTestSupport.h"

#include "cli/CommandLine.h"
#include "soundfiles/ExportTestSupport.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace cellsonify;
using exporttest::SmfEvent;

namespace {

int run(std::vector<std::string> args, std::ostream& out, std::ostream& err) {
    return runCommandLine(std::move(args), out, err, false, [](const WindowRequest&) { return 1; });
}

// The note events of the first track, meta events left out.
std::vector<SmfEvent> notesOf(const std::filesystem::path& midi) {
    std::vector<SmfEvent> notes;
    for (const SmfEvent& e : exporttest::parseSmf(clitest::readFile(midi)).events)
        if (!e.bytes.empty() && e.bytes[0] != 0xFF) notes.push_back(e);
    return notes;
}

}  // namespace

TEST(ContextCommands, RenderPlaysTheEventsFileBesideTheCellsAndContextOffLeavesItOut) {
    testfiles::TempDir dir;
    // Cell 1 lights frames 3 and 6 of 10; trials start there, the first "a", the second "b".
    const auto data = dir.write("cells.txt", exporttest::dataFileText(10, {{3, 6}}));
    const auto events = dir.write("trials.csv", "frame,cond\n3,a\n6,b\n");
    const auto plain = dir.path() / "plain.mid", heard = dir.path() / "heard.mid", off = dir.path() / "off.mid";
    ASSERT_EQ(clitest::render({data.string(), "-o", plain.string()}).code, 0);
    const clitest::Outcome r = clitest::render({data.string(), "-o", heard.string(), "--events", events.string()});
    ASSERT_EQ(r.code, 0) << r.err;
    ASSERT_EQ(clitest::render({data.string(), "-o", off.string(), "--events", events.string(), "--context", "off"}).code, 0);
    EXPECT_EQ(clitest::readFile(off), clitest::readFile(plain));

    const std::vector<SmfEvent> cells = notesOf(plain), all = notesOf(heard);
    const int note = cells.at(1).bytes[1];  // after the program change
    const int64_t third = cells.at(1).tick, sixth = cells.at(2).tick;
    // Each drum follows the cell's note at the same tick; the second group's
    // drum differs; the end of the pass lets both go.
    EXPECT_EQ(all, (std::vector<SmfEvent>{cells.at(0),
                                          {third, {0x90, note, 127}},
                                          {third, {0x99, 36, 112}},
                                          {sixth, {0x90, note, 127}},
                                          {sixth, {0x99, 38, 112}},
                                          {all.back().tick, {0x89, 36, 0}},
                                          {all.back().tick, {0x89, 38, 0}}}));
    EXPECT_GT(all.back().tick, sixth);
}

TEST(ContextCommands, InspectListsTablesGroupsAndBehaviourAndABadSideFileNamesItsLine) {
    testfiles::TempDir dir;
    const auto data = dir.write("cells.txt", exporttest::dataFileText(10, {{3}}));
    const auto events = dir.write("trials.csv", "frame,stop_frame,cond\n3,4,a\n6,,b\n8,9,a\n");
    const auto wheel = dir.write("wheel.csv", "frame,speed\n1,2.5\n2,4\n");
    std::ostringstream out, err;
    ASSERT_EQ(run({"inspect", data.string(), "--events", events.string(), "--behavior", wheel.string()}, out, err), 0)
        << err.str();
    EXPECT_NE(out.str().find(", \"context\": {\"tables\": [{\"name\": \"trials\", \"intervals\": 3, \"group_column\": "
                             "\"cond\", \"groups\": [{\"name\": \"a\", \"intervals\": 2}, {\"name\": \"b\", "
                             "\"intervals\": 1}]}], \"behaviour\": [{\"name\": \"speed\", \"how\": \"\", \"rate\": 0, "
                             "\"low\": 2.5, \"high\": 4, \"sounds\": true}]}"),
              std::string::npos)
        << out.str();

    const auto broken = dir.write("broken.tsv", "frame\tspeed\n1\t2\n2\tfast\n");
    std::ostringstream out2, err2;
    EXPECT_EQ(run({"inspect", data.string(), "--behavior", broken.string()}, out2, err2), 1);
    EXPECT_EQ(err2.str(), "error: broken.tsv: line 3, column 2 (speed): \"fast\" is not a number\n");
}
