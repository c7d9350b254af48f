// Curves and the factory: evaluation against the modeler's own, ownership and counting, refusal of bad data.
#include <cmath>
#include <limits>

#include <Geom_BSplineCurve.hxx>
#include <gtest/gtest.h>

#include "KernelTestCurves.h"
#include "StrokeFiles.h"
#include "VORCurve_Impl.h"

namespace {

// On every real stroke's curve: the limits are the modeler's, and the point and derivative at a few
// parameters are the modeler's, the clamped ends on the end poles.
TEST(CurveOnRealStrokes, PointAndDerivativeAgreeWithTheModeler) {
  for (const std::string& file : StrokeFiles("real")) {
    SCOPED_TRACE(file);
    const VORListValVORMathPoint points = LoadStrokePoints(file);
    VORGeoFactory factory;
    VORCurve* curve = MakeUniformBSpline(factory, points);
    ASSERT_NE(curve, nullptr);
    const Handle(Geom_BSplineCurve)& occ = VORCurveAccess::Curve(curve);
    const double u0 = curve->GetStartLimit().GetParam(), u1 = curve->GetEndLimit().GetParam();
    EXPECT_DOUBLE_EQ(u0, occ->FirstParameter());
    EXPECT_DOUBLE_EQ(u1, occ->LastParameter());
    for (const double f : {0.0, 0.37, 1.0}) {
      gp_Pnt p;
      gp_Vec d;
      occ->D1(u0 + f * (u1 - u0), p, d);
      VORMathPoint q;
      VORMathVector e;
      curve->Eval(VORCrvParam(u0 + f * (u1 - u0)), q, &e);
      EXPECT_NEAR(q.DistanceTo(VORMathPoint(p.X(), p.Y(), p.Z())), 0.0, 1e-9);
      EXPECT_NEAR((e - VORMathVector(d.X(), d.Y(), d.Z())).GetNorm(), 0.0, 1e-7 * (1.0 + d.Magnitude()));
    }
    EXPECT_LT(curve->EvalPoint(curve->GetStartLimit()).DistanceTo(points[1]), 1e-12);
    EXPECT_LT(curve->EvalPoint(curve->GetEndLimit()).DistanceTo(points[points.Size()]), 1e-12);
  }
}

TEST(CurveInformation, ReportsDegreePolesAndClampedParameters) {
  VORGeoFactory factory;
  VORListValVORMathPoint poles;
  for (int i = 0; i < 6; ++i) poles.Append(VORMathPoint(i, i * i, 0.0));
  VORCurve* curve = MakeUniformBSpline(factory, poles, 4);
  ASSERT_NE(curve, nullptr);
  EXPECT_EQ(curve->GetDegree(), 4);
  EXPECT_EQ(curve->GetPoleCount(), 6);
  VORListValVORMathPoint back;
  curve->GetPoles(back);
  EXPECT_EQ(back, poles);
  EXPECT_EQ(curve->GetFactory(), &factory);
  EXPECT_DOUBLE_EQ(curve->CreateParam(-5.0).GetParam(), 0.0);
  EXPECT_DOUBLE_EQ(curve->CreateParam(7.0).GetParam(), 1.0);
  EXPECT_DOUBLE_EQ(curve->CreateParam(0.25).GetParam(), 0.25);
  EXPECT_DOUBLE_EQ(curve->CreateParam(std::nan("")).GetParam(), 0.0);
}

TEST(FactoryOwnership, CountsEveryCurveMadeAndHoldsOnlyTheLiving) {
  VORGeoFactory factory(0.01);
  EXPECT_DOUBLE_EQ(factory.GetResolution(), 0.01);
  VORCurve* a = MakeLine(factory, VORMathPoint(0, 0, 0), VORMathPoint(1, 0, 0));
  VORCurve* b = MakeLine(factory, VORMathPoint(1, 0, 0), VORMathPoint(1, 1, 0));
  VORCurve* c = factory.CloneCurve(a);
  ASSERT_TRUE(a && b && c);
  EXPECT_EQ(factory.GetCreatedCurveCount(), 3);
  EXPECT_EQ(factory.GetCurveCount(), 3);
  EXPECT_EQ(c->EvalPoint(VORCrvParam(0.5)), a->EvalPoint(VORCrvParam(0.5)));
  factory.Remove(a);
  EXPECT_FALSE(factory.Contains(a));
  EXPECT_TRUE(factory.Contains(c));
  EXPECT_EQ(factory.GetCurveCount(), 2);
  EXPECT_EQ(factory.GetCreatedCurveCount(), 3);
  factory.Remove(a);  // no longer held: nothing happens
  VORListPtrVORCurve held;
  factory.GetCurves(held);
  ASSERT_EQ(held.Size(), 2);
  EXPECT_EQ(held[1], b);  // oldest first
  EXPECT_EQ(held[2], c);
  // A curve of another factory is not removed by this one.
  VORGeoFactory other;
  VORCurve* d = other.CloneCurve(b);
  ASSERT_NE(d, nullptr);
  factory.Remove(d);
  EXPECT_TRUE(other.Contains(d));
  EXPECT_EQ(d->GetFactory(), &other);
}

TEST(FactoryOwnership, RefusesDataThatMakeNoBSpline) {
  VORGeoFactory factory;
  VORListValVORMathPoint poles;
  for (int i = 0; i < 4; ++i) poles.Append(VORMathPoint(i, 0, 0));
  VORRawColldouble knots;
  knots.Append(0.0);
  knots.Append(1.0);
  VORRawCollint mults;
  mults.Append(4);
  mults.Append(4);
  ASSERT_NE(factory.CreateBSplineCurve(3, poles, knots, mults), nullptr);
  EXPECT_EQ(factory.CreateBSplineCurve(0, poles, knots, mults), nullptr);
  EXPECT_EQ(factory.CreateBSplineCurve(4, poles, knots, mults), nullptr);  // counts do not add up
  VORListValVORMathPoint bad = poles;
  bad[2].SetY(std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(factory.CreateBSplineCurve(3, bad, knots, mults), nullptr);
  bad[2].SetY(std::numeric_limits<double>::infinity());
  EXPECT_EQ(factory.CreateBSplineCurve(3, bad, knots, mults), nullptr);
  VORRawColldouble backwards;
  backwards.Append(1.0);
  backwards.Append(0.0);
  EXPECT_EQ(factory.CreateBSplineCurve(3, poles, backwards, mults), nullptr);
  VORRawColldouble nanKnots;
  nanKnots.Append(0.0);
  nanKnots.Append(std::nan(""));
  EXPECT_EQ(factory.CreateBSplineCurve(3, poles, nanKnots, mults), nullptr);
  EXPECT_EQ(factory.CreateBSplineCurve(3, VORListValVORMathPoint(), knots, mults), nullptr);
  EXPECT_EQ(factory.CloneCurve(nullptr), nullptr);
  EXPECT_EQ(factory.GetCreatedCurveCount(), 1);
}

}  // namespace
