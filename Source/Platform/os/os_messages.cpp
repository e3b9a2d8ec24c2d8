// The thread's message queue: posting, peeking (which first pulls what the
// system has to say: SIGINT/SIGTERM and SDL's window events), dispatching to
// window procedures, and waiting for the next message.
#include <SDL.h>
#include <poll.h>

#include <cerrno>
#include <cstdint>
#include <vector>

#include "Platform/os/os_internal.h"

namespace os {

namespace {

struct QueuedMessage {
  MSG msg;
  bool fromSystem;  // the system's (or the replay's in its place), not posted by the program
};

// A ring buffer that only ever grows: no allocation in steady state.
class MessageQueue {
 public:
  bool Empty() const { return count_ == 0; }
  size_t Size() const { return count_; }
  QueuedMessage& At(size_t fp_uIndex) { return items_[(head_ + fp_uIndex) % items_.size()]; }

  void Push(const QueuedMessage& fp_rItem) {
    if (count_ == items_.size()) Grow();
    items_[(head_ + count_) % items_.size()] = fp_rItem;
    ++count_;
  }

  void RemoveAt(size_t fp_uIndex) {
    for (size_t i = fp_uIndex; i + 1 < count_; ++i) At(i) = At(i + 1);
    --count_;
    if (count_ == 0) head_ = 0;
  }

 private:
  void Grow() {
    std::vector<QueuedMessage> tmp_vItems(items_.empty() ? 64 : items_.size() * 2);
    for (size_t i = 0; i < count_; ++i) tmp_vItems[i] = At(i);
    items_.swap(tmp_vItems);
    head_ = 0;
  }

  std::vector<QueuedMessage> items_;
  size_t head_ = 0;
  size_t count_ = 0;
};

MessageQueue g_Queue;
// True after a PeekMessage found nothing: the next one starts a new frame of
// the replay. True at start, so the first message pump starts frame 1.
bool g_bPumpEnded = true;

void PullSystem() {
  if (detail::TakeQuitSignal()) detail::PostSystemMessage(nullptr, WM_QUIT, 0, 0);
  detail::PullSDLEvents();
}

bool Matches(const MSG& fp_rMsg, HWND fp_hWnd, std::uint32_t fp_uMin, std::uint32_t fp_uMax) {
  if (fp_hWnd != nullptr && fp_rMsg.hwnd != fp_hWnd) return false;
  if (fp_uMin == 0 && fp_uMax == 0) return true;
  return fp_rMsg.message >= fp_uMin && fp_rMsg.message <= fp_uMax;
}

Window* LiveWindow(HWND fp_hWnd) {
  Window* tmp_pWin = detail::FindWindow(fp_hWnd);
  return (tmp_pWin != nullptr && !tmp_pWin->destroyed) ? tmp_pWin : nullptr;
}

}  // namespace

bool PeekMessage(MSG* fp_pMsg, HWND fp_hWnd, std::uint32_t fp_uMin, std::uint32_t fp_uMax,
                 bool fp_bRemove) {
  detail::EnsureInit();
  if (g_bPumpEnded) {
    g_bPumpEnded = false;
    detail::BeginFrame();
  }
  PullSystem();
  for (size_t i = 0; i < g_Queue.Size(); ++i) {
    QueuedMessage tmp_Item = g_Queue.At(i);
    if (!Matches(tmp_Item.msg, fp_hWnd, fp_uMin, fp_uMax)) continue;
    if (fp_pMsg != nullptr) *fp_pMsg = tmp_Item.msg;
    if (fp_bRemove) {
      g_Queue.RemoveAt(i);
      detail::NoteDelivered(tmp_Item.msg.hwnd, tmp_Item.msg.message, tmp_Item.msg.wParam);
      if (tmp_Item.fromSystem) {
        detail::RecordMessage(tmp_Item.msg.message, tmp_Item.msg.wParam, tmp_Item.msg.lParam);
      }
    }
    return true;
  }
  g_bPumpEnded = true;
  return false;
}

bool TranslateMessage(const MSG* /*fp_pMsg*/) { return false; }

LRESULT DispatchMessage(const MSG* fp_pMsg) {
  if (fp_pMsg == nullptr) return 0;
  Window* tmp_pWin = LiveWindow(fp_pMsg->hwnd);
  if (tmp_pWin == nullptr) return 0;
  return tmp_pWin->proc(fp_pMsg->hwnd, fp_pMsg->message, fp_pMsg->wParam, fp_pMsg->lParam);
}

bool WaitMessage() {
  detail::EnsureInit();
  // A replay never waits: the next frame is already written down.
  if (replay::GetMode() == replay::Mode::Replay) return true;
  for (;;) {
    PullSystem();
    if (!g_Queue.Empty()) return true;
    if (GetBackend() == Backend::Real && SDL_WasInit(SDL_INIT_VIDEO) != 0) {
      // Input events left in SDL's queue for the input part would make SDL's
      // wait return at once; then wait on the signal pipe in short slices.
      if (SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) {
        pollfd tmp_Poll{detail::SignalPipeFd(), POLLIN, 0};
        ::poll(&tmp_Poll, 1, 10);
      } else {
        SDL_WaitEventTimeout(nullptr, 100);
      }
    } else {
      pollfd tmp_Poll{detail::SignalPipeFd(), POLLIN, 0};
      // Without a pipe (it could not be made) the flag is checked every 100 ms.
      ::poll(&tmp_Poll, 1, tmp_Poll.fd >= 0 ? -1 : 100);
    }
  }
}

void PostQuitMessage(int fp_iExitCode) {
  g_Queue.Push({{nullptr, WM_QUIT, static_cast<WPARAM>(fp_iExitCode), 0}, false});
}

bool PostMessage(HWND fp_hWnd, std::uint32_t fp_uMsg, WPARAM fp_wParam, LPARAM fp_lParam) {
  if (fp_hWnd != nullptr && LiveWindow(fp_hWnd) == nullptr) return false;
  g_Queue.Push({{fp_hWnd, fp_uMsg, fp_wParam, fp_lParam}, false});
  return true;
}

LRESULT SendMessage(HWND fp_hWnd, std::uint32_t fp_uMsg, WPARAM fp_wParam, LPARAM fp_lParam) {
  Window* tmp_pWin = LiveWindow(fp_hWnd);
  if (tmp_pWin == nullptr) return 0;
  detail::NoteDelivered(fp_hWnd, fp_uMsg, fp_wParam);
  return tmp_pWin->proc(fp_hWnd, fp_uMsg, fp_wParam, fp_lParam);
}

LRESULT DefWindowProc(HWND fp_hWnd, std::uint32_t fp_uMsg, WPARAM /*fp_wParam*/,
                      LPARAM /*fp_lParam*/) {
  if (fp_uMsg == WM_CLOSE) DestroyWindow(fp_hWnd);
  return 0;
}

namespace detail {

void PostSystemMessage(HWND fp_hWnd, std::uint32_t fp_uMsg, WPARAM fp_wParam,
                       LPARAM fp_lParam) {
  g_Queue.Push({{fp_hWnd, fp_uMsg, fp_wParam, fp_lParam}, true});
}

void DropMessagesFor(HWND fp_hWnd) {
  for (size_t i = g_Queue.Size(); i > 0; --i) {
    if (g_Queue.At(i - 1).msg.hwnd == fp_hWnd) g_Queue.RemoveAt(i - 1);
  }
}

}  // namespace detail

}  // namespace os
