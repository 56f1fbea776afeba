// SPDX-License-Identifier: GPL-3.0-or-later
// Behaviour of the skin controls as plain state: fader, knob, value box, button, the change
// handlers and the decimal display texts. No window and no painting.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "skin/control_callbacks.h"
#include "skin/control_input.h"
#include "skin/img_button.h"
#include "skin/img_edit.h"
#include "skin/img_knob.h"
#include "skin/img_roller.h"
#include "skin/value_text.h"

namespace kdsp::skin {
namespace {

// Records every change handler call.
struct ChangeLog {
  std::vector<std::int32_t> values;
  static void Record(std::int32_t value, void*, void* userData) {
    static_cast<ChangeLog*>(userData)->values.push_back(value);
  }
};

void FormatPlain(std::int32_t value, BoxText& text) {
  SetBoxText(text, std::to_string(value));
}

// A fader as the pages make the EQ gain fader: 126 pixels plus a 40-pixel thumb, -240..120.
void MakeGainFader(ImgRoller& fader, ChangeLog& log) {
  fader.rect = {100, 50, 20, 126 + 40};
  fader.setRange(-240, 120);
  fader.changeHandler = ChangeLog::Record;
  fader.userData = &log;
  fader.formatter = FormatPlain;
}

void Drag(ImgRoller& fader, int fromY, int toY) {
  ASSERT_TRUE(fader.mouseDown(fader.rect.x + 5, fromY));
  fader.mouseMove(fader.rect.x + 5, toY);
}

TEST(Rect, BothEdgesHit) {
  const Rect r{10, 20, 30, 40};
  EXPECT_TRUE(r.contains(10, 20));
  EXPECT_TRUE(r.contains(40, 60));
  EXPECT_FALSE(r.contains(41, 60));
  EXPECT_FALSE(r.contains(40, 61));
  EXPECT_FALSE(r.contains(9, 30));
  EXPECT_FALSE(r.contains(20, 19));
}

// ---- Fader -------------------------------------------------------------------------------------

TEST(ImgRoller, FullHeightDragSpansTheWholeRange) {
  ChangeLog log;
  ImgRoller fader;
  MakeGainFader(fader, log);
  fader.value = -240;
  Drag(fader, 216, 216 - fader.rect.h);
  EXPECT_EQ(fader.value, 120);
  EXPECT_EQ(fader.value - (-240), 360);
  EXPECT_EQ(fader.valueBox.textView(), "120");
  EXPECT_EQ(*fader.changed, 1);
}

TEST(ImgRoller, DragStopsAtLimitAndAtMin) {
  struct Case {
    std::int32_t limit;
    std::int32_t start;
    int pixels;  // upward
    std::int32_t expected;
  };
  const Case cases[] = {
      {120, 0, 1000, 120},   // past the top
      {60, 0, 1000, 60},     // a page's limit below max
      {60, 0, -1000, -240},  // past the bottom
      {60, 50, 10, 60},      // 50 + 21 clamps to the limit
  };
  for (const Case& c : cases) {
    ChangeLog log;
    ImgRoller fader;
    MakeGainFader(fader, log);
    fader.limit = c.limit;
    fader.value = c.start;
    Drag(fader, 120, 120 - c.pixels);
    EXPECT_EQ(fader.value, c.expected) << "limit " << c.limit << " pixels " << c.pixels;
  }
}

TEST(ImgRoller, DragTruncatesTowardZeroFromTheStartValue) {
  ChangeLog log;
  ImgRoller fader;
  MakeGainFader(fader, log);  // 360 over 166 pixels: 2.17 per pixel
  fader.value = 0;
  ASSERT_TRUE(fader.mouseDown(105, 100));
  const std::pair<int, std::int32_t> moves[] = {{99, 2}, {101, -2}, {95, 10}, {100, 0}, {105, -10}};
  for (const auto& [y, expected] : moves) {
    fader.mouseMove(0, y);  // x plays no part
    EXPECT_EQ(fader.value, expected) << "y " << y;
  }
  // Every move fires, changed or not.
  EXPECT_EQ(log.values.size(), 5u);
}

TEST(ImgRoller, MovesOnlyWhileDraggingAndReleaseKeepsFocus) {
  ChangeLog log;
  ImgRoller fader;
  MakeGainFader(fader, log);
  fader.mouseMove(105, 0);
  EXPECT_EQ(fader.value, -240);
  EXPECT_TRUE(log.values.empty());

  ASSERT_TRUE(fader.mouseDown(105, 100));
  fader.mouseUp();
  EXPECT_EQ(fader.dragging, 0);
  EXPECT_EQ(fader.active, 1);
  fader.mouseMove(105, 0);
  EXPECT_TRUE(log.values.empty());

  EXPECT_FALSE(fader.mouseDown(500, 500));
  EXPECT_EQ(fader.active, 0);
}

TEST(ImgRoller, WheelMovesWholeNotchesOnly) {
  struct Case {
    int delta;
    std::int32_t expected;
  };
  const Case cases[] = {{60, 0}, {-60, 0}, {120, 1}, {240, 2}, {-240, -2}, {359, 2}, {-1200, -10}};
  for (const Case& c : cases) {
    ChangeLog log;
    ImgRoller fader;
    MakeGainFader(fader, log);
    fader.step = 7;  // not used by the fader's own gestures
    fader.value = 0;
    fader.wheel(c.delta, 110, 60);
    EXPECT_EQ(fader.value, c.expected) << "delta " << c.delta;
    EXPECT_EQ(fader.active, 1);
    EXPECT_EQ(log.values.size(), 1u);  // fires even for half a notch
  }
}

TEST(ImgRoller, WheelOutsideTakesTheFocusAway) {
  ChangeLog log;
  ImgRoller fader;
  MakeGainFader(fader, log);
  fader.active = 1;
  fader.value = 0;
  fader.wheel(120, 99, 60);
  EXPECT_EQ(fader.active, 0);
  EXPECT_EQ(fader.value, 0);
  EXPECT_TRUE(log.values.empty());
  EXPECT_EQ(*fader.changed, 0);
}

TEST(ImgRoller, ArrowKeysStepByOneWithinMinAndLimit) {
  ChangeLog log;
  ImgRoller fader;
  MakeGainFader(fader, log);
  fader.limit = 100;
  fader.value = 99;
  fader.keyDown(kKeyUp);
  EXPECT_EQ(fader.value, 99);  // not active yet
  fader.active = 1;
  fader.keyDown(kKeyUp);
  fader.keyDown(kKeyUp);
  EXPECT_EQ(fader.value, 100);
  fader.keyDown(Qt::Key_Left);
  EXPECT_EQ(log.values, (std::vector<std::int32_t>{100, 100}));
  fader.value = -239;
  fader.keyDown(kKeyDown);
  fader.keyDown(kKeyDown);
  EXPECT_EQ(fader.value, -240);
}

TEST(ImgRoller, MissingHandlerSetsNoFlagAndMissingFormatterKeepsTheText) {
  ImgRoller fader;
  fader.rect = {0, 0, 20, 165};
  fader.value = 50;
  fader.valueBox.setText("old");
  fader.wheel(120, 5, 5);
  EXPECT_EQ(fader.value, 51);
  EXPECT_EQ(*fader.changed, 0);
  EXPECT_EQ(fader.valueBox.textView(), "old");
}

TEST(ImgRoller, ChangedFlagCanLiveInABank) {
  std::array<std::uint8_t, 4> bank{};
  ChangeLog log;
  ImgRoller fader;
  MakeGainFader(fader, log);
  fader.changed = &bank[2];
  fader.wheel(120, 110, 60);
  EXPECT_EQ(bank[2], 1);
  EXPECT_EQ(fader.ownChanged, 0);
}

TEST(ImgRoller, ThumbOffsetPutsMaxAtTheTopAndMinAtTheBottom) {
  const SkinPicture thumb{QImage(20, 40, QImage::Format_ARGB32)};
  ImgRoller fader;
  fader.rect = {0, 0, 20, 126 + 40};
  fader.imageOff = &thumb;
  fader.setRange(-240, 120);
  const std::pair<std::int32_t, int> cases[] = {
      {120, 0}, {-240, 126}, {0, 42}, {119, 1}, {-239, 126}};
  for (const auto& [value, offset] : cases) {
    fader.value = value;
    EXPECT_EQ(fader.thumbOffset(), offset) << "value " << value;  // rounded up
  }
}

TEST(ImgRoller, MouseDownReachesTheValueBoxToo) {
  ImgRoller fader;
  fader.rect = {100, 50, 20, 165};
  fader.valueBox.rect = {86, 24, 38, 20};
  fader.valueBox.active = 1;
  fader.valueBox.dirty = 1;
  int commits = 0;
  fader.valueBox.userDataB = &commits;
  fader.valueBox.commitB = [](void* count, BoxText&) {
    ++*static_cast<int*>(count);
    return true;
  };
  EXPECT_TRUE(fader.mouseDown(110, 100));  // the fader hit commits the box's pending entry
  EXPECT_EQ(commits, 1);
  EXPECT_EQ(fader.valueBox.active, 0);
  EXPECT_TRUE(fader.mouseDown(90, 30));  // the box hit leaves the fader
  EXPECT_EQ(fader.active, 0);
  EXPECT_EQ(fader.valueBox.active, 1);
  EXPECT_EQ(fader.valueBox.cursor, -1);
}

// ---- Knob --------------------------------------------------------------------------------------

TEST(ImgKnob, AngleSweepsFromMinus150ToPlus150) {
  ImgKnob knob;
  knob.max = 2;
  const std::pair<std::int32_t, double> cases[] = {{0, -150.0}, {1, 0.0}, {2, 150.0}};
  for (const auto& [value, angle] : cases) {
    knob.value = value;
    EXPECT_DOUBLE_EQ(knob.angleDegrees(), angle) << "value " << value;
  }
}

TEST(ImgKnob, CornersTurnAboutTheCentre) {
  ImgKnob knob;
  knob.rect = {100, 200, 32, 32};
  knob.max = 2;
  knob.value = 1;  // upright
  auto c = knob.corners();
  EXPECT_NEAR(c[0].x(), 100, 1e-9);
  EXPECT_NEAR(c[0].y(), 200, 1e-9);
  EXPECT_NEAR(c[1].x(), 132, 1e-9);
  EXPECT_NEAR(c[2].y(), 232, 1e-9);
  // Quarter turn clockwise on the screen: the top-left corner goes to the top-right.
  knob.max = 300;
  knob.value = 240;  // 240 * 300 / 300 - 150 = 90 degrees
  c = knob.corners();
  EXPECT_NEAR(c[0].x(), 132, 1e-9);
  EXPECT_NEAR(c[0].y(), 200, 1e-9);
  EXPECT_NEAR(c[1].x(), 132, 1e-9);
  EXPECT_NEAR(c[1].y(), 232, 1e-9);
  EXPECT_NEAR(c[2].x(), 100, 1e-9);
  EXPECT_NEAR(c[2].y(), 200, 1e-9);
  // Odd sizes turn about the integer half: half a turn puts the top-left corner at 2 * 16.
  knob.rect = {0, 0, 33, 33};
  knob.value = 330;  // 180 degrees
  c = knob.corners();
  EXPECT_NEAR(c[0].x(), 32, 1e-9);
  EXPECT_NEAR(c[0].y(), 32, 1e-9);
}

TEST(ImgKnob, WheelMultipliesTheStepBeforeDividing) {
  struct Case {
    std::int32_t step;
    int delta;
    std::int32_t expected;
  };
  const Case cases[] = {{5, 120, 55}, {5, -120, 45}, {5, 60, 52},
                        {1, 60, 50},  {5, 480, 70},  {5, 2400, 100}};
  for (const Case& c : cases) {
    ImgKnob knob;
    knob.rect = {0, 0, 32, 32};
    knob.step = c.step;
    knob.value = 50;
    knob.wheel(c.delta, 16, 16);
    EXPECT_EQ(knob.value, c.expected) << "step " << c.step << " delta " << c.delta;
    EXPECT_EQ(knob.active, 1);
  }
}

TEST(ImgKnob, ArrowKeysStepByStepWhenActive) {
  ChangeLog log;
  ImgKnob knob;
  knob.rect = {0, 0, 32, 32};
  knob.step = 5;
  knob.value = 97;
  knob.changeHandler = ChangeLog::Record;
  knob.userData = &log;
  knob.keyDown(kKeyUp);
  EXPECT_EQ(knob.value, 97);
  knob.wheel(0, 50, 50);  // outside: no focus
  knob.keyDown(kKeyUp);
  EXPECT_EQ(knob.value, 97);
  ASSERT_TRUE(knob.mouseDown(3, 3));
  knob.keyDown(kKeyUp);
  EXPECT_EQ(knob.value, 100);
  knob.keyDown(kKeyDown);
  EXPECT_EQ(knob.value, 95);
  EXPECT_EQ(log.values, (std::vector<std::int32_t>{100, 95}));
  EXPECT_EQ(*knob.changed, 1);
}

TEST(ImgKnob, DragTurnsOneStepPerMoveUntilThePointersAngle) {
  ChangeLog log;
  ImgKnob knob;
  knob.rect = {40, 40, 32, 32};
  knob.changeHandler = ChangeLog::Record;
  knob.userData = &log;
  ASSERT_TRUE(knob.mouseDown(56, 56));
  // Top-right corner: 45 degrees, goal = ceil(100 * pi/4 * 0.2 + 50) = 66.
  for (int move = 1; move <= 80; ++move) {
    knob.mouseMove(72, 40);
    EXPECT_EQ(knob.value, std::min(move, 66)) << "move " << move;
  }
  EXPECT_EQ(log.values.size(), 80u);  // every move fires
  knob.mouseUp();
  knob.mouseMove(40, 72);
  EXPECT_EQ(knob.value, 66);
}

TEST(ImgKnob, DragOnAThreePositionKnob) {
  struct Case {
    int x, y;  // pointer, relative to the knob's corner
    std::int32_t start;
    std::int32_t after;
  };
  const Case cases[] = {
      {32, 0, 0, 1},                   // top-right: goal 2
      {32, 0, 1, 2},  {32, 0, 2, 2},   // at max
      {0, 0, 2, 1},                    // top-left: goal ceil(-0.31 + 1) = 1
      {0, 0, 1, 1},   {0, 32, 2, 1},   // bottom-left: angle -3pi/4, goal ceil(-0.94 + 1) = 1
      {0, 32, 1, 1},  {16, 16, 1, 0},  // the centre itself: angle -pi, goal ceil(-1.26 + 1) = 0
      {32, 31, 0, 1},                  // lower right: angle 2.32, goal 2
  };
  for (const Case& c : cases) {
    ImgKnob knob;
    knob.rect = {0, 0, 32, 32};
    knob.max = 2;
    knob.value = c.start;
    ASSERT_TRUE(knob.mouseDown(16, 16));
    knob.mouseMove(c.x, c.y);
    EXPECT_EQ(knob.value, c.after) << c.x << "," << c.y << " from " << c.start;
  }
}

TEST(ImgKnob, ValueBoxIsHitOnlyWhenShown) {
  ImgKnob knob;
  knob.rect = {0, 0, 32, 32};
  knob.valueBox.rect = {0, 40, 32, 18};
  EXPECT_FALSE(knob.mouseDown(10, 45));
  EXPECT_EQ(knob.valueBox.active, 0);
  knob.showValueBox = 1;
  EXPECT_TRUE(knob.mouseDown(10, 45));
  EXPECT_EQ(knob.valueBox.active, 1);
  EXPECT_EQ(knob.active, 0);
}

// ---- Value box ---------------------------------------------------------------------------------

struct CommitLog {
  std::vector<std::string> texts;
  static bool Record(void* userData, BoxText& text) {
    static_cast<CommitLog*>(userData)->texts.emplace_back(BoxTextView(text));
    return true;
  }
};

ImgEdit MakeBox(std::int32_t maxChars, CommitLog* log) {
  ImgEdit box;
  box.rect = {10, 10, 38, 20};
  box.maxChars = maxChars;
  box.setText("+0.0");
  if (log != nullptr) {
    box.userDataB = log;
    box.commitB = CommitLog::Record;
  }
  return box;
}

void Type(ImgEdit& box, std::string_view keys) {
  for (char ch : keys) box.keyPress(ch);
}

TEST(ImgEdit, Typing) {
  struct Case {
    std::int32_t maxChars;
    std::string_view keys;
    std::string_view text;
  };
  const Case cases[] = {
      {5, "123456", "12345"},  // the sixth is ignored
      {2, "-20", "-2"},        // a third character is ignored
      {5, "1a2 b", "12"},      // other characters have no effect
      {5, "-1.5,", "-1.5,"},   // signs and both separators
      {5, "12\b3", "13"},      // backspace takes the last character
      {5, "\b", ""},           // backspace right after the click clears
      {5, "\b7", "7"},
      {5, "1\b\b\b4", "4"},
      {12, "123456789012", "123456789"},  // never past 9 characters
  };
  for (const Case& c : cases) {
    ImgEdit box = MakeBox(c.maxChars, nullptr);
    ASSERT_TRUE(box.mouseDown(20, 20));
    Type(box, c.keys);
    EXPECT_EQ(box.textView(), c.text) << "keys " << c.keys;
    EXPECT_EQ(box.dirty, 1);
    EXPECT_EQ(box.text.back(), 0);
  }
}

TEST(ImgEdit, KeysAreIgnoredUnlessActiveAndEditable) {
  ImgEdit box = MakeBox(5, nullptr);
  Type(box, "12");
  EXPECT_EQ(box.textView(), "+0.0");
  ASSERT_TRUE(box.mouseDown(10, 10));
  box.readOnly = 1;
  Type(box, "12\b");
  EXPECT_EQ(box.textView(), "+0.0");
  EXPECT_EQ(box.dirty, 0);
}

TEST(ImgEdit, ClickElsewhereCommitsOnceAndTheSameBoxDoesNot) {
  CommitLog log;
  ImgEdit box = MakeBox(5, &log);
  ASSERT_TRUE(box.mouseDown(48, 30));  // the far corner still hits
  Type(box, "7");
  EXPECT_TRUE(box.mouseDown(20, 20));  // the same box again
  EXPECT_TRUE(log.texts.empty());
  EXPECT_EQ(box.cursor, -1);
  Type(box, "7");
  EXPECT_FALSE(box.mouseDown(49, 30));
  EXPECT_EQ(log.texts, std::vector<std::string>{"7"});
  EXPECT_EQ(box.active, 0);
  EXPECT_EQ(box.dirty, 0);
  EXPECT_FALSE(box.mouseDown(200, 200));  // nothing pending
  EXPECT_EQ(log.texts.size(), 1u);
}

TEST(ImgEdit, EnterCommitsAndTheHandlerRewritesTheText) {
  ImgEdit box = MakeBox(3, nullptr);
  int calls = 0;
  box.userDataB = &calls;
  box.commitB = [](void* count, BoxText& text) {
    ++*static_cast<int*>(count);
    SetBoxText(text, "42");
    return true;
  };
  ASSERT_TRUE(box.mouseDown(20, 20));
  box.keyPress(kCharEnter);
  EXPECT_EQ(calls, 0);  // nothing typed
  Type(box, "99\r");
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(box.textView(), "42");
  EXPECT_EQ(box.dirty, 0);
  EXPECT_EQ(box.active, 1);
}

TEST(ImgEdit, FormATakesPrecedenceOverFormB) {
  struct Seen {
    ImgEdit* box = nullptr;
    int a = 0;
    int b = 0;
  } seen;
  ImgEdit box = MakeBox(5, nullptr);
  box.userDataA = &seen;
  box.commitA = [](ImgEdit& self, void* data, BoxText&) {
    auto* s = static_cast<Seen*>(data);
    s->box = &self;
    ++s->a;
    return true;
  };
  box.userDataB = &seen;
  box.commitB = [](void* data, BoxText&) {
    ++static_cast<Seen*>(data)->b;
    return true;
  };
  box.mouseDown(20, 20);
  Type(box, "1\r");
  EXPECT_EQ(seen.a, 1);
  EXPECT_EQ(seen.b, 0);
  EXPECT_EQ(seen.box, &box);
  // A handler without its user data is not set.
  box.userDataA = nullptr;
  box.mouseDown(20, 20);
  Type(box, "2\r");
  EXPECT_EQ(seen.a, 1);
  EXPECT_EQ(seen.b, 1);
}

// A handler that takes only "1" and otherwise puts "5", the value in force, back.
bool TakeOnlyOne(void* calls, BoxText& text) {
  ++*static_cast<int*>(calls);
  const bool taken = BoxTextView(text) == "1";
  if (!taken) SetBoxText(text, "5");
  return taken;
}

TEST(ImgEdit, ARefusedEntryShowsTheValueInForceFlashesAndStartsANewEntry) {
  int calls = 0;
  ImgEdit box = MakeBox(2, nullptr);
  box.userDataB = &calls;
  box.commitB = TakeOnlyOne;
  ASSERT_TRUE(box.mouseDown(20, 20));
  Type(box, "75\r");
  EXPECT_EQ(box.textView(), "5");
  EXPECT_EQ(box.flashing, 1);
  EXPECT_EQ(box.active, 1);
  EXPECT_EQ(box.cursor, -1);  // not "57": the next digit replaces the shown value
  Type(box, "1");
  EXPECT_EQ(box.textView(), "1");
  box.endFlash();
  EXPECT_FALSE(box.mouseDown(200, 200));  // committing by a click elsewhere, taken
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(box.flashing, 0);
  ASSERT_TRUE(box.mouseDown(20, 20));
  Type(box, "9");
  EXPECT_FALSE(box.mouseDown(200, 200));  // refused by a click elsewhere
  EXPECT_EQ(box.textView(), "5");
  EXPECT_EQ(box.flashing, 1);
}

TEST(ImgEdit, SetTextKeepsNineCharacters) {
  ImgEdit box;
  box.setText("abcdefghijkl");
  EXPECT_EQ(box.textView(), "abcdefghi");
  box.setText("1");
  EXPECT_EQ(box.textView(), "1");
  for (std::size_t i = 1; i < box.text.size(); ++i) EXPECT_EQ(box.text[i], 0);
}

// ---- Button ------------------------------------------------------------------------------------

struct Clicks {
  std::vector<int> states;
  static void Record(ImgButton& button, void* userData) {
    static_cast<Clicks*>(userData)->states.push_back(button.state);
  }
};

TEST(ImgButton, MomentaryFiresOnReleaseWhereverThePointerIs) {
  Clicks clicks;
  ImgButton button;
  button.rect = {960, 8, 25, 23};
  button.state = 1;
  button.clickHandler = Clicks::Record;
  button.userData = &clicks;
  ASSERT_TRUE(button.mouseDown(985, 31));
  EXPECT_EQ(button.state, 0);  // shows imageOff while held
  EXPECT_EQ(button.pressed, 1);
  button.mouseUp();  // released far outside
  EXPECT_EQ(clicks.states, std::vector<int>{0});
  EXPECT_EQ(button.state, 1);
  EXPECT_EQ(button.pressed, 0);
  button.mouseUp();  // no press, no click
  EXPECT_FALSE(button.mouseDown(986, 8));
  button.mouseUp();
  EXPECT_EQ(clicks.states.size(), 1u);
  EXPECT_EQ(*button.changed, 0);  // the button never sets its own flag
}

TEST(ImgButton, ToggleFiresOnEveryReleaseWithTheNewState) {
  Clicks clicks;
  ImgButton button;
  button.momentary = 0;
  button.rect = {15, 22, 24, 24};
  button.clickHandler = Clicks::Record;
  button.userData = &clicks;
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(button.mouseDown(20, 30));
    button.mouseUp();
  }
  EXPECT_EQ(clicks.states, (std::vector<int>{1, 0, 1}));
}

// ---- Change handlers ---------------------------------------------------------------------------

TEST(ChangeHandlers, StoreIntoTheirTargets) {
  struct Case {
    ChangeHandler handler;
    std::int32_t value;
    std::array<std::uint8_t, 3> before;
    std::array<std::uint8_t, 3> after;
  };
  const Case cases[] = {
      {StoreWord, -120, {0xAA, 0xAA, 0xAA}, {0x88, 0xFF, 0xAA}},  // int16 little-endian
      {StoreWord, 300, {0, 0, 0}, {0x2C, 0x01, 0}},
      {StoreLow7, 5, {0x80, 0x7F, 0}, {0x85, 0x7F, 0}},  // bit 7 kept
      {StoreLow7, 0xFF, {0x00, 0, 0}, {0x7F, 0, 0}},     // the value's bit 7 is not stored
      {StoreLow7, 0, {0xFF, 0, 0}, {0x80, 0, 0}},
      {StoreByte, 2, {0xFF, 0xEE, 0}, {0x02, 0xEE, 0}},
      {StoreByte, 0x1FF, {0, 0, 0}, {0xFF, 0, 0}},
  };
  for (const Case& c : cases) {
    auto bytes = c.before;
    c.handler(c.value, bytes.data(), nullptr);
    EXPECT_EQ(bytes, c.after) << "value " << c.value;
  }
}

TEST(ChangeHandlers, EmptyTargetDoesNothing) {
  for (ChangeHandler handler : {StoreWord, StoreLow7, StoreByte}) handler(7, nullptr, nullptr);
  std::uint8_t flag = 0;
  FireChange(StoreWord, 7, nullptr, nullptr, &flag);
  EXPECT_EQ(flag, 1);  // the handler ran; the flag does not depend on the target
  flag = 0;
  FireChange(nullptr, 7, nullptr, nullptr, &flag);
  EXPECT_EQ(flag, 0);
}

// ---- Decimal texts -----------------------------------------------------------------------------

class DecimalTexts : public ::testing::Test {
 protected:
  void SetUp() override { saved_ = DecimalSeparator(); }
  void TearDown() override { SetDecimalSeparator(saved_); }

 private:
  char saved_ = '.';
};

TEST_F(DecimalTexts, TenthsAndQ) {
  struct Case {
    char separator;
    std::int32_t tenths;
    std::string_view tenthsText;
    int bandwidth;
    std::string_view qText;
  };
  const Case cases[] = {
      {'.', 35, "+3.5", 0, "0.05"},    {'.', -120, "-12.0", 59, "3.00"},
      {'.', 0, "+0.0", 49, "2.50"},    {'.', -5, "-0.5", 2, "0.15"},
      {'.', 120, "+12.0", 19, "1.00"}, {',', 35, "+3,5", 49, "2,50"},
      {',', -240, "-24,0", 0, "0,05"},
  };
  for (const Case& c : cases) {
    SetDecimalSeparator(c.separator);
    BoxText text{};
    FormatTenths(c.tenths, text);
    EXPECT_EQ(BoxTextView(text), c.tenthsText);
    FormatQ(c.bandwidth, text);
    EXPECT_EQ(BoxTextView(text), c.qText);
  }
}

TEST_F(DecimalTexts, FarOutOfRangeValuesAreCutNotOverrun) {
  BoxText text{};
  FormatTenths(INT32_MIN, text);
  EXPECT_EQ(BoxTextView(text), "-21474836");
  EXPECT_EQ(text.back(), 0);
}

TEST_F(DecimalTexts, OnlyTheFirstPointIsReplaced) {
  SetDecimalSeparator(',');
  BoxText text{};
  SetBoxText(text, "1.2.3");
  LocaliseDecimalPoint(text);
  EXPECT_EQ(BoxTextView(text), "1,2.3");
}

}  // namespace
}  // namespace kdsp::skin
