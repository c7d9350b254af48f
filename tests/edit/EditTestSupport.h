// Strokes and checks shared by the editing and reshaping tests: real strokes drawn on the plane z = 0
// seen from +z, small synthetic strokes and the anchor invariant; StrokeSnapshot.h checks "nothing changed".
#ifndef EditTestSupport_h
#define EditTestSupport_h

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "PlaneRuns.h"
#include "StrokeFiles.h"
#include "StrokeSnapshot.h"
#include "TestStroke.h"
#include "VORGeoFactory.h"
#include "VORSoftwareConfiguration.h"
#include "TestLists.h"

// Anchor lists read as their values in failure messages.
inline void PrintTo(const VORRawCollint& list, std::ostream* os) {
  *os << "{";
  for (int i = 1; i <= list.Size(); ++i) *os << (i > 1 ? ", " : "") << list[i];
  *os << "}";
}

namespace edit_test {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

// Anchors ascending, the first 1 and the last the source-point count.
inline ::testing::AssertionResult AnchorsWellFormed(TAQMoStroke& s) {
  VORRawCollint anchors;
  s.GetAnchors(anchors);
  VORListValVORMathPoint points;
  s.GetSourcePoints(points, nullptr, nullptr, nullptr, nullptr);
  if (anchors.Size() < 2) return ::testing::AssertionFailure() << anchors.Size() << " anchors";
  if (anchors[1] != 1) return ::testing::AssertionFailure() << "first anchor " << anchors[1];
  if (anchors[anchors.Size()] != points.Size())
    return ::testing::AssertionFailure() << "last anchor " << anchors[anchors.Size()] << " of " << points.Size()
                                         << " source points";
  for (int i = 2; i <= anchors.Size(); ++i)
    if (!(anchors[i - 1] < anchors[i]))
      return ::testing::AssertionFailure() << "anchors " << anchors[i - 1] << ", " << anchors[i] << " at " << i;
  return ::testing::AssertionSuccess();
}

// The end points the caller keeps in step with the stroke (as an application does after each update).
inline void SetEndPointsFromTangents(TAQMoStroke& s) {
  VORMathPoint ends[2];
  VORMathDirection dirs[2];
  if (!s.GetEndTangents(ends, dirs)) return;
  VORListValVORMathPoint e;
  e.Append(ends[0]);
  e.Append(ends[1]);
  s.SetEndPoints(e);
}

// A real stroke drawn in the view looking down -z onto the sketch plane z = 0, as type 1, its whole range
// set and its geometry computed.
inline ::testing::AssertionResult MakeRealStroke(const std::string& file, VORSoftwareConfiguration& config,
                                                 VORGeoFactory& factory, TAQMoStroke& s) {
  VORListValVORMathPoint drawn = LoadStrokePoints(file);
  if (drawn.Size() < 10) return ::testing::AssertionFailure() << file << ": " << drawn.Size() << " points";
  s.SetSketchPlane(VORMathPlane());
  if (TAQMoStroke::CreateInView(s, &config, &factory, true, true, 1, 2, 1.0, drawn, VORMathDirection(0.0, 0.0, -1.0),
                                0) != S_OK)
    return ::testing::AssertionFailure() << file << ": not created";
  const double whole[2] = {0.0, 1.0};
  s.SetRange(whole);
  if (!s.Update(&config, &factory, nullptr)) return ::testing::AssertionFailure() << file << ": no geometry";
  SetEndPointsFromTangents(s);
  return ::testing::AssertionSuccess();
}

// Runs check(file, config, factory, s) on each of SomeRealStrokes(n), made by MakeRealStroke in a factory of
// its own; a failure names the stroke's file.
template <typename Check>
void OnSomeRealStrokes(int n, Check check) {
  for (const std::string& file : SomeRealStrokes(n)) {
    SCOPED_TRACE(file);
    VORGeoFactory factory;
    VORSoftwareConfiguration config;
    TestStroke s;
    ASSERT_TRUE(MakeRealStroke(file, config, factory, s));
    check(file, config, factory, s);
  }
}

// The point a fraction of the way along a polyline by point count (between two of its points).
inline VORMathPoint Along(const VORListValVORMathPoint& p, double fraction) {
  const double t = 1.0 + fraction * (p.Size() - 1);
  const int k = static_cast<int>(t);
  if (k >= p.Size()) return p[p.Size()];
  return p[k] + (p[k + 1] - p[k]) * (t - k);
}

// n points along a wave in the plane z = 0, one unit apart in x.
inline VORListValVORMathPoint Wave(int n, double amplitude = 3.0) {
  VORListValVORMathPoint p;
  for (int i = 0; i < n; ++i) p.Append(VORMathPoint(i, amplitude * std::sin(0.3 * i), 0.0));
  return p;
}

// A stroke of one segment without reference holding points, with anchors, its range whole.
inline void MakePlainStroke(TAQMoStroke& s, const VORListValVORMathPoint& points, const VORRawCollint& anchors,
                            int type = 1) {
  TAQUtVector<TAQMoStrokeData*> data;
  TAQMoStrokeData* segment = new TAQMoStrokeData;
  segment->SetCoords(points);
  data.Append(segment);
  VORRawColldouble blends;
  VORListValVORMathPlane targets;
  VORRawCollint a = anchors;
  s.Set(true, type, 1, 1.0, blends, data, targets, &a);
  const double whole[2] = {0.0, 1.0};
  s.SetRange(whole);
}

}  // namespace edit_test

#endif
