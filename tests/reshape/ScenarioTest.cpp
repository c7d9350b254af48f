// A user's editing session on real strokes: create in a view, set a range, then insert anchors, drag,
// bend an end, delete an anchor and cut to a range, updating after each step. After every step the
// stroke must be consistent and the drag must land on the refitted curve.
#include <gtest/gtest.h>

#include "../edit/EditTestSupport.h"
#include "TAQMoCSStrokeUtilities.h"
#include "TestGeometry.h"
#include "VORCurve.h"

namespace {

using namespace edit_test;

// Anchors well formed and a display polyline whose last split closes it.
void ExpectConsistent(TestStroke& s, const std::string& step) {
  SCOPED_TRACE(step);
  EXPECT_TRUE(AnchorsWellFormed(s));
  VORRawCollint splits;
  s.GetSplits(splits);
  VORListValVORMathPoint coords;
  s.GetCoords(coords);
  ASSERT_GT(coords.Size(), 1);
  ASSERT_GT(splits.Size(), 0);
  EXPECT_EQ(splits[splits.Size()], coords.Size());
}

TEST(EditingSession, StaysConsistentAndDragsLandOnTheCurve) {
  for (const std::string& file : SomeRealStrokes(20)) {
    SCOPED_TRACE(file);
    VORGeoFactory factory;
    VORSoftwareConfiguration config;
    TestStroke s;
    ASSERT_TRUE(MakeRealStroke(file, config, factory, s));
    ExpectConsistent(s, "created");

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
}

}  // namespace
