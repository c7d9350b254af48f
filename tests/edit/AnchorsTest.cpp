// Anchors: read as points, deleted with the points between their neighbours, a run of points cleared,
// and the anchors inside a range; on plain strokes, strokes on several planes and closed point lists.
#include <gtest/gtest.h>

#include "EditTestSupport.h"

namespace {

using namespace edit_test;

VORListValVORMathPoint Numbered(int n) {
  VORListValVORMathPoint p;
  for (int i = 1; i <= n; ++i) p.Append(VORMathPoint(i, 0.1 * i * i, 0.0));
  return p;
}

// ---- GetAnchors (points) ----

TEST(AnchorPoints, OnePointPerAnchorAndAFailureWhenTheyMissAnEndOrThePoints) {
  struct Case {
    const char* what;
    int points;
    VORRawCollint anchors;
    long result;
    std::vector<int> listed;  // positions of the points listed
  };
  const Case cases[] = {
      {"well formed", 10, Ints({1, 5, 10}), S_OK, {1, 5, 10}},
      {"missing the ends, which are still listed", 10, Ints({5}), E_FAIL, {1, 5, 10}},
      {"one beyond the points, which adds nothing", 10, Ints({1, 5, 99, 10}), E_FAIL, {1, 5, 10}},
      {"none", 10, VORRawCollint(), S_OK, {}},
      {"two on one point", 1, Ints({1, 4}), E_FAIL, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TestStroke s;
    const VORListValVORMathPoint p = Numbered(c.points);
    MakePlainStroke(s, p, c.anchors);
    VORListValVORMathPoint out;
    out.Append(VORMathPoint(-1, -1, -1));
    EXPECT_EQ(s.GetAnchors(out), c.result);
    ASSERT_EQ(out.Size(), static_cast<int>(c.listed.size()));
    for (size_t i = 0; i < c.listed.size(); ++i) EXPECT_EQ(out[static_cast<int>(i) + 1], p[c.listed[i]]);
  }
  TestStroke empty;  // no segments and no display polyline
  empty.SetAnchors(Ints({1, 2}));
  VORListValVORMathPoint out;
  EXPECT_EQ(empty.GetAnchors(out), E_FAIL);
  EXPECT_EQ(out.Size(), 0);
}

// ---- DeleteAnchor ----

// The points strictly between the neighbours of the deleted anchor go when there are three or more.
TEST(DeleteAnchor, RemovesThePointsBetweenItsNeighboursUnlessTheRunIsShort) {
  struct Case {
    int points;
    VORRawCollint anchors, left;
    std::vector<int> kept;  // positions of the points kept
  };
  const Case cases[] = {
      {10, Ints({1, 5, 10}), Ints({1, 2}), {1, 10}},
      {5, Ints({1, 3, 5}), Ints({1, 2}), {1, 5}},
      {4, Ints({1, 2, 4}), Ints({1, 4}), {1, 2, 3, 4}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.points);
    TestStroke s;
    const VORListValVORMathPoint p = Numbered(c.points);
    MakePlainStroke(s, p, c.anchors);
    s.DeleteAnchor(2);
    EXPECT_EQ(s.Anchors(), c.left);
    const VORListValVORMathPoint points = s.Source();
    ASSERT_EQ(points.Size(), static_cast<int>(c.kept.size()));
    for (size_t i = 0; i < c.kept.size(); ++i) EXPECT_EQ(points[static_cast<int>(i) + 1], p[c.kept[i]]);
  }
}

TEST(DeleteAnchor, EndsAndPositionsOutsideTheListChangeNothing) {
  TestStroke s;
  MakePlainStroke(s, Numbered(10), Ints({1, 5, 10}));
  const snapshot::State before = snapshot::Take(s);
  for (int position : {1, 3, 0, -1, 4, 1000}) {
    s.DeleteAnchor(position);
    EXPECT_TRUE(snapshot::Same(before, s)) << position;
  }
  TestStroke empty;
  const snapshot::State blank = snapshot::Take(empty);
  empty.DeleteAnchor(2);
  EXPECT_TRUE(snapshot::Same(blank, empty));
}

TEST(DeleteAnchor, KeepsTheSegmentsOfAStrokeOnSeveralPlanes) {
  const VORMathPlane slope(VORMathPoint(0, 0, 2), VORMathVector(0, 1, 1));
  const PlaneRuns runs({VORMathPlane(), VORMathPlane(VORMathPoint(), VORMathVector(1, 0, 0)), slope}, {5, 5, 5});
  TestStroke s;
  VORRawCollint anchors = Ints({1, 3, 8, 12, 15});
  ASSERT_EQ(runs.Create(s, true, &anchors), S_OK);
  s.DeleteAnchor(3);  // points 4 to 11 go: two from the floor, all five of the wall, one of the slope
  EXPECT_TRUE(AnchorsWellFormed(s));
  s.GetAnchors(anchors);
  EXPECT_EQ(anchors, Ints({1, 3, 4, 7}));
  VORListValVORMathPoint points;
  VORListValVORMathPlane pointPlanes;
  s.GetSourcePoints(points, nullptr, &pointPlanes, nullptr, nullptr);
  ASSERT_EQ(points.Size(), 7);
  EXPECT_EQ(points[3], runs.xyz[3]);
  EXPECT_EQ(points[4], runs.xyz[12]);
  EXPECT_EQ(snapshot::Take(s).data.size(), 2u);
  EXPECT_EQ(pointPlanes[4].GetNormal(), slope.GetNormal());
}

// ---- ClearDataBetween ----

TEST(ClearDataBetween, RemovesTheRunAndShiftsTheAnchorsBehindIt) {
  TestStroke s;
  const VORListValVORMathPoint p = Numbered(12);
  MakePlainStroke(s, p, Ints({1, 4, 6, 9, 12}));
  s.ClearDataBetween(5, 7);
  EXPECT_EQ(s.Anchors(), Ints({1, 4, 4, 6, 9}));  // the anchor inside the run ends at first - 1
  const VORListValVORMathPoint points = s.Source();
  ASSERT_EQ(points.Size(), 9);
  EXPECT_EQ(points[5], p[8]);
}

TEST(ClearDataBetween, ShortRunsAndRunsBeforeTheFirstPointChangeNothing) {
  TestStroke s;
  MakePlainStroke(s, Numbered(10), Ints({1, 5, 10}));
  const snapshot::State before = snapshot::Take(s);
  const int runs[][2] = {{3, 4}, {4, 4}, {6, 2}, {0, 5}, {-3, 4}};
  for (const auto& r : runs) {
    s.ClearDataBetween(r[0], r[1]);
    EXPECT_TRUE(snapshot::Same(before, s)) << r[0] << ".." << r[1];
  }
  TestStroke empty;
  const snapshot::State blank = snapshot::Take(empty);
  empty.ClearDataBetween(1, 5);
  EXPECT_TRUE(snapshot::Same(blank, empty));
}

TEST(ClearDataBetween, ARunPastTheLastPointRemovesWhatThereIsAndLowersTheAnchors) {
  TestStroke s;
  const VORListValVORMathPoint p = Numbered(10);
  MakePlainStroke(s, p, Ints({1, 5, 10}));
  s.ClearDataBetween(8, 11);
  EXPECT_EQ(s.Anchors(), Ints({1, 5, 7}));
  const VORListValVORMathPoint points = s.Source();
  ASSERT_EQ(points.Size(), 7);
  EXPECT_EQ(points[7], p[7]);
}

// ---- GetAnchorsInRange ----

// On an open list: a wide range keeps every anchor; the stroke's end points delimit its own range; an empty
// list or no stroke leaves the anchors alone. The closed flag tells whether the list closes. On a closed
// list the end point at the list's start means its last point.
TEST(AnchorsInRange, AWideRangeKeepsEveryAnchorAndTheStrokesEndPointsDelimitItsOwnRange) {
  TestStroke s;
  VORListValVORMathPoint p = Numbered(10);
  MakePlainStroke(s, p, Ints({1, 4, 7, 10}));
  VORRawCollint out;
  bool closed = true;
  Kit k;
  double wide[2] = {0.005, 0.996};
  TestStroke::GetAnchorsInRange(&k.config, &k.factory, &s, p, out, closed, wide);
  EXPECT_EQ(out, Ints({1, 4, 7, 10}));
  EXPECT_FALSE(closed);
  VORListValVORMathPoint ring = p;
  ring[10] = ring[1];
  TestStroke::GetAnchorsInRange(&k.config, &k.factory, &s, ring, out, closed, nullptr);
  EXPECT_TRUE(closed);

  s.SetAnchors(Ints({1, 3, 5, 8, 10}));
  const double range[2] = {0.3, 0.7};
  s.SetRange(range);
  VORListValVORMathPoint ends;
  ends.Append(p[3] + VORMathVector(0.0, 0.0, 1.0));  // projects onto point 3
  ends.Append(p[7] + (p[8] - p[7]) * 0.5);
  s.SetEndPoints(ends);
  closed = true;
  TestStroke::GetAnchorsInRange(nullptr, nullptr, &s, p, out, closed, nullptr);
  EXPECT_EQ(out, Ints({3, 5}));
  EXPECT_FALSE(closed);

  VORListValVORMathPoint none;
  out = Ints({7, 8});
  closed = true;
  double part[2] = {0.2, 0.4};
  TestStroke::GetAnchorsInRange(nullptr, nullptr, &s, none, out, closed, part);
  EXPECT_EQ(out, Ints({7, 8}));
  EXPECT_FALSE(closed);
  TestStroke::GetAnchorsInRange(nullptr, nullptr, nullptr, ring, out, closed, part);
  EXPECT_EQ(out, Ints({7, 8}));
  EXPECT_TRUE(closed);

  // On a closed list, a range whose end point is the list's start ends at the last point.
  VORListValVORMathPoint circle;
  for (int i = 0; i < 19; ++i) circle.Append(VORMathPoint(10 * std::cos(i * 0.3307), 10 * std::sin(i * 0.3307), 0));
  circle.Append(circle[1]);
  MakePlainStroke(s, circle, Ints({1, 6, 12, 18, 20}));
  const double late[2] = {0.5, 0.9};
  s.SetRange(late);
  ends.RemoveAll();
  ends.Append(circle[12]);
  ends.Append(circle[1]);
  s.SetEndPoints(ends);
  TestStroke::GetAnchorsInRange(nullptr, nullptr, &s, circle, out, closed, nullptr);
  EXPECT_EQ(out, Ints({12, 18, 20}));
  EXPECT_FALSE(closed);  // false once the range has been placed
}

TEST(AnchorsInRange, AGivenRangeIsPlacedOnTheSourceCurve) {
  Kit k;
  TestStroke s;
  VORListValVORMathPoint p;
  for (int i = 0; i <= 20; ++i) p.Append(VORMathPoint(i, 0.0, 0.0));
  MakePlainStroke(s, p, Ints({1, 3, 6, 11, 16, 21}));
  // Just beyond points 6 and 16 of a straight, evenly sampled line (an anchor right on a range end is in
  // or out by rounding).
  double range[2] = {0.24, 0.76};
  VORRawCollint out;
  bool closed = true;
  TestStroke::GetAnchorsInRange(&k.config, &k.factory, &s, p, out, closed, range);
  EXPECT_EQ(out, Ints({6, 11, 16}));
  // Without a factory there is no source curve: both ends are the default point, here point 1.
  TestStroke::GetAnchorsInRange(&k.config, nullptr, &s, p, out, closed, range);
  EXPECT_EQ(out, Ints({1}));
}

}  // namespace
