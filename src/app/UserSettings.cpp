#include "app/UserSettings.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace cellsonify {

namespace {

const QString kName = QStringLiteral("cellsonify");

// The files QSettings reads for organisation and application "cellsonify":
// the user's and then the system's, each for the application and then for
// the organisation.
QStringList settingsFiles() {
    QStringList folders{QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)};
    QString system = qEnvironmentVariable("XDG_CONFIG_DIRS");
    if (system.isEmpty()) system = QStringLiteral("/etc/xdg");
    folders += system.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    QStringList files;
    for (const QString& folder : folders) {
        files += folder + QLatin1Char('/') + kName + QLatin1Char('/') + kName + QStringLiteral(".conf");
        files += folder + QLatin1Char('/') + kName + QStringLiteral(".conf");
    }
    return files;
}

// The first of them that exists and is not a regular file (links followed).
QString blockingSettingsFile() {
    for (const QString& file : settingsFiles()) {
        struct stat info {};
        if (::stat(QFile::encodeName(file).constData(), &info) == 0 && !S_ISREG(info.st_mode) &&
            !S_ISDIR(info.st_mode))
            return file;
    }
    return {};
}

}  // namespace

std::unique_ptr<QSettings> openUserSettings(QString* warning) {
    const QString blocking = blockingSettingsFile();
    if (blocking.isEmpty()) return std::make_unique<QSettings>(kName, kName);
    if (warning)
        *warning = QStringLiteral("the settings file %1 is not a regular file (a FIFO or a device); settings are "
                                  "kept for this session only")
                       .arg(blocking);
    // A file of our own, in a folder removed when the program ends.
    static QTemporaryDir session;
    return std::make_unique<QSettings>(session.filePath(QStringLiteral("session.conf")), QSettings::IniFormat);
}

}  // namespace cellsonify
