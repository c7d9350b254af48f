// Anchors, thinning and bad input of the fit: what PrepareCurveData hands its callers, what thinning
// keeps, and what the fit gives for points it cannot use.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "StrokeFiles.h"
#include "TAQMoCSStrokeUtilities.h"
#include "TestGeometry.h"
#include "VORCurve.h"
#include "VORGeoFactory.h"

namespace {

VORListValVORMathPoint Points(std::initializer_list<VORMathPoint> list) {
  VORListValVORMathPoint out;
  for (const VORMathPoint& p : list) out.Append(p);
  return out;
}

// An L: 20 points along x, then 20 up y, one unit apart.
VORListValVORMathPoint LShape() {
  VORListValVORMathPoint out;
  for (int i = 0; i <= 20; ++i) out.Append(VORMathPoint(i, 0, 0));
  for (int i = 1; i <= 20; ++i) out.Append(VORMathPoint(20, i, 0));
  return out;
}

// Every real stroke of the shared data in turn; failures name the file.
template <class Check>
void ForEachRealStroke(Check check) {
  for (const std::string& file : StrokeFiles("real")) {
    SCOPED_TRACE(file);
    check(LoadStrokePoints(file));
  }
}

TEST(PreparedRealStrokes, CarriedAnchorsLandOnTheirPointsInTheThinnedList) {
  // The hard subset's pattern: anchors on the drawn points carried onto a thinned copy of them.
  ForEachRealStroke([](const VORListValVORMathPoint& drawn) {
    VORListValVORMathPoint ref = drawn;
    VORRawCollint refAnchors;
    TAQMoCSStrokeUtilities::PrepareCurveData(ref, ref, 0, refAnchors, refAnchors, 45.0);
    VORListValVORMathPoint thinned = ref;
    VORRawCollint keep = refAnchors;
    ASSERT_TRUE(TAQMoCSStrokeUtilities::SimplifyFitPoints(nullptr, nullptr, thinned, &keep, 0.5));
    VORRawCollint out;
    TAQMoCSStrokeUtilities::PrepareCurveData(thinned, ref, refAnchors.Size(), refAnchors, out, 45.0);
    for (int k = 1; k <= refAnchors.Size(); ++k) {
      // Each carried anchor is an output anchor on the very point it was on (a stroke that crosses
      // itself may hold that point twice).
      bool carried = false;
      for (int a : out) carried = carried || thinned[a] == ref[refAnchors[k]];
      EXPECT_TRUE(carried) << "anchor " << k << " not carried onto its point";
    }
  });
}

// The thinned polyline stays within the tolerance of the drawing, or within half the drawing's median
// spacing where that is coarser: a drawing sampled that sparsely resolves no finer detail.
TEST(PreparedRealStrokes, ThinningKeepsEndsAndKeptPointsAndStaysWithinTolerance) {
  ForEachRealStroke([](VORListValVORMathPoint points) {
    std::vector<double> gaps;
    for (int i = 2; i <= points.Size(); ++i)
      if (points[i].DistanceTo(points[i - 1]) > 0.0) gaps.push_back(points[i].DistanceTo(points[i - 1]));
    std::nth_element(gaps.begin(), gaps.begin() + gaps.size() / 2, gaps.end());
    const double bound = std::max(0.5, 0.5 * gaps[gaps.size() / 2]);
    const VORListValVORMathPoint original = points;
    VORRawCollint keep;
    keep.Append(points.Size() / 2);
    keep.Append(points.Size() / 3);  // not sorted: the hard subset hands them so
    const VORMathPoint kept1 = points[keep[1]], kept2 = points[keep[2]];
    ASSERT_TRUE(TAQMoCSStrokeUtilities::SimplifyFitPoints(nullptr, nullptr, points, &keep, 0.5));
    EXPECT_LT(points.Size(), original.Size());
    EXPECT_TRUE(points[1] == original[1]);
    EXPECT_TRUE(points[points.Size()] == original[original.Size()]);
    EXPECT_TRUE(points[keep[1]] == kept1);
    EXPECT_TRUE(points[keep[2]] == kept2);
    for (const VORMathPoint& p : original) EXPECT_LE(DistanceToPolyline(points, p), bound + 1e-9);
  });
}

// Asked for no tolerance, the thinning moves no point, whatever the drawing resolves.
TEST(PreparedRealStrokes, ThinningAtNoToleranceMovesNoPoint) {
  ForEachRealStroke([](VORListValVORMathPoint points) {
    const VORListValVORMathPoint original = points;
    ASSERT_TRUE(TAQMoCSStrokeUtilities::SimplifyFitPoints(nullptr, nullptr, points, nullptr, 0.0));
    int k = 1;
    for (const VORMathPoint& p : points) {
      while (k <= original.Size() && !(original[k] == p)) ++k;
      EXPECT_LE(k, original.Size()) << "a thinned point is no drawn point, or out of order";
    }
  });
}

TEST(PrepareCurveData, CountLimitsTheCarriedAnchors) {
  VORListValVORMathPoint points;
  for (int i = 0; i < 30; ++i) points.Append(VORMathPoint(i, 0.1 * std::sin(i), 0));
  const VORListValVORMathPoint ref = points;
  VORRawCollint in;
  in.Append(10);
  in.Append(20);
  VORRawCollint out;
  TAQMoCSStrokeUtilities::PrepareCurveData(points, ref, 1, in, out, 45.0);
  EXPECT_NE(out.Locate(10), 0);
  EXPECT_EQ(out.Locate(20), 0);
  TAQMoCSStrokeUtilities::PrepareCurveData(points, ref, 99, in, out, 45.0);  // clamped to both
  EXPECT_NE(out.Locate(20), 0);
}

TEST(PrepareCurveData, RefusesNonFinitePointsLeavingThemAsTheyWere) {
  VORListValVORMathPoint points = LShape();
  points[7].SetY(std::numeric_limits<double>::quiet_NaN());
  const int size = points.Size();
  VORRawCollint anchors;
  EXPECT_FALSE(TAQMoCSStrokeUtilities::PrepareCurveData(points, points, 0, anchors, anchors, 45.0));
  EXPECT_EQ(points.Size(), size);
  VORListValVORMathPoint empty;
  EXPECT_FALSE(TAQMoCSStrokeUtilities::PrepareCurveData(empty, empty, 0, anchors, anchors, 45.0));
  EXPECT_EQ(anchors.Size(), 0);
}

TEST(SimplifyFitPoints, RefusesBadInputUnchanged) {
  VORListValVORMathPoint points = LShape();
  const VORListValVORMathPoint before = points;
  VORRawCollint keep;
  keep.Append(99);
  EXPECT_FALSE(TAQMoCSStrokeUtilities::SimplifyFitPoints(nullptr, nullptr, points, &keep, 0.5));
  EXPECT_FALSE(TAQMoCSStrokeUtilities::SimplifyFitPoints(nullptr, nullptr, points, nullptr, -1.0));
  points[3].SetX(std::numeric_limits<double>::infinity());
  EXPECT_FALSE(TAQMoCSStrokeUtilities::SimplifyFitPoints(nullptr, nullptr, points, nullptr, 0.5));
  points[3] = before[3];
  EXPECT_TRUE(points == before);
}

class FitBadInput : public ::testing::Test {
 protected:
  VORGeoFactory factory;
};

TEST_F(FitBadInput, NonFiniteEmptyOrOnePointGiveNoCurveAndStraySplitsAreIgnored) {
  VORListValVORMathPoint points = LShape();
  points[4].SetZ(std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(TAQMoCSStrokeUtilities::CreateFitCurve(&factory, nullptr, points, nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(TAQMoCSStrokeUtilities::CreateFitCurve(&factory, nullptr, VORListValVORMathPoint(), nullptr, nullptr, nullptr),
            nullptr);
  const VORListValVORMathPoint same = Points({{1, 2, 3}, {1, 2, 3}, {1, 2, 3}});
  EXPECT_EQ(TAQMoCSStrokeUtilities::CreateFitCurve(&factory, nullptr, same, nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(TAQMoCSStrokeUtilities::CreateFitCurve(nullptr, nullptr, LShape(), nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(factory.GetCurveCount(), 0);
  // Splits outside the points are ignored.
  VORRawCollint splits;
  splits.Append(-3);
  splits.Append(500);
  EXPECT_NE(TAQMoCSStrokeUtilities::CreateFitCurve(&factory, nullptr, LShape(), &splits, nullptr, nullptr), nullptr);
}

TEST_F(FitBadInput, TwoPointsGiveAStraightCurve) {
  const VORListValVORMathPoint two = Points({{0, 0, 0}, {0, 0, 0}, {3, 4, 0}});
  VORListValVORMathPoint used;
  VORCurve* c = TAQMoCSStrokeUtilities::CreateFitCurve(&factory, nullptr, two, nullptr, nullptr, &used);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(used.Size(), 2);
  const double t0 = c->GetStartLimit().GetParam(), t1 = c->GetEndLimit().GetParam();
  EXPECT_NEAR(c->EvalPoint(VORCrvParam(0.5 * (t0 + t1))).DistanceTo(VORMathPoint(1.5, 2, 0)), 0.0, 1e-9);
}

}  // namespace
