// When a press on the file list becomes a drag out.
#include <gtest/gtest.h>

#include "app/files/drag_start.h"

namespace app::files {
namespace {

struct TMove {
  int x;
  int y;
  bool held = true;
  bool selection = true;
};

TEST(DragStartTracker, StartsAtSixPixelsOnEitherAxisWhileHeldWithASelection) {
  const struct {
    const char* name;
    std::vector<TMove> moves;  // after a press at (100, 50)
    std::vector<bool> starts;
  } kCases[] = {
      {"five pixels is not enough", {{105, 50}, {95, 55}, {104, 46}}, {false, false, false}},
      {"six to the right", {{103, 50}, {106, 50}}, {false, true}},
      {"six up", {{100, 44}}, {true}},
      {"six to the left and down", {{94, 56}}, {true}},
      {"only once per press", {{110, 50}, {120, 50}}, {true, false}},
      {"no selection ends the press", {{101, 50, true, false}, {110, 50}}, {false, false}},
      {"a lost release ends the press", {{101, 50, false}, {110, 50}}, {false, false}},
  };
  for (const auto& c : kCases) {
    TDragStartTracker tracker;
    tracker.Press(100, 50);
    std::vector<bool> starts;
    for (const TMove& move : c.moves)
      starts.push_back(tracker.Move(move.x, move.y, move.held, move.selection));
    EXPECT_EQ(starts, c.starts) << c.name;
  }
}

TEST(DragStartTracker, MovesWithoutAPressOrAfterTheReleaseStartNothing) {
  TDragStartTracker tracker;
  EXPECT_FALSE(tracker.Move(50, 50, true, true));
  tracker.Press(0, 0);
  EXPECT_TRUE(tracker.Pressed());
  tracker.Release();
  EXPECT_FALSE(tracker.Pressed());
  EXPECT_FALSE(tracker.Move(50, 50, true, true));
}

}  // namespace
}  // namespace app::files
