#include "sound/AudioAnalysis.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <stdexcept>

namespace audio {

std::vector<float> monoMix(std::span<const float> interleavedStereo) {
    std::vector<float> mono(interleavedStereo.size() / 2);
    for (std::size_t i = 0; i < mono.size(); ++i) {
        mono[i] = 0.5f * (interleavedStereo[2 * i] + interleavedStereo[2 * i + 1]);
    }
    return mono;
}

std::span<const float> slice(std::span<const float> samples, std::size_t first, std::size_t count) {
    first = std::min(first, samples.size());
    return samples.subspan(first, std::min(count, samples.size() - first));
}

double peak(std::span<const float> samples) {
    double top = 0.0;
    for (float s : samples) {
        top = std::max(top, static_cast<double>(std::fabs(s)));
    }
    return top;
}

double rms(std::span<const float> samples) {
    if (samples.empty()) {
        return 0.0;
    }
    double sum = 0.0;
    for (float s : samples) {
        sum += static_cast<double>(s) * s;
    }
    return std::sqrt(sum / static_cast<double>(samples.size()));
}

std::size_t countAtOrAbove(std::span<const float> samples, double level) {
    return static_cast<std::size_t>(std::count_if(samples.begin(), samples.end(), [level](float s) {
        return std::fabs(s) >= level;
    }));
}

namespace {

void fftInPlace(std::vector<std::complex<double>>& data) {
    const std::size_t n = data.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) {
            j ^= bit;
        }
        j ^= bit;
        if (i < j) {
            std::swap(data[i], data[j]);
        }
    }
    for (std::size_t length = 2; length <= n; length <<= 1) {
        const double angle = -2.0 * std::numbers::pi / static_cast<double>(length);
        const std::complex<double> step(std::cos(angle), std::sin(angle));
        for (std::size_t start = 0; start < n; start += length) {
            std::complex<double> w(1.0, 0.0);
            for (std::size_t k = 0; k < length / 2; ++k) {
                const auto even = data[start + k];
                const auto odd = data[start + k + length / 2] * w;
                data[start + k] = even + odd;
                data[start + k + length / 2] = even - odd;
                w *= step;
            }
        }
    }
}

}  // namespace

std::vector<double> magnitudeSpectrum(std::span<const float> samples, std::size_t size) {
    if (size < 2 || (size & (size - 1)) != 0) {
        throw std::invalid_argument("spectrum size must be a power of two");
    }
    std::vector<std::complex<double>> data(size);
    const std::size_t used = std::min(size, samples.size());
    for (std::size_t i = 0; i < used; ++i) {
        const double hann =
            0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(i) / (size - 1));
        data[i] = samples[i] * hann;
    }
    fftInPlace(data);
    std::vector<double> magnitudes(size / 2 + 1);
    for (std::size_t k = 0; k < magnitudes.size(); ++k) {
        magnitudes[k] = std::abs(data[k]);
    }
    return magnitudes;
}

namespace {

std::size_t powerOfTwoAtLeast(std::size_t n) {
    std::size_t size = 2;
    while (size < n) {
        size <<= 1;
    }
    return size;
}

// Bin `best` moved to where a parabola through it and its neighbours peaks, in Hz.
double refinedFrequency(const std::vector<double>& spectrum, std::size_t best, double binHz) {
    if (best == 0 || best + 1 >= spectrum.size()) {
        return static_cast<double>(best) * binHz;
    }
    const double left = spectrum[best - 1];
    const double centre = spectrum[best];
    const double right = spectrum[best + 1];
    const double denominator = left - 2.0 * centre + right;
    const double offset = denominator != 0.0 ? 0.5 * (left - right) / denominator : 0.0;
    return (static_cast<double>(best) + offset) * binHz;
}

}  // namespace

double dominantFrequency(std::span<const float> samples, double sampleRate, double lowHz,
                         double highHz) {
    const std::size_t size = powerOfTwoAtLeast(samples.size());
    const std::vector<double> spectrum = magnitudeSpectrum(samples, size);
    const double binHz = sampleRate / static_cast<double>(size);
    const auto first = std::max<std::size_t>(1, static_cast<std::size_t>(lowHz / binHz));
    const auto last = std::min(spectrum.size() - 2, static_cast<std::size_t>(highHz / binHz));
    std::size_t best = first;
    for (std::size_t k = first; k <= last; ++k) {
        if (spectrum[k] > spectrum[best]) {
            best = k;
        }
    }
    return refinedFrequency(spectrum, best, binHz);
}

double fundamentalFrequency(std::span<const float> samples, double sampleRate, double lowHz,
                            double highHz) {
    const std::size_t size = powerOfTwoAtLeast(samples.size());
    const std::vector<double> spectrum = magnitudeSpectrum(samples, size);
    const double binHz = sampleRate / static_cast<double>(size);
    const double strongest = dominantFrequency(samples, sampleRate, lowHz, highHz);
    const double strongestLevel = spectrum[static_cast<std::size_t>(std::lround(strongest / binHz))];
    for (int divisor = 4; divisor >= 2; --divisor) {
        const double candidate = strongest / divisor;
        // Real strings are slightly inharmonic: look within 2 % of the exact ratio.
        const auto from = static_cast<std::size_t>(candidate * 0.98 / binHz);
        const auto to = static_cast<std::size_t>(candidate * 1.02 / binHz) + 1;
        if (from < 1 || to + 1 >= spectrum.size()) {
            continue;
        }
        std::size_t best = from;
        for (std::size_t k = from; k <= to; ++k) {
            if (spectrum[k] > spectrum[best]) {
                best = k;
            }
        }
        const bool isPeak = spectrum[best] >= spectrum[best - 1] && spectrum[best] >= spectrum[best + 1];
        if (isPeak && spectrum[best] >= 0.1 * strongestLevel) {
            return refinedFrequency(spectrum, best, binHz);
        }
    }
    return strongest;
}

double spectralDifference(std::span<const double> a, std::span<const double> b) {
    const std::size_t n = std::min(a.size(), b.size());
    double dot = 0.0;
    double normA = 0.0;
    double normB = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        dot += a[i] * b[i];
        normA += a[i] * a[i];
        normB += b[i] * b[i];
    }
    if (normA == 0.0 || normB == 0.0) {
        return normA == normB ? 0.0 : 1.0;
    }
    return 1.0 - dot / std::sqrt(normA * normB);
}

}  // namespace audio
