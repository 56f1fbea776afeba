// The drag-to-move gesture as plain state: what each press, move and release leads to.
#include "skin/window_drag.h"

#include <gtest/gtest.h>

#include <vector>

namespace kdsp::skin {
namespace {

using Step = WindowDrag::Step;

struct Event {
  enum Kind { kPress, kMove, kRelease } kind;
  QPoint at;
  bool leftHeld = true;
  Step expected = Step::kNothing;  // for moves
};

TEST(WindowDrag, OnlyADragWithTheButtonHeldBecomesAMove) {
  struct Case {
    const char* name;
    std::vector<Event> events;
    bool followingAfter;
  };
  constexpr int kDistance = 10;
  const QPoint p{100, 100};
  const Case cases[] = {
      {"tap", {{Event::kPress, p}, {Event::kRelease, p}, {Event::kMove, {300, 300}, false}}, false},
      {"tap, then moves with the button held elsewhere",
       {{Event::kPress, p}, {Event::kRelease, p}, {Event::kMove, {300, 300}, true}},
       false},
      {"jitter below the distance",
       {{Event::kPress, p}, {Event::kMove, {105, 104}, true, Step::kHeld}},
       false},
      {"drag",
       {{Event::kPress, p},
        {Event::kMove, {106, 104}, true, Step::kStartMove},
        {Event::kMove, {150, 90}, true, Step::kHeld}},
       true},
      {"drag, released",
       {{Event::kPress, p},
        {Event::kMove, {120, 100}, true, Step::kStartMove},
        {Event::kRelease, p}},
       false},
      {"drag whose release was lost",
       {{Event::kPress, p},
        {Event::kMove, {120, 100}, true, Step::kStartMove},
        {Event::kMove, {130, 100}, false, Step::kNothing},
        {Event::kMove, {140, 100}, true, Step::kNothing}},
       false},
      {"armed, release lost before any travel",
       {{Event::kPress, p}, {Event::kMove, {150, 150}, false, Step::kNothing}},
       false},
  };
  for (const Case& c : cases) {
    WindowDrag drag(kDistance);
    for (const Event& e : c.events) {
      switch (e.kind) {
        case Event::kPress:
          drag.press(e.at, QPoint(40, 60));
          break;
        case Event::kMove:
          EXPECT_EQ(drag.move(e.at, e.leftHeld), e.expected) << c.name;
          break;
        case Event::kRelease:
          drag.release();
          break;
      }
    }
    EXPECT_EQ(drag.following(), c.followingAfter) << c.name;
  }
}

TEST(WindowDrag, TheWindowKeepsItsOffsetFromThePointer) {
  WindowDrag drag(10);
  drag.press({500, 400}, {420, 380});
  EXPECT_TRUE(drag.armed());
  EXPECT_EQ(drag.pressPoint(), QPoint(500, 400));
  ASSERT_EQ(drag.move({530, 390}, true), Step::kStartMove);
  EXPECT_EQ(drag.windowPosFor({530, 390}), QPoint(450, 370));
  EXPECT_EQ(drag.windowPosFor({0, 0}), QPoint(-80, -20));
}

}  // namespace
}  // namespace kdsp::skin
