// The MP4 writer on its own: sides yuv420p can take, held pictures, failures.
#include "support/TestFiles.h"
#include "video/MovieDecoder.h"
#include "video/Mp4Writer.h"
#include "video/VideoError.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <vector>

using namespace cellsonify;

namespace {

PixelView viewOf(const QImage& image) {
    return {reinterpret_cast<const uint32_t*>(image.constBits()), image.width(), image.height(), image.bytesPerLine()};
}

bool near(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) < 40 && std::abs(qGreen(a) - qGreen(b)) < 40 && std::abs(qBlue(a) - qBlue(b)) < 40;
}

bool isEmpty(const std::filesystem::path& dir) { return std::filesystem::is_empty(dir); }

}  // namespace

TEST(Mp4Writer, OddSidesArePaddedWithTheLastColumnAndHeldPicturesLastTheirTime) {
    testfiles::TempDir dir;
    const std::string out = (dir.path() / "tiny.mp4").string();
    QImage picture(5, 3, QImage::Format_RGB32);
    picture.fill(0xFF00C000);
    for (int y = 0; y < 3; ++y) picture.setPixel(4, y, 0xFF0000FF);  // the last column blue
    {
        Mp4Writer writer(out, {5, 3, 3, 10});  // 15 x 9 scaled, 16 x 10 in the movie
        EXPECT_EQ(writer.movieWidth(), 16);
        EXPECT_EQ(writer.movieHeight(), 10);
        writer.addPicture(viewOf(picture));
        writer.repeatPicture();
        writer.repeatPicture();
        // Half-scale 16-bit sound, in two pieces that do not end on an encoder frame.
        std::vector<int16_t> tone(2 * 44100 * 3 / 10);
        for (std::size_t i = 0; i < tone.size(); ++i)
            tone[i] = static_cast<int16_t>(std::lround(16384 * std::sin(2 * M_PI * 440.0 * static_cast<double>(i / 2) / 44100)));
        writer.addSound(std::span<const int16_t>(tone).first(3001 * 2));
        writer.addSound(std::span<const int16_t>(tone).subspan(3001 * 2));
        writer.finish();
    }
    const videotest::DecodedMovie movie = videotest::decodeMovie(out);
    ASSERT_EQ(movie.pictures.size(), 3u);
    EXPECT_EQ(movie.width, 16);
    EXPECT_EQ(movie.height, 10);
    EXPECT_NEAR(movie.seconds, 0.3, 0.01);
    // A decoder gives whole 1024-sample frames; the file's length says where the sound ends.
    EXPECT_GE(movie.sound.size(), 2u * 44100 * 3 / 10);
    EXPECT_LT(movie.sound.size(), 2u * (44100 * 3 / 10 + 1024));
    EXPECT_NEAR(*std::max_element(movie.sound.begin(), movie.sound.end()), 0.5, 0.05);
    const QImage& last = movie.pictures.back();
    EXPECT_TRUE(near(last.pixel(11, 5), 0xFF00C000)) << std::hex << last.pixel(11, 5);
    EXPECT_TRUE(near(last.pixel(12, 5), 0xFF0000FF)) << std::hex << last.pixel(12, 5);
    EXPECT_TRUE(near(last.pixel(15, 9), 0xFF0000FF)) << "the padding repeats the last column";
}

TEST(Mp4Writer, FailuresSayWhichFileAndLeaveNothingBehind) {
    testfiles::TempDir dir;
    const std::string out = (dir.path() / "movie.mp4").string();
    // Past what FFmpeg will encode: the temporary file exists by then and must go.
    try {
        Mp4Writer writer(out, {20000, 20000, 1, 30});
        ADD_FAILURE() << "opened an encoder for 20000 x 20000";
    } catch (const VideoError& e) {
        EXPECT_NE(std::string(e.what()).find(out + ": cannot open the libx264 encoder"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(isEmpty(dir.path()));

    // Given up half way, as a cancelled render does.
    {
        Mp4Writer writer(out, {4, 4, 1, 30});
        writer.addPicture(viewOf(QImage(4, 4, QImage::Format_RGB32)));
        EXPECT_FALSE(isEmpty(dir.path()));
    }
    EXPECT_TRUE(isEmpty(dir.path()));
}
