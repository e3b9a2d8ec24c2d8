// Sound-file decoding over a file region with the sound-file library's
// virtual I/O: whole samples at load, and streams decoded while they play.
#pragma once

#include <cstdint>
#include <memory>

#include "Platform/audio/audio_region.h"
#include "Platform/audio/audio_source.h"

namespace audio {

// Longest sample held in memory, in frames (about 25 minutes at 44100 Hz).
constexpr std::uint32_t kMaxSampleFrames = 1u << 26;

// Decodes the whole region into fp_oOut (frames, count, rate); returns BASS_OK
// or the error code.
int DecodeSample(CRegion& fp_oRegion, CSampleData& fp_oOut);

// A stream over an opened region; returns BASS_OK and the source, or the
// error code. fp_pRate receives the stream's own rate.
int OpenStream(std::unique_ptr<CRegion> fp_pRegion, std::unique_ptr<ISource>& fp_pOut,
               std::uint32_t* fp_pRate);

}  // namespace audio
