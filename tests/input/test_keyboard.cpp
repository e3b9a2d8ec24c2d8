// The keyboard through the replay device: pressed against clicked over several
// frames, the text-entry buffer, the key names, start-up and its order error,
// lost devices, and the engine's frame update, focus and shut-down calls.
#include <climits>
#include <string>
#include <vector>

#include "Platform/os/os.h"
#include "Platform/os/os_replay.h"
#include "input_fixture.h"
#include "mrv_window.h"

using inputtest::InputTest;
using inputtest::kSeparator;
using m2dtest::ContainsLines;
using m2dtest::ReadLines;

TEST_F(InputTest, HeldKeyIsClickedOnlyInItsFirstFrame) {
  UseReplay(
      "frame\nkeys 30 255\n"
      "frame\nkeys 30 255 42\n"
      "frame\n"  // no record: the same keys stay down
      "frame\nkeys 255\n");
  StartEngine();
  struct Step {
    bool pressedA, clickedA, clickedShift;
    int anyKey;
  };
  const Step kSteps[] = {{true, true, false, 30},
                         {true, false, true, 30},
                         {true, false, false, 30},
                         {false, false, false, 0}};
  for (const Step& s : kSteps) {
    Frame();
    SCOPED_TRACE(os::replay::CurrentFrame());
    EXPECT_EQ(engine_->INP_KeyboardIsKeyPressed(30), s.pressedA);
    EXPECT_EQ(engine_->INP_KeyboardIsKeyClicked(30), s.clickedA);
    EXPECT_EQ(engine_->INP_KeyboardIsKeyClicked(42), s.clickedShift);
    // Code 255 is down throughout but never the "any" key.
    EXPECT_TRUE(engine_->INP_KeyboardIsKeyPressed(255));
    EXPECT_EQ(engine_->INP_KeyboardGetAnyPressedKey(), s.anyKey);
  }
  // Codes from scripts outside 0..255 read as up.
  for (int tmp_iKey : {-1, 256, INT_MAX, INT_MIN, 255 + 256}) {
    EXPECT_FALSE(engine_->INP_KeyboardIsKeyPressed(tmp_iKey)) << tmp_iKey;
    EXPECT_FALSE(engine_->INP_KeyboardIsKeyClicked(tmp_iKey)) << tmp_iKey;
  }
}

namespace {

struct TextCase {
  const char* name;
  std::uint32_t size;
  const char* start;                // the buffer before the case
  std::vector<std::string> frames;  // "keys" records, one a frame
  const char* expected;
};

// Each case's frames are followed by one with every key up.
const TextCase kTextCases[] = {
    {"size 3 keeps the first three", 3, "", {"30", "48", "46", "32"}, "abc"},
    {"backspace removes the last", 3, "abc", {"14"}, "ab"},
    {"backspace on empty", 10, "", {"14", "", "14"}, ""},
    {"a key held over frames types once", 10, "", {"30", "30", "30"}, "a"},
    {"shift 5 gives percent", 10, "", {"42", "42 6"}, "%"},
    {"right shift works too", 10, "", {"54 30", "54", "54 41"}, "A~"},
    {"shift with the keypad 5 gives 5", 10, "", {"42", "42 76"}, "5"},
    {"keypad keys", 10, "", {"82", "79", "181", "55", "74", "78", "83"}, "01/*-+"},
    {"two keys: the one earlier in the table", 10, "", {"48 30", "", "2 44", "", "11 41"}, "az`"},
    {"space goes first", 10, "", {"57 30", ""}, " "},
    {"backspace wins over a letter", 10, "xy", {"14 30"}, "x"},
    {"punctuation with and without shift",
     20,
     "",
     {"12", "13", "26", "27", "39", "40", "43", "51", "52", "53", "42", "42 40", "42 43", "42 53"},
     "-=[];'\\,./\"|?"},
    {"size 0 keeps nothing", 0, "", {"30", "57"}, ""},
};

}  // namespace

TEST_F(InputTest, TextEntryTurnsClickedKeysIntoCharacters) {
  std::string tmp_strReplay;
  for (const TextCase& c : kTextCases) {
    for (const std::string& tmp_rKeys : c.frames)
      tmp_strReplay += "frame\nkeys " + tmp_rKeys + "\n";
    tmp_strReplay += "frame\nkeys\n";
  }
  UseReplay(tmp_strReplay);
  StartEngine();
  engine_->INP_KeyboardSetTextBufferStatus(true);
  for (const TextCase& c : kTextCases) {
    SCOPED_TRACE(c.name);
    engine_->INP_KeyboardSetTextBufferSize(255);
    engine_->INP_KeyboardSetTextInBuffer(c.start);
    engine_->INP_KeyboardSetTextBufferSize(c.size);
    for (size_t i = 0; i <= c.frames.size(); ++i) Frame();
    EXPECT_EQ(engine_->INP_KeyboardGetTextInBuffer(), c.expected);
  }
}

TEST_F(InputTest, TextBufferOffKeepsItsTextAndSizeCutsIt) {
  UseReplay("frame\nkeys 30\nframe\nkeys\nframe\nkeys 48\n");
  StartEngine();
  EXPECT_EQ(engine_->INP_KeyboardGetTextInBuffer(), "");
  EXPECT_EQ(engine_->textBufferSize, 255u);
  engine_->INP_KeyboardSetTextInBuffer("hello");
  Frame();  // off at start: A is not typed
  EXPECT_EQ(engine_->INP_KeyboardGetTextInBuffer(), "hello");
  // The typed character is still there for the GUI's text box.
  EXPECT_EQ(engine_->INP_KeyboardGetTypedChar(), 'a');
  engine_->INP_KeyboardSetTextBufferSize(2);
  EXPECT_EQ(engine_->INP_KeyboardGetTextInBuffer(), "he");
  engine_->INP_KeyboardSetTextBufferStatus(true);
  Frame();
  EXPECT_EQ(engine_->INP_KeyboardGetTypedChar(), 0);
  // Setting the text has no length check; the next append cuts it.
  engine_->INP_KeyboardSetTextInBuffer("long text");
  EXPECT_EQ(engine_->INP_KeyboardGetTextInBuffer(), "long text");
  Frame();
  EXPECT_EQ(engine_->INP_KeyboardGetTextInBuffer(), "lo");
}

TEST(InputKeyNames, NamesGiveTheirKeyCodes) {
  struct Name {
    const char* name;
    int code;
  };
  const Name kNames[] = {
      {"ESCAPE", 1},
      {"NUMPADENTER", 156},
      {"0", 11},
      {"9", 10},
      {"A", 30},
      {"Z", 44},
      {"BACK", 14},
      {"BACKSPACE", 14},
      {"CAPITAL", 58},
      {"CAPSLOCK", 58},
      {"NEXT", 209},
      {"PGDN", 209},
      {"PRIOR", 201},
      {"PGUP", 201},
      {"LMENU", 56},
      {"LALT", 56},
      {"RMENU", 184},
      {"RALT", 184},
      {"DIVIDE", 181},
      {"NUMPADSLASH", 181},
      {"F10", 68},
      {"F11", 87},
      {"F12", 88},
      {"RETURN", 28},
      {"SPACE", 57},
      {"WAKE", 227},
      {"MEDIASELECT", 237},
      {"SYSRQ", 183},
      {"PAUSE", 197},
      {"RCONTROL", 157},
      {"NUMPADSTAR", 55},
      {"DECIMAL", 83},
      // Not names of the list, or not spelled as in it.
      {"escape", 0},
      {"Escape", 0},
      {"ESCAPE ", 0},
      {"DIK_ESCAPE", 0},
      {"", 0},
      {"OEM_102", 0},
      {"F13", 0},
      {"KANA", 0},
      {"NUMPADEQUALS", 0},
      {"ENTER", 0},
  };
  for (const Name& n : kNames) EXPECT_EQ(CMorvane::INP_KeyNameToCode(n.name), n.code) << n.name;
  EXPECT_EQ(CMorvane::INP_KeyNameToCode(nullptr), 0);
}

TEST_F(InputTest, StartBeforeTheGraphicsDeviceThrowsAndStillShutsDown) {
  engine_ = std::make_unique<CMorvane>();
  try {
    engine_->INP_Init();
    FAIL() << "INP_Init did not throw";
  } catch (const CEHSException& e) {
    EXPECT_EQ(e.type, EHS_TYPE_GAME);
    EXPECT_EQ(e.code, 0);
    EXPECT_EQ(e.description, "Input system should be initialized after graphics system!");
  }
  EXPECT_EQ(engine_->bInpInitialized, 1);
  EXPECT_EQ(engine_->pDI, nullptr);
  engine_->INP_Update();  // nothing to read, nothing happens
  engine_.reset();
  std::vector<std::string> tmp_vLog = ReadLines("gamelog.txt");
  EXPECT_TRUE(ContainsLines(tmp_vLog, {kSeparator, "--==: Initializing Input Subsystem..."}));
  EXPECT_TRUE(ContainsLines(tmp_vLog, {kSeparator, "--==: Deinitializing Input Subsystem...",
                                       "   +: Done.", kSeparator, ""}));
}

TEST_F(InputTest, StartAndShutDownAreLogged) {
  UseReplay("frame\n");
  StartEngine();
  EXPECT_EQ(engine_->bInpInitialized, 1);
  EXPECT_EQ(engine_->bKeyboardAcquired, 1);
  EXPECT_EQ(engine_->bMouseAcquired, 1);
  EXPECT_TRUE(ContainsLines(
      ReadLines("gamelog.txt"),
      {kSeparator, "--==: Initializing Input Subsystem...", "   +: Done.", kSeparator, ""}));
  // A second start replaces the devices (the sanitizers' leak check would
  // catch the first ones left behind).
  engine_->INP_Init();
  EXPECT_EQ(engine_->bKeyboardAcquired, 1);
  engine_->INP_Shutdown();
  EXPECT_EQ(engine_->bInpInitialized, 0);
  EXPECT_EQ(engine_->pDI, nullptr);
  EXPECT_EQ(engine_->pDIKeyboard, nullptr);
  EXPECT_EQ(engine_->pDIMouse, nullptr);
  EXPECT_EQ(engine_->bKeyboardAcquired, 0);
  EXPECT_TRUE(ContainsLines(
      ReadLines("gamelog.txt"),
      {kSeparator, "--==: Deinitializing Input Subsystem...", "   +: Done.", kSeparator, ""}));
}

TEST_F(InputTest, NothingReadsDownWhileTheDevicesCannotBeAcquired) {
  UseReplay(
      "frame\nkeys 30\nmouse 5 6 120 1\ncursor 100 100\n"
      "frame\nmouse 5 6 120 1\n"
      "frame\nmsg 6 1 0\nmouse 7 8 0 1\n");
  StartEngine(false);
  // The window loses the focus before input starts.
  os::SendMessage(engine_->hWnd, os::WM_ACTIVATE, os::WA_INACTIVE, 0);
  ASSERT_EQ(g_bAppActive, 0);
  engine_->INP_Init();
  EXPECT_EQ(engine_->bKeyboardAcquired, 0);
  EXPECT_EQ(engine_->bMouseAcquired, 0);
  // The result is the signed value of "another program has priority".
  EXPECT_TRUE(ContainsLines(ReadLines("gamelog.txt"),
                            {" !: Cannot acquire keyboard!", " !: -2147024891",
                             " !: Cannot acquire mouse!", " !: -2147024891", "   +: Done."}));

  for (int i = 0; i < 2; ++i) {
    Frame();
    EXPECT_FALSE(engine_->INP_KeyboardIsKeyPressed(30));
    EXPECT_EQ(engine_->INP_KeyboardGetAnyPressedKey(), 0);
    EXPECT_EQ(engine_->INP_MouseGetAnyPressedKey(), 0);
    EXPECT_EQ(engine_->INP_MouseGetDeltaX(), 0);
    EXPECT_EQ(engine_->INP_MouseGetWheelDelta(), 0);
    std::int32_t x = -5, y = -5;
    engine_->INP_MouseGetCursorPos(&x, &y);  // not read: stays where it was
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
  }
  EXPECT_EQ(engine_->bKeyboardAcquired, 0);

  // The focus comes back: the window procedure re-acquires both devices.
  Frame();
  EXPECT_EQ(g_bAppActive, 1);
  EXPECT_EQ(engine_->bKeyboardAcquired, 1);
  EXPECT_EQ(engine_->bMouseAcquired, 1);
  EXPECT_TRUE(engine_->INP_KeyboardIsKeyClicked(30));
  EXPECT_TRUE(engine_->INP_MouseIsKeyClicked(1));
  EXPECT_EQ(engine_->INP_MouseGetDeltaX(), 7);
  std::int32_t x = 0, y = 0;
  engine_->INP_MouseGetCursorPos(&x, &y);
  EXPECT_EQ(x, 100);
  EXPECT_EQ(y, 100);
}

TEST_F(InputTest, LostDevicesAreReacquiredAndRepeatedFailuresThrow) {
  UseReplay(
      "frame\nkeys 30\nmouse 1 0 0 1\n"
      "frame\nlost\nkeys 30 31\nmouse 2 0 0 1\n"  // lost once: re-acquired, read again
      "frame\nlost 2 keyboard\n"                  // the second read fails too
      "frame\n"                                   // no longer acquired, the engine thinks it is
      "frame\nlost 2 mouse\n");
  StartEngine();
  Frame();
  Frame();
  EXPECT_TRUE(engine_->INP_KeyboardIsKeyClicked(31));
  EXPECT_FALSE(engine_->INP_KeyboardIsKeyClicked(30));
  EXPECT_EQ(engine_->INP_MouseGetDeltaX(), 2);
  EXPECT_FALSE(engine_->INP_MouseIsKeyClicked(1));

  struct Failure {
    std::uint32_t code;
    const char* message;
    bool reacquireFirst;  // as when the window gets the focus back
    bool deactivateFirst;
  };
  const Failure kFailures[] = {
      {0x8007001Eu, "Second try of getting Keyboard state failed!", false, false},
      {0x8007000Cu, "Cannot get Keyboard state!", false, false},
      {0x8007001Eu, "Second try of getting Mouse state failed!", true, false},
      // A read while the window is inactive (only a direct call can): lost,
      // and not to be had back.
      {0x80070005u, "Cannot reacquire Keyboard!", false, true},
  };
  for (const Failure& f : kFailures) {
    SCOPED_TRACE(f.message);
    if (f.reacquireFirst) engine_->INP_Acquire();
    if (f.deactivateFirst) os::SendMessage(engine_->hWnd, os::WM_ACTIVATE, os::WA_INACTIVE, 0);
    try {
      Frame();
      ADD_FAILURE() << "no exception";
    } catch (const CEHSException& e) {
      EXPECT_EQ(e.type, EHS_TYPE_GENERAL);
      EXPECT_EQ(static_cast<std::uint32_t>(e.code), f.code);
      EXPECT_EQ(e.description, f.message);
    }
  }
}

TEST_F(InputTest, EngineFrameFocusAndShutDownDriveInput) {
  UseReplay(
      "frame\nkeys 30\n"
      "frame\nmsg 6 0 0\nkeys 30 31\n"  // inactive: no frame runs, nothing is read
      "frame\nmsg 6 1 0\nkeys 30 32\n");
  StartEngine();
  EXPECT_EQ(engine_->UpdateAllSystems(), 1);
  EXPECT_TRUE(engine_->INP_KeyboardIsKeyClicked(30));
  EXPECT_EQ(engine_->UpdateAllSystems(), 0);
  EXPECT_FALSE(engine_->INP_KeyboardIsKeyPressed(31));
  EXPECT_EQ(engine_->UpdateAllSystems(), 1);
  EXPECT_TRUE(engine_->INP_KeyboardIsKeyClicked(32));
  EXPECT_FALSE(engine_->INP_KeyboardIsKeyClicked(30));
  StopEngine();
  // Input stops first, before the log's footer.
  std::vector<std::string> tmp_vLog = ReadLines("gamelog.txt");
  EXPECT_TRUE(ContainsLines(tmp_vLog, {"FOCUS LOST"}));
  EXPECT_TRUE(ContainsLines(tmp_vLog, {"FOCUS GAINED"}));
  EXPECT_TRUE(
      ContainsLines(tmp_vLog, {kSeparator, "--==: Deinitializing Input Subsystem...", "   +: Done.",
                               kSeparator, "", "", kSeparator, kSeparator, "--==: End of log."}));
}
