// Cutting a stroke down to its range for good: which strokes are cut, which drawn anchor points survive
// (an anchor within 0.1 of a display piece of a display point becomes that point), and the end tangents
// of the cut.
#include <gtest/gtest.h>

#include "../edit/EditTestSupport.h"
#include "VORCurve.h"

namespace {

using namespace edit_test;

// A sketch stroke of type 1 drawn along x = 0..9 with its anchor 5 moved to anchor, shown over the range
// [0.2, 0.8] as the straight display polyline x = 0..9.
void MakeShownStroke(TestStroke& s, const VORMathPoint& anchor) {
  VORListValVORMathPoint drawn, shown;
  for (int i = 0; i < 10; ++i) shown.Append(VORMathPoint(i, 0, 0));
  drawn = shown;
  drawn[5] = anchor;
  MakePlainStroke(s, drawn, Ints({1, 5, 10}));
  s.SetCoords(shown);
  VORListValVORMathPoint ends;
  ends.Append(shown[1]);
  ends.Append(shown[10]);
  s.SetEndPoints(ends);
  const double range[2] = {0.2, 0.8};
  s.SetRange(range);
}

bool HasPoint(TestStroke& s, const VORMathPoint& p) { return s.Source().Locate(p, 1) > 0; }

TEST(HardSubset, OnlyASketchOfType1ShownOverLessThanItsWholeIsCut) {
  Kit k;
  EXPECT_FALSE(TestStroke::HardSubsetStroke(&k.config, &k.factory, nullptr));
  const double whole[2] = {0.0, 1.0}, nearlyWhole[2] = {0.0005, 1.0};
  VORListValVORMathPoint point;  // a range shown as a point: cutting to it would lose the stroke
  point.Append(VORMathPoint(4, 0, 0));
  point.Append(VORMathPoint(4, 0, 0));
  for (int guard = 0; guard < 5; ++guard) {
    TestStroke s;
    MakeShownStroke(s, VORMathPoint(3.5, 0.4, 0));
    if (guard == 0) s.SetRange(whole);
    if (guard == 1) s.SetRange(nearlyWhole);
    if (guard == 2) s.SetType(2);
    if (guard == 3) s.SetIsSketch(false);
    if (guard == 4) s.SetCoords(point);
    const snapshot::State before = snapshot::Take(s);
    EXPECT_FALSE(TestStroke::HardSubsetStroke(&k.config, &k.factory, &s)) << guard;
    EXPECT_TRUE(snapshot::Same(before, s)) << guard;
  }
}

TEST(HardSubset, AnAnchorBecomesADisplayPointWithinATenthOfAPieceAndIsInsertedOtherwise) {
  Kit k;
  // Feet at 4.15 (0.15 of a piece past point 4) and 4.95 (within 0.1 of point 5).
  TestStroke inserted, snapped;
  MakeShownStroke(inserted, VORMathPoint(3.15, 0.4, 0));
  MakeShownStroke(snapped, VORMathPoint(3.95, 0.4, 0));
  for (TestStroke* s : {&inserted, &snapped}) {
    ASSERT_TRUE(TestStroke::HardSubsetStroke(&k.config, &k.factory, s));
    double range[2];
    s->GetRange(range);
    EXPECT_EQ(range[0], 0.0);
    EXPECT_EQ(range[1], 1.0);
    EXPECT_TRUE(HasPoint(*s, VORMathPoint(0, 0, 0)));
    EXPECT_TRUE(HasPoint(*s, VORMathPoint(9, 0, 0)));
    EXPECT_FALSE(TestStroke::HardSubsetStroke(&k.config, &k.factory, s));  // now whole: nothing left to cut
  }
  EXPECT_TRUE(HasPoint(inserted, VORMathPoint(3.15, 0.4, 0)));
  EXPECT_FALSE(HasPoint(snapped, VORMathPoint(3.95, 0.4, 0)));
  EXPECT_TRUE(HasPoint(snapped, VORMathPoint(4, 0, 0)));
}

TEST(HardSubset, TheCutKeepsTheTangentsOfItsEndsOnEveryRealStroke) {
  OnSomeRealStrokes(20, [](const std::string&, VORSoftwareConfiguration& config, VORGeoFactory& factory,
                          TestStroke& s) {
    VORMathPoint stored[2], points[2];
    VORMathDirection storedDirections[2], directions[2];
    ASSERT_TRUE(s.GetEndTangents(stored, storedDirections));
    double none[2] = {0.0, 1.0};
    EXPECT_FALSE(TestStroke::GetSubsetEndTangents(nullptr, &factory, &s, none, points, directions));
    EXPECT_FALSE(TestStroke::GetSubsetEndTangents(&config, &factory, nullptr, none, points, directions));
    // Only the end that is cut changes: to the cut curve's end point and its tangent there.
    double firstHalf[2] = {0.0, 0.5}, lastPart[2] = {0.25, 1.0};
    for (double* range : {none, firstHalf, lastPart}) {
      ASSERT_TRUE(TestStroke::GetSubsetEndTangents(&config, &factory, &s, range, points, directions));
      VORListPtrVORCurve cut;
      ASSERT_TRUE(s.Evaluate(&factory, &config, cut, range, nullptr, nullptr, nullptr));
      ASSERT_EQ(cut.Size(), 1);
      for (int i = 0; i < 2; ++i) {
        if (range[i] == static_cast<double>(i)) {
          EXPECT_EQ(points[i], stored[i]) << range[0] << " " << i;
          EXPECT_EQ(directions[i], storedDirections[i]) << range[0] << " " << i;
          continue;
        }
        const VORCrvParam at = i == 0 ? cut[1]->GetStartLimit() : cut[1]->GetEndLimit();
        EXPECT_LT(points[i].DistanceTo(cut[1]->EvalPoint(at)), 1e-6) << range[0] << " " << i;
        EXPECT_NEAR(directions[i].Dot(VORMathDirection(cut[1]->EvalFirstDerivative(at)).GetVector()), 1.0, 1e-9);
      }
    }
    // Cut for good with the tangents imposed, the stroke leaves its new ends along the cut's tangents.
    const double range[2] = {0.2, 0.7};
    VORRawColldouble blends;
    blends.Append(1.0);
    blends.Append(1.0);
    s.SetBlends(blends);
    s.SetRange(range);
    ASSERT_TRUE(s.Update(&config, &factory, nullptr));
    ASSERT_TRUE(TestStroke::GetSubsetEndTangents(&config, &factory, &s, const_cast<double*>(range), points,
                                                 directions));
    ASSERT_TRUE(TestStroke::HardSubsetStroke(&config, &factory, &s));
    VORMathPoint after[2];
    VORMathDirection afterDirections[2];
    ASSERT_TRUE(s.GetEndTangents(after, afterDirections));
    for (int i = 0; i < 2; ++i) EXPECT_NEAR(afterDirections[i].Dot(directions[i].GetVector()), 1.0, 1e-4) << i;
  });
}

}  // namespace
