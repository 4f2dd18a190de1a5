#include "import/FileSignature.h"
#include "import/RecordingFile.h"
#include "import/RecordingFormats.h"
#include "model/DataFileLoader.h"
#include "support/ImportFixtures.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>

using namespace cellsonify;
namespace fs = std::filesystem;

namespace {

std::string formatOf(const fs::path& path) { return std::string(recordingFormatOf(path.string()).name); }

// `source`'s bytes as `target`, after `padding` zero bytes (an HDF5 user block).
fs::path copyAs(const fs::path& source, const fs::path& target, std::size_t padding = 0) {
    std::ifstream in(source, std::ios::binary);
    std::ofstream out(target, std::ios::binary);
    out << std::string(padding, '\0') << in.rdbuf();
    return target;
}

fs::path writeHdf5WithGroup(const fs::path& file, const std::string& group) {
    importfixtures::Hdf5Writer w(file);
    w.group(group);
    return file;
}

}  // namespace

TEST(RecordingFormats, APathIsToldByFolderThenExtensionThenFirstBytes) {
    testfiles::TempDir dir;
    const fs::path plane = dir.path() / "plane0";
    importfixtures::writeSuite2pPlane(plane, 3, 40, {{1}, {5}, {9}});
    EXPECT_EQ(formatOf(plane), "suite2p Plane Folder");

    // A known extension, in any case, decides before any byte is read.
    for (const RecordingFormat& f : recordingFormats())
        for (std::string_view ext : f.extensions) {
            std::string upper(ext);
            std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
            EXPECT_EQ(formatOf(dir.path() / ("missing" + std::string(ext))), f.name) << ext;
            EXPECT_EQ(formatOf(dir.path() / ("missing" + upper)), f.name) << upper;
        }
    const fs::path nwb = testfiles::data("import/nwb-rois-by-frames.nwb");
    EXPECT_EQ(formatOf(copyAs(nwb, dir.path() / "nwb-named.txt")), "Data File");

    // Any other name: by the first bytes, and it opens as they say.
    const fs::path caiman = writeHdf5WithGroup(dir.path() / "result.hdf5", "/estimates");
    const fs::path session = copyAs(nwb, dir.path() / "session.dat");
    const fs::path spks = copyAs(plane / "spks.npy", plane / "spks.bin");
    const fs::path cells = copyAs(testfiles::data("single-cell.txt"), dir.path() / "cells");
    EXPECT_EQ(formatOf(session), "NWB File");
    EXPECT_EQ(formatOf(copyAs(testfiles::data("import/nwb-version-1.nwb"), dir.path() / "old")), "NWB File");
    EXPECT_EQ(formatOf(copyAs(caiman, dir.path() / "result.bin")), "CaImAn Result");
    EXPECT_EQ(formatOf(copyAs(caiman, dir.path() / "user-block.bin", 1024)), "CaImAn Result");
    EXPECT_EQ(formatOf(spks), "suite2p Plane Folder");
    EXPECT_EQ(formatOf(cells), "Data File");
    EXPECT_EQ(formatOf(copyAs(writeHdf5WithGroup(dir.path() / "x.h5", "/other"), dir.path() / "other.dat")),
              "Data File");
    EXPECT_EQ(openRecording(session.string()).source.value_or(ImportSource{}).format, "nwb");
    EXPECT_EQ(openRecording(spks.string()).source.value_or(ImportSource{}).format, "suite2p");
    const OpenedRecording text = openRecording(cells.string());
    EXPECT_FALSE(text.source);
    EXPECT_EQ(text.caption, " cells (non-active cells are omitted)");
    EXPECT_EQ(text.model.Activity, LoadDataFile(testfiles::data("single-cell.txt").string()).Activity);

    // The signature only where HDF5 looks for it: 0, 512, 1024, 2048, ...
    EXPECT_EQ(fileSignatureOf(copyAs(caiman, dir.path() / "at-2048", 2048).string()), FileSignature::Hdf5);
    EXPECT_EQ(fileSignatureOf(copyAs(caiman, dir.path() / "at-700", 700).string()), FileSignature::None);
    EXPECT_EQ(fileSignatureOf(testfiles::data("hostile-empty.txt").string()), FileSignature::None);

    // A pipe with no writer is told apart by stat and never opened: opening it
    // would wait for a writer forever. Its loader refuses it in its own words.
    const fs::path fifo = dir.path() / "pipe.dat";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(fileSignatureOf(fifo.string()), FileSignature::None);
    EXPECT_EQ(formatOf(fifo), "Data File");
    EXPECT_THROW(openRecording(fifo.string()), DataFileError);
}

// The man page names the pipelines' formats in its own words; each of their
// extensions must stand in it, so a format added to the table is not left out.
TEST(RecordingFormats, TheManPageNamesEveryImportedFormatsExtensions) {
    std::ifstream in(std::string(CELLSONIFY_EXAMPLES) + "/../packaging/cellsonify.1");
    ASSERT_TRUE(in);
    const std::string page{std::istreambuf_iterator<char>(in), {}};
    for (const RecordingFormat& format : recordingFormats())
        if (format.readsTraces)
            for (std::string_view extension : format.extensions)
                EXPECT_NE(page.find(" " + std::string(extension)), std::string::npos) << format.name << ": " << extension;
}
