// Changing one end tangent of a stroke, with or without bending the stroke's end region to follow it, and
// the bend itself: points pulled towards the line leaving the start along a direction, fully at the start
// and not at all level with the target.
#include <gtest/gtest.h>

#include <cmath>

#include "../edit/EditTestSupport.h"

namespace {

using namespace edit_test;

const VORMathDirection kUp(0, 1, 0);

// A straight sketch stroke x = 0..20 (21 points, unit length 0.5) on the plane z = 0 with the given
// anchors, its end points set and the end tangents recorded along x.
void MakeStraightStroke(TestStroke& s, const VORRawCollint& anchors) {
  VORListValVORMathPoint points;
  for (int i = 0; i <= 20; ++i) points.Append(VORMathPoint(i, 0, 0));
  MakePlainStroke(s, points, anchors);
  s.SetSketchPlane(VORMathPlane());
  const VORMathPoint ends[2] = {points[1], points[21]};
  const VORMathDirection directions[2] = {VORMathDirection(1, 0, 0), VORMathDirection(1, 0, 0)};
  s.UpdateEndTangents(ends, directions, directions);
  SetEndPointsFromTangents(s);
}

VORMathDirection Tangent(const TAQMoStroke& s, int end) {
  VORMathPoint points[2];
  VORMathDirection directions[2];
  s.GetEndTangents(points, directions);
  return directions[end];
}

TEST(UpdateEndTangent, WritesTheRecordOfTheEndAtThePointOnly) {
  Kit k;
  TestStroke s;
  MakeStraightStroke(s, Ints({1, 11, 21}));
  const snapshot::State before = snapshot::Take(s);
  EXPECT_FALSE(s.UpdateEndTangent(&k.config, &k.factory, VORMathPoint(5, 0, 0), kUp, kUp, false));
  EXPECT_TRUE(snapshot::Same(before, s));
  ASSERT_TRUE(s.UpdateEndTangent(&k.config, &k.factory, VORMathPoint(20, 0, 0), kUp, kUp, false));
  EXPECT_NEAR(Tangent(s, 0).GetX(), 1.0, 1e-12);
  EXPECT_NEAR(Tangent(s, 1).GetY(), 1.0, 1e-12);
  // Both end points on the point: the start's record is the one written.
  VORListValVORMathPoint same;
  same.Append(VORMathPoint(20, 0, 0));
  same.Append(VORMathPoint(20, 0, 0));
  s.SetEndPoints(same);
  ASSERT_TRUE(
      s.UpdateEndTangent(&k.config, &k.factory, VORMathPoint(20, 0, 0), kUp, VORMathDirection(0, -1, 0), false));
  EXPECT_NEAR(Tangent(s, 0).GetY(), -1.0, 1e-12);
  EXPECT_NEAR(Tangent(s, 1).GetY(), 1.0, 1e-12);
  // Without records there is nothing to write, even at an end.
  TestStroke bare;
  MakePlainStroke(bare, s.Source(), Ints({1, 21}));
  bare.SetEndPoints(same);
  EXPECT_FALSE(bare.UpdateEndTangent(&k.config, &k.factory, VORMathPoint(20, 0, 0), kUp, kUp, true));
}

TEST(UpdateEndTangent, BendsOnlyPastTwoAnchorsAndDropsANeighbourCloserThanTwelveUnits) {
  Kit k;
  struct Case {
    VORRawCollint anchors;
    int end;  // 0: start, 1: end
    VORRawCollint left;
  };
  const Case cases[] = {
      {Ints({1, 21}), 0, Ints({1, 21})},                       // the ends alone: no bend
      {Ints({1, 6, 11, 16, 21}), 0, Ints({1, 11, 16, 21})},    // 5 units from the start: dropped
      {Ints({1, 6, 11, 16, 21}), 1, Ints({1, 6, 11, 21})},     // 5 units from the end: dropped
      {Ints({1, 7, 14, 21}), 0, Ints({1, 7, 14, 21})},         // exactly 12 unit lengths: kept
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.anchors.Size() * 10 + c.end);
    TestStroke s;
    MakeStraightStroke(s, c.anchors);
    const VORListValVORMathPoint before = s.Source();
    const VORMathPoint at = before[c.end == 0 ? 1 : before.Size()];
    ASSERT_TRUE(s.UpdateEndTangent(&k.config, &k.factory, at, kUp, VORMathDirection(0.6, 0.8, 0), true));
    EXPECT_EQ(s.Anchors(), c.left);
    const VORListValVORMathPoint after = s.Source();
    // Without a bend the record keeps the new tangent; a bend refits, and the records follow the fit.
    if (c.anchors.Size() == 2) {
      EXPECT_EQ(after, before);
      EXPECT_NEAR(Tangent(s, c.end).GetY(), 0.8, 1e-9);
    } else {
      EXPECT_NE(after, before);
    }
  }
}

TEST(ReshapeCurveToDirection, PullsThePointsFromTheStartTowardsTheLineLeavingItAlongTheDirection) {
  Kit k;
  TestStroke s;
  MakeStraightStroke(s, Ints({1, 11, 21}));
  const VORMathDirection diagonal(1, 1, 0);
  const snapshot::State before = snapshot::Take(s);
  // Refused: start on target, no stroke, start and target on neighbouring points, target on the start's line.
  EXPECT_FALSE(TestStroke::ReshapeCurveToDirection(&k.config, &k.factory, &s, VORMathPoint(3, 0, 0),
                                                   VORMathPoint(3, 0, 0), diagonal));
  EXPECT_FALSE(TestStroke::ReshapeCurveToDirection(&k.config, &k.factory, nullptr, VORMathPoint(0, 0, 0),
                                                   VORMathPoint(10, 0, 0), diagonal));
  EXPECT_FALSE(TestStroke::ReshapeCurveToDirection(&k.config, &k.factory, &s, VORMathPoint(3, 0, 0),
                                                   VORMathPoint(4, 0, 0), diagonal));
  EXPECT_FALSE(TestStroke::ReshapeCurveToDirection(&k.config, &k.factory, &s, VORMathPoint(0, 0, 0),
                                                   VORMathPoint(0, 5, 0), VORMathDirection(1, 0, 0)));
  EXPECT_FALSE(TestStroke::ReshapeCurveToDirection(&k.config, &k.factory, &s, VORMathPoint(0, std::nan(""), 0),
                                                   VORMathPoint(10, 0, 0), diagonal));
  EXPECT_TRUE(snapshot::Same(before, s));
  // From (0, 0, 0) along the diagonal with the target (10, 0, 0): the foot is (5, 5, 0), and the point at x
  // moves the share 1 - x / 10 of the way to its foot on the line from the start to that foot.
  ASSERT_TRUE(TestStroke::ReshapeCurveToDirection(&k.config, &k.factory, &s, VORMathPoint(0, 0, 0),
                                                  VORMathPoint(10, 0, 0), diagonal));
  const VORListValVORMathPoint points = s.Source();
  ASSERT_EQ(points.Size(), 21);
  for (int i = 1; i <= 21; ++i) {
    const double x = i - 1.0, share = x < 10 ? 1.0 - x / 10 : 0.0, foot = x / 2;
    const VORMathPoint expected(x + share * (foot - x), share * foot, 0);
    EXPECT_LT(points[i].DistanceTo(expected), 1e-9) << i;
  }
}

}  // namespace
