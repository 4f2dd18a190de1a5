#include "app/RecentFiles.h"

#include <QFileInfo>
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

QString RecentFiles::canonical(const QString& path) {
    if (path.isEmpty()) return path;
    const QFileInfo info(path);
    const QString resolved = info.canonicalFilePath();
    return resolved.isEmpty() ? info.absoluteFilePath() : resolved;
}

void RecentFiles::add(const QString& path) {
    if (path.isEmpty()) return;
    const QString entry = canonical(path);
    QStringList list = paths();
    list.removeAll(entry);
    list.prepend(entry);
    store(list.mid(0, kMost));
}

void RecentFiles::remove(const QString& path) {
    QStringList list = paths();
    list.removeAll(path);
    list.removeAll(canonical(path));
    store(list);
}

void RecentFiles::store(const QStringList& paths) {
    settings_.setValue(kKey, paths);
    settings_.sync();
}

}  // namespace cellsonify
