#include "app/MessageSink.h"

#include <QMessageBox>

namespace cellsonify {

void QtMessageSink::show(const std::string& title, const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(title), QString::fromStdString(text),
                    QMessageBox::Ok, parent_);
    box.exec();
}

}  // namespace cellsonify
