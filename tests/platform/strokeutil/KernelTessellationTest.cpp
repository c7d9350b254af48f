// Tessellation: chordal deviation within the tolerance (span by span, and with flat spans joined under a
// tolerance coarser than the fit's), ends on the curve, the parameter and list forms, segment length
// bound, piece splits, the display of a stroke drawn a million times larger or more, and bad input.
#include <cmath>
#include <limits>

#include <GeomAPI_ProjectPointOnCurve.hxx>
#include <gtest/gtest.h>

#include "KernelTestCurves.h"
#include "StrokeFiles.h"
#include "TAQMoCSStrokeUtilities.h"
#include "TAQMoStroke.h"
#include "TestGeometry.h"
#include "VORCurve_Impl.h"
#include "VORSoftwareConfiguration.h"

namespace {

using Utilities = TAQMoCSStrokeUtilities;
using Points = VORListValVORMathPoint;

// Largest distance of the curve between u0 and u1 from the polyline, over dense samples.
double DeviationFromPolyline(const VORCurve& curve, double u0, double u1, const Points& polyline) {
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

TEST(TessellationOnRealStrokes, StaysWithinTheToleranceOfTheCurveAndOfAPartOfIt) {
  const double joining = 4.0 * Utilities::mFitTolerance2D;  // coarser than the fit: flat spans are joined
  for (const std::string& file : SomeRealStrokes(8)) {
    VORGeoFactory factory;
    VORCurve* curve = MakeUniformBSpline(factory, LoadStrokePoints(file));
    ASSERT_NE(curve, nullptr) << file;
    const int spans = curve->GetPoleCount() - 3;
    for (double tol : {0.1, 0.01, joining}) {
      SCOPED_TRACE(file + " at " + std::to_string(tol));
      Points polyline, part, back;
      ASSERT_TRUE(Utilities::Tessellate(curve, tol, polyline));
      // Below the fit tolerance every span end is a point; above it flat spans in a row are one segment.
      EXPECT_TRUE(tol < joining ? polyline.Size() > spans : polyline.Size() < spans) << polyline.Size();
      EXPECT_LE(DeviationFromPolyline(*curve, 0.0, 1.0, polyline), tol * (1.0 + 1e-9));
      // Every polyline point lies on the curve, and the polyline runs to the curve's end.
      EXPECT_LT(polyline[polyline.Size()].DistanceTo(curve->EvalPoint(curve->GetEndLimit())), 1e-12);
      for (int i = 1; i <= polyline.Size(); i += 7) EXPECT_LT(ModelerDistance(curve, polyline[i]), 1e-9);
      // Between two parameters inside spans (partial spans at the ends), and the same backwards.
      const double u0 = 0.23, u1 = 0.71;
      ASSERT_TRUE(Utilities::Tessellate(curve, VORCrvParam(u0), VORCrvParam(u1), tol, part));
      EXPECT_LT(part[1].DistanceTo(curve->EvalPoint(VORCrvParam(u0))), 1e-9);
      EXPECT_LT(part[part.Size()].DistanceTo(curve->EvalPoint(VORCrvParam(u1))), 1e-9);
      EXPECT_LE(DeviationFromPolyline(*curve, u0, u1, part), tol * (1.0 + 1e-9));
      EXPECT_TRUE(Utilities::Tessellate(curve, VORCrvParam(u1), VORCrvParam(u0), tol, back) &&
                  back.Size() == part.Size() && back[1] == part[part.Size()]);
    }
  }
}

TEST(TessellationOfLists, SplitsEndEachPieceAtAGapOrAtANewIndex) {
  VORGeoFactory factory;
  VORListPtrVORCurve curves;
  curves.Append(MakeLine(factory, VORMathPoint(0, 0, 0), VORMathPoint(10, 0, 0)));
  curves.Append(MakeLine(factory, VORMathPoint(10, 0, 0), VORMathPoint(10, 10, 0)));
  curves.Append(MakeLine(factory, VORMathPoint(20, 10, 0), VORMathPoint(30, 10, 0)));  // after a gap
  VORRawCollint none, splits, indices;
  Points points;
  ASSERT_TRUE(Utilities::Tessellate(curves, none, splits, points, 0.1, 0.0, false));
  // Without indices the gap separates the pieces: [0,0]-[10,0]-[10,10] | [20,10]-[30,10].
  EXPECT_TRUE(points.Size() == 5 && splits.Size() == 2 && splits[1] == 3 && splits[2] == 5);
  // Indices decide the pieces when given: one piece per index run.
  for (int index : {1, 2, 2}) indices.Append(index);
  ASSERT_TRUE(Utilities::Tessellate(curves, indices, splits, points, 0.1, 0.0, false));
  EXPECT_TRUE(splits.Size() == 2 && splits[1] == 2 && splits[2] == points.Size());
}

TEST(TessellationOfLists, MaxLengthBoundsEverySegmentWithinThePointBudget) {
  // At 1e6 times its size billions of 3-unit segments are asked for: the polyline keeps within its
  // point budget and still runs from end to end.
  for (double scale : {1.0, 1e6}) {
    VORGeoFactory factory;
    Points stroke = LoadStrokePoints(StrokeFiles("real").front()), points;
    for (VORMathPoint& p : stroke) p = VORMathPoint(p.GetX() * scale, p.GetY() * scale, 0.0);
    VORListPtrVORCurve curves;
    curves.Append(MakeUniformBSpline(factory, stroke));
    VORRawCollint none, splits;
    ASSERT_TRUE(Utilities::Tessellate(curves, none, splits, points, 0.1, 3.0, false));
    EXPECT_LT(points[points.Size()].DistanceTo(curves[1]->EvalPoint(curves[1]->GetEndLimit())), 1e-3);
    EXPECT_LE(points.Size(), (1 << 18) + 1);
    for (int i = 1; scale == 1.0 && i < points.Size(); ++i) EXPECT_LE(points[i].DistanceTo(points[i + 1]), 3.0);
  }
}

TEST(DisplayOfLargeStrokes, KeepsItsPointCountAndHoldsTheDrawing) {
  // A real stroke drawn in a view at its own size, and a million and 1e12 times larger.
  const Points pen = LoadStrokePoints(StrokeFiles("real").front());
  VORGeoFactory factory;
  VORSoftwareConfiguration config;
  const double whole[2] = {0.0, 1.0};
  int ownSize = 0;
  for (double scale : {1.0, 1e6, 1e12}) {
    Points drawn, display;
    for (const VORMathPoint& p : pen) drawn.Append(VORMathPoint(p.GetX() * scale, p.GetY() * scale, 0.0));
    TAQMoStroke s;
    s.SetSketchPlane(VORMathPlane());
    ASSERT_EQ(TAQMoStroke::CreateInView(s, &config, &factory, true, true, 1, 2, 1.0, drawn,
                                        VORMathDirection(0.0, 0.0, -1.0), 0), S_OK);
    ASSERT_TRUE(s.SetRange(whole) == S_OK && s.Update(&config, &factory, nullptr));
    s.GetCoords(display);
    ownSize = scale == 1.0 ? display.Size() : ownSize;
    EXPECT_TRUE(display.Size() <= 2 * ownSize && 2 * display.Size() >= ownSize) << display.Size() << " at " << scale;
    // Mapped back to the stroke's own size, display and drawing lie within what they do at that size.
    for (VORMathPoint& p : display) p = VORMathPoint(p.GetX() / scale, p.GetY() / scale, 0.0);
    double far = 0.0;
    for (const VORMathPoint& p : pen) far = std::max(far, DistanceToPolyline(display, p));
    for (const VORMathPoint& p : display) far = std::max(far, DistanceToPolyline(pen, p));
    EXPECT_LE(far, 1.1) << scale;
  }
}

TEST(TessellationInput, RefusesNullCurvesBadTolerancesAndEmptyRangesLeavingNoPoints) {
  VORGeoFactory factory;
  VORCurve* line = MakeLine(factory, VORMathPoint(0, 0, 0), VORMathPoint(1, 0, 0));
  Points points;
  points.Append(VORMathPoint());
  EXPECT_TRUE(!Utilities::Tessellate(nullptr, 0.1, points) && points.Size() == 0);
  for (double bad : {0.0, -1.0, std::nan("")}) EXPECT_FALSE(Utilities::Tessellate(line, bad, points));
  EXPECT_FALSE(Utilities::Tessellate(line, VORCrvParam(0.5), VORCrvParam(0.5), 0.1, points) ||
               Utilities::Tessellate(line, VORCrvParam(std::nan("")), VORCrvParam(1.0), 0.1, points));
  // A tiny tolerance stays bounded in work and still ends on the curve's end.
  ASSERT_TRUE(Utilities::Tessellate(line, 1e-300, points));
  EXPECT_EQ(points[points.Size()], line->EvalPoint(line->GetEndLimit()));
  // Lists: empty, with an index list of another length, holding a null curve.
  VORListPtrVORCurve curves;
  VORRawCollint none, splits, twoIndices;
  EXPECT_FALSE(Utilities::Tessellate(curves, none, splits, points, 0.1, 0.0, false));
  curves.Append(line);
  for (int index : {1, 1}) twoIndices.Append(index);
  EXPECT_FALSE(Utilities::Tessellate(curves, twoIndices, splits, points, 0.1, 0.0, false));
  curves.Append(nullptr);
  EXPECT_FALSE(Utilities::Tessellate(curves, none, splits, points, 0.1, 0.0, false));
  EXPECT_EQ(points.Size() + splits.Size(), 0);
}

}  // namespace
