// End tangents: the two records a stroke with a sketch plane keeps, what they hold (the end point and a
// tip 0.1 along the tangent, also as plane coordinates), and how directions read back from them.
#include <gtest/gtest.h>

#include <cmath>

#include "TAQMoStrokeData.h"
#include "TestStroke.h"

namespace {

const VORMathDirection kAlongX(1, 0, 0);

// Records the ends (0, 0, 0) and (10, 0, 0) with directions d0 and d1.
void Record(TAQMoStroke& s, const VORMathDirection& d0, const VORMathDirection& d1,
            const VORMathPoint& end = VORMathPoint(10, 0, 0)) {
  const VORMathPoint points[2] = {VORMathPoint(0, 0, 0), end};
  const VORMathDirection directions[2] = {d0, d1};
  const VORMathDirection normals[2] = {VORMathDirection(0, 0, 1), VORMathDirection(0, 0, 1)};
  s.UpdateEndTangents(points, directions, normals);
}

VORRawColldouble Blends(const TAQMoStroke& s) {
  VORRawColldouble b;
  s.GetBlends(b);
  return b;
}

size_t RecordCount(const TAQMoStroke& s) {
  TAQUtVector<TAQMoStrokeData*> records;
  s.GetTangents(records);
  return records.Size();
}

TEST(EndTangentRecords, AreMadeOnlyWithASketchPlaneAndStartTheBlendsAtZero) {
  TestStroke none;
  Record(none, kAlongX, kAlongX);
  EXPECT_EQ(RecordCount(none), 0u);
  EXPECT_EQ(Blends(none).Size(), 0);
  VORMathPoint ends[2];
  VORMathDirection directions[2];
  EXPECT_FALSE(none.GetEndTangents(ends, directions));

  TestStroke fresh, blended;
  fresh.SetSketchPlane(VORMathPlane());
  Record(fresh, kAlongX, kAlongX);
  EXPECT_EQ(RecordCount(fresh), 2u);
  VORRawColldouble zero;
  zero.Append(0.0);
  zero.Append(0.0);
  EXPECT_EQ(Blends(fresh), zero);
  blended.SetSketchPlane(VORMathPlane());
  VORRawColldouble given;
  given.Append(0.5);
  given.Append(2.0);
  blended.SetBlends(given);
  Record(blended, kAlongX, kAlongX);
  EXPECT_EQ(Blends(blended), given);

  // Non-finite ends are refused: the records stay as they were.
  Record(fresh, kAlongX, kAlongX, VORMathPoint(std::nan(""), 0, 0));
  ASSERT_TRUE(fresh.GetEndTangents(ends, directions));
  EXPECT_EQ(ends[1], VORMathPoint(10, 0, 0));

  // Ends that meet close the stroke: the records go, and no tangent reads back.
  Record(fresh, kAlongX, kAlongX, VORMathPoint(0, 0, 0.0005));
  EXPECT_EQ(RecordCount(fresh), 0u);
  EXPECT_FALSE(fresh.GetEndTangents(ends, directions));
}

TEST(EndTangentRecords, HoldTheEndAndATipOneTenthAlongTheTangentAlsoInPlaneCoordinates) {
  TestStroke s;
  const VORMathPlane plane(VORMathPoint(0, 0, 0), VORMathVector(0, 0, 1));
  s.SetSketchPlane(plane);
  Record(s, VORMathDirection(0, 1, 0), kAlongX, VORMathPoint(4, 3, 0));
  TAQUtVector<TAQMoStrokeData*> records;
  s.GetTangents(records);
  ASSERT_EQ(records.Size(), 2u);
  VORListValVORMathPoint coords;
  records[1]->GetCoords(coords);
  ASSERT_EQ(coords.Size(), 2);
  EXPECT_EQ(coords[1], VORMathPoint(4, 3, 0));
  EXPECT_NEAR(coords[2].DistanceTo(VORMathPoint(4.1, 3, 0)), 0.0, 1e-12);
  VORListValVORMathPoint2D uv;
  records[1]->GetData(uv);
  ASSERT_EQ(uv.Size(), 2);
  for (int i = 1; i <= 2; ++i)
    EXPECT_NEAR(plane.EvalPoint(uv[i].GetX(), uv[i].GetY()).DistanceTo(coords[i]), 0.0, 1e-12);
  EXPECT_TRUE(records[1]->IsRefDefined());
  // A null record is no record: nothing happens.
  TestStroke::UpdatePointTangentData(nullptr, VORMathPoint(), kAlongX, kAlongX);
}

TEST(EndTangentRecords, ReadBackAsTheInPlanePartOfTheDirection) {
  TestStroke s;
  s.SetSketchPlane(VORMathPlane());
  struct Case {
    VORMathDirection recorded, read;
  };
  const Case cases[] = {
      {VORMathDirection(0.6, 0.8, 0), VORMathDirection(0.6, 0.8, 0)},  // in the plane: as recorded
      {VORMathDirection(0, 3, 4), VORMathDirection(0, 1, 0)},          // out of it: the unit in-plane part
      {VORMathDirection(0, 0, -1), kAlongX},                           // along the normal: nothing left
  };
  VORMathPoint ends[2];
  VORMathDirection directions[2];
  for (const Case& c : cases) {
    Record(s, c.recorded, c.recorded);
    ASSERT_TRUE(s.GetEndTangents(ends, directions));
    for (const VORMathDirection& d : directions)
      EXPECT_NEAR((d.GetVector() - c.read.GetVector()).GetNorm(), 0.0, 1e-9) << d.GetX() << " " << d.GetY();
  }
  // A record without a plane keeps its 3D points; one whose two points coincide reads back along x.
  TAQUtVector<TAQMoStrokeData*> records;
  s.GetTangents(records);
  TAQMoStrokeData* plain = new TAQMoStrokeData;
  TAQUtVector<TAQMoStrokeData*> mine;
  mine.Append(plain);
  mine.Append(records[1]);
  s.SetTangents(mine);
  TestStroke::UpdatePointTangentData(plain, VORMathPoint(1, 1, 1), VORMathDirection(0, 0, 1), kAlongX);
  ASSERT_TRUE(s.GetEndTangents(ends, directions));
  EXPECT_EQ(ends[0], VORMathPoint(1, 1, 1));
  EXPECT_NEAR(directions[0].GetZ(), 1.0, 1e-12);
  VORListValVORMathPoint same;
  same.Append(VORMathPoint(2, 2, 2));
  same.Append(VORMathPoint(2, 2, 2));
  plain->SetCoords(same);
  ASSERT_TRUE(s.GetEndTangents(ends, directions));
  EXPECT_EQ(directions[0], kAlongX);
  s.SetTangents(TAQUtVector<TAQMoStrokeData*>());
  delete plain;
}

}  // namespace
