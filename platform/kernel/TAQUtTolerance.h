// The tolerances of the stroke runtime, in one place.
// Every length here is in model units (the units of the caller's coordinates); the squared ones are in
// squared model units. Made on the stack wherever an operation needs them; holds no state of its own.
#ifndef TAQUtTolerance_h
#define TAQUtTolerance_h

#include "TAQExport.h"

class TAQ_EXPORT TAQUtTolerance {
 public:
  TAQUtTolerance() = default;

  // Smallest length two distinct points may be apart: 0.001 model units. Strokes are drawn at screen or
  // millimetre scale (the shared real strokes span about 100 units, pen samples lie 0.3 to 3 units apart),
  // so 0.001 is far below any drawn detail and far above double rounding at those magnitudes (~1e-14).
  // Also used for fractions: two ranges are equal when both ends differ by no more than LengthTol.
  double LengthTol() const { return 0.001; }

  // LengthTol squared (1e-6 squared model units), for comparing squared distances without a root.
  double LengthTolSq() const { return 0.000001; }

  // Model resolution, a squared length (1e-6 squared model units, whose root is LengthTol): two reference
  // planes are the same when their origins and directions differ by no more than it in squared length.
  double ModelResolution() const { return 0.000001; }

  // Tessellation tolerance: 0.01. Used as a chordal deviation in model units where a caller gives none, and
  // by the reshape as the fraction of a polyline piece within which a foot point snaps onto a point
  // (ten times LengthTol, so a foot a hundredth of a piece off a point is that point).
  double TessellationTol() const { return 0.01; }
};

#endif
