// The kernel's 1-based lists: insertion and removal at the edges, appending a list to itself, Locate.
#include <gtest/gtest.h>

#include "VORRawCollint.h"
#include "TestLists.h"

namespace {

// Insertion takes positions 1 to Size() + 1, removal 1 to Size(); a run to remove is cut short by the
// list's end. A refused position leaves the list as it was.
TEST(ListEdits, TakeOnlyPositionsInTheListAndCutRunsShortAtItsEnd) {
  VORRawCollint l = Ints({1, 2});
  EXPECT_TRUE(l.InsertAt(1, 0));
  EXPECT_TRUE(l.InsertAt(4, 9));
  EXPECT_EQ(l, Ints({0, 1, 2, 9}));
  for (int bad : {0, 6, -3}) EXPECT_FALSE(l.InsertAt(bad, 5)) << bad;
  for (int bad : {0, 5}) EXPECT_FALSE(l.RemovePosition(bad)) << bad;
  EXPECT_EQ(l, Ints({0, 1, 2, 9}));
  EXPECT_TRUE(l.RemovePosition(4));
  EXPECT_TRUE(l.RemovePosition(1));
  EXPECT_EQ(l, Ints({1, 2}));
  VORRawCollint empty;
  EXPECT_FALSE(empty.RemovePosition(1));
  EXPECT_TRUE(empty.InsertAt(1, 7));
  EXPECT_EQ(empty, Ints({7}));

  VORRawCollint run = Ints({1, 2, 3, 4, 5});
  EXPECT_EQ(run.RemovePositions(2, 2), 2);
  EXPECT_EQ(run, Ints({1, 4, 5}));
  EXPECT_EQ(run.RemovePositions(2, 10), 2);
  EXPECT_EQ(run, Ints({1}));
  EXPECT_EQ(run.RemovePositions(0, 1), 0);
  EXPECT_EQ(run.RemovePositions(2, 1), 0);
  EXPECT_EQ(run.RemovePositions(1, 0), 0);
  EXPECT_EQ(run, Ints({1}));
  run.Append(run);  // from its own storage, which the append may move
  EXPECT_EQ(run, Ints({1, 1}));
}

TEST(ListLocate, GivesThePositionFromAStartOrZero) {
  const VORRawCollint l = Ints({5, 7, 5, 9});
  EXPECT_EQ(l.Locate(5, 1), 1);
  EXPECT_EQ(l.Locate(5, 2), 3);
  EXPECT_EQ(l.Locate(5, 4), 0);
  EXPECT_EQ(l.Locate(9), 4);
  EXPECT_EQ(l.Locate(8), 0);
  EXPECT_EQ(l.Locate(5, -10), 1);  // a start before the list reads from position 1
  EXPECT_EQ(l.Locate(5, 100), 0);
  EXPECT_EQ(VORRawCollint().Locate(1), 0);
}

}  // namespace
