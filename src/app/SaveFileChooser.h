#pragma once

#include <optional>
#include <string>

class QFileDialog;
class QString;
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
    // The type (a filter entry, "PNG Figure (*.png)") the chooser opens at
    // when the start path's extension has several; after a choice, the type
    // the user chose. Empty: the first of the start path's extension.
    const std::string& fileType() const { return fileType_; }
    void setFileType(const std::string& type) { fileType_ = type; }

protected:
    std::string fileType_;
};

// The SaveFileChooser that shows a QFileDialog over `parent`, its type the
// one of the start path's extension. The type and the name's extension stay
// in step both ways; a name typed without an extension gets the type's.
class QtSaveFileChooser : public SaveFileChooser {
public:
    explicit QtSaveFileChooser(QWidget* parent) : parent_(parent) {}
    std::optional<std::string> chooseSaveFile(const std::string& title, const std::string& filter,
                                              const std::string& startPath) override;

private:
    QWidget* parent_;
};

// In a widget save dialog, typing a name whose extension belongs to another
// filter ("Name (*.ext)") selects that filter; choosing a filter renames the
// extension (the dialog's own rule).
void keepTypeAndExtensionInStep(QFileDialog& dialog);
// Selects the filter of `path`'s extension, if one has it: `preferred` when
// it is one of them (may be empty), else the first.
void selectTypeOf(QFileDialog& dialog, const QString& path, const QString& preferred);
// `chosen` with `filter`'s extension added when it has none.
QString withTypeExtension(const QString& chosen, const QString& filter);

}  // namespace cellsonify
