// The millisecond timer and tick count (monotonic clock, 32 bits, wrapping;
// replayed or recorded when a session replay is active) and local time.
#include <time.h>

#include <cstdint>

#include "Platform/os/os_internal.h"

namespace os {

namespace {

TimeSource g_pTimeSource = nullptr;
void* g_pTimeSourceUser = nullptr;

std::uint32_t MonotonicMs() {
  timespec tmp_Now{};
  ::clock_gettime(CLOCK_MONOTONIC, &tmp_Now);
  std::uint64_t tmp_uMs = static_cast<std::uint64_t>(tmp_Now.tv_sec) * 1000u +
                          static_cast<std::uint64_t>(tmp_Now.tv_nsec) / 1000000u;
  return static_cast<std::uint32_t>(tmp_uMs);  // wraps like the original counter
}

}  // namespace

std::uint32_t timeGetTime() {
  if (g_pTimeSource != nullptr) return g_pTimeSource(g_pTimeSourceUser);
  std::uint32_t tmp_uValue = 0;
  if (detail::ReplayTime(&tmp_uValue)) return tmp_uValue;
  tmp_uValue = MonotonicMs();
  detail::RecordTime(tmp_uValue);
  return tmp_uValue;
}

std::uint32_t GetTickCount() {
  if (g_pTimeSource != nullptr) return g_pTimeSource(g_pTimeSourceUser);
  std::uint32_t tmp_uValue = 0;
  if (detail::ReplayTick(&tmp_uValue)) return tmp_uValue;
  tmp_uValue = MonotonicMs();
  detail::RecordTick(tmp_uValue);
  return tmp_uValue;
}

void GetLocalTime(SYSTEMTIME* fp_pTime) {
  if (fp_pTime == nullptr) return;
  timespec tmp_Now{};
  ::clock_gettime(CLOCK_REALTIME, &tmp_Now);
  tm tmp_Local{};
  time_t tmp_Seconds = tmp_Now.tv_sec;
  if (::localtime_r(&tmp_Seconds, &tmp_Local) == nullptr) {
    *fp_pTime = {1970, 1, 4, 1, 0, 0, 0, 0};
    return;
  }
  fp_pTime->wYear = tmp_Local.tm_year + 1900;
  fp_pTime->wMonth = tmp_Local.tm_mon + 1;
  fp_pTime->wDayOfWeek = tmp_Local.tm_wday;
  fp_pTime->wDay = tmp_Local.tm_mday;
  fp_pTime->wHour = tmp_Local.tm_hour;
  fp_pTime->wMinute = tmp_Local.tm_min;
  fp_pTime->wSecond = tmp_Local.tm_sec;
  fp_pTime->wMilliseconds = static_cast<int>(tmp_Now.tv_nsec / 1000000);
}

void SetTimeSourceForTests(TimeSource fp_pSource, void* fp_pUser) {
  g_pTimeSource = fp_pSource;
  g_pTimeSourceUser = fp_pUser;
}

}  // namespace os
