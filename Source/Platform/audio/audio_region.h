// A region of a file (or of memory) read as if it were a file of its own: the
// sounds and modules of a resource pack live at an offset inside the pack.
// Reads use pread, so a stream's region can be read from the mixing thread.
#pragma once

#include <cstdint>
#include <vector>

namespace audio {

class CRegion {
 public:
  CRegion() = default;
  ~CRegion();
  CRegion(const CRegion&) = delete;
  CRegion& operator=(const CRegion&) = delete;

  // Opens the region; returns BASS_OK or the error code (file missing or
  // unreadable, region outside the file, bad arguments).
  int Open(bool fp_bMem, const void* fp_pFile, std::uint32_t fp_uOffset, std::uint32_t fp_uLength);

  std::int64_t Size() const { return m_iSize; }
  std::int64_t Tell() const { return m_iPos; }
  // Moves within the region (clamped to 0..Size); returns the new position.
  std::int64_t Seek(std::int64_t fp_iOffset, int fp_iWhence);
  // Reads up to fp_iBytes from the current position; returns the count read.
  std::int64_t Read(void* fp_pDst, std::int64_t fp_iBytes);
  // The whole region; false on a read error.
  bool ReadAll(std::vector<std::uint8_t>& fp_vOut);

 private:
  int m_iFd = -1;
  const std::uint8_t* m_pMem = nullptr;
  std::int64_t m_iBase = 0;
  std::int64_t m_iSize = 0;
  std::int64_t m_iPos = 0;
};

}  // namespace audio
