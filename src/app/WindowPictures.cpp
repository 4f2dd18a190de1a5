#include "app/WindowPictures.h"

#include "app/MainWindow.h"
#include "app/MessageSink.h"
#include "playback/PlaybackController.h"
#include "model/CellModel.h"
#include "sound/Instruments.h"
#include "sound/MidiOutput.h"

#include <QRadioButton>

#include <algorithm>

namespace cellsonify {

// What the window would reach the outside world through, all kept quiet: an
// output that takes every note and sends none (so "Sound ON" can be selected
// without a device or a message), and messages that go nowhere.
struct WindowPictures::Quiet : MidiOutput, MessageSink {
    int open() override { return 0; }
    void shortMessage(const MidiMessage&) override {}
    void show(const std::string&, const std::string&) override {}
};

namespace {

int optionOf(const Instrument& instrument) {
    const auto found = std::find_if(kInstruments.begin(), kInstruments.end(),
                                    [&](const Instrument& i) { return i.program == instrument.program; });
    return found == kInstruments.end() ? 1 : static_cast<int>(found - kInstruments.begin()) + 1;
}

}  // namespace

WindowPictures::WindowPictures(const CellModel& model, const std::string& speedText, const Instrument& instrument,
                               const PitchMapping& mapping, NoteLength noteLength)
    : quiet_(std::make_unique<Quiet>()) {
    MainWindowServices services;
    services.midi = quiet_.get();
    services.messages = quiet_.get();
    services.load = [&model](const std::string&) { return model; };
    window_ = std::make_unique<MainWindow>(services);
    window_->loadDataFile(model.DataFile);
    window_->instrumentOption(optionOf(instrument)).setChecked(true);
    if (auto* soundOn = window_->findChild<QRadioButton*>(QStringLiteral("Option9"))) soundOn->setChecked(true);
    window_->playback().setMapping(mapping);
    window_->playback().setNoteLength(noteLength);
    window_->setSpeedText(speedText);
    // A new speed starts the window's timer; the ticks are run from here instead.
    window_->playback().timer().setInterval(0);
    picture_ = QImage(window_->size(), QImage::Format_RGB32);
}

WindowPictures::~WindowPictures() = default;

void WindowPictures::play() {
    window_->playback().transport().play();
    window_->playback().timer().setInterval(0);
}

void WindowPictures::tick() {
    window_->playback().tick();
    // The last tick rewinds and restarts the timer, as the window loops.
    window_->playback().timer().setInterval(0);
}

const QImage& WindowPictures::picture() {
    window_->render(&picture_);
    return picture_;
}

}  // namespace cellsonify
