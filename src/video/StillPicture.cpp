#include "video/StillPicture.h"

#include "video/PixelScale.h"
#include "video/VideoError.h"

#include <QImage>
#include <QSaveFile>

namespace cellsonify {

void writePicture(const std::string& path, const QImage& picture, int scale) {
    if (scale < 1 || picture.isNull()) throw VideoError(path + ": nothing to write at scale " + std::to_string(scale));
    const QImage source = picture.convertToFormat(QImage::Format_RGB32);
    QImage scaled(source.width() * scale, source.height() * scale, QImage::Format_RGB32);
    if (scaled.isNull()) throw VideoError(path + ": the picture is too large at scale " + std::to_string(scale));
    scaleNearest({reinterpret_cast<const uint32_t*>(source.constBits()), source.width(), source.height(),
                  source.bytesPerLine()},
                 scale, reinterpret_cast<uint32_t*>(scaled.bits()), scaled.width(), scaled.height(),
                 scaled.bytesPerLine());
    // QSaveFile writes beside the target and renames only on commit.
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly))
        throw VideoError(path + ": cannot be written: " + file.errorString().toStdString());
    if (!scaled.save(&file, "PNG") || !file.commit())
        throw VideoError(path + ": cannot be written: " + file.errorString().toStdString());
}

}  // namespace cellsonify
