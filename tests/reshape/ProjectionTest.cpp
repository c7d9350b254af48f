// Projecting a point onto a stroke (the direction always follows the drawing order) and the source curve
// through all its drawn points, on real strokes, strokes drawn backwards, cut strokes and bad input.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "../edit/EditTestSupport.h"
#include "TAQMoCSStrokeUtilities.h"
#include "TestGeometry.h"
#include "VORCurve.h"

namespace {

using namespace edit_test;

// Whether direction runs the way the display polyline was drawn at the piece nearest point, or at one of
// equally near pieces (a stroke that goes back over itself). Real strokes step back and forth where the
// pen paused, so it is the given point's piece that counts, not the projected point's.
bool FollowsTheDrawingNear(const VORListValVORMathPoint& coords, const VORMathPoint& point,
                           const VORMathDirection& direction) {
  std::vector<double> distances(static_cast<size_t>(coords.Size()), 1e300);
  double nearest = 1e300;
  for (int i = 1; i < coords.Size(); ++i) {
    if (coords[i].DistanceTo(coords[i + 1]) <= 1e-6) continue;
    VORListValVORMathPoint piece;
    piece.Append(coords[i]);
    piece.Append(coords[i + 1]);
    distances[static_cast<size_t>(i)] = DistanceToPolyline(piece, point);
    nearest = std::min(nearest, distances[static_cast<size_t>(i)]);
  }
  for (int i = 1; i < coords.Size(); ++i)
    if (distances[static_cast<size_t>(i)] <= nearest + 1e-9 && direction.Dot(coords[i + 1] - coords[i]) > 0.0) return true;
  return false;
}

// Projects points near the stroke at several places and both ends; each projection must lie on the
// curves it names and point the way the stroke was drawn.
void ExpectProjectionsFollowTheDrawing(TestStroke& s, VORSoftwareConfiguration& config, VORGeoFactory& factory,
                                       bool wholeStroke) {
  const VORListValVORMathPoint coords = s.Coords();
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
    EXPECT_TRUE(FollowsTheDrawingNear(coords, near, direction));
  }
}

// On each stroke, and on a wave drawn backwards: projections follow the drawing order, on the range and
// on the whole, and on a cut stroke they stay on the range unless the whole is asked for; the source curve
// runs through every source point and the anchors.
TEST(Projection, OnRealStrokesFollowsTheDrawingOrderOnTheRangeAndTheWholeAndTheSourceCurveHoldsThePoints) {
  OnSomeRealStrokes(10, [](const std::string&, VORSoftwareConfiguration& config, VORGeoFactory& factory,
                          TestStroke& s) {
    ExpectProjectionsFollowTheDrawing(s, config, factory, false);
    ExpectProjectionsFollowTheDrawing(s, config, factory, true);
    VORListValVORMathPoint fitted;
    VORMathDirection unused;
    VORCurve* curve = s.GetSourceCurve(&factory, &config, unused, &fitted);
    ASSERT_NE(curve, nullptr);
    EXPECT_TRUE(factory.Contains(curve));
    EXPECT_EQ(fitted, s.Source());
    EXPECT_LE(MaxDeviation(*curve, fitted), TAQMoCSStrokeUtilities::mFitTolerance2D + 1e-6);
    for (const VORMathPoint& a : s.AnchorPoints()) EXPECT_LT(DistanceToCurve(*curve, a), 1e-3);
    // Cut to a sub-range: the last drawn point projects onto the range, or near itself when the whole is
    // asked for, and projections follow the drawing on the range.
    const double range[2] = {0.25, 0.6};
    ASSERT_EQ(s.SetRange(range), S_OK);
    ASSERT_TRUE(s.Update(&config, &factory, nullptr));
    const VORMathPoint end = fitted[fitted.Size()];
    for (bool whole : {false, true}) {
      SCOPED_TRACE(whole ? "whole" : "range");
      VORMathPoint projected;
      VORMathDirection direction;
      VORListPtrVORCurve curves;
      ASSERT_TRUE(s.GetProjection(&factory, &config, end, projected, direction, curves, whole));
      if (whole) EXPECT_LT(projected.DistanceTo(end), TAQMoCSStrokeUtilities::mFitTolerance2D + 1e-6);
      else EXPECT_LT(DistanceToPolyline(s.Coords(), projected), 0.1 + 1e-6);
    }
    ExpectProjectionsFollowTheDrawing(s, config, factory, false);
  });
  Kit k;
  TestStroke backward;
  VORListValVORMathPoint p = Wave(40), q;
  for (int i = p.Size(); i >= 1; --i) q.Append(p[i]);
  backward.SetSketchPlane(VORMathPlane());
  MakePlainStroke(backward, q, Ints({1, 21, 40}));
  ASSERT_TRUE(backward.Update(&k.config, &k.factory, nullptr));
  SCOPED_TRACE("drawn backwards");
  ExpectProjectionsFollowTheDrawing(backward, k.config, k.factory, false);
}

TEST(Projection, ACallersCurveRunningAgainstTheDrawingIsTurned) {
  Kit k;
  TestStroke s;
  s.SetSketchPlane(VORMathPlane());
  VORListValVORMathPoint p = Wave(30), reversed;
  MakePlainStroke(s, p, Ints({1, 15, 30}));
  ASSERT_TRUE(s.Update(&k.config, &k.factory, nullptr));
  for (int i = p.Size(); i >= 1; --i) reversed.Append(p[i]);
  VORCurve* against =
      TAQMoCSStrokeUtilities::CreateFitCurve(&k.factory, &k.config, reversed, nullptr, nullptr, nullptr);
  ASSERT_NE(against, nullptr);
  for (const VORMathPoint& at : {p[1], p[8], p[30], p[30] + VORMathVector(3.0, 0.0, 0.0)}) {
    VORListPtrVORCurve curves;
    curves.Append(against);
    VORMathPoint projected;
    VORMathDirection direction;
    ASSERT_TRUE(s.GetProjection(&k.factory, &k.config, at, projected, direction, curves, false));
    ASSERT_EQ(curves.Size(), 1);
    // Near enough to the caller's curve, it serves; 0.1 or more away, the stroke's own curves replace it.
    EXPECT_EQ(curves[1] == against, DistanceToCurve(*against, at) < 0.1);
    EXPECT_GT(direction.GetX(), 0.0);
  }
}

// Projection and the source curve of an empty stroke, without a factory or of a NaN point fail: the
// outputs are untouched, or emptied for the source curve's points, and the factory gets no curve.
TEST(Projection, BadInputFailsWithTheOutputsUntouched) {
  Kit k;
  const VORMathPoint marker(7, 7, 7);
  const VORMathDirection markerDirection(0, 0, 1);
  TestStroke empty, s;
  VORMathPoint projected = marker;
  VORMathDirection direction = markerDirection, unused;
  VORListPtrVORCurve curves;
  EXPECT_FALSE(empty.GetProjection(&k.factory, &k.config, VORMathPoint(1, 2, 0), projected, direction, curves, false));
  EXPECT_FALSE(empty.GetProjection(&k.factory, &k.config, VORMathPoint(1, 2, 0), projected, direction, curves, true));
  VORListValVORMathPoint fitted = Wave(3);
  EXPECT_EQ(empty.GetSourceCurve(&k.factory, &k.config, unused, &fitted), nullptr);
  EXPECT_EQ(fitted.Size(), 0);
  s.SetSketchPlane(VORMathPlane());
  MakePlainStroke(s, Wave(20), Ints({1, 20}));
  EXPECT_FALSE(s.GetProjection(nullptr, &k.config, VORMathPoint(1, 2, 0), projected, direction, curves, false));
  EXPECT_EQ(s.GetSourceCurve(nullptr, &k.config, unused, nullptr), nullptr);
  ASSERT_TRUE(s.Update(&k.config, &k.factory, nullptr));
  const int made = k.factory.GetCreatedCurveCount();
  EXPECT_FALSE(s.GetProjection(&k.factory, &k.config, VORMathPoint(kNaN, 2, 0), projected, direction, curves, false));
  EXPECT_EQ(projected, marker);
  EXPECT_EQ(direction, markerDirection);
  EXPECT_EQ(k.factory.GetCreatedCurveCount(), made);
}

// ---- Source curve ----

// A straight stroke with end tangent records at 45 degrees: an end whose blend is 1 leaves along its
// record, an end whose blend is 0 is free and the straight line stays straight there.
TEST(SourceCurve, FollowsTheEndTangentsWhereTheBlendsAskForThem) {
  Kit k;
  TestStroke s;
  s.SetSketchPlane(VORMathPlane());
  VORListValVORMathPoint p;
  for (int i = 0; i <= 20; ++i) p.Append(VORMathPoint(i, 0.0, 0.0));
  MakePlainStroke(s, p, Ints({1, 11, 21}));
  const VORMathPoint ends[2] = {p[1], p[21]};
  const VORMathDirection dirs[2] = {VORMathDirection(1, 1, 0), VORMathDirection(1, -1, 0)};
  s.UpdateEndTangents(ends, dirs, dirs);
  for (const std::pair<double, double> blend : {std::make_pair(1.0, 1.0), {0.0, 1.0}, {1.0, 0.0}}) {
    SCOPED_TRACE(std::to_string(blend.first) + " " + std::to_string(blend.second));
    VORRawColldouble blends;
    blends.Append(blend.first);
    blends.Append(blend.second);
    s.SetBlends(blends);
    VORMathDirection unused;
    VORCurve* curve = s.GetSourceCurve(&k.factory, &k.config, unused, nullptr);
    ASSERT_NE(curve, nullptr);
    for (int end = 0; end < 2; ++end) {
      const VORCrvParam at = end == 0 ? curve->GetStartLimit() : curve->GetEndLimit();
      const VORMathDirection want = blends[end + 1] == 1.0 ? dirs[end] : VORMathDirection(1, 0, 0);
      EXPECT_GT(VORMathDirection(curve->EvalFirstDerivative(at)).Dot(want.GetVector()), 0.999) << end;
    }
  }
}

TEST(SourceCurve, FallsBackOnTheDisplayPolyline) {
  Kit k;
  TestStroke s;
  const VORListValVORMathPoint coords = Wave(15);
  s.SetCoords(coords);
  VORMathDirection unused;
  VORListValVORMathPoint fitted;
  ASSERT_NE(s.GetSourceCurve(&k.factory, &k.config, unused, &fitted), nullptr);
  EXPECT_EQ(fitted, coords);
}

}  // namespace
