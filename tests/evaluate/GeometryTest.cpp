// The geometry of a stroke: one segment evaluated into a curve and display polyline, the end tangents
// recorded from the fit, the two curve caches (which requests refit, seen through the factory's count of
// curves made), the cut of a type-1 stroke to its range, the wire and the extruded body.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "PlaneRuns.h"
#include "StrokeFiles.h"
#include "TAQMoStrokeData.h"
#include "TestGeometry.h"
#include "TestStroke.h"
#include "VORBody.h"
#include "VORCurve.h"
#include "VORTopData.h"
#include "svConstraintStatus.h"

namespace {

const double kDisplayTol = 0.1 + 1e-6;

// A real stroke drawn in a view onto the plane z = 0 (seen from +z), its range whole or never set.
void Draw(Kit& k, TestStroke& s, const std::string& file, bool isSketch = true, bool setRange = true) {
  VORListValVORMathPoint points = LoadStrokePoints(file);
  s.SetSketchPlane(VORMathPlane());
  ASSERT_EQ(TAQMoStroke::CreateInView(s, &k.config, &k.factory, isSketch, false, 1, 1, 1.0, points,
                                      VORMathDirection(0, 0, -1), 0),
            S_OK);
  const double whole[2] = {0.0, 1.0};
  if (setRange) ASSERT_EQ(s.SetRange(whole), S_OK);
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

// The curves a request for range (null: the stroke's own) gives.
VORListPtrVORCurve Curves(Kit& k, TAQMoStroke& s, double* range = nullptr) {
  VORListPtrVORCurve curves;
  EXPECT_TRUE(s.Evaluate(&k.factory, &k.config, curves, range, nullptr, nullptr, nullptr));
  return curves;
}

// One call of a segment's Evaluate, asking for the outputs named in want. With a body the call is the
// one a stroke that is not a sketch makes in whole-curve mode.
enum Want { kCurves = 1, kSplits = 2, kPoints = 4, kNormals = 8 };

struct SegmentCall {
  VORListValVORMathPoint source, points;
  VORListPtrVORCurve curves;
  VORRawCollint splits;
  VORListValVORMathVector normals;
  VORMathVector free[2];
  svConstraintStatus status = 7;
  VORSoftwareConfiguration config;

  long Run(TAQMoStrokeData& segment, VORGeoFactory* factory, int want, double* range = nullptr,
           VORRawCollint* anchors = nullptr, VORBody* body = nullptr) {
    return segment.Evaluate(factory, &config, body == nullptr, body, anchors, free, source,
                            status, want & kCurves ? &curves : nullptr, want & kSplits ? &splits : nullptr,
                            want & kPoints ? &points : nullptr, want & kNormals ? &normals : nullptr, range,
                            body != nullptr);
  }
};

// ---- The end tangents and the body of real strokes ----

TEST(RealStrokes, TheUpdateRecordsTheFitsEndsAndTheBodySpansTheStroke) {
  for (const std::string& file : SomeRealStrokes(25)) {
    SCOPED_TRACE(file);
    Kit k;
    TestStroke s;
    Draw(k, s, file);
    TAQUtVector<TAQMoStrokeData*> data;
    s.GetData(data);
    ASSERT_EQ(data.Size(), 1u);
    VORRawCollint anchors = s.Anchors();

    // The update records the fit's end points and tangents, in the plane.
    VORListPtrVORCurve curves;
    ASSERT_TRUE(s.Update(&k.config, &k.factory, &curves));
    ASSERT_EQ(curves.Size(), 1);
    VORMathPoint ends[2];
    VORMathDirection directions[2];
    ASSERT_TRUE(s.GetEndTangents(ends, directions));
    const VORCurve& c = *curves[1];
    const VORCrvParam limits[2] = {c.GetStartLimit(), c.GetEndLimit()};
    for (int i = 0; i < 2; ++i) {
      EXPECT_LT(ends[i].DistanceTo(c.EvalPoint(limits[i])), 1e-9) << i;
      EXPECT_NEAR(directions[i].GetVector().Dot(VORMathDirection(c.EvalFirstDerivative(limits[i])).GetVector()), 1.0,
                  1e-9);
      EXPECT_NEAR(directions[i].GetZ(), 0.0, 1e-12);
    }

    // Cut to [0.1, 0.9] and extruded: a valid body spanning the display.
    const double range[2] = {0.1, 0.9};
    ASSERT_EQ(s.SetRange(range), S_OK);
    ASSERT_TRUE(s.Update(&k.config, &k.factory, nullptr));
    const VORListValVORMathPoint display = Display(s);
    const int bodiesBefore = k.factory.GetBodyCount();
    double heights[2] = {-2.0, 3.0};
    VORBody* body = nullptr;
    ASSERT_EQ(s.CreateExtrudedBody(&k.config, &k.factory, heights, body, ends), S_OK);
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(k.factory.GetBodyCount(), bodiesBefore + 1);  // the temporary wire is gone
    EXPECT_TRUE(body->IsValid());
    EXPECT_LE(DistanceToPolyline(display, ends[0]), kDisplayTol);
    EXPECT_LE(DistanceToPolyline(display, ends[1]), kDisplayTol);
    VORMathPoint lo, hi;
    ASSERT_TRUE(body->GetBoundingBox(lo, hi));
    EXPECT_NEAR(lo.GetZ(), -2.0, 1e-6);
    EXPECT_NEAR(hi.GetZ(), 3.0, 1e-6);
    // With a body, in whole-curve mode, the segment's fit is the one piece, not projected onto the body,
    // and every display point gets a unit normal.
    SegmentCall e;
    e.Run(*data[0], &k.factory, kCurves | kSplits | kPoints | kNormals, nullptr, &anchors, body);
    ASSERT_EQ(e.curves.Size(), 1);
    ASSERT_GT(e.points.Size(), 1);
    for (const VORMathPoint& p : e.points) EXPECT_LT(DistanceToCurve(*e.curves[1], p), 1e-3);
    EXPECT_EQ(e.normals.Size(), e.points.Size());
    for (const VORMathVector& n : e.normals) EXPECT_NEAR(n.GetNorm(), 1.0, 1e-9);
    EXPECT_EQ(e.splits[e.splits.Size()], e.points.Size());
  }
}

TEST(SegmentEvaluate, MakesNoFitUnlessCurvesOrADisplayAreAskedForAndChecksTheRangeFirst) {
  Kit k;
  const PlaneRuns line({VORMathPlane()}, {40});
  TAQMoStrokeData segment;
  segment.SetBase(VORMathPlane());
  segment.SetData(line.uv);
  VORListValVORMathPoint stored;
  SegmentCall e;
  const double resolution = k.factory.GetResolution();
  double exact[2] = {0.0, resolution}, tooShort[2] = {0.0, 0.5 * resolution};
  // Refused before anything is touched: no factory, or a range shorter than the resolution.
  EXPECT_EQ(e.Run(segment, nullptr, kCurves | kSplits | kPoints), E_FAIL);
  EXPECT_EQ(e.Run(segment, &k.factory, kCurves | kSplits | kPoints, tooShort), E_FAIL);
  EXPECT_EQ(e.status, 7);
  // A range of exactly the resolution is taken; a range never stores the source points.
  EXPECT_EQ(e.Run(segment, &k.factory, 0, exact), S_OK);
  EXPECT_EQ(e.status, 0);
  EXPECT_EQ(e.source.Size(), 40);
  segment.GetCoords(stored);
  EXPECT_EQ(stored.Size(), 0);
  // Source points alone, or splits without display points: gathered, no curve made; without a range the
  // segment keeps the points it evaluated.
  const long long made = k.factory.GetCreatedCurveCount();
  EXPECT_EQ(e.Run(segment, &k.factory, kSplits), S_OK);
  EXPECT_EQ(k.factory.GetCreatedCurveCount(), made);
  EXPECT_EQ(e.splits.Size(), 0);
  segment.GetCoords(stored);
  EXPECT_EQ(stored, e.source);
  // Splits and display points without curves are a display: fitted and tessellated.
  EXPECT_EQ(e.Run(segment, &k.factory, kSplits | kPoints), S_OK);
  EXPECT_GT(e.points.Size(), 1);
  ASSERT_EQ(e.splits.Size(), 1);
  EXPECT_EQ(e.splits[1], e.points.Size());
  // A segment with nothing to fit gives no curve and no point, and the one split 0.
  TAQMoStrokeData nothing;
  EXPECT_EQ(e.Run(nothing, &k.factory, kCurves | kSplits | kPoints), S_OK);
  EXPECT_EQ(e.curves.Size(), 0);
  EXPECT_EQ(e.points.Size(), 0);
  ASSERT_EQ(e.splits.Size(), 1);
  EXPECT_EQ(e.splits[1], 0);
}

// Anchors the segment is given are points its curve passes through, not points it only comes near: a
// point pushed off a gentle arc by less than the fit tolerance is met exactly when it is an anchor.
TEST(SegmentEvaluate, TheCurvePassesThroughTheAnchorsItIsGiven) {
  Kit k;
  VORListValVORMathPoint2D uv;
  for (int i = 0; i <= 40; ++i) uv.Append(VORMathPoint2D(i, 0.002 * (i - 20) * (i - 20) + (i == 20 ? 0.2 : 0.0)));
  TAQMoStrokeData segment;
  segment.SetBase(VORMathPlane());
  segment.SetData(uv);
  VORRawCollint anchors;
  for (int a : {1, 21, 41}) anchors.Append(a);
  for (bool withAnchors : {true, false}) {
    SegmentCall e;
    ASSERT_EQ(e.Run(segment, &k.factory, kCurves, nullptr, withAnchors ? &anchors : nullptr), S_OK);
    ASSERT_EQ(e.curves.Size(), 1);
    const double off = DistanceToCurve(*e.curves[1], e.source[21]);
    if (withAnchors) EXPECT_LT(off, 1e-6);
    else EXPECT_GT(off, 1e-3);
  }
}

// A segment on a plane without 2D points fails, with a negative result, before it fits anything or
// refreshes its stored 3D points.
TEST(SegmentEvaluate, AFailedGatheringIsNegativeAndKeepsTheStoredPoints) {
  Kit k;
  TAQMoStrokeData segment;
  VORListValVORMathPoint stored, after;
  for (int i = 0; i < 5; ++i) stored.Append(VORMathPoint(i, 1, 0));
  segment.SetCoords(stored);
  segment.SetBase(VORMathPlane());
  SegmentCall e;
  EXPECT_LT(e.Run(segment, &k.factory, kCurves | kSplits | kPoints), 0);
  EXPECT_EQ(e.curves.Size(), 0);
  segment.GetCoords(after);
  EXPECT_EQ(after, stored);
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
  const VORListPtrVORCurve own1 = Curves(k, s), whole = Curves(k, s, own);
  ASSERT_EQ(whole.Size(), 1);
  EXPECT_NE(whole[1], own1[1]);
  EXPECT_EQ(k.factory.GetCreatedCurveCount(), made);
  // Still the clones when the stroke's own range has become a part since; asking for a display refits.
  const double part[2] = {0.2, 0.6};
  ASSERT_EQ(s.SetRange(part), S_OK);
  EXPECT_EQ(Curves(k, s, own), whole);
  EXPECT_EQ(k.factory.GetCreatedCurveCount(), made);
  splits.RemoveAll();
  ASSERT_TRUE(s.Evaluate(&k.factory, &k.config, curves, own, &splits, nullptr, nullptr));
  EXPECT_GT(k.factory.GetCreatedCurveCount(), made);
  EXPECT_GT(splits.Size(), 0);
  ASSERT_EQ(s.SetRange(own), S_OK);
  // Clearing the cache makes the next request refit.
  const long long refitted = k.factory.GetCreatedCurveCount();
  ASSERT_EQ(s.ClearCurveCache(), S_OK);
  EXPECT_TRUE(s.Evaluate(&k.factory, &k.config, curves, nullptr, &splits, &points, nullptr));
  EXPECT_GT(k.factory.GetCreatedCurveCount(), refitted);
  EXPECT_EQ(points, display);
}

// A range request refits and leaves the stroke's own caches as they were; a type-1 stroke whose own range is
// a part is cut to it, and caches the cut, not the whole stroke.
TEST(StrokeCaches, ARangeRequestRefitsAndAType1StrokeIsCutToItsOwnRange) {
  Kit k;
  TestStroke s;
  Draw(k, s, StrokeFiles("real").back());
  ASSERT_TRUE(s.Update(&k.config, &k.factory, nullptr));
  VORRawCollint ownSplits;
  const VORListValVORMathPoint display = Display(s, &ownSplits);
  const VORListPtrVORCurve ownCurves = Curves(k, s);
  // Ranges that differ from the stroke's own at the start, or only at the end.
  double middle[2] = {0.25, 0.5}, first[2] = {0.0, 0.25};
  for (double* part : {middle, first}) {
    const long long made = k.factory.GetCreatedCurveCount();
    VORListPtrVORCurve curves;
    VORListValVORMathPoint points;
    VORRawCollint splits;
    ASSERT_TRUE(s.Evaluate(&k.factory, &k.config, curves, part, &splits, &points, nullptr));
    EXPECT_GT(k.factory.GetCreatedCurveCount(), made);
    // The cut covers a quarter of the display's length, more or less what the curve's arc length gives.
    EXPECT_NEAR(PolylineLength(points) / PolylineLength(display), 0.25, 0.02) << part[0];
  }
  VORRawCollint afterSplits;
  EXPECT_EQ(Display(s, &afterSplits), display);
  EXPECT_EQ(afterSplits, ownSplits);
  EXPECT_EQ(Curves(k, s), ownCurves);

  for (const double start : {0.2, 0.5}) {  // [0.2, 0.7], and [0.5, 1] cut at its start only
    TestStroke cut;
    Draw(k, cut, StrokeFiles("real").back());
    const double range[2] = {start, start + 0.5};
    ASSERT_EQ(cut.SetRange(range), S_OK);
    ASSERT_TRUE(cut.Update(&k.config, &k.factory, nullptr));
    const VORListValVORMathPoint part = Display(cut);
    EXPECT_NEAR(PolylineLength(part) / PolylineLength(display), 0.5, 0.02) << start;
    // Every display point of the cut lies on the whole stroke's display.
    for (const VORMathPoint& p : part) EXPECT_LE(DistanceToPolyline(display, p), kDisplayTol);
    // A cut stroke is not the whole stroke: no full cache, so a whole-stroke request refits.
    const long long made = k.factory.GetCreatedCurveCount();
    double wholeRange[2] = {0.0, 1.0};
    Curves(k, cut, wholeRange);
    EXPECT_GT(k.factory.GetCreatedCurveCount(), made);
  }
}

// ---- Updates that fail, several segments, blends, the never-set range ----

TEST(StrokeUpdate, AFailureLeavesTheOutputsAndTheOwnCachesButEmptiesTheFullCache) {
  Kit k;
  TestStroke s;
  Draw(k, s, StrokeFiles("real").front());
  ASSERT_TRUE(s.Update(&k.config, &k.factory, nullptr));
  const VORListValVORMathPoint display = Display(s);
  double wholeRange[2] = {0.0, 1.0};
  const VORListPtrVORCurve own = Curves(k, s);
  ASSERT_NE(Curves(k, s, wholeRange)[1], own[1]);  // a clone from the full cache
  VORListPtrVORCurve curves;
  curves.Append(nullptr);
  VORRawCollint splits;
  splits.Append(-5);
  VORListValVORMathPoint points = display;
  EXPECT_FALSE(s.UpdateGeometry(nullptr, &k.config, &curves, wholeRange, &splits, &points, nullptr));
  EXPECT_EQ(curves.Size(), 1);
  EXPECT_EQ(splits.Size(), 1);
  EXPECT_EQ(points, display);
  EXPECT_EQ(Display(s), display);
  EXPECT_EQ(Curves(k, s, wholeRange)[1], own[1]);  // no full cache left: the stroke's own curves answer
  // A stroke without segments fails alike and keeps the display it was given.
  TestStroke empty;
  VORRawCollint oneSplit;
  oneSplit.Append(display.Size());
  empty.SetDisplayData(oneSplit, display, VORListValVORMathVector());
  EXPECT_FALSE(empty.Update(&k.config, &k.factory, &curves));
  EXPECT_EQ(Display(empty), display);
}

TEST(StrokeUpdate, SeveralSegmentsShowTheirPointsAndNormalsInOnePieceWithoutACurve) {
  Kit k;
  const PlaneRuns runs({VORMathPlane(), VORMathPlane(VORMathPoint(), VORMathVector(1, 0, 0)),
                        VORMathPlane(VORMathPoint(), VORMathVector(0, 1, 1))},
                       {4, 4, 4});
  for (const bool isSketch : {false, true}) {
    SCOPED_TRACE(isSketch);
    TestStroke s;
    ASSERT_EQ(runs.Create(s, isSketch), S_OK);
    VORListPtrVORCurve curves;
    curves.Append(nullptr);
    ASSERT_TRUE(s.Update(&k.config, &k.factory, &curves));
    EXPECT_EQ(curves.Size(), 0);
    VORRawCollint splits;
    VORListValVORMathVector shown;
    const VORListValVORMathPoint points = Display(s, &splits, &shown);
    ASSERT_EQ(points.Size(), 12);
    for (int i = 1; i <= 12; ++i) EXPECT_LT(points[i].DistanceTo(runs.xyz[i]), 1e-12) << i;
    ASSERT_EQ(splits.Size(), 1);
    EXPECT_EQ(splits[1], 12);
    ASSERT_EQ(shown.Size(), isSketch ? 0 : 12);
    for (int i = 1; i <= shown.Size(); ++i) EXPECT_EQ(shown[i], runs.planes[i].GetNormal().GetVector()) << i;
    // A range request shows the same points, its splits as they are: none.
    double range[2] = {0.2, 0.6};
    VORListValVORMathPoint part;
    ASSERT_TRUE(s.Evaluate(&k.factory, &k.config, curves, range, &splits, &part, nullptr));
    EXPECT_EQ(part, points);
    EXPECT_EQ(splits.Size(), 0);
    // The sketch flag counts only once the stroke has a type: untyped, it shows its normals.
    s.SetType(0);
    ASSERT_TRUE(s.Update(&k.config, &k.factory, &curves));
    Display(s, &splits, &shown);
    EXPECT_EQ(shown.Size(), 12);
  }
}

TEST(StrokeUpdate, TangentRecordsBindTheFitOnlyWhereTheBlendIsSet) {
  for (const std::string& file : SomeRealStrokes(40)) {
    SCOPED_TRACE(file);
    Kit k;
    TestStroke s;
    Draw(k, s, file);
    ASSERT_TRUE(s.Update(&k.config, &k.factory, nullptr));
    VORMathPoint ends[2];
    VORMathDirection natural[2];
    ASSERT_TRUE(s.GetEndTangents(ends, natural));
    // Each end's tangent turned a quarter in the plane; only the ends with a blend follow it.
    const VORMathDirection turned[2] = {VORMathDirection(-natural[0].GetY(), natural[0].GetX(), 0),
                                        VORMathDirection(natural[1].GetY(), -natural[1].GetX(), 0)};
    for (const double startBlend : {0.0, 1.0}) {
      const VORMathDirection normals[2] = {VORMathDirection(0, 0, 1), VORMathDirection(0, 0, 1)};
      s.UpdateEndTangents(ends, turned, normals);
      VORRawColldouble blends;
      blends.Append(startBlend);
      blends.Append(1.0 - startBlend);
      s.SetBlends(blends);
      VORListPtrVORCurve curves;
      ASSERT_TRUE(s.Update(&k.config, &k.factory, &curves));
      const VORCurve& c = *curves[1];
      const VORMathVector d[2] = {c.EvalFirstDerivative(c.GetStartLimit()), c.EvalFirstDerivative(c.GetEndLimit())};
      EXPECT_NEAR(turned[0].Dot(d[0]) / d[0].GetNorm(), startBlend, startBlend ? 1e-6 : 0.5) << "start";
      EXPECT_NEAR(turned[1].Dot(d[1]) / d[1].GetNorm(), 1.0 - startBlend, startBlend ? 0.5 : 1e-6) << "end";
    }
  }
}

TEST(StrokeUpdate, ANeverSetRangeIsAPartOfAType1StrokeAndFillsNoFullCache) {
  Kit k;
  TestStroke s;
  Draw(k, s, StrokeFiles("real").front(), true, false);
  ASSERT_TRUE(s.Update(&k.config, &k.factory, nullptr));
  const long long made = k.factory.GetCreatedCurveCount();
  double whole[2] = {0.0, 1.0};
  Curves(k, s, whole);
  EXPECT_GT(k.factory.GetCreatedCurveCount(), made);
  ASSERT_EQ(s.SetRange(whole), S_OK);
  ASSERT_TRUE(s.Update(&k.config, &k.factory, nullptr));
  // The whole curve: the display runs from the drawn start to the drawn end.
  const VORListValVORMathPoint drawn = LoadStrokePoints(StrokeFiles("real").front()), display = Display(s);
  EXPECT_LT(display[1].DistanceTo(drawn[1]), 1e-9);
  EXPECT_LT(display[display.Size()].DistanceTo(drawn[drawn.Size()]), 1e-9);
}

// ---- Bodies ----

// A wire made before any update fills the curve cache, which serves the next one. Refused extrusions, and
// one without a sketch plane, leave no body behind.
TEST(Bodies, AWireComesFromTheCachedCurvesAndRefusedExtrusionsLeaveNothingInTheFactory) {
  Kit k;
  TestStroke s;
  Draw(k, s, StrokeFiles("real").front());
  VORTopData topData(&k.config, nullptr);
  VORBody* wire = nullptr;
  EXPECT_EQ(s.MakeWireBody(VORGeoFactory_var(&k.factory), &topData, nullptr), E_FAIL);
  EXPECT_EQ(s.MakeWireBody(VORGeoFactory_var(&k.factory), nullptr, &wire), E_FAIL);
  EXPECT_EQ(s.MakeWireBody(VORGeoFactory_var(), &topData, &wire), E_FAIL);
  EXPECT_EQ(k.factory.GetCreatedCurveCount(), 0);
  ASSERT_EQ(s.MakeWireBody(VORGeoFactory_var(&k.factory), &topData, &wire), S_OK);
  ASSERT_NE(wire, nullptr);
  EXPECT_TRUE(k.factory.Contains(wire));
  const long long made = k.factory.GetCreatedCurveCount();
  EXPECT_GT(made, 0);
  VORBody* again = nullptr;
  ASSERT_EQ(s.MakeWireBody(VORGeoFactory_var(&k.factory), &topData, &again), S_OK);
  EXPECT_EQ(k.factory.GetCreatedCurveCount(), made);
  EXPECT_EQ(again->GetEdgeCount(), wire->GetEdgeCount());

  const int bodies = k.factory.GetBodyCount();
  VORBody* body = nullptr;
  const double r = k.factory.GetResolution();
  double flat[2] = {1.0, 1.0}, reversed[2] = {3.0, -1.0}, nan[2] = {0.0, std::nan("")}, resolution[2] = {0.0, r},
         good[2] = {0.0, 10.0};
  for (double* limits : {flat, reversed, nan, resolution, static_cast<double*>(nullptr)})
    EXPECT_EQ(s.CreateExtrudedBody(&k.config, &k.factory, limits, body, nullptr), E_FAIL);
  EXPECT_EQ(s.CreateExtrudedBody(nullptr, &k.factory, good, body, nullptr), E_FAIL);
  EXPECT_EQ(s.CreateExtrudedBody(&k.config, nullptr, good, body, nullptr), E_FAIL);
  s.SetSketchPlaneDefined(false);
  EXPECT_EQ(s.CreateExtrudedBody(&k.config, &k.factory, good, body, nullptr), E_FAIL);
  EXPECT_EQ(body, nullptr);
  EXPECT_EQ(k.factory.GetBodyCount(), bodies);
}

}  // namespace
