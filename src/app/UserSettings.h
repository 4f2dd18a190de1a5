#pragma once

#include <QString>

#include <memory>

class QSettings;

namespace cellsonify {

// The user's settings for cellsonify (the recent list, the Sound choices).
// A settings file that is not a regular file (a FIFO, a device) would block
// the window's start-up when read, so it is never opened: the settings then
// last for this session only, and `warning` (when given) says why.
std::unique_ptr<QSettings> openUserSettings(QString* warning = nullptr);

}  // namespace cellsonify
