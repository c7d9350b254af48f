// A stroke drawn in a view looks like what the hand drew, on every real stroke of the shared data: the
// display stays near the drawing both ways, wherever and however the stroke is drawn, and keeps the
// corners the hand made.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

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

// Arc-length positions along a polyline, and its turn between the chords to the points d behind and d
// ahead of a position.
struct Arc {
  explicit Arc(const Points& points) : p(points), s(static_cast<size_t>(points.Size()), 0.0) {
    for (int i = 2; i <= p.Size(); ++i) s[static_cast<size_t>(i - 1)] = s[static_cast<size_t>(i - 2)] + p[i].DistanceTo(p[i - 1]);
  }
  VORMathPoint At(double t) const {
    const size_t k = std::min(static_cast<size_t>(std::upper_bound(s.begin(), s.end(), t) - s.begin()), s.size() - 1);
    if (k == 0) return p[1];
    const double f = (t - s[k - 1]) / std::max(s[k] - s[k - 1], 1e-300);
    return p[static_cast<int>(k)] + (p[static_cast<int>(k) + 1] - p[static_cast<int>(k)]) * std::min(f, 1.0);
  }
  double Turn(double t, double d) const {
    const VORMathVector u = At(t) - At(t - d), v = At(t + d) - At(t);
    return std::acos(std::max(-1.0, std::min(1.0, u.Dot(v) / (u.GetNorm() * v.GetNorm())))) * 180.0 / M_PI;
  }
  double Length() const { return s.back(); }
  Points p;
  std::vector<double> s;
};

TEST(DrawnStrokeFidelity, SmoothShapesDrawnWithJitterTurnNearlyAsTheTruthDoes) {
  // Circles, a sine and a spiral sampled one unit apart with jitter of sigma 0.15 (Box-Muller on a fixed
  // linear congruential sequence), several samples each: away from the ends, the display turns over
  // chords of 5 units at most 8 degrees more than the noise-free shape does there. A kink, or a fold
  // where the curve runs ahead and back, turns by tens of degrees.
  const std::function<VORMathPoint(double)> shapes[] = {
      [](double u) { return VORMathPoint(20.0 * std::cos(2 * M_PI * u), 20.0 * std::sin(2 * M_PI * u), 0.0); },
      [](double u) { return VORMathPoint(50.0 * std::cos(2 * M_PI * u), 50.0 * std::sin(2 * M_PI * u), 0.0); },
      [](double u) { return VORMathPoint(189.0 * u, 10.0 * std::sin(6 * M_PI * u), 0.0); },
      [](double u) {
        const double th = 8 * M_PI * u, r = 5.0 + 2.0 * th;
        return VORMathPoint(r * std::cos(th), r * std::sin(th), 0.0);
      }};
  unsigned long long state = 12345;
  auto uniform = [&state]() {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    return (static_cast<double>(state >> 11) + 0.5) / 9007199254740992.0;
  };
  for (const auto& shape : shapes) {
    Points dense;
    for (int i = 0; i <= 4000; ++i) dense.Append(shape(i / 4000.0));
    const Arc truth(dense);
    const int n = static_cast<int>(std::ceil(truth.Length()));
    for (int sample = 0; sample < 8; ++sample) {
      Points pen;
      for (int i = 0; i <= n; ++i) {
        const double r = 0.15 * std::sqrt(-2.0 * std::log(uniform())), a = 2.0 * M_PI * uniform();
        pen.Append(truth.At(truth.Length() * i / n) + VORMathVector(r * std::cos(a), r * std::sin(a), 0.0));
      }
      const Arc display(Draw(pen, "jittered shape").display);
      double worst = 0.0, where = 0.0;
      for (double t = 5.0; t <= display.Length() - 5.0; t += 0.5) {
        // The same place on the truth, by the nearest of its dense points.
        const VORMathPoint q = display.At(t);
        size_t foot = 0;
        for (size_t k = 0; k < truth.s.size(); ++k)
          if (truth.p[static_cast<int>(k) + 1].SquareDistanceTo(q) < truth.p[static_cast<int>(foot) + 1].SquareDistanceTo(q)) foot = k;
        const double excess = display.Turn(t, 5.0) - truth.Turn(std::min(std::max(truth.s[foot], 5.0), truth.Length() - 5.0), 5.0);
        if (excess > worst) {
          worst = excess;
          where = t;
        }
      }
      EXPECT_LE(worst, 8.0) << "shape " << (&shape - shapes) << " sample " << sample << " at " << where;
    }
  }
}

// A stroke drawn three or ten times larger (on a view zoomed out as far, its pixel steps as much larger)
// is smoothed, thinned and fitted relative to its size: its display holds about the points it holds at
// its own size and, mapped back, stays about as near the drawing (the noisiest stroke of the set comes
// to 1.15 at three times). Thinned and fitted at the tolerance in model units alone, it followed every
// pixel step with twice the display points.
TEST(DrawnStrokeFidelity, AStrokeDrawnLargerShowsTheCurveItShowsAtItsOwnSize) {
  const double bound = 2.0 * TAQMoCSStrokeUtilities::mFitTolerance2D + 0.2;
  auto by = [](double f) {
    return [f](const VORMathPoint& p) { return VORMathPoint(p.GetX() * f, p.GetY() * f, 0.0); };
  };
  long own = 0, large[2] = {0, 0};
  for (const std::string& file : StrokeFiles("real")) {
    const Points drawn = LoadStrokePoints(file);
    own += Draw(drawn, file).display.Size();
    for (int k = 0; k < 2; ++k) {
      const double scale = k == 0 ? 3.0 : 10.0;
      const Drawn d = Draw(Map(drawn, by(scale)), file);
      const Points back = Map(d.display, by(1.0 / scale));
      EXPECT_LE(std::max(Directed(drawn, back), Directed(back, drawn)), bound) << file << " at " << scale;
      large[k] += d.display.Size();
    }
  }
  EXPECT_LE(large[0], 1.5 * own) << "display points at 3 times the size";
  EXPECT_LE(large[1], 1.5 * own) << "display points at 10 times the size";
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
