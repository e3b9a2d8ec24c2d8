// Sounds and modules made by the tests themselves (sine waves written with
// the sound-file library, a ProTracker module written byte by byte), and
// measuring helpers for mixed frames.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Platform/audio/audio.h"

namespace audiotest {

constexpr std::uint32_t kRate = 44100;

// fp_fSeconds of a sine of fp_fHz at fp_fAmp, the same on every channel.
std::vector<float> Sine(float fp_fHz, std::uint32_t fp_uRate, float fp_fSeconds, float fp_fAmp,
                        int fp_iChannels);
// The bytes of a sound file (fp_iFormat: SF_FORMAT_... major | subtype).
std::string EncodeSound(const std::vector<float>& fp_vFrames, int fp_iChannels,
                        std::uint32_t fp_uRate, int fp_iFormat);
std::string Wav(const std::vector<float>& fp_vFrames, int fp_iChannels, std::uint32_t fp_uRate);
// A four-channel ProTracker module playing a square wave on the two first
// channels (left and right). fp_bShort: the song ends after two rows (about
// 0.24 s); otherwise it runs a whole pattern (7.68 s).
std::string Mod(bool fp_bShort);
// Junk bytes that decode as nothing.
std::string Junk(std::size_t fp_uSize, unsigned fp_uSeed);

// Mixed frames from the manual output.
std::vector<float> Render(std::uint32_t fp_uFrames);
double Rms(const std::vector<float>& fp_vFrames, int fp_iChannel, std::size_t fp_uFrom = 0,
           std::size_t fp_uTo = SIZE_MAX);
float Peak(const std::vector<float>& fp_vFrames, int fp_iChannel);
// Sign changes of one channel.
int Crossings(const std::vector<float>& fp_vFrames, int fp_iChannel);
// The last frame in which either channel is above fp_fThreshold in size; -1
// when there is none.
long LastLoud(const std::vector<float>& fp_vFrames, float fp_fThreshold = 0.02f);

}  // namespace audiotest
