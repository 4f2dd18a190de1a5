#pragma once

#include "app/ImportJob.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <string>

class QProgressDialog;
class QWidget;

namespace cellsonify {

class MessageSink;

// The window's imports: one at a time on an ImportJob, with a progress dialog
// whose Cancel stops it. A recording read is handed to `show` with its caption
// and source; a refusal is told through `messages` naming the file and the
// problem; a cancel changes nothing. Until then the window keeps what it showed.
class RecordingImport : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "Open Recording";
    using Show = std::function<void(ImportResult)>;

    RecordingImport(QWidget& form, ImportFunction import, MessageSink& messages, Show show);
    ~RecordingImport() override;

    // Starts importing `path`; false, doing nothing, while an import is under way.
    bool start(const std::string& path);
    bool busy() const { return job_ != nullptr; }

signals:
    // The import ended: `imported` when the recording is shown; otherwise
    // `error` is the message told, or empty after a cancel.
    void importEnded(bool imported, const QString& error);

private:
    void jobEnded(bool imported, const QString& error);

    QWidget& form_;
    ImportFunction import_;
    MessageSink& messages_;
    Show show_;
    std::string path_;
    std::unique_ptr<ImportJob> job_;
    QProgressDialog* progress_ = nullptr;
};

// The name a message gives `path`: its last part, trailing slashes ignored.
std::string recordingName(const std::string& path);

}  // namespace cellsonify
