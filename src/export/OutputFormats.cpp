#include "export/OutputFormats.h"

#include "export/MovieExport.h"
#include "export/RecordingExport.h"
#include "files/PathNames.h"
#include "files/WorkThread.h"
#include "model/CellModel.h"
#include "soundfiles/PlaybackPass.h"

#include <array>
#include <vector>

namespace cellsonify {

namespace {

using FileWriter = bool (*)(const PlaybackPass&, const std::string&, const ExportSettings&, const ExportProgress&);

// A MIDI or WAV file of the export's pass, the pass worked out and the file
// written on a thread of their own, so a step only waits a moment for them
// and the caller's loop keeps turning.
class FileWriting : public ExportWork {
public:
    FileWriting(const CellModel& model, std::string path, ExportSettings settings, FileWriter write)
        : thread_([this, model, path = std::move(path), settings = std::move(settings), write](
                      const std::function<void(double)>& report, const std::atomic<bool>& cancelled) {
              const PlaybackPass pass = exportPass(model, settings);
              write(pass, path, settings, [&](double done) {
                  report(done);
                  return !cancelled.load();
              });
              voicing_ = pass.voicing;
          }) {}

    bool advance() override {
        // The thread's end is seen through WorkThread's lock, so voicing_ is whole once this is true.
        finished_ = thread_.advance();
        return finished_;
    }
    double done() const override { return thread_.done(); }
    VoicingReport voicing() const override { return finished_ ? voicing_ : VoicingReport{}; }

private:
    VoicingReport voicing_;  // set by the thread before it ends
    bool finished_ = false;
    WorkThread thread_;      // last: its thread writes voicing_
};

template <FileWriter write>
std::unique_ptr<ExportWork> startFile(const CellModel& model, const std::string& path, const ExportSettings& settings) {
    return std::make_unique<FileWriting>(model, path, settings, write);
}

bool writeMidiFile(const PlaybackPass& pass, const std::string& path, const ExportSettings&,
                   const ExportProgress& progress) {
    return exportMidiFile(pass, path, progress);
}

const std::array<OutputFormat, 4> kOutputs{{
    {"mid", "MIDI File", "MIDI file", "a MIDI file", false, false, false, false, false, "",
     &startFile<writeMidiFile>},
    {"wav", "WAV Audio", "audio", "audio", false, true, false, false, false, "",
     &startFile<static_cast<FileWriter>(exportWavFile)>},
    {"mp4", "MP4 Movie", "movie", "a movie of the window", true, true, true, false, true, "MP4 Figure",
     &startMovieExport},
    {"png", "PNG Picture", "picture", "a still picture of the window", true, false, true, true, true,
     "PNG Figure", &startPictureExport},
}};

// "a, b, c or d" (`last` between the last two).
std::string joined(const std::vector<std::string>& items, std::string_view last) {
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) text += i + 1 == items.size() ? std::string(last) : std::string(", ");
        text += items[i];
    }
    return text;
}

void replaceAll(std::string& text, std::string_view mark, std::string_view by) {
    for (std::size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + by.size()))
        text.replace(at, mark.size(), by);
}

}  // namespace

std::span<const OutputFormat> outputFormats() { return kOutputs; }

const OutputFormat* outputFormatNamed(std::string_view extension) {
    for (const OutputFormat& f : kOutputs)
        if (extension.size() == f.extension.size() && endsWithIgnoringCase(extension, f.extension)) return &f;
    return nullptr;
}

const OutputFormat& outputFormatOf(const std::string& path) {
    for (const OutputFormat& f : kOutputs)
        if (endsWithIgnoringCase(path, "." + std::string(f.extension))) return f;
    throw ExportError("cannot export to \"" + path + "\": the name must end in " + listOutputs(".{ext} ({what})"));
}

std::string extensionsTaking(bool OutputFormat::*option) {
    std::vector<std::string> taking;
    for (const OutputFormat& f : kOutputs)
        if (f.*option) taking.push_back("." + std::string(f.extension));
    return joined(taking, " and ");
}

std::string listOutputs(std::string_view pattern) {
    std::vector<std::string> items;
    for (const OutputFormat& f : kOutputs) {
        std::string item(pattern);
        replaceAll(item, "{ext}", f.extension);
        replaceAll(item, "{what}", f.what);
        replaceAll(item, "{described}", f.described);
        items.push_back(std::move(item));
    }
    return joined(items, " or ");
}

std::string outputDialogFilter() {
    std::string filter;
    for (const OutputFormat& f : kOutputs) {
        if (!filter.empty()) filter += ";;";
        const std::string pattern = " (*." + std::string(f.extension) + ")";
        filter += std::string(f.caption) + pattern;
        if (!f.figureCaption.empty()) filter += ";;" + std::string(f.figureCaption) + pattern;
    }
    return filter;
}

PictureLayout layoutOfDialogType(std::string_view type) {
    for (const OutputFormat& f : kOutputs)
        if (!f.figureCaption.empty() && type.starts_with(f.figureCaption)) return PictureLayout::Figure;
    return PictureLayout::Window;
}

bool runExport(const CellModel& model, const std::string& path, const ExportSettings& settings,
               const ExportProgress& progress) {
    const OutputFormat& format = outputFormatOf(path);
    if (progress && !progress(0.0)) return false;
    const std::unique_ptr<ExportWork> work = format.start(model, path, settings);
    for (;;) {
        if (progress && !progress(work->done())) return false;
        if (work->advance()) return true;
    }
}

}  // namespace cellsonify
