// The single-instance lock: a Unix socket bound to a name in the abstract
// namespace. Only one socket can hold a name, and the kernel frees it when the
// holder's last descriptor closes, so a crashed instance never leaves it taken.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <vector>

#include "Platform/os/os_internal.h"

namespace os {

namespace {

// Held for the life of the process; never closed on purpose.
std::vector<int> g_viLockFds;

}  // namespace

bool CreateNamedLock(const char* fp_pszName, bool* fp_pbAlreadyExists) {
  // The first call of a starting program: from here on SIGINT/SIGTERM quit
  // through the message queue.
  detail::EnsureInit();
  if (fp_pbAlreadyExists != nullptr) *fp_pbAlreadyExists = false;
  if (fp_pszName == nullptr) return false;
  sockaddr_un tmp_Addr;
  std::memset(&tmp_Addr, 0, sizeof(tmp_Addr));
  tmp_Addr.sun_family = AF_UNIX;
  size_t tmp_uLen = std::strlen(fp_pszName);
  // The first byte of the path stays 0: that selects the abstract namespace.
  if (tmp_uLen == 0 || tmp_uLen > sizeof(tmp_Addr.sun_path) - 1) return false;
  std::memcpy(tmp_Addr.sun_path + 1, fp_pszName, tmp_uLen);
  int tmp_iFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (tmp_iFd < 0) return false;
  socklen_t tmp_uAddrLen = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + tmp_uLen);
  if (::bind(tmp_iFd, reinterpret_cast<sockaddr*>(&tmp_Addr), tmp_uAddrLen) != 0) {
    int tmp_iErrno = errno;
    ::close(tmp_iFd);
    if (tmp_iErrno == EADDRINUSE && fp_pbAlreadyExists != nullptr) *fp_pbAlreadyExists = true;
    return false;
  }
  g_viLockFds.push_back(tmp_iFd);
  return true;
}

}  // namespace os
