// The program's command line: what it opens, what it refuses, what it prints.
#include "cli/CommandLine.h"

#include <gtest/gtest.h>

#include <optional>
#include <sstream>

using namespace cellsonify;

namespace {

struct Outcome {
    int code;
    std::string out, err;
    std::optional<WindowRequest> window;  // set when the window was asked for
};

Outcome run(std::vector<std::string> args) {
    std::ostringstream out, err;
    Outcome o{};
    o.code = runCommandLine(std::move(args), out, err, false, [&o](const WindowRequest& w) {
        o.window = w;
        return 7;
    });
    o.out = out.str();
    o.err = err.str();
    return o;
}

}  // namespace

TEST(CommandLine, TheWindowOpensAnyFileNameWithQtOptionsPassedThrough) {
    const Outcome o = run({"-platform", "offscreen", "recording.CSV", "--midi-port=Synth", "-reverse"});
    ASSERT_TRUE(o.window) << o.err;
    EXPECT_EQ(o.code, 7);  // the window's own exit code
    EXPECT_EQ(o.window->file, "recording.CSV");
    EXPECT_EQ(o.window->midiPort, "Synth");
    EXPECT_EQ(o.window->qtArguments, (std::vector<std::string>{"-platform", "offscreen", "-reverse"}));

    const Outcome bare = run({});
    ASSERT_TRUE(bare.window);
    EXPECT_EQ(bare.window->file, "");
    EXPECT_TRUE(bare.window->qtArguments.empty());
}

TEST(CommandLine, HelpAndVersionGoToStandardOutput) {
    const Outcome version = run({"--version"});
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.out, "cellsonify " CELLSONIFY_VERSION "\n");

    const Outcome help = run({"--help"});
    EXPECT_EQ(help.code, 0);
    for (const char* word : {"inspect", "generate", "ports", "render", "--midi-port", "--version"})
        EXPECT_NE(help.out.find(word), std::string::npos) << word;

    const Outcome renderHelp = run({"render", "--help"});
    EXPECT_EQ(renderHelp.code, 0);
    EXPECT_NE(renderHelp.out.find("cellsonify render"), std::string::npos) << renderHelp.out;
    EXPECT_NE(renderHelp.out.find("--tail"), std::string::npos);
    EXPECT_FALSE(help.window || renderHelp.window || version.window);

    // Only the window takes Qt's options, so only its help tells of them.
    EXPECT_NE(help.out.find("Qt's own options"), std::string::npos);
    EXPECT_EQ(renderHelp.out.find("Qt's own options"), std::string::npos) << renderHelp.out;
    // The help shows no default that is not the real one (--tail's is "until quiet").
    EXPECT_EQ(renderHelp.out.find("X=0"), std::string::npos) << renderHelp.out;
    EXPECT_NE(renderHelp.out.find("--frame N"), std::string::npos);
    EXPECT_EQ(renderHelp.out.find("2147483647"), std::string::npos) << renderHelp.out;
    EXPECT_NE(renderHelp.out.find("frames counted from 1"), std::string::npos) << renderHelp.out;

    // "help" is a word, not a file to open.
    const Outcome word = run({"help"});
    EXPECT_FALSE(word.window);
    EXPECT_EQ(word.code, 0);
    EXPECT_EQ(word.out, help.out);
    EXPECT_EQ(run({"help", "render"}).out, renderHelp.out);
}

TEST(CommandLine, NumbersOutsideTheirRangeOrNotPlainAreRefusedByName) {
    // Each of these once reached a float-to-int conversion with undefined behaviour.
    for (const auto& [option, value] : std::vector<std::pair<std::string, std::string>>{
             {"--cells", "1e20"}, {"--cells", "nan"}, {"--cells", "1501"}, {"--cells", "0x10"},
             {"--frames", "99999999999999999999"}, {"--seed", "-1"}, {"--seed", "4294967296"},
             {"--activity", "inf"}, {"--activity", "-0.5"}}) {
        const Outcome o = run({"generate", "/nonexistent/never-written.txt", option, value});
        EXPECT_EQ(o.code, 1) << option << " " << value;
        EXPECT_EQ(o.err.rfind("error: " + option + " expects ", 0), 0u) << o.err;
        EXPECT_NE(o.err.find("\"" + value + "\""), std::string::npos) << o.err;
    }
}

TEST(CommandLine, UnknownOptionsAreRefused) {
    const Outcome o = run({"--loud"});
    EXPECT_EQ(o.code, 1);
    EXPECT_FALSE(o.window);
    EXPECT_NE(o.err.find("--loud"), std::string::npos) << o.err;

    // A mistyped command is named and the commands listed.
    const Outcome typo = run({"rendr", "x.txt", "-o", "y.wav"});
    EXPECT_EQ(typo.code, 1);
    EXPECT_FALSE(typo.window);
    EXPECT_EQ(typo.err.rfind("error: \"rendr\" is not a command", 0), 0u) << typo.err;
    for (const char* command : {"inspect", "generate", "ports", "render", "convert"})
        EXPECT_NE(typo.err.find(command, 10), std::string::npos) << command;
}
