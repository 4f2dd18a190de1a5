#include "app/CellChooser.h"

#include "app/CellMarks.h"
#include "playback/CellTips.h"
#include "app/MainWindow.h"
#include "model/CellOrdering.h"
#include "playback/PlaybackController.h"
#include "views/CanvasView.h"

#include <QApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QRubberBand>
#include <QToolTip>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <numeric>

namespace cellsonify {

namespace {
// How far from a dot's centre a click or hover still finds it, in pixels.
constexpr double kReach = 6.0;

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

long long roiNumber(std::string_view text, std::string_view part) {
    text = trimmed(text);
    long long n = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || n < 0)
        throw CellNumbersError("\"" + std::string(part) + "\" is not a ROI number or a range such as 40-45");
    return n;
}

// The cells whose source ROI numbers `list` gives ("12, 40-45"): a ROI named
// alone must be a cell; a range takes the cells inside it, at least one.
std::vector<int> cellsOfRois(std::string_view list, const std::vector<long long>& sourceRoi) {
    std::vector<bool> picked(sourceRoi.size());
    while (true) {
        const std::size_t comma = list.find(',');
        const std::string_view part = trimmed(list.substr(0, comma));
        const std::size_t dash = part.find('-');
        const long long low = roiNumber(part.substr(0, dash), part);
        const long long high = dash == std::string_view::npos ? low : roiNumber(part.substr(dash + 1), part);
        if (high < low) throw CellNumbersError("ROI range " + std::string(part) + " is upside down");
        bool found = false;
        for (std::size_t cell = 1; cell < sourceRoi.size(); ++cell)
            if (sourceRoi[cell] >= low && sourceRoi[cell] <= high) picked[cell] = found = true;
        if (!found)
            throw CellNumbersError("no cell is ROI " + std::string(part) +
                                   " of the source (a rejected ROI is not a cell)");
        if (comma == std::string_view::npos) break;
        list.remove_prefix(comma + 1);
    }
    std::vector<int> cells;
    for (std::size_t cell = 1; cell < picked.size(); ++cell)
        if (picked[cell]) cells.push_back(static_cast<int>(cell));
    return cells;
}

}  // namespace

CellChooser::CellChooser(MainWindow& window) : QObject(&window), window_(window) {
    setObjectName(QStringLiteral("cellChooser"));
    const auto model = [&window]() -> const CellModel& { return window.model(); };
    mapMarks_ = new MapMarks(window.cellMap(), model);
    rowMarks_ = new RowMarks(window.raster(), model);
    band_ = new QRubberBand(QRubberBand::Rectangle, &window.cellMap());
    window.cellMap().installEventFilter(this);
    window.raster().installEventFilter(this);
    connect(&window, &MainWindow::dataLoaded, this, &CellChooser::refreshMarks);
    connect(&window, &MainWindow::rasterWindowChanged, this, &CellChooser::refreshMarks);
}

const CellSelection& CellChooser::selection() const { return window_.model().Selection; }

void CellChooser::apply(const CellSelection& selection) {
    window_.playback().setSelection(selection);
    refreshMarks();
    emit selectionChanged();
}

void CellChooser::pick(const std::vector<int>& cells) {
    CellSelection next;
    next.hear = selection().hear;
    for (const int cell : cells)
        if (cell >= 1 && cell <= window_.model().CellCount) next.select(cell, true);
    apply(next);
}

std::optional<std::string> CellChooser::pickNumbers(const std::string& text) {
    try {
        const std::string_view t = trimmed(text);
        const bool rois = t.size() >= 3 && (t[0] == 'r' || t[0] == 'R') && (t[1] == 'o' || t[1] == 'O') &&
                          (t[2] == 'i' || t[2] == 'I');
        if (rois && window_.model().SourceRoi.empty())
            return std::string("ROI numbers belong to an imported recording; this one has cell numbers only");
        if (rois) {
            std::string_view list = t.substr(3);
            if (!list.empty() && (list.front() == 's' || list.front() == 'S')) list.remove_prefix(1);  // "rois"
            pick(cellsOfRois(list, window_.model().SourceRoi));
            return std::nullopt;
        }
        pick(parseCellNumbers(text, window_.model().CellCount));
        return std::nullopt;
    } catch (const CellNumbersError& e) {
        return std::string(e.what());
    }
}

void CellChooser::pickMostActive(int n) {
    const CellModel& model = window_.model();
    const std::vector<int> counts =
        eventCounts(model.Activity, model.CellCount, std::min<int>(model.FrameCount, model.Activity.lastFrame()));
    std::vector<int> cells(static_cast<std::size_t>(model.CellCount));
    std::iota(cells.begin(), cells.end(), 1);
    std::stable_sort(cells.begin(), cells.end(), [&](int l, int r) { return counts[l] > counts[r]; });
    cells.resize(std::min<std::size_t>(cells.size(), static_cast<std::size_t>(std::max(n, 0))));
    pick(cells);
}

void CellChooser::setHearMode(HearMode mode) {
    CellSelection next = selection();
    next.hear = mode;
    apply(next);
}

void CellChooser::refreshMarks() {
    mapMarks_->setGeometry(CanvasView::kBorder, CanvasView::kBorder, window_.cellMap().clientSize().width(),
                           window_.cellMap().clientSize().height());
    rowMarks_->place();
    mapMarks_->update();
    rowMarks_->update();
}

QPointF CellChooser::dotCentre(int cell) const {
    const CellModel& model = window_.model();
    const CellPosition at = cell < static_cast<int>(model.CellPos.size()) ? model.CellPos[cell] : CellPosition{};
    const CanvasView& map = window_.cellMap();
    return {map.toPixelX(at.X) + CanvasView::kBorder, map.toPixelY(at.Y) + CanvasView::kBorder};
}

const MapDotIndex& CellChooser::dots() const {
    const CellModel& model = window_.model();
    const CanvasView& map = window_.cellMap();
    const QSize size = map.clientSize();
    if (dotsBuilt_ && dotsOf_.revision == model.Revision && dotsOf_.size == size && dotsOf_.scale == map.scale())
        return dots_;
    std::vector<QPointF> centres(static_cast<std::size_t>(std::max<int>(model.CellCount, 0)) + 1);
    for (int cell = 1; cell <= model.CellCount; ++cell) centres[static_cast<std::size_t>(cell)] = dotCentre(cell);
    dots_ = MapDotIndex(std::move(centres));
    dotsOf_.revision = model.Revision;
    dotsOf_.size = size;
    dotsOf_.scale = map.scale();
    dotsBuilt_ = true;
    return dots_;
}

std::optional<int> CellChooser::cellAtMap(QPoint mapPoint) const {
    const QPointF p = QPointF(mapPoint) + QPointF(0.5, 0.5);  // the pixel's centre
    const int cell = dots().nearest(p, kReach);
    return cell > 0 ? std::optional<int>(cell) : std::nullopt;
}

std::optional<int> CellChooser::cellAtRaster(QPoint rasterPoint) const {
    const CanvasView& raster = window_.raster();
    const int n = window_.model().CellCount;
    const int h = raster.clientSize().height();
    const double y = rasterPoint.y() - CanvasView::kBorder + 0.5;
    if (n < 1 || h < 1 || y < 0 || y >= h) return std::nullopt;
    const UserScale& s = raster.scale();
    // Row r (its place in the row order) spans user y n - r .. n - r + 1.
    const int place = n - static_cast<int>(std::floor(s.top + y * s.height / h));
    if (place < 1 || place > n) return std::nullopt;
    return window_.model().Rows.cellAt(place);
}

std::vector<int> CellChooser::cellsInside(const QRect& rect) const {
    return dots().inside(QRectF(rect));
}

bool CellChooser::eventFilter(QObject* watched, QEvent* event) {
    // Only the events below reach the window: the views also see events while
    // the window is being taken down, when it must not be asked anything.
    switch (event->type()) {
    case QEvent::ToolTip:
        return showTip(watched, event);
    case QEvent::Resize:
    case QEvent::Move:
        refreshMarks();  // a zoom moves and resizes the views: the marks follow
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
        if (watched == &window_.cellMap()) mapMouse(event);
        break;
    default:
        break;
    }
    return false;  // the views still see every event as before
}

bool CellChooser::showTip(QObject* watched, QEvent* event) {
    const auto* help = static_cast<QHelpEvent*>(event);
    const std::optional<int> cell =
        watched == &window_.cellMap() ? cellAtMap(help->pos()) : cellAtRaster(help->pos());
    if (!cell) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    const PlaybackController& playback = window_.playback();
    QToolTip::showText(help->globalPos(), QString::fromStdString(cellTipText(playback.model(), playback.voices(), *cell, window_.sourcePixels())),
                       static_cast<QWidget*>(watched));
    return true;
}

bool CellChooser::mapMouse(QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease)
        return false;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const QPoint at = mouse->position().toPoint();
    if (type == QEvent::MouseButtonPress) {
        if (mouse->button() != Qt::LeftButton) return false;
        pressedAt_ = at;
        dragging_ = false;
        return false;
    }
    if (!pressedAt_) return false;
    const QRect rect = QRect(*pressedAt_, at).normalized();
    if (type == QEvent::MouseMove) {
        if (!dragging_ && (at - *pressedAt_).manhattanLength() >= QApplication::startDragDistance()) dragging_ = true;
        if (dragging_) {
            band_->setGeometry(rect);
            band_->show();
        }
        return false;
    }
    if (mouse->button() != Qt::LeftButton) return false;
    const bool adding = mouse->modifiers().testFlag(Qt::ShiftModifier);
    band_->hide();
    pressedAt_.reset();
    if (dragging_) {
        dragging_ = false;
        std::vector<int> cells = cellsInside(rect);
        if (adding) {
            const std::vector<int> before = selection().cells();
            cells.insert(cells.end(), before.begin(), before.end());
        }
        pick(cells);
        return false;
    }
    const std::optional<int> cell = cellAtMap(at);
    if (adding) {
        if (!cell) return false;
        CellSelection next = selection();
        next.toggle(*cell);
        apply(next);
    } else {
        pick(cell ? std::vector<int>{*cell} : std::vector<int>{});
    }
    return false;
}

}  // namespace cellsonify
