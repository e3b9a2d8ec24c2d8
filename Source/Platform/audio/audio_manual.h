// The manual output, for tests: BASS_Init with this device opens no device
// and starts no thread; the mixer renders only when the test asks, so a test
// can check the mixed frames themselves.
#pragma once

#include <cstdint>

namespace audio {

constexpr int kAudioDeviceManual = -1000;

// Mixes fp_uFrames stereo frames into fp_pOut (interleaved left, right). While
// the output is paused (before BASS_Start, after BASS_Pause or BASS_Stop) it
// writes silence and time does not pass. False when the manual output is not
// the one open.
bool AudioManual_Render(float* fp_pOut, std::uint32_t fp_uFrames);
bool AudioManual_RenderS16(std::int16_t* fp_pOut, std::uint32_t fp_uFrames);

}  // namespace audio
