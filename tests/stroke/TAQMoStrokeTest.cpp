// The stroke object: defaults, plain accessors, display data, SetData and Set, copying of the value
// fields.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "StrokeSnapshot.h"
#include "TAQMoStroke.h"
#include "VORGeoFactory.h"
#include "VORSoftwareConfiguration.h"
#include "TestLists.h"

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

// A segment without a plane holding the given points; the caller hands it to a stroke.
TAQMoStrokeData* Segment(const VORListValVORMathPoint& points) {
  TAQMoStrokeData* s = new TAQMoStrokeData;
  s->SetCoords(points);
  return s;
}

VORListValVORMathPoint Points(int n, double offset = 0.0) {
  VORListValVORMathPoint p;
  for (int i = 0; i < n; ++i) p.Append(VORMathPoint(i + offset, 2.0 * i, 0.0));
  return p;
}

void ExpectRange(const TAQMoStroke& s, double start, double end) {
  double r[2] = {-7.0, -7.0};
  EXPECT_EQ(s.GetRange(r), S_OK);
  EXPECT_EQ(r[0], start);
  EXPECT_EQ(r[1], end);
}

// A new stroke is empty, untyped, without plane and shows one empty piece; then the sketch flag and the
// splits as shown.
TEST(StrokeDisplayData, ANewStrokeShowsOneEmptyPieceThenItsSplitsOrOnePieceAndItsSketchFlagOnceTyped) {
  TAQMoStroke s;
  const snapshot::State st = snapshot::Take(s);
  EXPECT_EQ(st.type, 0);
  EXPECT_EQ(st.isSketchResult, E_FAIL);
  EXPECT_EQ(st.width, -1.0);
  EXPECT_EQ(st.color, 0);
  EXPECT_EQ(st.range[0], 0.0);  // stored [0, 0] reads as the whole stroke
  EXPECT_EQ(st.range[1], 1.0);
  EXPECT_FALSE(st.on3D);
  EXPECT_FALSE(st.sketchPlaneDefined);
  bool sketch = true;
  int color = 4;
  double width = 0.0;
  VORRawCollint splits = Ints({42});
  VORListValVORMathPoint coords = Points(3);
  VORListValVORMathVector normals;
  normals.Append(VORMathVector(1, 1, 1));
  EXPECT_EQ(s.GetDisplayData(sketch, color, width, splits, coords, &normals), S_OK);
  EXPECT_FALSE(sketch);
  EXPECT_EQ(width, -1.0);
  EXPECT_EQ(coords.Size(), 0);
  EXPECT_EQ(normals.Size(), 0);
  EXPECT_EQ(splits, Ints({0}));

  // The sketch flag is reported only once the stroke has a type.
  s.SetIsSketch(true);
  sketch = true;
  EXPECT_EQ(s.GetIsSketch(sketch), E_FAIL);
  EXPECT_FALSE(sketch);
  s.GetDisplayData(sketch, color, width, splits, coords, nullptr);
  EXPECT_FALSE(sketch);
  s.SetType(2);
  EXPECT_EQ(s.GetIsSketch(sketch), S_OK);
  EXPECT_TRUE(sketch);
  sketch = false;
  s.GetDisplayData(sketch, color, width, splits, coords, nullptr);
  EXPECT_TRUE(sketch);

  // Splits come back as stored, or as one piece ending at the last display point, which is not written
  // back; without a normals list the normals are not touched.
  normals.Append(VORMathVector(0, 0, 1));
  EXPECT_EQ(s.SetDisplayData(Ints({3, 7}), Points(7), normals), S_OK);
  s.GetDisplayData(sketch, color, width, splits, coords, nullptr);
  EXPECT_EQ(splits, Ints({3, 7}));
  s.SetSplits(VORRawCollint());
  s.SetCoords(Points(5));
  s.GetDisplayData(sketch, color, width, splits, coords, nullptr);
  EXPECT_EQ(splits, Ints({5}));
  EXPECT_EQ(snapshot::Take(s).splits.Size(), 0);
  EXPECT_EQ(snapshot::Take(s).normals, normals);
}

TEST(StrokeRange, OnlyAFiniteStartBelowItsEndIsTakenAndARefusalKeepsTheRange) {
  TAQMoStroke s;
  const double good[2] = {0.2, 0.7};
  EXPECT_EQ(s.SetRange(good), S_OK);
  ExpectRange(s, 0.2, 0.7);
  const double refused[][2] = {{0.3, 0.3}, {0.8, 0.1}, {kNaN, 0.5}, {0.1, kNaN}, {-kInf, kInf}};
  for (const auto& r : refused) EXPECT_EQ(s.SetRange(r), E_FAIL) << r[0] << " " << r[1];
  EXPECT_EQ(s.SetRange(nullptr), E_FAIL);
  ExpectRange(s, 0.2, 0.7);
}

// SetData takes the caller's pointers in order (null entries carried), resets the range only when asked,
// and keeps the stroke's own segments when they are passed back.
TEST(StrokeSetData, HoldsTheCallersPointersTheResetFlagDecidesTheRangeAndSetKeepsIt) {
  TAQMoStroke s;
  const double r[2] = {0.25, 0.5};
  s.SetRange(r);
  TAQUtVector<TAQMoStrokeData*> data;
  data.Append(Segment(Points(2)));
  data.Append(nullptr);
  data.Append(Segment(Points(3, 10.0)));
  EXPECT_EQ(s.SetData(data, false), S_OK);
  ExpectRange(s, 0.25, 0.5);
  TAQUtVector<TAQMoStrokeData*> out;
  s.GetData(out);
  ASSERT_EQ(out.Size(), 3u);
  EXPECT_EQ(out[0], data[0]);
  EXPECT_EQ(out[1], nullptr);
  EXPECT_EQ(out[2], data[2]);
  EXPECT_EQ(s.SetData(out, true), S_OK);
  ExpectRange(s, 0.0, 1.0);
  s.GetData(out);
  ASSERT_EQ(out.Size(), 3u);
  VORListValVORMathPoint p;
  out[2]->GetSourcePoints(p, nullptr);  // still alive (the sanitizer build would catch a freed read)
  EXPECT_EQ(p, Points(3, 10.0));

  // Set fills the fields, keeps the range, and replaces the anchors only when given a list.
  s.SetRange(r);
  s.SetAnchors(Ints({1, 3}));
  VORRawColldouble blends;
  TAQUtVector<TAQMoStrokeData*> set;
  set.Append(Segment(Points(3)));
  VORListValVORMathPlane targets;
  EXPECT_EQ(s.Set(true, 1, 7, 3.5, blends, set, targets, nullptr), S_OK);
  const snapshot::State after = snapshot::Take(s);
  EXPECT_EQ(after.type, 1);
  EXPECT_EQ(after.color, 7);
  EXPECT_EQ(after.width, 3.5);
  EXPECT_TRUE(after.isSketch);
  EXPECT_EQ(after.anchors, Ints({1, 3}));
  ExpectRange(s, 0.25, 0.5);
  VORRawCollint replaced = Ints({1, 2, 4});
  TAQUtVector<TAQMoStrokeData*> next;
  next.Append(Segment(Points(4)));
  s.Set(false, 1, 7, 3.5, blends, next, targets, &replaced);
  EXPECT_EQ(snapshot::Take(s).anchors, replaced);
}

// A copy, made or assigned, reads like its source through every accessor and holds the very same segment
// and record pointers; its value fields are its own.
TEST(StrokeCopy, ReadsLikeTheSourceAndSharesTheSegments) {
  TAQMoStroke s;
  snapshot::FillRecognisably(s);
  const snapshot::State source = snapshot::Take(s);
  TAQMoStroke copy(s);
  TAQMoStroke assigned;
  assigned = s;
  EXPECT_TRUE(snapshot::Same(source, copy));
  EXPECT_TRUE(snapshot::Same(source, assigned));
  copy.SetColor(11);
  const double range[2] = {0.5, 0.625};
  assigned.SetRange(range);
  EXPECT_TRUE(snapshot::Same(source, s));
  // Assigned to itself, a stroke keeps everything and its segments stay alive.
  TAQMoStroke& alias = s;
  s = alias;
  EXPECT_TRUE(snapshot::Same(source, s));
  VORListValVORMathPoint p;
  EXPECT_EQ(snapshot::Take(s).data[0].pointer->GetSourcePoints(p, nullptr), S_OK);
  EXPECT_EQ(p.Size(), 4);
}

// The unit length, once computed, and both curve caches travel with a copy: the copy answers like its
// source without computing anything again.
TEST(StrokeCopy, TakesTheUnitLengthAndBothCurveCaches) {
  VORGeoFactory factory;
  VORSoftwareConfiguration config;
  TAQMoStroke s;
  VORListValVORMathPoint line;
  for (int i = 0; i <= 200; ++i) line.Append(VORMathPoint(i, 0.01 * i * i, 0));
  TAQUtVector<TAQMoStrokeData*> data;
  data.Append(Segment(line));
  s.SetData(data, true);
  s.SetAnchors(Ints({1, 100, 201}));
  ASSERT_TRUE(s.Update(&config, &factory, nullptr));
  const double unit = s.GetUnitLength();
  ASSERT_GT(unit, 0.5);
  TAQUtVector<TAQMoStrokeData*> small;
  small.Append(Segment(Points(3)));
  s.SetData(small, false);  // the unit length stays as computed
  const long long made = factory.GetCreatedCurveCount();
  double whole[2] = {0.0, 1.0};
  VORListPtrVORCurve own, clones;
  ASSERT_TRUE(s.Evaluate(&factory, &config, own, nullptr, nullptr, nullptr, nullptr));
  ASSERT_TRUE(s.Evaluate(&factory, &config, clones, whole, nullptr, nullptr, nullptr));
  ASSERT_EQ(own.Size(), 1);
  ASSERT_NE(own, clones);
  TAQMoStroke copy(s);
  TAQMoStroke assigned;
  assigned = s;
  for (TAQMoStroke* c : {&copy, &assigned}) {
    EXPECT_EQ(c->GetUnitLength(), unit);
    VORListPtrVORCurve curves;
    ASSERT_TRUE(c->Evaluate(&factory, &config, curves, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(curves, own);
    ASSERT_TRUE(c->Evaluate(&factory, &config, curves, whole, nullptr, nullptr, nullptr));
    EXPECT_EQ(curves, clones);
  }
  EXPECT_EQ(factory.GetCreatedCurveCount(), made);
}

}  // namespace
