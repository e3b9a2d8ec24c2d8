// Processor faults turned into exceptions: handlers for SIGSEGV, SIGBUS,
// SIGFPE, SIGILL and SIGTRAP on an alternate stack map the signal to the
// original platform's fault code and throw through the translator.
#include <pthread.h>
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstring>

#include "Platform/os/os_internal.h"

namespace os {

namespace {

std::atomic<FaultTranslator> g_pTranslator{nullptr};
bool g_bHandlersInstalled = false;
thread_local bool t_bAltStackInstalled = false;

// Bounds of the installing (main) thread's stack, read outside the handler:
// pthread_getattr_np is not async-signal-safe.
std::atomic<bool> g_bStackKnown{false};
bool g_bStackTried = false;
std::uintptr_t g_uStackLow = 0;
std::uintptr_t g_uGuardReach = 0;  // how far below the stack a fault counts as overflow
std::uintptr_t g_uPageSize = 4096;

// Large enough for the unwinder and the translator, which builds the
// exception (with its strings) on this stack after an overflow.
constexpr size_t kAltStackSize = 256 * 1024;

void CacheStackBounds() {
  if (g_bStackTried) return;
  g_bStackTried = true;
  long tmp_iPage = ::sysconf(_SC_PAGESIZE);
  if (tmp_iPage > 0) g_uPageSize = static_cast<std::uintptr_t>(tmp_iPage);
  pthread_attr_t tmp_Attr;
  if (::pthread_getattr_np(::pthread_self(), &tmp_Attr) != 0) return;
  void* tmp_pAddr = nullptr;
  size_t tmp_uSize = 0;
  size_t tmp_uGuard = 0;
  bool tmp_bOk = ::pthread_attr_getstack(&tmp_Attr, &tmp_pAddr, &tmp_uSize) == 0;
  ::pthread_attr_getguardsize(&tmp_Attr, &tmp_uGuard);
  ::pthread_attr_destroy(&tmp_Attr);
  if (!tmp_bOk) return;
  g_uStackLow = reinterpret_cast<std::uintptr_t>(tmp_pAddr);
  // The guard page(s) plus the kernel's gap below a growing stack (256
  // pages), so a large frame that jumps over the guard still counts.
  g_uGuardReach = tmp_uGuard + 256 * g_uPageSize;
  g_bStackKnown.store(true);
}

bool IsStackOverflowAddress(void* fp_pAddress) {
  if (!g_bStackKnown.load()) return false;
  std::uintptr_t tmp_uAddr = reinterpret_cast<std::uintptr_t>(fp_pAddress);
  std::uintptr_t tmp_uBelow = g_uStackLow > g_uGuardReach ? g_uStackLow - g_uGuardReach : 0;
  // A few pages above the reported low end too: the reported bounds of the
  // main thread are computed from the stack limit and are not page exact.
  return tmp_uAddr >= tmp_uBelow && tmp_uAddr < g_uStackLow + 16 * g_uPageSize;
}

void InstallAltStack() {
  if (t_bAltStackInstalled) return;
  stack_t tmp_Old;
  if (::sigaltstack(nullptr, &tmp_Old) == 0 && (tmp_Old.ss_flags & SS_DISABLE) == 0 &&
      tmp_Old.ss_size >= kAltStackSize) {
    t_bAltStackInstalled = true;
    return;
  }
  void* tmp_pStack = ::mmap(nullptr, kAltStackSize, PROT_READ | PROT_WRITE,
                            MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK, -1, 0);
  if (tmp_pStack == MAP_FAILED) return;
  stack_t tmp_New;
  std::memset(&tmp_New, 0, sizeof(tmp_New));
  tmp_New.ss_sp = tmp_pStack;
  tmp_New.ss_size = kAltStackSize;
  if (::sigaltstack(&tmp_New, nullptr) == 0) {
    t_bAltStackInstalled = true;  // kept for the life of the thread
  } else {
    ::munmap(tmp_pStack, kAltStackSize);
  }
}

// Runs on the alternate stack. Throwing out of it works because the faulting
// code is built with -fnon-call-exceptions and the unwinder knows the signal
// frame; SA_NODEFER leaves the signal unblocked, so the next fault after the
// catch is handled too.
void FaultHandler(int fp_iSignal, siginfo_t* fp_pInfo, void* /*fp_pContext*/) {
  FaultInfo tmp_Info{fp_iSignal, fp_pInfo->si_code, fp_pInfo->si_addr};
  std::uint32_t tmp_uCode = FaultCodeForSignal(fp_iSignal, fp_pInfo->si_code, fp_pInfo->si_addr);
  if (tmp_uCode == 0) throw UnknownFault{0, fp_iSignal};
  FaultTranslator tmp_pTranslator = g_pTranslator.load();
  if (tmp_pTranslator != nullptr) tmp_pTranslator(tmp_uCode, &tmp_Info);
  throw UnknownFault{tmp_uCode, fp_iSignal};
}

}  // namespace

void SetFaultTranslator(FaultTranslator fp_pTranslator) {
  detail::EnsureInit();
  g_pTranslator.store(fp_pTranslator);
  CacheStackBounds();
  InstallAltStack();
  if (g_bHandlersInstalled) return;
  g_bHandlersInstalled = true;
  struct sigaction tmp_Action;
  std::memset(&tmp_Action, 0, sizeof(tmp_Action));
  tmp_Action.sa_sigaction = &FaultHandler;
  sigemptyset(&tmp_Action.sa_mask);
  tmp_Action.sa_flags = SA_SIGINFO | SA_NODEFER | SA_ONSTACK;
  for (int tmp_iSignal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP}) {
    ::sigaction(tmp_iSignal, &tmp_Action, nullptr);
  }
}

std::uint32_t FaultCodeForSignal(int fp_iSignal, int fp_iSignalCode, void* fp_pAddress) {
  // Sent by a process (kill, raise, sigqueue, tgkill): not a processor fault.
  if (fp_iSignalCode <= 0) return 0;
  switch (fp_iSignal) {
    case SIGSEGV:
      CacheStackBounds();
      return IsStackOverflowAddress(fp_pAddress) ? 0xC00000FDu : 0xC0000005u;
    case SIGBUS:
      return fp_iSignalCode == BUS_ADRALN ? 0x80000002u : 0xC0000006u;
    case SIGFPE:
      switch (fp_iSignalCode) {
        case FPE_INTDIV: return 0xC0000094u;
        case FPE_INTOVF: return 0xC0000095u;
        case FPE_FLTDIV: return 0xC000008Eu;
        case FPE_FLTOVF: return 0xC0000091u;
        case FPE_FLTUND: return 0xC0000093u;
        case FPE_FLTRES: return 0xC000008Fu;
        case FPE_FLTINV: return 0xC0000090u;
        case FPE_FLTSUB: return 0xC000008Cu;
        default: return 0xC0000090u;
      }
    case SIGILL:
      return (fp_iSignalCode == ILL_PRVOPC || fp_iSignalCode == ILL_PRVREG) ? 0xC0000096u
                                                                           : 0xC000001Du;
    case SIGTRAP:
      return fp_iSignalCode == TRAP_TRACE ? 0x80000004u : 0x80000003u;
    default:
      return 0;
  }
}

}  // namespace os
