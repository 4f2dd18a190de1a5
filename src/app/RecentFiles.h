#pragma once

#include <QStringList>

class QSettings;

namespace cellsonify {

// The files and folders opened last, newest first, kept in the settings so
// they survive a restart (File > Open Recent).
class RecentFiles {
public:
    static constexpr int kMost = 8;

    // Reads and writes the list in `settings`, which must outlive this.
    explicit RecentFiles(QSettings& settings) : settings_(settings) {}

    QStringList paths() const;
    // Puts `path` first, dropping an older entry for it and any beyond kMost.
    void add(const QString& path);
    void remove(const QString& path);

private:
    void store(const QStringList& paths);
    QSettings& settings_;
};

}  // namespace cellsonify
