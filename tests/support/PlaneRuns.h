// Points drawn on runs of reference planes, as the creation from references takes them, for the tests of
// strokes that span several planes.
#ifndef PlaneRuns_h
#define PlaneRuns_h

#include <initializer_list>

#include "TAQMoStroke.h"

// counts[r] points on runs[r], one plane per point; point k (from 0) lies at plane coordinates (k, k / 2).
struct PlaneRuns {
  VORListValVORMathPlane planes;
  VORListValVORMathPoint2D uv;
  VORListValVORMathPoint xyz;

  PlaneRuns(std::initializer_list<VORMathPlane> runs, std::initializer_list<int> counts) {
    const int* count = counts.begin();
    int k = 0;
    for (const VORMathPlane& plane : runs) {
      for (int j = 0; j < *count; ++j, ++k) {
        planes.Append(plane);
        uv.Append(VORMathPoint2D(k, 0.5 * k));
        xyz.Append(plane.EvalPoint(k, 0.5 * k));
      }
      ++count;
    }
  }

  // Fills s as a type-1 stroke with the sketch plane z = 0 and these points; the creation's result.
  long Create(TAQMoStroke& s, bool isSketch = true, VORRawCollint* anchors = nullptr) const {
    VORListValVORMathPlane p = planes;
    VORListValVORMathPoint2D p2 = uv;
    VORListValVORMathPoint p3 = xyz;
    s.SetSketchPlane(VORMathPlane());
    return TAQMoStroke::CreateFromReferences(s, isSketch, false, 1, 1, 1.0, p, p2, p3, anchors);
  }
};

#endif
