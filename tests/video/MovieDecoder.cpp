#include "video/MovieDecoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include <gtest/gtest.h>

#include <fstream>

namespace videotest {

namespace {

struct Decoder {
    AVCodecContext* context = nullptr;
    int stream = -1;
    ~Decoder() { avcodec_free_context(&context); }
};

bool openDecoder(AVFormatContext* file, AVMediaType kind, Decoder& d) {
    d.stream = av_find_best_stream(file, kind, -1, -1, nullptr, 0);
    if (d.stream < 0) return false;
    const AVCodecParameters* p = file->streams[d.stream]->codecpar;
    d.context = avcodec_alloc_context3(avcodec_find_decoder(p->codec_id));
    avcodec_parameters_to_context(d.context, p);
    return avcodec_open2(d.context, avcodec_find_decoder(p->codec_id), nullptr) == 0;
}

void keepPicture(const AVFrame* f, DecodedMovie& movie) {
    QImage image(f->width, f->height, QImage::Format_RGB32);
    SwsContext* toRgb = sws_getContext(f->width, f->height, static_cast<AVPixelFormat>(f->format), f->width,
                                       f->height, AV_PIX_FMT_RGB32, SWS_POINT, nullptr, nullptr, nullptr);
    const int* bt709 = sws_getCoefficients(SWS_CS_ITU709);
    sws_setColorspaceDetails(toRgb, bt709, 0, bt709, 1, 0, 1 << 16, 1 << 16);
    uint8_t* planes[] = {image.bits()};
    const int strides[] = {static_cast<int>(image.bytesPerLine())};
    sws_scale(toRgb, f->data, f->linesize, 0, f->height, planes, strides);
    sws_freeContext(toRgb);
    movie.pictures.push_back(image);
}

void keepSound(const AVFrame* f, DecodedMovie& movie) {
    ASSERT_EQ(f->format, AV_SAMPLE_FMT_FLTP);
    for (int i = 0; i < f->nb_samples; ++i)
        for (int c = 0; c < f->ch_layout.nb_channels; ++c)
            movie.sound.push_back(reinterpret_cast<const float*>(f->extended_data[c])[i]);
}

void drain(Decoder& d, AVFrame* frame, DecodedMovie& movie) {
    while (avcodec_receive_frame(d.context, frame) == 0) {
        if (d.context->codec_type == AVMEDIA_TYPE_VIDEO)
            keepPicture(frame, movie);
        else
            keepSound(frame, movie);
        av_frame_unref(frame);
    }
}

}  // namespace

DecodedMovie decodeMovie(const std::string& path) {
    DecodedMovie movie;
    AVFormatContext* file = nullptr;
    if (avformat_open_input(&file, path.c_str(), nullptr, nullptr) != 0) {
        ADD_FAILURE() << "FFmpeg cannot open " << path;
        return movie;
    }
    avformat_find_stream_info(file, nullptr);
    movie.seconds = static_cast<double>(file->duration) / AV_TIME_BASE;
    Decoder video, audio;
    if (openDecoder(file, AVMEDIA_TYPE_VIDEO, video)) {
        movie.videoCodec = video.context->codec->name;
        movie.pixelFormat = av_get_pix_fmt_name(video.context->pix_fmt);
        movie.width = video.context->width;
        movie.height = video.context->height;
        movie.frameRate = av_q2d(file->streams[video.stream]->avg_frame_rate);
    }
    if (openDecoder(file, AVMEDIA_TYPE_AUDIO, audio)) {
        movie.audioCodec = audio.context->codec->name;
        movie.sampleRate = audio.context->sample_rate;
        movie.channels = audio.context->ch_layout.nb_channels;
    }
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    while (av_read_frame(file, packet) == 0) {
        for (Decoder* d : {&video, &audio})
            if (d->context && packet->stream_index == d->stream) {
                avcodec_send_packet(d->context, packet);
                drain(*d, frame, movie);
            }
        av_packet_unref(packet);
    }
    for (Decoder* d : {&video, &audio})
        if (d->context) {
            avcodec_send_packet(d->context, nullptr);
            drain(*d, frame, movie);
        }
    av_frame_free(&frame);
    av_packet_free(&packet);
    avformat_close_input(&file);
    return movie;
}

bool indexBeforeData(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    // Top-level boxes: a 32-bit big-endian size (1: a 64-bit size follows), then the type.
    for (uint64_t at = 0;;) {
        unsigned char head[16] = {};
        in.seekg(static_cast<std::streamoff>(at));
        if (!in.read(reinterpret_cast<char*>(head), 8)) return false;
        uint64_t size = (uint64_t{head[0]} << 24) | (uint64_t{head[1]} << 16) | (uint64_t{head[2]} << 8) | head[3];
        const std::string type(reinterpret_cast<char*>(head) + 4, 4);
        if (size == 1) {
            if (!in.read(reinterpret_cast<char*>(head) + 8, 8)) return false;
            size = 0;
            for (int i = 8; i < 16; ++i) size = (size << 8) | head[i];
        }
        if (type == "moov") return true;
        if (type == "mdat" || size < 8) return false;
        at += size;
    }
}

}  // namespace videotest
