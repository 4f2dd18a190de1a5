// A settings file that is a FIFO would block start-up: it is never opened.
#include "app/UserSettings.h"
#include "support/TestFiles.h"

#include <QSettings>

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

using namespace cellsonify;

TEST(UserSettings, AFifoInPlaceOfTheSettingsFileIsNeverOpened) {
    testfiles::TempDir dir;
    const std::filesystem::path fifo = dir.path() / "cellsonify" / "cellsonify.conf";
    std::filesystem::create_directories(fifo.parent_path());
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const QByteArray before = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QByteArray(dir.path().c_str()));
    QString warning;
    const std::unique_ptr<QSettings> settings = openUserSettings(&warning);
    settings->setValue(QStringLiteral("recent/files"), QStringLiteral("a.txt"));
    EXPECT_EQ(settings->value(QStringLiteral("recent/files")).toString(), QStringLiteral("a.txt"));
    EXPECT_TRUE(warning.startsWith(QStringLiteral("the settings file %1 is not a regular file").arg(fifo.c_str())))
        << warning.toStdString();
    if (before.isNull()) qunsetenv("XDG_CONFIG_HOME");
    else qputenv("XDG_CONFIG_HOME", before);
}
