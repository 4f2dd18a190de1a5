// Controls as the layout draws them: where they answer clicks, their colours,
// where the export menu opens, what the file dialog lists.
#include "AppTestSupport.h"

#include "app/DataFileDialog.h"
#include "app/ExportAction.h"
#include "export/OutputFormats.h"
#include "app/FileChooser.h"
#include "app/FileChooser.h"
#include "import/RecordingFormats.h"

#include <QAccessible>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
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

TEST_F(WindowControls, OptionButtonsTakeTheirLayoutRectangles) {
    window->show();
    // Option1 is 1335 twips wide (89 pixels), Option9 1190 x 375 (79 x 25).
    EXPECT_EQ(control("Option1").geometry(), QRect(8, 16, 89, 17));
    EXPECT_EQ(control("Option9").geometry(), QRect(8, 9, 79, 25));
    // A screen reader, and a click test, see the whole rectangle as the button.
    for (const char* name : {"Option1", "Option9"}) {
        QWidget& option = control(name);
        QAccessibleInterface* seen = QAccessible::queryAccessibleInterface(&option);
        ASSERT_NE(seen, nullptr);
        EXPECT_EQ(seen->rect(), QRect(option.mapToGlobal(QPoint(0, 0)), option.size())) << name;
    }
    // The focus frame goes round the whole rectangle, not only the caption.
    window->activateWindow();
    QRadioButton& piano = control<QRadioButton>("Option1");  // the selected Piano
    const QImage unfocused = uievents::shown(piano);
    control("fileopen").setFocus();
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);  // focus as a keyboard user moves it
    QApplication::sendEvent(&control("fileopen"), &tab);
    ASSERT_TRUE(piano.hasFocus());
    const QImage focused = uievents::shown(piano);
    int changedAtRightEdge = 0;
    for (int y = 0; y < piano.height(); ++y)
        changedAtRightEdge += unfocused.pixel(piano.width() - 1, y) != focused.pixel(piano.width() - 1, y);
    EXPECT_GT(changedAtRightEdge, piano.height() / 2);
}

TEST_F(WindowControls, EveryOptionCircleIsWholeAndRoundAtEveryZoom) {
    window->show();
    for (double zoom : {1.0, 2.0}) {
        window->setZoom(zoom);
        for (QRadioButton* option : window->findChildren<QRadioButton*>()) {
            QStyleOptionButton style;
            style.initFrom(option);
            style.text = option->text();
            const QRect circle = option->style()->subElementRect(QStyle::SE_RadioButtonIndicator, &style, option);
            EXPECT_TRUE(option->rect().contains(circle))
                << option->text().toStdString() << " at " << zoom << ": " << circle.top() << ".." << circle.bottom()
                << " in a button " << option->height() << " high";
            EXPECT_EQ(circle.width(), circle.height()) << option->text().toStdString();
        }
    }
}

TEST_F(WindowControls, TheLoadButtonIsTheWindowsGreyWithAllFourEdges) {
    window->show();
    QPushButton& load = control<QPushButton>("fileopen");
    const QImage shown = uievents::shown(load);
    // Left of the centred caption, inside the frame.
    EXPECT_EQ(shown.pixel(6, load.height() / 2), kGreyRgb);
    // Light top and left edges, dark bottom and right ones: a raised face.
    const int midX = load.width() / 2, midY = load.height() / 2;
    for (QPoint edge : {QPoint(midX, 0), QPoint(0, midY)})
        EXPECT_GT(qGray(shown.pixel(edge)), 0xC0) << edge.x() << "," << edge.y();
    for (QPoint edge : {QPoint(midX, load.height() - 1), QPoint(load.width() - 1, midY)})
        EXPECT_LT(qGray(shown.pixel(edge)), 0x80) << edge.x() << "," << edge.y();
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
    configureOpenDialog(dialog, qtFileFilter(recordingDialogFilter()));
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

    // A type kept from an earlier run is selected as the user would select it.
    QFileDialog next;
    next.setOption(QFileDialog::DontUseNativeDialog);
    configureOpenDialog(next, qtFileFilter(recordingDialogFilter()));
    auto* nextTypes = next.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    ASSERT_NE(nextTypes, nullptr);
    EXPECT_EQ(nextTypes->itemText(0), "All recordings") << "every readable kind first";
    selectOpenType(next, "NWB File (*.nwb)");
    EXPECT_EQ(nextTypes->currentText(), "NWB File (*.nwb)");
    EXPECT_EQ(next.fileMode(), QFileDialog::ExistingFile);
    selectOpenType(next, "suite2p Plane Folder (any .npy in it)");
    EXPECT_EQ(next.fileMode(), QFileDialog::Directory);
}

TEST(ExportDialog, TheTypeAndTheNameKeepInStepBothWays) {
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(QString::fromStdString(outputDialogFilter()));
    selectTypeOf(dialog, QStringLiteral("/tmp/rec.wav"), {});
    EXPECT_EQ(dialog.selectedNameFilter(), "WAV Audio (*.wav)") << "the start name's type, not the first";
    dialog.selectFile(QStringLiteral("rec.wav"));
    keepTypeAndExtensionInStep(dialog);
    auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    ASSERT_NE(name, nullptr);
    ASSERT_NE(types, nullptr);
    dialog.show();

    // A typed extension picks its type, and the name stays as typed.
    name->selectAll();
    uievents::type(*name, QStringLiteral("movie.mp4"));
    EXPECT_EQ(dialog.selectedNameFilter(), "MP4 Movie (*.mp4)");
    EXPECT_EQ(name->text(), "movie.mp4");
    // A chosen type renames the extension.
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(types, &down);
    EXPECT_EQ(dialog.selectedNameFilter(), "MP4 Figure (*.mp4)") << "the movie's figure layout comes next";
    EXPECT_EQ(name->text(), "movie.mp4");
    QApplication::sendEvent(types, &down);
    EXPECT_EQ(dialog.selectedNameFilter(), "PNG Picture (*.png)");
    EXPECT_EQ(name->text(), "movie.png");
    EXPECT_EQ(withTypeExtension(QStringLiteral("/tmp/untyped"), dialog.selectedNameFilter()), "/tmp/untyped.png");
}
