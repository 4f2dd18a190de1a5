#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWidget>

namespace uievents {

inline void press(QWidget& w, QPointF at, Qt::MouseButton button = Qt::LeftButton) {
    QMouseEvent e(QEvent::MouseButtonPress, at, w.mapToGlobal(at), button, button, Qt::NoModifier);
    QApplication::sendEvent(&w, &e);
}

inline void release(QWidget& w, QPointF at, Qt::MouseButton button = Qt::LeftButton) {
    QMouseEvent e(QEvent::MouseButtonRelease, at, w.mapToGlobal(at), button, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &e);
}

inline void click(QWidget& w, QPointF at = {5, 5}) {
    press(w, at);
    release(w, at);
}

// Drags `urls` (and/or `text`) over `w` and lets go, as a file manager would.
inline void drop(QWidget& w, const QList<QUrl>& urls, const QString& text = {}) {
    QMimeData data;
    if (!urls.isEmpty()) data.setUrls(urls);
    if (!text.isEmpty()) data.setText(text);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &enter);
    QDragMoveEvent move(QPoint(6, 6), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &move);
    QDropEvent release(QPointF(6, 6), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &release);
}

inline QList<QUrl> files(std::initializer_list<const char*> paths) {
    QList<QUrl> urls;
    for (const char* p : paths) urls.push_back(QUrl::fromLocalFile(QString::fromUtf8(p)));
    return urls;
}

// Types `text` into `w` key by key.
inline void type(QWidget& w, const QString& text) {
    for (QChar c : text) {
        QKeyEvent down(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(&w, &down);
        QKeyEvent up(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(&w, &up);
    }
}

// What a widget shows now (after pending repaints), in RGB32.
inline QImage shown(QWidget& w) {
    QApplication::processEvents();
    return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The client area of a bordered view (1 pixel border).
inline QImage shownClient(QWidget& w) { return shown(w).copy(1, 1, w.width() - 2, w.height() - 2); }

}  // namespace uievents
