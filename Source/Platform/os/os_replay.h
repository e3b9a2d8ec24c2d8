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
// With M2D_REPLAY=file the timer, the tick count, the system messages (and
// what the input part reads) come from the file; when its frames run out a
// quit message is posted. With M2D_RECORD=file the same is written while the
// program runs for real. Lines starting with '#' are comments.
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
