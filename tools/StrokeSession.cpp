#include "StrokeSession.h"

#include <chrono>
#include <cmath>

#include "TAQMoCSStrokeUtilities.h"
#include "VORCurve.h"
#include "VORListPtrVORCurve.h"

double NowMs() {
  using namespace std::chrono;
  return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

void StrokeSession::RecordEndPoints() {
  // The end points are where an end tangent is picked up: keep them on the stroke's ends.
  VORMathPoint ends[2];
  VORMathDirection dirs[2];
  if (!mStroke.GetEndTangents(ends, dirs)) return;
  VORListValVORMathPoint e;
  e.Append(ends[0]);
  e.Append(ends[1]);
  mStroke.SetEndPoints(e);
}

bool StrokeSession::Refit(std::string& message) {
  const double t0 = NowMs();
  const bool ok = mStroke.Update(&mConfig, &mFactory, nullptr);
  mUpdateMs += NowMs() - t0;
  if (!ok) {
    message = "the stroke could not be refitted";
    return false;
  }
  RecordEndPoints();
  return true;
}

bool StrokeSession::Create(const StrokeFileContents& contents, std::string& field, std::string& message) {
  const double t0 = NowMs();
  if (contents.kind == StrokeFileKind::SavedStroke) {
    ApplySavedStroke(*contents.saved, mStroke, mRecords);
    mStroke.GetSourcePoints(mDrawn, nullptr, nullptr, nullptr, nullptr);
    mDrawnOnPlane = mDrawn;
    mCreateMs = NowMs() - t0;
    return true;  // a saved stroke is taken as it was saved: no refit
  }
  const StrokeDrawing& d = contents.drawing;
  mStroke.SetSketchPlane(d.sketchPlane);
  long result = E_FAIL;
  if (d.planes.Size() > 0) {
    VORListValVORMathPlane planes = d.planes;
    VORListValVORMathPoint2D points2D = d.points2D;
    VORListValVORMathPoint points3D = d.points;
    VORRawCollint anchors = d.anchors;
    result = TAQMoStroke::CreateFromReferences(mStroke, d.isSketch, d.addTarget, d.type, d.color, d.width, planes,
                                               points2D, points3D, anchors.Size() > 0 ? &anchors : nullptr);
    if (result != S_OK) {
      field = "points2d";
      message = "the stroke refuses these reference points";
      return false;
    }
    for (int i = 1; i <= d.points2D.Size(); ++i) {
      const VORMathPlane& plane = d.planes[d.planes.Size() == 1 ? 1 : i];
      mDrawn.Append(plane.EvalPoint(d.points2D[i].GetX(), d.points2D[i].GetY()));
    }
    mDrawnOnPlane = mDrawn;
  } else {
    mDrawn = d.points;
    if (!TAQMoCSStrokeUtilities::ForwardToPlane(d.view, d.sketchPlane, d.points, mDrawnOnPlane)) mDrawnOnPlane = d.points;
    VORListValVORMathPoint points = d.points;
    result = TAQMoStroke::CreateInView(mStroke, &mConfig, &mFactory, d.isSketch, d.addTarget, d.type, d.color,
                                       d.width, points, d.view, 0);
    if (result != S_OK) {
      field = "points";
      message = "the stroke refuses these points (fewer than two distinct points?)";
      return false;
    }
  }
  if (d.blends.Size() > 0) mStroke.SetBlends(d.blends);
  if (mStroke.SetRange(d.range) != S_OK) {
    field = "range";
    message = "refused by the stroke";
    return false;
  }
  mCreateMs = NowMs() - t0;
  if (!Refit(message)) {
    field = "points";
    return false;
  }
  if (d.hasStartTangent || d.hasEndTangent) {
    VORMathPoint ends[2];
    VORMathDirection dirs[2], normals[2];
    if (!mStroke.GetEndTangents(ends, dirs)) {
      field = "end_tangents";
      message = "the stroke has no ends to give tangents to";
      return false;
    }
    if (d.hasStartTangent) dirs[0] = d.startTangent;
    if (d.hasEndTangent) dirs[1] = d.endTangent;
    normals[0] = normals[1] = d.sketchPlane.GetNormal();
    mStroke.UpdateEndTangents(ends, dirs, normals);
    if (!Refit(message)) {
      field = "end_tangents";
      return false;
    }
  }
  return true;
}

bool StrokeSession::InsertAnchor(const VORMathPoint& point, std::string& message) {
  if (!mStroke.InsertAnchor(&mConfig, &mFactory, point)) {
    message = "the stroke refused the new anchor";
    return false;
  }
  return Refit(message);
}

bool StrokeSession::Drag(const VORMathPoint& from, const VORMathPoint& to, std::string& message) {
  // The refit below is the only one: ReshapeCurve leaves the geometry to it.
  if (!SessionStroke::ReshapeCurve(&mConfig, &mFactory, &mStroke, from, to, false, true)) {
    message = "the stroke refused the drag";
    return false;
  }
  return Refit(message);
}

bool StrokeSession::SetEndTangent(bool atEnd, const VORMathDirection& direction, std::string& message, bool bend) {
  VORMathPoint ends[2];
  VORMathDirection dirs[2];
  if (!mStroke.GetEndTangents(ends, dirs)) {
    message = "the stroke has no end tangents";
    return false;
  }
  // A stroke lies in its sketch plane: only the tangent's part in the plane can hold.
  VORMathPlane plane;
  mStroke.GetSketchPlane(plane);
  const VORMathVector n = plane.GetNormal().GetVector();
  const VORMathVector inPlane = direction.GetVector() - n * direction.GetVector().Dot(n);
  if (!(inPlane.GetNorm() > 1e-6)) {
    message = "the end tangent runs along the sketch plane's normal: a stroke in the plane cannot follow it";
    return false;
  }
  RecordEndPoints();
  const int k = atEnd ? 1 : 0;
  if (!mStroke.UpdateEndTangent(&mConfig, &mFactory, ends[k], dirs[k], direction, bend)) {
    message = "the stroke refused the end tangent";
    return false;
  }
  return Refit(message);
}

bool StrokeSession::DeleteAnchor(int position, std::string& message) {
  VORRawCollint anchors;
  mStroke.GetAnchors(anchors);
  if (position <= 1 || position >= anchors.Size()) {
    message = "anchor " + std::to_string(position) + " is not an inner anchor (the stroke has " +
              std::to_string(anchors.Size()) + "; inner ones are 2.." + std::to_string(anchors.Size() - 1) + ")";
    return false;
  }
  mStroke.DeleteAnchor(position);
  return Refit(message);
}

bool StrokeSession::SetRange(const double range[2], std::string& message) {
  if (mStroke.SetRange(range) != S_OK) {
    message = "the stroke refused the range";
    return false;
  }
  return Refit(message);
}

bool StrokeSession::Cut(std::string& message) {
  double range[2] = {0.0, 1.0};
  mStroke.GetRange(range);
  if (range[0] <= 0.0 && range[1] >= 1.0) {
    message = "the range is the whole stroke: nothing to cut (give --range START,END)";
    return false;
  }
  // The cut keeps what is shown: its end points are first set to the shown range's ends, so that
  // nothing from outside the range (an anchor, the old start) comes back into the stroke.
  VORListValVORMathPoint shown;
  mStroke.GetCoords(shown);
  if (shown.Size() >= 2) {
    VORListValVORMathPoint ends;
    ends.Append(shown[1]);
    ends.Append(shown[shown.Size()]);
    mStroke.SetEndPoints(ends);
  }
  if (!SessionStroke::HardSubsetStroke(&mConfig, &mFactory, &mStroke)) {
    message = "the stroke could not be cut to its range";
    return false;
  }
  return Refit(message);
}

VORBody* StrokeSession::Extrude(double limits[2], std::string& message) {
  VORBody* body = nullptr;
  if (mStroke.CreateExtrudedBody(&mConfig, &mFactory, limits, body, nullptr) != S_OK || body == nullptr) {
    message = "the stroke could not be extruded";
    return nullptr;
  }
  return body;
}

StrokePicture StrokeSession::Picture(const std::string& title) {
  StrokePicture pic;
  pic.title = title;
  mStroke.GetSketchPlane(pic.plane);
  pic.drawn = mDrawn;
  bool sketch = false;
  mStroke.GetDisplayData(sketch, pic.color, pic.width, pic.splits, pic.display, nullptr);
  mStroke.GetAnchors(pic.anchors);
  pic.hasTangents = mStroke.GetEndTangents(pic.ends, pic.tangents);
  return pic;
}

StrokeFigures StrokeSession::Figures() {
  StrokeFigures f;
  f.pointsIn = mDrawn.Size();
  VORListValVORMathPoint source;
  mStroke.GetSourcePoints(source, nullptr, nullptr, nullptr, nullptr);
  f.sourcePoints = source.Size();
  VORRawCollint anchors;
  mStroke.GetAnchors(anchors);
  f.anchors = anchors.Size();
  VORListPtrVORCurve curves;
  if (mStroke.Evaluate(&mFactory, &mConfig, curves, nullptr, nullptr, nullptr, nullptr)) {
    f.curves = curves.Size();
    for (int i = 1; i <= curves.Size(); ++i)
      if (curves[i]) f.controlPoints += curves[i]->GetPoleCount();
  }
  bool sketch = false;
  int color = 0;
  double width = 0.0;
  VORRawCollint splits;
  VORListValVORMathPoint coords;
  mStroke.GetDisplayData(sketch, color, width, splits, coords, nullptr);
  f.displayPoints = coords.Size();
  for (int i = 2; i <= coords.Size(); ++i) f.length += coords[i].DistanceTo(coords[i - 1]);
  // Deviation of the source points from the display polyline, over the part the range keeps.
  double range[2] = {0.0, 1.0};
  mStroke.GetRange(range);
  const bool whole = range[0] <= 0.0 && range[1] >= 1.0;
  auto deviation = [&](const VORListValVORMathPoint& points) {
    double worst = 0.0;
    for (const VORMathPoint& p : points) {
      VORMathPoint foot;
      if (TAQMoCSStrokeUtilities::PolylineProjection(p, nullptr, coords, foot, nullptr) > 0.0)
        worst = std::fmax(worst, p.DistanceTo(foot));
    }
    return worst;
  };
  if (coords.Size() >= 2 && whole) {
    f.maxDeviation = deviation(source);
    f.maxDrawnDeviation = deviation(mDrawnOnPlane);
  }
  return f;
}
