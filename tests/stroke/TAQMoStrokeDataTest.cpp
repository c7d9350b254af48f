// The data segment: its source points in 3D from a reference plane or from plain 3D points, and its
// value semantics.
#include <gtest/gtest.h>

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

// A new segment gives no points; on a plane the 2D points are evaluated with the normal and stored 3D
// points ignored; without one the 3D points come back and no normals; on a plane without 2D points the
// gathering fails with empty outputs.
TEST(SegmentSourcePoints, ComeFromThePlaneAndThe2DPointsOrElseFromThe3DPoints) {
  TAQMoStrokeData s;
  VORListValVORMathPoint points = Far3D();
  VORListValVORMathVector normals;
  normals.Append(VORMathVector(1, 1, 1));
  EXPECT_EQ(s.GetSourcePoints(points, &normals), S_OK);
  EXPECT_EQ(points.Size(), 0);
  EXPECT_EQ(normals.Size(), 0);

  s.SetCoords(Far3D());
  s.SetData(TwoUV());
  normals.Append(VORMathVector(1, 0, 0));
  ASSERT_EQ(s.GetSourcePoints(points, &normals), S_OK);
  EXPECT_EQ(points, Far3D());
  EXPECT_EQ(normals.Size(), 0);

  s.SetBase(XYPlane());
  ASSERT_EQ(s.GetSourcePoints(points, &normals), S_OK);
  ASSERT_EQ(points.Size(), 2);
  EXPECT_EQ(points[1], VORMathPoint(1, 2, 0));
  EXPECT_EQ(points[2], VORMathPoint(3, 4, 0));
  ASSERT_EQ(normals.Size(), 2);
  EXPECT_EQ(normals[1], VORMathVector(0, 0, 1));
  EXPECT_EQ(normals[2], VORMathVector(0, 0, 1));

  s.SetData(VORListValVORMathPoint2D());
  EXPECT_EQ(s.GetSourcePoints(points, &normals), E_FAIL);
  EXPECT_EQ(points.Size(), 0);
  EXPECT_EQ(normals.Size(), 0);
}

// A copy is independent of its source; an assignment takes all four fields, the cleared reference flag too.
TEST(SegmentValue, ACopyOrAssignmentTakesAllFourFieldsAndIsIndependent) {
  TAQMoStrokeData s;
  s.SetBase(XYPlane());
  s.SetData(TwoUV());
  s.SetCoords(Far3D());
  TAQMoStrokeData c(s);
  c.SetData(VORListValVORMathPoint2D());
  c.SetCoords(VORListValVORMathPoint());
  VORListValVORMathPoint p;
  EXPECT_EQ(s.GetSourcePoints(p, nullptr), S_OK);
  EXPECT_EQ(p.Size(), 2);
  s.GetCoords(p);
  EXPECT_EQ(p, Far3D());
  EXPECT_EQ(c.GetSourcePoints(p, nullptr), E_FAIL);  // the copy is on the plane too, now without 2D points

  TAQMoStrokeData plain;
  plain.SetCoords(Far3D());
  s.SetBase(VORMathPlane(VORMathPoint(1, 1, 1), VORMathVector(0, 0, 1)));
  s = plain;  // the only way a reference flag goes away
  EXPECT_FALSE(s.IsRefDefined());
  EXPECT_EQ(s.GetSourcePoints(p, nullptr), S_OK);
  EXPECT_EQ(p, Far3D());
  VORListValVORMathPoint2D uv;
  s.GetData(uv);
  EXPECT_EQ(uv.Size(), 0);
  VORMathPlane base;
  s.GetBase(base);
  EXPECT_EQ(base.GetOrigin(), VORMathPoint(0, 0, 0));
}

}  // namespace
