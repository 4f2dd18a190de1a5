// The Cells menu (which cells are picked and heard) and the View menu (the
// order of the raster's rows) of the application window.
#include "app/ApplicationWindow.h"
#include "app/MenuEntry.h"

#include "app/CellChooser.h"
#include "model/CellOrdering.h"
#include "playback/PlaybackController.h"

#include <QActionGroup>
#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenuBar>

#include <algorithm>

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
                [this, k] { chooseRowOrder(static_cast<RowOrderKind>(k)); });
    // The order is a way of looking: the next recording is shown in it too.
    connect(form_, &MainWindow::dataLoaded, this, [this] {
        if (rowOrder_ != RowOrderKind::File) chooseRowOrder(rowOrder_);
    });
}

void ApplicationWindow::chooseRowOrder(RowOrderKind kind) {
    rowOrder_ = kind;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    form_->playback().setRowOrder(orderRows(form_->model(), kind));
    QApplication::restoreOverrideCursor();
    form_->redrawViews();
    cells_->refreshMarks();
    showListening();
}

}  // namespace cellsonify
