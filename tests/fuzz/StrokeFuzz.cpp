// Fuzz target: decodes its input into a sequence of public and protected operations on a few strokes
// that share one factory, and checks after every step what the interfaces promise. Built with libFuzzer
// (scripts/fuzz.sh) and, for the regression corpus, with a plain replay driver (FuzzReplay.cpp).
//
// Input: a sequence of records, each an operation byte followed by the bytes that operation reads, in
// the order written (never two reads in one call or expression, whose order the compiler picks: an input
// must mean the same to every build).
// Numbers are read as 16-bit integers scaled to model units, except that a few codes stand for NaN,
// the infinities, huge and tiny values, so that hostile coordinates come up often.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "TAQMoCSStrokeUtilities.h"
#include "TAQMoStroke.h"
#include "TAQMoStrokeData.h"
#include "VORBody.h"
#include "VORGeoFactory.h"
#include "VORSoftwareConfiguration.h"
#include "VORTopData.h"

namespace {

class Reader {
 public:
  Reader(const uint8_t* data, size_t size) : mData(data), mSize(size) {}
  bool AtEnd() const { return mPos >= mSize; }
  uint8_t U8() { return mPos < mSize ? mData[mPos++] : 0; }
  int16_t I16() {
    const int low = U8();
    return static_cast<int16_t>(low | (U8() << 8));
  }
  double Number() {
    const int16_t v = I16();
    switch (v) {
      case 32767: return std::numeric_limits<double>::quiet_NaN();
      case 32766: return std::numeric_limits<double>::infinity();
      case -32768: return -std::numeric_limits<double>::infinity();
      case 32765: return 1e300;
      case -32767: return 1e-300;
      default: return v / 100.0;
    }
  }
  VORMathPoint Point() { double x = Number(), y = Number(), z = Number(); return VORMathPoint(x, y, z); }
  VORMathVector Vector() { double x = Number(), y = Number(), z = Number(); return VORMathVector(x, y, z); }

 private:
  const uint8_t* mData;
  size_t mSize;
  size_t mPos = 0;
};

// Reaches the protected operations the way an application's subclass can.
class FuzzStroke : public TAQMoStroke {
 public:
  using TAQMoStroke::TAQMoStroke;
  using TAQMoStroke::GetAnchorsInRange;
  using TAQMoStroke::HardSubsetStroke;
  using TAQMoStroke::ReshapeCurve;
  using TAQMoStroke::ReshapeCurveToDirection;
  using TAQMoStroke::UpdateGeometry;
  using TAQMoStroke::ClearDataBetween;
};

constexpr int kSlots = 3;
constexpr int kMaxPoints = 400;

[[noreturn]] void Fail() { __builtin_trap(); }

// Reading every segment and record touches their memory: a segment freed while held shows up here.
void CheckReadable(FuzzStroke& s) {
  TAQUtVector<TAQMoStrokeData*> data, tangents;
  s.GetData(data);
  s.GetTangents(tangents);
  VORListValVORMathPoint pts;
  for (unsigned i = 0; i < data.Size(); ++i)
    if (data[i]) data[i]->GetSourcePoints(pts, nullptr);
  for (unsigned i = 0; i < tangents.Size(); ++i)
    if (tangents[i]) tangents[i]->GetSourcePoints(pts, nullptr);
}

void CheckDisplay(const FuzzStroke& s) {
  bool sketch = false;
  int color = 0;
  double width = 0.0;
  VORRawCollint splits;
  VORListValVORMathPoint coords;
  VORListValVORMathVector normals;
  s.GetDisplayData(sketch, color, width, splits, coords, &normals);
  if (splits.Size() < 1) Fail();
  for (int i = 1; i <= splits.Size(); ++i) {
    if (splits[i] < 0 || splits[i] > coords.Size()) Fail();
    if (i > 1 && splits[i] < splits[i - 1]) Fail();
  }
}

// Anchors ascending, first 1, last the source-point count.
void CheckAnchors(FuzzStroke& s) {
  VORRawCollint anchors;
  s.GetAnchors(anchors);
  if (anchors.Size() == 0) return;
  VORListValVORMathPoint pts;
  s.GetSourcePoints(pts, nullptr, nullptr, nullptr, nullptr);
  if (anchors[1] != 1 || anchors[anchors.Size()] != pts.Size()) Fail();
  for (int i = 2; i <= anchors.Size(); ++i)
    if (anchors[i] <= anchors[i - 1]) Fail();
}

// Points either listed one by one (mode 0: a count, then three numbers a point), or as a pen-like walk
// whose step turns a little each sample, now and then sharply or by a hostile value.
void ReadPoints(Reader& in, VORListValVORMathPoint& points) {
  if (in.U8() % 4 == 0) {
    const int count = (in.I16() & 0x7fff) % kMaxPoints;
    for (int i = 0; i < count && !in.AtEnd(); ++i) points.Append(in.Point());
    return;
  }
  const int length = in.U8() % 64;
  const int count = 1 + length * (1 + in.U8() % 6);
  VORMathPoint p = in.Point();
  VORMathVector v = in.Vector() * 0.01;
  for (int i = 0; i < count && i < kMaxPoints && !in.AtEnd(); ++i) {
    const uint8_t turn = in.U8();
    if (turn == 255) v = in.Vector();
    else v = v + VORMathVector((turn % 16 - 8) * 0.01, (turn / 16 - 8) * 0.01, 0.0);
    p = p + v;
    points.Append(p);
  }
}

VORMathPlane ReadPlane(Reader& in) {
  const VORMathPoint o = in.Point();
  switch (in.U8() % 3) {
    case 0: return VORMathPlane();
    case 1: return VORMathPlane(o, in.Vector());
    default: { VORMathVector a = in.Vector(); VORMathVector b = in.Vector(); return VORMathPlane(o, a, b); }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Reader in(data, size);
  VORGeoFactory factory;
  VORSoftwareConfiguration config;
  std::unique_ptr<FuzzStroke> slots[kSlots];
  bool anchorsPromised[kSlots] = {false, false, false};
  for (int i = 0; i < kSlots; ++i) slots[i].reset(new FuzzStroke());
  // Tangent records the caller saved from a stroke (valid while that stroke lives), and records the
  // caller made itself (its own to free, which it does at the end, before or after the strokes go).
  TAQUtVector<TAQMoStrokeData*> saved;
  int savedFrom = -1;
  std::vector<std::unique_ptr<TAQMoStrokeData>> own;
  auto gone = [&](int slot) { if (slot == savedFrom) { saved.RemoveAll(); savedFrom = -1; } };

  // TAQ_FUZZ_TRACE=1 prints each step, to read what a failing input did.
  static const bool trace = std::getenv("TAQ_FUZZ_TRACE") != nullptr;
  for (int step = 0; step < 48 && !in.AtEnd(); ++step) {
    const uint8_t op = in.U8();
    const int k = in.U8() % kSlots;
    if (trace) std::fprintf(stderr, "step %d: operation %d on stroke %d\n", step, op % 24, k);
    if (!slots[k]) slots[k].reset(new FuzzStroke());
    FuzzStroke& s = *slots[k];
    switch (op % 24) {
      case 0: {  // draw in a view
        VORListValVORMathPoint points;
        const VORMathPlane plane = ReadPlane(in);
        const VORMathVector view = in.Vector();
        const int type = 1 + in.U8() % 2;
        ReadPoints(in, points);
        s.SetSketchPlane(plane);
        if (TAQMoStroke::CreateInView(s, &config, &factory, true, in.U8() & 1, type, 3, 1.0, points,
                                      VORMathDirection(view), 0) == S_OK)
          anchorsPromised[k] = true;
        break;
      }
      case 1: {  // from references, a plane per point
        VORListValVORMathPoint points;
        ReadPoints(in, points);
        VORListValVORMathPlane planes;
        VORListValVORMathPoint2D points2D;
        const VORMathPlane a = ReadPlane(in), b = ReadPlane(in);
        for (int i = 1; i <= points.Size(); ++i) {
          const VORMathPlane& pl = (in.U8() & 1) ? a : b;
          double u = 0, v = 0;
          pl.Project(points[i], u, v);
          planes.Append(pl);
          points2D.Append(VORMathPoint2D(u, v));
        }
        if (in.U8() & 1) s.SetSketchPlane(a);
        TAQMoStroke::CreateFromReferences(s, in.U8() & 1, false, 1, 0, -1.0, planes, points2D, points, nullptr);
        anchorsPromised[k] = false;
        break;
      }
      case 2: { double r[2] = {in.Number() / 100.0, in.Number() / 100.0}; s.SetRange(r); break; }
      case 3: { double r[2] = {0.0, 1.0}; s.SetRange(r); break; }
      case 4: { VORRawColldouble b; b.Append(in.Number()); if (in.U8() & 1) b.Append(in.Number()); s.SetBlends(b); break; }
      case 5: { VORListValVORMathPoint e; e.Append(in.Point()); e.Append(in.Point()); s.SetEndPoints(e); break; }
      case 6: {  // arbitrary anchors: nothing promised about them afterwards
        VORRawCollint a;
        const int n = in.U8() % 6;
        for (int i = 0; i < n; ++i) a.Append(in.I16() % 600);
        s.SetAnchors(a);
        anchorsPromised[k] = false;
        break;
      }
      case 7: { const int j = in.U8() % kSlots; if (j != k) { gone(j); slots[j].reset(new FuzzStroke(s)); anchorsPromised[j] = anchorsPromised[k]; } break; }
      case 8: { const int j = in.U8() % kSlots; if (slots[j]) { *slots[j] = s; anchorsPromised[j] = anchorsPromised[k]; } break; }
      case 9: gone(k); slots[k].reset(); continue;
      case 10: { VORListPtrVORCurve c; VORRawCollint sp; VORListValVORMathPoint p; VORListValVORMathVector n;
                 s.Evaluate(&factory, &config, c, nullptr, &sp, &p, &n); break; }
      case 11: { VORListPtrVORCurve c; double r[2] = {in.Number() / 100.0, in.Number() / 100.0};
                 s.Evaluate(&factory, &config, c, r, nullptr, nullptr, nullptr); break; }
      case 12: s.Update(&config, &factory, nullptr); break;
      case 13: { bool promised = anchorsPromised[k];
                 if (s.InsertAnchor(&config, &factory, in.Point())) s.Update(&config, &factory, nullptr);
                 anchorsPromised[k] = promised; break; }
      case 14: s.DeleteAnchor(in.U8() % 8); break;
      case 15: { const VORMathPoint from = in.Point(); const VORMathPoint to = in.Point();
                 FuzzStroke::ReshapeCurve(&config, &factory, &s, from, to, in.U8() & 1, false); break; }
      case 16: { VORListValVORMathPoint e; s.GetEndPoints(e);
                 const VORMathPoint at = (e.Size() > 0 && (in.U8() & 1)) ? e[1] : in.Point();
                 const VORMathDirection direction(in.Vector());
                 s.UpdateEndTangent(&config, &factory, at, VORMathDirection(), direction, in.U8() & 1);
                 break; }
      case 17: if (FuzzStroke::HardSubsetStroke(&config, &factory, &s)) anchorsPromised[k] = true; break;
      case 18: { VORMathPoint p; VORMathDirection d; VORListPtrVORCurve c; const VORMathPoint at = in.Point();
                 s.GetProjection(&factory, &config, at, p, d, c, in.U8() & 1); break; }
      case 19: { VORMathDirection d; VORListValVORMathPoint p; s.GetSourceCurve(&factory, &config, d, &p); break; }
      case 20: { double lim[2] = {in.Number(), in.Number()}; VORBody* body = nullptr; VORMathPoint ends[2];
                 s.CreateExtrudedBody(&config, &factory, lim, body, (in.U8() & 1) ? ends : nullptr); break; }
      case 21: { VORTopData top(&config, nullptr); VORBody* body = nullptr; s.MakeWireBody(&factory, &top, &body); break; }
      case 22: s.ClearCurveCache(); break;
      case 23: { const uint8_t b = in.U8();  // tangent records: shared, saved, given back, dropped, the caller's
                 const int j = b % kSlots;
                 switch (b / kSlots % 5) {
                   case 0: if (slots[j]) { TAQUtVector<TAQMoStrokeData*> t; s.GetTangents(t); slots[j]->SetTangents(t); } break;
                   case 1: s.GetTangents(saved); savedFrom = k; break;
                   case 2: s.SetTangents(saved); break;
                   case 3: s.SetTangents(TAQUtVector<TAQMoStrokeData*>()); break;
                   default: {
                     TAQUtVector<TAQMoStrokeData*> mine;
                     for (int i = 0; i < 1 + b % 2; ++i) {
                       own.emplace_back(new TAQMoStrokeData());
                       if (j > 0) own.back()->SetBase(VORMathPlane());  // reference-defined, no points yet
                       mine.Append(own.back().get());
                     }
                     s.SetTangents(mine);
                   }
                 }
                 break; }
    }
    if (trace) {
      VORRawCollint a;
      VORListValVORMathPoint p;
      s.GetAnchors(a);
      s.GetSourcePoints(p, nullptr, nullptr, nullptr, nullptr);
      std::fprintf(stderr, "  %d source points, anchors", p.Size());
      for (int i = 1; i <= a.Size(); ++i) std::fprintf(stderr, " %d", a[i]);
      std::fprintf(stderr, "\n");
      if (std::getenv("TAQ_FUZZ_TRACE")[0] == '2')
        for (int i = 1; i <= p.Size(); ++i) std::fprintf(stderr, "  %.17g %.17g %.17g\n", p[i].GetX(), p[i].GetY(), p[i].GetZ());
    }
    CheckReadable(s);
    CheckDisplay(s);
    if (anchorsPromised[k]) CheckAnchors(s);
    VORListValVORMathPoint pts;
    s.GetSourcePoints(pts, nullptr, nullptr, nullptr, nullptr);
    s.GetUnitLength();
  }
  // Destroy in the order the input's last byte says; the caller frees its own records first or last.
  const int order = size ? data[size - 1] % 4 : 0;
  if (order & 2) own.clear();
  for (int i = 0; i < kSlots; ++i) slots[(order & 1) ? kSlots - 1 - i : i].reset();
  own.clear();
  return 0;
}
