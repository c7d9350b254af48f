// Projecting a point onto a stroke (the direction always follows the drawing order) and the source curve
// through all its drawn points, on real strokes, strokes drawn backwards, cut strokes and bad input.
#include <gtest/gtest.h>

#include "../edit/EditTestSupport.h"
#include "TAQMoCSStrokeUtilities.h"
#include "TestGeometry.h"
#include "VORCurve.h"

namespace {

using namespace edit_test;

// The drawing direction of the display polyline at the piece nearest point (the first of equally near
// ones). Real strokes step back and forth where the pen paused, so it is the given point's piece that
// counts, not the projected point's.
VORMathVector DrawnDirectionNear(const VORListValVORMathPoint& coords, const VORMathPoint& point) {
  int best = 1;
  double bestDistance = 1e300;
  for (int i = 1; i < coords.Size(); ++i) {
    VORListValVORMathPoint piece;
    piece.Append(coords[i]);
    piece.Append(coords[i + 1]);
    const double d = DistanceToPolyline(piece, point);
    if (d < bestDistance - 1e-12 && coords[i].DistanceTo(coords[i + 1]) > 1e-6) { bestDistance = d; best = i; }
  }
  return coords[best + 1] - coords[best];
}

// Projects points near the stroke at several places and both ends; each projection must lie on the
// curves it names and point the way the stroke was drawn.
void ExpectProjectionsFollowTheDrawing(TestStroke& s, VORSoftwareConfiguration& config, VORGeoFactory& factory,
                                       bool wholeStroke) {
  VORListValVORMathPoint coords;
  s.GetCoords(coords);
  ASSERT_GE(coords.Size(), 2);
  const double fractions[] = {0.0, 0.13, 0.5, 0.77, 1.0};
  for (double f : fractions) {
    SCOPED_TRACE(f);
    const VORMathPoint near = Along(coords, f) + VORMathVector(0.05, -0.04, 0.0);
    VORMathPoint projected;
    VORMathDirection direction;
    VORListPtrVORCurve curves;
    ASSERT_TRUE(s.GetProjection(&factory, &config, near, projected, direction, curves, wholeStroke));
    ASSERT_GE(curves.Size(), 1);
    EXPECT_LT(DistanceToCurve(*curves[1], projected), 1e-6);
    EXPECT_NEAR(direction.GetVector().GetNorm(), 1.0, 1e-12);
    EXPECT_GT(direction.Dot(DrawnDirectionNear(coords, near)), 0.0);
  }
}

TEST(Projection, OnRealStrokesFollowsTheDrawingOrderOnTheRangeAndTheWhole) {
  for (const std::string& file : SomeRealStrokes(10)) {
    SCOPED_TRACE(file);
    VORGeoFactory factory;
    VORSoftwareConfiguration config;
    TestStroke s;
    ASSERT_TRUE(MakeRealStroke(file, config, factory, s));
    ExpectProjectionsFollowTheDrawing(s, config, factory, false);
    ExpectProjectionsFollowTheDrawing(s, config, factory, true);
  }
}

TEST(Projection, AStrokeDrawnBackwardsGetsTheBackwardDirection) {
  VORGeoFactory factory;
  VORSoftwareConfiguration config;
  TestStroke forward, backward;
  VORListValVORMathPoint p = Wave(40), q;
  for (int i = p.Size(); i >= 1; --i) q.Append(p[i]);
  forward.SetSketchPlane(VORMathPlane());
  backward.SetSketchPlane(VORMathPlane());
  MakePlainStroke(forward, p, Ints({1, 20, 40}));
  MakePlainStroke(backward, q, Ints({1, 21, 40}));
  ASSERT_TRUE(forward.Update(&config, &factory, nullptr));
  ASSERT_TRUE(backward.Update(&config, &factory, nullptr));
  const VORMathPoint at(10.2, 3.0 * std::sin(3.0) + 0.1, 0.0);
  VORMathPoint pf, pb;
  VORMathDirection df, db;
  VORListPtrVORCurve cf, cb;
  ASSERT_TRUE(forward.GetProjection(&factory, &config, at, pf, df, cf, false));
  ASSERT_TRUE(backward.GetProjection(&factory, &config, at, pb, db, cb, false));
  EXPECT_GT(df.GetX(), 0.0);
  EXPECT_LT(db.GetX(), 0.0);
  ExpectProjectionsFollowTheDrawing(backward, config, factory, false);
}

TEST(Projection, ACallersCurveRunningAgainstTheDrawingIsTurned) {
  VORGeoFactory factory;
  VORSoftwareConfiguration config;
  TestStroke s;
  s.SetSketchPlane(VORMathPlane());
  VORListValVORMathPoint p = Wave(30), reversed;
  MakePlainStroke(s, p, Ints({1, 15, 30}));
  ASSERT_TRUE(s.Update(&config, &factory, nullptr));
  for (int i = p.Size(); i >= 1; --i) reversed.Append(p[i]);
  VORCurve* against = TAQMoCSStrokeUtilities::CreateFitCurve(&factory, &config, reversed, nullptr, nullptr, nullptr);
  ASSERT_NE(against, nullptr);
  for (const VORMathPoint& at : {p[1], p[8], p[30], p[30] + VORMathVector(3.0, 0.0, 0.0)}) {
    VORListPtrVORCurve curves;
    curves.Append(against);
    VORMathPoint projected;
    VORMathDirection direction;
    ASSERT_TRUE(s.GetProjection(&factory, &config, at, projected, direction, curves, false));
    ASSERT_EQ(curves.Size(), 1);
    // Near enough to the caller's curve, it serves; 0.1 or more away, the stroke's own curves replace it.
    EXPECT_EQ(curves[1] == against, DistanceToCurve(*against, at) < 0.1);
    EXPECT_GT(direction.GetX(), 0.0);
  }
}

TEST(Projection, OnACutStrokeStaysOnTheRangeUnlessTheWholeIsAsked) {
  VORGeoFactory factory;
  VORSoftwareConfiguration config;
  TestStroke s;
  s.SetSketchPlane(VORMathPlane());
  MakePlainStroke(s, Wave(60), Ints({1, 30, 60}));
  const double range[2] = {0.25, 0.6};
  ASSERT_EQ(s.SetRange(range), S_OK);
  ASSERT_TRUE(s.Update(&config, &factory, nullptr));
  const double reversed[2] = {0.6, 0.25};
  EXPECT_EQ(s.SetRange(reversed), E_FAIL);  // a reversed range is refused and the cut stays
  VORListValVORMathPoint coords;
  s.GetCoords(coords);
  const VORMathPoint beyond(58.0, 0.0, 0.0);  // far past the cut's end
  VORMathPoint projected;
  VORMathDirection direction;
  VORListPtrVORCurve curves;
  ASSERT_TRUE(s.GetProjection(&factory, &config, beyond, projected, direction, curves, false));
  EXPECT_LT(projected.DistanceTo(coords[coords.Size()]), 0.5);
  EXPECT_GT(direction.GetX(), 0.0);
  curves.RemoveAll();
  ASSERT_TRUE(s.GetProjection(&factory, &config, beyond, projected, direction, curves, true));
  EXPECT_GT(projected.GetX(), 57.0);
  EXPECT_GT(direction.GetX(), 0.0);
}

TEST(Projection, BadInputFailsWithTheOutputsUntouched) {
  VORGeoFactory factory;
  VORSoftwareConfiguration config;
  const VORMathPoint marker(7, 7, 7);
  const VORMathDirection markerDirection(0, 0, 1);
  TestStroke empty;
  VORMathPoint projected = marker;
  VORMathDirection direction = markerDirection;
  VORListPtrVORCurve curves;
  EXPECT_FALSE(empty.GetProjection(&factory, &config, VORMathPoint(1, 2, 0), projected, direction, curves, false));
  EXPECT_FALSE(empty.GetProjection(&factory, &config, VORMathPoint(1, 2, 0), projected, direction, curves, true));
  TestStroke s;
  s.SetSketchPlane(VORMathPlane());
  MakePlainStroke(s, Wave(20), Ints({1, 20}));
  EXPECT_FALSE(s.GetProjection(nullptr, &config, VORMathPoint(1, 2, 0), projected, direction, curves, false));
  ASSERT_TRUE(s.Update(&config, &factory, nullptr));
  EXPECT_FALSE(s.GetProjection(&factory, &config, VORMathPoint(kNaN, 2, 0), projected, direction, curves, false));
  EXPECT_EQ(projected, marker);
  EXPECT_EQ(direction, markerDirection);
}

// ---- Source curve ----

TEST(SourceCurve, RunsThroughEverySourcePointAndTheAnchors) {
  for (const std::string& file : SomeRealStrokes(10)) {
    SCOPED_TRACE(file);
    VORGeoFactory factory;
    VORSoftwareConfiguration config;
    TestStroke s;
    ASSERT_TRUE(MakeRealStroke(file, config, factory, s));
    VORListValVORMathPoint points, fitted;
    s.GetSourcePoints(points, nullptr, nullptr, nullptr, nullptr);
    VORMathDirection unused;
    VORCurve* curve = s.GetSourceCurve(&factory, &config, unused, &fitted);
    ASSERT_NE(curve, nullptr);
    EXPECT_TRUE(factory.Contains(curve));
    EXPECT_EQ(fitted, points);
    EXPECT_LE(MaxDeviation(*curve, points), TAQMoCSStrokeUtilities::mFitTolerance2D + 1e-6);
    VORListValVORMathPoint anchorPoints;
    s.GetAnchors(anchorPoints);
    for (int i = 1; i <= anchorPoints.Size(); ++i) EXPECT_LT(DistanceToCurve(*curve, anchorPoints[i]), 1e-3);
  }
}

TEST(SourceCurve, FollowsTheEndTangentsWhereTheBlendsAskForThem) {
  VORGeoFactory factory;
  VORSoftwareConfiguration config;
  TestStroke s;
  s.SetSketchPlane(VORMathPlane());
  VORListValVORMathPoint p;
  for (int i = 0; i <= 20; ++i) p.Append(VORMathPoint(i, 0.0, 0.0));
  MakePlainStroke(s, p, Ints({1, 11, 21}));
  const VORMathPoint ends[2] = {p[1], p[21]};
  const VORMathDirection dirs[2] = {VORMathDirection(1, 1, 0), VORMathDirection(1, -1, 0)};
  s.UpdateEndTangents(ends, dirs, dirs);
  VORRawColldouble blends;
  blends.Append(1.0);
  blends.Append(1.0);
  s.SetBlends(blends);
  VORMathDirection unused;
  VORCurve* curve = s.GetSourceCurve(&factory, &config, unused, nullptr);
  ASSERT_NE(curve, nullptr);
  const VORMathDirection start(curve->EvalFirstDerivative(curve->GetStartLimit()));
  EXPECT_GT(start.Dot(dirs[0].GetVector()), 0.999);
  // A zero blend leaves that end free: the straight line stays straight there.
  blends[1] = 0.0;
  s.SetBlends(blends);
  curve = s.GetSourceCurve(&factory, &config, unused, nullptr);
  ASSERT_NE(curve, nullptr);
  EXPECT_GT(VORMathDirection(curve->EvalFirstDerivative(curve->GetStartLimit())).GetX(), 0.999);
  EXPECT_GT(VORMathDirection(curve->EvalFirstDerivative(curve->GetEndLimit())).Dot(dirs[1].GetVector()), 0.999);
  blends[1] = 1.0;
  blends[2] = 0.0;
  s.SetBlends(blends);
  curve = s.GetSourceCurve(&factory, &config, unused, nullptr);
  ASSERT_NE(curve, nullptr);
  EXPECT_GT(VORMathDirection(curve->EvalFirstDerivative(curve->GetEndLimit())).GetX(), 0.999);
}

TEST(SourceCurve, FallsBackOnTheDisplayPolylineAndGivesNullForNothing) {
  VORGeoFactory factory;
  VORSoftwareConfiguration config;
  TestStroke s;
  const VORListValVORMathPoint coords = Wave(15);
  s.SetCoords(coords);
  VORMathDirection unused;
  VORListValVORMathPoint fitted;
  VORCurve* curve = s.GetSourceCurve(&factory, &config, unused, &fitted);
  ASSERT_NE(curve, nullptr);
  EXPECT_EQ(fitted, coords);
  TestStroke empty;
  fitted = coords;
  const int before = factory.GetCurveCount();
  EXPECT_EQ(empty.GetSourceCurve(&factory, &config, unused, &fitted), nullptr);
  EXPECT_EQ(fitted.Size(), 0);
  EXPECT_EQ(factory.GetCurveCount(), before);
  EXPECT_EQ(s.GetSourceCurve(nullptr, &config, unused, nullptr), nullptr);
}

}  // namespace
