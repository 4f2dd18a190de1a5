#include "video/StillPicture.h"

#include "video/PixelScale.h"
#include "video/VideoError.h"

#include "files/SafeOutput.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include <stdexcept>
#include <string_view>

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
    // Encoded in memory first, so a file that cannot be written is told in
    // the system's words rather than the image writer's.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!scaled.save(&buffer, "PNG")) throw VideoError(path + ": the PNG encoder failed");
    try {
        writeFileSafely(path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    } catch (const std::runtime_error& e) {
        throw VideoError(e.what());
    }
}

}  // namespace cellsonify
