// Tracker modules (MOD, MTM, S3M, XM, IT) rendered by the module player
// library at the output's rate.
#pragma once

#include <cstdint>
#include <memory>

#include "Platform/audio/audio_region.h"
#include "Platform/audio/audio_source.h"

namespace audio {

class IModuleSource : public ISource {
 public:
  // Repeat the whole module (from its restart position) at its end.
  virtual void SetLoop(bool fp_bLoop) = 0;
  // Order and row to play from; false when outside the module.
  virtual bool SetPosition(std::uint32_t fp_uOrder, std::uint32_t fp_uRow) = 0;
};

// Reads the region's bytes and loads the module; returns BASS_OK and the
// source, or the error code.
int OpenModule(CRegion& fp_oRegion, std::uint32_t fp_uRate,
               std::unique_ptr<IModuleSource>& fp_pOut);

}  // namespace audio
