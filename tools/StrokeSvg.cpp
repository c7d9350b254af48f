#include "StrokeSvg.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

struct Pt {
  double x, y;
};

// The oblique direction the plane's normal is drawn along (per model unit of height).
constexpr double kObliqueX = 0.35, kObliqueY = 0.25;

const char* Palette(int color) {
  static const char* colours[] = {"#1f4e9c", "#c0392b", "#27ae60", "#8e44ad", "#d35400", "#16a085", "#2c3e50"};
  const int n = static_cast<int>(sizeof colours / sizeof colours[0]);
  return colours[((color % n) + n) % n];
}

std::string Escape(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '<') out += "&lt;";
    else if (c == '>') out += "&gt;";
    else if (c == '&') out += "&amp;";
    else if (c == '"') out += "&quot;";
    else out += c;
  }
  return out;
}

class Canvas {
 public:
  explicit Canvas(const VORMathPlane& plane) : mPlane(plane) {}

  // Plane coordinates of p, with height h along the normal drawn obliquely.
  Pt Map(const VORMathPoint& p, double h = 0.0) const {
    double u = 0.0, v = 0.0;
    mPlane.Project(p, u, v);
    return {u + h * kObliqueX, v + h * kObliqueY};
  }
  void Include(const Pt& p) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return;
    mMinX = std::min(mMinX, p.x);
    mMaxX = std::max(mMaxX, p.x);
    mMinY = std::min(mMinY, p.y);
    mMaxY = std::max(mMaxY, p.y);
  }
  void Fit() {
    if (!(mMinX <= mMaxX)) mMinX = mMaxX = mMinY = mMaxY = 0.0;
    const double span = std::max({mMaxX - mMinX, mMaxY - mMinY, 1e-9});
    mScale = kSize / span;
  }
  double Extent() const { return std::max(mMaxX - mMinX, mMaxY - mMinY); }
  // Pixels per model unit.
  double Scale() const { return mScale; }
  // The drawing's size; the legend's band (kLegend high, at least kLegendWidth wide) lies below it.
  double Width() const { return std::max((mMaxX - mMinX) * mScale + 2 * kMargin, kLegendWidth); }
  double DrawingHeight() const { return (mMaxY - mMinY) * mScale + 2 * kMargin; }
  double Height() const { return DrawingHeight() + kLegend; }
  // Screen position (y down).
  Pt Screen(const Pt& p) const { return {kMargin + (p.x - mMinX) * mScale, kMargin + (mMaxY - p.y) * mScale}; }

  static constexpr double kSize = 800.0, kMargin = 40.0, kLegend = 150.0, kLegendWidth = 460.0;

 private:
  VORMathPlane mPlane;
  double mMinX = HUGE_VAL, mMaxX = -HUGE_VAL, mMinY = HUGE_VAL, mMaxY = -HUGE_VAL;
  double mScale = 1.0;
};

std::string Num(double v) {
  char b[32];
  std::snprintf(b, sizeof b, "%.2f", v);
  return b;
}

// A round length (1, 2 or 5 times a power of ten) near a fifth of extent.
double ScaleBarLength(double extent) {
  const double target = std::max(extent, 1e-9) / 5.0;
  const double power = std::pow(10.0, std::floor(std::log10(target)));
  for (double m : {5.0, 2.0, 1.0})
    if (m * power <= target) return m * power;
  return power;
}

std::string Length(double v) {
  char b[32];
  std::snprintf(b, sizeof b, "%g", v);
  return b;
}

std::string PointsAttr(const Canvas& c, const std::vector<Pt>& pts) {
  std::string s;
  for (const Pt& p : pts) {
    const Pt q = c.Screen(p);
    if (!s.empty()) s += ' ';
    s += Num(q.x) + "," + Num(q.y);
  }
  return s;
}

}  // namespace

std::string RenderSvg(const StrokePicture& pic) {
  Canvas canvas(pic.plane);
  std::vector<Pt> drawn, display, anchors;
  for (const VORMathPoint& p : pic.drawn) drawn.push_back(canvas.Map(p));
  for (const VORMathPoint& p : pic.display) display.push_back(canvas.Map(p));
  for (const VORMathPoint& p : pic.anchors) anchors.push_back(canvas.Map(p));
  for (const Pt& p : drawn) canvas.Include(p);
  for (const Pt& p : display) canvas.Include(p);
  std::vector<Pt> low, high;
  if (pic.extruded) {
    for (const VORMathPoint& p : pic.display) {
      low.push_back(canvas.Map(p, pic.limits[0]));
      high.push_back(canvas.Map(p, pic.limits[1]));
    }
    for (const Pt& p : low) canvas.Include(p);
    for (const Pt& p : high) canvas.Include(p);
  }
  // Arrows a tenth of the picture long.
  const double arrow = 0.1 * std::max(canvas.Extent(), 1e-6);
  Pt tips[2] = {{0, 0}, {0, 0}};
  if (pic.hasTangents) {
    for (int k = 0; k < 2; ++k) {
      // At the start the arrow points back out of the stroke, at the end onwards: both leave the stroke.
      const double sign = k == 0 ? -1.0 : 1.0;
      tips[k] = canvas.Map(pic.ends[k] + pic.tangents[k].GetVector() * (sign * arrow));
      canvas.Include(tips[k]);
    }
  }
  canvas.Fit();

  const char* colour = Palette(pic.color);
  const double lineWidth = std::clamp(pic.width > 0.0 ? 2.0 * pic.width : 2.0, 1.0, 8.0);
  std::string svg;
  svg += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + Num(canvas.Width()) + "\" height=\"" +
         Num(canvas.Height()) + "\" viewBox=\"0 0 " + Num(canvas.Width()) + " " + Num(canvas.Height()) + "\">\n";
  svg += "<title>" + Escape(pic.title) + "</title>\n";
  svg += "<defs><marker id=\"arrow\" viewBox=\"0 0 10 10\" refX=\"9\" refY=\"5\" markerWidth=\"8\" "
         "markerHeight=\"8\" orient=\"auto-start-reverse\"><path d=\"M0,0 L10,5 L0,10 z\" fill=\"#e67e22\"/>"
         "</marker></defs>\n";
  svg += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
  if (pic.extruded && !low.empty()) {
    svg += "<g class=\"extruded\" fill=\"none\" stroke=\"#7f8c8d\" stroke-width=\"1\">\n";
    svg += "<polyline class=\"extruded-low\" points=\"" + PointsAttr(canvas, low) + "\"/>\n";
    svg += "<polyline class=\"extruded-high\" points=\"" + PointsAttr(canvas, high) + "\"/>\n";
    svg += "<polyline class=\"extruded-side\" points=\"" + PointsAttr(canvas, {low.front(), high.front()}) + "\"/>\n";
    svg += "<polyline class=\"extruded-side\" points=\"" + PointsAttr(canvas, {low.back(), high.back()}) + "\"/>\n";
    svg += "</g>\n";
  }
  if (!drawn.empty()) {
    svg += "<g class=\"drawn\" fill=\"#95a5a6\" fill-opacity=\"0.5\">\n";
    for (const Pt& p : drawn) {
      const Pt q = canvas.Screen(p);
      svg += "<circle cx=\"" + Num(q.x) + "\" cy=\"" + Num(q.y) + "\" r=\"1.5\"/>\n";
    }
    svg += "</g>\n";
  }
  // One polyline per display piece (splits are the 1-based last points of the pieces).
  std::vector<int> pieceEnds;
  const int count = static_cast<int>(display.size());
  for (int s = 1; s <= pic.splits.Size(); ++s) pieceEnds.push_back(std::min(pic.splits[s], count));
  if (pieceEnds.empty()) pieceEnds.push_back(count);
  int first = 1;
  for (int last : pieceEnds) {
    if (last - first >= 1) {
      std::vector<Pt> piece(display.begin() + (first - 1), display.begin() + last);
      svg += "<polyline class=\"display\" fill=\"none\" stroke=\"" + std::string(colour) + "\" stroke-width=\"" +
             Num(lineWidth) + "\" stroke-linejoin=\"round\" points=\"" + PointsAttr(canvas, piece) + "\"/>\n";
    }
    first = std::max(first, last + 1);
  }
  if (!display.empty()) {
    const Pt q = canvas.Screen(display.front());
    svg += "<circle class=\"start\" cx=\"" + Num(q.x) + "\" cy=\"" + Num(q.y) +
           "\" r=\"9\" fill=\"none\" stroke=\"#27ae60\" stroke-width=\"2.5\"/>\n";
  }
  if (!anchors.empty()) {
    // Numbered from 1 along the stroke, as the anchor list (and --delete-anchor) counts them.
    svg += "<g class=\"anchors\" fill=\"#e74c3c\" font-family=\"sans-serif\" font-size=\"12\">\n";
    for (std::size_t i = 0; i < anchors.size(); ++i) {
      const Pt q = canvas.Screen(anchors[i]);
      svg += "<circle class=\"anchor\" cx=\"" + Num(q.x) + "\" cy=\"" + Num(q.y) + "\" r=\"4\"/>\n";
      svg += "<text class=\"anchor-number\" x=\"" + Num(q.x + 6) + "\" y=\"" + Num(q.y - 6) + "\">" +
             std::to_string(i + 1) + "</text>\n";
    }
    svg += "</g>\n";
  }
  if (pic.hasTangents) {
    for (int k = 0; k < 2; ++k) {
      const Pt a = canvas.Screen(canvas.Map(pic.ends[k])), b = canvas.Screen(tips[k]);
      svg += "<line class=\"tangent\" x1=\"" + Num(a.x) + "\" y1=\"" + Num(a.y) + "\" x2=\"" + Num(b.x) + "\" y2=\"" +
             Num(b.y) + "\" stroke=\"#e67e22\" stroke-width=\"2\" marker-end=\"url(#arrow)\"/>\n";
    }
  }
  // The legend and the scale bar, in the band below the drawing.
  const double top = canvas.DrawingHeight() + 10.0, x0 = Canvas::kMargin, row = 18.0;
  svg += "<g class=\"legend\" font-family=\"sans-serif\" font-size=\"12\" fill=\"#2c3e50\">\n";
  int line = 0;
  auto entry = [&](const std::string& symbol, const std::string& text) {
    const double y = top + row * line++;
    svg += "<g transform=\"translate(" + Num(x0) + "," + Num(y) + ")\">" + symbol + "<text x=\"34\" y=\"4\">" +
           Escape(text) + "</text></g>\n";
  };
  entry("<circle cx=\"12\" r=\"1.5\" fill=\"#95a5a6\"/>", "drawn points");
  entry("<line x2=\"24\" stroke=\"" + std::string(colour) + "\" stroke-width=\"2\"/>", "display polyline");
  entry("<circle cx=\"12\" r=\"4\" fill=\"#e74c3c\"/>",
        "anchors, numbered as --delete-anchor counts them");
  entry("<circle cx=\"12\" r=\"6\" fill=\"none\" stroke=\"#27ae60\" stroke-width=\"2\"/>", "start");
  if (pic.hasTangents)
    entry("<line x2=\"22\" stroke=\"#e67e22\" stroke-width=\"2\" marker-end=\"url(#arrow)\"/>", "end tangents");
  if (pic.extruded)
    entry("<line x2=\"24\" stroke=\"#7f8c8d\"/>",
          "extruded outline, " + Length(pic.limits[0]) + " to " + Length(pic.limits[1]) + " along the normal");
  const double bar = ScaleBarLength(canvas.Extent());
  const double y = top + row * line + 8.0, w = bar * canvas.Scale();
  svg += "<g class=\"scale-bar\"><path d=\"M" + Num(x0) + "," + Num(y - 5) + " v5 h" + Num(w) + " v-5\" fill=\"none\" "
         "stroke=\"#2c3e50\" stroke-width=\"1.5\"/><text x=\"" + Num(x0 + w + 8) + "\" y=\"" + Num(y + 4) + "\">" +
         Length(bar) + " model units</text></g>\n";
  svg += "</g>\n";
  svg += "</svg>\n";
  return svg;
}
