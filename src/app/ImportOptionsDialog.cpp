#include "app/ImportOptionsDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QSpinBox>

#include <algorithm>

namespace cellsonify {

namespace {
constexpr int kMostFrames = 100000000;  // any source frame; the import keeps at most 100000 of them
}

ImportOptionsDialog::ImportOptionsDialog(const ImportOptions& start, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("importOptionsDialog"));
    setWindowTitle(QStringLiteral("Import Options"));
    auto* form = new QFormLayout(this);
    threshold_ = new QDoubleSpinBox(this);
    threshold_->setObjectName(QStringLiteral("thresholdBox"));
    threshold_->setRange(-1000, 1000);
    threshold_->setDecimals(2);
    threshold_->setSingleStep(0.5);
    threshold_->setValue(start.threshold);
    threshold_->setToolTip(QStringLiteral("An event starts where a cell's z-scored trace reaches this many SD; "
                                          "lower it to hear more events"));
    form->addRow(QStringLiteral("Threshold (SD):"), threshold_);
    trace_ = new QLineEdit(QString::fromStdString(start.trace), this);
    trace_->setObjectName(QStringLiteral("traceBox"));
    trace_->setPlaceholderText(QStringLiteral("default: spks, the deconvolved NWB series, or S"));
    trace_->setToolTip(QStringLiteral("suite2p: spks or F; NWB: a series or container name; CaImAn: S or C"));
    form->addRow(QStringLiteral("Trace:"), trace_);
    first_ = new QSpinBox(this);
    first_->setObjectName(QStringLiteral("firstFrameBox"));
    last_ = new QSpinBox(this);
    last_->setObjectName(QStringLiteral("lastFrameBox"));
    for (QSpinBox* box : {first_, last_}) {
        box->setRange(0, kMostFrames);
        box->setSpecialValueText(QStringLiteral("all"));
    }
    first_->setValue(static_cast<int>(std::min<long long>(start.firstFrame, kMostFrames)));
    last_->setValue(static_cast<int>(std::min<long long>(start.lastFrame, kMostFrames)));
    form->addRow(QStringLiteral("First frame:"), first_);
    form->addRow(QStringLiteral("Last frame:"), last_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

ImportOptionsDialog::ImportOptionsDialog(const ImportOptions& start, const QString& name, QWidget* parent)
    : ImportOptionsDialog(start, parent) {
    setWindowTitle(QStringLiteral("Import %1").arg(name));
    askAgain_ = new QCheckBox(QStringLiteral("Ask each time a pipeline file opens (File > Import Options... "
                                             "changes them later)"),
                              this);
    askAgain_->setObjectName(QStringLiteral("askAgainBox"));
    askAgain_->setChecked(true);
    auto* form = static_cast<QFormLayout*>(layout());
    form->insertRow(form->rowCount() - 1, askAgain_);
}

bool ImportOptionsDialog::askAgain() const { return !askAgain_ || askAgain_->isChecked(); }

ImportOptions ImportOptionsDialog::options() const {
    ImportOptions o;
    o.threshold = threshold_->value();
    o.trace = trace_->text().trimmed().toStdString();
    // A window needs both ends (as --frames FIRST:LAST); with either left at
    // "all" every frame is kept.
    if (first_->value() > 0 && last_->value() > 0) {
        o.firstFrame = first_->value();
        o.lastFrame = last_->value();
    }
    return o;
}

}  // namespace cellsonify
