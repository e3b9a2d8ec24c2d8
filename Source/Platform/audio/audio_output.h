// The narrow interface between the library and an output: something that
// calls the fill function on its own thread and can be started and paused.
#pragma once

#include <cstdint>
#include <memory>

namespace audio {

// Mixes fp_uFrames interleaved stereo float frames into fp_pOut.
using FillFn = void (*)(void* fp_pUser, float* fp_pOut, std::uint32_t fp_uFrames);

class IOutput {
 public:
  virtual ~IOutput() = default;  // stops calling the fill function before returning
  virtual bool Start() = 0;
  virtual void Pause() = 0;
};

// An SDL audio device (fp_iDevice -1: the default one, else the index in
// SDL's list) at fp_uRate Hz, stereo float, paused. Null on failure with
// *fp_pError set (driver or device error).
std::unique_ptr<IOutput> CreateSdlOutput(int fp_iDevice, std::uint32_t fp_uRate, FillFn fp_fnFill,
                                         void* fp_pUser, int* fp_pError);

// No device: a thread of ours mixes in real time and drops the frames, so
// slides finish and sounds end when they would have been heard.
std::unique_ptr<IOutput> CreateSilentOutput(std::uint32_t fp_uRate, FillFn fp_fnFill,
                                            void* fp_pUser);

}  // namespace audio
