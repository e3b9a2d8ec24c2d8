// Recording and replaying a session. A replay file is text, one record a
// line, grouped in frames; a frame starts at the first PeekMessage after the
// queue was found empty (the start of a message pump):
//
//   m2dreplay 1
//   init <timeGetTime> <GetTickCount>     readings before the first frame
//   frame                                 starts the next frame
//   time <ms> [<ms> ...]                  timeGetTime readings of this frame
//                                         (the last one repeats)
//   tick <ms> [<ms> ...]                  GetTickCount readings, likewise
//   msg <message> <wParam> <lParam>       a system message delivered this frame
//   <other keyword> ...                   records of other parts (input)
//
// The input part's records (Platform/input, scripted back end):
//
//   keys [<code> ...]            DirectInput key codes (0 to 255) down from
//                                this frame on; "keys" alone: none
//   mouse <dx> <dy> <dz> [<button> ...]
//                                this frame's motion and wheel motion (120 a
//                                notch, positive away from the user), and the
//                                buttons (1 left, 2 right, 3 middle, to 8)
//                                down from this frame on; a frame without one
//                                has no motion and keeps its buttons
//   cursor <x> <y>               the cursor in client-area (back-buffer)
//                                pixels from this frame on; before the first
//                                one it is outside the window, at -1 -1
//   lost [<reads>] [keyboard|mouse]
//                                the next reads (1 unless given, up to 1000)
//                                of both devices, or of the one named, find
//                                the device lost (as when the system took it)
//
// Input records are taken in the frames in which the program reads input;
// those of a frame it reads none in (its window inactive) are not seen. A
// recording writes "keys", "mouse" and "cursor" when what a read returned
// changed. A malformed input record is reported on stderr and ignored.
//
// With M2D_REPLAY=file the timer, the tick count, the system messages (and
// what the input part reads) come from the file; when its frames run out a
// quit message is posted. With M2D_RECORD=file the same is written while the
// program runs for real. Lines starting with '#' are comments.
//
// Details:
// - "time" and "tick" lines before the first "frame" give the readings that
//   follow the "init" ones (a recording writes them when the program read the
//   clock more than once before its first message pump). A frame without a
//   "time" or "tick" line repeats the last reading given.
// - Numbers are decimal: readings 0 to 4294967295, message and wParam
//   unsigned, lParam signed. A "msg" goes to the newest window (WM_QUIT to
//   none) and is queued after what the program itself posted before.
// - Records of other parts may also stand before the first frame (frame 0).
// - While a replay runs, the system's own window events are ignored (SIGINT
//   and SIGTERM still quit), WaitMessage returns at once and a message box is
//   written to stderr and the message-box hook instead of waiting for a click.
// - An unreadable or malformed replay file is reported (stderr and the
//   message-box hook, with the line and the reason); the run then has no
//   frames, reads the system clock and quits at its first message pump.
// - M2D_REPLAY wins over M2D_RECORD. A recording is written frame by frame
//   (flushed when the next frame starts) and finished at exit; it keeps the
//   readings actually returned and the system messages actually delivered,
//   not the messages the program posted itself.
#pragma once

#include <string>
#include <vector>

namespace os::replay {

enum class Mode { Off, Record, Replay };
Mode GetMode();

// Other platform parts (input) read and write their own records of the
// current frame. In Replay mode, FrameRecords returns the lines of the
// current frame that begin with keyword (without it); in Record mode,
// RecordLine appends "keyword rest" to the current frame.
const std::vector<std::string>& FrameRecords(const char* fp_pszKeyword);
void RecordLine(const char* fp_pszKeyword, const std::string& fp_strRest);

// Index of the current frame (0 before the first).
long CurrentFrame();

}  // namespace os::replay
