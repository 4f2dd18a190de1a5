// The experiment in the window: Playback's trial entries, File > Add Events
// and Add Behaviour, and Sound > Context.
#include "app/ApplicationWindow.h"
#include "app/MenuEntry.h"

#include "app/MessageSink.h"
#include "import/ContextFiles.h"
#include "import/ImportError.h"
#include "model/TrialSteps.h"
#include "playback/PlaybackController.h"

#include <QActionGroup>
#include <QFileDialog>
#include <QInputDialog>
#include <QMenu>
#include <QStatusBar>
#include <QTimer>

#include <cmath>

namespace cellsonify {

void ApplicationWindow::buildTrialEntries(QMenu& playback) {
    playback.addSeparator();
    connect(menuEntry(playback, "nextTrialAction", QStringLiteral("&Next Trial"), Qt::Key_BracketRight),
            &QAction::triggered, this, [this] { stepTrial(1); });
    connect(menuEntry(playback, "previousTrialAction", QStringLiteral("Pre&vious Trial"), Qt::Key_BracketLeft),
            &QAction::triggered, this, [this] { stepTrial(-1); });
    QAction* loop = menuEntry(playback, "loopTrialAction", QStringLiteral("&Loop Trial"));
    loop->setCheckable(true);
    connect(loop, &QAction::toggled, this, [this](bool on) { loopTrial_ = on; });
    connect(menuEntry(playback, "goToTimeAction", QStringLiteral("&Go to Time...")), &QAction::triggered, this, [this] {
        bool ok = false;
        const double seconds = QInputDialog::getDouble(this, QStringLiteral("Go to Time"), QStringLiteral("Seconds:"),
                                                       0.0, -1e9, 1e9, 3, &ok);
        if (ok && !goToTime(seconds)) tell("No frame of the recording is at " + std::to_string(seconds) + " s.");
    });
    // Looping: a tick reaching the end of the trial it is in goes back to just before its start.
    connect(form_, &MainWindow::positionShown, this, [this](double frame) {
        const IntervalTable* trials = form_->model().Context.trials();
        if (!loopTrial_ || !trials || !form_->playback().timer().interval()) return;
        const ContextInterval* in = intervalAt(*trials, frame);
        if (!in || std::llround(frame) < in->stopFrame) return;
        const double back = in->startFrame - 1;
        QTimer::singleShot(0, this, [this, back] { emit form_->seekRequested(back); });
    });
}

bool ApplicationWindow::stepTrial(int direction) {
    const IntervalTable* trials = form_->model().Context.trials();
    if (!trials) return false;
    // Seen from the frame about to play, so a trial just stepped to is not found again.
    const double ahead = form_->model().CurrentFrame + 1;
    const ContextInterval* to = direction > 0 ? nextInterval(*trials, ahead) : previousInterval(*trials, ahead);
    if (!to) return false;
    // Just before its start, so playing on strikes its sound.
    emit form_->seekRequested(to->startFrame - 1);
    return true;
}

bool ApplicationWindow::goToTime(double seconds) {
    const CellModel& model = form_->model();
    int32_t frame = model.Context.clock.frameAt(seconds);
    if (frame == 0 && !model.Context.clock.known() && model.FrameRate > 0 && seconds >= 0)
        frame = static_cast<int32_t>(std::floor(seconds * model.FrameRate)) + 1;
    if (frame < 1 || frame > model.FrameCount) return false;
    emit form_->seekRequested(frame);
    return true;
}

bool ApplicationWindow::addContextFiles(const std::vector<std::string>& events,
                                        const std::vector<std::string>& behaviour) {
    CellModel model = form_->model();
    ContextMessages messages;
    try {
        cellsonify::addContextFiles(model, events, behaviour, messages);
    } catch (const ImportError& e) {
        tell(e.what());
        return false;
    }
    form_->playback().setContext(model.Context);
    form_->redrawViews();
    std::string said;
    for (const std::string& line : messages.warnings) said += (said.empty() ? "" : "; ") + line;
    for (const std::string& line : messages.notes) said += (said.empty() ? "" : "; ") + line;
    if (!said.empty()) statusBar()->showMessage(QString::fromStdString(said));
    emit form_->positionShown(form_->model().CurrentFrame);
    return true;
}

void ApplicationWindow::buildContextFileEntries(QMenu& file) {
    const auto ask = [this](const QString& title, const QString& filter) {
        const QString path = QFileDialog::getOpenFileName(this, title, QString(), filter);
        return path.toStdString();
    };
    QAction* events = menuEntry(file, "addEventsAction", QStringLiteral("Add &Events..."));
    connect(events, &QAction::triggered, this, [this, ask] {
        const std::string path = ask(QStringLiteral("Add Events"), QStringLiteral("Events (*.csv *.tsv *.txt)"));
        if (!path.empty()) addContextFiles({path}, {});
    });
    QAction* behaviour = menuEntry(file, "addBehaviourAction", QStringLiteral("Add &Behaviour..."));
    connect(behaviour, &QAction::triggered, this, [this, ask] {
        const std::string path =
            ask(QStringLiteral("Add Behaviour"), QStringLiteral("Behaviour (*.csv *.tsv *.txt *.npy)"));
        if (!path.empty()) addContextFiles({}, {path});
    });
    needsRecording({events, behaviour});
}

void ApplicationWindow::buildContextMenu(QMenu& sound) {
    QMenu* menu = sound.addMenu(QStringLiteral("&Context"));
    menu->setObjectName(QStringLiteral("contextMenu"));
    connect(menu, &QMenu::aboutToShow, this, [this, menu] { fillContextMenu(*menu); });
    fillContextMenu(*menu);
}

void ApplicationWindow::fillContextMenu(QMenu& menu) {
    menu.clear();
    const RecordingContext& context = form_->model().Context;
    menu.setEnabled(!context.empty());
    // Each entry changes a copy of the context and hands it to playback.
    const auto change = [this](auto&& edit) {
        RecordingContext next = form_->model().Context;
        edit(next);
        form_->playback().setContext(std::move(next));
    };
    const auto toggle = [&menu](const char* name, const QString& text, bool on) {
        QAction* a = menu.addAction(text);
        a->setObjectName(QLatin1String(name));
        a->setCheckable(true);
        a->setChecked(on);
        return a;
    };
    connect(toggle("intervalSoundsAction", QStringLiteral("&Interval Sounds"), context.intervalsSound),
            &QAction::toggled, this, [change](bool on) { change([on](RecordingContext& c) { c.intervalsSound = on; }); });
    connect(toggle("intervalEndSoundsAction", QStringLiteral("Interval &End Sounds"), context.endsSound),
            &QAction::toggled, this, [change](bool on) { change([on](RecordingContext& c) { c.endsSound = on; }); });
    if (!context.streams.empty()) menu.addSeparator();
    for (std::size_t s = 0; s < context.streams.size(); ++s) {
        const BehaviourStream& stream = context.streams[s];
        QMenu* sub = menu.addMenu(QString::fromStdString(stream.name));
        sub->setObjectName(QStringLiteral("streamMenu%1").arg(s + 1));
        auto* group = new QActionGroup(sub);
        const int now = !stream.sounds ? 0 : stream.control == ToneControl::Pitch ? 1 : 2;
        const QString names[] = {QStringLiteral("&Silent"), QStringLiteral("&Pitch"), QStringLiteral("&Loudness")};
        for (int k = 0; k < 3; ++k) {
            QAction* a = sub->addAction(names[k]);
            a->setCheckable(true);
            a->setChecked(k == now);
            a->setObjectName(QStringLiteral("stream%1Choice%2").arg(s + 1).arg(k));
            group->addAction(a);
            connect(a, &QAction::triggered, this, [change, s, k] {
                change([s, k](RecordingContext& c) {
                    c.streams[s].sounds = k > 0;
                    if (k > 0) c.streams[s].control = k == 1 ? ToneControl::Pitch : ToneControl::Loudness;
                });
            });
        }
    }
}

}  // namespace cellsonify
