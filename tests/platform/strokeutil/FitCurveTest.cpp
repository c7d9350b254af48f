// The fitted curve of drawn points: what a user sees of it on every real stroke of the shared data,
// and what bad input gives.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "StrokeFiles.h"
#include "TAQMoCSStrokeUtilities.h"
#include "TAQUtTolerance.h"
#include "TestGeometry.h"
#include "VORCurve.h"
#include "VORGeoFactory.h"

namespace {

double FitTol() { return static_cast<double>(TAQMoCSStrokeUtilities::mFitTolerance2D); }

// Polyline arc length from the first point to each point (index 1-based, entry 0 unused).
std::vector<double> ArcLengths(const VORListValVORMathPoint& points) {
  std::vector<double> s(static_cast<size_t>(points.Size()) + 1, 0.0);
  for (int i = 2; i <= points.Size(); ++i) s[static_cast<size_t>(i)] = s[static_cast<size_t>(i) - 1] + points[i].DistanceTo(points[i - 1]);
  return s;
}

double AngleDeg(const VORMathVector& a, const VORMathVector& b) {
  const double c = a.Dot(b) / (a.GetNorm() * b.GetNorm());
  return std::acos(std::max(-1.0, std::min(1.0, c))) * 180.0 / M_PI;
}

// Unit tangents just before and just after parameter t.
void SideTangents(const VORCurve& c, double t, VORMathVector& before, VORMathVector& after) {
  const double t0 = c.GetStartLimit().GetParam(), t1 = c.GetEndLimit().GetParam();
  const double eps = 1e-7 * (t1 - t0);
  before = c.EvalFirstDerivative(VORCrvParam(std::max(t0, t - eps)));
  after = c.EvalFirstDerivative(VORCrvParam(std::min(t1, t + eps)));
}

// Every real stroke of the shared data in turn; failures name the file.
class FitOnRealStrokes : public ::testing::Test {
 protected:
  template <class Check>
  void ForEachStroke(Check check) {
    for (const std::string& file : StrokeFiles("real")) {
      SCOPED_TRACE(file);
      check(LoadStrokePoints(file));
    }
  }
  VORGeoFactory factory;
};

TEST_F(FitOnRealStrokes, PassesThroughAscendingPreparedAnchorsKeepingCornersSharpAndTheRestSmooth) {
  ForEachStroke([&](VORListValVORMathPoint points) {
    VORRawCollint anchors;
    TAQMoCSStrokeUtilities::PrepareCurveData(points, points, 0, anchors, anchors, 45.0);
    // Anchors ascend from the first point to the last, on a list without repeated samples.
    ASSERT_GE(anchors.Size(), 2);
    EXPECT_EQ(anchors[1], 1);
    EXPECT_EQ(anchors[anchors.Size()], points.Size());
    for (int k = 2; k <= anchors.Size(); ++k) EXPECT_LT(anchors[k - 1], anchors[k]);
    for (int i = 2; i <= points.Size(); ++i) EXPECT_GT(points[i].DistanceTo(points[i - 1]), TAQUtTolerance().LengthTol());
    // Points well away from the corners become anchors as well, so that smooth anchors are tested too.
    auto nearCorner = [&](int i) {
      for (int a : anchors)
        if (std::abs(a - i) < 10) return true;
      return false;
    };
    VORRawCollint all;
    for (int i = 1; i <= points.Size(); ++i)
      if (anchors.Locate(i) || (i % 17 == 0 && !nearCorner(i))) all.Append(i);
    VORCurve* c = TAQMoCSStrokeUtilities::CreateFitCurve(&factory, nullptr, points, &all, nullptr, nullptr);
    ASSERT_NE(c, nullptr);
    EXPECT_LE(MaxDeviation(*c, points), FitTol() * 1.0001);
    EXPECT_LE(c->EvalPoint(c->GetStartLimit()).DistanceTo(points[1]), TAQUtTolerance().LengthTol());
    EXPECT_LE(c->EvalPoint(c->GetEndLimit()).DistanceTo(points[points.Size()]), TAQUtTolerance().LengthTol());
    const std::vector<double> arc = ArcLengths(points);
    for (int k = 2; k < all.Size(); ++k) {
      const VORMathPoint& a = points[all[k]];
      const double t = c->GetStartLimit().GetParam() + arc[static_cast<size_t>(all[k])];
      EXPECT_LE(c->EvalPoint(VORCrvParam(t)).DistanceTo(a), TAQUtTolerance().LengthTol()) << "anchor " << all[k];
      VORMathVector before, after;
      SideTangents(*c, t, before, after);
      const double turn = AngleDeg(before, after);
      if (anchors.Locate(all[k]))
        EXPECT_GT(turn, 5.0) << "corner at " << all[k] << " was rounded";
      else
        EXPECT_LT(turn, 0.5) << "smooth anchor " << all[k] << " has a kink";
    }
  });
}

// An imposed end direction is met exactly; one turned 30 degrees from the drawn one is followed over half
// a tolerance of arc (a bent end leaves the way it was bent), one against the drawing at least holds the
// tolerance.
TEST_F(FitOnRealStrokes, LeavesAlongImposedEndDirections) {
  auto turned = [](const VORMathVector& v, double deg) {
    const double c = std::cos(deg * M_PI / 180.0), s = std::sin(deg * M_PI / 180.0);
    return VORMathVector(c * v.GetX() - s * v.GetY(), s * v.GetX() + c * v.GetY(), 0.0);
  };
  ForEachStroke([&](const VORListValVORMathPoint& points) {
    const int n = points.Size();
    const VORMathVector drawn[2] = {turned(points[2] - points[1], 30.0), turned(points[n] - points[n - 1], -30.0)};
    const VORMathVector against[2] = {VORMathVector(1.0, 1.0, 0.0), VORMathVector(0.0, -2.0, 0.0)};
    for (const VORMathVector* ends : {drawn, against}) {
      VORCurve* c = TAQMoCSStrokeUtilities::CreateFitCurve(&factory, nullptr, points, nullptr, ends, nullptr);
      ASSERT_NE(c, nullptr);
      const double t0 = c->GetStartLimit().GetParam(), t1 = c->GetEndLimit().GetParam();
      EXPECT_LT(AngleDeg(c->EvalFirstDerivative(VORCrvParam(t0)), ends[0]), 1e-3);
      EXPECT_LT(AngleDeg(c->EvalFirstDerivative(VORCrvParam(t1)), ends[1]), 1e-3);
      EXPECT_LE(MaxDeviation(*c, points), FitTol() * 1.0001);
      if (ends != drawn) continue;
      EXPECT_LT(AngleDeg(c->EvalPoint(VORCrvParam(t0 + 0.5 * FitTol())) - points[1], ends[0]), 15.0);
      EXPECT_LT(AngleDeg(points[n] - c->EvalPoint(VORCrvParam(t1 - 0.5 * FitTol())), ends[1]), 15.0);
    }
  });
}

// The extent of a list of points: the diagonal of its bounding box.
double Extent(const VORListValVORMathPoint& points) {
  double lo[3] = {HUGE_VAL, HUGE_VAL, HUGE_VAL}, hi[3] = {-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
  for (const VORMathPoint& p : points) {
    const double c[3] = {p.GetX(), p.GetY(), p.GetZ()};
    for (int k = 0; k < 3; ++k) lo[k] = std::min(lo[k], c[k]), hi[k] = std::max(hi[k], c[k]);
  }
  return std::sqrt((hi[0] - lo[0]) * (hi[0] - lo[0]) + (hi[1] - lo[1]) * (hi[1] - lo[1]) +
                   (hi[2] - lo[2]) * (hi[2] - lo[2]));
}

VORListValVORMathPoint Scaled(const VORListValVORMathPoint& points, double scale) {
  VORListValVORMathPoint out = points;
  for (VORMathPoint& p : out) p = VORMathPoint(p.GetX() * scale, p.GetY() * scale, p.GetZ() * scale);
  return out;
}

// A pen stroke carries no detail finer than a ten-thousandth of its extent, nor than its samples'
// spacing resolves: past ten thousand tolerances across, the same drawing fits alike at every larger
// scale (the same poles, the same deviation relative to its size, never more than the median spacing)
// rather than growing tens of thousands of poles (and seconds per fit) chasing pen noise.
TEST(FitOfHugeStrokes, FitsAlikeAtEveryScalePastTenThousandTolerances) {
  VORGeoFactory factory;
  const std::vector<std::string> files = StrokeFiles("real");
  ASSERT_GE(files.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(files[i * files.size() / 3]);
    const VORListValVORMathPoint drawn = LoadStrokePoints(files[i * files.size() / 3]);
    ASSERT_GE(drawn.Size(), 2);
    const VORListValVORMathPoint large = Scaled(drawn, 1e4 * FitTol() / Extent(drawn));
    const VORListValVORMathPoint huge = Scaled(large, 1e5);
    VORCurve* a = TAQMoCSStrokeUtilities::CreateFitCurve(&factory, nullptr, large, nullptr, nullptr, nullptr);
    VORCurve* b = TAQMoCSStrokeUtilities::CreateFitCurve(&factory, nullptr, huge, nullptr, nullptr, nullptr);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    std::vector<double> gaps;
    for (int k = 2; k <= large.Size(); ++k) gaps.push_back(large[k].DistanceTo(large[k - 1]));
    std::nth_element(gaps.begin(), gaps.begin() + gaps.size() / 2, gaps.end());
    const double deviation = MaxDeviation(*a, large);
    EXPECT_LE(deviation, gaps[gaps.size() / 2]);
    EXPECT_NEAR(MaxDeviation(*b, huge) / 1e5, deviation, 0.05 * deviation);
    EXPECT_NEAR(b->GetPoleCount(), a->GetPoleCount(), 0.05 * a->GetPoleCount());
  }
}

}  // namespace
