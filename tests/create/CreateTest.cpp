// Creating a stroke's data: points on reference planes grouped into segments by plane, and points drawn in
// a view carried onto the sketch plane. Refused input leaves the stroke exactly as it was.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "StrokeFiles.h"
#include "StrokeSnapshot.h"
#include "TestGeometry.h"
#include "TAQMoCSStrokeUtilities.h"
#include "TestStroke.h"

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

VORMathPlane PlaneAt(double x, double y, double z) { return VORMathPlane(VORMathPoint(x, y, z), VORMathVector(0, 0, 1)); }

// n points (i, 2i, 0) in 3D and (i, -i) in 2D, so that each position can be told apart.
void Numbered(int n, VORListValVORMathPoint2D& p2, VORListValVORMathPoint& p3) {
  for (int i = 1; i <= n; ++i) {
    p2.Append(VORMathPoint2D(i, -i));
    p3.Append(VORMathPoint(i, 2 * i, 0));
  }
}

// Success when segment holds exactly the 2D points p2 and the 3D points p3.
::testing::AssertionResult Holds(TAQMoStrokeData* segment, const VORListValVORMathPoint2D& p2,
                                 const VORListValVORMathPoint& p3) {
  VORListValVORMathPoint2D got2;
  VORListValVORMathPoint got3;
  segment->GetData(got2);
  segment->GetCoords(got3);
  if (got2 != p2) return ::testing::AssertionFailure() << "2D points differ";
  if (got3 != p3) return ::testing::AssertionFailure() << "3D points differ";
  return ::testing::AssertionSuccess();
}

// ---- Reference comparison ----

TEST(SameReference, ToleranceIsASquaredLengthAndEqualToItIsTheSame) {
  const VORMathPlane a = PlaneAt(0, 0, 0);
  // Origins 0.5 apart: squared distance 0.25.
  EXPECT_TRUE(TestStroke::IsSameReference(a, PlaneAt(0.5, 0, 0), 0.25));
  EXPECT_FALSE(TestStroke::IsSameReference(a, PlaneAt(0.5, 0, 0), 0.2499));
  // The same points turned a quarter about the normal: each direction differs by a squared length of 2.
  const VORMathPlane turned(VORMathPoint(0, 0, 0), VORMathVector(0, 1, 0), VORMathVector(-1, 0, 0));
  EXPECT_TRUE(TestStroke::IsSameReference(a, turned, 2.0));
  EXPECT_FALSE(TestStroke::IsSameReference(a, turned, 1.999));
  // Only the second direction differs (a shear of the coordinates, the same set of points).
  const VORMathPlane sheared(VORMathPoint(0, 0, 0), VORMathVector(1, 0, 0), VORMathVector(0, -1, 0));
  EXPECT_FALSE(TestStroke::IsSameReference(a, sheared, 1.0));
}

// ---- Segments from references ----

TEST(SegmentsFromReferences, GroupRunsOfTheSamePlaneOrMakeOneSegmentOfEverything) {
  const VORMathPlane A = PlaneAt(0, 0, 0), B = PlaneAt(0, 0, 5);
  // A hair off A (within the model resolution) still belongs to A's run.
  const VORMathPlane nearA = PlaneAt(0.0005, 0, 0);
  VORListValVORMathPlane planes;
  for (const VORMathPlane& p : {A, nearA, B, B, A}) planes.Append(p);
  VORListValVORMathPoint2D p2;
  VORListValVORMathPoint p3;
  Numbered(5, p2, p3);
  TAQUtVector<TAQMoStrokeData*> data;
  ASSERT_TRUE(TestStroke::CreateDataFromReferences(planes, p2, p3, data));
  ASSERT_EQ(data.Size(), 3u);
  const int firsts[3] = {1, 3, 5}, counts[3] = {2, 2, 1};
  const VORMathPlane bases[3] = {A, B, A};
  for (unsigned k = 0; k < 3; ++k) {
    SCOPED_TRACE(k);
    VORMathPlane base;
    data[k]->GetBase(base);
    EXPECT_TRUE(data[k]->IsRefDefined());
    EXPECT_TRUE(snapshot::SamePlane(base, bases[k]));
    VORListValVORMathPoint2D want2;
    VORListValVORMathPoint want3;
    for (int i = firsts[k]; i < firsts[k] + counts[k]; ++i) {
      want2.Append(p2[i]);
      want3.Append(p3[i]);
    }
    EXPECT_TRUE(Holds(data[k], want2, want3));
  }
  for (unsigned k = 0; k < data.Size(); ++k) delete data[k];

  // One plane: one segment on it of all the points. A single 2D point is no reference: one plain segment
  // of the 3D points, keeping the 2D point; the vector is emptied first without deleting what it held.
  VORListValVORMathPoint2D single;
  single.Append(VORMathPoint2D(7, 7));
  p3.RemovePosition(5);
  planes.RemoveAll();
  planes.Append(A);
  ASSERT_TRUE(TestStroke::CreateDataFromReferences(planes, p2, p3, data));
  ASSERT_EQ(data.Size(), 1u);
  TAQMoStrokeData* first = data[0];
  EXPECT_TRUE(first->IsRefDefined());
  EXPECT_TRUE(Holds(first, p2, p3));
  ASSERT_TRUE(TestStroke::CreateDataFromReferences(planes, single, p3, data));
  ASSERT_EQ(data.Size(), 1u);
  EXPECT_FALSE(data[0]->IsRefDefined());
  EXPECT_TRUE(Holds(data[0], single, p3));
  EXPECT_TRUE(Holds(first, p2, p3));  // still the caller's, alive
  delete first;
  delete data[0];
}

// ---- Filling a stroke from references ----

TEST(StrokeFromReferences, FillsTheAttributesAndKeepsTheRange) {
  for (bool addTarget : {true, false}) {
    SCOPED_TRACE(addTarget);
    TAQMoStroke s;
    snapshot::FillRecognisably(s);
    const snapshot::State before = snapshot::Take(s);
    VORListValVORMathPlane planes;
    for (const double z : {3.0, 3.0, 9.0}) planes.Append(PlaneAt(0, 0, z));
    VORListValVORMathPoint2D p2;
    VORListValVORMathPoint p3;
    Numbered(3, p2, p3);
    VORRawCollint anchors;
    anchors.Append(1);
    anchors.Append(3);
    ASSERT_EQ(TAQMoStroke::CreateFromReferences(s, false, addTarget, 1, 9, 4.0, planes, p2, p3,
                                                addTarget ? &anchors : nullptr),
              S_OK);
    const snapshot::State after = snapshot::Take(s);
    EXPECT_EQ(after.type, 1);
    EXPECT_EQ(after.color, 9);
    EXPECT_EQ(after.width, 4.0);
    EXPECT_EQ(after.isSketchResult, S_OK);
    EXPECT_FALSE(after.isSketch);
    EXPECT_EQ(after.range[0], before.range[0]);
    EXPECT_EQ(after.range[1], before.range[1]);
    EXPECT_EQ(after.data.size(), 2u);
    EXPECT_EQ(after.blends.Size(), 0);
    EXPECT_EQ(after.on3D, addTarget);
    ASSERT_EQ(after.targets.Size(), addTarget ? 1 : 0);
    if (addTarget) EXPECT_TRUE(snapshot::SamePlane(after.targets[1], before.sketchPlane));
    EXPECT_EQ(after.anchors, addTarget ? anchors : before.anchors);  // a null list keeps the stroke's anchors
  }
}

TEST(StrokeFromReferences, RefusedInputLeavesTheStrokeAsItWas) {
  struct Case {
    const char* what;
    VORListValVORMathPlane planes;
    VORListValVORMathPoint2D p2;
    VORListValVORMathPoint p3;
    bool withoutSketchPlane = false;
  };
  std::vector<Case> cases(9);
  const char* what[9] = {"no sketch plane", "no plane", "one point in each list", "planes not one per point",
                         "NaN 2D point", "infinite 3D point", "degenerate plane", "plane of parallel directions",
                         "fewer 3D points than planes"};
  for (int i = 0; i < 9; ++i) {
    cases[i].what = what[i];
    cases[i].planes.Append(PlaneAt(0, 0, 3));
    Numbered(i == 2 ? 1 : 4, cases[i].p2, cases[i].p3);
  }
  cases[0].withoutSketchPlane = true;
  cases[1].planes.RemoveAll();
  cases[3].planes.Append(PlaneAt(0, 0, 4));
  cases[3].planes.Append(PlaneAt(0, 0, 5));
  cases[4].p2[2] = VORMathPoint2D(kNaN, 0);
  cases[5].p3[4] = VORMathPoint(0, -kInf, 0);
  cases[6].planes[1] = VORMathPlane(VORMathPoint(0, 0, 0), VORMathVector(0, 0, 0));
  cases[7].planes[1] = VORMathPlane(VORMathPoint(0, 0, 0), VORMathVector(1, 0, 0), VORMathVector(2, 0, 0));
  for (int i = 0; i < 3; ++i) cases[8].planes.Append(PlaneAt(0, 0, i));  // nothing is read past the 3D list
  cases[8].p3.RemovePosition(4);
  for (Case& c : cases) {
    SCOPED_TRACE(c.what);
    TAQMoStroke s;
    snapshot::FillRecognisably(s);
    if (c.withoutSketchPlane) s.SetSketchPlaneDefined(false);
    const snapshot::State before = snapshot::Take(s);
    VORRawCollint anchors;
    anchors.Append(2);
    EXPECT_EQ(TAQMoStroke::CreateFromReferences(s, false, true, 1, 9, 4.0, c.planes, c.p2, c.p3, &anchors), E_FAIL);
    EXPECT_TRUE(snapshot::Same(before, s));
  }
}

// ---- Creation in a view ----

// The foot of p on plane along direction d.
VORMathPoint Foot(const VORMathPoint& p, const VORMathVector& d, const VORMathPlane& plane) {
  const VORMathVector n = plane.GetNormal().GetVector();
  return p + d * ((plane.GetOrigin() - p).Dot(n) / d.Dot(n));
}

const VORMathPlane kTilted(VORMathPoint(10, -20, 5), VORMathVector(0.2, 0.5, 1.0));
const VORMathVector kOblique(-0.3, 0.25, -1.0);

// Onto a tilted plane along an oblique view, keeping the range. Type 2: the 2D points are the feet along the
// view of the drawn points without repeats (and of a corner found halfway between two of them), which come
// back in the caller's list as the list the anchors refer to. Type 1: the drawing is flattened square to the view through its first point and thinned; what
// reaches the plane, carried back along the view, stays near the flattened drawing.
TEST(CreateInView, OntoATiltedPlaneThePointsAreTheFeetOfTheDrawnOrThinnedPointsAlongTheView) {
  const VORMathVector view = VORMathDirection(kOblique).GetVector();
  for (const std::string& file : SomeRealStrokes(10)) {
    const VORListValVORMathPoint drawn = LoadStrokePoints(file);
    for (const int type : {2, 1}) {
      SCOPED_TRACE(file + " type " + std::to_string(type));
      Kit k;
      VORListValVORMathPoint points = drawn;
      TAQMoStroke s;
      s.SetSketchPlane(kTilted);
      const double range[2] = {0.25, 0.5};
      s.SetRange(range);
      ASSERT_EQ(TAQMoStroke::CreateInView(s, &k.config, &k.factory, type == 1, type == 2, type, 3, 1.5, points,
                                          VORMathDirection(kOblique), 0),
                S_OK);
      TAQUtVector<TAQMoStrokeData*> segs;
      s.GetData(segs);
      ASSERT_EQ(segs.Size(), 1u);
      VORMathPlane base;
      segs[0]->GetBase(base);
      EXPECT_TRUE(segs[0]->IsRefDefined());
      EXPECT_TRUE(snapshot::SamePlane(base, kTilted));
      VORListValVORMathPoint stored3D, onPlane;
      segs[0]->GetCoords(stored3D);
      EXPECT_EQ(stored3D.Size(), 0);
      EXPECT_EQ(s.IsOn3D(), type == 2);
      double got[2];
      s.GetRange(got);
      EXPECT_EQ(got[0], 0.25);
      EXPECT_EQ(got[1], 0.5);
      ASSERT_EQ(segs[0]->GetSourcePoints(onPlane, nullptr), S_OK);
      ASSERT_GE(onPlane.Size(), 2);
      VORRawCollint anchors;
      s.GetAnchors(anchors);
      ASSERT_GE(anchors.Size(), 2);
      EXPECT_EQ(anchors[1], 1);
      EXPECT_EQ(anchors[anchors.Size()], onPlane.Size());
      for (int i = 2; i <= anchors.Size(); ++i) EXPECT_LT(anchors[i - 1], anchors[i]);
      double worst = 0.0;
      if (type == 2) {
        ASSERT_EQ(onPlane.Size(), points.Size());
        for (int i = 1; i <= onPlane.Size(); ++i) {
          EXPECT_LT(DistanceToPolyline(drawn, points[i]), 1e-12);
          worst = std::max(worst, onPlane[i].DistanceTo(Foot(points[i], view, kTilted)));
        }
        EXPECT_LT(worst, 1e-9);
        continue;
      }
      EXPECT_EQ(points, drawn);  // the caller's list is not the one the anchors refer to
      EXPECT_LT(onPlane.Size(), drawn.Size());
      const VORMathPlane viewPlane(drawn[1], view);
      VORListValVORMathPoint flat;
      for (const VORMathPoint& p : drawn) flat.Append(Foot(p, view, viewPlane));
      for (const VORMathPoint& p : onPlane) {
        worst = std::max(worst, std::fabs((p - kTilted.GetOrigin()).Dot(kTilted.GetNormal().GetVector())));
        // Thinning hands back smoothed points, each within half the fit tolerance of its drawn point.
        EXPECT_LE(DistanceToPolyline(flat, Foot(p, view, viewPlane)), 0.5 * TAQMoCSStrokeUtilities::mFitTolerance2D + 1e-6);
      }
      EXPECT_LT(worst, 1e-9);
      EXPECT_LT(onPlane[1].DistanceTo(Foot(drawn[1], view, kTilted)), 1e-9);
      EXPECT_LT(onPlane[onPlane.Size()].DistanceTo(Foot(drawn[drawn.Size()], view, kTilted)), 1e-9);
    }
  }
}

TEST(CreateInView, RefusedInputLeavesTheStrokeAndThePointsAsTheyWere) {
  const VORListValVORMathPoint real = LoadStrokePoints(StrokeFiles("real").front());
  ASSERT_GT(real.Size(), 5);
  struct Case {
    const char* what;
    VORListValVORMathPoint points;
    VORMathDirection view = VORMathDirection(0, 0, -1);
    bool noFactory = false;
    bool noSketchPlane = false;
    bool degeneratePlane = false;
  };
  std::vector<Case> cases;
  auto add = [&](const char* what) -> Case& {
    cases.push_back(Case());
    cases.back().what = what;
    cases.back().points = real;
    return cases.back();
  };
  auto repeated = [&](int n) {
    VORListValVORMathPoint p;
    for (int i = 0; i < n; ++i) p.Append(real[3]);
    return p;
  };
  add("no points").points = repeated(0);
  add("one point").points = repeated(1);
  add("one point repeated").points = repeated(5);
  add("NaN point").points[3] = VORMathPoint(1, kNaN, 0);
  add("infinite point").points[real.Size()] = VORMathPoint(kInf, 0, 0);
  add("view along the sketch plane").view = VORMathDirection(1, 1, 0);
  add("zero view direction").view = VORMathDirection(0, 0, 0);  // the direction rule makes it (1, 0, 0)
  add("no factory").noFactory = true;
  add("no sketch plane").noSketchPlane = true;
  add("degenerate sketch plane").degeneratePlane = true;
  for (const Case& c : cases) {
    for (int type : {1, 2}) {
      SCOPED_TRACE(std::string(c.what) + " type " + std::to_string(type));
      Kit k;
      TAQMoStroke s;
      snapshot::FillRecognisably(s);  // sketch plane z = 3
      if (c.noSketchPlane) s.SetSketchPlaneDefined(false);
      if (c.degeneratePlane) s.SetSketchPlane(VORMathPlane(VORMathPoint(0, 0, 3), VORMathVector(0, 0, 0)));
      const snapshot::State before = snapshot::Take(s);
      VORListValVORMathPoint points = c.points;
      EXPECT_EQ(TAQMoStroke::CreateInView(s, &k.config, c.noFactory ? nullptr : &k.factory, false, true, type, 1,
                                          1.0, points, c.view, 0),
                E_FAIL);
      EXPECT_TRUE(snapshot::Same(before, s));
      ASSERT_EQ(points.Size(), c.points.Size());
      for (int i = 1; i <= points.Size(); ++i)
        if (c.points[i].IsFinite()) EXPECT_EQ(points[i], c.points[i]);
    }
  }
}

}  // namespace
