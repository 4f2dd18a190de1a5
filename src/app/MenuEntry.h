#pragma once

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QString>

namespace cellsonify {

// Adds an action captioned `text` to `menu`, named `name` (what tests and
// scripts find it by) and started by `keys`.
inline QAction* menuEntry(QMenu& menu, const char* name, const QString& text, const QKeySequence& keys = {}) {
    QAction* action = menu.addAction(text);
    action->setObjectName(QLatin1String(name));
    action->setShortcut(keys);
    return action;
}

}  // namespace cellsonify
