// Creation of a stroke from points drawn in a 3D view, carried along the view direction onto the
// stroke's sketch plane.
#include "TAQMoCSStrokeUtilities.h"
#include "TAQMoStroke.h"

long TAQMoStroke::CreateInView(TAQMoStroke& stroke, VORSoftwareConfiguration* config, VORGeoFactory* factory,
                               bool isSketch, bool addTarget, int type, int color, double width,
                               VORListValVORMathPoint& points, const VORMathDirection& viewDirection, int count) {
  if (points.Size() == 0 || !factory) return E_FAIL;
  // Hostile input is refused at the boundary, before any point is carried anywhere.
  for (const VORMathPoint& p : points)
    if (!p.IsFinite()) return E_FAIL;
  const bool planeDefined = stroke.mSketchPlaneDefined;
  if (planeDefined && !stroke.mSketchPlane.IsValid()) return E_FAIL;

  const VORMathPlane viewPlane(points[1], viewDirection.GetVector());

  VORListValVORMathPoint flattened;
  if (type == 1) {
    // Flatten onto the plane through the first point square to the view, then thin within the fit
    // tolerance, keeping the corners.
    TAQMoCSStrokeUtilities::ForwardToPlane(viewDirection, viewPlane, points, flattened);
    VORRawCollint splits;
    TAQMoCSStrokeUtilities::PrepareCurveData(flattened, flattened, count, splits, splits, 45.0);
    TAQMoCSStrokeUtilities::SimplifyFitPoints(factory, config, flattened, &splits,
                                              static_cast<double>(TAQMoCSStrokeUtilities::mFitTolerance2D));
  }
  // The caller's list serves only when flattening gave nothing; it is then also the list the anchors
  // refer to, so work on a copy to leave the caller's points as they came on failure.
  VORListValVORMathPoint working = flattened.Size() > 0 ? flattened : points;

  if (!planeDefined) return E_FAIL;
  const VORMathPlane sketchPlane = stroke.mSketchPlane;

  // Anchors first, then the 2D points. Anchors are positions in the stroke's source points, the first 1 and
  // the last their count; finding them drops repeated samples from the working points. 2D points made
  // before that would keep the repeats, and every anchor after a repeat (the last one included) would
  // name the wrong point. So the 2D points are made from the very list the anchors refer to.
  VORRawCollint anchors;
  TAQMoCSStrokeUtilities::PrepareCurveData(working, working, count, anchors, anchors, 45.0);

  VORListValVORMathPoint2D points2D;
  TAQMoCSStrokeUtilities::ForwardToPlane(viewDirection, sketchPlane, working, points2D);

  VORListValVORMathPlane planes;
  planes.Append(sketchPlane);
  VORListValVORMathPoint noPoints;
  const long result =
      CreateFromReferences(stroke, isSketch, addTarget, type, color, width, planes, points2D, noPoints, &anchors);
  if (result == S_OK && flattened.Size() == 0) points = working;  // the caller's list is the anchors' output
  return result;
}
