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
    // Puts `path` first as its absolute, canonical form (so an entry opens from
    // any working directory and one file is listed once), dropping an older
    // entry for it and any beyond kMost.
    void add(const QString& path);
    // `path` made absolute with links and "." / ".." resolved; only made
    // absolute when it does not exist (any more).
    static QString canonical(const QString& path);
    void remove(const QString& path);

private:
    void store(const QStringList& paths);
    QSettings& settings_;
};

}  // namespace cellsonify
