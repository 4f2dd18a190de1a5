// The Sound menu of the application window: output, pitch mapping, note length, velocity, notes per frame.
#include "app/ApplicationWindow.h"

#include "app/MessageSink.h"
#include "playback/RecordingMapping.h"
#include "playback/PitchMappingText.h"
#include "playback/PlaybackController.h"
#include "sound/ReportingOutput.h"

#include <QActionGroup>
#include <QInputDialog>
#include <QMenuBar>
#include <QStatusBar>

#include <array>
#include <utility>

namespace cellsonify {

namespace {

constexpr std::array kModes{std::pair{PitchMode::Rows, "&Rows (the middle 128 cells)"},
                            std::pair{PitchMode::Scale, "&Scale (every cell, in row order)"},
                            std::pair{PitchMode::Position, "&Position (height and left-right on the map)"}};
constexpr std::array kScales{std::pair{ScaleKind::Major, "Major"},
                             std::pair{ScaleKind::NaturalMinor, "Natural minor"},
                             std::pair{ScaleKind::MajorPentatonic, "Major pentatonic"},
                             std::pair{ScaleKind::MinorPentatonic, "Minor pentatonic"},
                             std::pair{ScaleKind::WholeTone, "Whole tone"},
                             std::pair{ScaleKind::Chromatic, "Chromatic"}};
constexpr std::array kRanges{std::pair{36, 96}, std::pair{48, 84}, std::pair{24, 108}, std::pair{0, 127}};
constexpr std::array kLengths{100, 250, 500, 1000};
constexpr std::array kBudgets{16, 32, kDefaultNotesPerFrame, 128, 256, kMostNotesPerFrame};

// A checkable entry in `group`, checked when `on`, calling `pick` when chosen.
template <class Pick>
QAction* choice(QMenu& menu, QActionGroup& group, const QString& text, bool on, Pick&& pick) {
    QAction* action = menu.addAction(text);
    action->setCheckable(true);
    action->setChecked(on);
    group.addAction(action);
    QObject::connect(action, &QAction::triggered, &menu, std::forward<Pick>(pick));
    return action;
}

QString rangeText(int low, int high) {
    return QString::fromStdString(noteName(low) + " to " + noteName(high) + " (" + std::to_string(low) + " to " +
                                  std::to_string(high) + ")");
}

}  // namespace

void ApplicationWindow::buildSoundMenu() {
    QMenu* sound = menuBar()->addMenu(QStringLiteral("&Sound"));
    sound->setObjectName(QStringLiteral("soundMenu"));
    QMenu* output = sound->addMenu(QStringLiteral("&Output"));
    output->setObjectName(QStringLiteral("outputMenu"));
    connect(output, &QMenu::aboutToShow, this, [this, output] { fillOutputMenu(*output); });

    QMenu* pitch = sound->addMenu(QStringLiteral("&Pitch Mapping"));
    pitch->setObjectName(QStringLiteral("pitchMenu"));
    QMenu* length = sound->addMenu(QStringLiteral("&Note Length"));
    length->setObjectName(QStringLiteral("noteLengthMenu"));
    QMenu* velocity = sound->addMenu(QStringLiteral("&Velocity"));
    buildContextMenu(*sound);
    velocity->setObjectName(QStringLiteral("velocityMenu"));
    connect(velocity, &QMenu::aboutToShow, this, [this, velocity] {
        velocity->clear();
        auto* group = new QActionGroup(velocity);
        const VelocityMode now = preferences_.velocity;
        choice(*velocity, *group, QStringLiteral("&Fixed (every note at full velocity)"), now == VelocityMode::Fixed,
               [this] { chooseVelocity(VelocityMode::Fixed); })
            ->setObjectName(QStringLiteral("velocityFixedAction"));
        choice(*velocity, *group, QStringLiteral("&Strength (louder for stronger events of an import)"),
               now == VelocityMode::Strength, [this] { chooseVelocity(VelocityMode::Strength); })
            ->setObjectName(QStringLiteral("velocityStrengthAction"));
    });

    QMenu* budget = sound->addMenu(QStringLiteral("Notes per &Frame"));
    budget->setObjectName(QStringLiteral("notesPerFrameMenu"));
    connect(budget, &QMenu::aboutToShow, this, [this, budget] {
        budget->clear();
        auto* group = new QActionGroup(budget);
        for (const int notes : kBudgets)
            choice(*budget, *group,
                   notes == kMostNotesPerFrame ? QStringLiteral("&No limit") : QString::number(notes),
                   preferences_.notesPerFrame == notes, [this, notes] { chooseNotesPerFrame(notes); })
                ->setObjectName(QStringLiteral("notesPerFrame%1Action").arg(notes));
    });

    // Rebuilt each time it opens, so the checks show what plays now.
    connect(pitch, &QMenu::aboutToShow, this, [this, pitch] {
        pitch->clear();
        const PitchMapping now = mappingInForce();
        auto* modes = new QActionGroup(pitch);
        for (const auto& [mode, text] : kModes)
            choice(*pitch, *modes, QString::fromLatin1(text), now.mode == mode, [this, now, m = mode] {
                PitchMapping next = now;
                next.mode = m;
                chooseMapping(next);
            });
        pitch->addSeparator();
        QMenu* scales = pitch->addMenu(QStringLiteral("S&cale"));
        auto* scaleGroup = new QActionGroup(scales);
        for (const auto& [kind, text] : kScales)
            choice(*scales, *scaleGroup, QString::fromLatin1(text), now.scale == kind, [this, now, k = kind] {
                PitchMapping next = now;
                next.scale = k;
                chooseMapping(next);
            });
        QMenu* roots = pitch->addMenu(QStringLiteral("R&oot"));
        auto* rootGroup = new QActionGroup(roots);
        for (int root = 0; root < 12; ++root)
            choice(*roots, *rootGroup, QString::fromLatin1(rootName(root)), now.root == root, [this, now, root] {
                PitchMapping next = now;
                next.root = root;
                chooseMapping(next);
            });
        QMenu* ranges = pitch->addMenu(QStringLiteral("R&ange"));
        auto* rangeGroup = new QActionGroup(ranges);
        bool preset = false;
        for (const auto& [low, high] : kRanges) {
            const bool on = now.low == low && now.high == high;
            preset = preset || on;
            choice(*ranges, *rangeGroup, rangeText(low, high), on, [this, now, lo = low, hi = high] {
                PitchMapping next = now;
                next.low = lo;
                next.high = hi;
                chooseMapping(next);
            });
        }
        choice(*ranges, *rangeGroup, preset ? QStringLiteral("Other...") : "Other: " + rangeText(now.low, now.high),
               !preset, [this, now] {
                   bool ok = false;
                   const QString text = QInputDialog::getText(
                       this, QStringLiteral("Range"), QStringLiteral("Lowest and highest note, LOW:HIGH (C4 = 60):"),
                       QLineEdit::Normal, QString::fromStdString(noteName(now.low) + ":" + noteName(now.high)), &ok);
                   if (!ok) return;
                   PitchMapping next = now;
                   try {
                       std::tie(next.low, next.high) = parseRange(text.toStdString());
                   } catch (const SoundMappingError& e) {
                       tell(e.what());
                       return;
                   }
                   chooseMapping(next);
               });
        const bool scaled = now.mode != PitchMode::Rows;
        scales->setEnabled(scaled);
        roots->setEnabled(scaled);
        ranges->setEnabled(scaled);
    });

    connect(length, &QMenu::aboutToShow, this, [this, length] {
        length->clear();
        const NoteLength now = preferences_.noteLength;
        auto* group = new QActionGroup(length);
        choice(*length, *group, QStringLiteral("&Ring (the instrument's own decay)"), now.rings(),
               [this] { chooseNoteLength({}); });
        bool preset = now.rings();
        for (const int ms : kLengths) {
            preset = preset || now.fixedMs == ms;
            choice(*length, *group, QStringLiteral("%1 ms").arg(ms), now.fixedMs == ms,
                   [this, ms] { chooseNoteLength({ms}); });
        }
        choice(*length, *group, preset ? QStringLiteral("Other...") : QStringLiteral("Other: %1 ms").arg(now.fixedMs),
               !preset, [this, now] {
                   bool ok = false;
                   const int ms = QInputDialog::getInt(this, QStringLiteral("Note length"),
                                                       QStringLiteral("Milliseconds until each note-off:"),
                                                       now.rings() ? 200 : now.fixedMs, 1, 60000, 10, &ok);
                   if (ok) chooseNoteLength({ms});
               });
    });
}

void ApplicationWindow::fillOutputMenu(QMenu& menu) {
    menu.clear();
    auto* group = new QActionGroup(&menu);
    std::vector<std::string> ports{""};
    for (const std::string& port : outputs_.listPorts ? outputs_.listPorts() : std::vector<std::string>{})
        ports.push_back(port);
    for (const std::string& port : ports)
        choice(menu, *group, QString::fromStdString(outputLabel(port)), port == preferences_.outputPort,
               [this, port] { chooseOutput(port); });
}

bool ApplicationWindow::chooseOutput(const std::string& port) {
    std::unique_ptr<MidiOutput> next = outputs_.make(port);
    if (!next || next->open() != 0) {
        const std::string why = next ? lastErrorOf(*next) : std::string();
        tell("Cannot play through " + outputLabel(port) + (why.empty() ? "" : ": " + why));
        return false;
    }
    form_->playback().switchOutput(next.get());
    ownOutput_ = std::move(next);  // the one replaced, when it was ours, is closed now
    preferences_.outputPort = port;
    saveSoundPreferences(settings_, preferences_);
    return true;
}

bool ApplicationWindow::chooseMapping(const PitchMapping& mapping) {
    try {
        form_->playback().setMapping(mapping);
    } catch (const SoundMappingError& e) {
        tell(e.what());
        return false;
    }
    preferences_.mapping = mapping;
    recordingMapping_.reset();
    saveSoundPreferences(settings_, preferences_);
    form_->drawKeyboard();  // keys lit under the old mapping would stay red
    showListening();
    return true;
}

void ApplicationWindow::fitMappingToRecording() {
    const CellModel& model = form_->model();
    if (const PitchMapping fitted = mappingForRecording(preferences_.mapping, model); fitted != preferences_.mapping) {
        form_->playback().setMapping(fitted);  // the kept mapping was checked, so its scale fields are sound
        recordingMapping_ = fitted;
        form_->drawKeyboard();
        statusBar()->showMessage(QStringLiteral("All %1 cells sound: pitch mapping Scale for this recording "
                                                "(Sound > Pitch Mapping > Rows plays only the middle 128)")
                                     .arg(model.CellCount));
    } else if (recordingMapping_) {
        recordingMapping_.reset();
        form_->playback().setMapping(preferences_.mapping);
        form_->drawKeyboard();
    }
}

void ApplicationWindow::chooseVelocity(VelocityMode mode) {
    form_->playback().setVelocityMode(mode);
    preferences_.velocity = mode;
    saveSoundPreferences(settings_, preferences_);
}

void ApplicationWindow::chooseNotesPerFrame(int notes) {
    form_->playback().setNotesPerFrame(notes);
    preferences_.notesPerFrame = notes;
    saveSoundPreferences(settings_, preferences_);
}

void ApplicationWindow::chooseNoteLength(NoteLength length) {
    form_->playback().setNoteLength(length);
    preferences_.noteLength = length;
    saveSoundPreferences(settings_, preferences_);
}

}  // namespace cellsonify
