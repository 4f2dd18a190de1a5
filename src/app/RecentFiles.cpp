#include "app/RecentFiles.h"

#include <QSettings>

namespace cellsonify {

namespace {
const QString kKey = QStringLiteral("recent/files");
}  // namespace

QStringList RecentFiles::paths() const {
    QStringList list = settings_.value(kKey).toStringList();
    list.removeAll(QString());
    return list.mid(0, kMost);
}

void RecentFiles::add(const QString& path) {
    if (path.isEmpty()) return;
    QStringList list = paths();
    list.removeAll(path);
    list.prepend(path);
    store(list.mid(0, kMost));
}

void RecentFiles::remove(const QString& path) {
    QStringList list = paths();
    list.removeAll(path);
    store(list);
}

void RecentFiles::store(const QStringList& paths) {
    settings_.setValue(kKey, paths);
    settings_.sync();
}

}  // namespace cellsonify
