#include "face/RasterWindow.h"

#include "model/CellModel.h"

#include <algorithm>
#include <cmath>

namespace cellsonify {

namespace rasterwindow {

namespace {

// One axis of the window: `start` .. `start + extent` within 0 .. total.
struct Span {
    double start, extent;
};

Span fitted(Span s, double total, double least) {
    if (!(total > 0)) return {0, total};
    s.extent = std::clamp(s.extent, std::min(least, total), total);
    s.start = std::clamp(s.start, 0.0, total - s.extent);
    return s;
}

Span zoomed(Span s, double factor, double anchor, double total, double least) {
    if (!(factor > 0) || !std::isfinite(factor)) return fitted(s, total, least);
    const double extent = std::clamp(s.extent / factor, std::min(least, total), total);
    // The anchor keeps its share of the way across.
    const double share = s.extent > 0 ? (anchor - s.start) / s.extent : 0;
    return fitted({anchor - share * extent, extent}, total, least);
}

}  // namespace

UserScale whole(int frameCount, int cellCount) { return {0, 0, double(frameCount), double(cellCount)}; }

bool isWhole(const UserScale& w, int frameCount, int cellCount) { return w == whole(frameCount, cellCount); }

UserScale zoomFrames(const UserScale& w, double factor, double anchor, int frameCount) {
    const Span s = zoomed({w.left, w.width}, factor, anchor, frameCount, kMinFrames);
    return {s.start, w.top, s.extent, w.height};
}

UserScale zoomRows(const UserScale& w, double factor, double anchor, int cellCount) {
    const Span s = zoomed({w.top, w.height}, factor, anchor, cellCount, 1);
    return {w.left, s.start, w.width, s.extent};
}

UserScale scrolled(const UserScale& w, double frames, double rows, int frameCount, int cellCount) {
    const Span across = fitted({w.left + frames, w.width}, frameCount, kMinFrames);
    const Span down = fitted({w.top + rows, w.height}, cellCount, 1);
    return {across.start, down.start, across.extent, down.extent};
}

UserScale following(const UserScale& w, double frame, int frameCount) {
    if (frame >= w.left && frame < w.left + w.width) return w;
    const Span s = fitted({frame - w.width / 10, w.width}, frameCount, kMinFrames);
    return {s.start, w.top, s.extent, w.height};
}

}  // namespace rasterwindow

namespace {

QString frameText(double frame, double rate) {
    const QString number = QString::number(std::llround(frame));
    if (!(rate > 0)) return number;
    return QStringLiteral("%1 (%2 s)").arg(number).arg(std::llround(frame) / rate, 0, 'f', 1);
}

}  // namespace

RasterAxisLabels rasterAxisLabels(const CellModel& m, const UserScale& w) {
    if (rasterwindow::isWhole(w, m.FrameCount, m.CellCount))
        return {QStringLiteral("0"), QString::number(m.FrameCount), QStringLiteral(" 1"), QString::number(m.CellCount)};
    // Place p spans user y n - p .. n - p + 1: the top edge shows place n - top.
    const int n = m.CellCount;
    const long long topRow = std::clamp<long long>(n - std::llround(w.top), 1, std::max(n, 1));
    const long long bottomRow = std::clamp<long long>(n - std::llround(w.top + w.height) + 1, 1, topRow);
    return {frameText(w.left, m.FrameRate), frameText(w.left + w.width, m.FrameRate),
            QStringLiteral(" %1").arg(bottomRow), QString::number(topRow)};
}

}  // namespace cellsonify
