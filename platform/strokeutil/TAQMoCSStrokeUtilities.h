// Static stroke-geometry operations: curve fitting through drawn points, tessellation, projection,
// thinning, corner detection and polyline work. Positions in point lists are 1-based. Every operation
// checks its input at the boundary: null pointers, empty lists and non-finite coordinates give a false
// (or null, or 0) result with the outputs as documented, never undefined behaviour.
#ifndef TAQMoCSStrokeUtilities_h
#define TAQMoCSStrokeUtilities_h

#include "TAQExport.h"
#include "VORCrvParam.h"
#include "VORListPtrVORCurve.h"
#include "VORListValVORMathPoint.h"
#include "VORListValVORMathVector.h"
#include "VORMathDirection.h"
#include "VORMathPlane.h"
#include "VORMathPoint.h"
#include "VORMathVector.h"
#include "VORRawColldouble.h"
#include "VORRawCollint.h"
#include "VORListValVORMathPoint2D.h"

class VORBody;
class VORCurve;
class VORGeoFactory;
class VORSoftwareConfiguration;

class TAQ_EXPORT TAQMoCSStrokeUtilities {
 public:
  // ---- Fitting ----

  // A new curve in factory through points, or null. The curve is a clamped cubic B-spline that keeps
  // every point within the fit tolerance mFitTolerance2D (model units, the distance of a point from the
  // curve; on points more than ten thousand tolerances across, a ten-thousandth of their extent) and
  // passes through the first and last point. splits: 1-based positions in points (the
  // anchors) that the curve passes through (within LengthTol); may be null; positions outside the list
  // are ignored. At an anchor where the drawn points turn by less than 45 degrees the curve is twice
  // continuously differentiable; where they turn by more, and at drawn corners between anchors, it keeps
  // a sharp corner that leaves along the drawn directions. endVectors: two vectors, start then end,
  // each the direction the curve runs at that end; a non-zero one imposes it, a zero one leaves the end
  // free; may be null (both free). The curve's parameter runs from 0 along the arc length of the points
  // (without repeated samples), so the parameter at an anchor is the polyline length up to it.
  // fittedPoints, when given, receives the drawn points the fit used (repeated samples dropped). Between
  // two points far apart the curve follows their chord within the tolerance too. Null for no factory,
  // a non-finite point, or fewer than two distinct points.
  static VORCurve* CreateFitCurve(VORGeoFactory* factory, VORSoftwareConfiguration* config,
                                  const VORListValVORMathPoint& points, const VORRawCollint* splits,
                                  const VORMathVector* endVectors, VORListValVORMathPoint* fittedPoints);

  // Thins points in place so that the polyline of the result stays within half the tolerance (model
  // units) of the original, which leaves the other half to a fit of the result; the ends and the
  // positions in keep (any order) are never dropped and are rewritten to their new positions. False,
  // with nothing changed, for a negative or non-finite tolerance, a non-finite point or a position in
  // keep outside the list.
  static bool SimplifyFitPoints(VORGeoFactory* factory, VORSoftwareConfiguration* config,
                                VORListValVORMathPoint& points, VORRawCollint* keep, double tolerance);

  // Anchor positions for points. refPoints are the points that anchorsIn refers to (positions in
  // refPoints); count is how many leading entries of anchorsIn to carry over onto points (clamped to
  // 0..anchorsIn.Size(); callers pass the size of anchorsIn to carry all, 0 for none). anchorsOut
  // receives ascending 1-based positions in points: both ends, the carried anchors each mapped onto the
  // nearest point at or after the previous carried one, and the corners where the drawn direction turns
  // by more than cornerAngle degrees (measured over chords a few sample spacings and tolerances long, so
  // that jitter and pixel steps do not count; a corner within that length of an anchor is that anchor).
  // Repeated samples (within LengthTol of the previous point) are removed from points in place. points
  // and refPoints, anchorsIn and anchorsOut may be the same lists. False, with points unchanged and
  // anchorsOut its two ends, when a point is non-finite; false with anchorsOut empty for no points.
  static bool PrepareCurveData(VORListValVORMathPoint& points, const VORListValVORMathPoint& refPoints, int count,
                               const VORRawCollint& anchorsIn, VORRawCollint& anchorsOut, double cornerAngle);

  // ---- Tessellation ----

  // The whole curve as a polyline within tolerance (chordal deviation, model units) of it: every point of
  // the curve lies within tolerance of the polyline segment that spans it, and every polyline point lies on
  // the curve, the first at its start limit, the last at its end limit. points is emptied first; false (and
  // points empty) for a null curve or a tolerance that is not a positive finite number. The work is
  // bounded whatever the tolerance (at most 2^16 segments per span of the B-spline). Under a tolerance up
  // to the fit tolerance mFitTolerance2D every span end of the B-spline is a point of the polyline (a cut
  // rebuilds a stroke from its display); under a coarser one, the picture of a large curve, flat spans
  // in a row are joined into one segment, within the tolerance all the same.
  static bool Tessellate(const VORCurve* curve, double tolerance, VORListValVORMathPoint& points);
  // The curve between two of its parameters (clamped to its limits), from start to end; given end before
  // start, the polyline runs backwards. False for equal or non-finite parameters.
  static bool Tessellate(const VORCurve* curve, const VORCrvParam& start, const VORCrvParam& end, double tolerance,
                         VORListValVORMathPoint& points);
  // A list of curves into one polyline, each curve whole and in its own direction, in list order.
  // indices (parallel to curves, or empty) gives the part of the source each curve came from: a new piece
  // of the polyline starts wherever the index changes; with no indices, wherever a curve does not start
  // within its factory's resolution of where the previous one ended. splits (emptied first) receives the
  // 1-based position of the last point of each piece, so its last entry is the point count. maxLength > 0
  // also bounds every polyline segment's length (model units); 0 leaves the length free. flag true keeps
  // the shared point of two joined curves of one piece twice; false keeps it once. False, with both lists
  // empty, for no curve, a null curve, indices of another size than curves, or a bad tolerance.
  static bool Tessellate(const VORListPtrVORCurve& curves, const VORRawCollint& indices, VORRawCollint& splits,
                         VORListValVORMathPoint& points, double tolerance, double maxLength, bool flag);

  // ---- Curves ----

  // The curve between parameters start and end projected onto body along the faces' normals: pieces
  // (new curves in the curve's factory, emptied first) on the body's faces, ordered and directed as the
  // curve runs. indices (parallel to pieces) numbers from 1 the connected runs of the projection: pieces
  // that continue one another within the factory's resolution share a number, and the number goes up
  // where the projection breaks off (the curve leaves the body and comes back). False, with both lists
  // empty, when nothing projects or for a null body or curve, or an empty parameter range.
  static bool GetProjection(VORSoftwareConfiguration* config, VORBody* body, VORCurve* curve, double start,
                            double end, VORListPtrVORCurve& pieces, VORRawCollint& indices);
  // The curve of curves nearest point, the parameter value of the nearest point on it, and the distance
  // (model units). With a direction, distances are measured across it (to the line through point along
  // direction), as for a pen seen along a view direction. Null entries of curves are skipped; the first of
  // equally near curves wins. flag is accepted for the framework's signature and changes nothing. False,
  // with the outputs untouched, for a non-finite point or when curves holds no curve.
  static bool GetProjectionOnCurves(VORSoftwareConfiguration* config, const VORListPtrVORCurve& curves,
                                    const VORMathPoint& point, const VORMathDirection* direction, double& param,
                                    VORCurve*& curve, double* distance, bool flag);
  // Cuts curve in place to range (two fractions of its arc length, start < end, clamped to 0..1): the
  // curve object stays the same, its limits become the parameters at those lengths. False, with the curve
  // unchanged, for a null curve or range, non-finite or empty ranges, or a curve of no length.
  static bool SubsetCurveNormalized(VORCurve* curve, const double* range);
  // Orders curves head to tail into ordered, with orientations (1 along, -1 reversed) parallel to it;
  // *closed tells whether the chain closes. Ends join when they lie within the factory's resolution. On
  // success curves itself is rewritten in the same order, so orientations run parallel to both lists.
  // False (ordered and orientations empty, curves unchanged, *closed false) when the list is empty, holds
  // a null curve, or does not form one chain.
  static bool OrderCurves(VORListPtrVORCurve& curves, VORListPtrVORCurve& ordered, VORRawCollint& orientations,
                          bool* closed);
  // Appends to target a clone of each curve, made in the curve's own factory (each counts as a created
  // curve). False, with target unchanged, when a curve is null.
  static bool Clone(const VORListPtrVORCurve& curves, VORListPtrVORCurve& target);

  // ---- Points and polylines ----

  // points carried along direction onto plane: as 3D points, or as plane coordinates (u, v) along the
  // plane's first and second directions. out is emptied first; false (out empty) when direction is
  // parallel to the plane, zero or non-finite, or a point is non-finite.
  static bool ForwardToPlane(const VORMathDirection& direction, const VORMathPlane& plane,
                             const VORListValVORMathPoint& points, VORListValVORMathPoint& out);
  static bool ForwardToPlane(const VORMathDirection& direction, const VORMathPlane& plane,
                             const VORListValVORMathPoint& points, VORListValVORMathPoint2D& out);
  // The foot of point on the polyline and its position as a 1-based fractional index (k is point k, k + f
  // lies the fraction f of the way to point k + 1). tangent, when given, receives the unit direction of
  // the polyline at the foot. splits (may be null) are piece ends the polyline does not run across.
  // 0 for an empty polyline or a non-finite point or polyline (foot and tangent untouched). Of equally near
  // feet the first along the polyline wins.
  static double PolylineProjection(const VORMathPoint& point, const VORRawCollint* splits,
                                   const VORListValVORMathPoint& points, VORMathPoint& foot, VORMathVector* tangent);
  // Cuts the display lists to the part of the polyline between the feet of start and end (the feet taken
  // in polyline order). flag true: the cut ends exactly on the feet; false: on the nearest existing
  // points. normals are cut alongside when parallel to points (interpolated at the feet), else left as
  // they are; splits are kept inside the cut and end with the new point count. False, nothing changed,
  // for fewer than two points or non-finite input.
  static bool PolylineTrim(VORRawCollint& splits, VORListValVORMathPoint& points, VORListValVORMathVector& normals,
                           const VORMathPoint& start, const VORMathPoint& end, bool flag);
  // 1-based position of the point of points nearest point (0 for an empty list); distance when given.
  static int GetNearestPoint(const VORListValVORMathPoint& points, const VORMathPoint& point, double* distance);
  // Drags the polyline so that its point nearest from lands on to, moving the points between the two
  // anchor points that enclose it with a smooth fall-off; the anchors stay. The piece is the one between
  // the anchors (or polyline ends) around the foot of from; the dragged point is the inner point of it
  // nearest from, set exactly to to; the others move by the same offset weighted 3x^2 - 2x^3 of their
  // arc-length fraction towards it. first and last receive the changed positions. False, with first and
  // last the two ends of the piece, when the dragged point lies inside a piece that has no inner point
  // to move; false with nothing written for non-finite input.
  static bool DeformPolyLine(VORListValVORMathPoint& points, const VORListValVORMathPoint& anchorPoints,
                             const VORMathPoint& from, const VORMathPoint& to, int& first, int& last);
  // True when the squared distance of p and q is at most tolSq (false for non-finite points).
  static bool IsCoincident(const VORMathPoint& p, const VORMathPoint& q, double tolSq);
  // One unit normal per display point: the normal of the nearest reference point (refNormals parallel
  // to refPoints); the view normal (made unit) where there is none or it is zero or non-finite. normals
  // may be one of the inputs. False when a display point is non-finite (it gets the view normal).
  static bool EstimateNormals(const VORListValVORMathPoint& refPoints, const VORListValVORMathVector& refNormals,
                              const VORListValVORMathPoint& points, const VORMathVector& viewNormal,
                              VORListValVORMathVector& normals);
  // Milliseconds from an arbitrary fixed start, monotonic.
  static unsigned long GetTickCount();

  // Tolerance of thinning and fitting in model units (0.5): the largest distance of a drawn point from
  // its fitted curve, and of a thinned-away point from the thinned polyline. It also sets the length
  // over which corners are measured (four tolerances at least).
  static float mFitTolerance2D;
  // Chordal deviation of display tessellation in model units (0.05).
  static float mDisplayFitTolerance;
};

#endif
