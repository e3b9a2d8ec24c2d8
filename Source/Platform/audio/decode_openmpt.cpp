// Loading tracker modules from a file region with the module player library
// and rendering them as interleaved stereo float. Only the tracker formats
// the data is made of are accepted, although the player knows many more.
#include "Platform/audio/decode_openmpt.h"

#include <libopenmpt/libopenmpt.h>

#include <cstring>
#include <new>
#include <vector>

#include "Platform/audio/audio.h"

namespace audio {

namespace {

bool IsTrackerType(const char* fp_pszType) {
  static const char* const kTypes[] = {"mod", "mtm", "s3m", "xm", "it"};
  for (const char* tmp_pszType : kTypes)
    if (std::strcmp(fp_pszType, tmp_pszType) == 0) return true;
  return false;
}

class CModule final : public IModuleSource {
 public:
  CModule(openmpt_module* fp_pModule, std::uint32_t fp_uRate)
      : m_pModule(fp_pModule), m_uRate(fp_uRate) {}
  ~CModule() override { openmpt_module_destroy(m_pModule); }

  std::uint32_t Read(float* fp_pOut, std::uint32_t fp_uFrames) override {
    return static_cast<std::uint32_t>(openmpt_module_read_interleaved_float_stereo(
        m_pModule, static_cast<std::int32_t>(m_uRate), fp_uFrames, fp_pOut));
  }
  bool Rewind() override { return SetPosition(0, 0); }
  void SetLoop(bool fp_bLoop) override {
    openmpt_module_set_repeat_count(m_pModule, fp_bLoop ? -1 : 0);
  }
  bool SetPosition(std::uint32_t fp_uOrder, std::uint32_t fp_uRow) override {
    if (fp_uOrder >= static_cast<std::uint32_t>(openmpt_module_get_num_orders(m_pModule)))
      return false;
    openmpt_module_set_position_order_row(m_pModule, static_cast<std::int32_t>(fp_uOrder),
                                          static_cast<std::int32_t>(fp_uRow));
    return true;
  }

 private:
  openmpt_module* m_pModule;
  std::uint32_t m_uRate;
};

}  // namespace

int OpenModule(CRegion& fp_oRegion, std::uint32_t fp_uRate,
               std::unique_ptr<IModuleSource>& fp_pOut) {
  try {
    std::vector<std::uint8_t> tmp_vBytes;
    if (!fp_oRegion.ReadAll(tmp_vBytes)) return BASS_ERROR_FILEOPEN;
    int tmp_iError = 0;
    // The player copies what it needs; the bytes can go once it is loaded.
    openmpt_module* tmp_pModule = openmpt_module_create_from_memory2(
        tmp_vBytes.data(), tmp_vBytes.size(), openmpt_log_func_silent, nullptr,
        openmpt_error_func_ignore, nullptr, &tmp_iError, nullptr, nullptr);
    if (tmp_pModule == nullptr)
      return tmp_iError == OPENMPT_ERROR_OUT_OF_MEMORY ? BASS_ERROR_MEM : BASS_ERROR_FORMAT;
    const char* tmp_pszType = openmpt_module_get_metadata(tmp_pModule, "type");
    const bool tmp_bTracker = tmp_pszType != nullptr && IsTrackerType(tmp_pszType);
    openmpt_free_string(tmp_pszType);
    if (!tmp_bTracker || openmpt_module_get_num_orders(tmp_pModule) <= 0) {
      openmpt_module_destroy(tmp_pModule);
      return BASS_ERROR_FORMAT;
    }
    openmpt_module_set_repeat_count(tmp_pModule, 0);
    try {
      fp_pOut = std::make_unique<CModule>(tmp_pModule, fp_uRate);
    } catch (const std::bad_alloc&) {
      openmpt_module_destroy(tmp_pModule);
      return BASS_ERROR_MEM;
    }
    return BASS_OK;
  } catch (const std::bad_alloc&) {
    return BASS_ERROR_MEM;
  }
}

}  // namespace audio
