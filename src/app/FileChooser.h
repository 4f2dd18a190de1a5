#pragma once

#include <optional>
#include <string>

class QFileDialog;
class QWidget;

namespace cellsonify {

// Asks the user for a file to open. Tests answer it with a fake.
class FileChooser {
public:
    virtual ~FileChooser() = default;
    // Shows a chooser titled `title` with Qt filter `filter`, starting at
    // `startPath` (may be empty); the chosen path, or nullopt when cancelled.
    virtual std::optional<std::string> chooseFile(const std::string& title, const std::string& filter,
                                                  const std::string& startPath) = 0;
};

// The FileChooser that shows a QFileDialog over `parent`.
class QtFileChooser : public FileChooser {
public:
    explicit QtFileChooser(QWidget* parent) : parent_(parent) {}
    std::optional<std::string> chooseFile(const std::string& title, const std::string& filter,
                                          const std::string& startPath) override;

private:
    QWidget* parent_;
};

// Sets up `dialog` to open one existing file with Qt filter `filter`. The
// filter list shows each label without the pattern Qt appends ("Data Files
// (*.txt)", not "Data Files (*.txt) (*txt)"); the pattern still filters. A
// type whose label says "Folder", once chosen, picks a folder instead.
void configureOpenDialog(QFileDialog& dialog, const std::string& filter);

// Qt's filter text for a "label|pattern|label|pattern..." list: each label with
// its pattern in brackets, entries separated by ";;". A trailing odd label
// stands alone.
std::string qtFileFilter(const std::string& pairs);

}  // namespace cellsonify
