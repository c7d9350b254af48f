// The geometry of a stroke: one segment evaluated into a curve and display polyline, the end tangents
// recorded from the fit, the two curve caches (which requests refit, seen through the factory's count of
// curves made), the cut of a type-1 stroke to its range, and the extruded body end to end.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include <unistd.h>

#include "StrokeFiles.h"
#include "TAQMoCSStrokeUtilities.h"
#include "TAQMoStrokeData.h"
#include "TestGeometry.h"
#include "TestStep.h"
#include "TestStroke.h"
#include "VORBody.h"
#include "VORBodyWriter.h"
#include "VORCurve.h"
#include "VORGeoFactory.h"
#include "VORSoftwareConfiguration.h"
#include "svConstraintStatus.h"

namespace {

const double kFitTol = TAQMoCSStrokeUtilities::mFitTolerance2D + 1e-6;
const double kDisplayTol = 0.1 + 1e-6;

struct Kit {
  VORGeoFactory factory;
  VORSoftwareConfiguration config;
};

// A real stroke drawn in a view onto the plane z = 0 (seen from +z), whole range.
void Draw(Kit& k, TestStroke& s, const std::string& file, bool isSketch = true) {
  VORListValVORMathPoint points = LoadStrokePoints(file);
  s.SetSketchPlane(VORMathPlane());
  ASSERT_EQ(TAQMoStroke::CreateInView(s, &k.config, &k.factory, isSketch, false, 1, 1, 1.0, points,
                                      VORMathDirection(0, 0, -1), 0),
            S_OK);
  const double whole[2] = {0.0, 1.0};
  ASSERT_EQ(s.SetRange(whole), S_OK);
}

VORListValVORMathPoint Display(const TAQMoStroke& s, VORRawCollint* splits = nullptr,
                               VORListValVORMathVector* normals = nullptr) {
  bool isSketch = false;
  int color = 0;
  double width = 0.0;
  VORRawCollint ownSplits;
  VORListValVORMathPoint points;
  s.GetDisplayData(isSketch, color, width, splits ? *splits : ownSplits, points, normals);
  return points;
}

VORListValVORMathPoint Source(const TAQMoStroke& s) {
  VORListValVORMathPoint points;
  const_cast<TAQMoStroke&>(s).GetSourcePoints(points, nullptr, nullptr, nullptr, nullptr);
  return points;
}

class RealStrokes : public ::testing::TestWithParam<std::string> {};

// ---- One segment ----

TEST_P(RealStrokes, ASegmentEvaluatesToACurveThroughItsPointsAndAPolylineOnTheCurve) {
  Kit k;
  TestStroke s;
  Draw(k, s, GetParam());
  TAQUtVector<TAQMoStrokeData*> data;
  s.GetData(data);
  ASSERT_EQ(data.Size(), 1u);
  VORRawCollint anchors;
  s.GetAnchors(anchors);
  for (const bool withPlane : {true, false}) {
    SCOPED_TRACE(withPlane);
    // The same points as a segment without a reference plane (3D points only).
    TAQMoStrokeData plain;
    VORListValVORMathPoint coords;
    data[0]->GetSourcePoints(coords, nullptr);
    plain.SetCoords(coords);
    TAQMoStrokeData* segment = withPlane ? data[0] : &plain;
    VORListValVORMathPoint source, points;
    VORListPtrVORCurve curves;
    VORRawCollint splits, a = anchors;
    VORMathVector free[2];
    svConstraintStatus status = 1;
    EXPECT_GE(segment->Evaluate(&k.factory, &k.config, true, nullptr, &a, free, source, status, &curves, &splits,
                                &points, nullptr, nullptr, false),
              0);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(source, coords);
    ASSERT_EQ(curves.Size(), 1);
    EXPECT_LE(MaxDeviation(*curves[1], source), kFitTol);
    ASSERT_GT(points.Size(), 1);
    for (const VORMathPoint& p : points) EXPECT_LT(DistanceToCurve(*curves[1], p), 1e-3);
    for (const VORMathPoint& p : source) EXPECT_LE(DistanceToPolyline(points, p), kFitTol + kDisplayTol);
    ASSERT_EQ(splits.Size(), 1);
    EXPECT_EQ(splits[1], points.Size());
  }
}

TEST(SegmentEvaluate, WithABodyInWholeCurveModeTheFitIsTheOnePieceAndEveryPointGetsANormal) {
  Kit k;
  TestStroke s;
  Draw(k, s, StrokeFiles("real").front());
  ASSERT_TRUE(s.Update(&k.config, &k.factory, nullptr));
  // A body (the stroke's own extrusion below it); in whole-curve mode the fit is not projected onto it.
  double limits[2] = {-1.0, -0.5};
  VORBody* wall = nullptr;
  ASSERT_EQ(s.CreateExtrudedBody(&k.config, &k.factory, limits, wall, nullptr), S_OK);
  TAQUtVector<TAQMoStrokeData*> data;
  s.GetData(data);
  VORListValVORMathPoint source, points;
  VORListPtrVORCurve curves;
  VORRawCollint splits, anchors;
  s.GetAnchors(anchors);
  VORListValVORMathVector normals;
  VORMathVector free[2];
  svConstraintStatus status = 1;
  data[0]->Evaluate(&k.factory, &k.config, false, wall, &anchors, free, source, status, &curves, &splits, &points,
                    &normals, nullptr, true);
  ASSERT_EQ(curves.Size(), 1);
  ASSERT_GT(points.Size(), 1);
  for (const VORMathPoint& p : points) EXPECT_LT(DistanceToCurve(*curves[1], p), 1e-3);
  EXPECT_EQ(normals.Size(), points.Size());
  for (const VORMathVector& n : normals) EXPECT_NEAR(n.GetNorm(), 1.0, 1e-9);
  EXPECT_EQ(splits[splits.Size()], points.Size());
}

// ---- End tangents ----

TEST_P(RealStrokes, AnUpdateRecordsTheFitsEndPointsAndTangentsInThePlane) {
  Kit k;
  TestStroke s;
  Draw(k, s, GetParam());
  VORListPtrVORCurve curves;
  ASSERT_TRUE(s.Update(&k.config, &k.factory, &curves));
  ASSERT_EQ(curves.Size(), 1);
  VORMathPoint ends[2];
  VORMathDirection directions[2];
  ASSERT_TRUE(s.GetEndTangents(ends, directions));
  const VORCurve& c = *curves[1];
  EXPECT_LT(ends[0].DistanceTo(c.EvalPoint(c.GetStartLimit())), 1e-9);
  EXPECT_LT(ends[1].DistanceTo(c.EvalPoint(c.GetEndLimit())), 1e-9);
  const VORMathDirection d0(c.EvalFirstDerivative(c.GetStartLimit())), d1(c.EvalFirstDerivative(c.GetEndLimit()));
  EXPECT_NEAR(directions[0].GetVector().Dot(d0.GetVector()), 1.0, 1e-9);
  EXPECT_NEAR(directions[1].GetVector().Dot(d1.GetVector()), 1.0, 1e-9);
  EXPECT_NEAR(directions[0].GetZ(), 0.0, 1e-12);
  // A record on a plane written through UpdatePointTangentData reads back in that plane.
  TAQUtVector<TAQMoStrokeData*> records;
  s.GetTangents(records);
  ASSERT_EQ(records.Size(), 2u);
  TestStroke::UpdatePointTangentData(records[0], VORMathPoint(1, 2, 0), VORMathDirection(0, 1, 0),
                                     VORMathDirection(0, 0, 1));
  ASSERT_TRUE(s.GetEndTangents(ends, directions));
  EXPECT_LT(ends[0].DistanceTo(VORMathPoint(1, 2, 0)), 1e-12);
  EXPECT_NEAR(directions[0].GetY(), 1.0, 1e-12);
}

// ---- The caches ----

TEST(StrokeCaches, RequestsTheCachesAnswerMakeNoCurve) {
  Kit k;
  TestStroke s;
  Draw(k, s, StrokeFiles("real").front());
  ASSERT_TRUE(s.Update(&k.config, &k.factory, nullptr));
  const VORListValVORMathPoint display = Display(s);
  const long long made = k.factory.GetCreatedCurveCount();
  VORListPtrVORCurve curves;
  VORListValVORMathPoint points;
  VORRawCollint splits;
  // The stroke's own range, given or not, within tolerance or exactly.
  double own[2] = {0.0, 1.0}, nearlyOwn[2] = {0.0004, 0.9996};
  EXPECT_TRUE(s.Evaluate(&k.factory, &k.config, curves, nullptr, &splits, &points, nullptr));
  EXPECT_EQ(points, display);
  EXPECT_TRUE(s.Evaluate(&k.factory, &k.config, curves, nearlyOwn, &splits, &points, nullptr));
  EXPECT_EQ(k.factory.GetCreatedCurveCount(), made);
  // The whole stroke, curves only: the clones of the full cache, not the stroke's own curves.
  VORListPtrVORCurve own1, whole;
  s.Evaluate(&k.factory, &k.config, own1, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(s.Evaluate(&k.factory, &k.config, whole, own, nullptr, nullptr, nullptr));
  ASSERT_EQ(whole.Size(), 1);
  EXPECT_NE(whole[1], own1[1]);
  EXPECT_EQ(k.factory.GetCreatedCurveCount(), made);
  // Clearing the cache makes the next request refit.
  ASSERT_EQ(s.ClearCurveCache(), S_OK);
  EXPECT_TRUE(s.Evaluate(&k.factory, &k.config, curves, nullptr, &splits, &points, nullptr));
  EXPECT_GT(k.factory.GetCreatedCurveCount(), made);
  EXPECT_EQ(points, display);
}

TEST(StrokeCaches, ARangeRequestRefitsAndLeavesTheStrokesOwnCachesAsTheyWere) {
  Kit k;
  TestStroke s;
  Draw(k, s, StrokeFiles("real").back());
  ASSERT_TRUE(s.Update(&k.config, &k.factory, nullptr));
  VORRawCollint ownSplits;
  const VORListValVORMathPoint display = Display(s, &ownSplits);
  VORListPtrVORCurve ownCurves;
  s.Evaluate(&k.factory, &k.config, ownCurves, nullptr, nullptr, nullptr, nullptr);
  const long long made = k.factory.GetCreatedCurveCount();
  double part[2] = {0.25, 0.5};
  VORListPtrVORCurve curves;
  VORListValVORMathPoint points;
  VORRawCollint splits;
  ASSERT_TRUE(s.Evaluate(&k.factory, &k.config, curves, part, &splits, &points, nullptr));
  EXPECT_GT(k.factory.GetCreatedCurveCount(), made);
  // The cut covers a quarter of the display's length, more or less what the curve's arc length gives.
  EXPECT_NEAR(PolylineLength(points) / PolylineLength(display), 0.25, 0.02);
  VORRawCollint afterSplits;
  EXPECT_EQ(Display(s, &afterSplits), display);
  EXPECT_EQ(afterSplits, ownSplits);
  VORListPtrVORCurve afterCurves;
  s.Evaluate(&k.factory, &k.config, afterCurves, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(afterCurves, ownCurves);
}

TEST(StrokeCaches, AType1StrokeIsCutToItsOwnRangeAndCachesTheCut) {
  Kit k;
  TestStroke whole, cut;
  Draw(k, whole, StrokeFiles("real").back());
  Draw(k, cut, StrokeFiles("real").back());
  const double range[2] = {0.2, 0.7};
  ASSERT_EQ(cut.SetRange(range), S_OK);
  ASSERT_TRUE(whole.Update(&k.config, &k.factory, nullptr));
  ASSERT_TRUE(cut.Update(&k.config, &k.factory, nullptr));
  const VORListValVORMathPoint all = Display(whole), part = Display(cut);
  EXPECT_NEAR(PolylineLength(part) / PolylineLength(all), 0.5, 0.02);
  // Every display point of the cut lies on the whole stroke's display.
  for (const VORMathPoint& p : part) EXPECT_LE(DistanceToPolyline(all, p), kDisplayTol);
  // A cut stroke is not the whole stroke: no full cache, so a whole-stroke request refits.
  const long long made = k.factory.GetCreatedCurveCount();
  VORListPtrVORCurve curves;
  double wholeRange[2] = {0.0, 1.0};
  ASSERT_TRUE(cut.Evaluate(&k.factory, &k.config, curves, wholeRange, nullptr, nullptr, nullptr));
  EXPECT_GT(k.factory.GetCreatedCurveCount(), made);
}

TEST(StrokeCaches, AStrokeThatIsNoSketchGetsOneUnitNormalPerDisplayPoint) {
  Kit k;
  TestStroke s;
  Draw(k, s, StrokeFiles("real").front(), false);
  ASSERT_TRUE(s.Update(&k.config, &k.factory, nullptr));
  VORListValVORMathVector normals;
  const VORListValVORMathPoint points = Display(s, nullptr, &normals);
  ASSERT_GT(points.Size(), 1);
  ASSERT_EQ(normals.Size(), points.Size());
  for (const VORMathVector& n : normals) EXPECT_NEAR(n.GetNorm(), 1.0, 1e-9);
}

// ---- Bodies, end to end ----

TEST_P(RealStrokes, DrawnUpdatedAndExtrudedTheBodyIsValidSpansTheStrokeAndReadsBackFromStep) {
  Kit k;
  TestStroke s;
  Draw(k, s, GetParam());
  const double range[2] = {0.1, 0.9};
  ASSERT_EQ(s.SetRange(range), S_OK);
  ASSERT_TRUE(s.Update(&k.config, &k.factory, nullptr));
  const VORListValVORMathPoint display = Display(s);
  const int bodiesBefore = k.factory.GetBodyCount();
  double limits[2] = {-2.0, 3.0};
  VORBody* body = nullptr;
  VORMathPoint ends[2];
  ASSERT_EQ(s.CreateExtrudedBody(&k.config, &k.factory, limits, body, ends), S_OK);
  ASSERT_NE(body, nullptr);
  EXPECT_EQ(k.factory.GetBodyCount(), bodiesBefore + 1);  // the temporary wire is gone
  EXPECT_TRUE(body->IsValid());
  EXPECT_LE(DistanceToPolyline(display, ends[0]), kDisplayTol);
  EXPECT_LE(DistanceToPolyline(display, ends[1]), kDisplayTol);
  VORMathPoint lo, hi;
  ASSERT_TRUE(body->GetBoundingBox(lo, hi));
  EXPECT_NEAR(lo.GetZ(), -2.0, 1e-6);
  EXPECT_NEAR(hi.GetZ(), 3.0, 1e-6);
  // The display polyline is within its chordal tolerance of the curve the body was swept from.
  double dx0 = 1e300, dx1 = -1e300, dy0 = 1e300, dy1 = -1e300;
  for (const VORMathPoint& p : display) {
    dx0 = std::min(dx0, p.GetX()), dx1 = std::max(dx1, p.GetX());
    dy0 = std::min(dy0, p.GetY()), dy1 = std::max(dy1, p.GetY());
  }
  EXPECT_NEAR(lo.GetX(), dx0, kDisplayTol);
  EXPECT_NEAR(hi.GetX(), dx1, kDisplayTol);
  EXPECT_NEAR(lo.GetY(), dy0, kDisplayTol);
  EXPECT_NEAR(hi.GetY(), dy1, kDisplayTol);
  // One file per process: the cases run in parallel.
  const std::string path = ::testing::TempDir() + "stroke-body-" + std::to_string(getpid()) + ".step";
  ASSERT_TRUE(VORBodyWriter::WriteSTEP(body, path.c_str()));
  EXPECT_TRUE(StepHasBox(path, lo, hi, 1e-4));
  std::remove(path.c_str());
}

TEST(Bodies, RefusedExtrusionsLeaveNothingInTheFactory) {
  Kit k;
  TestStroke s;
  Draw(k, s, StrokeFiles("real").front());
  ASSERT_TRUE(s.Update(&k.config, &k.factory, nullptr));
  const int bodies = k.factory.GetBodyCount();
  VORBody* body = nullptr;
  double flat[2] = {1.0, 1.0}, reversed[2] = {3.0, -1.0}, nan[2] = {0.0, std::nan("")};
  EXPECT_NE(s.CreateExtrudedBody(&k.config, &k.factory, flat, body, nullptr), S_OK);
  EXPECT_NE(s.CreateExtrudedBody(&k.config, &k.factory, reversed, body, nullptr), S_OK);
  EXPECT_NE(s.CreateExtrudedBody(&k.config, &k.factory, nan, body, nullptr), S_OK);
  EXPECT_NE(s.CreateExtrudedBody(&k.config, &k.factory, nullptr, body, nullptr), S_OK);
  EXPECT_EQ(body, nullptr);
  EXPECT_EQ(k.factory.GetBodyCount(), bodies);
}

INSTANTIATE_TEST_SUITE_P(Real, RealStrokes, ::testing::ValuesIn(SomeRealStrokes(25)));

}  // namespace
