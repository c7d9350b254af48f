// Measurements the tests make on curves and polylines, independent of the library's own algorithms.
#ifndef TestGeometry_h
#define TestGeometry_h

#include "VORCurve.h"
#include "VORListValVORMathPoint.h"
#include "VORMathPoint.h"

// Distance from point to curve: dense sampling, then Newton refinement on the curve's own evaluation.
double DistanceToCurve(const VORCurve& curve, const VORMathPoint& point);
// The largest DistanceToCurve over points.
double MaxDeviation(const VORCurve& curve, const VORListValVORMathPoint& points);
// Distance from point to the polyline through points (0 points: infinity).
double DistanceToPolyline(const VORListValVORMathPoint& points, const VORMathPoint& point);
// Length of the polyline through points.
double PolylineLength(const VORListValVORMathPoint& points);

#endif
