#include "views/MainWindowControls.h"

#include "views/Artwork.h"
#include "views/OptionButton.h"
#include "views/Twips.h"
#include "views/ZoomedStyle.h"
#include "drawing/KeyGeometry.h"
#include "views/CanvasView.h"
#include "views/ImageButton.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <cmath>

namespace cellsonify {

namespace {

constexpr uint32_t kRed = 0xFFFF0000;
constexpr uint32_t kBlack = 0xFF000000;
const QColor kFormGrey(0xC0, 0xC0, 0xC0);

// Where each control's layout is kept, so a zoom can place it again.
const char* const kLayoutTwips = "layoutTwips";  // QRect in twips
const char* const kLayoutFont = "layoutFont";    // QFont at 100 %

QFont arial(double points) {
    QFont f;
    f.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    f.setPointSizeF(points);
    return f;
}

void setLayoutFont(QWidget& w, const QFont& font) {
    w.setProperty(kLayoutFont, font);
    w.setFont(font);
}

QRect zoomedTwipsRect(const QRect& twips, double zoom) {
    if (zoom == 1.0) return twipsRect(twips.x(), twips.y(), twips.width(), twips.height());
    auto z = [zoom](int v) { return int(std::lround(v * zoom)); };
    // Right and bottom edges from the zoomed edges, not the zoomed size, so neighbours stay flush.
    const QRect r = twipsRect(z(twips.x()), z(twips.y()), 0, 0);
    return QRect(r.topLeft(), QPoint(twipsToPixels(z(twips.x() + twips.width())) - 1,
                                     twipsToPixels(z(twips.y() + twips.height())) - 1));
}

template <class W>
W* place(W* w, const char* name, int left, int top, int width, int height) {
    w->setObjectName(QString::fromLatin1(name));
    w->setProperty(kLayoutTwips, QRect(left, top, width, height));
    w->setGeometry(twipsRect(left, top, width, height));
    return w;
}

CanvasView* canvasView(QWidget& form, const char* name, int left, int top, int width, int height) {
    auto* box = new CanvasView(&form);
    box->setObjectName(QString::fromLatin1(name));
    box->setProperty(kLayoutTwips, QRect(left, top, width, height));
    box->setBoxGeometry(twipsRect(left, top, width, height));
    return box;
}

QLabel* label(QWidget& parent, const char* name, const QRect& twips, const QString& text, Qt::Alignment align) {
    auto* l = place(new QLabel(text, &parent), name, twips.x(), twips.y(), twips.width(), twips.height());
    l->setAlignment(align | Qt::AlignTop);
    setLayoutFont(*l, arial(8.25));
    l->setAutoFillBackground(true);
    QPalette p = l->palette();
    p.setColor(QPalette::Window, kFormGrey);
    l->setPalette(p);
    l->lower();  // labels sit on the window's background, beneath every other control
    return l;
}

QRadioButton* option(QWidget& parent, const char* name, const QRect& twips, const QString& text) {
    return place(new OptionButton(text, &parent), name, twips.x(), twips.y(), twips.width(), twips.height());
}

// A raised face in the window's own light grey, not the style's lighter gradient.
// Each edge has its own colour: a one-colour "outset" border in the face's grey
// leaves the lower and right edges the colour of the face, so they vanish.
QString loadButtonStyle(double zoom) {
    const int edge = std::max(1, int(std::lround(2 * zoom)));
    return QStringLiteral("QPushButton { background-color: #c0c0c0; border: %1px solid;"
                          " border-color: #ffffff #404040 #404040 #ffffff; }"
                          "QPushButton:pressed { border-color: #404040 #ffffff #ffffff #404040; }")
        .arg(edge);
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
    c.raster = canvasView(form, "Raster", 360, 120, 7455, 2580);
    c.raster->setScale(0, 0, kRasterStartScaleWidth, kRasterStartScaleHeight);
    c.raster->setAcceptsFiles(true);
    c.frameStrip = canvasView(form, "Indicator", 360, 3000, 7455, 135);
    c.frameStrip->setScale(0, 0, kFrameStripStartScaleWidth, kFrameStripScaleHeight);
    c.cellMap = canvasView(form, "XYLoc", 2280, 3480, 3495, 2535);
    c.cellMap->setScale(0, 0, 1, 1);
    c.cellMap->setAcceptsFiles(true);
    c.keyboard = canvasView(form, "KeyB", 240, 6120, 7635, 255);
    c.keyboard->setScale(0, 0, kKeyboardScaleWidth, kKeyboardScaleHeight);
    addCursors(c);

    c.fileOpen = place(new QPushButton(QStringLiteral("Load Data File"), &form), "fileopen", 360, 3360, 1455, 495);
    setLayoutFont(*c.fileOpen, arial(9));
    c.fileOpen->setStyleSheet(loadButtonStyle(1.0));
    c.back = place(new ImageButton(&form), "BBK", 360, 4200, 495, 495);
    c.back->setToolTip(QStringLiteral("Back to the start: frame 0 (Home)"));
    c.play = place(new ImageButton(&form), "PLAYK", 1080, 4200, 495, 495);
    c.play->setToolTip(QStringLiteral("Play from the current frame, looping at the end (Space)"));
    c.stop = place(new ImageButton(&form), "STOPK", 1080, 4200, 495, 495);
    c.stop->setToolTip(QStringLiteral("Stop at the current frame (Space)"));
    c.stop->raise();
    c.stop->hide();
    c.speed = place(new QLineEdit(QStringLiteral("50"), &form), "SPEED", 360, 4800, 495, 270);
    c.speed->setToolTip(QStringLiteral("Speed: milliseconds per frame; larger plays slower, 0 stops"));
    setLayoutFont(*label(form, "Label5", QRect(960, 4860, 1095, 255), QStringLiteral("msec/frame"), Qt::AlignLeft),
                  arial(9));

    c.instruments = place(new QGroupBox(&form), "Frame1", 6240, 3360, 1575, 2655);
    static constexpr const char* kInstrumentNames[7] = {"Piano", "Celesta", "Music Box", "Synth Bass",
                                                        "Ice Rain", "Brightness", "Tinkle Bell"};
    static constexpr int kInstrumentRects[7][4] = {{120, 240, 1335, 255}, {120, 600, 1215, 255},
                                                   {120, 960, 1215, 180}, {120, 1320, 1215, 180},
                                                   {120, 1660, 1215, 255}, {120, 2040, 1215, 180},
                                                   {120, 2360, 1215, 180}};
    for (int i = 0; i < 7; ++i) {
        const QByteArray name = "Option" + QByteArray::number(i + 1);
        const auto& r = kInstrumentRects[i];
        c.instrument[i] = option(*c.instruments, name.constData(), QRect(r[0], r[1], r[2], r[3]),
                                 QString::fromLatin1(kInstrumentNames[i]));
    }
    c.instrument[0]->setChecked(true);

    c.soundSwitch = place(new QGroupBox(&form), "Frame2", 360, 5160, 1335, 855);
    setLayoutFont(*c.soundSwitch, arial(8.25));
    c.soundOn = option(*c.soundSwitch, "Option9", QRect(120, 140, 1190, 375), QStringLiteral("Sound ON"));
    c.soundOff = option(*c.soundSwitch, "Option8", QRect(120, 490, 1190, 255), QStringLiteral("Sound OFF"));
    c.soundOff->setChecked(true);

    c.cellCount = label(form, "Label3", QRect(-60, 15, 315, 255), QStringLiteral("1"), Qt::AlignRight);
    c.frameCount = label(form, "Label4", QRect(7380, 2775, 495, 210), QStringLiteral("1"), Qt::AlignRight);
    label(form, "Label1_1", QRect(-120, 2595, 375, 255), QStringLiteral(" 1"), Qt::AlignRight);
    label(form, "Label1_4", QRect(330, 2775, 375, 255), QStringLiteral("0"), Qt::AlignLeft);
    label(form, "Label1_5", QRect(3720, 2715, 615, 255), QStringLiteral("Frame #"), Qt::AlignHCenter);
    label(form, "Label2", QRect(2280, 3240, 855, 255), QStringLiteral("Cell Map"), Qt::AlignLeft);
    c.cellAxis = place(new QLabel(&form), "Image1", 30, 1080, 210, 480);
    c.cellAxis->lower();
    zoomMainWindowControls(c, form, 1.0);

    QWidget* order[] = {c.raster, c.cellMap, c.keyboard, c.frameStrip, c.play, c.stop, c.back, c.speed, c.fileOpen,
                        c.instrument[0], c.instrument[1], c.instrument[2], c.instrument[3], c.instrument[4],
                        c.instrument[5], c.instrument[6], c.soundOff, c.soundOn};
    for (std::size_t i = 1; i < std::size(order); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
    return c;
}

void zoomMainWindowControls(MainWindowControls& c, QWidget& form, double zoom) {
    // Fonts are sized in layout pixels (a point is 4/3 of one), whatever the
    // screen's font resolution: the layout's rectangles are in pixels too, so
    // a larger system font cannot outgrow them; the zoom enlarges both.
    const double points = zoom * 96.0 / std::max(1, form.logicalDpiY());
    auto scaledFont = [points](const QFont& layout) {
        QFont f = layout;
        f.setPointSizeF(layout.pointSizeF() * points);
        return f;
    };
    if (const QVariant own = form.property(kLayoutFont); own.isValid()) form.setFont(scaledFont(own.value<QFont>()));
    for (QWidget* w : form.findChildren<QWidget*>()) {
        const QVariant twips = w->property(kLayoutTwips);
        if (!twips.isValid()) continue;
        const QRect at = zoomedTwipsRect(twips.toRect(), zoom);
        if (auto* view = qobject_cast<CanvasView*>(w)) view->setBoxGeometry(at);
        else w->setGeometry(at);
        const QVariant font = w->property(kLayoutFont);
        if (font.isValid()) w->setFont(scaledFont(font.value<QFont>()));
    }
    c.fileOpen->setStyleSheet(loadButtonStyle(zoom));
    if (!c.optionStyle) {
        c.optionStyle = new ZoomedStyle;
        c.optionStyle->setParent(&form);
        for (QRadioButton* o : form.findChildren<QRadioButton*>()) o->setStyle(c.optionStyle);
    }
    c.optionStyle->setZoom(zoom);
    c.back->setPicture(backButtonArt(zoom));
    c.play->setPicture(playButtonArt(zoom));
    c.stop->setPicture(stopButtonArt(zoom));
    c.cellAxis->setPixmap(cellAxisArt(zoom));
    for (QLabel* l : form.findChildren<QLabel*>())
        if (!l->text().isEmpty()) fitLabel(*l, zoom);
}

void setFormLayoutFont(QWidget& form, const QFont& font) { setLayoutFont(form, font); }

void fitLabel(QLabel& label, double zoom) {
    const QVariant twips = label.property(kLayoutTwips);
    if (!twips.isValid()) return;
    QRect at = zoomedTwipsRect(twips.toRect(), zoom);
    const int needed = label.fontMetrics().horizontalAdvance(label.text()) + 1;
    const int more = needed - at.width();
    if (more <= 0) {
        label.setGeometry(at);
        return;
    }
    // Grown on the side its text leaves free: right-aligned to the left,
    // centred both ways, left-aligned to the right; never past the window's
    // left edge (the cell count sits at the very edge).
    const Qt::Alignment align = label.alignment();
    if (align & Qt::AlignRight) at.setLeft(at.left() - more);
    else if (align & Qt::AlignHCenter) at.adjust(-more / 2, 0, more - more / 2, 0);
    else at.setRight(at.right() + more);
    if (at.left() < 0) at.moveLeft(0);
    label.setGeometry(at);
}

}  // namespace cellsonify
