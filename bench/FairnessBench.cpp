// How the curve a user draws looks once it is on the screen: strokes drawn in a view (CreateInView, then
// Update), measured against what they should look like. A measuring program, not a test: it prints its
// figures and never fails on them.
//
//  - Ground-truth shapes made here (circles, sines, a spiral), sampled one unit apart like a pen, clean
//    and with jitter of sigma 0.15: the largest turn of the display beyond the truth's turn over the same
//    arc (chords of 5 units each side), the largest distance between display and noise-free truth (both
//    ways), the control points of the stroke's curve beside those of a fit of the drawn points alone, and
//    the time of CreateInView + Update. Beside them, the excess turn of the fit of the drawn points alone,
//    shown at the same chordal deviation (a thousandth of the reach).
//    With "sweep N" as arguments, only the worst excess turns over the jitter seeds 1 to N, of both.
//  - Corners: zig-zags with turns of 60 to 150 degrees and the synthetic corners-* strokes: the distance
//    of each true corner from the nearest anchor, and the display's turn there as a share of the true turn.
//  - The real strokes of the shared data: the farthest drawn point from the display and the farthest
//    display point from the drawn polyline; how much the display changes (Hausdorff distance, mapped back)
//    when the stroke is drawn moved, rotated about the view axis or in reverse order; the anchor count.
//  - Large strokes (real strokes scaled by 3 to 1e12): display points against the stroke at its own
//    size, control points and anchors of all of them against theirs at own size, how far the display and
//    the drawing lie apart (mapped back), and at 1e12 the time of drawing and of a hard subset.
//  - Time over the real strokes: CreateInView + Update, and the fit of the drawn points alone.
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cmath>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "StrokeFiles.h"
#include "TAQMoCSStrokeUtilities.h"
#include "TestStroke.h"
#include "VORCurve.h"
#include "VORGeoFactory.h"
#include "VORSoftwareConfiguration.h"

namespace {

using Clock = std::chrono::steady_clock;
using Points = VORListValVORMathPoint;

double Seconds(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

// What a stroke drawn in a view shows.
struct Drawn {
  bool ok = false;
  Points display;
  Points anchors;  // the anchor points, in stroke order
  int poles = 0;
};

Drawn Draw(const Points& points, VORGeoFactory& factory, VORSoftwareConfiguration& config) {
  Drawn d;
  Points drawn = points;
  TestStroke s;
  s.SetSketchPlane(VORMathPlane());
  if (TAQMoStroke::CreateInView(s, &config, &factory, true, true, 1, 2, 1.0, drawn, VORMathDirection(0.0, 0.0, -1.0),
                                0) != S_OK)
    return d;
  const double whole[2] = {0.0, 1.0};
  VORListPtrVORCurve curves;
  if (s.SetRange(whole) != S_OK || !s.Update(&config, &factory, &curves)) return d;
  for (VORCurve* c : curves) d.poles += c->GetPoleCount();
  bool sketch = false;
  int color = 0;
  double width = 0.0;
  VORRawCollint splits;
  s.GetDisplayData(sketch, color, width, splits, d.display, nullptr);
  Points source;
  s.GetSourcePoints(source, nullptr, nullptr, nullptr, nullptr);
  VORRawCollint anchors;
  s.GetAnchors(anchors);
  for (int a : anchors)
    if (a >= 1 && a <= source.Size()) d.anchors.Append(source[a]);
  d.ok = d.display.Size() > 1;
  VORListPtrVORCurve all;
  factory.GetCurves(all);
  for (VORCurve* c : all) factory.Remove(c);
  return d;
}

double SegmentDistance(const VORMathPoint& p, const VORMathPoint& a, const VORMathPoint& b) {
  const VORMathVector ab = b - a;
  const double len2 = ab.GetSquareNorm();
  double f = len2 > 0.0 ? (p - a).Dot(ab) / len2 : 0.0;
  f = std::max(0.0, std::min(1.0, f));
  return p.DistanceTo(a + ab * f);
}

// Distance of p from a polyline, and the arc length of its foot.
double ToPolyline(const Points& line, const VORMathPoint& p, double* footArc = nullptr) {
  double best = HUGE_VAL, arc = 0.0, bestArc = 0.0;
  if (line.Size() == 1) return p.DistanceTo(line[1]);
  for (int i = 2; i <= line.Size(); ++i) {
    const double d = SegmentDistance(p, line[i - 1], line[i]);
    const double len = line[i].DistanceTo(line[i - 1]);
    if (d < best) {
      best = d;
      const VORMathVector ab = line[i] - line[i - 1];
      const double f = len > 0.0 ? std::max(0.0, std::min(1.0, (p - line[i - 1]).Dot(ab) / (len * len))) : 0.0;
      bestArc = arc + f * len;
    }
    arc += len;
  }
  if (footArc) *footArc = bestArc;
  return best;
}

// Largest distance of a point of a from the polyline b.
double Directed(const Points& a, const Points& b) {
  double worst = 0.0;
  for (const VORMathPoint& p : a) worst = std::max(worst, ToPolyline(b, p));
  return worst;
}

double Hausdorff(const Points& a, const Points& b) { return std::max(Directed(a, b), Directed(b, a)); }

// A polyline with its arc lengths, evaluated at any arc length (clamped).
struct Arc {
  Points p;
  std::vector<double> s;
  explicit Arc(const Points& points) : p(points), s(static_cast<size_t>(points.Size()), 0.0) {
    for (int i = 2; i <= p.Size(); ++i) s[static_cast<size_t>(i - 1)] = s[static_cast<size_t>(i - 2)] + p[i].DistanceTo(p[i - 1]);
  }
  double Length() const { return s.back(); }
  VORMathPoint At(double t) const {
    if (t <= 0.0) return p[1];
    if (t >= Length()) return p[p.Size()];
    const size_t k = static_cast<size_t>(std::upper_bound(s.begin(), s.end(), t) - s.begin());  // s[k-1] <= t < s[k]
    const double f = (t - s[k - 1]) / (s[k] - s[k - 1]);
    return p[static_cast<int>(k)] + (p[static_cast<int>(k) + 1] - p[static_cast<int>(k)]) * f;
  }
  // Turn in degrees between the chords [t - far, t - near] and [t + near, t + far].
  double Turn(double t, double nearGap, double farGap) const {
    const VORMathVector u = At(t - nearGap) - At(t - farGap), v = At(t + farGap) - At(t + nearGap);
    const double c = u.Dot(v) / (u.GetNorm() * v.GetNorm());
    return std::isfinite(c) ? std::acos(std::max(-1.0, std::min(1.0, c))) * 180.0 / M_PI : 0.0;
  }
};

// ---- Ground-truth shapes ----

// A smooth curve given by a point function on [0, 1], densely sampled (the truth) and sampled about one
// unit apart from end to end (what a pen gives), optionally jittered.
struct Shape {
  std::string name;
  std::function<VORMathPoint(double)> f;
};

Points Dense(const Shape& shape, int n) {
  Points out;
  for (int i = 0; i <= n; ++i) out.Append(shape.f(static_cast<double>(i) / n));
  return out;
}

Points PenSamples(const Arc& truth, double spacing, double sigma, unsigned seed) {
  std::mt19937 rng(seed);
  std::normal_distribution<double> noise(0.0, sigma);
  Points out;
  // Evenly along the whole truth, ends included.
  const int n = std::max(1, static_cast<int>(std::ceil(truth.Length() / spacing)));
  for (int i = 0; i <= n; ++i) {
    const VORMathPoint q = truth.At(truth.Length() * i / n);
    out.Append(sigma > 0.0 ? VORMathPoint(q.GetX() + noise(rng), q.GetY() + noise(rng), 0.0) : q);
  }
  return out;
}

std::vector<Shape> Shapes() {
  auto circle = [](double r) {
    return [r](double u) { return VORMathPoint(r * std::cos(2 * M_PI * u), r * std::sin(2 * M_PI * u), 0.0); };
  };
  auto sine = [](double amp, double period, double periods) {
    return [=](double u) {
      const double x = u * periods * period;
      return VORMathPoint(x, amp * std::sin(2 * M_PI * x / period), 0.0);
    };
  };
  return {
      {"circle r20", circle(20.0)},
      {"circle r50", circle(50.0)},
      {"sine 30/188", sine(30.0, 188.0, 2.0)},
      {"sine 10/63", sine(10.0, 63.0, 3.0)},
      {"spiral", [](double u) {
         const double th = u * 8 * M_PI, r = 5.0 + 2.0 * th;
         return VORMathPoint(r * std::cos(th), r * std::sin(th), 0.0);
       }},
  };
}

// Largest turn of the display beyond the truth's over the same arc, away from the ends.
double ExcessTurn(const Points& display, const Arc& truth) {
  const Arc d(display);
  constexpr double kChord = 5.0;
  double worst = -HUGE_VAL;
  for (int i = 2; i < display.Size(); ++i) {
    const double t = d.s[static_cast<size_t>(i - 1)];
    if (t < kChord || t > d.Length() - kChord) continue;
    double foot = 0.0;
    ToPolyline(truth.p, display[i], &foot);
    if (foot < kChord || foot > truth.Length() - kChord) continue;
    worst = std::max(worst, d.Turn(t, 0.0, kChord) - truth.Turn(foot, 0.0, kChord));
  }
  return worst;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0.0 : v[v.size() / 2];
}

// The display of a curve as a stroke of these points shows it: at a thousandth of their reach.
Points Shown(const VORCurve* curve, const Points& points) {
  double c[3] = {0.0, 0.0, 0.0};
  for (const VORMathPoint& p : points) c[0] += p.GetX(), c[1] += p.GetY(), c[2] += p.GetZ();
  const VORMathPoint centroid(c[0] / points.Size(), c[1] / points.Size(), c[2] / points.Size());
  double reach = 0.0;
  for (const VORMathPoint& p : points) reach = std::max(reach, p.DistanceTo(centroid));
  Points out;
  TAQMoCSStrokeUtilities::Tessellate(curve, 1e-3 * reach, out);
  return out;
}

// Worst excess turns over all shapes, of the stroke drawn in a view and of the direct fit.
struct Worst {
  double view = 0.0, direct = 0.0;
};

Worst TruthShapes(VORGeoFactory& factory, VORSoftwareConfiguration& config, unsigned seed, bool quiet = false) {
  if (!quiet) {
    std::printf("\nGround-truth shapes drawn in a view (CreateInView + Update)\n");
    std::printf("%-22s %8s %8s %10s %10s %8s %8s %10s\n", "shape", "points", "excess°", "truth dist", "ctrl pts",
                "direct", "direct°", "time µs");
  }
  Worst worst;
  double worstTurn = 0.0, worstDist = 0.0;
  int poles = 0, direct = 0;
  for (const Shape& shape : Shapes()) {
    const Arc truth(Dense(shape, 40000));
    for (double sigma : {0.0, 0.15}) {
      const Points pen = PenSamples(truth, 1.0, sigma, seed);
      Drawn d = Draw(pen, factory, config);
      if (!d.ok) {
        std::printf("%-22s no stroke\n", shape.name.c_str());
        continue;
      }
      std::vector<double> times;
      for (int r = 0; r < (quiet ? 0 : 7); ++r) {
        const auto t0 = Clock::now();
        Draw(pen, factory, config);
        times.push_back(Seconds(t0, Clock::now()) * 1e6);
      }
      VORCurve* fit = TAQMoCSStrokeUtilities::CreateFitCurve(&factory, nullptr, pen, nullptr, nullptr, nullptr);
      const int fitPoles = fit ? fit->GetPoleCount() : 0;
      const double directExcess = fit ? ExcessTurn(Shown(fit, pen), truth) : 0.0;
      if (fit) factory.Remove(fit);
      const double excess = ExcessTurn(d.display, truth);
      worst.view = std::max(worst.view, excess);
      worst.direct = std::max(worst.direct, directExcess);
      if (quiet) continue;
      Points coarseTruth;
      for (int i = 1; i <= truth.p.Size(); i += 20) coarseTruth.Append(truth.p[i]);
      const double dist = std::max(Directed(d.display, truth.p), Directed(coarseTruth, d.display));
      worstTurn = std::max(worstTurn, excess);
      worstDist = std::max(worstDist, dist);
      poles += d.poles;
      direct += fitPoles;
      const std::string name = shape.name + (sigma > 0.0 ? " jitter" : " clean");
      std::printf("%-22s %8d %8.2f %10.3f %10d %8d %8.2f %10.1f\n", name.c_str(), pen.Size(), excess, dist, d.poles,
                  fitPoles, directExcess, Median(times));
    }
  }
  if (!quiet)
    std::printf("%-22s %8s %8.2f %10.3f %10d %8d %8.2f   (goals: 3°, 0.5, direct + 20%%)\n", "worst / total", "",
                worstTurn, worstDist, poles, direct, worst.direct);
  return worst;
}

// The worst excess turn of each jitter seed 1 to n, of the strokes drawn in a view and of the direct
// fit: how much one sample of the jitter decides.
void SeedSweep(VORGeoFactory& factory, VORSoftwareConfiguration& config, unsigned n) {
  std::printf("Worst excess turn (degrees) over the ground-truth shapes, per jitter seed\n");
  std::printf("%6s %8s %8s\n", "seed", "view", "direct");
  Worst sum, most;
  unsigned viewMet = 0, directMet = 0;
  for (unsigned seed = 1; seed <= n; ++seed) {
    const Worst w = TruthShapes(factory, config, seed, true);
    std::printf("%6u %8.2f %8.2f\n", seed, w.view, w.direct);
    sum.view += w.view;
    sum.direct += w.direct;
    most.view = std::max(most.view, w.view);
    most.direct = std::max(most.direct, w.direct);
    viewMet += w.view <= 3.0;
    directMet += w.direct <= 3.0;
  }
  std::printf("%6s %8.2f %8.2f\n%6s %8.2f %8.2f\n%6s %8u %8u\n", "mean", sum.view / n, sum.direct / n, "most",
              most.view, most.direct, "<= 3°", viewMet, directMet);
}

// ---- Corners ----

// A zig-zag of sides long, turning by turn degrees alternately left and right, sampled one unit apart.
Points ZigZag(double turn, double side, int sides, std::vector<VORMathPoint>& corners) {
  Points vertices;
  VORMathPoint p(0.0, 0.0, 0.0);
  double heading = 0.0;
  vertices.Append(p);
  for (int k = 0; k < sides; ++k) {
    p = p + VORMathVector(std::cos(heading), std::sin(heading), 0.0) * side;
    vertices.Append(p);
    if (k + 1 < sides) corners.push_back(p);
    heading += (k % 2 == 0 ? 1.0 : -1.0) * turn * M_PI / 180.0;
  }
  return vertices;
}

void CornerRow(const std::string& name, const Points& pen, const std::vector<VORMathPoint>& corners, double trueTurn,
               VORGeoFactory& factory, VORSoftwareConfiguration& config) {
  Drawn d = Draw(pen, factory, config);
  if (!d.ok) {
    std::printf("%-24s no stroke\n", name.c_str());
    return;
  }
  const Arc display(d.display);
  double farAnchor = 0.0, least = HUGE_VAL;
  for (const VORMathPoint& c : corners) {
    double nearest = HUGE_VAL;
    for (const VORMathPoint& a : d.anchors) nearest = std::min(nearest, a.DistanceTo(c));
    farAnchor = std::max(farAnchor, nearest);
    double foot = 0.0;
    ToPolyline(d.display, c, &foot);
    least = std::min(least, display.Turn(foot, 2.0, 7.0) / trueTurn);
  }
  std::printf("%-24s %8d %8zu %8d %12.3f %12.0f%%\n", name.c_str(), pen.Size(), corners.size(), d.anchors.Size() - 2,
              farAnchor, 100.0 * least);
}

void Corners(VORGeoFactory& factory, VORSoftwareConfiguration& config) {
  std::printf("\nCorners (goals: an anchor within 1 of every true corner, display turn at least 80%% of it)\n");
  std::printf("%-24s %8s %8s %8s %12s %13s\n", "stroke", "points", "corners", "inner", "far anchor", "least turn");
  for (double turn : {60.0, 90.0, 120.0, 150.0})
    for (double sigma : {0.0, 0.15}) {
      std::vector<VORMathPoint> corners;
      const Arc truth(ZigZag(turn, 30.0, 5, corners));
      const std::string name = "zig-zag " + std::to_string(static_cast<int>(turn)) + (sigma > 0.0 ? " jitter" : " clean");
      CornerRow(name, PenSamples(truth, 1.0, sigma, 5u), corners, turn, factory, config);
    }
  // The synthetic zig-zag of the shared data: from (0, 0) by (30, 40) and (30, -40) alternately.
  for (const char* file : {"synthetic/corners-2000.json", "synthetic/corners-5000.json"}) {
    const Points pen = LoadStrokePoints(file);
    std::vector<VORMathPoint> corners;
    const double lastX = pen[pen.Size()].GetX();
    for (int k = 1; 30.0 * k < lastX - 1.0; ++k) corners.emplace_back(30.0 * k, k % 2 ? 40.0 : 0.0, 0.0);
    // Each vertex turns between the directions (3, 4) and (3, -4).
    CornerRow(file + 10, pen, corners, 180.0 - 2.0 * std::atan2(3.0, 4.0) * 180.0 / M_PI, factory, config);
  }
}

// ---- Real strokes ----

Points Map(const Points& in, const std::function<VORMathPoint(const VORMathPoint&)>& f) {
  Points out;
  for (const VORMathPoint& p : in) out.Append(f(p));
  return out;
}

void RealStrokes(VORGeoFactory& factory, VORSoftwareConfiguration& config) {
  const std::vector<std::string> files = StrokeFiles("real");
  const double c37 = std::cos(37.0 * M_PI / 180.0), s37 = std::sin(37.0 * M_PI / 180.0);
  struct Change {
    const char* name;
    std::function<VORMathPoint(const VORMathPoint&)> to, back;
    double bound;
    int over = 0, anchorsChanged = 0;
    double worst = 0.0;
    std::string worstFile;
  };
  std::vector<Change> changes = {
      {"moved by (1000, -2000)", [](const VORMathPoint& p) { return VORMathPoint(p.GetX() + 1000, p.GetY() - 2000, p.GetZ()); },
       [](const VORMathPoint& p) { return VORMathPoint(p.GetX() - 1000, p.GetY() + 2000, p.GetZ()); }, 0.05},
      {"moved by (0.5, -0.25)", [](const VORMathPoint& p) { return VORMathPoint(p.GetX() + 0.5, p.GetY() - 0.25, p.GetZ()); },
       [](const VORMathPoint& p) { return VORMathPoint(p.GetX() - 0.5, p.GetY() + 0.25, p.GetZ()); }, 0.05},
      {"rotated by 37°",
       [=](const VORMathPoint& p) { return VORMathPoint(c37 * p.GetX() - s37 * p.GetY(), s37 * p.GetX() + c37 * p.GetY(), p.GetZ()); },
       [=](const VORMathPoint& p) { return VORMathPoint(c37 * p.GetX() + s37 * p.GetY(), -s37 * p.GetX() + c37 * p.GetY(), p.GetZ()); },
       0.05},
      {"reversed", nullptr, nullptr, 0.25},
  };
  int drawnFar = 0, displayFar = 0;
  long displayPoints = 0;
  double worstDrawn = 0.0, worstDisplay = 0.0;
  std::string worstDisplayFile;
  for (const std::string& file : files) {
    const Points pen = LoadStrokePoints(file);
    const Drawn base = Draw(pen, factory, config);
    if (!base.ok) continue;
    displayPoints += base.display.Size();
    const double toDisplay = Directed(pen, base.display), toDrawn = Directed(base.display, pen);
    drawnFar += toDisplay > 1.1;
    displayFar += toDrawn > 1.1;
    worstDrawn = std::max(worstDrawn, toDisplay);
    if (toDrawn > worstDisplay) worstDisplay = toDrawn, worstDisplayFile = file;
    for (Change& c : changes) {
      Points moved;
      if (c.to) {
        moved = Map(pen, c.to);
      } else {
        for (int i = pen.Size(); i >= 1; --i) moved.Append(pen[i]);
      }
      const Drawn other = Draw(moved, factory, config);
      const Points back = c.back ? Map(other.display, c.back) : other.display;
      const double h = other.ok ? Hausdorff(base.display, back) : HUGE_VAL;
      c.over += h > c.bound;
      c.anchorsChanged += other.anchors.Size() != base.anchors.Size();
      if (h > c.worst) c.worst = h, c.worstFile = file;
    }
  }
  std::printf("\nReal strokes (%zu) drawn in a view\n", files.size());
  std::printf("  display points: %ld in all\n", displayPoints);
  std::printf("  drawn point farthest from the display:   %.3f, %d strokes over 1.1\n", worstDrawn, drawnFar);
  std::printf("  display point farthest from the drawing: %.3f, %d strokes over 1.1 (worst %s)\n", worstDisplay,
              displayFar, worstDisplayFile.c_str());
  std::printf("  %-24s %10s %8s %16s  %s\n", "display change when", "over goal", "worst", "anchor count", "worst stroke");
  for (const Change& c : changes)
    std::printf("  %-24s %6d/%.2f %8.3f %10d changed  %s\n", c.name, c.over, c.bound, c.worst, c.anchorsChanged,
                c.worstFile.c_str());
}

// ---- Huge strokes ----

void HugeStrokes(VORGeoFactory& factory, VORSoftwareConfiguration& config) {
  const std::vector<std::string> files = SomeRealStrokes(10);
  std::printf("\nLarge strokes (%zu real strokes scaled): display points against the stroke at its own size, and\n"
              "the farthest drawn point from the display and display point from the drawing, in the stroke's own units\n",
              files.size());
  std::vector<Drawn> own;
  double ownDrawn = 0.0, ownDisplay = 0.0;
  int ownPoles = 0, ownAnchors = 0;
  for (const std::string& file : files) {
    const Points pen = LoadStrokePoints(file);
    own.push_back(Draw(pen, factory, config));
    if (!own.back().ok) continue;
    ownPoles += own.back().poles;
    ownAnchors += own.back().anchors.Size();
    ownDrawn = std::max(ownDrawn, Directed(pen, own.back().display));
    ownDisplay = std::max(ownDisplay, Directed(own.back().display, pen));
  }
  std::printf("  %-8s %10s %8s %8s %8s %8s %10s %10s\n", "scale", "most", "over 2", "least", "poles", "anchors", "drawn",
              "display");
  std::printf("  %-8s %10s %8s %8s %8d %8d %10.3f %10.3f\n", "1", "", "", "", ownPoles, ownAnchors, ownDrawn, ownDisplay);
  double drawTime = 0.0, worstSubset = 0.0;
  for (double scale : {3.0, 10.0, 30.0, 1e3, 1e6, 1e12}) {
    auto scaled = [scale](const VORMathPoint& p) { return VORMathPoint(p.GetX() * scale, p.GetY() * scale, 0.0); };
    auto back = [scale](const VORMathPoint& p) { return VORMathPoint(p.GetX() / scale, p.GetY() / scale, 0.0); };
    double most = 0.0, least = HUGE_VAL, drawn = 0.0, display = 0.0;
    int over = 0, poles = 0, anchors = 0;
    for (size_t i = 0; i < files.size(); ++i) {
      const Points pen = LoadStrokePoints(files[i]);
      const Points huge = Map(pen, scaled);
      const auto t0 = Clock::now();
      const Drawn big = Draw(huge, factory, config);
      if (scale == 1e12) drawTime = std::max(drawTime, Seconds(t0, Clock::now()));
      if (!own[i].ok || !big.ok) continue;
      poles += big.poles;
      anchors += big.anchors.Size();
      const double ratio = static_cast<double>(big.display.Size()) / own[i].display.Size();
      most = std::max(most, ratio);
      least = std::min(least, ratio);
      over += ratio > 2.0;
      const Points mapped = Map(big.display, back);
      drawn = std::max(drawn, Directed(pen, mapped));
      display = std::max(display, Directed(mapped, pen));
      if (scale != 1e12) continue;
      // The hard subset of the huge stroke to its middle 80 %.
      Points drawnPoints = huge;
      TestStroke s;
      s.SetSketchPlane(VORMathPlane());
      TAQMoStroke::CreateInView(s, &config, &factory, true, true, 1, 2, 1.0, drawnPoints,
                                VORMathDirection(0.0, 0.0, -1.0), 0);
      const double middle[2] = {0.1, 0.9};
      s.SetRange(middle);
      s.Update(&config, &factory, nullptr);
      const auto t1 = Clock::now();
      TestStroke::HardSubsetStroke(&config, &factory, &s);
      worstSubset = std::max(worstSubset, Seconds(t1, Clock::now()));
      VORListPtrVORCurve all;
      factory.GetCurves(all);
      for (VORCurve* c : all) factory.Remove(c);
    }
    std::printf("  %-8g %9.2fx %8d %7.2fx %8d %8d %10.3f %10.3f\n", scale, most, over, least, poles, anchors, drawn,
                display);
  }
  std::printf("  at 1e12: slowest CreateInView + Update %.2f ms, slowest hard subset to 10-90 %% %.2f ms\n",
              drawTime * 1e3, worstSubset * 1e3);
}

// ---- Time ----

void Times(VORGeoFactory& factory, VORSoftwareConfiguration& config) {
  std::vector<Points> strokes;
  for (const std::string& f : StrokeFiles("real")) strokes.push_back(LoadStrokePoints(f));
  double best = HUGE_VAL, bestFit = HUGE_VAL;
  for (int r = 0; r < 5; ++r) {
    auto t0 = Clock::now();
    for (const Points& p : strokes) Draw(p, factory, config);
    best = std::min(best, Seconds(t0, Clock::now()));
    t0 = Clock::now();
    for (const Points& p : strokes) {
      VORCurve* c = TAQMoCSStrokeUtilities::CreateFitCurve(&factory, nullptr, p, nullptr, nullptr, nullptr);
      if (c) factory.Remove(c);
    }
    bestFit = std::min(bestFit, Seconds(t0, Clock::now()));
  }
  std::printf("\nTime over the %zu real strokes (best of 5), per stroke\n", strokes.size());
  std::printf("  CreateInView + Update: %.1f µs\n", best * 1e6 / strokes.size());
  std::printf("  fit of the drawn points alone: %.1f µs\n", bestFit * 1e6 / strokes.size());
}

}  // namespace

// An argument, if given, seeds the jitter of the ground-truth shapes instead of 17: how much the figures
// owe to one sample of the jitter. "sweep N" runs the shapes alone over the seeds 1 to N.
int main(int argc, char** argv) {
  VORGeoFactory factory;
  VORSoftwareConfiguration config;
  if (argc > 2 && std::string(argv[1]) == "sweep") {
    const unsigned long n = std::strtoul(argv[2], nullptr, 10);
    if (n < 1 || n > 1000) {
      std::fprintf(stderr, "sweep takes a seed count from 1 to 1000\n");
      return 1;
    }
    SeedSweep(factory, config, static_cast<unsigned>(n));
    return 0;
  }
  const unsigned seed = argc > 1 ? static_cast<unsigned>(std::strtoul(argv[1], nullptr, 10)) : 17u;
  TruthShapes(factory, config, seed);
  Corners(factory, config);
  RealStrokes(factory, config);
  HugeStrokes(factory, config);
  Times(factory, config);
  return 0;
}
