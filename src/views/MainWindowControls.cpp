#include "views/MainWindowControls.h"

#include "drawing/KeyGeometry.h"
#include "face/Artwork.h"
#include "face/Twips.h"
#include "views/CanvasView.h"
#include "views/ImageButton.h"
#include "views/OptionButton.h"
#include "views/ZoomedStyle.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <cmath>

namespace cellsonify {

namespace {

// Where each control's layout is kept, so a zoom can place it again.
const char* const kLayoutTwips = "layoutTwips";  // QRect in twips
const char* const kLayoutFont = "layoutFont";    // QFont at 100 %
const char* const kTableTwips = "tableTwips";    // QRect in twips as the layout table has it, before strips move it

void setLayoutFont(QWidget& w, const QFont& font) {
    w.setProperty(kLayoutFont, font);
    w.setFont(font);
}

TwipsRect twipsOf(const QRect& r) { return {r.x(), r.y(), r.width(), r.height()}; }

template <class W>
W* place(W* w, const ControlPlace& at) {
    w->setObjectName(QString::fromLatin1(at.name));
    const TwipsRect& t = at.twips;
    w->setProperty(kLayoutTwips, QRect(t.left, t.top, t.width, t.height));
    w->setGeometry(zoomedTwipsRect(t, 1.0));
    return w;
}

CanvasView* canvasView(QWidget& form, const ControlPlace& at) {
    auto* box = place(new CanvasView(&form), at);
    box->setBoxGeometry(zoomedTwipsRect(at.twips, 1.0));
    return box;
}

QLabel* label(QWidget& parent, const LabelPlace& at) {
    auto* l = place(new QLabel(QString::fromLatin1(at.text), &parent), ControlPlace{at.name, at.twips});
    l->setAlignment(at.align | Qt::AlignTop);
    setLayoutFont(*l, layoutFont(at.font));
    l->setAutoFillBackground(true);
    QPalette p = l->palette();
    p.setColor(QPalette::Window, QColor::fromRgb(kFormGreyRgb));
    l->setPalette(p);
    l->lower();  // labels sit on the window's background, beneath every other control
    return l;
}

QRadioButton* option(QWidget& parent, const OptionPlace& at) {
    return place(new OptionButton(QString::fromLatin1(at.text), &parent), ControlPlace{at.name, at.twips});
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

}  // namespace

FaceViews MainWindowControls::views() const {
    FaceViews v{raster->box(), frameStrip->box(), cellMap->box(), keyboard->box(), {}};
    for (std::size_t i = 0; i < strips.size(); ++i) v.strips.push_back({faceStrips()[i].view, strips[i]->box()});
    return v;
}

MainWindowControls buildMainWindowControls(QWidget& form) {
    MainWindowControls c;
    c.raster = canvasView(form, layout::kRaster);
    c.raster->setAcceptsFiles(true);
    c.frameStrip = canvasView(form, layout::kFrameStrip);
    c.cellMap = canvasView(form, layout::kCellMap);
    c.cellMap->setAcceptsFiles(true);
    c.keyboard = canvasView(form, layout::kKeyboard);
    for (const FaceStrip& strip : faceStrips()) {
        c.strips.push_back(canvasView(form, ControlPlace{strip.name, strip.twips}));
        c.strips.back()->hide();
    }
    setUpFaceViews(c.views());

    c.fileOpen = place(new QPushButton(QString::fromLatin1(layout::kLoadButtonText), &form), layout::kLoadButton);
    setLayoutFont(*c.fileOpen, layoutFont(layout::kLoadButtonFont));
    c.fileOpen->setStyleSheet(loadButtonStyle(1.0));
    c.back = place(new ImageButton(&form), layout::kBack);
    c.back->setToolTip(QStringLiteral("Back to the start: frame 0 (Home)"));
    c.play = place(new ImageButton(&form), layout::kPlay);
    c.play->setToolTip(QStringLiteral("Play from the current frame, looping at the end (Space)"));
    c.stop = place(new ImageButton(&form), layout::kStop);
    c.stop->setToolTip(QStringLiteral("Stop at the current frame (Space)"));
    c.stop->raise();
    c.stop->hide();
    c.speed = place(new QLineEdit(QString::fromLatin1(layout::kSpeedStartText), &form), layout::kSpeed);
    c.speed->setToolTip(QStringLiteral("Speed: milliseconds per frame; larger plays slower, 0 stops"));

    c.instruments = place(new QGroupBox(&form), layout::kInstrumentFrame);
    for (std::size_t i = 0; i < c.instrument.size(); ++i)
        c.instrument[i] = option(*c.instruments, layout::kInstrumentOptions[i]);
    c.instrument[0]->setChecked(true);

    c.soundSwitch = place(new QGroupBox(&form), layout::kSoundFrame);
    setLayoutFont(*c.soundSwitch, layoutFont(layout::kSoundFont));
    c.soundOn = option(*c.soundSwitch, layout::kSoundOn);
    c.soundOff = option(*c.soundSwitch, layout::kSoundOff);
    c.soundOff->setChecked(true);

    for (std::size_t i = 0; i < layout::kLabels.size(); ++i) {
        QLabel* l = label(form, layout::kLabels[i]);
        if (i == layout::kCellCountLabel) c.cellCount = l;
        if (i == layout::kFrameCountLabel) c.frameCount = l;
        if (i == layout::kBottomRowLabel) c.bottomRow = l;
        if (i == layout::kFirstFrameLabel) c.firstFrame = l;
    }
    c.cellAxis = place(new QLabel(&form), layout::kCellAxis);
    c.cellAxis->lower();
    zoomMainWindowControls(c, form, 1.0);

    QWidget* order[] = {c.raster, c.cellMap, c.keyboard, c.frameStrip, c.play, c.stop, c.back, c.speed, c.fileOpen,
                        c.instrument[0], c.instrument[1], c.instrument[2], c.instrument[3], c.instrument[4],
                        c.instrument[5], c.instrument[6], c.soundOff, c.soundOn};
    for (std::size_t i = 1; i < std::size(order); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
    return c;
}

void zoomMainWindowControls(MainWindowControls& c, QWidget& form, double zoom) {
    const int dpi = form.logicalDpiY();
    if (const QVariant own = form.property(kLayoutFont); own.isValid())
        form.setFont(zoomedFont(own.value<QFont>(), zoom, dpi));
    for (QWidget* w : form.findChildren<QWidget*>()) {
        const QVariant twips = w->property(kLayoutTwips);
        if (!twips.isValid()) continue;
        const QRect at = zoomedTwipsRect(twipsOf(twips.toRect()), zoom);
        if (auto* view = qobject_cast<CanvasView*>(w)) view->setBoxGeometry(at);
        else w->setGeometry(at);
        const QVariant font = w->property(kLayoutFont);
        if (font.isValid()) w->setFont(zoomedFont(font.value<QFont>(), zoom, dpi));
    }
    c.fileOpen->setStyleSheet(loadButtonStyle(zoom));
    if (!c.optionStyle) {
        c.optionStyle = new ZoomedStyle;
        c.optionStyle->setParent(&form);
        for (QRadioButton* o : form.findChildren<QRadioButton*>()) o->setStyle(c.optionStyle);
    }
    c.optionStyle->setZoom(zoom);
    // Drawn at the screen's resolution, so Qt's own scaling shows them sharp.
    const double ratio = form.devicePixelRatioF();
    const auto atScreen = [&](QPixmap (*art)(double)) {
        QPixmap picture = art(zoom * ratio);
        picture.setDevicePixelRatio(ratio);
        return picture;
    };
    c.back->setPicture(atScreen(backButtonArt));
    c.play->setPicture(atScreen(playButtonArt));
    c.stop->setPicture(atScreen(stopButtonArt));
    c.cellAxis->setPixmap(atScreen(cellAxisArt));
    for (QLabel* l : form.findChildren<QLabel*>())
        if (!l->text().isEmpty()) fitLabel(*l, zoom);
}

bool showStrips(MainWindowControls& c, QWidget& form, const StripsShown& shown, double zoom) {
    if (shown == c.stripsShown) return false;
    c.stripsShown = shown;
    for (QWidget* w : form.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QVariant twips = w->property(kLayoutTwips);
        if (!twips.isValid()) continue;
        if (!w->property(kTableTwips).isValid()) w->setProperty(kTableTwips, twips);
        const auto strip = std::find(c.strips.begin(), c.strips.end(), w);
        const TwipsRect placed = strip != c.strips.end()
                                     ? stripTwips(static_cast<std::size_t>(strip - c.strips.begin()), shown)
                                     : placedTwips(twipsOf(w->property(kTableTwips).toRect()), shown);
        w->setProperty(kLayoutTwips, QRect(placed.left, placed.top, placed.width, placed.height));
    }
    for (std::size_t i = 0; i < c.strips.size(); ++i) c.strips[i]->setVisible(shown[i]);
    zoomMainWindowControls(c, form, zoom);
    return true;
}

void setFormLayoutFont(QWidget& form, const QFont& font) { setLayoutFont(form, font); }

void fitLabel(QLabel& label, double zoom) {
    const QVariant twips = label.property(kLayoutTwips);
    if (!twips.isValid()) return;
    const QRect at = zoomedTwipsRect(twipsOf(twips.toRect()), zoom);
    label.setGeometry(fittedLabelRect(at, label.fontMetrics().horizontalAdvance(label.text()), label.alignment()));
}

}  // namespace cellsonify
