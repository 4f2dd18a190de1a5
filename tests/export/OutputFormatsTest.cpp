// The table of outputs: how a path names its output, the phrases made from
// the table, and the one way an export runs, with progress and Cancel.
#include "export/OutputFormats.h"
#include "model/DataFileLoader.h"
#include "soundfiles/ExportTestSupport.h"
#include "export/RecordingExport.h"
#include "sound/SoundTestSupport.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace cellsonify;

namespace {

std::string bytesOf(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

TEST(OutputFormats, APathNamesItsOutputByItsExtensionInAnyCase) {
    EXPECT_EQ(outputFormatOf("out.mid").extension, "mid");
    EXPECT_EQ(outputFormatOf("/a/b.WAV").extension, "wav");
    EXPECT_EQ(outputFormatOf("talk.Mp4").extension, "mp4");
    EXPECT_EQ(outputFormatOf("figure.PNG").extension, "png");
    for (const char* other : {"out.midi", "out.mp3", "mid", "wav", "out.wav.txt", "mp4", "out.png.gz"})
        EXPECT_THROW(outputFormatOf(other), ExportError) << other;
    EXPECT_EQ(outputFormatNamed("PNG"), &outputFormatOf("x.png"));
    EXPECT_EQ(outputFormatNamed("pn"), nullptr);

    EXPECT_EQ(extensionsTaking(&OutputFormat::takesTail), ".wav and .mp4");
    EXPECT_EQ(extensionsTaking(&OutputFormat::takesScale), ".mp4 and .png");
    EXPECT_EQ(extensionsTaking(&OutputFormat::takesFrame), ".png");
    EXPECT_EQ(listOutputs("NAME.{ext}"), "NAME.mid, NAME.wav, NAME.mp4 or NAME.png");
}

TEST(OutputFormats, EveryOutputRunsOneWayWithProgressAndCancel) {
    testfiles::TempDir dir;
    const CellModel model =
        LoadDataFile(dir.write("rec.txt", exporttest::dataFileText(3000, {{1, 5}, {2, 40}})).string());
    ExportSettings settings;
    settings.pass.setSpeedText("30");
    std::vector<double> reports;
    ASSERT_TRUE(runExport(model, (dir.path() / "a.mid").string(), settings, [&](double done) {
        reports.push_back(done);
        return true;
    }));
    EXPECT_EQ(bytesOf(dir.path() / "a.mid"), exportMidiBytes(model, settings));
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.front(), 0.0);

    const std::string font = soundtest::testSoundFont();
    if (font.empty()) GTEST_SKIP() << "no SoundFont installed";
    soundtest::ScopedEnv useFont{"CELLSONIFY_SOUNDFONT", font};
    int asked = 0;
    EXPECT_FALSE(runExport(model, (dir.path() / "b.wav").string(), settings, [&](double) { return ++asked < 3; }));
    EXPECT_EQ(asked, 3);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "b.wav"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2) << "rec.txt and a.mid only";
}
