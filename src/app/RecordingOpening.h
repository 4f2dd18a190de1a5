#pragma once

#include "import/Importer.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <string>

class QProgressDialog;
class QWidget;

namespace cellsonify {

class MessageSink;
class WorkJob;

// Reads the recording at `path` in whatever format (RecordingFormats.h) with
// `options`, reporting progress and watching the cancel flag; throws what
// openRecording throws. Runs on a thread of its own.
using OpenFunction = std::function<OpenedRecording(const std::string& path, const ImportOptions& options,
                                                   const ImportProgress& progress)>;

// The window's openings of recordings, of every format alike: one at a time
// on a WorkJob reading on a thread of its own, with a progress dialog whose
// Cancel stops it. A recording read is handed to `show`; a refusal is told
// through `messages` naming the file and the problem; a cancel changes
// nothing. Until then the window keeps what it showed.
class RecordingOpening : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "Open Recording";
    using Show = std::function<void(OpenedRecording)>;

    RecordingOpening(QWidget& form, OpenFunction open, MessageSink& messages, Show show);
    ~RecordingOpening() override;

    // Starts opening `path` with `options` (for recordings of traces); false,
    // doing nothing, while an opening is under way.
    bool start(const std::string& path, const ImportOptions& options);
    bool busy() const { return job_ != nullptr; }

signals:
    // The opening ended: `opened` when the recording is shown; otherwise
    // `error` is the message told, or empty after a cancel.
    void openingEnded(bool opened, const QString& error);

private:
    void jobEnded(bool opened, const QString& error);

    QWidget& form_;
    OpenFunction open_;
    MessageSink& messages_;
    Show show_;
    std::string path_;
    std::unique_ptr<WorkJob> job_;
    std::shared_ptr<OpenedRecording> read_;  // written by the job's thread before it ends
    QProgressDialog* progress_ = nullptr;
};

// The name a message gives `path`: its last part, trailing slashes ignored.
std::string recordingName(const std::string& path);

}  // namespace cellsonify
