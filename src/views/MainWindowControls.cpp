#include "views/MainWindowControls.h"

#include "views/Artwork.h"
#include "views/OptionButton.h"
#include "views/Twips.h"
#include "drawing/KeyGeometry.h"
#include "views/CanvasView.h"
#include "views/ImageButton.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace cellsonify {

namespace {

constexpr uint32_t kRed = 0xFFFF0000;
constexpr uint32_t kBlack = 0xFF000000;
const QColor kFormGrey(0xC0, 0xC0, 0xC0);

QFont arial(double points) {
    QFont f;
    f.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    f.setPointSizeF(points);
    return f;
}

template <class W>
W* place(W* w, const char* name, const QRect& geometry) {
    w->setObjectName(QString::fromLatin1(name));
    w->setGeometry(geometry);
    return w;
}

CanvasView* canvasView(QWidget& form, const char* name, const QRect& geometry) {
    auto* box = new CanvasView(&form);
    box->setObjectName(QString::fromLatin1(name));
    box->setBoxGeometry(geometry);
    return box;
}

QLabel* label(QWidget& parent, const char* name, const QRect& geometry, const QString& text, Qt::Alignment align) {
    auto* l = place(new QLabel(text, &parent), name, geometry);
    l->setAlignment(align | Qt::AlignTop);
    l->setFont(arial(8.25));
    l->setAutoFillBackground(true);
    QPalette p = l->palette();
    p.setColor(QPalette::Window, kFormGrey);
    l->setPalette(p);
    l->lower();  // labels sit on the window's background, beneath every other control
    return l;
}

QRadioButton* option(QWidget& parent, const char* name, const QRect& geometry, const QString& text) {
    return place(new OptionButton(text, &parent), name, geometry);
}

void addCursors(MainWindowControls& c) {
    // Placed one unit of the raster's start scale left of the edge, i.e. out of sight until playback moves them.
    c.raster->addLine(kRasterBottomCursor, twipsLine(-13776, 2459, -13776, 9107), kRed);
    c.raster->addLine(kRasterTopCursor, twipsLine(-13776, 0, -13776, 91), kRed);
    c.raster->addLine(kScanLine, twipsLine(-13776, 0, -13776, 2641), kBlack);
    c.frameStrip->addLine(kFrameStripCursor, twipsLine(-20, 0, -20, 120), kRed);
    for (int k = 1; k <= kKeySeparators; ++k) {
        const double x = c.keyboard->toPixelX(3.0 * k);
        c.keyboard->addLine(QStringLiteral("KeyLine%1").arg(k), QLineF(x, 0, x, c.keyboard->toPixelY(6.4)), kBlack);
    }
}

}  // namespace

MainWindowControls buildMainWindowControls(QWidget& form) {
    MainWindowControls c;
    c.raster = canvasView(form, "Raster", twipsRect(360, 120, 7455, 2580));
    c.raster->setScale(0, 0, kRasterStartScaleWidth, kRasterStartScaleHeight);
    c.raster->setAcceptsFiles(true);
    c.frameStrip = canvasView(form, "Indicator", twipsRect(360, 3000, 7455, 135));
    c.frameStrip->setScale(0, 0, kFrameStripStartScaleWidth, kFrameStripScaleHeight);
    c.cellMap = canvasView(form, "XYLoc", twipsRect(2280, 3480, 3495, 2535));
    c.cellMap->setScale(0, 0, 1, 1);
    c.cellMap->setAcceptsFiles(true);
    c.keyboard = canvasView(form, "KeyB", twipsRect(240, 6120, 7635, 255));
    c.keyboard->setScale(0, 0, kKeyboardScaleWidth, kKeyboardScaleHeight);
    addCursors(c);

    c.fileOpen = place(new QPushButton(QStringLiteral("Load Data File"), &form), "fileopen",
                       twipsRect(360, 3360, 1455, 495));
    c.fileOpen->setFont(arial(9));
    // A raised face in the window's own light grey, not the style's lighter gradient.
    c.fileOpen->setStyleSheet(QStringLiteral("QPushButton { background-color: #c0c0c0; border: 2px outset #c0c0c0; }"
                                             "QPushButton:pressed { border-style: inset; }"));
    c.back = place(new ImageButton(&form), "BBK", twipsRect(360, 4200, 495, 495));
    c.back->setPicture(backButtonArt());
    c.play = place(new ImageButton(&form), "PLAYK", twipsRect(1080, 4200, 495, 495));
    c.play->setPicture(playButtonArt());
    c.stop = place(new ImageButton(&form), "STOPK", twipsRect(1080, 4200, 495, 495));
    c.stop->setPicture(stopButtonArt());
    c.stop->raise();
    c.stop->hide();
    c.speed = place(new QLineEdit(QStringLiteral("50"), &form), "SPEED", twipsRect(360, 4800, 495, 270));
    label(form, "Label5", twipsRect(960, 4860, 1095, 255), QStringLiteral("msec/frame"), Qt::AlignLeft)
        ->setFont(arial(9));

    c.instruments = place(new QGroupBox(&form), "Frame1", twipsRect(6240, 3360, 1575, 2655));
    static constexpr const char* kInstrumentNames[7] = {"Piano", "Celesta", "Music Box", "Synth Bass",
                                                        "Ice Rain", "Brightness", "Tinkle Bell"};
    static constexpr int kInstrumentRects[7][4] = {{120, 240, 1335, 255}, {120, 600, 1215, 255},
                                                   {120, 960, 1215, 180}, {120, 1320, 1215, 180},
                                                   {120, 1660, 1215, 255}, {120, 2040, 1215, 180},
                                                   {120, 2360, 1215, 180}};
    for (int i = 0; i < 7; ++i) {
        const QByteArray name = "Option" + QByteArray::number(i + 1);
        const auto& r = kInstrumentRects[i];
        c.instrument[i] = option(*c.instruments, name.constData(), twipsRect(r[0], r[1], r[2], r[3]),
                                 QString::fromLatin1(kInstrumentNames[i]));
    }
    c.instrument[0]->setChecked(true);

    c.soundSwitch = place(new QGroupBox(&form), "Frame2", twipsRect(360, 5160, 1335, 855));
    c.soundSwitch->setFont(arial(8.25));
    c.soundOn = option(*c.soundSwitch, "Option9", twipsRect(120, 140, 1190, 375), QStringLiteral("Sound ON"));
    c.soundOff = option(*c.soundSwitch, "Option8", twipsRect(120, 490, 1190, 255), QStringLiteral("Sound OFF"));
    c.soundOff->setChecked(true);

    c.cellCount = label(form, "Label3", twipsRect(-60, 15, 315, 255), QStringLiteral("1"), Qt::AlignRight);
    c.frameCount = label(form, "Label4", twipsRect(7380, 2775, 495, 210), QStringLiteral("1"), Qt::AlignRight);
    label(form, "Label1_1", twipsRect(-120, 2595, 375, 255), QStringLiteral(" 1"), Qt::AlignRight);
    label(form, "Label1_4", twipsRect(330, 2775, 375, 255), QStringLiteral("0"), Qt::AlignLeft);
    label(form, "Label1_5", twipsRect(3720, 2715, 615, 255), QStringLiteral("Frame #"), Qt::AlignHCenter);
    label(form, "Label2", twipsRect(2280, 3240, 855, 255), QStringLiteral("Cell Map"), Qt::AlignLeft);
    auto* axis = place(new QLabel(&form), "Image1", twipsRect(30, 1080, 210, 480));
    axis->setPixmap(cellAxisArt());
    axis->lower();

    QWidget* order[] = {c.raster, c.cellMap, c.keyboard, c.frameStrip, c.play, c.stop, c.back, c.speed, c.fileOpen,
                        c.instrument[0], c.instrument[1], c.instrument[2], c.instrument[3], c.instrument[4],
                        c.instrument[5], c.instrument[6], c.soundOff, c.soundOn};
    for (std::size_t i = 1; i < std::size(order); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
    return c;
}

}  // namespace cellsonify
