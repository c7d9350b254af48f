// A stroke drawn in a view looks like what the hand drew, on every real stroke of the shared data: the
// display stays near the drawing both ways, wherever and however the stroke is drawn, and keeps the
// corners the hand made.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>

#include "StrokeFiles.h"
#include "TAQMoCSStrokeUtilities.h"
#include "TAQMoStroke.h"
#include "TestGeometry.h"
#include "VORGeoFactory.h"
#include "VORSoftwareConfiguration.h"

namespace {

using Points = VORListValVORMathPoint;

struct Drawn {
  Points display, anchors;
};

// The stroke drawn in the view looking down -z onto the plane z = 0, its whole range updated.
Drawn Draw(Points drawn, const std::string& file) {
  VORGeoFactory factory;
  VORSoftwareConfiguration config;
  TAQMoStroke s;
  s.SetSketchPlane(VORMathPlane());
  Drawn d;
  const double whole[2] = {0.0, 1.0};
  EXPECT_EQ(TAQMoStroke::CreateInView(s, &config, &factory, true, false, 1, 1, 1.0, drawn,
                                      VORMathDirection(0.0, 0.0, -1.0), 0),
            S_OK)
      << file;
  EXPECT_EQ(s.SetRange(whole), S_OK);
  EXPECT_TRUE(s.Update(&config, &factory, nullptr)) << file;
  bool isSketch = false;
  int color = 0;
  double width = 0.0;
  VORRawCollint splits;
  s.GetDisplayData(isSketch, color, width, splits, d.display, nullptr);
  s.GetAnchors(d.anchors);
  return d;
}

// The points mapped by f (all of them unchanged without f).
Points Map(const Points& in, const std::function<VORMathPoint(const VORMathPoint&)>& f) {
  Points out;
  for (const VORMathPoint& p : in) out.Append(f ? f(p) : p);
  return out;
}

double Directed(const Points& from, const Points& to) {
  double far = 0.0;
  for (const VORMathPoint& p : from) far = std::max(far, DistanceToPolyline(to, p));
  return far;
}

TEST(DrawnStrokeFidelity, TheDisplayAndTheDrawingStayNearEachOtherBothWays) {
  // Thinning keeps the thinned polyline within the fit tolerance of the drawn one, the fit keeps the
  // curve within it of the thinned points, and the display is within 0.1 of the curve.
  const double bound = 2.0 * TAQMoCSStrokeUtilities::mFitTolerance2D + 0.1 + 1e-6;
  for (const std::string& file : StrokeFiles("real")) {
    const Points drawn = LoadStrokePoints(file);
    const Drawn d = Draw(drawn, file);
    ASSERT_GT(d.display.Size(), 1) << file;
    EXPECT_LE(Directed(drawn, d.display), bound) << file << ": a drawn point is far from the display";
    EXPECT_LE(Directed(d.display, drawn), bound) << file << ": the display strays from the drawing";
  }
}

TEST(DrawnStrokeFidelity, CornersOfAZigZagBecomeAnchorsAndStaySharp) {
  for (double turn = 60.0; turn <= 150.0; turn += 30.0) {
    // Sides of 30 units sampled one unit apart, turning left and right alternately.
    Points drawn, corners;
    VORMathPoint p(0.0, 0.0, 0.0);
    double heading = 0.0;
    for (int side = 0; side < 5; ++side) {
      const VORMathVector step(std::cos(heading), std::sin(heading), 0.0);
      for (int k = 0; k < 30; ++k) drawn.Append(p + step * k);
      p = p + step * 30.0;
      if (side < 4) corners.Append(p);
      heading += (side % 2 == 0 ? 1.0 : -1.0) * turn * M_PI / 180.0;
    }
    drawn.Append(p);
    const Drawn d = Draw(drawn, "zig-zag");
    for (const VORMathPoint& c : corners) {
      double nearest = HUGE_VAL;
      for (const VORMathPoint& a : d.anchors) nearest = std::min(nearest, a.DistanceTo(c));
      EXPECT_LE(nearest, 1.0) << "turn " << turn << ": no anchor at a corner";
      // The display's directions 2 to 7 units before and after the corner turn by nearly the whole turn.
      const VORMathPoint* at = &d.display[1];
      for (const VORMathPoint& q : d.display)
        if (q.DistanceTo(c) < at->DistanceTo(c)) at = &q;
      const int i = static_cast<int>(at - &d.display[1]) + 1;
      int before = i, after = i;
      while (before > 1 && d.display[before].DistanceTo(c) < 7.0) --before;
      while (after < d.display.Size() && d.display[after].DistanceTo(c) < 7.0) ++after;
      const VORMathVector in = c - d.display[before], out = d.display[after] - c;
      const double turned = std::acos(in.Dot(out) / (in.GetNorm() * out.GetNorm())) * 180.0 / M_PI;
      EXPECT_GE(turned, 0.8 * turn) << "turn " << turn << ": the corner is rounded off";
    }
  }
}

TEST(DrawnStrokeFidelity, TheSameStrokeShowsTheSameCurveMovedTurnedOrReversed) {
  const double c = std::cos(37.0 * M_PI / 180.0), s = std::sin(37.0 * M_PI / 180.0);
  struct Move {
    const char* name;
    std::function<VORMathPoint(const VORMathPoint&)> to, back;
  };
  const Move moves[] = {
      {"moved far", [](const VORMathPoint& p) { return p + VORMathVector(1000.0, -2000.0, 0.0); },
       [](const VORMathPoint& p) { return p - VORMathVector(1000.0, -2000.0, 0.0); }},
      {"moved by a fraction", [](const VORMathPoint& p) { return p + VORMathVector(0.5, -0.25, 0.0); },
       [](const VORMathPoint& p) { return p - VORMathVector(0.5, -0.25, 0.0); }},
      {"turned about the view axis",
       [=](const VORMathPoint& p) { return VORMathPoint(c * p.GetX() - s * p.GetY(), s * p.GetX() + c * p.GetY(), p.GetZ()); },
       [=](const VORMathPoint& p) { return VORMathPoint(c * p.GetX() + s * p.GetY(), c * p.GetY() - s * p.GetX(), p.GetZ()); }},
      {"drawn the other way", nullptr, nullptr},
  };
  for (const std::string& file : StrokeFiles("real")) {
    const Points drawn = LoadStrokePoints(file);
    const Drawn base = Draw(drawn, file);
    for (const Move& m : moves) {
      Points moved = Map(drawn, m.to);
      if (!m.to) std::reverse(moved.begin(), moved.end());
      const Drawn other = Draw(moved, file);
      const Points back = Map(other.display, m.back);
      EXPECT_LE(std::max(Directed(back, base.display), Directed(base.display, back)), 0.05) << file << " " << m.name;
      EXPECT_EQ(other.anchors.Size(), base.anchors.Size()) << file << " " << m.name;
    }
  }
}

}  // namespace
