#pragma once

#include <optional>
#include <string>

class QFileDialog;
class QString;
class QWidget;

namespace cellsonify {

// Asks the user for a file to open or to write. Tests answer it with a fake.
class FileChooser {
public:
    virtual ~FileChooser() = default;
    // Shows a chooser titled `title` with Qt filter `filter`, starting at
    // `startPath` (may be empty); the chosen path, or nullopt when cancelled.
    virtual std::optional<std::string> chooseFile(const std::string& title, const std::string& filter,
                                                  const std::string& startPath) = 0;
    // The same for a file to write: a save dialog, its type the one of the
    // start path's extension.
    virtual std::optional<std::string> chooseSaveFile(const std::string& title, const std::string& filter,
                                                      const std::string& startPath) = 0;
    // The type (its label, e.g. "All recordings") the chooser opens at; after
    // a choice, the type the user chose. Empty: the filter's first.
    const std::string& fileType() const { return fileType_; }
    void setFileType(const std::string& label) { fileType_ = label; }
    // The save dialog's type (a filter entry, "PNG Figure (*.png)") it opens
    // at when the start path's extension has several; after a choice, the
    // type the user chose. Empty: the first of the start path's extension.
    const std::string& saveType() const { return saveType_; }
    void setSaveType(const std::string& type) { saveType_ = type; }

protected:
    std::string fileType_;
    std::string saveType_;
};

// The FileChooser that shows a QFileDialog over `parent`. In the save
// dialog the type and the name's extension stay in step both ways; a name
// typed without an extension gets the type's.
class QtFileChooser : public FileChooser {
public:
    explicit QtFileChooser(QWidget* parent) : parent_(parent) {}
    std::optional<std::string> chooseFile(const std::string& title, const std::string& filter,
                                          const std::string& startPath) override;
    std::optional<std::string> chooseSaveFile(const std::string& title, const std::string& filter,
                                              const std::string& startPath) override;

private:
    QWidget* parent_;
};

// Sets up `dialog` to open one existing file with Qt filter `filter`. The
// filter list shows each label without the pattern Qt appends ("Data Files
// (*.txt)", not "Data Files (*.txt) (*txt)"); the pattern still filters. A
// type whose label says "Folder", once chosen, picks a folder instead.
void configureOpenDialog(QFileDialog& dialog, const std::string& filter);

// Selects the type whose label (the filter without its pattern) is `label`,
// as the user would; nothing when the dialog lists none such.
void selectOpenType(QFileDialog& dialog, const std::string& label);
// A filter's label: "Data Files (*.txt) (*txt)" -> "Data Files (*.txt)".
QString typeLabel(const QString& nameFilter);

// Qt's filter text for a "label|pattern|label|pattern..." list: each label with
// its pattern in brackets, entries separated by ";;". A trailing odd label
// stands alone.
std::string qtFileFilter(const std::string& pairs);

// In a widget save dialog, typing a name whose extension belongs to another
// filter ("Name (*.ext)") selects that filter; choosing a filter renames the
// extension (the dialog's own rule).
void keepTypeAndExtensionInStep(QFileDialog& dialog);
// Selects the filter of `path`'s extension, if one has it: `preferred` when
// it is one of them.
void selectTypeOf(QFileDialog& dialog, const QString& path, const QString& preferred);
// `chosen` with `filter`'s extension added when it has none.
QString withTypeExtension(const QString& chosen, const QString& filter);

}  // namespace cellsonify
