#pragma once

#include <cstddef>
#include <span>
#include <vector>

// Measurements on rendered sound, for checking what the synthesizer produced.
namespace audio {

// The average of left and right of interleaved stereo frames.
std::vector<float> monoMix(std::span<const float> interleavedStereo);
// `samples` from `first` for `count` samples (clamped to the end).
std::span<const float> slice(std::span<const float> samples, std::size_t first, std::size_t count);
// Largest absolute sample value.
double peak(std::span<const float> samples);
// Root mean square level.
double rms(std::span<const float> samples);
// Samples whose magnitude reaches `level`.
std::size_t countAtOrAbove(std::span<const float> samples, double level);

// Magnitudes of the Hann-windowed spectrum of the first `size` samples
// (`size` a power of two; zero-padded when fewer); bin k is k x rate / size Hz.
std::vector<double> magnitudeSpectrum(std::span<const float> samples, std::size_t size);
// Frequency in Hz of the strongest spectral peak between `lowHz` and `highHz`,
// refined between bins by a parabola through the peak and its neighbours.
double dominantFrequency(std::span<const float> samples, double sampleRate, double lowHz,
                         double highHz);
// Fundamental frequency in Hz of a harmonic tone whose strongest partial lies
// between `lowHz` and `highHz`: that partial's frequency, or the lowest
// f/2, f/3 or f/4 with a peak at least a tenth as strong, since in some
// instruments an overtone is louder than the fundamental.
double fundamentalFrequency(std::span<const float> samples, double sampleRate, double lowHz,
                            double highHz);
// 1 - cosine similarity of two magnitude spectra: 0 for the same shape, up to 1.
double spectralDifference(std::span<const double> a, std::span<const double> b);

}  // namespace audio
