// Curves and the factory: ownership and counting, what a curve reports of its data, refusal of bad data.
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "KernelTestCurves.h"

namespace {

TEST(FactoryOwnership, CountsEveryCurveMadeAndHoldsOnlyTheLiving) {
  VORGeoFactory factory;
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
}

// A curve made of good data reports them back and clamps parameters to its limits; bad data (degree, counts,
// non-finite poles or knots, descending knots, no poles) make no curve.
TEST(FactoryOwnership, RefusesDataThatMakeNoBSpline) {
  VORGeoFactory factory;
  VORListValVORMathPoint poles;
  for (int i = 0; i < 4; ++i) poles.Append(VORMathPoint(i, i * i, 0));
  VORRawColldouble knots, backwards, nanKnots;
  VORRawCollint mults;
  for (double k : {0.0, 1.0}) {
    knots.Append(k);
    backwards.Append(1.0 - k);
    nanKnots.Append(k == 0.0 ? k : std::nan(""));
    mults.Append(4);
  }
  VORCurve* curve = factory.CreateBSplineCurve(3, poles, knots, mults);
  ASSERT_NE(curve, nullptr);
  EXPECT_EQ(curve->GetDegree(), 3);
  VORListValVORMathPoint back;
  curve->GetPoles(back);
  EXPECT_EQ(back, poles);
  EXPECT_DOUBLE_EQ(curve->CreateParam(-5.0).GetParam(), 0.0);
  EXPECT_DOUBLE_EQ(curve->CreateParam(7.0).GetParam(), 1.0);
  EXPECT_DOUBLE_EQ(curve->CreateParam(0.25).GetParam(), 0.25);
  EXPECT_DOUBLE_EQ(curve->CreateParam(std::nan("")).GetParam(), 0.0);
  EXPECT_EQ(factory.CreateBSplineCurve(0, poles, knots, mults), nullptr);
  EXPECT_EQ(factory.CreateBSplineCurve(4, poles, knots, mults), nullptr);  // counts do not add up
  VORListValVORMathPoint bad = poles;
  for (double y : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
    bad[2].SetY(y);
    EXPECT_EQ(factory.CreateBSplineCurve(3, bad, knots, mults), nullptr) << y;
  }
  EXPECT_EQ(factory.CreateBSplineCurve(3, poles, backwards, mults), nullptr);
  EXPECT_EQ(factory.CreateBSplineCurve(3, poles, nanKnots, mults), nullptr);
  EXPECT_EQ(factory.CreateBSplineCurve(3, VORListValVORMathPoint(), knots, mults), nullptr);
  EXPECT_EQ(factory.CloneCurve(nullptr), nullptr);
  EXPECT_EQ(factory.GetCreatedCurveCount(), 1);
}

}  // namespace
