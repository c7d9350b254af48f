// A user's editing session on real strokes: create in a view, set a range, then insert anchors, drag,
// bend an end, delete an anchor and cut to a range, updating after each step. After every step the
// stroke must be consistent and the drag must land on the refitted curve.
#include <gtest/gtest.h>

#include <string>

#include "StrokeFiles.h"
#include "TAQMoCSStrokeUtilities.h"
#include "TestGeometry.h"
#include "TestStroke.h"
#include "VORCurve.h"
#include "VORGeoFactory.h"
#include "VORSoftwareConfiguration.h"

namespace {

// Anchors ascending, the first 1, the last the source-point count; a non-empty display polyline whose
// splits stay within it.
void ExpectConsistent(TestStroke& s, const std::string& step) {
  SCOPED_TRACE(step);
  VORRawCollint anchors;
  s.GetAnchors(anchors);
  VORListValVORMathPoint points;
  s.GetSourcePoints(points, nullptr, nullptr, nullptr, nullptr);
  ASSERT_GE(anchors.Size(), 2);
  EXPECT_EQ(anchors[1], 1);
  EXPECT_EQ(anchors[anchors.Size()], points.Size());
  for (int i = 2; i <= anchors.Size(); ++i) EXPECT_LT(anchors[i - 1], anchors[i]);
  bool sketch = false;
  int color = 0;
  double width = 0.0;
  VORRawCollint splits;
  VORListValVORMathPoint coords;
  s.GetDisplayData(sketch, color, width, splits, coords, nullptr);
  ASSERT_GT(coords.Size(), 1);
  EXPECT_EQ(splits[splits.Size()], coords.Size());
}

// The point a fraction of the way along the polyline by point count (between two display points).
VORMathPoint Along(const VORListValVORMathPoint& coords, double fraction) {
  const double t = 1.0 + fraction * (coords.Size() - 1);
  const int k = static_cast<int>(t);
  if (k >= coords.Size()) return coords[coords.Size()];
  return coords[k] + (coords[k + 1] - coords[k]) * (t - k);
}

void SetEndPointsFromTangents(TestStroke& s) {
  VORMathPoint ends[2];
  VORMathDirection dirs[2];
  if (!s.GetEndTangents(ends, dirs)) return;
  VORListValVORMathPoint e;
  e.Append(ends[0]);
  e.Append(ends[1]);
  s.SetEndPoints(e);
}

class EditingSession : public ::testing::TestWithParam<std::string> {};

TEST_P(EditingSession, StaysConsistentAndDragsLandOnTheCurve) {
  VORListValVORMathPoint drawn = LoadStrokePoints(GetParam());
  ASSERT_GT(drawn.Size(), 10);
  VORGeoFactory factory;
  VORSoftwareConfiguration config;
  TestStroke s;
  s.SetSketchPlane(VORMathPlane());
  ASSERT_EQ(TAQMoStroke::CreateInView(s, &config, &factory, true, true, 1, 2, 1.0, drawn,
                                      VORMathDirection(0.0, 0.0, -1.0), 0),
            S_OK);
  const double whole[2] = {0.0, 1.0};
  ASSERT_EQ(s.SetRange(whole), S_OK);
  ASSERT_TRUE(s.Update(&config, &factory, nullptr));
  ExpectConsistent(s, "created");
  SetEndPointsFromTangents(s);

  const double tol = TAQMoCSStrokeUtilities::mFitTolerance2D;
  for (int round = 0; round < 3; ++round) {
    VORListValVORMathPoint coords;
    s.GetCoords(coords);
    ASSERT_GE(coords.Size(), 2);

    // Insert an anchor a little off the stroke, between display points.
    const VORMathPoint near = Along(coords, 0.37) + VORMathVector(0.3, 0.2, 0.0);
    if (s.InsertAnchor(&config, &factory, near)) ASSERT_TRUE(s.Update(&config, &factory, nullptr));
    ExpectConsistent(s, "insert");

    // Drag a point of the stroke by a pen's move.
    s.GetCoords(coords);
    const VORMathPoint from = Along(coords, 0.55);
    const VORMathPoint to = from + VORMathVector(1.5, -1.0, 0.0);
    if (TestStroke::ReshapeCurve(&config, &factory, &s, from, to, false, false)) {
      VORListPtrVORCurve curves;
      ASSERT_TRUE(s.Evaluate(&factory, &config, curves, nullptr, nullptr, nullptr, nullptr));
      ASSERT_EQ(curves.Size(), 1);
      EXPECT_LE(DistanceToCurve(*curves[1], to), tol + 1e-6);
    }
    ExpectConsistent(s, "drag");
    SetEndPointsFromTangents(s);

    // Bend the start to a new tangent.
    VORListValVORMathPoint ends;
    s.GetEndPoints(ends);
    if (ends.Size() == 2) {
      s.UpdateEndTangent(&config, &factory, ends[1], VORMathDirection(), VORMathDirection(0.6, 0.8, 0.0), true);
      ASSERT_TRUE(s.Update(&config, &factory, nullptr));
      ExpectConsistent(s, "bend");
    }

    // Delete an inner anchor.
    VORRawCollint anchors;
    s.GetAnchors(anchors);
    if (anchors.Size() > 2) {
      s.DeleteAnchor(2);
      ASSERT_TRUE(s.Update(&config, &factory, nullptr));
      ExpectConsistent(s, "delete");
    }

    // Cut down to the middle of the stroke for good.
    const double middle[2] = {0.1, 0.9};
    ASSERT_EQ(s.SetRange(middle), S_OK);
    ASSERT_TRUE(s.Update(&config, &factory, nullptr));
    SetEndPointsFromTangents(s);
    if (TestStroke::HardSubsetStroke(&config, &factory, &s)) {
      double r[2];
      s.GetRange(r);
      EXPECT_DOUBLE_EQ(r[0], 0.0);
      EXPECT_DOUBLE_EQ(r[1], 1.0);
    }
    ExpectConsistent(s, "subset");
    SetEndPointsFromTangents(s);
  }
}

INSTANTIATE_TEST_SUITE_P(Real, EditingSession, ::testing::ValuesIn(SomeRealStrokes(20)));

}  // namespace
