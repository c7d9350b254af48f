// Operations on curves: nearest point, cutting by arc length, ordering head to tail, cloning.
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

double ModelerDistance(const VORCurve* curve, const VORMathPoint& point) {
  GeomAPI_ProjectPointOnCurve projection(gp_Pnt(point.GetX(), point.GetY(), point.GetZ()),
                                         VORCurveAccess::Curve(curve));
  double best = std::min(point.DistanceTo(curve->EvalPoint(curve->GetStartLimit())),
                         point.DistanceTo(curve->EvalPoint(curve->GetEndLimit())));
  if (projection.NbPoints()) best = std::min(best, projection.LowerDistance());
  return best;
}

// Arc length of a curve from a fine polyline.
double CurveLength(const VORCurve* curve) {
  VORListValVORMathPoint fine;
  TAQMoCSStrokeUtilities::Tessellate(curve, 1e-4, fine);
  return PolylineLength(fine);
}

TEST(NearestOnRealStrokes, FindsTheModelersNearestPoint) {
  for (const std::string& file : StrokeFiles("real")) {
    SCOPED_TRACE(file);
    const VORListValVORMathPoint points = LoadStrokePoints(file);
    VORGeoFactory factory;
    VORListPtrVORCurve curves;
    curves.Append(MakeUniformBSpline(factory, points));
    ASSERT_NE(curves[1], nullptr);
    for (int i = 1; i <= points.Size(); i += 5) {
      // Pen positions around the stroke, some on it, some a few units off.
      const VORMathPoint q = points[i] + VORMathVector(0.9 * std::sin(i), 2.5 * std::cos(3.0 * i), 0.5);
      double param = -1.0, distance = -1.0;
      VORCurve* found = nullptr;
      ASSERT_TRUE(TAQMoCSStrokeUtilities::GetProjectionOnCurves(nullptr, curves, q, nullptr, param, found, &distance,
                                                                false));
      EXPECT_EQ(found, curves[1]);
      EXPECT_NEAR(distance, q.DistanceTo(found->EvalPoint(VORCrvParam(param))), 1e-12);
      EXPECT_LE(distance, ModelerDistance(found, q) + 1e-7) << "point " << i;
    }
  }
}

// A non-finite point or a list without a curve is refused with the outputs untouched. Otherwise the
// nearest of several curves (a null one skipped) is found; with a view direction, the distance is measured
// across it, so a point on the view ray through the curve lies on it.
TEST(NearestPoint, RefusesNonFinitePointsAndEmptyListsAndPicksTheNearestCurveMeasuringAcrossAView) {
  VORGeoFactory factory;
  VORListPtrVORCurve curves, nulls;
  curves.Append(MakeLine(factory, VORMathPoint(0, 0, 0), VORMathPoint(10, 0, 0)));
  curves.Append(MakeLine(factory, VORMathPoint(0, 5, 0), VORMathPoint(10, 5, 0)));
  curves.Append(nullptr);
  nulls.Append(nullptr);
  double param = 0.5, distance = 0.0;
  VORCurve* found = nullptr;
  EXPECT_FALSE(TAQMoCSStrokeUtilities::GetProjectionOnCurves(nullptr, curves, VORMathPoint(std::nan(""), 0, 0),
                                                             nullptr, param, found, nullptr, false));
  for (const VORListPtrVORCurve& none : {VORListPtrVORCurve(), nulls})
    EXPECT_FALSE(TAQMoCSStrokeUtilities::GetProjectionOnCurves(nullptr, none, VORMathPoint(), nullptr, param, found,
                                                               nullptr, false));
  EXPECT_EQ(found, nullptr);
  EXPECT_EQ(param, 0.5);
  ASSERT_TRUE(TAQMoCSStrokeUtilities::GetProjectionOnCurves(nullptr, curves, VORMathPoint(4, 4, 0), nullptr, param,
                                                            found, &distance, true));
  EXPECT_EQ(found, curves[2]);
  EXPECT_NEAR(param, 0.4, 1e-12);
  EXPECT_NEAR(distance, 1.0, 1e-12);
  const VORMathDirection view(0.0, 1.0, 1.0);
  curves.RemovePosition(2);
  ASSERT_TRUE(TAQMoCSStrokeUtilities::GetProjectionOnCurves(nullptr, curves, VORMathPoint(7, 3, 3), &view, param,
                                                            found, &distance, false));
  EXPECT_EQ(found, curves[1]);
  EXPECT_NEAR(param, 0.7, 1e-9);
  EXPECT_NEAR(distance, 0.0, 1e-9);
}

// Degenerate ranges are refused with the curve kept; a good range cuts the curve in place at fractions of
// its length, not of its parameter.
TEST(Subset, RefusesDegenerateRangesAndLeavesTheCurve) {
  VORGeoFactory factory;
  VORCurve* curve = MakeLine(factory, VORMathPoint(0, 0, 0), VORMathPoint(10, 0, 0));
  const double same[2] = {0.5, 0.5}, backwards[2] = {0.7, 0.2}, nan[2] = {std::nan(""), 1.0}, whole[2] = {0.0, 1.0};
  EXPECT_FALSE(TAQMoCSStrokeUtilities::SubsetCurveNormalized(curve, same));
  EXPECT_FALSE(TAQMoCSStrokeUtilities::SubsetCurveNormalized(curve, backwards));
  EXPECT_FALSE(TAQMoCSStrokeUtilities::SubsetCurveNormalized(curve, nan));
  EXPECT_FALSE(TAQMoCSStrokeUtilities::SubsetCurveNormalized(curve, nullptr));
  EXPECT_FALSE(TAQMoCSStrokeUtilities::SubsetCurveNormalized(nullptr, whole));
  EXPECT_TRUE(TAQMoCSStrokeUtilities::SubsetCurveNormalized(curve, whole));
  EXPECT_EQ(curve->EvalPoint(curve->GetEndLimit()), VORMathPoint(10, 0, 0));
  EXPECT_EQ(curve->EvalPoint(curve->GetStartLimit()), VORMathPoint(0, 0, 0));
  // Not the parameter but the length: poles bunched at the start make the parameter run slowly there.
  VORListValVORMathPoint poles;
  for (double x : {0.0, 0.1, 0.3, 10.0}) poles.Append(VORMathPoint(x, 0, 0));
  curve = MakeUniformBSpline(factory, poles);
  const long long made = factory.GetCreatedCurveCount();
  const double half[2] = {0.0, 0.5};
  ASSERT_TRUE(TAQMoCSStrokeUtilities::SubsetCurveNormalized(curve, half));
  EXPECT_NEAR(curve->EvalPoint(curve->GetEndLimit()).GetX(), 5.0, 1e-6);
  EXPECT_NEAR(CurveLength(curve), 5.0, 1e-6);
  EXPECT_EQ(factory.GetCreatedCurveCount(), made) << "cut in place";
  EXPECT_GE(curve->GetDegree(), 3);
}

TEST(Clone, MakesIndependentCopiesInTheCurvesOwnFactory) {
  VORGeoFactory factory;
  VORListPtrVORCurve curves, clones;
  curves.Append(MakeUniformBSpline(factory, LoadStrokePoints(StrokeFiles("real").front())));
  curves.Append(MakeLine(factory, VORMathPoint(0, 0, 0), VORMathPoint(1, 1, 1)));
  ASSERT_TRUE(TAQMoCSStrokeUtilities::Clone(curves, clones));
  ASSERT_EQ(clones.Size(), 2);
  EXPECT_EQ(factory.GetCreatedCurveCount(), 4);
  EXPECT_NE(clones[1], curves[1]);
  EXPECT_EQ(clones[1]->GetFactory(), &factory);
  const VORMathPoint before = clones[1]->EvalPoint(clones[1]->GetEndLimit());
  const double range[2] = {0.0, 0.5};
  ASSERT_TRUE(TAQMoCSStrokeUtilities::SubsetCurveNormalized(curves[1], range));
  EXPECT_EQ(clones[1]->EvalPoint(clones[1]->GetEndLimit()), before);
  VORListPtrVORCurve withNull;
  withNull.Append(nullptr);
  EXPECT_FALSE(TAQMoCSStrokeUtilities::Clone(withNull, clones));
  EXPECT_EQ(clones.Size(), 2);
}

// Shuffled and reversed curves are chained head to tail, and closed once the chain returns to its start.
// Curves that do not chain, or none, are refused with the list as it was.
TEST(Order, ChainsShuffledAndReversedCurvesHeadToTailAndRefusesCurvesThatDoNotChain) {
  VORGeoFactory factory;
  const VORMathPoint a(0, 0, 0), b(10, 0, 0), c(10, 10, 0), d(0, 10, 0);
  VORListPtrVORCurve curves, ordered, empty;
  curves.Append(MakeLine(factory, c, d));
  curves.Append(MakeLine(factory, a, b));
  curves.Append(MakeLine(factory, c, b));  // runs backwards
  VORRawCollint orientations;
  bool closed = true;
  ASSERT_TRUE(TAQMoCSStrokeUtilities::OrderCurves(curves, ordered, orientations, &closed));
  EXPECT_FALSE(closed);
  ASSERT_EQ(ordered.Size(), 3);
  // Each curve, run as its orientation says, starts where the previous one ended.
  auto end = [&](int i, bool head) {
    const VORCurve* k = ordered[i];
    return k->EvalPoint((orientations[i] == 1) == head ? k->GetStartLimit() : k->GetEndLimit());
  };
  for (int i = 1; i < 3; ++i) EXPECT_LT(end(i, false).DistanceTo(end(i + 1, true)), 1e-12) << i;
  EXPECT_EQ(curves, ordered);  // the first list follows the same order
  curves.Append(MakeLine(factory, a, d));
  ASSERT_TRUE(TAQMoCSStrokeUtilities::OrderCurves(curves, ordered, orientations, &closed));
  EXPECT_TRUE(closed);
  EXPECT_EQ(ordered.Size(), 4);

  curves.Append(MakeLine(factory, VORMathPoint(50, 0, 0), VORMathPoint(60, 0, 0)));
  const VORListPtrVORCurve before = curves;
  EXPECT_FALSE(TAQMoCSStrokeUtilities::OrderCurves(curves, ordered, orientations, &closed));
  EXPECT_EQ(curves, before);
  EXPECT_EQ(ordered.Size(), 0);
  EXPECT_FALSE(closed);
  EXPECT_FALSE(TAQMoCSStrokeUtilities::OrderCurves(empty, ordered, orientations, nullptr));
}

}  // namespace
