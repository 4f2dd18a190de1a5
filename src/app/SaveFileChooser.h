#pragma once

#include <optional>
#include <string>

class QWidget;

namespace cellsonify {

// Asks the user for a file to write. Tests answer it with a fake.
class SaveFileChooser {
public:
    virtual ~SaveFileChooser() = default;
    // Shows a save dialog titled `title` with Qt filter `filter`, starting at
    // `startPath` (may be empty); the chosen path, or nullopt when cancelled.
    virtual std::optional<std::string> chooseSaveFile(const std::string& title, const std::string& filter,
                                                      const std::string& startPath) = 0;
};

// The SaveFileChooser that shows a QFileDialog over `parent`. A name typed
// without an extension gets the one of the filter selected.
class QtSaveFileChooser : public SaveFileChooser {
public:
    explicit QtSaveFileChooser(QWidget* parent) : parent_(parent) {}
    std::optional<std::string> chooseSaveFile(const std::string& title, const std::string& filter,
                                              const std::string& startPath) override;

private:
    QWidget* parent_;
};

}  // namespace cellsonify
