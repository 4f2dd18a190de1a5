#include "views/CanvasView.h"
#include "views/ImageButton.h"
#include "drawing/Palette.h"
#include "UiEvents.h"

#include <QApplication>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

#include <gtest/gtest.h>

using namespace cellsonify;
using uievents::drop;
using uievents::press;
using uievents::release;

namespace {

constexpr QRgb kRedRgb = 0xFFFF0000;
constexpr QRgb kBlackRgb = 0xFF000000;
constexpr QRgb kWhiteRgb = 0xFFFFFFFF;

// A 102 x 52 box: 100 x 50 client pixels.
std::unique_ptr<CanvasView> makeBox() {
    auto box = std::make_unique<CanvasView>();
    box->setBoxGeometry(QRect(0, 0, 102, 52));
    box->setScale(0, 0, 100, 50);
    return box;
}

}  // namespace

TEST(CanvasViewImage, ShowsItsDrawingsInsideAOnePixelBorderAndKeepsThemWhenCovered) {
    auto box = makeBox();
    EXPECT_EQ(box->canvas().pixelWidth(), 100);
    EXPECT_EQ(box->canvas().pixelHeight(), 50);
    box->canvas().filledBox(10, 10, 19, 19, kLightRed);
    box->show();
    QImage full = box->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(full.pixel(0, 0), kBlackRgb);    // border
    EXPECT_EQ(full.pixel(101, 51), kBlackRgb);
    EXPECT_EQ(full.pixel(11, 11), kRedRgb);    // client pixel 10,10
    EXPECT_EQ(full.pixel(10, 10), kWhiteRgb);
    // covered by another window and uncovered: the box repaints from its image
    QWidget cover;
    cover.setGeometry(box->geometry());
    cover.show();
    cover.hide();
    box->hide();
    box->show();
    EXPECT_EQ(uievents::shownClient(*box).pixel(15, 15), kRedRgb);
}

TEST(CanvasViewImage, DrawingRepaintsOnlyTheTouchedRegion) {
    auto box = makeBox();
    box->show();
    QApplication::processEvents();
    box->canvas().line(40, 5, 42, 7, kLightRed);
    // the change waits for the event loop, and covers just the line
    EXPECT_EQ(box->canvas().takeDirty(), QRect(QPoint(40, 5), QPoint(42, 7)));
    box->canvas().markDirty(QRect(40, 5, 3, 3));
    QApplication::processEvents();
    EXPECT_TRUE(box->canvas().takeDirty().isEmpty());
    EXPECT_EQ(uievents::shownClient(*box).pixel(41, 6), kRedRgb);
}

TEST(CanvasViewOverlay, LinesSurviveClearAndKeepTheirPixelPlaceWhenTheScaleChanges) {
    auto box = makeBox();
    OverlayLine& cursor = box->addLine("cursor", QLineF(-1, 10, -1, 60), kRedRgb);
    cursor.setX1(25);
    cursor.setX2(25);
    EXPECT_DOUBLE_EQ(cursor.pixels().x1(), 25.0);
    box->canvas().filledBox(0, 0, 99, 49, kLightBlue);
    box->canvas().clear();
    QImage img = uievents::shownClient(*box);
    for (int y = 10; y < 50; ++y) EXPECT_EQ(img.pixel(25, y), kRedRgb) << y;
    EXPECT_EQ(img.pixel(25, 9), kWhiteRgb);
    EXPECT_EQ(img.pixel(24, 20), kWhiteRgb);
    EXPECT_EQ(img.pixel(26, 20), kWhiteRgb);

    box->setScale(0, 0, 1000, 5);  // ten times coarser: the line stays at pixel 25
    img = uievents::shownClient(*box);
    EXPECT_EQ(img.pixel(25, 20), kRedRgb);
    cursor.setX1(500);  // new positions use the new scale
    cursor.setX2(500);
    img = uievents::shownClient(*box);
    EXPECT_EQ(img.pixel(25, 20), kWhiteRgb);
    EXPECT_EQ(img.pixel(50, 20), kRedRgb);
    EXPECT_EQ(img.pixel(50, 9), kWhiteRgb);  // y ends did not move
    cursor.setVisible(false);
    EXPECT_EQ(uievents::shownClient(*box).pixel(50, 20), kWhiteRgb);
    EXPECT_EQ(box->line("cursor"), &cursor);
    EXPECT_EQ(box->line("other"), nullptr);
}

TEST(CanvasViewInput, AnyMouseButtonReportsTheUserXUnrounded) {
    auto box = makeBox();
    box->setScale(0, 0, 1000, 50);
    std::vector<double> xs;
    QObject::connect(box.get(), &CanvasView::pressed, [&](double x) { xs.push_back(x); });
    press(*box, QPointF(1 + 33, 20), Qt::LeftButton);   // client pixel 33 = 330 units
    press(*box, QPointF(1 + 7, 3), Qt::RightButton);    // 70 units
    press(*box, QPointF(1 + 0, 3), Qt::MiddleButton);
    box->setScale(0, 0, 3, 50);
    press(*box, QPointF(1 + 10, 3), Qt::LeftButton);
    EXPECT_EQ(xs, (std::vector<double>{330.0, 70.0, 0.0, 0.3}));
}

TEST(CanvasViewInput, OnlyABoxThatTakesFilesReportsDroppedFileNames) {
    auto taker = makeBox();
    taker->setAcceptsFiles(true);
    auto other = makeBox();
    taker->show();
    other->show();
    std::vector<QStringList> took, ignored;
    QObject::connect(taker.get(), &CanvasView::filesDropped, [&](const QStringList& p) { took.push_back(p); });
    QObject::connect(other.get(), &CanvasView::filesDropped, [&](const QStringList& p) { ignored.push_back(p); });
    const QList<QUrl> files{QUrl::fromLocalFile("/tmp/a.txt"), QUrl::fromLocalFile("/tmp/b.csv")};
    drop(*taker, files);
    drop(*other, files);
    ASSERT_EQ(took.size(), 1u);
    EXPECT_EQ(took[0], (QStringList{"/tmp/a.txt", "/tmp/b.csv"}));
    EXPECT_TRUE(ignored.empty());
    // no file names at all: plain text, or a web address
    drop(*taker, {}, "some text");
    drop(*taker, {QUrl("https://example.org/cells.txt")});
    EXPECT_EQ(took.size(), 1u);
}

TEST(ImageButtonClicks, ALeftClickOverTheButtonEmitsClicked) {
    ImageButton button;
    button.setGeometry(0, 0, 33, 33);
    QPixmap art(33, 33);
    art.fill(Qt::red);
    button.setPicture(art);
    int clicks = 0;
    QObject::connect(&button, &ImageButton::clicked, [&] { ++clicks; });
    press(button, {10, 10}, Qt::LeftButton);
    release(button, {12, 12}, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
    press(button, {10, 10}, Qt::RightButton);
    release(button, {10, 10}, Qt::RightButton);
    press(button, {10, 10}, Qt::LeftButton);
    release(button, {60, 10}, Qt::LeftButton);  // let go elsewhere
    EXPECT_EQ(clicks, 1);
    const QImage img = button.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(img.pixel(16, 16), kRedRgb);
    EXPECT_EQ(img.pixel(0, 0), kBlackRgb);
}
