// The single-instance lock across processes, and the translation of real
// processor faults (and of signals sent by a process) into exceptions.
#include <pthread.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "Platform/os/os.h"
#include "test_support.h"

namespace {

// {==== Lock =================================================================

TEST(NamedLock, HeldByAnotherProcessUntilItDies) {
  const std::string name = "m2dtest-lock-" + std::to_string(::getpid());
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    bool already = false;
    char ok = os::CreateNamedLock(name.c_str(), &already) ? '1' : '0';
    if (::write(ready[1], &ok, 1) != 1) ::_exit(2);
    for (;;) ::pause();
  }
  char ok = 0;
  ASSERT_EQ(::read(ready[0], &ok, 1), 1);
  ASSERT_EQ(ok, '1');

  bool already = false;
  EXPECT_FALSE(os::CreateNamedLock(name.c_str(), &already));
  EXPECT_TRUE(already);

  // A crash (SIGKILL: no clean-up at all) still frees it.
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  EXPECT_TRUE(os::CreateNamedLock(name.c_str(), &already));
  EXPECT_FALSE(already);
  // Now this process holds it.
  EXPECT_FALSE(os::CreateNamedLock(name.c_str(), &already));
  EXPECT_TRUE(already);
  ::close(ready[0]);
  ::close(ready[1]);
}

TEST(NamedLock, RejectsNamesItCannotBind) {
  bool already = true;
  EXPECT_FALSE(os::CreateNamedLock("", &already));
  EXPECT_FALSE(already);
  EXPECT_FALSE(os::CreateNamedLock(std::string(200, 'n').c_str(), &already));
  EXPECT_FALSE(already);
  EXPECT_FALSE(os::CreateNamedLock(nullptr, &already));
}

// }====

// {==== Faults ===============================================================

struct Translated {
  std::uint32_t code;
  int signal;
  int signalCode;
  void* address;
};

void ThrowingTranslator(std::uint32_t fp_uCode, const os::FaultInfo* fp_pInfo) {
  throw Translated{fp_uCode, fp_pInfo->signal, fp_pInfo->signalCode, fp_pInfo->address};
}

void ReturningTranslator(std::uint32_t, const os::FaultInfo*) {}

volatile int g_iZero = 0;
int* volatile g_pNull = nullptr;
volatile int g_iStop = 0;
volatile int g_iSink = 0;
// The C library declares raise() as not throwing; called through a pointer of
// an ordinary function type, the exception thrown by the handler may pass.
int (*volatile g_pRaise)(int) = &::raise;

__attribute__((noinline)) int Divide(int fp_iA, int fp_iB) { return fp_iA / fp_iB; }
__attribute__((noinline)) void WriteThrough(int* fp_pTarget) {
  *static_cast<volatile int*>(fp_pTarget) = 1;
}
__attribute__((noinline)) void Trap() { __builtin_trap(); }
#if defined(__x86_64__)
__attribute__((noinline)) void Breakpoint() { asm volatile("int3"); }
#endif
__attribute__((noinline)) int Recurse(int fp_iDepth) {
  volatile char tmp_acFrame[512];
  tmp_acFrame[0] = static_cast<char>(fp_iDepth);
  if (g_iStop != 0) return 0;
  return Recurse(fp_iDepth + 1) + tmp_acFrame[0];
}

struct FaultCase {
  const char* name;
  std::function<void()> fault;
  std::uint32_t code;
  int signal;
};

std::vector<FaultCase> FaultCases() {
  std::vector<FaultCase> tmp_v = {
      {"int divide by zero", [] { g_iSink = Divide(1, g_iZero); }, 0xC0000094u, SIGFPE},
      {"null write", [] { WriteThrough(g_pNull); }, 0xC0000005u, SIGSEGV},
      {"trap instruction", [] { Trap(); }, 0xC000001Du, SIGILL},
      {"stack overflow", [] { Recurse(0); }, 0xC00000FDu, SIGSEGV},
  };
#if defined(__x86_64__)
  tmp_v.push_back({"breakpoint", [] { Breakpoint(); }, 0x80000003u, SIGTRAP});
#endif
  return tmp_v;
}

TEST(FaultTranslation, EveryFaultIsCaughtAgainAndAgain) {
  if (m2dtest::kSanitized) GTEST_SKIP() << "faults on purpose";
  os::SetFaultTranslator(&ThrowingTranslator);
  // Two rounds in one process: every fault comes again after one was caught.
  for (int round = 0; round < 2; ++round) {
    for (const FaultCase& c : FaultCases()) {
      SCOPED_TRACE(std::string(c.name) + ", round " + std::to_string(round));
      std::fprintf(stderr, "faulting: %s\n", c.name);
      bool caught = false;
      try {
        c.fault();
      } catch (const Translated& e) {
        caught = true;
        EXPECT_EQ(e.code, c.code);
        EXPECT_EQ(e.signal, c.signal);
        EXPECT_GT(e.signalCode, 0);
      }
      EXPECT_TRUE(caught);
    }
  }
}

TEST(FaultTranslation, NullWriteReportsTheAddress) {
  if (m2dtest::kSanitized) GTEST_SKIP() << "faults on purpose";
  os::SetFaultTranslator(&ThrowingTranslator);
  try {
    WriteThrough(g_pNull);
    ADD_FAILURE() << "no fault";
  } catch (const Translated& e) {
    EXPECT_EQ(e.address, nullptr);
    EXPECT_EQ(e.signalCode, SEGV_MAPERR);
  }
}

TEST(FaultTranslation, UnknownWhenTheTranslatorReturnsOrAProcessSentTheSignal) {
  if (m2dtest::kSanitized) GTEST_SKIP() << "faults on purpose";
  os::SetFaultTranslator(&ReturningTranslator);
  try {
    g_iSink = Divide(7, g_iZero);
    ADD_FAILURE() << "no fault";
  } catch (const os::UnknownFault& e) {
    EXPECT_EQ(e.code, 0xC0000094u);
    EXPECT_EQ(e.signal, SIGFPE);
  }
  // A signal sent by a process never reaches the translator.
  os::SetFaultTranslator(&ThrowingTranslator);
  for (int sig : {SIGSEGV, SIGFPE}) {
    try {
      g_pRaise(sig);
      ADD_FAILURE() << "no fault";
    } catch (const os::UnknownFault& e) {
      EXPECT_EQ(e.code, 0u);
      EXPECT_EQ(e.signal, sig);
    } catch (const Translated&) {
      ADD_FAILURE() << "a sent signal was translated";
    }
  }
}

TEST(FaultTranslation, SignalMappingTable) {
  pthread_attr_t attr;
  ASSERT_EQ(::pthread_getattr_np(::pthread_self(), &attr), 0);
  void* stackAddr = nullptr;
  size_t stackSize = 0;
  ASSERT_EQ(::pthread_attr_getstack(&attr, &stackAddr, &stackSize), 0);
  ::pthread_attr_destroy(&attr);
  const std::uintptr_t low = reinterpret_cast<std::uintptr_t>(stackAddr);
  auto At = [](std::uintptr_t fp_uAddr) { return reinterpret_cast<void*>(fp_uAddr); };
  int onHeap = 0;

  struct Row {
    int sig;
    int code;
    void* addr;
    std::uint32_t expected;
  };
  const Row kRows[] = {
      {SIGSEGV, SEGV_MAPERR, nullptr, 0xC0000005u},
      {SIGSEGV, SEGV_ACCERR, &onHeap, 0xC0000005u},
      {SIGSEGV, SEGV_MAPERR, At(low - 100), 0xC00000FDu},
      {SIGSEGV, SEGV_MAPERR, At(low - 3 * 4096), 0xC00000FDu},
      {SIGSEGV, SEGV_ACCERR, At(low + 8), 0xC00000FDu},
      {SIGSEGV, SEGV_MAPERR, At(low - 64 * 1024 * 1024), 0xC0000005u},
      {SIGBUS, BUS_ADRALN, nullptr, 0x80000002u},
      {SIGBUS, BUS_ADRERR, nullptr, 0xC0000006u},
      {SIGBUS, BUS_OBJERR, nullptr, 0xC0000006u},
      {SIGFPE, FPE_INTDIV, nullptr, 0xC0000094u},
      {SIGFPE, FPE_INTOVF, nullptr, 0xC0000095u},
      {SIGFPE, FPE_FLTDIV, nullptr, 0xC000008Eu},
      {SIGFPE, FPE_FLTOVF, nullptr, 0xC0000091u},
      {SIGFPE, FPE_FLTUND, nullptr, 0xC0000093u},
      {SIGFPE, FPE_FLTRES, nullptr, 0xC000008Fu},
      {SIGFPE, FPE_FLTINV, nullptr, 0xC0000090u},
      {SIGFPE, FPE_FLTSUB, nullptr, 0xC000008Cu},
      {SIGFPE, 99, nullptr, 0xC0000090u},
      {SIGILL, ILL_ILLOPC, nullptr, 0xC000001Du},
      {SIGILL, ILL_ILLOPN, nullptr, 0xC000001Du},
      {SIGILL, ILL_PRVOPC, nullptr, 0xC0000096u},
      {SIGILL, ILL_PRVREG, nullptr, 0xC0000096u},
      {SIGTRAP, TRAP_BRKPT, nullptr, 0x80000003u},
      {SIGTRAP, 0x80 /* SI_KERNEL, what int3 gives */, nullptr, 0x80000003u},
      {SIGTRAP, TRAP_TRACE, nullptr, 0x80000004u},
      // Sent by a process: not a fault.
      {SIGSEGV, SI_USER, nullptr, 0u},
      {SIGSEGV, SI_TKILL, nullptr, 0u},
      {SIGFPE, SI_QUEUE, nullptr, 0u},
      {SIGTRAP, SI_USER, nullptr, 0u},
      // Not a fault signal at all.
      {SIGINT, 1, nullptr, 0u},
      {SIGTERM, 1, nullptr, 0u},
  };
  for (const Row& r : kRows) {
    EXPECT_EQ(os::FaultCodeForSignal(r.sig, r.code, r.addr), r.expected)
        << "signal " << r.sig << " code " << r.code << " address " << r.addr;
  }
}

// }====

}  // namespace
