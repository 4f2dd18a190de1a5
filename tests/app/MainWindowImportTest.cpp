#include "AppTestSupport.h"

#include "import/Importer.h"
#include "support/ImportFixtures.h"
#include "support/TestFiles.h"

#include <QProgressDialog>
#include <QPushButton>

#include <filesystem>

using namespace cellsonify;
using namespace apptest;
namespace fs = std::filesystem;

struct MainWindowImport : WindowFixture {
    testfiles::TempDir dir;
    fs::path plane = dir.path() / "plane0";

    void SetUp() override {
        WindowFixture::SetUp();
        files.models["/data/cells.txt"] = viewstest::makeModel(10, {{5}, {}, {5, 9}});
        // Four ROIs over 50 frames; ROI 1 is rejected, ROI 3 never fires.
        importfixtures::writeSuite2pPlane(plane, 4, 50, {{0, 30}, {10}, {49}, {}}, {1, 0.9, 0, 0.1, 1, 1, 1, 1});
    }
    // Shows the text recording, the one an import must not disturb.
    void showText() {
        openNow(*window, "/data/cells.txt");
        ASSERT_EQ(window->model().CellCount, 3);
    }
    void expectPlaneShown(const fs::path& opened) {
        const ImportResult direct = importRecording(opened.string());
        EXPECT_TRUE(window->windowTitle().startsWith(" plane0 (suite2p spks, 3 of 4 ROIs")) << window->windowTitle().toStdString();
        EXPECT_EQ(window->windowTitle().toStdString(), direct.caption);
        EXPECT_EQ(labelText("Label3"), "3");
        EXPECT_EQ(labelText("Label4"), "50");
        EXPECT_TRUE(window->model() == direct.model) << "the window shows what the importer read";
        const auto frames2 = window->model().Activity.framesOf(2);
        EXPECT_EQ(std::vector<int32_t>(frames2.begin(), frames2.end()), (std::vector<int32_t>{50}));
        EXPECT_EQ(window->raster().scale().height, 3);
        EXPECT_GT(viewstest::countColour(uievents::shownClient(window->raster()), kBlueRgb), 0);
    }
};

TEST_F(MainWindowImport, ThePlaneOpensFromTheDialogAndByADrop) {
    window->show();
    int loaded = 0;
    QObject::connect(window.get(), &MainWindow::dataLoaded, [&loaded] { ++loaded; });
    chooser.answers = {(plane / "stat.npy").string()};
    uievents::click(control("fileopen"));
    EXPECT_TRUE(window->opening());
    waitForOpening(*window);
    ASSERT_TRUE(messages.shown.empty()) << messages.shown[0].second;
    EXPECT_EQ(loaded, 1);
    expectPlaneShown(plane / "stat.npy");
    EXPECT_TRUE(files.loads.empty()) << "imports never reach the text loader";
    EXPECT_EQ(window->findChildren<QProgressDialog*>().size(), 0) << "the progress dialog is gone";

    showText();
    uievents::drop(window->cellMap(), QList<QUrl>{QUrl::fromLocalFile(QString::fromStdString((plane / "spks.npy").string()))});
    waitForOpening(*window);
    waitForOpening(*window);
    ASSERT_TRUE(messages.shown.empty()) << messages.shown[0].second;
    expectPlaneShown(plane / "spks.npy");
}

TEST_F(MainWindowImport, CancelAndRefusalKeepWhatWasShown) {
    window->show();
    showText();
    const CellModel before = window->model();
    const QString caption = window->windowTitle();
    std::vector<std::pair<bool, std::string>> ended;
    QObject::connect(window.get(), &MainWindow::openingEnded,
                     [&ended](bool imported, const QString& error) { ended.emplace_back(imported, error.toStdString()); });

    // Cancel pressed as the dialog appears, before the worker gets going.
    window->openRecording(plane.string());
    auto* dialog = window->findChild<QProgressDialog*>("importProgress");
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(dialog->isVisible());
    uievents::click(*dialog->findChild<QPushButton*>());
    waitForOpening(*window);
    ASSERT_EQ(ended.size(), 1u);
    EXPECT_EQ(ended[0], std::make_pair(false, std::string()));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(window->model() == before);
    EXPECT_EQ(window->windowTitle(), caption);

    // A folder whose spks.npy is cut short: told, naming the folder and the file.
    const auto size = fs::file_size(plane / "spks.npy");
    fs::resize_file(plane / "spks.npy", size - 7);
    window->openRecording(plane.string());
    waitForOpening(*window);
    ASSERT_EQ(messages.shown.size(), 1u);
    const std::string told = messages.shown[0].second;
    EXPECT_EQ(told.rfind("plane0: ", 0), 0u) << told;
    EXPECT_NE(told.find("spks.npy"), std::string::npos) << told;
    ASSERT_EQ(ended.size(), 2u);
    EXPECT_EQ(ended[1], std::make_pair(false, told));
    EXPECT_TRUE(window->model() == before);
    EXPECT_EQ(window->windowTitle(), caption);
    EXPECT_EQ(labelText("Label3"), "3");
}
