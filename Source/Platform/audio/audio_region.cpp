// Reading a region of a file or of memory: open, bounds, seek and read.
#include "Platform/audio/audio_region.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "Platform/audio/audio.h"

namespace audio {

CRegion::~CRegion() {
  if (m_iFd >= 0) ::close(m_iFd);
}

int CRegion::Open(bool fp_bMem, const void* fp_pFile, std::uint32_t fp_uOffset,
                  std::uint32_t fp_uLength) {
  if (fp_pFile == nullptr) return BASS_ERROR_ILLPARAM;
  if (fp_bMem) {
    // Memory has no size of its own to run to.
    if (fp_uLength == 0) return BASS_ERROR_ILLPARAM;
    m_pMem = static_cast<const std::uint8_t*>(fp_pFile) + fp_uOffset;
    m_iSize = fp_uLength;
    return BASS_OK;
  }
  const int tmp_iFd = ::open(static_cast<const char*>(fp_pFile), O_RDONLY | O_CLOEXEC);
  if (tmp_iFd < 0) return BASS_ERROR_FILEOPEN;
  struct stat tmp_st {};
  if (::fstat(tmp_iFd, &tmp_st) != 0 || !S_ISREG(tmp_st.st_mode)) {
    ::close(tmp_iFd);
    return BASS_ERROR_FILEOPEN;
  }
  const std::int64_t tmp_iFile = tmp_st.st_size;
  const std::int64_t tmp_iOffset = fp_uOffset;
  const std::int64_t tmp_iLength = fp_uLength == 0 ? tmp_iFile - tmp_iOffset : fp_uLength;
  if (tmp_iOffset >= tmp_iFile || tmp_iLength <= 0 || tmp_iOffset + tmp_iLength > tmp_iFile) {
    ::close(tmp_iFd);
    return BASS_ERROR_POSITION;
  }
  m_iFd = tmp_iFd;
  m_iBase = tmp_iOffset;
  m_iSize = tmp_iLength;
  return BASS_OK;
}

std::int64_t CRegion::Seek(std::int64_t fp_iOffset, int fp_iWhence) {
  std::int64_t tmp_iFrom = 0;
  if (fp_iWhence == SEEK_CUR) tmp_iFrom = m_iPos;
  if (fp_iWhence == SEEK_END) tmp_iFrom = m_iSize;
  // Saturating: a decoder's wild offset lands on an end, never outside.
  std::int64_t tmp_iTo = 0;
  if (__builtin_add_overflow(tmp_iFrom, fp_iOffset, &tmp_iTo))
    tmp_iTo = fp_iOffset < 0 ? 0 : m_iSize;
  m_iPos = std::clamp<std::int64_t>(tmp_iTo, 0, m_iSize);
  return m_iPos;
}

std::int64_t CRegion::Read(void* fp_pDst, std::int64_t fp_iBytes) {
  const std::int64_t tmp_iWant = std::clamp<std::int64_t>(fp_iBytes, 0, m_iSize - m_iPos);
  if (tmp_iWant == 0) return 0;
  if (m_pMem != nullptr) {
    std::memcpy(fp_pDst, m_pMem + m_iPos, static_cast<std::size_t>(tmp_iWant));
    m_iPos += tmp_iWant;
    return tmp_iWant;
  }
  std::int64_t tmp_iDone = 0;
  auto* tmp_pDst = static_cast<std::uint8_t*>(fp_pDst);
  while (tmp_iDone < tmp_iWant) {
    const ssize_t tmp_iGot =
        ::pread(m_iFd, tmp_pDst + tmp_iDone, static_cast<std::size_t>(tmp_iWant - tmp_iDone),
                static_cast<off_t>(m_iBase + m_iPos + tmp_iDone));
    if (tmp_iGot < 0 && errno == EINTR) continue;
    if (tmp_iGot <= 0) break;  // the file shrank or cannot be read: the region ends here
    tmp_iDone += tmp_iGot;
  }
  m_iPos += tmp_iDone;
  return tmp_iDone;
}

bool CRegion::ReadAll(std::vector<std::uint8_t>& fp_vOut) {
  fp_vOut.resize(static_cast<std::size_t>(m_iSize));
  m_iPos = 0;
  return Read(fp_vOut.data(), m_iSize) == m_iSize;
}

}  // namespace audio
