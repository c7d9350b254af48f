// The kernel's value classes: the unit direction rule, planes, and what bad input gives
// (zero or non-finite vectors, degenerate planes, NaN coordinates).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "VORMathDirection.h"
#include "VORMathPlane.h"

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

void ExpectDirection(const VORMathDirection& d, double x, double y, double z, double tol = 1e-15) {
  EXPECT_NEAR(d.GetX(), x, tol);
  EXPECT_NEAR(d.GetY(), y, tol);
  EXPECT_NEAR(d.GetZ(), z, tol);
}

double UnitError(const VORMathDirection& d) { return std::fabs(d.GetVector().GetSquareNorm() - 1.0); }

TEST(DirectionRule, ZeroAndNonFiniteVectorsGiveTheXAxis) {
  ExpectDirection(VORMathDirection(0, 0, 0), 1, 0, 0, 0);
  ExpectDirection(VORMathDirection(-0.0, 0, -0.0), 1, 0, 0, 0);
  ExpectDirection(VORMathDirection(kNaN, 1, 0), 1, 0, 0, 0);
  ExpectDirection(VORMathDirection(0, kInf, 0), 1, 0, 0, 0);
  ExpectDirection(VORMathDirection(-kInf, kNaN, 2), 1, 0, 0, 0);
  EXPECT_FALSE(VORMathDirection::IsUsable(VORMathVector(0, 0, 0)));
  EXPECT_FALSE(VORMathDirection::IsUsable(VORMathVector(kNaN, 0, 1)));
  EXPECT_FALSE(VORMathDirection::IsUsable(VORMathVector(0, 0, kInf)));
  EXPECT_TRUE(VORMathDirection::IsUsable(VORMathVector(0, 0, 1e-300)));
  ExpectDirection(VORMathDirection(), 1, 0, 0, 0);
}

// Divided by their length, scaled first where the square of the length would underflow or overflow; an
// exact unit vector is kept bit for bit.
TEST(DirectionRule, HugeAndTinyFiniteVectorsKeepTheirDirection) {
  ExpectDirection(VORMathDirection(3, 0, 4), 0.6, 0.0, 0.8);
  EXPECT_LT(UnitError(VORMathDirection(1, 2, 3)), 1e-15);
  const VORMathVector w(0.5, 0.5, std::sqrt(0.5));
  ASSERT_EQ(w.GetSquareNorm(), 1.0);
  EXPECT_EQ(VORMathDirection(w).GetVector(), w);
  ExpectDirection(VORMathDirection(0, 1e200, 0), 0, 1, 0);
  ExpectDirection(VORMathDirection(3e300, 0, -4e300), 0.6, 0, -0.8);
  ExpectDirection(VORMathDirection(0, 0, -1e-300), 0, 0, -1);
  ExpectDirection(VORMathDirection(3e-170, 4e-170, 0), 0.6, 0.8, 0);
  EXPECT_LT(UnitError(VORMathDirection(1e-160, 2e-160, 2e-160)), 1e-15);
}

// For many normals, including the axes both ways: an orthonormal frame whose cross product is the normal,
// in which a point's plane coordinates evaluate to its foot, and the point lies off the foot along the
// normal. A skew frame (the first plane) projects and evaluates the same way.
TEST(Plane, FromANormalGivesARightHandedOrthonormalFrameAndProjectionInvertsEvaluation) {
  const double values[] = {-1.0, -0.3, 0.0, 0.7, 1.0};
  const VORMathPoint q(4.5, -3.25, 7.0);
  std::vector<std::pair<VORMathPlane, VORMathVector>> planes = {
      {VORMathPlane(VORMathPoint(2, 0, -1), VORMathVector(1, 0, 0), VORMathVector(1, 1, 0.5)), VORMathVector(0, -0.5, 1)}};
  for (double x : values)
    for (double y : values)
      for (double z : values)
        if (x != 0.0 || y != 0.0 || z != 0.0)
          planes.push_back({VORMathPlane(VORMathPoint(1, -2, 3), VORMathVector(x, y, z)), VORMathVector(x, y, z)});
  for (size_t i = 0; i < planes.size(); ++i) {
    const VORMathPlane& p = planes[i].first;
    const VORMathVector n = VORMathDirection(planes[i].second).GetVector();
    ASSERT_TRUE(p.IsValid()) << i;
    EXPECT_LT((p.GetNormal().GetVector() - n).GetNorm(), 1e-14) << i;
    VORMathDirection a, b;
    p.GetDirections(a, b);
    EXPECT_NEAR(a.Dot(n), 0.0, 1e-14) << i;
    if (i > 0) {
      EXPECT_NEAR(a.Dot(b.GetVector()), 0.0, 1e-14) << i;
      EXPECT_LT((a.GetVector().Cross(b.GetVector()) - n).GetNorm(), 1e-14) << i;
    }
    double u = 0, v = 0;
    p.Project(q, u, v);
    const VORMathPoint foot = p.Project(q);
    EXPECT_LT(p.EvalPoint(u, v).DistanceTo(foot), 1e-12) << i;
    EXPECT_NEAR((foot - p.GetOrigin()).Dot(n), 0.0, 1e-12) << i;
    EXPECT_LT((q - foot).Cross(n).GetNorm(), 1e-12) << i;
  }
}

TEST(PlaneBadInput, ZeroOrNonFiniteNormalGivesAnInvalidDefaultFrame) {
  for (const VORMathVector& n : {VORMathVector(0, 0, 0), VORMathVector(kNaN, 0, 1), VORMathVector(0, kInf, 0)}) {
    const VORMathPlane p(VORMathPoint(1, 2, 3), n);
    EXPECT_FALSE(p.IsValid());
    EXPECT_EQ(p.GetOrigin(), VORMathPoint(1, 2, 3));
    EXPECT_EQ(p.GetNormal(), VORMathDirection(0, 0, 1));
    EXPECT_EQ(p.EvalPoint(1, 1), VORMathPoint(2, 3, 3));
    double u = kNaN, v = kNaN;
    p.Project(VORMathPoint(5, 5, 5), u, v);
    EXPECT_EQ(u, 4.0);
    EXPECT_EQ(v, 3.0);
  }
  // A non-finite origin is replaced by the world origin, so that the plane gives finite points.
  for (const VORMathPlane& p : {VORMathPlane(VORMathPoint(kNaN, 0, 0), VORMathVector(0, 0, 1)),
                                VORMathPlane(VORMathPoint(0, kInf, 0), VORMathVector(1, 0, 0), VORMathVector(0, 1, 0))}) {
    EXPECT_FALSE(p.IsValid());
    EXPECT_EQ(p.GetOrigin(), VORMathPoint(0, 0, 0));
    EXPECT_TRUE(p.EvalPoint(1, 1).IsFinite());
  }
}

TEST(PlaneBadInput, ParallelOrZeroDirectionsGiveAnInvalidPlaneAndNaNPointsGiveNaN) {
  EXPECT_FALSE(VORMathPlane(VORMathPoint(), VORMathVector(1, 0, 0), VORMathVector(-2, 0, 0)).IsValid());
  EXPECT_FALSE(VORMathPlane(VORMathPoint(), VORMathVector(1, 0, 0), VORMathVector(1, 1e-9, 0)).IsValid());
  EXPECT_FALSE(VORMathPlane(VORMathPoint(), VORMathVector(0, 0, 0), VORMathVector(0, 1, 0)).IsValid());
  const VORMathPlane p(VORMathPoint(), VORMathVector(1, 0, 0), VORMathVector(1, 0, 0));
  EXPECT_EQ(p.GetNormal(), VORMathDirection(0, 0, 1));
  EXPECT_TRUE(VORMathPlane(VORMathPoint(), VORMathVector(1, 0, 0), VORMathVector(1, 0.01, 0)).IsValid());
  // NaN points give NaN, not garbage.
  const VORMathPlane valid;
  double u = 0, v = 0;
  valid.Project(VORMathPoint(kNaN, 1, 1), u, v);
  EXPECT_TRUE(std::isnan(u));
  EXPECT_FALSE(valid.Project(VORMathPoint(0, 0, kNaN)).IsFinite());
  EXPECT_FALSE(valid.EvalPoint(kNaN, 0).IsFinite());
}

}  // namespace
