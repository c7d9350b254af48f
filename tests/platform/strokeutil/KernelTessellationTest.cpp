// Tessellation: chordal deviation within the tolerance, ends on the curve, the parameter and list forms,
// segment length bound, piece splits, and refusal of bad input.
#include <cmath>
#include <limits>

#include <GeomAPI_ProjectPointOnCurve.hxx>
#include <gtest/gtest.h>

#include "KernelTestCurves.h"
#include "StrokeFiles.h"
#include "TAQMoCSStrokeUtilities.h"
#include "TestGeometry.h"
#include "VORCurve_Impl.h"

namespace {

// Largest distance of the curve between u0 and u1 from the polyline, over dense samples.
double DeviationFromPolyline(const VORCurve& curve, double u0, double u1, const VORListValVORMathPoint& polyline) {
  const int samples = 10 * curve.GetPoleCount();
  double worst = 0.0;
  for (int i = 0; i <= samples; ++i)
    worst = std::max(worst, DistanceToPolyline(polyline, curve.EvalPoint(VORCrvParam(u0 + (u1 - u0) * i / samples))));
  return worst;
}

// Distance of point from the curve by the modeler's own projection (exact near cusps, where sampling
// can settle on the wrong branch).
double ModelerDistance(const VORCurve* curve, const VORMathPoint& point) {
  GeomAPI_ProjectPointOnCurve projection(gp_Pnt(point.GetX(), point.GetY(), point.GetZ()),
                                         VORCurveAccess::Curve(curve));
  return projection.NbPoints() ? projection.LowerDistance() : std::numeric_limits<double>::infinity();
}

TEST(TessellationOnRealStrokes, StaysWithinTheToleranceOfTheCurve) {
  for (const std::string& file : SomeRealStrokes(8)) {
    SCOPED_TRACE(file);
    VORGeoFactory factory;
    VORCurve* curve = MakeUniformBSpline(factory, LoadStrokePoints(file));
    ASSERT_NE(curve, nullptr);
    for (double tol : {0.1, 0.01}) {
      VORListValVORMathPoint polyline;
      ASSERT_TRUE(TAQMoCSStrokeUtilities::Tessellate(curve, tol, polyline));
      ASSERT_GE(polyline.Size(), 2);
      EXPECT_LE(DeviationFromPolyline(*curve, 0.0, 1.0, polyline), tol * (1.0 + 1e-9));
      // Every polyline point lies on the curve, and the polyline runs from end to end.
      EXPECT_LT(polyline[1].DistanceTo(curve->EvalPoint(curve->GetStartLimit())), 1e-12);
      EXPECT_LT(polyline[polyline.Size()].DistanceTo(curve->EvalPoint(curve->GetEndLimit())), 1e-12);
      for (int i = 1; i <= polyline.Size(); i += 7) EXPECT_LT(ModelerDistance(curve, polyline[i]), 1e-9);
    }
  }
}

TEST(TessellationOnRealStrokes, ParameterRangeGivesThePartBetween) {
  for (const std::string& file : SomeRealStrokes(8)) {
    SCOPED_TRACE(file);
    VORGeoFactory factory;
    VORCurve* curve = MakeUniformBSpline(factory, LoadStrokePoints(file));
    ASSERT_NE(curve, nullptr);
    const double u0 = 0.23, u1 = 0.71;  // inside spans, so the ends are partial spans
    VORListValVORMathPoint part, back;
    ASSERT_TRUE(TAQMoCSStrokeUtilities::Tessellate(curve, VORCrvParam(u0), VORCrvParam(u1), 0.1, part));
    EXPECT_LT(part[1].DistanceTo(curve->EvalPoint(VORCrvParam(u0))), 1e-9);
    EXPECT_LT(part[part.Size()].DistanceTo(curve->EvalPoint(VORCrvParam(u1))), 1e-9);
    EXPECT_LE(DeviationFromPolyline(*curve, u0, u1, part), 0.1 * (1.0 + 1e-9));
    // Parameters given backwards give the same polyline backwards.
    ASSERT_TRUE(TAQMoCSStrokeUtilities::Tessellate(curve, VORCrvParam(u1), VORCrvParam(u0), 0.1, back));
    ASSERT_EQ(back.Size(), part.Size());
    EXPECT_EQ(back[1], part[part.Size()]);
  }
}

TEST(TessellationCount, StraightCurveNeedsOneSegmentAndFinerToleranceNeedsMore) {
  VORGeoFactory factory;
  VORListValVORMathPoint polyline;
  VORCurve* line = MakeLine(factory, VORMathPoint(0, 0, 0), VORMathPoint(10, 5, 0));
  ASSERT_TRUE(TAQMoCSStrokeUtilities::Tessellate(line, 0.1, polyline));
  EXPECT_EQ(polyline.Size(), 2);
  VORCurve* wave = MakeUniformBSpline(factory, LoadStrokePoints("synthetic/smooth-2000.json"));
  ASSERT_NE(wave, nullptr);
  VORListValVORMathPoint coarse, fine;
  ASSERT_TRUE(TAQMoCSStrokeUtilities::Tessellate(wave, 0.1, coarse));
  ASSERT_TRUE(TAQMoCSStrokeUtilities::Tessellate(wave, 0.001, fine));
  EXPECT_GT(fine.Size(), 2 * coarse.Size());
}

TEST(TessellationOfLists, SplitsEndEachPieceAndJoinedCurvesShareTheirPoint) {
  VORGeoFactory factory;
  VORListPtrVORCurve curves;
  curves.Append(MakeLine(factory, VORMathPoint(0, 0, 0), VORMathPoint(10, 0, 0)));
  curves.Append(MakeLine(factory, VORMathPoint(10, 0, 0), VORMathPoint(10, 10, 0)));
  curves.Append(MakeLine(factory, VORMathPoint(20, 10, 0), VORMathPoint(30, 10, 0)));  // after a gap
  VORRawCollint none, splits;
  VORListValVORMathPoint points;
  ASSERT_TRUE(TAQMoCSStrokeUtilities::Tessellate(curves, none, splits, points, 0.1, 0.0, false));
  // Without indices the gap separates the pieces: [0,0]-[10,0]-[10,10] | [20,10]-[30,10].
  ASSERT_EQ(points.Size(), 5);
  ASSERT_EQ(splits.Size(), 2);
  EXPECT_EQ(splits[1], 3);
  EXPECT_EQ(splits[2], 5);
  // Keeping the shared point twice.
  ASSERT_TRUE(TAQMoCSStrokeUtilities::Tessellate(curves, none, splits, points, 0.1, 0.0, true));
  EXPECT_EQ(points.Size(), 6);
  EXPECT_EQ(points[2], points[3]);
  // Indices decide the pieces when given: one piece per index run.
  VORRawCollint indices;
  indices.Append(1);
  indices.Append(2);
  indices.Append(2);
  ASSERT_TRUE(TAQMoCSStrokeUtilities::Tessellate(curves, indices, splits, points, 0.1, 0.0, false));
  ASSERT_EQ(splits.Size(), 2);
  EXPECT_EQ(splits[1], 2);
  EXPECT_EQ(splits[2], points.Size());
}

TEST(TessellationOfLists, MaxLengthBoundsEverySegment) {
  VORGeoFactory factory;
  VORListPtrVORCurve curves;
  curves.Append(MakeUniformBSpline(factory, LoadStrokePoints(StrokeFiles("real").front())));
  VORRawCollint none, splits;
  VORListValVORMathPoint points;
  ASSERT_TRUE(TAQMoCSStrokeUtilities::Tessellate(curves, none, splits, points, 0.1, 3.0, false));
  for (int i = 1; i < points.Size(); ++i) EXPECT_LE(points[i].DistanceTo(points[i + 1]), 3.0);
  ASSERT_EQ(splits.Size(), 1);
  EXPECT_EQ(splits[1], points.Size());
}

TEST(TessellationOfLists, ACurveOfHugeExtentGetsABoundedPolyline) {
  // A real stroke blown up a million times, cut into segments of at most 3 units: billions of segments
  // were asked for; the polyline stays within its point budget and still runs from end to end.
  VORGeoFactory factory;
  VORListValVORMathPoint huge = LoadStrokePoints(StrokeFiles("real").front());
  for (VORMathPoint& p : huge) p = VORMathPoint(p.GetX() * 1e6, p.GetY() * 1e6, 0.0);
  VORListPtrVORCurve curves;
  curves.Append(MakeUniformBSpline(factory, huge));
  VORRawCollint none, splits;
  VORListValVORMathPoint points;
  ASSERT_TRUE(TAQMoCSStrokeUtilities::Tessellate(curves, none, splits, points, 0.1, 3.0, false));
  EXPECT_LE(points.Size(), (1 << 18) + 1);
  EXPECT_GT(points.Size(), 1000);
  EXPECT_EQ(points[1], curves[1]->EvalPoint(curves[1]->GetStartLimit()));
  EXPECT_LT(points[points.Size()].DistanceTo(curves[1]->EvalPoint(curves[1]->GetEndLimit())), 1e-3);
}

TEST(TessellationInput, RefusesNullCurvesBadTolerancesAndEmptyRanges) {
  VORGeoFactory factory;
  VORCurve* line = MakeLine(factory, VORMathPoint(0, 0, 0), VORMathPoint(1, 0, 0));
  VORListValVORMathPoint points;
  points.Append(VORMathPoint());
  EXPECT_FALSE(TAQMoCSStrokeUtilities::Tessellate(nullptr, 0.1, points));
  EXPECT_EQ(points.Size(), 0);
  EXPECT_FALSE(TAQMoCSStrokeUtilities::Tessellate(line, 0.0, points));
  EXPECT_FALSE(TAQMoCSStrokeUtilities::Tessellate(line, std::nan(""), points));
  EXPECT_FALSE(TAQMoCSStrokeUtilities::Tessellate(line, VORCrvParam(0.5), VORCrvParam(0.5), 0.1, points));
  EXPECT_FALSE(TAQMoCSStrokeUtilities::Tessellate(line, VORCrvParam(std::nan("")), VORCrvParam(1.0), 0.1, points));
  // A tiny tolerance stays bounded in work and still ends on the curve's end.
  ASSERT_TRUE(TAQMoCSStrokeUtilities::Tessellate(line, 1e-300, points));
  EXPECT_EQ(points[points.Size()], line->EvalPoint(line->GetEndLimit()));
  VORListPtrVORCurve curves, withNull;
  VORRawCollint none, splits, wrongIndices;
  EXPECT_FALSE(TAQMoCSStrokeUtilities::Tessellate(curves, none, splits, points, 0.1, 0.0, false));
  withNull.Append(line);
  withNull.Append(nullptr);
  EXPECT_FALSE(TAQMoCSStrokeUtilities::Tessellate(withNull, none, splits, points, 0.1, 0.0, false));
  curves.Append(line);
  wrongIndices.Append(1);
  wrongIndices.Append(1);
  EXPECT_FALSE(TAQMoCSStrokeUtilities::Tessellate(curves, wrongIndices, splits, points, 0.1, 0.0, false));
  EXPECT_EQ(points.Size(), 0);
  EXPECT_EQ(splits.Size(), 0);
}

}  // namespace
