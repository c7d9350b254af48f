// Dragging a stroke through a point (drag and project mode) and inserting an anchor: the dragged point
// lands on the refitted curve, the other anchors stay where they were, and refused drags change nothing.
#include <gtest/gtest.h>

#include "../edit/EditTestSupport.h"
#include "TAQMoCSStrokeUtilities.h"
#include "TestGeometry.h"
#include "VORCurve.h"

namespace {

using namespace edit_test;

// The anchor points of s other than one at point.
VORListValVORMathPoint AnchorPointsBut(TestStroke& s, const VORMathPoint& point) {
  VORListValVORMathPoint all = s.AnchorPoints(), others;
  for (const VORMathPoint& a : all)
    if (a.DistanceTo(point) > 0.0) others.Append(a);
  return others;
}

// The distance from point to the nearest of points.
double Nearest(const VORListValVORMathPoint& points, const VORMathPoint& point) {
  double nearest = 1e300;
  for (const VORMathPoint& p : points) nearest = std::min(nearest, p.DistanceTo(point));
  return nearest;
}

void ExpectLandsOnTheCurve(TestStroke& s, VORSoftwareConfiguration& config, VORGeoFactory& factory,
                           const VORMathPoint& to, const VORListValVORMathPoint& fixedAnchors) {
  VORListPtrVORCurve curves;
  ASSERT_TRUE(s.Evaluate(&factory, &config, curves, nullptr, nullptr, nullptr, nullptr));
  ASSERT_EQ(curves.Size(), 1);
  EXPECT_LE(DistanceToCurve(*curves[1], to), TAQMoCSStrokeUtilities::mFitTolerance2D + 1e-6);
  const VORListValVORMathPoint points = s.Source();
  for (int i = 1; i <= fixedAnchors.Size(); ++i) EXPECT_LT(DistanceToPolyline(points, fixedAnchors[i]), 1e-9) << i;
  EXPECT_TRUE(AnchorsWellFormed(s));
}

// On each stroke in turn: a drag in project mode, which lands on the curve and makes the target an anchor
// while the other anchors stay, and an anchor inserted off the stroke, which lies on the point and cannot be
// inserted twice. (Plain drags on real strokes are the editing session's.)
TEST(DragOnRealStrokes, DragsLandOnTheCurveKeepingTheOtherAnchorsAndInsertedAnchorsLieOnThePoint) {
  OnSomeRealStrokes(10, [](const std::string&, VORSoftwareConfiguration& config, VORGeoFactory& factory,
                          TestStroke& s) {
    const VORMathPoint from = Along(s.Coords(), 0.45), to = from + VORMathVector(-0.6, 0.9, 0.0);
    const VORListValVORMathPoint fixed = AnchorPointsBut(s, from);
    ASSERT_TRUE(TestStroke::ReshapeCurve(&config, &factory, &s, from, to, true, false));
    ExpectLandsOnTheCurve(s, config, factory, to, fixed);
    EXPECT_LT(Nearest(s.AnchorPoints(), to), 1e-9) << "the projected target is an anchor";

    const VORMathPoint at = Along(s.Coords(), 0.7) + VORMathVector(0.2, 0.3, 0.0);
    const int anchors = s.Anchors().Size();
    ASSERT_TRUE(s.InsertAnchor(&config, &factory, at));
    EXPECT_EQ(s.Anchors().Size(), anchors + 1);
    EXPECT_LT(Nearest(s.AnchorPoints(), at), 1e-9);
    ASSERT_TRUE(s.Update(&config, &factory, nullptr));
    ExpectLandsOnTheCurve(s, config, factory, at, VORListValVORMathPoint());
    const snapshot::State state = snapshot::Take(s);
    EXPECT_FALSE(s.InsertAnchor(&config, &factory, at)) << "an anchor already";
    EXPECT_TRUE(snapshot::Same(state, s));
  });
}

// ---- Synthetic cases ----

// Drags of a 10-point wave from a point of a piece to a target, in both modes: which anchor the target
// becomes, how many points there are after it, and which point lies on the target. The ends never move.
TEST(Drag, TheTargetBecomesAnAnchorPointAndTheOtherAnchorsShift) {
  const VORListValVORMathPoint p = Wave(10);
  const VORMathVector up(0.0, 0.0, 0.5);
  struct Case {
    const char* what;
    std::vector<int> anchorsIn;
    VORMathPoint from, to;
    bool project;
    std::vector<int> anchorsOut;
    int count, onTarget;
  };
  const VORMathPoint mid34 = p[3] + (p[4] - p[3]) * 0.5, mid45 = p[4] + (p[5] - p[4]) * 0.5;
  const Case cases[] = {
      {"project from above a point onto its foot: only the anchor", {1, 6, 10}, p[3] + up * 4.0, p[3], true,
       {1, 3, 6, 10}, 10, 3},
      {"project inside a piece: a point is added", {1, 4, 7, 10}, mid34, mid34 + up, true, {1, 4, 5, 8, 11}, 11, 4},
      {"drag inside a piece with no inner point", {1, 4, 5, 10}, mid45, mid45 + up, false, {1, 4, 6, 11}, 11, 5},
      {"project onto an anchor: it moves onto the target", {1, 6, 10}, p[6] + up * 4.0,
       p[6] + VORMathVector(0.0, 1.0, 0.0), true, {1, 6, 10}, 10, 6},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Kit k;
    TestStroke s;
    s.SetSketchPlane(VORMathPlane());
    MakePlainStroke(s, p, Ints(c.anchorsIn));
    ASSERT_TRUE(TestStroke::ReshapeCurve(&k.config, &k.factory, &s, c.from, c.to, c.project, true));
    EXPECT_EQ(s.Anchors(), Ints(c.anchorsOut));
    const VORListValVORMathPoint points = s.Source();
    ASSERT_EQ(points.Size(), c.count);
    EXPECT_LT(points[c.onTarget].DistanceTo(c.to), 1e-12);
    EXPECT_EQ(points[1], p[1]);
    EXPECT_EQ(points[c.count], p[10]);
    if (c.count == 10 && c.to == p[c.onTarget]) EXPECT_EQ(points, p);  // nothing else moved
  }
}

// A stroke made from 2D points on planes (one per point), with anchors, its range whole.
void MakeStrokeOnPlanes(TestStroke& s, VORListValVORMathPlane planes, VORListValVORMathPoint2D uv,
                        VORListValVORMathPoint xyz, VORRawCollint anchors) {
  s.SetSketchPlane(planes[1]);
  ASSERT_EQ(TAQMoStroke::CreateFromReferences(s, true, false, 1, 1, 1.0, planes, uv, xyz, &anchors), S_OK);
  const double whole[2] = {0.0, 1.0};
  s.SetRange(whole);
}

// The foot lies a few thousandths of a piece past anchor 5 of a stroke on a plane: the anchor is that
// point, and only the run the deformation moved changes; the anchor keeps its point.
TEST(Drag, InsertingJustPastAnAnchorKeepsTheAnchorsPoint) {
  Kit k;
  TestStroke s;
  VORListValVORMathPoint2D uv;
  for (int i = 1; i <= 10; ++i) uv.Append(VORMathPoint2D(i, 1));
  VORListValVORMathPlane planes;
  planes.Append(VORMathPlane());
  MakeStrokeOnPlanes(s, planes, uv, VORListValVORMathPoint(), Ints({1, 5, 10}));
  ASSERT_TRUE(s.InsertAnchor(&k.config, &k.factory, VORMathPoint(5.005, 1.5, 0)));
  const VORListValVORMathPoint points = s.Source();
  ASSERT_EQ(points.Size(), 10);
  EXPECT_EQ(points[5], VORMathPoint(5, 1, 0));
  for (int i = 2; i <= points.Size(); ++i) EXPECT_GT(points[i].DistanceTo(points[i - 1]), 0.1) << i;
  EXPECT_TRUE(AnchorsWellFormed(s));
}

TEST(Drag, AStrokeOnTwoPlanesIsDraggedAsOneSegment) {
  Kit k;
  const PlaneRuns runs({VORMathPlane(), VORMathPlane(VORMathPoint(), VORMathVector(1, 0, 0))}, {6, 6});
  TestStroke s;
  MakeStrokeOnPlanes(s, runs.planes, runs.uv, runs.xyz, Ints({1, 6, 12}));
  const VORMathPoint from = s.Source()[3], to = from + VORMathVector(0.0, 0.5, 0.0);
  ASSERT_TRUE(TestStroke::ReshapeCurve(&k.config, &k.factory, &s, from, to, false, true));
  EXPECT_TRUE(AnchorsWellFormed(s));
  EXPECT_EQ(snapshot::Take(s).data.size(), 1u);  // written back on the first plane
  EXPECT_EQ(s.Source().Size(), 12);
  EXPECT_LT(DistanceToPolyline(s.Source(), to), 1e-9);
}

TEST(Drag, AClosedStrokeStaysClosed) {
  Kit k;
  VORListValVORMathPoint ring;
  for (int i = 0; i < 24; ++i) ring.Append(VORMathPoint(10 * std::cos(i * 0.2618), 10 * std::sin(i * 0.2618), 0));
  ring.Append(ring[1]);
  TestStroke s;
  s.SetSketchPlane(VORMathPlane());
  MakePlainStroke(s, ring, Ints({1, 7, 13, 19, 25}));
  ASSERT_TRUE(s.Update(&k.config, &k.factory, nullptr));
  const VORMathPoint to = ring[10] + VORMathVector(-1.0, 0.5, 0.0);
  ASSERT_TRUE(TestStroke::ReshapeCurve(&k.config, &k.factory, &s, ring[10], to, false, false));
  const VORListValVORMathPoint points = s.Source();
  EXPECT_EQ(points[1], points[points.Size()]);
  ExpectLandsOnTheCurve(s, k.config, k.factory, to, VORListValVORMathPoint());
}

// No move, non-finite points, no factory, an anchor already there, a stroke of another type, a stroke
// without points, one of a single point and one whose moved points would overflow: refused, with the
// stroke as it was.
TEST(Drag, RefusedDragsChangeNothing) {
  Kit k;
  TestStroke s;
  s.SetSketchPlane(VORMathPlane());
  const VORListValVORMathPoint p = Wave(10);
  MakePlainStroke(s, p, Ints({1, 5, 10}));
  ASSERT_TRUE(s.Update(&k.config, &k.factory, nullptr));
  const snapshot::State before = snapshot::Take(s);
  const VORMathPoint nan(kNaN, 0.0, 0.0);
  EXPECT_FALSE(TestStroke::ReshapeCurve(&k.config, &k.factory, &s, p[4], p[4], false, false));
  EXPECT_FALSE(TestStroke::ReshapeCurve(&k.config, &k.factory, &s, nan, p[4], false, false));
  EXPECT_FALSE(TestStroke::ReshapeCurve(&k.config, &k.factory, &s, p[4], nan, true, false));
  EXPECT_FALSE(TestStroke::ReshapeCurve(&k.config, &k.factory, nullptr, p[4], p[5], true, false));
  EXPECT_FALSE(s.InsertAnchor(&k.config, &k.factory, nan));
  EXPECT_FALSE(s.InsertAnchor(&k.config, &k.factory, p[5]));
  EXPECT_TRUE(snapshot::Same(before, s));
  s.SetType(2);
  const snapshot::State typed = snapshot::Take(s);
  EXPECT_FALSE(TestStroke::ReshapeCurve(&k.config, &k.factory, &s, p[4], p[4] + VORMathVector(0, 1, 0), false, false));
  EXPECT_FALSE(s.InsertAnchor(&k.config, &k.factory, p[3] + VORMathVector(0, 1, 0)));
  EXPECT_TRUE(snapshot::Same(typed, s));
  TestStroke empty, single;
  empty.SetType(1);
  EXPECT_FALSE(TestStroke::ReshapeCurve(&k.config, &k.factory, &empty, p[4], p[5], false, false));
  EXPECT_FALSE(empty.InsertAnchor(&k.config, &k.factory, p[5]));
  MakePlainStroke(single, Wave(1), Ints({1}));
  EXPECT_FALSE(TestStroke::ReshapeCurve(&k.config, &k.factory, &single, p[1], p[2], false, false));
  EXPECT_EQ(single.Source().Size(), 1);
  // Projected from an inner point past a piece whose length overflows, the moved points are not finite:
  // refused after the point was made an anchor, which it is no more.
  TestStroke huge;
  VORListValVORMathPoint far;
  far.Append(VORMathPoint(0, 0, 0));
  for (int i = 0; i < 3; ++i) far.Append(VORMathPoint(1e308, i * 1e300, 0));
  MakePlainStroke(huge, far, Ints({1, 4}));
  const snapshot::State hugeBefore = snapshot::Take(huge);
  EXPECT_FALSE(TestStroke::ReshapeCurve(&k.config, &k.factory, &huge, far[3], far[3] + VORMathVector(0, 0, 1e300), true,
                                        true));
  EXPECT_TRUE(snapshot::Same(hugeBefore, huge));
}

}  // namespace
