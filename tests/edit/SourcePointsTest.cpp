// The stroke's source points flattened from its segments (with the parallel 2D points and planes), and
// its unit length, on strokes lying on one, two and three planes, mixed and empty strokes.
#include <gtest/gtest.h>

#include "EditTestSupport.h"

namespace {

using namespace edit_test;

const VORMathPlane kFloor;  // z = 0
const VORMathPlane kWall(VORMathPoint(0.0, 0.0, 0.0), VORMathVector(1.0, 0.0, 0.0));  // x = 0
const VORMathPlane kSlope(VORMathPoint(0.0, 5.0, 1.0), VORMathVector(0.0, 1.0, 1.0));

TEST(SourcePoints, SeveralPlanesGiveParallelListsInSegmentOrderWithOnePlanePerPoint) {
  TestStroke s;
  ASSERT_EQ(PlaneRuns({kFloor, kWall, kSlope}, {4, 3, 5}).Create(s), S_OK);
  EXPECT_EQ(snapshot::Take(s).data.size(), 3u);
  VORListValVORMathPoint points;
  VORListValVORMathPoint2D points2D;
  VORListValVORMathPlane planes;
  int type = -1;
  EXPECT_EQ(s.GetSourcePoints(points, &points2D, &planes, nullptr, &type), S_OK);
  EXPECT_EQ(type, 1);
  ASSERT_EQ(points.Size(), 12);
  ASSERT_EQ(points2D.Size(), 12);
  ASSERT_EQ(planes.Size(), 12);
  for (int i = 1; i <= 12; ++i) {
    const VORMathPlane& expected = i <= 4 ? kFloor : i <= 7 ? kWall : kSlope;
    EXPECT_EQ(planes[i].GetNormal(), expected.GetNormal()) << i;
    EXPECT_LT(points[i].DistanceTo(planes[i].EvalPoint(points2D[i].GetX(), points2D[i].GetY())), 1e-12) << i;
  }
}

TEST(SourcePoints, ASegmentWithoutPlaneEmptiesThe2DListButNotThePlanes) {
  TestStroke s;
  TAQUtVector<TAQMoStrokeData*> data;
  data.Append(new TAQMoStrokeData);
  data[0]->SetBase(kFloor);
  data[0]->SetData(PlaneRuns({kFloor}, {3}).uv);
  data.Append(nullptr);  // a null entry is skipped
  data.Append(new TAQMoStrokeData);
  data[2]->SetCoords(Wave(4));
  s.SetData(data, true);
  VORListValVORMathPoint points;
  VORListValVORMathPoint2D points2D;
  points2D.Append(VORMathPoint2D(9, 9));  // emptied first
  VORListValVORMathPlane planes;
  s.GetSourcePoints(points, &points2D, &planes, nullptr, nullptr);
  EXPECT_EQ(points.Size(), 7);
  EXPECT_EQ(points2D.Size(), 0);
  EXPECT_EQ(planes.Size(), 7);
  EXPECT_EQ(points[4], VORMathPoint(0.0, 0.0, 0.0));
}

TEST(SourcePoints, AStrokeWithoutSegmentsGivesItsDisplayPolyline) {
  TestStroke s;
  s.SetType(2);
  s.SetSketchPlane(kFloor);  // records are kept only with a sketch plane
  const VORListValVORMathPoint coords = Wave(5);
  s.SetCoords(coords);
  const VORMathPoint ends[2] = {coords[1], coords[5]};
  const VORMathDirection dirs[2] = {VORMathDirection(1, 0, 0), VORMathDirection(0, 1, 0)};
  s.UpdateEndTangents(ends, dirs, dirs);
  VORListValVORMathPoint points;
  VORListValVORMathPoint2D points2D;
  VORListValVORMathPlane planes;
  VORListValVORMathVector tangents;
  for (int i = 0; i < 3; ++i) tangents.Append(VORMathVector(0, 0, 1));
  int type = -1;
  s.GetSourcePoints(points, &points2D, &planes, &tangents, &type);
  EXPECT_EQ(points, coords);
  EXPECT_EQ(points2D.Size(), 0);
  EXPECT_EQ(planes.Size(), 0);
  EXPECT_EQ(type, 2);
  ASSERT_EQ(tangents.Size(), 5);  // appended behind what it held
  EXPECT_LT((tangents[4] - VORMathVector(1, 0, 0)).GetNorm(), 1e-12);
  EXPECT_LT((tangents[5] - VORMathVector(0, 1, 0)).GetNorm(), 1e-12);
}

// ---- Unit length ----

VORListValVORMathPoint StraightOfLength(double length, int pieces) {
  VORListValVORMathPoint p;
  for (int i = 0; i <= pieces; ++i) p.Append(VORMathPoint(length * i / pieces, 0.0, 0.0));
  return p;
}

// The polyline length over a hundred, or over twenty per anchor from five anchors on, and never below
// half a unit (so also with fewer than two anchors or a non-finite point).
TEST(UnitLength, IsTheLengthOverAHundredOrTwentyPerAnchorAndAtLeastHalfAUnit) {
  VORListValVORMathPoint withNaN = StraightOfLength(1000.0, 10);
  withNaN[4] = VORMathPoint(kNaN, 0.0, 0.0);
  const struct {
    const char* what;
    VORListValVORMathPoint points;
    VORRawCollint anchors;
    double expected;
  } cases[] = {
      {"three anchors", StraightOfLength(1000.0, 10), Ints({1, 5, 11}), 10.0},
      {"four anchors", StraightOfLength(1000.0, 10), Ints({1, 3, 5, 11}), 10.0},
      {"five anchors", StraightOfLength(1000.0, 10), Ints({1, 2, 3, 4, 11}), 10.0},
      {"ten anchors", StraightOfLength(1000.0, 10), Ints({1, 2, 3, 4, 5, 6, 7, 8, 9, 11}), 5.0},
      {"short", StraightOfLength(20.0, 4), Ints({1, 5}), 0.5},
      {"no anchors", Wave(200), VORRawCollint(), 0.5},
      {"one anchor", Wave(200), Ints({1}), 0.5},
      {"a non-finite point", withNaN, Ints({1, 5, 11}), 0.5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TestStroke s;
    MakePlainStroke(s, c.points, c.anchors);
    EXPECT_DOUBLE_EQ(s.GetUnitLength(), c.expected);
  }
}

}  // namespace
