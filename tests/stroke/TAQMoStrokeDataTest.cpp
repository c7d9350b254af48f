// The data segment: its source points in 3D from a reference plane or from plain 3D points, and its
// value semantics.
#include <gtest/gtest.h>

#include "StrokeFiles.h"
#include "TAQMoStrokeData.h"

namespace {

VORMathPlane XYPlane() {
  return VORMathPlane(VORMathPoint(0, 0, 0), VORMathVector(1, 0, 0), VORMathVector(0, 1, 0));
}

VORListValVORMathPoint2D TwoUV() {
  VORListValVORMathPoint2D uv;
  uv.Append(VORMathPoint2D(1, 2));
  uv.Append(VORMathPoint2D(3, 4));
  return uv;
}

VORListValVORMathPoint Far3D() {
  VORListValVORMathPoint p;
  p.Append(VORMathPoint(100, 200, 300));
  p.Append(VORMathPoint(-5, 6, 7));
  return p;
}

TEST(SegmentDefaults, NewSegmentHasNoPlaneAndNoPoints) {
  TAQMoStrokeData s;
  EXPECT_FALSE(s.IsRefDefined());
  VORMathPlane base(VORMathPoint(9, 9, 9), VORMathVector(0, 1, 0));
  EXPECT_EQ(s.GetBase(base), S_OK);
  EXPECT_EQ(base.GetOrigin(), VORMathPoint(0, 0, 0));
  EXPECT_EQ(base.GetNormal(), VORMathDirection(0, 0, 1));
  VORListValVORMathPoint points = Far3D();
  VORListValVORMathVector normals;
  normals.Append(VORMathVector(1, 1, 1));
  EXPECT_EQ(s.GetSourcePoints(points, &normals), S_OK);
  EXPECT_EQ(points.Size(), 0);
  EXPECT_EQ(normals.Size(), 0);
}

TEST(SegmentSourcePoints, OnAPlaneEvaluatesThe2DPointsWithTheNormalIgnoringStored3DPoints) {
  TAQMoStrokeData s;
  s.SetBase(XYPlane());
  s.SetData(TwoUV());
  s.SetCoords(Far3D());
  VORListValVORMathPoint points;
  VORListValVORMathVector normals;
  ASSERT_EQ(s.GetSourcePoints(points, &normals), S_OK);
  ASSERT_EQ(points.Size(), 2);
  EXPECT_EQ(points[1], VORMathPoint(1, 2, 0));
  EXPECT_EQ(points[2], VORMathPoint(3, 4, 0));
  ASSERT_EQ(normals.Size(), 2);
  EXPECT_EQ(normals[1], VORMathVector(0, 0, 1));
  EXPECT_EQ(normals[2], VORMathVector(0, 0, 1));
}

TEST(SegmentSourcePoints, WithoutAPlaneGivesThe3DPointsAndNoNormals) {
  TAQMoStrokeData s;
  s.SetCoords(Far3D());
  s.SetData(TwoUV());
  VORListValVORMathPoint points;
  VORListValVORMathVector normals;
  normals.Append(VORMathVector(1, 0, 0));
  ASSERT_EQ(s.GetSourcePoints(points, &normals), S_OK);
  EXPECT_EQ(points, Far3D());
  EXPECT_EQ(normals.Size(), 0);
}

TEST(SegmentSourcePoints, OnAPlaneWithout2DPointsFailsWithEmptyOutputs) {
  TAQMoStrokeData s;
  s.SetCoords(Far3D());
  s.SetBase(XYPlane());
  VORListValVORMathPoint points = Far3D();
  VORListValVORMathVector normals;
  normals.Append(VORMathVector(1, 0, 0));
  EXPECT_EQ(s.GetSourcePoints(points, &normals), E_FAIL);
  EXPECT_EQ(points.Size(), 0);
  EXPECT_EQ(normals.Size(), 0);
}

// Every real stroke, carried into the plane coordinates of a tilted, skewed plane, comes back as the
// plane's own points, one per 2D point, with the unit plane normal.
TEST(SegmentSourcePoints, RealStrokesOnATiltedPlaneComeBackOnThePlane) {
  const std::vector<std::string> files = StrokeFiles("real");
  ASSERT_FALSE(files.empty());
  const VORMathPlane plane(VORMathPoint(3, -2, 5), VORMathVector(1, 0.2, 0.5), VORMathVector(-0.3, 1, 0.4));
  ASSERT_TRUE(plane.IsValid());
  const VORMathVector n = plane.GetNormal().GetVector();
  for (const std::string& file : files) {
    const VORListValVORMathPoint drawn = LoadStrokePoints(file);
    ASSERT_GT(drawn.Size(), 0) << file;
    VORListValVORMathPoint2D uv;
    for (int i = 1; i <= drawn.Size(); ++i) {
      double u = 0, v = 0;
      plane.Project(drawn[i], u, v);
      uv.Append(VORMathPoint2D(u, v));
    }
    TAQMoStrokeData s;
    s.SetBase(plane);
    s.SetData(uv);
    VORListValVORMathPoint points;
    VORListValVORMathVector normals;
    ASSERT_EQ(s.GetSourcePoints(points, &normals), S_OK) << file;
    ASSERT_EQ(points.Size(), drawn.Size()) << file;
    ASSERT_EQ(normals.Size(), drawn.Size()) << file;
    for (int i = 1; i <= points.Size(); ++i) {
      const VORMathPoint foot = plane.Project(drawn[i]);
      ASSERT_LT(points[i].DistanceTo(foot), 1e-9) << file << " point " << i;
      ASSERT_LT((points[i] - plane.GetOrigin()).Dot(n), 1e-9) << file << " point " << i;
      ASSERT_EQ(normals[i], n);
    }
  }
}

TEST(SegmentValue, ACopyIsIndependentOfItsSource) {
  TAQMoStrokeData s;
  s.SetBase(XYPlane());
  s.SetData(TwoUV());
  s.SetCoords(Far3D());
  TAQMoStrokeData c(s);
  EXPECT_TRUE(c.IsRefDefined());
  VORListValVORMathPoint2D uv;
  c.GetData(uv);
  EXPECT_EQ(uv, TwoUV());
  c.SetData(VORListValVORMathPoint2D());
  c.SetCoords(VORListValVORMathPoint());
  s.GetData(uv);
  EXPECT_EQ(uv, TwoUV());
  VORListValVORMathPoint p;
  s.GetCoords(p);
  EXPECT_EQ(p, Far3D());
}

TEST(SegmentValue, AssignmentCopiesAllFourFieldsIncludingTheClearedFlag) {
  TAQMoStrokeData plain;
  plain.SetCoords(Far3D());
  TAQMoStrokeData onPlane;
  onPlane.SetBase(VORMathPlane(VORMathPoint(1, 1, 1), VORMathVector(0, 0, 1)));
  onPlane.SetData(TwoUV());
  onPlane = plain;  // the only way a reference flag goes away
  EXPECT_FALSE(onPlane.IsRefDefined());
  VORListValVORMathPoint points;
  EXPECT_EQ(onPlane.GetSourcePoints(points, nullptr), S_OK);
  EXPECT_EQ(points, Far3D());
  VORListValVORMathPoint2D uv;
  onPlane.GetData(uv);
  EXPECT_EQ(uv.Size(), 0);
  VORMathPlane base;
  onPlane.GetBase(base);
  EXPECT_EQ(base.GetOrigin(), VORMathPoint(0, 0, 0));
  TAQMoStrokeData& alias = onPlane;
  onPlane = alias;
  onPlane.GetCoords(points);
  EXPECT_EQ(points, Far3D());
}

TEST(SegmentValue, SetBaseKeepsTheFlagWhateverThePlane) {
  TAQMoStrokeData s;
  s.SetBase(VORMathPlane(VORMathPoint(0, 0, 0), VORMathVector(0, 0, 0)));  // degenerate normal
  EXPECT_TRUE(s.IsRefDefined());
  VORMathPlane base;
  s.GetBase(base);
  EXPECT_FALSE(base.IsValid());
}

}  // namespace
