#include "StrokeFile.h"

#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <sys/stat.h>

using nlohmann::json;

struct SavedStrokeFields {
  struct Segment {
    bool isRef = false;
    VORMathPlane base;
    VORListValVORMathPoint coords;
    VORListValVORMathPoint2D points2D;
  };
  int type = 0;
  bool isSketch = false;
  int color = 0;
  double width = -1.0;
  double range[2] = {0.0, 1.0};
  bool sketchPlaneDefined = false;
  VORMathPlane sketchPlane;
  VORRawCollint anchors, splits;
  VORRawColldouble blends;
  VORListValVORMathPlane targets;
  VORListValVORMathPoint endPoints, coords;
  VORListValVORMathVector normals;
  std::vector<Segment> segments, tangents;
};

namespace {

// Nesting deeper than this is refused while parsing (a stroke file needs four levels).
constexpr int kMaxDepth = 64;

struct TooDeep {};

std::string Join(const std::string& where, const std::string& key) { return where.empty() ? key : where + "." + key; }
std::string At(const std::string& where, std::size_t i) { return where + "[" + std::to_string(i) + "]"; }

[[noreturn]] void Fail(const std::string& field, const std::string& message) { throw StrokeFileError(field, message); }

const json* Find(const json& object, const char* key) {
  const auto it = object.find(key);
  return it == object.end() ? nullptr : &*it;
}

// A key the format does not have is refused by name: a misspelt field ("colour") must not pass silently.
void OnlyKeys(const json& object, std::initializer_list<const char*> keys, const std::string& where) {
  for (auto it = object.begin(); it != object.end(); ++it) {
    bool known = false;
    for (const char* k : keys) known = known || it.key() == k;
    if (!known) Fail(Join(where, it.key()), "unknown key");
  }
}

const json& Need(const json& object, const char* key, const std::string& where) {
  const json* v = Find(object, key);
  if (!v) Fail(Join(where, key), "missing");
  return *v;
}

double Number(const json& v, const std::string& field) {
  if (!v.is_number()) Fail(field, "expected a number");
  const double d = v.get<double>();
  if (!std::isfinite(d)) Fail(field, "not a finite number");
  return d;
}

int Integer(const json& v, const std::string& field) {
  if (!v.is_number_integer()) Fail(field, "expected an integer");
  const long long i = v.get<long long>();
  if (i < -2147483647LL || i > 2147483647LL) Fail(field, "integer out of range");
  return static_cast<int>(i);
}

bool Boolean(const json& v, const std::string& field) {
  if (!v.is_boolean()) Fail(field, "expected true or false");
  return v.get<bool>();
}

const json& Array(const json& v, const std::string& field) {
  if (!v.is_array()) Fail(field, "expected an array");
  return v;
}

// [x, y, z]; with allow2D also [x, y] (z = 0).
VORMathPoint Point(const json& v, const std::string& field, bool allow2D = false) {
  if (!v.is_array() || (v.size() != 3 && !(allow2D && v.size() == 2)))
    Fail(field, allow2D ? "expected [x, y] or [x, y, z]" : "expected [x, y, z]");
  const double z = v.size() == 3 ? Number(v[2], At(field, 2)) : 0.0;
  return VORMathPoint(Number(v[0], At(field, 0)), Number(v[1], At(field, 1)), z);
}

VORMathVector Vector(const json& v, const std::string& field) {
  const VORMathPoint p = Point(v, field);
  return VORMathVector(p.GetX(), p.GetY(), p.GetZ());
}

VORMathVector UsableVector(const json& v, const std::string& field) {
  const VORMathVector d = Vector(v, field);
  if (!VORMathDirection::IsUsable(d)) Fail(field, "a zero vector gives no direction");
  return d;
}

VORMathPoint2D Point2D(const json& v, const std::string& field) {
  if (!v.is_array() || v.size() != 2) Fail(field, "expected [u, v]");
  return VORMathPoint2D(Number(v[0], At(field, 0)), Number(v[1], At(field, 1)));
}

VORListValVORMathPoint Points(const json& v, const std::string& field, bool allow2D = false) {
  VORListValVORMathPoint points;
  Array(v, field);
  points.Reserve(static_cast<int>(v.size()));
  for (std::size_t i = 0; i < v.size(); ++i) points.Append(Point(v[i], At(field, i), allow2D));
  return points;
}

VORListValVORMathPoint2D Points2D(const json& v, const std::string& field) {
  VORListValVORMathPoint2D points;
  Array(v, field);
  for (std::size_t i = 0; i < v.size(); ++i) points.Append(Point2D(v[i], At(field, i)));
  return points;
}

VORListValVORMathVector Vectors(const json& v, const std::string& field) {
  VORListValVORMathVector vectors;
  Array(v, field);
  for (std::size_t i = 0; i < v.size(); ++i) vectors.Append(Vector(v[i], At(field, i)));
  return vectors;
}

VORRawCollint Integers(const json& v, const std::string& field) {
  VORRawCollint list;
  Array(v, field);
  for (std::size_t i = 0; i < v.size(); ++i) list.Append(Integer(v[i], At(field, i)));
  return list;
}

VORRawColldouble Numbers(const json& v, const std::string& field) {
  VORRawColldouble list;
  Array(v, field);
  for (std::size_t i = 0; i < v.size(); ++i) list.Append(Number(v[i], At(field, i)));
  return list;
}

void Range(const json& v, const std::string& field, double range[2]) {
  if (!v.is_array() || v.size() != 2) Fail(field, "expected [start, end]");
  const double a = Number(v[0], At(field, 0)), b = Number(v[1], At(field, 1));
  if (!(a < b)) Fail(field, "start must lie below end");
  range[0] = a;
  range[1] = b;
}

const json& Object(const json& v, const std::string& field) {
  if (!v.is_object()) Fail(field, "expected an object");
  return v;
}

// A drawing's plane: {"origin", "normal", optional "x"} (x: the first direction, made square to the
// normal by the plane's own rule when it is not).
VORMathPlane DrawnPlane(const json& v, const std::string& field) {
  Object(v, field);
  OnlyKeys(v, {"origin", "normal", "x"}, field);
  const VORMathPoint origin = Point(Need(v, "origin", field), Join(field, "origin"));
  const VORMathVector normal = UsableVector(Need(v, "normal", field), Join(field, "normal"));
  if (const json* x = Find(v, "x")) {
    const VORMathVector first = UsableVector(*x, Join(field, "x"));
    const VORMathPlane plane(origin, first, normal.Cross(first));
    if (!plane.IsValid()) Fail(Join(field, "x"), "parallel to the normal");
    return plane;
  }
  const VORMathPlane plane(origin, normal);
  if (!plane.IsValid()) Fail(field, "degenerate plane");
  return plane;
}

// A saved plane: {"origin", "first", "second"} exactly as the stroke holds it.
VORMathPlane SavedPlane(const json& v, const std::string& field) {
  Object(v, field);
  OnlyKeys(v, {"origin", "first", "second"}, field);
  const VORMathPoint origin = Point(Need(v, "origin", field), Join(field, "origin"));
  const VORMathVector first = UsableVector(Need(v, "first", field), Join(field, "first"));
  const VORMathVector second = UsableVector(Need(v, "second", field), Join(field, "second"));
  const VORMathPlane plane(origin, first, second);
  if (!plane.IsValid()) Fail(Join(field, "second"), "parallel to the first direction");
  return plane;
}

json ToJson(const VORMathPoint& p) { return json::array({p.GetX(), p.GetY(), p.GetZ()}); }
json ToJson(const VORMathVector& v) { return json::array({v.GetX(), v.GetY(), v.GetZ()}); }
json ToJson(const VORMathDirection& d) { return json::array({d.GetX(), d.GetY(), d.GetZ()}); }
json ToJson(const VORMathPoint2D& p) { return json::array({p.GetX(), p.GetY()}); }
json ToJson(const VORMathPlane& plane) {
  VORMathDirection first, second;
  plane.GetDirections(first, second);
  return json{{"origin", ToJson(plane.GetOrigin())}, {"first", ToJson(first)}, {"second", ToJson(second)}};
}
template <class List>
json ListJson(const List& list) {
  json a = json::array();
  for (const auto& item : list) a.push_back(ToJson(item));
  return a;
}
template <class T>
json RawJson(const VORListVal<T>& list) {
  json a = json::array();
  for (const T& item : list) a.push_back(item);
  return a;
}

json SegmentsJson(const TAQUtVector<TAQMoStrokeData*>& segments) {
  json a = json::array();
  for (unsigned int i = 0; i < segments.Size(); ++i) {
    const TAQMoStrokeData* s = segments[i];
    if (!s) {
      a.push_back(nullptr);
      continue;
    }
    VORMathPlane base;
    s->GetBase(base);
    VORListValVORMathPoint coords;
    s->GetCoords(coords);
    VORListValVORMathPoint2D points2D;
    s->GetData(points2D);
    json j{{"is_ref", s->IsRefDefined()}, {"coords", ListJson(coords)}, {"points2d", ListJson(points2D)}};
    if (s->IsRefDefined()) j["base"] = ToJson(base);
    a.push_back(j);
  }
  return a;
}

std::vector<SavedStrokeFields::Segment> SavedSegments(const json& v, const std::string& field) {
  std::vector<SavedStrokeFields::Segment> segments;
  Array(v, field);
  for (std::size_t i = 0; i < v.size(); ++i) {
    const std::string f = At(field, i);
    const json& s = Object(v[i], f);
    OnlyKeys(s, {"is_ref", "base", "coords", "points2d"}, f);
    SavedStrokeFields::Segment segment;
    segment.isRef = Boolean(Need(s, "is_ref", f), Join(f, "is_ref"));
    if (segment.isRef) segment.base = SavedPlane(Need(s, "base", f), Join(f, "base"));
    segment.coords = Points(Need(s, "coords", f), Join(f, "coords"));
    segment.points2D = Points2D(Need(s, "points2d", f), Join(f, "points2d"));
    segments.push_back(segment);
  }
  return segments;
}

std::shared_ptr<SavedStrokeFields> ReadSaved(const json& doc) {
  auto s = std::make_shared<SavedStrokeFields>();
  OnlyKeys(doc, {"kind", "type", "sketch", "color", "width", "range", "sketch_plane_defined", "sketch_plane", "on_3d",
                 "anchors", "blends", "targets", "end_points", "display", "segments", "tangents"},
           "");
  s->type = Integer(Need(doc, "type", ""), "type");
  s->isSketch = Boolean(Need(doc, "sketch", ""), "sketch");
  s->color = Integer(Need(doc, "color", ""), "color");
  s->width = Number(Need(doc, "width", ""), "width");
  const json& range = Need(doc, "range", "");
  if (!range.is_array() || range.size() != 2) Fail("range", "expected [start, end]");
  s->range[0] = Number(range[0], "range[0]");
  s->range[1] = Number(range[1], "range[1]");
  s->sketchPlaneDefined = Boolean(Need(doc, "sketch_plane_defined", ""), "sketch_plane_defined");
  s->sketchPlane = SavedPlane(Need(doc, "sketch_plane", ""), "sketch_plane");
  s->anchors = Integers(Need(doc, "anchors", ""), "anchors");
  s->blends = Numbers(Need(doc, "blends", ""), "blends");
  const json& targets = Array(Need(doc, "targets", ""), "targets");
  for (std::size_t i = 0; i < targets.size(); ++i) s->targets.Append(SavedPlane(targets[i], At("targets", i)));
  s->endPoints = Points(Need(doc, "end_points", ""), "end_points");
  const json& display = Object(Need(doc, "display", ""), "display");
  OnlyKeys(display, {"splits", "coords", "normals"}, "display");
  s->splits = Integers(Need(display, "splits", "display"), "display.splits");
  s->coords = Points(Need(display, "coords", "display"), "display.coords");
  s->normals = Vectors(Need(display, "normals", "display"), "display.normals");
  s->segments = SavedSegments(Need(doc, "segments", ""), "segments");
  if (s->segments.empty()) Fail("segments", "a stroke needs at least one segment");
  s->tangents = SavedSegments(Need(doc, "tangents", ""), "tangents");
  if (s->tangents.size() != 0 && s->tangents.size() != 2)
    Fail("tangents", "expected no end-tangent record or two (start, end)");
  // Positions must point into the lists they index, in order: the stroke's edits rely on it.
  int sourceCount = 0;
  for (const auto& segment : s->segments)
    sourceCount += segment.isRef ? segment.points2D.Size() : segment.coords.Size();
  for (int i = 1; i <= s->anchors.Size(); ++i) {
    const int a = s->anchors[i];
    if (a < 1 || a > sourceCount || (i > 1 && a <= s->anchors[i - 1]))
      Fail(At("anchors", static_cast<std::size_t>(i - 1)),
           "anchors must ascend within the " + std::to_string(sourceCount) + " source points");
  }
  for (int i = 1; i <= s->splits.Size(); ++i) {
    const int p = s->splits[i];
    if (p < 0 || p > s->coords.Size() || (i > 1 && p < s->splits[i - 1]))
      Fail(At("display.splits", static_cast<std::size_t>(i - 1)),
           "splits must ascend within the " + std::to_string(s->coords.Size()) + " display points");
  }
  if (s->normals.Size() != 0 && s->normals.Size() != s->coords.Size())
    Fail("display.normals", "expected none or one per display point");
  return s;
}

StrokeDrawing ReadDrawing(const json& doc) {
  StrokeDrawing d;
  OnlyKeys(doc, {"kind", "source", "licence", "points", "view", "plane", "planes", "points2d", "anchors", "type",
                 "sketch", "color", "width", "target", "range", "blends", "end_tangents"},
           "");
  const json* planes = Find(doc, "planes");
  if (planes) {
    // Reference form: planes with 2D points, and optional 3D points and anchors.
    Array(*planes, "planes");
    for (std::size_t i = 0; i < planes->size(); ++i) d.planes.Append(DrawnPlane((*planes)[i], At("planes", i)));
    if (d.planes.Size() == 0) Fail("planes", "empty");
    d.points2D = Points2D(Need(doc, "points2d", ""), "points2d");
    if (d.points2D.Size() < 2) Fail("points2d", "a stroke needs at least two points");
    if (d.planes.Size() != 1 && d.planes.Size() != d.points2D.Size())
      Fail("planes", "expected one plane, or one per point of points2d");
    if (const json* p = Find(doc, "points")) d.points = Points(*p, "points");
    if (d.planes.Size() > 1 && d.points.Size() < d.points2D.Size())
      Fail("points", "one 3D point per 2D point is needed with one plane per point");
    if (const json* a = Find(doc, "anchors")) d.anchors = Integers(*a, "anchors");
  } else {
    d.points = Points(Need(doc, "points", ""), "points");
    if (d.points.Size() < 2) Fail("points", "a stroke needs at least two points");
    d.view = VORMathDirection(UsableVector(Need(doc, "view", ""), "view"));
  }
  d.sketchPlane = DrawnPlane(Need(doc, "plane", ""), "plane");
  if (!planes && std::fabs(d.view.Dot(d.sketchPlane.GetNormal().GetVector())) < 1e-9)
    Fail("view", "parallel to the sketch plane: the points cannot be carried onto it");
  if (const json* v = Find(doc, "type")) d.type = Integer(*v, "type");
  if (const json* v = Find(doc, "sketch")) d.isSketch = Boolean(*v, "sketch");
  if (const json* v = Find(doc, "color")) d.color = Integer(*v, "color");
  if (const json* v = Find(doc, "width")) d.width = Number(*v, "width");
  if (const json* v = Find(doc, "target")) d.addTarget = Boolean(*v, "target");
  if (const json* v = Find(doc, "range")) Range(*v, "range", d.range);
  if (const json* v = Find(doc, "blends")) d.blends = Numbers(*v, "blends");
  if (const json* v = Find(doc, "end_tangents")) {
    Object(*v, "end_tangents");
    OnlyKeys(*v, {"start", "end"}, "end_tangents");
    if (const json* s = Find(*v, "start")) {
      d.startTangent = VORMathDirection(UsableVector(*s, "end_tangents.start"));
      d.hasStartTangent = true;
    }
    if (const json* e = Find(*v, "end")) {
      d.endTangent = VORMathDirection(UsableVector(*e, "end_tangents.end"));
      d.hasEndTangent = true;
    }
  }
  return d;
}

StrokeDrawing ReadPlain(const json& doc) {
  StrokeDrawing d;
  OnlyKeys(doc, {"source", "licence", "points", "times_ms"}, "");
  d.points = Points(Need(doc, "points", ""), "points", true);
  if (d.points.Size() < 2) Fail("points", "a stroke needs at least two points");
  return d;
}

}  // namespace

StrokeFileContents ParseStrokeText(const std::string& text) {
  json doc;
  try {
    // The callback refuses deep nesting before the document grows with it.
    doc = json::parse(text, [](int depth, json::parse_event_t, json&) {
      if (depth > kMaxDepth) throw TooDeep();
      return true;
    });
  } catch (const TooDeep&) {
    Fail("", "not a stroke file: nested deeper than " + std::to_string(kMaxDepth) + " levels");
  } catch (const json::parse_error& e) {
    Fail("", "not JSON (at byte " + std::to_string(e.byte) + ")");
  } catch (const json::out_of_range&) {
    Fail("", "not a stroke file: a number too large for a double");
  } catch (const json::exception& e) {
    Fail("", std::string("not a stroke file: ") + e.what());
  }
  if (!doc.is_object()) Fail("", "not a stroke file: expected a JSON object");
  StrokeFileContents contents;
  const json* kind = Find(doc, "kind");
  if (kind) {
    if (!kind->is_string()) Fail("kind", "expected \"drawing\" or \"stroke\"");
    const std::string k = kind->get<std::string>();
    if (k == "stroke") {
      contents.kind = StrokeFileKind::SavedStroke;
      contents.saved = ReadSaved(doc);
    } else if (k == "drawing") {
      contents.kind = StrokeFileKind::Drawing;
      contents.drawing = ReadDrawing(doc);
    } else {
      Fail("kind", "expected \"drawing\" or \"stroke\"");
    }
  } else if (Find(doc, "view") || Find(doc, "plane") || Find(doc, "planes")) {
    contents.kind = StrokeFileKind::Drawing;
    contents.drawing = ReadDrawing(doc);
  } else {
    contents.kind = StrokeFileKind::Plain;
    contents.drawing = ReadPlain(doc);
  }
  return contents;
}

StrokeFileContents ReadStrokeFile(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) Fail("", "cannot open the file");
  if (!S_ISREG(st.st_mode)) Fail("", "not a regular file");
  if (static_cast<unsigned long long>(st.st_size) > kMaxStrokeFileSize)
    Fail("", "file too large (" + std::to_string(st.st_size / (1024 * 1024)) + " MB; at most " +
                 std::to_string(kMaxStrokeFileSize / (1024 * 1024)) + " MB)");
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) Fail("", "cannot open the file");
  std::string text;
  char buffer[65536];
  std::size_t n = 0;
  // Read at most one byte beyond the cap, whatever stat said (the file may grow meanwhile).
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
    text.append(buffer, n);
    if (text.size() > kMaxStrokeFileSize) {
      std::fclose(f);
      Fail("", "file too large (more than " + std::to_string(kMaxStrokeFileSize / (1024 * 1024)) + " MB)");
    }
  }
  const bool readError = std::ferror(f) != 0;
  std::fclose(f);
  if (readError) Fail("", "read error");
  return ParseStrokeText(text);
}

void ApplySavedStroke(const SavedStrokeFields& saved, TAQMoStroke& stroke,
                      std::vector<std::unique_ptr<TAQMoStrokeData>>& records) {
  auto make = [](const SavedStrokeFields::Segment& s) {
    auto segment = std::make_unique<TAQMoStrokeData>();
    segment->SetCoords(s.coords);
    segment->SetData(s.points2D);
    if (s.isRef) segment->SetBase(s.base);
    return segment;
  };
  TAQUtVector<TAQMoStrokeData*> data;
  for (const auto& s : saved.segments) data.Append(make(s).release());
  stroke.SetData(data, false);  // adopted: the stroke deletes them
  TAQUtVector<TAQMoStrokeData*> tangents;
  for (const auto& s : saved.tangents) {
    records.push_back(make(s));
    tangents.Append(records.back().get());
  }
  stroke.SetTangents(tangents);
  stroke.SetType(saved.type);
  stroke.SetIsSketch(saved.isSketch);
  stroke.SetColor(saved.color);
  stroke.SetWidth(saved.width);
  if (saved.range[0] < saved.range[1]) stroke.SetRange(saved.range);
  stroke.SetSketchPlane(saved.sketchPlane);
  stroke.SetSketchPlaneDefined(saved.sketchPlaneDefined);
  stroke.SetAnchors(saved.anchors);
  stroke.SetBlends(saved.blends);
  stroke.SetTargets(saved.targets);
  stroke.SetEndPoints(saved.endPoints);
  stroke.SetDisplayData(saved.splits, saved.coords, saved.normals);
}

json SaveStroke(const TAQMoStroke& stroke) {
  int type = 0, color = 0;
  bool isSketch = false;
  double width = 0.0, range[2] = {0.0, 1.0};
  stroke.GetType(type);
  stroke.GetIsSketch(isSketch);
  stroke.GetColor(color);
  stroke.GetWidth(width);
  stroke.GetRange(range);
  VORMathPlane plane;
  stroke.GetSketchPlane(plane);
  VORRawCollint anchors, splits;
  stroke.GetAnchors(anchors);
  stroke.GetSplits(splits);
  VORRawColldouble blends;
  stroke.GetBlends(blends);
  VORListValVORMathPlane targets;
  stroke.GetTargets(targets);
  VORListValVORMathPoint endPoints, coords;
  stroke.GetEndPoints(endPoints);
  stroke.GetCoords(coords);
  VORListValVORMathVector normals;
  stroke.GetNormals(normals);
  TAQUtVector<TAQMoStrokeData*> data, tangents;
  stroke.GetData(data);
  stroke.GetTangents(tangents);
  json doc;
  doc["kind"] = "stroke";
  doc["type"] = type;
  doc["sketch"] = isSketch;
  doc["color"] = color;
  doc["width"] = width;
  doc["range"] = json::array({range[0], range[1]});
  doc["sketch_plane_defined"] = stroke.IsSketchPlaneDefined();
  doc["sketch_plane"] = ToJson(plane);
  doc["on_3d"] = stroke.IsOn3D();
  doc["anchors"] = RawJson(anchors);
  doc["blends"] = RawJson(blends);
  doc["targets"] = ListJson(targets);
  doc["end_points"] = ListJson(endPoints);
  doc["display"] = json{{"splits", RawJson(splits)}, {"coords", ListJson(coords)}, {"normals", ListJson(normals)}};
  doc["segments"] = SegmentsJson(data);
  doc["tangents"] = SegmentsJson(tangents);
  return doc;
}
