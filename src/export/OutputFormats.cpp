#include "export/OutputFormats.h"

#include "export/MovieExport.h"
#include "files/PathNames.h"
#include "files/WorkThread.h"
#include "model/CellModel.h"
#include "export/RecordingExport.h"

#include <array>
#include <vector>

namespace cellsonify {

namespace {

using FileWriter = bool (*)(const CellModel&, const std::string&, const ExportSettings&, const ExportProgress&);

// A MIDI or WAV file is written on a thread of its own, so a step only waits
// a moment for it and the caller's loop keeps turning.
template <FileWriter write>
std::unique_ptr<ExportWork> startFile(const CellModel& model, const std::string& path, const ExportSettings& settings) {
    return std::make_unique<WorkThread>([model, path, settings](const std::function<void(double)>& report,
                                                                const std::atomic<bool>& cancelled) {
        write(model, path, settings, [&](double done) {
            report(done);
            return !cancelled.load();
        });
    });
}

const std::array<OutputFormat, 4> kOutputs{{
    {"mid", "MIDI File", "MIDI file", "a MIDI file", false, false, false, false,
     &startFile<exportMidiFile>},
    {"wav", "WAV Audio", "audio", "audio", false, true, false, false, &startFile<exportWavFile>},
    {"mp4", "MP4 Movie", "movie", "a movie of the window", true, true, true, false,
     &startMovieExport},
    {"png", "PNG Picture", "picture", "a still picture of the window", true, false, true, true,
     &startPictureExport},
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
        filter += std::string(f.caption) + " (*." + std::string(f.extension) + ")";
    }
    return filter;
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
