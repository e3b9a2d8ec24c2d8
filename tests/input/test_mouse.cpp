// The mouse through the replay device: buttons pressed against clicked, motion,
// the wheel's sign, the cursor with its in-client state and the pairing of
// the system cursor's hide and show.
#include <climits>
#include <string>

#include "Platform/input/dinput8.h"
#include "Platform/os/os.h"
#include "Platform/os/os_replay.h"
#include "input_fixture.h"
#include "mrv_window.h"

using inputtest::InputTest;

TEST_F(InputTest, MouseButtonsMotionAndWheel) {
  UseReplay(
      "frame\nmouse 3 -4 120 1\n"
      "frame\nmouse 0 0 100000 1 8\n"
      "frame\nmouse 0 0 -1 8 2\n"
      "frame\n"  // no record: no motion, the buttons stay
      "frame\nmouse 0 0 0\n"
      "frame\nmouse 2147483647 -2147483648 -2147483648 3\n");
  StartEngine();
  struct Step {
    int dx, dy, wheel;
    int any;
    bool pressed1, clicked1, clicked2, pressed8, clicked8;
  };
  const Step kSteps[] = {
      {3, -4, 1, 1, true, true, false, false, false},
      {0, 0, 1, 1, true, false, false, true, true},
      {0, 0, -1, 2, false, false, true, true, false},
      {0, 0, 0, 2, false, false, false, true, false},
      {0, 0, 0, 0, false, false, false, false, false},
      {INT_MAX, INT_MIN, -1, 3, false, false, false, false, false},
  };
  for (const Step& s : kSteps) {
    Frame();
    SCOPED_TRACE(os::replay::CurrentFrame());
    EXPECT_EQ(engine_->INP_MouseGetDeltaX(), s.dx);
    EXPECT_EQ(engine_->INP_MouseGetDeltaY(), s.dy);
    EXPECT_EQ(engine_->INP_MouseGetWheelDelta(), s.wheel);
    EXPECT_EQ(engine_->INP_MouseGetAnyPressedKey(), s.any);
    EXPECT_EQ(engine_->INP_MouseIsKeyPressed(1), s.pressed1);
    EXPECT_EQ(engine_->INP_MouseIsKeyClicked(1), s.clicked1);
    EXPECT_EQ(engine_->INP_MouseIsKeyClicked(2), s.clicked2);
    EXPECT_EQ(engine_->INP_MouseIsKeyPressed(8), s.pressed8);
    EXPECT_EQ(engine_->INP_MouseIsKeyClicked(8), s.clicked8);
  }
  // Keys outside 1..8 read as up whatever is down.
  for (int tmp_iKey : {0, 9, -1, 256, INT_MIN, INT_MAX}) {
    EXPECT_FALSE(engine_->INP_MouseIsKeyPressed(tmp_iKey)) << tmp_iKey;
    EXPECT_FALSE(engine_->INP_MouseIsKeyClicked(tmp_iKey)) << tmp_iKey;
  }
}

TEST_F(InputTest, SystemCursorIsHiddenExactlyWhileOverTheActiveClientArea) {
  UseReplay(
      "frame\ncursor 400 300\n"
      "frame\n"
      "frame\ncursor 0 0\n"
      "frame\ncursor 800 300\n"  // the right edge is outside
      "frame\ncursor 799 599\n"
      "frame\ncursor 10 -1\n"
      "frame\ncursor 10 20\n"
      "frame\n"
      "frame\ncursor -2147483648 2147483647\n"
      "frame\ncursor 2147483647 -2147483648\n"
      "frame\ncursor 5 5\n");
  StartEngine();
  ASSERT_EQ(input::GetCursorDisplayCount(), 0);
  struct Step {
    int x, y;
    bool inClient;
    int dx, dy;
  };
  const Step kSteps[] = {
      {400, 300, true, 400, 300},
      {400, 300, true, 0, 0},  // staying inside hides nothing more
      {0, 0, true, -400, -300},
      {800, 300, false, 800, 300},
      {799, 599, true, -1, 299},
      {10, -1, false, -789, -600},
      {10, 20, true, 0, 21},
      {10, 20, true, 0, 0},
      {INT_MIN, INT_MAX, false, INT_MIN, INT_MAX - 20},
      {INT_MAX, INT_MIN, false, INT_MAX, INT_MIN},  // the differences saturate
  };
  for (const Step& s : kSteps) {
    Frame();
    SCOPED_TRACE(os::replay::CurrentFrame());
    std::int32_t x = 0, y = 0;
    engine_->INP_MouseGetCursorPos(&x, &y);
    EXPECT_EQ(x, s.x);
    EXPECT_EQ(y, s.y);
    EXPECT_EQ(engine_->INP_MouseGetCursorStatus(), s.inClient);
    EXPECT_EQ(engine_->INP_MouseGetCursorDeltaX(), s.dx);
    EXPECT_EQ(engine_->INP_MouseGetCursorDeltaY(), s.dy);
    EXPECT_EQ(input::GetCursorDisplayCount(), s.inClient ? -1 : 0);
  }

  // Inside again; then the engine's active flag drops: not in the client, shown.
  Frame();
  EXPECT_EQ(input::GetCursorDisplayCount(), -1);
  g_bAppActive = 0;
  engine_->INP_Update();
  EXPECT_FALSE(engine_->INP_MouseGetCursorStatus());
  EXPECT_EQ(input::GetCursorDisplayCount(), 0);
  g_bAppActive = 1;
  engine_->INP_Update();
  EXPECT_EQ(input::GetCursorDisplayCount(), -1);

  // Shutting down over the client area shows it again; starting and stopping
  // once more leaves the count where it began.
  engine_->INP_Shutdown();
  EXPECT_EQ(input::GetCursorDisplayCount(), 0);
  engine_->INP_Init();
  engine_->INP_Shutdown();
  EXPECT_EQ(input::GetCursorDisplayCount(), 0);
}
