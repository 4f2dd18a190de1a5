// Controls as the layout draws them: where they answer clicks, their colours,
// where the export menu opens, what the file dialog lists.
#include "AppTestSupport.h"

#include "app/DataFileDialog.h"
#include "app/FileChooser.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QKeyEvent>

using namespace cellsonify;
using namespace apptest;

using WindowControls = WindowFixture;

TEST_F(WindowControls, OptionButtonsAnswerAnywhereInTheirRectangle) {
    window->show();
    for (const char* name : {"Option1", "Option5", "Option9"}) {
        uievents::click(control(name == std::string("Option1") ? "Option2" : "Option1"), {5, 5});
        QRadioButton& option = control<QRadioButton>(name);
        // Right of where a plain option button's circle and caption end, still inside the rectangle.
        const QPointF farRight(option.width() - 1, option.height() / 2.0);
        QRadioButton plain(option.text());
        plain.setFont(option.font());
        ASSERT_GT(farRight.x(), plain.sizeHint().width()) << name;
        uievents::click(option, farRight);
        EXPECT_TRUE(option.isChecked()) << name;
    }
}

TEST_F(WindowControls, TheLoadButtonIsTheWindowsGrey) {
    window->show();
    QPushButton& load = control<QPushButton>("fileopen");
    const QImage shown = uievents::shown(load);
    // Left of the centred caption, inside the frame.
    EXPECT_EQ(shown.pixel(6, load.height() / 2), kGreyRgb);
}

TEST_F(WindowControls, RightClicksOnTheViewsSeekWithoutTheExportMenu) {
    window->show();
    for (CanvasView* view : {&window->raster(), &window->frameStrip()}) {
        const QPoint at(40, 4);
        uievents::press(*view, at, Qt::RightButton);
        uievents::release(*view, at, Qt::RightButton);
        QContextMenuEvent menuRequest(QContextMenuEvent::Mouse, at, view->mapToGlobal(at));
        QApplication::sendEvent(view, &menuRequest);
        EXPECT_GT(window->model().CurrentFrame, 0) << "the press seeks";
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << view->objectName().toStdString();
        window->playback().seek(0);
    }
}

TEST(DataFileDialog, ListsTheLabelAloneAndStillFiltersByThePattern) {
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    configureOpenDialog(dialog, "Data Files (*.txt) (*txt)");
    auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    ASSERT_NE(types, nullptr);
    ASSERT_EQ(types->count(), 1);
    EXPECT_EQ(types->itemText(0), "Data Files (*.txt)");
    EXPECT_EQ(dialog.nameFilters(), QStringList{"Data Files (*.txt) (*txt)"});
}

// A suite2p run folder holds plane folders, not files: choosing the folder
// type lets the user pick the folder itself, and the file types switch back.
TEST(DataFileDialog, TheFolderTypePicksAFolder) {
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    configureOpenDialog(dialog, qtFileFilter(DataFileDialog::kFilter));
    auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    ASSERT_NE(types, nullptr);
    const int folder = types->findText(QStringLiteral("Folder"), Qt::MatchContains);
    ASSERT_GE(folder, 0);
    // The user's choice in the list: the index changes and the combo says it was activated.
    const auto choose = [types](int index) {
        types->setCurrentIndex(index);
        emit types->activated(index);
        emit types->textActivated(types->itemText(index));
    };
    choose(folder);
    EXPECT_EQ(dialog.fileMode(), QFileDialog::Directory);
    choose(0);
    EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFile);
}
