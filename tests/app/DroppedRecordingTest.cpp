#include "app/DroppedFiles.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace cellsonify;
namespace fs = std::filesystem;

// A drop takes a recording under a name of its own when its first bytes are
// an import's; other names still never open a file.
TEST(DroppedRecording, AnImportUnderAnyNameIsTakenByItsBytes) {
    testfiles::TempDir dir;
    const fs::path nwb = dir.path() / "session.dat";
    fs::copy_file(testfiles::data("import/nwb-rois-by-frames.nwb"), nwb);
    const fs::path text = dir.path() / "cells.dat";
    fs::copy_file(testfiles::data("single-cell.txt"), text);
    const QString nwbName = QString::fromStdString(nwb.string());
    EXPECT_EQ(dataFileFromDrop({nwbName}), nwbName);
    EXPECT_EQ(dataFileFromDrop({QString::fromStdString(text.string())}), std::nullopt);
    // A folder opens as on the command line, whatever its name.
    const QString folder = QString::fromStdString(dir.path().string());
    EXPECT_EQ(dataFileFromDrop({folder}), folder);
}
