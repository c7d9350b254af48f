// The polyline utilities as their callers use them: feet and fractional positions, trimming, the
// anchored drag, planes, nearest points and normals.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "TAQMoCSStrokeUtilities.h"
#include "TAQUtTolerance.h"
#include "TestGeometry.h"
#include "TestLists.h"

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

// n points along x, one unit apart from the origin.
VORListValVORMathPoint Line(int n) {
  VORListValVORMathPoint out;
  for (int i = 0; i < n; ++i) out.Append(VORMathPoint(i, 0, 0));
  return out;
}

TEST(PolylineProjection, GivesTheOneBasedFractionalPositionAndTangentOfTheFootOrZeroForBadInput) {
  const VORListValVORMathPoint points = Line(5);
  VORMathPoint foot;
  VORMathVector tangent;
  EXPECT_DOUBLE_EQ(TAQMoCSStrokeUtilities::PolylineProjection(VORMathPoint(2.25, 3, 0), nullptr, points, foot, &tangent),
                   3.25);
  EXPECT_TRUE(foot == VORMathPoint(2.25, 0, 0));
  EXPECT_TRUE(tangent == VORMathVector(1, 0, 0));
  EXPECT_DOUBLE_EQ(TAQMoCSStrokeUtilities::PolylineProjection(VORMathPoint(3, -1, 0), nullptr, points, foot, nullptr), 4.0);
  EXPECT_DOUBLE_EQ(TAQMoCSStrokeUtilities::PolylineProjection(VORMathPoint(-7, 0, 0), nullptr, points, foot, nullptr), 1.0);
  EXPECT_DOUBLE_EQ(TAQMoCSStrokeUtilities::PolylineProjection(VORMathPoint(9, 0, 0), nullptr, points, foot, nullptr), 5.0);
  // Pieces (3 points, then 1 far off): the foot does not run across the gap between them.
  VORListValVORMathPoint pieces = Line(3);
  pieces.Append(VORMathPoint(10, 0, 0));
  const VORRawCollint splits = Ints({3, 4});
  EXPECT_DOUBLE_EQ(TAQMoCSStrokeUtilities::PolylineProjection(VORMathPoint(5, 1, 0), &splits, pieces, foot, nullptr), 3.0);
  // No points or a non-finite point: position 0, the foot left as it was.
  foot = VORMathPoint(7, 7, 7);
  EXPECT_EQ(TAQMoCSStrokeUtilities::PolylineProjection(VORMathPoint(), nullptr, VORListValVORMathPoint(), foot, nullptr), 0.0);
  EXPECT_EQ(TAQMoCSStrokeUtilities::PolylineProjection(VORMathPoint(kNaN, 0, 0), nullptr, Line(3), foot, nullptr), 0.0);
  EXPECT_TRUE(foot == VORMathPoint(7, 7, 7));
}

// With the flag, points, normals and splits are cut at the feet; without it, at the nearest existing points.
// The end of a piece inside the cut stays a split.
TEST(PolylineTrim, CutsToTheFeetOrTheNearestPointsAndRefusesTooFewOrNonFinitePoints) {
  VORListValVORMathPoint points = Line(6);
  VORListValVORMathVector normals;
  for (int i = 0; i < 6; ++i) normals.Append(VORMathVector(0, 0, 1));
  VORRawCollint splits = Ints({6});
  ASSERT_TRUE(TAQMoCSStrokeUtilities::PolylineTrim(splits, points, normals, VORMathPoint(1.5, 1, 0),
                                                   VORMathPoint(3.5, -1, 0), true));
  ASSERT_EQ(points.Size(), 4);
  EXPECT_TRUE(points[1] == VORMathPoint(1.5, 0, 0));
  EXPECT_TRUE(points[2] == VORMathPoint(2, 0, 0));
  EXPECT_TRUE(points[4] == VORMathPoint(3.5, 0, 0));
  EXPECT_EQ(normals.Size(), 4);
  EXPECT_EQ(splits, Ints({4}));
  points = Line(6);
  normals.RemoveAll();
  splits.RemoveAll();
  ASSERT_TRUE(TAQMoCSStrokeUtilities::PolylineTrim(splits, points, normals, VORMathPoint(1.7, 1, 0),
                                                   VORMathPoint(3.2, -1, 0), false));
  ASSERT_EQ(points.Size(), 2);
  EXPECT_TRUE(points[1] == VORMathPoint(2, 0, 0));
  EXPECT_TRUE(points[2] == VORMathPoint(3, 0, 0));
  // A cut across two pieces keeps the end of the first as a split.
  VORListValVORMathPoint pieces = Line(6);
  VORRawCollint pieceSplits = Ints({3, 6});
  ASSERT_TRUE(TAQMoCSStrokeUtilities::PolylineTrim(pieceSplits, pieces, normals, VORMathPoint(0.5, 1, 0),
                                                   VORMathPoint(4.5, 1, 0), true));
  EXPECT_EQ(pieces.Size(), 6);
  EXPECT_EQ(pieceSplits, Ints({3, 6}));
  // One point, or a non-finite foot: refused with the points as they were.
  VORListValVORMathPoint one = Line(1);
  EXPECT_FALSE(TAQMoCSStrokeUtilities::PolylineTrim(splits, one, normals, VORMathPoint(), VORMathPoint(), true));
  EXPECT_FALSE(TAQMoCSStrokeUtilities::PolylineTrim(splits, points, normals, VORMathPoint(kNaN, 0, 0), VORMathPoint(), true));
  EXPECT_EQ(points.Size(), 2);
}

TEST(PolylineTrim, KeepsAClosedOrNearlyClosedPolylineWholeBetweenItsEnds) {
  // A square drawn back to its start, and one whose end stops on its own first side: the end's foot is
  // the polyline's end, not the equally near point on the first side. The third closes within rounding,
  // and its last side ends where rounding would put a foot nearer the start than the end.
  const std::vector<std::vector<std::pair<double, double>>> shapes = {
      {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}},
      {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 2}, {1, 0}},
      {{2.048e-15, -1.3925e-14}, {109.3, 14.6}, {-124.2, 168.4}, {72.02, -99.5}, {3.5527e-15, -1.4211e-14}}};
  for (const auto& shape : shapes) {
    VORListValVORMathPoint points;
    for (const auto& xy : shape) points.Append(VORMathPoint(xy.first, xy.second, 0));
    const VORListValVORMathPoint whole = points;
    VORListValVORMathVector normals;
    VORRawCollint splits;
    ASSERT_TRUE(TAQMoCSStrokeUtilities::PolylineTrim(splits, points, normals, whole[1], whole[whole.Size()], true));
    EXPECT_EQ(points, whole) << shape.size();
  }
}

// Eleven points along x with anchors at points 1, 6, 7 and 11: a drag lands the dragged point on the target
// and moves the run between the anchors around it, falling off towards them; around a piece without inner
// points, or to a non-finite target, it fails with the points as they were. A drag from an anchor point
// moves that anchor.
TEST(DeformPolyLine, LandsTheDraggedPointOnTheTargetKeepsTheAnchorsAndRefusesWhatItCannotMove) {
  VORListValVORMathPoint points = Line(11), anchors;
  for (int a : {1, 6, 7, 11}) anchors.Append(points[a]);
  const VORListValVORMathPoint before = points;
  int first = 0, last = 0;
  EXPECT_FALSE(TAQMoCSStrokeUtilities::DeformPolyLine(points, anchors, VORMathPoint(5.5, 0.1, 0), VORMathPoint(5.5, 3, 0),
                                                      first, last));
  EXPECT_EQ(first, 6);
  EXPECT_EQ(last, 7);
  EXPECT_FALSE(TAQMoCSStrokeUtilities::DeformPolyLine(points, anchors, VORMathPoint(3, 0, 0), VORMathPoint(kNaN, 0, 0),
                                                      first, last));
  EXPECT_TRUE(points == before);
  ASSERT_TRUE(TAQMoCSStrokeUtilities::DeformPolyLine(points, anchors, VORMathPoint(3.1, 0.2, 0), VORMathPoint(3, 2, 0),
                                                     first, last));
  EXPECT_TRUE(points[4] == VORMathPoint(3, 2, 0));
  EXPECT_EQ(first, 2);
  EXPECT_EQ(last, 5);
  for (int i = 1; i <= points.Size(); ++i) {
    if (i < first || i > last) EXPECT_TRUE(points[i] == before[i]) << i;
    else EXPECT_GT(points[i].GetY(), 0.0) << i;  // the fall-off moves every inner point
  }
  EXPECT_LT(points[2].GetY(), points[3].GetY());
  EXPECT_LT(points[5].GetY(), points[4].GetY());

  // Dragged from an anchor point: that anchor lands on the target and both pieces it joins follow.
  points = before;
  ASSERT_TRUE(TAQMoCSStrokeUtilities::DeformPolyLine(points, anchors, before[6], VORMathPoint(5, 2, 0), first, last));
  EXPECT_TRUE(points[6] == VORMathPoint(5, 2, 0));
  EXPECT_EQ(first, 2);
  EXPECT_EQ(last, 6);
  for (int i = 2; i <= 5; ++i) EXPECT_GT(points[i].GetY(), 0.0) << i;
  for (int i : {1, 7, 8, 11}) EXPECT_TRUE(points[i] == before[i]) << i;
}

TEST(ForwardToPlane, ParallelDirectionOrNonFinitePointGivesAnEmptyOutput) {
  const VORMathPlane plane(VORMathPoint(0, 0, 0), VORMathVector(0, 0, 1));
  VORListValVORMathPoint out = Line(3);
  EXPECT_FALSE(TAQMoCSStrokeUtilities::ForwardToPlane(VORMathDirection(1, 0, 0), plane, Line(3), out));
  EXPECT_EQ(out.Size(), 0);
  VORListValVORMathPoint bad = Line(3);
  bad[2].SetZ(kNaN);
  VORListValVORMathPoint2D uv;
  EXPECT_FALSE(TAQMoCSStrokeUtilities::ForwardToPlane(VORMathDirection(0, 0, 1), plane, bad, uv));
  EXPECT_EQ(uv.Size(), 0);
}

TEST(NearestAndCoincident, AnswerPositionsDistancesAndTolerances) {
  double d = 0.0;
  EXPECT_EQ(TAQMoCSStrokeUtilities::GetNearestPoint(Line(5), VORMathPoint(2.4, 3, 0), &d), 3);
  EXPECT_NEAR(d, std::sqrt(0.16 + 9.0), 1e-12);
  EXPECT_EQ(TAQMoCSStrokeUtilities::GetNearestPoint(VORListValVORMathPoint(), VORMathPoint(), nullptr), 0);
  // Distances that overflow still name a point, and a foot on such a polyline is one of its points.
  VORListValVORMathPoint huge;
  huge.Append(VORMathPoint(1e200, 0, 0));
  huge.Append(VORMathPoint(1e200, 1e200, 0));
  EXPECT_EQ(TAQMoCSStrokeUtilities::GetNearestPoint(huge, VORMathPoint(-1e200, 0, 0), nullptr), 1);
  VORMathPoint foot;
  const double t = TAQMoCSStrokeUtilities::PolylineProjection(VORMathPoint(-1e200, -1e200, 0), nullptr, huge, foot, nullptr);
  EXPECT_GE(t, 1.0);
  EXPECT_LE(t, 2.0);
  EXPECT_TRUE(foot == huge[1] || foot == huge[2]);
  const double tolSq = TAQUtTolerance().LengthTolSq();
  EXPECT_TRUE(TAQMoCSStrokeUtilities::IsCoincident(VORMathPoint(1, 1, 1), VORMathPoint(1.0005, 1, 1), tolSq));
  EXPECT_FALSE(TAQMoCSStrokeUtilities::IsCoincident(VORMathPoint(1, 1, 1), VORMathPoint(1.002, 1, 1), tolSq));
  EXPECT_FALSE(TAQMoCSStrokeUtilities::IsCoincident(VORMathPoint(kNaN, 1, 1), VORMathPoint(kNaN, 1, 1), 1.0));
}

TEST(EstimateNormals, TakesTheNearestReferenceNormalOrFallsBackOnTheView) {
  VORListValVORMathPoint ref = Line(3);
  VORListValVORMathVector refNormals;
  refNormals.Append(VORMathVector(0, 0, 2));
  refNormals.Append(VORMathVector(0, 1, 0));
  refNormals.Append(VORMathVector(0, 0, 0));  // unusable: the view normal stands in
  VORListValVORMathPoint display;
  display.Append(VORMathPoint(0.2, 0, 0));
  display.Append(VORMathPoint(1.1, 0.3, 0));
  display.Append(VORMathPoint(2.4, 0, 0));
  VORListValVORMathVector normals;
  ASSERT_TRUE(TAQMoCSStrokeUtilities::EstimateNormals(ref, refNormals, display, VORMathVector(1, 0, 0), normals));
  ASSERT_EQ(normals.Size(), 3);
  EXPECT_TRUE(normals[1] == VORMathVector(0, 0, 1));
  EXPECT_TRUE(normals[2] == VORMathVector(0, 1, 0));
  EXPECT_TRUE(normals[3] == VORMathVector(1, 0, 0));
  // No reference normals at all: the view normal everywhere, as a unit vector.
  ASSERT_TRUE(TAQMoCSStrokeUtilities::EstimateNormals(ref, VORListValVORMathVector(), display, VORMathVector(0, 0, 3), normals));
  ASSERT_EQ(normals.Size(), 3);
  for (const VORMathVector& n : normals) EXPECT_TRUE(n == VORMathVector(0, 0, 1));
}

}  // namespace
