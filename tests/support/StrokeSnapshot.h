// Everything a caller can read of a stroke through its accessors, for checking that a refused operation
// left the stroke exactly as it was: every field, the segment and record pointers and the contents of
// each segment and record.
#ifndef StrokeSnapshot_h
#define StrokeSnapshot_h

#include <gtest/gtest.h>

#include <vector>

#include "TAQMoStroke.h"

namespace snapshot {

inline bool SamePlane(const VORMathPlane& a, const VORMathPlane& b) {
  VORMathDirection a1, a2, b1, b2;
  a.GetDirections(a1, a2);
  b.GetDirections(b1, b2);
  return a.GetOrigin() == b.GetOrigin() && a1 == b1 && a2 == b2 && a.GetNormal() == b.GetNormal() &&
         a.IsValid() == b.IsValid();
}

// The value of one segment or record.
struct Segment {
  const TAQMoStrokeData* pointer = nullptr;
  bool isRef = false;
  VORMathPlane base;
  VORListValVORMathPoint coords;
  VORListValVORMathPoint2D points2D;
};

inline std::vector<Segment> Segments(const TAQUtVector<TAQMoStrokeData*>& v) {
  std::vector<Segment> out;
  for (unsigned i = 0; i < v.Size(); ++i) {
    Segment s;
    s.pointer = v[i];
    if (v[i]) {
      s.isRef = v[i]->IsRefDefined();
      v[i]->GetBase(s.base);
      v[i]->GetCoords(s.coords);
      v[i]->GetData(s.points2D);
    }
    out.push_back(s);
  }
  return out;
}

inline const char* SegmentsDiffer(const std::vector<Segment>& a, const std::vector<Segment>& b) {
  if (a.size() != b.size()) return "count";
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].pointer != b[i].pointer) return "pointer";
    if (a[i].isRef != b[i].isRef) return "reference flag";
    if (!SamePlane(a[i].base, b[i].base)) return "base plane";
    if (a[i].coords != b[i].coords) return "3D points";
    if (a[i].points2D != b[i].points2D) return "2D points";
  }
  return nullptr;
}

struct State {
  int type = 0;
  long isSketchResult = 0;
  bool isSketch = false;
  int color = 0;
  double width = 0.0;
  double range[2] = {0.0, 0.0};
  VORMathPlane sketchPlane;
  bool sketchPlaneDefined = false;
  VORRawCollint anchors;
  VORRawColldouble blends;
  VORListValVORMathPlane targets;
  VORListValVORMathPoint endPoints;
  VORRawCollint splits;
  VORListValVORMathPoint coords;
  VORListValVORMathVector normals;
  std::vector<Segment> data;
  std::vector<Segment> tangents;
  bool on3D = false;
};

inline State Take(const TAQMoStroke& s) {
  State st;
  s.GetType(st.type);
  st.isSketchResult = s.GetIsSketch(st.isSketch);
  s.GetColor(st.color);
  s.GetWidth(st.width);
  s.GetRange(st.range);
  s.GetSketchPlane(st.sketchPlane);
  st.sketchPlaneDefined = s.IsSketchPlaneDefined();
  s.GetAnchors(st.anchors);
  s.GetBlends(st.blends);
  s.GetTargets(st.targets);
  s.GetEndPoints(st.endPoints);
  s.GetSplits(st.splits);
  s.GetCoords(st.coords);
  s.GetNormals(st.normals);
  TAQUtVector<TAQMoStrokeData*> data, tangents;
  s.GetData(data);
  s.GetTangents(tangents);
  st.data = Segments(data);
  st.tangents = Segments(tangents);
  st.on3D = s.IsOn3D();
  return st;
}

// Success when every accessor of s gives what it gave when before was taken.
inline ::testing::AssertionResult Same(const State& before, const TAQMoStroke& s) {
  const State now = Take(s);
  auto fail = [](const char* what) { return ::testing::AssertionFailure() << what << " changed"; };
  if (now.type != before.type) return fail("type");
  if (now.isSketchResult != before.isSketchResult || now.isSketch != before.isSketch) return fail("sketch flag");
  if (now.color != before.color) return fail("colour");
  if (now.width != before.width) return fail("width");
  if (now.range[0] != before.range[0] || now.range[1] != before.range[1]) return fail("range");
  if (!SamePlane(now.sketchPlane, before.sketchPlane) || now.sketchPlaneDefined != before.sketchPlaneDefined)
    return fail("sketch plane");
  if (now.anchors != before.anchors) return fail("anchors");
  if (now.blends != before.blends) return fail("blends");
  if (now.targets.Size() != before.targets.Size()) return fail("targets");
  for (int i = 1; i <= now.targets.Size(); ++i)
    if (!SamePlane(now.targets[i], before.targets[i])) return fail("targets");
  if (now.endPoints != before.endPoints) return fail("end points");
  if (now.splits != before.splits) return fail("splits");
  if (now.coords != before.coords) return fail("display points");
  if (now.normals != before.normals) return fail("display normals");
  if (const char* what = SegmentsDiffer(now.data, before.data))
    return ::testing::AssertionFailure() << "segments: " << what << " changed";
  if (const char* what = SegmentsDiffer(now.tangents, before.tangents))
    return ::testing::AssertionFailure() << "tangent records: " << what << " changed";
  if (now.on3D != before.on3D) return fail("IsOn3D");
  return ::testing::AssertionSuccess();
}

// A stroke with every field set to something recognisable, one segment of four plain points, and tangent
// records, so that any change a refused operation makes shows.
inline void FillRecognisably(TAQMoStroke& s) {
  s.SetSketchPlane(VORMathPlane(VORMathPoint(1, 2, 3), VORMathVector(0, 0, 1)));
  TAQUtVector<TAQMoStrokeData*> data;
  data.Append(new TAQMoStrokeData);
  VORListValVORMathPoint p, coords, ends;
  VORListValVORMathVector normals;
  VORRawCollint anchors, splits;
  VORRawColldouble blends;
  VORListValVORMathPlane targets;
  for (int i = 0; i < 4; ++i) p.Append(VORMathPoint(i, i * i, 3));
  for (int i = 0; i < 3; ++i) coords.Append(VORMathPoint(i, 1, 3));
  for (int i = 0; i < 3; ++i) normals.Append(VORMathVector(0, 0, 1));
  data[0]->SetCoords(p);
  anchors.Append(1);
  anchors.Append(4);
  blends.Append(0.25);
  blends.Append(0.75);
  targets.Append(VORMathPlane(VORMathPoint(0, 0, 7), VORMathVector(0, 1, 0)));
  s.Set(true, 2, 5, 2.5, blends, data, targets, &anchors);
  const double range[2] = {0.125, 0.875};
  s.SetRange(range);
  ends.Append(p[1]);
  ends.Append(p[4]);
  s.SetEndPoints(ends);
  splits.Append(3);
  s.SetDisplayData(splits, coords, normals);
  const VORMathPoint tanPoints[2] = {p[1], p[4]};
  const VORMathDirection tanDirs[2] = {VORMathDirection(1, 0, 0), VORMathDirection(0, 1, 0)};
  const VORMathDirection tanNormals[2] = {VORMathDirection(0, 0, 1), VORMathDirection(0, 0, 1)};
  s.UpdateEndTangents(tanPoints, tanDirs, tanNormals);
}

}  // namespace snapshot

#endif
