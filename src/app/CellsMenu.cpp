// The Cells menu (which cells are picked and heard) and the View menu (the
// order of the raster's rows) of the application window.
#include "app/ApplicationWindow.h"
#include "app/MenuEntry.h"

#include "app/CellChooser.h"
#include "app/WorkProgressDialog.h"
#include "model/CellOrdering.h"
#include "playback/PlaybackController.h"

#include <QActionGroup>
#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QEventLoop>
#include <QMenuBar>
#include <QProgressDialog>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <thread>

namespace cellsonify {

namespace {

QAction* choice(QMenu& menu, QActionGroup& group, const char* name, const QString& text, bool checked) {
    QAction* action = menuEntry(menu, name, text);
    action->setCheckable(true);
    action->setChecked(checked);
    group.addAction(action);
    return action;
}

}  // namespace

void ApplicationWindow::buildCellsMenu() {
    cells_ = new CellChooser(*form_);
    QMenu* menu = menuBar()->addMenu(QStringLiteral("&Cells"));
    connect(menuEntry(*menu, "pickNumbersAction", QStringLiteral("&Select Cells...")), &QAction::triggered, this, [this] {
        const QString label =
            form_->model().SourceRoi.empty()
                ? QStringLiteral("Cell numbers, such as 1,5,9-20:")
                : QStringLiteral("Cell numbers, such as 1,5,9-20,\nor the source's ROI numbers after \"roi\", such as roi 12,40-45:");
        QString text;
        // A refused entry comes back in the box, to be mended rather than typed again.
        while (true) {
            bool ok = false;
            text = QInputDialog::getText(this, QStringLiteral("Select Cells"), label, QLineEdit::Normal, text, &ok);
            if (!ok || text.trimmed().isEmpty()) return;
            const std::optional<std::string> why = cells_->pickNumbers(text.toStdString());
            if (!why) return;
            tell(*why);
        }
    });
    connect(menuEntry(*menu, "pickMostActiveAction", QStringLiteral("Select &Most Active...")), &QAction::triggered, this,
            [this] {
                const int cells = form_->model().CellCount;
                if (cells < 1) return;
                bool ok = false;
                const int n = QInputDialog::getInt(this, QStringLiteral("Select Most Active"),
                                                   QStringLiteral("How many cells, most events first:"),
                                                   std::min(10, cells), 1, cells, 1, &ok);
                if (ok) cells_->pickMostActive(n);
            });
    // Escape belongs to the window, as Space and Home do.
    connect(menuEntry(*menu, "pickNoneAction", QStringLiteral("Select &None"), Qt::Key_Escape), &QAction::triggered,
            cells_, &CellChooser::pickNone);
    menu->addSeparator();
    auto* hear = new QActionGroup(menu);
    const std::pair<const char*, QString> names[] = {{"hearAllAction", QStringLiteral("Hear &All")},
                                                     {"hearSelectedAction", QStringLiteral("Hear Selected &Only")},
                                                     {"muteSelectedAction", QStringLiteral("M&ute Selected")}};
    for (int m = 0; m < 3; ++m)
        connect(choice(*menu, *hear, names[m].first, names[m].second, m == 0), &QAction::triggered, this,
                [this, m] { cells_->setHearMode(static_cast<HearMode>(m)); });
    // A new recording starts with nothing picked and every cell heard.
    connect(form_, &MainWindow::dataLoaded, this, [this] { action("hearAllAction").setChecked(true); });
    // Hearing only the selected cells with none selected would silence
    // everything: offered once a cell is picked (or while it is the choice).
    const auto offerSelectedOnly = [this] {
        QAction& only = action("hearSelectedAction");
        only.setEnabled(only.isChecked() || cells_->selection().count() > 0);
        showListening();
    };
    connect(cells_, &CellChooser::selectionChanged, this, offerSelectedOnly);
    connect(form_, &MainWindow::dataLoaded, this, offerSelectedOnly);
    offerSelectedOnly();
}

void ApplicationWindow::buildRowOrderMenu() {
    QMenu* view = findChild<QMenu*>(QStringLiteral("viewMenu"));
    if (!view) view = menuBar()->addMenu(QStringLiteral("&View"));
    QMenu* rows = view->addMenu(QStringLiteral("&Row Order"));
    rows->setObjectName(QStringLiteral("rowOrderMenu"));
    auto* group = new QActionGroup(rows);
    const std::pair<const char*, QString> names[] = {{"fileOrderAction", QStringLiteral("&File Order")},
                                                     {"positionOrderAction", QStringLiteral("By &Position")},
                                                     {"activityOrderAction", QStringLiteral("By &Activity")},
                                                     {"similarityOrderAction", QStringLiteral("By &Similarity")}};
    for (int k = 0; k < 4; ++k)
        connect(choice(*rows, *group, names[k].first, names[k].second, k == 0), &QAction::triggered, this,
                [this, k] {
                    if (!chooseRowOrder(static_cast<RowOrderKind>(k))) checkRowOrderEntry();
                });
    // The order is a way of looking: the next recording is shown in it too
    // (in file order, as it opened, when the user cancels that).
    connect(form_, &MainWindow::dataLoaded, this, [this] {
        if (rowOrder_ != RowOrderKind::File && !chooseRowOrder(rowOrder_)) {
            rowOrder_ = RowOrderKind::File;
            checkRowOrderEntry();
            showListening();
        }
    });
}

void ApplicationWindow::checkRowOrderEntry() {
    static const char* const names[] = {"fileOrderAction", "positionOrderAction", "activityOrderAction",
                                        "similarityOrderAction"};
    if (auto* entry = findChild<QAction*>(QLatin1String(names[static_cast<int>(rowOrder_)]))) entry->setChecked(true);
}

// Below this many events the similarity order takes a moment (about 40 ms a
// million on a 2-core machine) and is worked out on the spot.
constexpr std::size_t kOrderInBackgroundFrom = 500000;

std::optional<RowOrder> ApplicationWindow::orderRowsInBackground(RowOrderKind kind) {
    QProgressDialog* dialog = openWorkProgressDialog(*this, QStringLiteral("rowOrderProgress"), "Row Order",
                                                     "Ordering the rows by similarity...");
    std::atomic<bool> cancelled{false}, finished{false};
    std::atomic<double> done{0};
    std::optional<RowOrder> order;
    bool outOfMemory = false;
    const CellModel& model = form_->model();
    // The thread only reads the recording; the dialog keeps the user from
    // replacing it meanwhile, and playback only moves its position.
    std::thread worker([&] {
        try {
            order = orderRows(model, kind, [&](double share) {
                done = share;
                return !cancelled.load();
            });
        } catch (const std::bad_alloc&) {
            outOfMemory = true;
        }
        finished = true;
    });
    QEventLoop loop;
    QTimer poll;
    // Asked each time, not told by a signal: the dialog turns the event loop
    // as it opens, so Cancel may come before anything could be connected.
    connect(&poll, &QTimer::timeout, this, [&] {
        if (dialog->wasCanceled()) cancelled = true;
        if (finished) loop.quit();
        else dialog->setValue(static_cast<int>(done.load() * kWorkProgressSteps));
    });
    poll.start(30);
    loop.exec();
    worker.join();
    if (dialog->wasCanceled()) cancelled = true;
    dialog->close();
    dialog->deleteLater();
    if (outOfMemory) tell("Cannot order the rows by similarity: there is not enough memory.");
    if (cancelled || outOfMemory) return std::nullopt;
    return order;
}

bool ApplicationWindow::chooseRowOrder(RowOrderKind kind) {
    std::optional<RowOrder> order;
    if (kind == RowOrderKind::Similarity && form_->model().Activity.eventCount() >= kOrderInBackgroundFrom) {
        order = orderRowsInBackground(kind);
        if (!order) return false;
    } else {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        order = orderRows(form_->model(), kind);
        QApplication::restoreOverrideCursor();
    }
    rowOrder_ = kind;
    form_->playback().setRowOrder(std::move(*order));
    form_->redrawViews();
    cells_->refreshMarks();
    showListening();
    return true;
}

}  // namespace cellsonify
