// The silent output: a thread that mixes as much audio as real time has
// produced since its last turn and drops it, so everything that depends on
// played time (slides, the ends of sounds) happens on time without a device.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "Platform/audio/audio_output.h"

namespace audio {

namespace {

class CSilentOutput final : public IOutput {
 public:
  static constexpr std::uint32_t kBlockFrames = 1024;

  CSilentOutput(std::uint32_t fp_uRate, FillFn fp_fnFill, void* fp_pUser)
      : m_uRate(fp_uRate), m_fnFill(fp_fnFill), m_pUser(fp_pUser), m_oThread([this] { Run(); }) {}
  ~CSilentOutput() override {
    {
      std::lock_guard<std::mutex> tmp_oLock(m_mtx);
      m_bQuit = true;
    }
    m_cv.notify_all();
    m_oThread.join();
  }

  bool Start() override {
    std::lock_guard<std::mutex> tmp_oLock(m_mtx);
    if (!m_bRunning) {
      m_bRunning = true;
      m_tLast = std::chrono::steady_clock::now();
      m_dPending = 0.0;
    }
    return true;
  }
  void Pause() override {
    std::lock_guard<std::mutex> tmp_oLock(m_mtx);
    m_bRunning = false;
  }

 private:
  void Run() {
    std::unique_lock<std::mutex> tmp_oLock(m_mtx);
    while (!m_bQuit) {
      m_cv.wait_for(tmp_oLock, std::chrono::milliseconds(5));
      if (m_bQuit) break;
      if (!m_bRunning) continue;
      const auto tmp_tNow = std::chrono::steady_clock::now();
      m_dPending += std::chrono::duration<double>(tmp_tNow - m_tLast).count() * m_uRate;
      m_tLast = tmp_tNow;
      // After a long stall (a suspended machine) catch up one second at most.
      if (m_dPending > m_uRate) m_dPending = m_uRate;
      auto tmp_uFrames = static_cast<std::uint32_t>(m_dPending);
      m_dPending -= tmp_uFrames;
      // Mixing takes the mixer's lock, not ours: Start and Pause stay quick.
      tmp_oLock.unlock();
      while (tmp_uFrames > 0) {
        const std::uint32_t tmp_uN = tmp_uFrames < kBlockFrames ? tmp_uFrames : kBlockFrames;
        m_fnFill(m_pUser, m_aBuffer, tmp_uN);
        tmp_uFrames -= tmp_uN;
      }
      tmp_oLock.lock();
    }
  }

  const std::uint32_t m_uRate;
  FillFn m_fnFill;
  void* m_pUser;
  std::mutex m_mtx;
  std::condition_variable m_cv;
  bool m_bQuit = false;
  bool m_bRunning = false;
  std::chrono::steady_clock::time_point m_tLast;
  double m_dPending = 0.0;
  float m_aBuffer[kBlockFrames * 2] = {};
  std::thread m_oThread;  // last: starts once everything above exists
};

}  // namespace

std::unique_ptr<IOutput> CreateSilentOutput(std::uint32_t fp_uRate, FillFn fp_fnFill,
                                            void* fp_pUser) {
  return std::make_unique<CSilentOutput>(fp_uRate, fp_fnFill, fp_pUser);
}

}  // namespace audio
