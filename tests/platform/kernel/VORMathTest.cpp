// The kernel's value classes: the unit direction rule, planes and lines, and what bad input gives
// (zero or non-finite vectors, degenerate planes, NaN coordinates).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "StrokeFiles.h"
#include "VORMathDirection.h"
#include "VORMathLine.h"
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

TEST(DirectionRule, VectorsAreDividedByTheirLengthAndExactUnitVectorsKeptBitForBit) {
  ExpectDirection(VORMathDirection(3, 0, 4), 0.6, 0.0, 0.8);
  ExpectDirection(VORMathDirection(0, -7, 0), 0.0, -1.0, 0.0);
  EXPECT_LT(UnitError(VORMathDirection(1, 2, 3)), 1e-15);
  const VORMathVector v(0.0, -1.0, 0.0);
  EXPECT_EQ(VORMathDirection(v).GetVector(), v);
  const VORMathVector w(0.5, 0.5, std::sqrt(0.5));
  ASSERT_EQ(w.GetSquareNorm(), 1.0);
  EXPECT_EQ(VORMathDirection(w).GetVector(), w);
}

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

TEST(DirectionRule, HugeAndTinyFiniteVectorsKeepTheirDirection) {
  ExpectDirection(VORMathDirection(0, 1e200, 0), 0, 1, 0);
  ExpectDirection(VORMathDirection(3e300, 0, -4e300), 0.6, 0, -0.8);
  ExpectDirection(VORMathDirection(0, 0, -1e-300), 0, 0, -1);
  ExpectDirection(VORMathDirection(3e-170, 4e-170, 0), 0.6, 0.8, 0);
  EXPECT_LT(UnitError(VORMathDirection(1e-160, 2e-160, 2e-160)), 1e-15);
}

TEST(Plane, DefaultIsTheXYPlane) {
  const VORMathPlane p;
  EXPECT_TRUE(p.IsValid());
  EXPECT_EQ(p.GetOrigin(), VORMathPoint(0, 0, 0));
  VORMathDirection a, b;
  p.GetDirections(a, b);
  EXPECT_EQ(a, VORMathDirection(1, 0, 0));
  EXPECT_EQ(b, VORMathDirection(0, 1, 0));
  EXPECT_EQ(p.GetNormal(), VORMathDirection(0, 0, 1));
  EXPECT_EQ(p.EvalPoint(1, 2), VORMathPoint(1, 2, 0));
}

// For many normals, including the axes both ways: an orthonormal frame whose cross product is the normal.
TEST(Plane, FromANormalGivesARightHandedOrthonormalFrame) {
  const double values[] = {-1.0, -0.3, 0.0, 0.7, 1.0};
  int checked = 0;
  for (double x : values)
    for (double y : values)
      for (double z : values) {
        const VORMathVector n(x, y, z);
        if (n.GetSquareNorm() == 0.0) continue;
        const VORMathPlane p(VORMathPoint(1, -2, 3), n);
        ASSERT_TRUE(p.IsValid());
        VORMathDirection a, b;
        p.GetDirections(a, b);
        const VORMathVector unit = VORMathDirection(n).GetVector();
        EXPECT_NEAR(a.Dot(b.GetVector()), 0.0, 1e-14);
        EXPECT_NEAR(a.Dot(unit), 0.0, 1e-14);
        EXPECT_NEAR(b.Dot(unit), 0.0, 1e-14);
        const VORMathVector c = a.GetVector().Cross(b.GetVector());
        EXPECT_LT((c - unit).GetNorm(), 1e-14);
        EXPECT_LT((p.GetNormal().GetVector() - unit).GetNorm(), 1e-14);
        ++checked;
      }
  EXPECT_EQ(checked, 124);
}

TEST(Plane, ProjectAndEvalPointAreInverseOnASkewFrame) {
  const VORMathPlane p(VORMathPoint(2, 0, -1), VORMathVector(1, 0, 0), VORMathVector(1, 1, 0.5));
  ASSERT_TRUE(p.IsValid());
  const VORMathPoint q(4.5, -3.25, 7.0);
  double u = 0, v = 0;
  p.Project(q, u, v);
  const VORMathPoint foot = p.Project(q);
  EXPECT_LT(p.EvalPoint(u, v).DistanceTo(foot), 1e-12);
  EXPECT_NEAR((foot - p.GetOrigin()).Dot(p.GetNormal().GetVector()), 0.0, 1e-12);
  // The foot is the nearest point of the plane: q - foot lies along the normal.
  EXPECT_LT((q - foot).Cross(p.GetNormal().GetVector()).GetNorm(), 1e-12);
}

TEST(Plane, RealStrokesRoundTripThroughPlaneCoordinates) {
  const VORMathPlane p(VORMathPoint(10, 20, 0), VORMathVector(0, 0, 1));  // the strokes lie in z = 0
  double worst = 0.0;
  for (const std::string& file : StrokeFiles("real")) {
    const VORListValVORMathPoint points = LoadStrokePoints(file);
    for (int i = 1; i <= points.Size(); ++i) {
      double u = 0, v = 0;
      p.Project(points[i], u, v);
      worst = std::fmax(worst, p.EvalPoint(u, v).DistanceTo(points[i]));
    }
  }
  EXPECT_LT(worst, 1e-11);
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
}

TEST(PlaneBadInput, NonFiniteOriginIsReplacedByTheWorldOrigin) {
  const VORMathPlane p(VORMathPoint(kNaN, 0, 0), VORMathVector(0, 0, 1));
  EXPECT_FALSE(p.IsValid());
  EXPECT_EQ(p.GetOrigin(), VORMathPoint(0, 0, 0));
  EXPECT_TRUE(p.Project(VORMathPoint(1, 2, 3)).IsFinite());
  const VORMathPlane q(VORMathPoint(0, kInf, 0), VORMathVector(1, 0, 0), VORMathVector(0, 1, 0));
  EXPECT_FALSE(q.IsValid());
  EXPECT_TRUE(q.EvalPoint(1, 1).IsFinite());
}

TEST(PlaneBadInput, ParallelOrZeroDirectionsGiveAnInvalidPlane) {
  EXPECT_FALSE(VORMathPlane(VORMathPoint(), VORMathVector(1, 0, 0), VORMathVector(-2, 0, 0)).IsValid());
  EXPECT_FALSE(VORMathPlane(VORMathPoint(), VORMathVector(1, 0, 0), VORMathVector(1, 1e-9, 0)).IsValid());
  EXPECT_FALSE(VORMathPlane(VORMathPoint(), VORMathVector(0, 0, 0), VORMathVector(0, 1, 0)).IsValid());
  const VORMathPlane p(VORMathPoint(), VORMathVector(1, 0, 0), VORMathVector(1, 0, 0));
  EXPECT_EQ(p.GetNormal(), VORMathDirection(0, 0, 1));
  EXPECT_TRUE(VORMathPlane(VORMathPoint(), VORMathVector(1, 0, 0), VORMathVector(1, 0.01, 0)).IsValid());
}

TEST(PlaneBadInput, NaNPointsGiveNaNNotGarbage) {
  const VORMathPlane p;
  double u = 0, v = 0;
  p.Project(VORMathPoint(kNaN, 1, 1), u, v);
  EXPECT_TRUE(std::isnan(u));
  EXPECT_FALSE(p.Project(VORMathPoint(0, 0, kNaN)).IsFinite());
  EXPECT_FALSE(p.EvalPoint(kNaN, 0).IsFinite());
}

TEST(Line, FromTwoPointsHasParameterZeroAndOneAtThem) {
  const VORMathLine l(VORMathPoint(1, 1, 1), VORMathPoint(3, 1, 1));
  EXPECT_EQ(l.EvalPoint(0), VORMathPoint(1, 1, 1));
  EXPECT_EQ(l.EvalPoint(1), VORMathPoint(3, 1, 1));
  double t = 0;
  l.Project(VORMathPoint(2, 5, -4), t);
  EXPECT_DOUBLE_EQ(t, 0.5);
  EXPECT_EQ(l.Project(VORMathPoint(2, 5, -4)), VORMathPoint(2, 1, 1));
}

TEST(LineBadInput, DegenerateVectorProjectsOntoTheOrigin) {
  for (const VORMathVector& v : {VORMathVector(0, 0, 0), VORMathVector(kNaN, 0, 0), VORMathVector(1e300, 0, 0)}) {
    const VORMathLine l(VORMathPoint(1, 2, 3), v);
    double t = 7;
    l.Project(VORMathPoint(9, 9, 9), t);
    EXPECT_EQ(t, 0.0);
  }
  const VORMathLine same(VORMathPoint(1, 2, 3), VORMathPoint(1, 2, 3));
  EXPECT_EQ(same.Project(VORMathPoint(4, 4, 4)), VORMathPoint(1, 2, 3));
}

TEST(Points, NonFiniteCoordinatesAreStoredAndDetected) {
  const VORMathPoint p(1, kNaN, 3);
  EXPECT_FALSE(p.IsFinite());
  EXPECT_TRUE(std::isnan(p.GetY()));
  EXPECT_FALSE(VORMathPoint(kInf, 0, 0).IsFinite());
  EXPECT_TRUE(VORMathPoint(1e308, -1e308, 0).IsFinite());
  EXPECT_FALSE(VORMathPoint2D(0, kNaN).IsFinite());
  EXPECT_FALSE((p - VORMathPoint()).IsFinite());
  EXPECT_DOUBLE_EQ(VORMathPoint(0, 3, 4).DistanceTo(VORMathPoint()), 5.0);
}

}  // namespace
