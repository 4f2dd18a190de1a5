#include "export/AtomicFile.h"

#include <QSaveFile>
#include <QString>

#include <stdexcept>

namespace cellsonify {

void writeFileAtomically(const std::string& path, const std::string& bytes) {
    QSaveFile file(QString::fromStdString(path));
    // Data written is kept only on commit(); on any failure QSaveFile removes
    // its temporary file and leaves `path` as it was.
    const bool ok = file.open(QIODevice::WriteOnly) &&
                    file.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size()) &&
                    file.commit();
    if (!ok) throw std::runtime_error(path + ": cannot be written: " + file.errorString().toStdString());
}

}  // namespace cellsonify
