#include "video/Mp4Writer.h"

#include "files/SafeOutput.h"
#include "video/PixelScale.h"
#include "video/VideoError.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

namespace cellsonify {

namespace {

// Fast enough to stay well ahead of real time on two cores; the pictures are
// flat colours that change little from one to the next, so this costs little
// in size. CRF 20 keeps the one-pixel lines sharp.
constexpr const char* kX264Preset = "ultrafast";
constexpr const char* kX264Crf = "20";
constexpr int64_t kAudioBitRate = 160000;
constexpr int kKeyFrameSeconds = 5;

std::string avError(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

int even(int n) { return n + (n & 1); }

}  // namespace

struct Mp4Writer::State {
    std::string path;
    std::unique_ptr<SafeOutput> output;  // the file being written, dropped unfinished
    MovieFormat format;
    int width = 0, height = 0;
    AVFormatContext* container = nullptr;
    AVCodecContext* video = nullptr;
    AVCodecContext* audio = nullptr;
    AVStream* videoStream = nullptr;
    AVStream* audioStream = nullptr;
    SwsContext* toYuv = nullptr;
    AVFrame* source = nullptr;   // the picture given, converted at its own size to yuv444p
    AVFrame* picture = nullptr;  // the last movie picture, sent again for a held frame
    AVFrame* sound = nullptr;
    AVPacket* packet = nullptr;
    std::vector<float> pendingLeft, pendingRight;  // sound not yet a whole encoder frame
    int64_t pictures = 0;
    int64_t soundFrames = 0;
    int64_t soundSent = 0;
    bool finished = false;

    [[noreturn]] void fail(const std::string& what, int code) const {
        throw VideoError(path + ": " + what + (code ? ": " + avError(code) : std::string()));
    }
    void check(int code, const char* what) const {
        if (code < 0) fail(what, code);
    }

    void openFile();
    AVCodecContext* openEncoder(const char* name, const std::function<void(AVCodecContext*)>& setUp, AVStream** stream);
    void sendAndWrite(AVCodecContext* encoder, AVStream* stream, const AVFrame* frame);
    void sendPicture();
    // Encodes `count` pending sound frames from `first`.
    void sendSound(std::size_t first, int count);
    void release();
    ~State() { release(); }
};

void Mp4Writer::State::openFile() {
    try {
        output = std::make_unique<SafeOutput>(path);
    } catch (const std::runtime_error& e) {
        throw VideoError(e.what());
    }
    // FFmpeg opens the file by its name (it reopens it to move the index to
    // the front); "file:" keeps a colon in a folder's name from reading as a
    // protocol.
    const std::string url = "file:" + output->temporaryPath();
    check(avformat_alloc_output_context2(&container, nullptr, "mp4", url.c_str()), "cannot make an MP4 file");
    check(avio_open(&container->pb, url.c_str(), AVIO_FLAG_WRITE), "cannot be written");
}

AVCodecContext* Mp4Writer::State::openEncoder(const char* name, const std::function<void(AVCodecContext*)>& setUp,
                                              AVStream** stream) {
    const AVCodec* codec = avcodec_find_encoder_by_name(name);
    if (!codec) fail(std::string("this FFmpeg has no ") + name + " encoder", 0);
    AVCodecContext* c = avcodec_alloc_context3(codec);
    if (!c) fail("out of memory", AVERROR(ENOMEM));
    setUp(c);
    if (container->oformat->flags & AVFMT_GLOBALHEADER) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (const int code = avcodec_open2(c, codec, nullptr); code < 0) {
        avcodec_free_context(&c);
        fail(std::string("cannot open the ") + name + " encoder", code);
    }
    *stream = avformat_new_stream(container, nullptr);
    if (!*stream) {
        avcodec_free_context(&c);
        fail("out of memory", AVERROR(ENOMEM));
    }
    (*stream)->time_base = c->time_base;
    if (const int code = avcodec_parameters_from_context((*stream)->codecpar, c); code < 0) {
        avcodec_free_context(&c);
        fail("cannot describe a stream", code);
    }
    return c;
}

void Mp4Writer::State::sendAndWrite(AVCodecContext* encoder, AVStream* stream, const AVFrame* frame) {
    check(avcodec_send_frame(encoder, frame), "cannot encode");
    while (true) {
        const int got = avcodec_receive_packet(encoder, packet);
        if (got == AVERROR(EAGAIN) || got == AVERROR_EOF) break;
        check(got, "cannot encode");
        // Without it the last picture would get no time on screen.
        if (packet->duration == 0 && encoder == video) packet->duration = 1;
        av_packet_rescale_ts(packet, encoder->time_base, stream->time_base);
        packet->stream_index = stream->index;
        check(av_interleaved_write_frame(container, packet), "cannot be written");
        // A full disk shows up on the file, not always on the packet.
        if (container->pb->error < 0) fail("cannot be written", container->pb->error);
    }
}

void Mp4Writer::State::sendPicture() {
    picture->pts = pictures++;
    sendAndWrite(video, videoStream, picture);
}

void Mp4Writer::State::sendSound(std::size_t first, int count) {
    check(av_frame_make_writable(sound), "out of memory");
    sound->nb_samples = count;
    std::copy_n(pendingLeft.begin() + static_cast<std::ptrdiff_t>(first), count, reinterpret_cast<float*>(sound->data[0]));
    std::copy_n(pendingRight.begin() + static_cast<std::ptrdiff_t>(first), count, reinterpret_cast<float*>(sound->data[1]));
    sound->pts = soundSent;
    soundSent += count;
    sendAndWrite(audio, audioStream, sound);
}

void Mp4Writer::State::release() {
    sws_freeContext(toYuv);
    toYuv = nullptr;
    av_frame_free(&source);
    av_frame_free(&picture);
    av_frame_free(&sound);
    av_packet_free(&packet);
    avcodec_free_context(&video);
    avcodec_free_context(&audio);
    if (container) {
        if (container->pb) avio_closep(&container->pb);
        avformat_free_context(container);
        container = nullptr;
    }
}

Mp4Writer::Mp4Writer(const std::string& path, const MovieFormat& format) : s_(std::make_unique<State>()) {
    State& s = *s_;
    s.path = path;
    s.format = format;
    if (format.width < 1 || format.height < 1 || format.scale < 1 || format.fps < 1 || format.fps > 60)
        throw VideoError(path + ": cannot make a movie of " + std::to_string(format.width) + " x " +
                         std::to_string(format.height) + " pictures at scale " + std::to_string(format.scale) +
                         " and " + std::to_string(format.fps) + " per second");
    // FFmpeg's own chatter (encoder statistics at the end) stays off the terminal.
    av_log_set_level(AV_LOG_ERROR);
    s.width = even(format.width * format.scale);
    s.height = even(format.height * format.scale);
    s.openFile();

    s.video = s.openEncoder(
        "libx264",
        [&](AVCodecContext* c) {
            c->width = s.width;
            c->height = s.height;
            c->pix_fmt = AV_PIX_FMT_YUV420P;
            c->time_base = {1, format.fps};
            c->framerate = {format.fps, 1};
            c->gop_size = kKeyFrameSeconds * format.fps;
            c->color_range = AVCOL_RANGE_MPEG;
            c->colorspace = AVCOL_SPC_BT709;
            c->color_primaries = AVCOL_PRI_BT709;
            c->color_trc = AVCOL_TRC_BT709;
            av_opt_set(c->priv_data, "preset", kX264Preset, 0);
            av_opt_set(c->priv_data, "crf", kX264Crf, 0);
        },
        &s.videoStream);
    s.audio = s.openEncoder(
        "aac",
        [&](AVCodecContext* c) {
            c->sample_fmt = AV_SAMPLE_FMT_FLTP;
            c->sample_rate = kSampleRate;
            av_channel_layout_default(&c->ch_layout, kChannels);
            c->bit_rate = kAudioBitRate;
            c->time_base = {1, kSampleRate};
            // The default coder spends several times as long for a gain no
            // one hears at this rate.
            av_opt_set(c->priv_data, "aac_coder", "fast", 0);
        },
        &s.audioStream);

    AVDictionary* options = nullptr;
    av_dict_set(&options, "movflags", "+faststart", 0);
    const int header = avformat_write_header(s.container, &options);
    av_dict_free(&options);
    s.check(header, "cannot be written");

    // Colours are converted at the picture's own size, a fraction of the
    // movie's, and then spread: nearest-neighbour enlargement commutes with a
    // per-pixel conversion.
    s.toYuv = sws_getContext(format.width, format.height, AV_PIX_FMT_RGB32, format.width, format.height,
                             AV_PIX_FMT_YUV444P, SWS_POINT, nullptr, nullptr, nullptr);
    if (!s.toYuv) s.fail("cannot convert pictures to yuv", 0);
    // Tagged BT.709 above, so converted with BT.709 into the video range.
    const int* bt709 = sws_getCoefficients(SWS_CS_ITU709);
    sws_setColorspaceDetails(s.toYuv, bt709, 1, bt709, 0, 0, 1 << 16, 1 << 16);

    s.source = av_frame_alloc();
    s.picture = av_frame_alloc();
    s.sound = av_frame_alloc();
    s.packet = av_packet_alloc();
    if (!s.source || !s.picture || !s.sound || !s.packet) s.fail("out of memory", AVERROR(ENOMEM));
    s.source->format = AV_PIX_FMT_YUV444P;
    s.source->width = format.width;
    s.source->height = format.height;
    s.check(av_frame_get_buffer(s.source, 0), "out of memory");
    s.picture->format = AV_PIX_FMT_YUV420P;
    s.picture->width = s.width;
    s.picture->height = s.height;
    s.check(av_frame_get_buffer(s.picture, 0), "out of memory");
    s.sound->format = AV_SAMPLE_FMT_FLTP;
    s.sound->sample_rate = kSampleRate;
    s.sound->nb_samples = s.audio->frame_size;
    s.check(av_channel_layout_copy(&s.sound->ch_layout, &s.audio->ch_layout), "out of memory");
    s.check(av_frame_get_buffer(s.sound, 0), "out of memory");
}

Mp4Writer::~Mp4Writer() = default;

int Mp4Writer::movieWidth() const { return s_->width; }
int Mp4Writer::movieHeight() const { return s_->height; }
int64_t Mp4Writer::picturesAdded() const { return s_->pictures; }
int64_t Mp4Writer::soundFramesAdded() const { return s_->soundFrames; }

void Mp4Writer::addPicture(const PixelView& picture) {
    State& s = *s_;
    if (picture.width != s.format.width || picture.height != s.format.height)
        throw VideoError(s.path + ": a picture of " + std::to_string(picture.width) + " x " +
                         std::to_string(picture.height) + " pixels where the movie takes " +
                         std::to_string(s.format.width) + " x " + std::to_string(s.format.height));
    const uint8_t* planes[] = {reinterpret_cast<const uint8_t*>(picture.pixels)};
    const int strides[] = {static_cast<int>(picture.bytesPerLine)};
    sws_scale(s.toYuv, planes, strides, 0, picture.height, s.source->data, s.source->linesize);
    // The encoder may still hold the last picture; this gives a fresh buffer then.
    s.check(av_frame_make_writable(s.picture), "out of memory");
    for (int plane = 0; plane < 3; ++plane) {
        const int step = plane == 0 ? 1 : 2;  // yuv420p: chroma at half the size both ways
        spreadPlane({s.source->data[plane], s.format.width, s.format.height, s.source->linesize[plane]}, step,
                    s.format.scale,
                    {s.picture->data[plane], s.width / step, s.height / step, s.picture->linesize[plane]});
    }
    s.sendPicture();
}

void Mp4Writer::repeatPicture() {
    if (s_->pictures == 0) throw VideoError(s_->path + ": no picture to repeat yet");
    s_->sendPicture();
}

void Mp4Writer::addSound(std::span<const float> interleaved) {
    State& s = *s_;
    for (std::size_t i = 0; i + 1 < interleaved.size(); i += 2) {
        s.pendingLeft.push_back(std::clamp(interleaved[i], -1.0f, 1.0f));
        s.pendingRight.push_back(std::clamp(interleaved[i + 1], -1.0f, 1.0f));
    }
    s.soundFrames += static_cast<int64_t>(interleaved.size() / 2);
    const std::size_t frameSize = static_cast<std::size_t>(s.audio->frame_size);
    std::size_t sent = 0;
    for (; s.pendingLeft.size() - sent >= frameSize; sent += frameSize) s.sendSound(sent, s.audio->frame_size);
    s.pendingLeft.erase(s.pendingLeft.begin(), s.pendingLeft.begin() + static_cast<std::ptrdiff_t>(sent));
    s.pendingRight.erase(s.pendingRight.begin(), s.pendingRight.begin() + static_cast<std::ptrdiff_t>(sent));
}

void Mp4Writer::addSound(std::span<const int16_t> interleaved) {
    std::vector<float> samples(interleaved.size());
    std::transform(interleaved.begin(), interleaved.end(), samples.begin(),
                   [](int16_t s) { return static_cast<float>(s) / 32768.0f; });
    addSound(std::span<const float>(samples));
}

void Mp4Writer::finish() {
    State& s = *s_;
    if (s.finished) return;
    if (!s.pendingLeft.empty()) {
        // The encoder takes a short last frame; otherwise pad it with silence.
        if (!(s.audio->codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME)) {
            s.pendingLeft.resize(static_cast<std::size_t>(s.audio->frame_size));
            s.pendingRight.resize(static_cast<std::size_t>(s.audio->frame_size));
        }
        s.sendSound(0, static_cast<int>(s.pendingLeft.size()));
    }
    s.sendAndWrite(s.video, s.videoStream, nullptr);
    s.sendAndWrite(s.audio, s.audioStream, nullptr);
    s.check(av_write_trailer(s.container), "cannot be written");
    if (s.container->pb->error < 0) s.fail("cannot be written", s.container->pb->error);
    s.check(avio_closep(&s.container->pb), "cannot be written");
    try {
        s.output->commit();
    } catch (const std::runtime_error& e) {
        throw VideoError(e.what());
    }
    s.finished = true;
    s.release();
}

}  // namespace cellsonify
