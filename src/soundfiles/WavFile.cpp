#include "soundfiles/WavFile.h"

#include "files/SafeOutput.h"

#include <sndfile.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <stdexcept>

namespace cellsonify {

namespace {
void putLE(std::string& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}
}  // namespace

std::string wavHeader(int channels, int sampleRate, uint32_t dataBytes) {
    std::string out;
    out += "RIFF";
    putLE(out, 36 + dataBytes, 4);
    out += "WAVEfmt ";
    putLE(out, 16, 4);
    putLE(out, 1, 2);  // PCM
    putLE(out, static_cast<uint32_t>(channels), 2);
    putLE(out, static_cast<uint32_t>(sampleRate), 4);
    putLE(out, static_cast<uint32_t>(sampleRate * channels * 2), 4);
    putLE(out, static_cast<uint32_t>(channels * 2), 2);
    putLE(out, 16, 2);
    out += "data";
    putLE(out, dataBytes, 4);
    return out;
}

void appendPcm16(std::string& out, const float* samples, std::size_t count) {
    const std::size_t start = out.size();
    out.resize(start + 2 * count);
    char* to = out.data() + start;
    for (std::size_t i = 0; i < count; ++i) {
        const float s = samples[i];
        const float clipped = std::isnan(s) ? 0.0f : std::clamp(s, -1.0f, 1.0f);
        const auto v = static_cast<uint16_t>(static_cast<int16_t>(std::lround(clipped * 32767.0f)));
        to[2 * i] = static_cast<char>(v & 0xFF);
        to[2 * i + 1] = static_cast<char>(v >> 8);
    }
}

std::string wavFileBytes(const std::vector<float>& samples, int channels, int sampleRate) {
    const auto dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::string out = wavHeader(channels, sampleRate, dataBytes);
    out.reserve(out.size() + dataBytes);
    appendPcm16(out, samples.data(), samples.size());
    return out;
}

WavFileWriter::WavFileWriter(const std::string& path, int channels, int sampleRate)
    : output_(std::make_unique<SafeOutput>(path)), channels_(channels) {
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    // The descriptor stays the output's: it flushes and renames the file.
    file_ = sf_open_fd(output_->fd(), SFM_WRITE, &info, SF_FALSE);
    if (file_ == nullptr) fail(sf_strerror(nullptr));
    // Without this a sample past full scale would wrap around to the other sign.
    sf_command(file_, SFC_SET_CLIPPING, nullptr, SF_TRUE);
}

WavFileWriter::~WavFileWriter() {
    if (file_ != nullptr) sf_close(file_);
}

void WavFileWriter::fail(const std::string& libraryReason) const {
    // libsndfile words a failed write as its own; the system's reason (a full
    // disk, a quota) is what helps.
    const int why = errno;
    if (why != 0) output_->fail(why);
    throw std::runtime_error(output_->path() + ": cannot be written: " + libraryReason);
}

void WavFileWriter::write(const float* interleaved, int64_t frames) {
    errno = 0;
    if (sf_writef_float(file_, interleaved, frames) != frames) fail(sf_strerror(file_));
}

void WavFileWriter::commit() {
    SNDFILE* file = file_;
    file_ = nullptr;
    errno = 0;
    if (sf_close(file) != 0) fail(sf_strerror(nullptr));
    output_->commit();
}

}  // namespace cellsonify
