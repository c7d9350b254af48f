// Rebuilding a stroke's segments from an edited point list (UpdateStroke) and writing a moved run of
// points back (UpdateDataPointsInRange), on plain, targeted and multi-plane strokes.
#include <gtest/gtest.h>

#include "EditTestSupport.h"

namespace {

using namespace edit_test;

// Without targets: one plain segment of the new points, the anchors in the stroke's range carried over, a
// middle anchor when there are more than two points and no corner, the range whole with the reset flag and kept without it, the geometry recomputed.
TEST(UpdateStroke, WithoutTargetsGivesOnePlainSegmentAndAMiddleAnchor) {
  struct Case {
    const char* what;
    VORListValVORMathPoint fresh;
    bool part;  // the stroke's range before: [0.2, 0.7], which holds none of its anchors, or the whole
    bool reset;
    VORRawCollint anchors;  // empty: not checked
    double range[2];
  };
  VORListValVORMathPoint straight, two;
  for (int i = 0; i < 11; ++i) straight.Append(VORMathPoint(2.0 * i, 0.0, 1.0));
  two.Append(VORMathPoint(0, 0, 0));
  two.Append(VORMathPoint(5, 0, 0));
  const Case cases[] = {
      {"straight", straight, true, true, Ints({1, 6, 11}), {0.0, 1.0}},  // the middle of 11 points rounded up
      {"two points", two, true, true, Ints({1, 2}), {0.0, 1.0}},
      {"its own points", Wave(30), false, true, Ints({1, 12, 30}), {0.0, 1.0}},  // the anchor carried over
      {"without the reset flag", Wave(12), true, false, VORRawCollint(), {0.2, 0.7}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Kit k;
    TestStroke s;
    MakePlainStroke(s, Wave(30), Ints({1, 12, 30}));
    const double range[2] = {0.2, 0.7};
    if (c.part) s.SetRange(range);
    VORListValVORMathPoint fresh = c.fresh;
    ASSERT_TRUE(TestStroke::UpdateStroke(&k.config, &k.factory, &s, fresh, c.reset));
    const snapshot::State after = snapshot::Take(s);
    ASSERT_EQ(after.data.size(), 1u);
    EXPECT_FALSE(after.data[0].isRef);
    EXPECT_EQ(after.data[0].coords, c.fresh);
    if (c.anchors.Size() > 0) EXPECT_EQ(after.anchors, c.anchors);
    EXPECT_TRUE(AnchorsWellFormed(s));
    EXPECT_EQ(after.range[0], c.range[0]);
    EXPECT_EQ(after.range[1], c.range[1]);
    EXPECT_GT(after.coords.Size(), 1);  // the geometry was recomputed
  }
}

TEST(UpdateStroke, PutsThePointsOnTheFirstTargetPlaneOnly) {
  Kit k;
  TestStroke s;
  MakePlainStroke(s, Wave(10), Ints({1, 10}));
  VORListValVORMathPlane targets;
  targets.Append(VORMathPlane(VORMathPoint(0, 0, 5), VORMathVector(0, 0, 1)));
  targets.Append(VORMathPlane(VORMathPoint(0, 0, 0), VORMathVector(1, 0, 0)));
  s.SetTargets(targets);
  VORListValVORMathPoint fresh = Wave(8);
  ASSERT_TRUE(TestStroke::UpdateStroke(&k.config, &k.factory, &s, fresh, true));
  const snapshot::State after = snapshot::Take(s);
  ASSERT_EQ(after.data.size(), 1u);
  EXPECT_TRUE(after.data[0].isRef);
  EXPECT_EQ(after.data[0].points2D.Size(), 8);
  const VORListValVORMathPoint points = s.Source();
  ASSERT_EQ(points.Size(), 8);
  for (int i = 1; i <= 8; ++i) {
    EXPECT_NEAR(points[i].GetZ(), 5.0, 1e-12);
    EXPECT_NEAR(points[i].GetX(), fresh[i].GetX(), 1e-12);
  }
  EXPECT_TRUE(AnchorsWellFormed(s));
}

TEST(UpdateStroke, RefusesANullStrokeAndNonFinitePoints) {
  Kit k;
  VORListValVORMathPoint fresh = Wave(10);
  EXPECT_FALSE(TestStroke::UpdateStroke(&k.config, &k.factory, nullptr, fresh, true));
  for (bool withTarget : {false, true}) {
    SCOPED_TRACE(withTarget ? "on a target" : "without target");
    TestStroke s;
    MakePlainStroke(s, Wave(10), Ints({1, 5, 10}));
    if (withTarget) s.SetTargets(PlaneRuns({VORMathPlane()}, {1}).planes);
    ASSERT_TRUE(s.Update(&k.config, &k.factory, nullptr));
    const snapshot::State before = snapshot::Take(s);
    VORListValVORMathPoint bad = Wave(10);
    bad[4] = VORMathPoint(1.0, kNaN, 0.0);
    EXPECT_FALSE(TestStroke::UpdateStroke(&k.config, &k.factory, &s, bad, true));
    EXPECT_TRUE(snapshot::Same(before, s));
  }
}

// ---- UpdateDataPointsInRange ----

// A stroke of one segment on plane holding 10 points, and its source lists.
struct OnPlane {
  TestStroke s;
  VORListValVORMathPoint points;
  VORListValVORMathPoint2D points2D;
  VORListValVORMathPlane planes;
  explicit OnPlane(const VORMathPlane& plane) {
    PlaneRuns({plane}, {10}).Create(s);
    s.GetSourcePoints(points, &points2D, &planes, nullptr, nullptr);
  }
};

TEST(UpdateDataPointsInRange, RecomputesOnlyTheMovedRunOnTheFirstPlane) {
  const VORMathPlane wall(VORMathPoint(1, 2, 3), VORMathVector(1, 0, 0));
  OnPlane f(wall);
  const VORListValVORMathPoint2D original = f.points2D;
  for (int i = 4; i <= 6; ++i) f.points[i] = f.points[i] + VORMathVector(7.0, 0.0, 1.0);  // 7 off the plane
  ASSERT_TRUE(TestStroke::UpdateDataPointsInRange(nullptr, &f.s, f.points, 4, 6, f.points2D, f.planes));
  EXPECT_EQ(f.planes.Size(), 1);
  VORListValVORMathPoint2D now;
  VORListValVORMathPoint points;
  f.s.GetSourcePoints(points, &now, nullptr, nullptr, nullptr);
  ASSERT_EQ(now.Size(), 10);
  for (int i = 1; i <= 10; ++i) {
    if (i < 4 || i > 6) {
      EXPECT_EQ(now[i], original[i]) << i;
    } else {
      EXPECT_NEAR(now[i].GetY(), original[i].GetY() + 1.0, 1e-12) << i;  // moved up, carried onto the wall
      EXPECT_NEAR(points[i].GetX(), 1.0, 1e-12) << i;
    }
  }
  EXPECT_EQ(snapshot::Take(f.s).data.size(), 1u);
}

// Without planes: one plain segment of the points. An empty run still cuts the planes to the first.
TEST(UpdateDataPointsInRange, WithoutPlanesGivesOnePlainSegmentAndAnEmptyRunStillCutsThePlanes) {
  TestStroke s;
  MakePlainStroke(s, Wave(6), Ints({1, 6}));
  VORListValVORMathPoint points = Wave(8);
  VORListValVORMathPoint2D none2D;
  VORListValVORMathPlane noPlanes;
  ASSERT_TRUE(TestStroke::UpdateDataPointsInRange(nullptr, &s, points, 2, 3, none2D, noPlanes));
  EXPECT_EQ(s.Source(), points);
  PlaneRuns runs({VORMathPlane(), VORMathPlane(VORMathPoint(), VORMathVector(1, 0, 0))}, {3, 3});
  const VORListValVORMathPoint2D before = runs.uv;
  ASSERT_TRUE(TestStroke::UpdateDataPointsInRange(nullptr, &s, runs.xyz, 5, 4, runs.uv, runs.planes));
  EXPECT_EQ(runs.uv, before);
  EXPECT_EQ(runs.planes.Size(), 1);
  EXPECT_EQ(snapshot::Take(s).data.size(), 1u);
}

TEST(UpdateDataPointsInRange, AShort2DListARunOutsideTheListsOrANonFinitePointIsRefused) {
  OnPlane f{VORMathPlane()};
  const snapshot::State before = snapshot::Take(f.s);
  VORListValVORMathPoint2D shortList = f.points2D;
  shortList.RemovePosition(10);
  shortList.RemovePosition(9);
  VORListValVORMathPlane planes = f.planes;
  EXPECT_FALSE(TestStroke::UpdateDataPointsInRange(nullptr, &f.s, f.points, 7, 10, shortList, planes));
  EXPECT_TRUE(snapshot::Same(before, f.s));
  const int runs[][2] = {{0, 3}, {-2, 2}, {8, 11}};
  for (const auto& r : runs) {
    VORListValVORMathPoint2D uv = f.points2D;
    planes = f.planes;
    EXPECT_FALSE(TestStroke::UpdateDataPointsInRange(nullptr, &f.s, f.points, r[0], r[1], uv, planes)) << r[0];
    EXPECT_TRUE(snapshot::Same(before, f.s));
  }
  // No points, or no stroke.
  VORListValVORMathPoint none;
  VORListValVORMathPoint2D none2D;
  VORListValVORMathPlane noPlanes;
  EXPECT_FALSE(TestStroke::UpdateDataPointsInRange(nullptr, &f.s, none, 1, 0, none2D, noPlanes));
  EXPECT_TRUE(snapshot::Same(before, f.s));
  EXPECT_FALSE(TestStroke::UpdateDataPointsInRange(nullptr, nullptr, f.points, 2, 4, f.points2D, f.planes));
  VORListValVORMathPoint moved = f.points;
  moved[5] = VORMathPoint(kNaN, 0.0, 0.0);
  EXPECT_FALSE(TestStroke::UpdateDataPointsInRange(nullptr, &f.s, moved, 4, 6, f.points2D, f.planes));
  EXPECT_TRUE(snapshot::Same(before, f.s));
}

}  // namespace
