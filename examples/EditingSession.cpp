// An editing session on one stroke: insert an anchor, drag the stroke through a point, bend an end to
// a new tangent, cut it to a range for good, and undo each step by keeping copies. Copies share the
// stroke's segments, so keeping one per step costs little whatever the stroke's size.
// Exits 0 when every step did what it says, 1 otherwise (and says which step).
#include <cmath>
#include <cstdio>
#include <vector>

#include "TAQMoStroke.h"
#include "VORGeoFactory.h"
#include "VORSoftwareConfiguration.h"

namespace {

// The reshaping operations are protected: an application reaches them from its own stroke class.
class EditableStroke : public TAQMoStroke {
 public:
  using TAQMoStroke::HardSubsetStroke;
  using TAQMoStroke::ReshapeCurve;
};

int Anchors(const TAQMoStroke& s) {
  VORRawCollint anchors;
  s.GetAnchors(anchors);
  return anchors.Size();
}

double Length(const TAQMoStroke& s) {
  VORListValVORMathPoint display;
  s.GetCoords(display);
  double length = 0.0;
  for (int i = 2; i <= display.Size(); ++i) length += display[i].DistanceTo(display[i - 1]);
  return length;
}

bool Step(bool ok, const char* what) {
  if (!ok) std::fprintf(stderr, "EditingSession: %s failed\n", what);
  return ok;
}

}  // namespace

int main() {
  VORGeoFactory factory;
  VORSoftwareConfiguration config;
  EditableStroke stroke;
  stroke.SetSketchPlane(VORMathPlane(VORMathPoint(0, 0, 0), VORMathVector(0, 0, 1)));
  VORListValVORMathPoint drawn;
  for (int i = 0; i <= 120; ++i) drawn.Append(VORMathPoint(i, 12.0 * std::sin(i / 20.0), 0.0));
  if (!Step(TAQMoStroke::CreateInView(stroke, &config, &factory, true, false, 1, 0, 1.0, drawn,
                                      VORMathDirection(VORMathVector(0, 0, -1)), 0) == S_OK &&
                stroke.Update(&config, &factory, nullptr),
            "drawing"))
    return 1;
  // Blends of 1 at both ends: the ends follow the tangents they are given.
  VORRawColldouble blends;
  blends.Append(1.0);
  blends.Append(1.0);
  stroke.SetBlends(blends);
  stroke.Update(&config, &factory, nullptr);

  std::vector<TAQMoStroke> undo;  // one copy before each edit
  const int anchors = Anchors(stroke);

  undo.push_back(stroke);
  // The anchor goes to the stroke point nearest the point given, and the stroke passes through the point.
  if (!Step(stroke.InsertAnchor(&config, &factory, VORMathPoint(60.5, 12.0 * std::sin(3.025) + 0.3, 0)) &&
                stroke.Update(&config, &factory, nullptr) && Anchors(stroke) > anchors,
            "inserting an anchor"))
    return 1;

  undo.push_back(stroke);
  const VORMathPoint from(30, 12.0 * std::sin(1.5), 0), to(30, 20, 0);
  if (!Step(EditableStroke::ReshapeCurve(&config, &factory, &stroke, from, to, false, false) &&
                stroke.Update(&config, &factory, nullptr),
            "dragging"))
    return 1;

  undo.push_back(stroke);
  VORMathPoint ends[2];
  VORMathDirection tangents[2];
  const VORMathDirection up(VORMathVector(0, 1, 0));
  // An end tangent is picked up at the stroke's end points: record them first.
  VORListValVORMathPoint endPoints;
  if (stroke.GetEndTangents(ends, tangents)) {
    endPoints.Append(ends[0]);
    endPoints.Append(ends[1]);
    stroke.SetEndPoints(endPoints);
  }
  if (!Step(endPoints.Size() == 2 &&
                stroke.UpdateEndTangent(&config, &factory, ends[1], tangents[1], up, true) &&
                stroke.Update(&config, &factory, nullptr) && stroke.GetEndTangents(ends, tangents) &&
                tangents[1].Dot(up.GetVector()) > 0.999,
            "bending the end upwards"))
    return 1;

  undo.push_back(stroke);
  const double before = Length(stroke);
  const double range[2] = {0.25, 0.75};
  if (!Step(stroke.SetRange(range) == S_OK && stroke.Update(&config, &factory, nullptr) &&
                EditableStroke::HardSubsetStroke(&config, &factory, &stroke) &&
                stroke.Update(&config, &factory, nullptr),
            "cutting to the middle half"))
    return 1;
  const double after = Length(stroke);
  std::printf("anchors %d -> %d; length %.1f before the cut, %.1f after\n", anchors, Anchors(stroke), before, after);
  if (!Step(after < 0.75 * before, "the cut keeping about half"))
    return 1;

  // Undo everything: the first copy is the stroke as drawn, and it still reads as it did.
  static_cast<TAQMoStroke&>(stroke) = undo.front();
  undo.clear();
  if (!Step(stroke.Update(&config, &factory, nullptr) && Anchors(stroke) == anchors, "undoing to the drawing"))
    return 1;
  std::printf("undone: %d anchors, length %.1f\n", Anchors(stroke), Length(stroke));
  return 0;
}
