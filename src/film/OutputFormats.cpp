#include "film/OutputFormats.h"

#include "film/MovieExport.h"
#include "files/PathNames.h"
#include "model/CellModel.h"
#include "soundfiles/PlaybackPass.h"
#include "soundfiles/RecordingExport.h"

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
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
        : model_(model), path_(std::move(path)), settings_(std::move(settings)) {
        worker_ = std::thread([this, write] {
            try {
                const PlaybackPass pass = exportPass(model_, settings_);
                voicing_ = pass.voicing;
                write(pass, path_, settings_, [this](double done) {
                    done_ = done;
                    return !cancelled_.load();
                });
            } catch (...) {
                error_ = std::current_exception();
            }
            const std::lock_guard lock(mutex_);
            finished_ = true;
            ended_.notify_all();
        });
    }
    ~FileWriting() override {
        cancelled_ = true;
        worker_.join();
    }

    bool advance() override {
        std::unique_lock lock(mutex_);
        ended_.wait_for(lock, kMostWait, [this] { return finished_; });
        if (!finished_) return false;
        if (error_) std::rethrow_exception(error_);
        return true;
    }
    double done() const override { return done_.load(); }
    VoicingReport voicing() const override {
        const std::lock_guard lock(mutex_);
        return finished_ ? voicing_ : VoicingReport{};
    }

private:
    static constexpr std::chrono::milliseconds kMostWait{10};

    CellModel model_;
    std::string path_;
    ExportSettings settings_;
    std::atomic<double> done_{0.0};
    std::atomic<bool> cancelled_{false};
    mutable std::mutex mutex_;
    std::condition_variable ended_;
    bool finished_ = false;      // under mutex_
    std::exception_ptr error_;   // set before finished_
    VoicingReport voicing_;      // set before finished_
    std::thread worker_;         // last: it reads the members above
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
