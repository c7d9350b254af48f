// The stroke fitter: a clamped cubic B-spline through drawn points, computed by our own least squares.
//
// The points are cleaned first (repeated samples dropped). The fit breaks the points at split positions
// (the curve passes exactly through each, since it becomes a pole) and fits every piece between two
// breaks with a C2 cubic B-spline whose knots are refined where the deviation exceeds the tolerance.
// At a smooth break both pieces share one tangent direction (tangent-continuous); at a sharp break each
// piece keeps its own. Pieces meet at knots of multiplicity 3. Internal to the library.
#ifndef TAQMoCSCurveFitter_h
#define TAQMoCSCurveFitter_h

#include <cstddef>
#include <vector>

#include "VORListValVORMathPoint.h"

class TAQMoCSCurveFitter {
 public:
  struct Vec {
    double x, y, z;
  };
  // A break of the fit: a 0-based position in the cleaned points where the curve may turn. in and out
  // are the unit tangent directions imposed on the curve arriving at and leaving the break (zero: free).
  // soft: the directions are estimates, dropped where the points do not allow them within the tolerance.
  struct Break {
    int index;
    Vec in, out;
    bool soft;
  };

  // ---- Input ----
  // Copies points, dropping every point within LengthTol of the previous kept one. False (and no
  // points) when a point is non-finite. tolerance: the largest distance of a point from the curve, model
  // units, but never less than a ten-thousandth of the points' extent (a pen stroke carries no finer
  // detail than that, and chasing it on a stroke millions of units across costs tens of thousands of
  // poles); it also sets the scale of the corner measure.
  bool SetPoints(const VORListValVORMathPoint& points, double tolerance);
  // Adds evenly spaced points along every chord longer than four tolerances, so that the fit has to
  // follow the chord and cannot bulge between far-apart points (thinned points). Corners and turns
  // are read before: afterwards every point reads as turning by 0. Positions read before map onto the
  // filled points through FilledIndex. Far-apart points also widen the tolerance to the detail they
  // were thinned at (see the source).
  void FillLongChords();
  int FilledIndex(int i) const;
  int GetPointCount() const { return static_cast<int>(mPoints.size()); }
  const std::vector<Vec>& GetPoints() const { return mPoints; }
  // 0-based cleaned position of the 1-based input position (clamped to the input).
  int CleanIndex(int position) const;

  // ---- Corners ----
  // Turn of the drawn direction at cleaned point i, in degrees: the smaller of the turns between the
  // chords to the polyline's points one and two corner scales behind and ahead (0 within a scale of an
  // end; a turn of 10 degrees or less at one scale is that turn).
  double TurnAngle(int i) const;
  // Whether cleaned point i is a corner for cornerAngle degrees: the drawn direction turns there by
  // clearly more than the angle within a corner scale, and the turn is concentrated there (over four
  // scales it turns not much more), unlike a smooth curve that turns as tightly.
  bool IsCorner(int i, double cornerAngle) const;
  // Drawn direction at i over the corner scale (unit, zero at a point with no extent).
  Vec Tangent(int i) const;
  // Drawn directions arriving at and leaving i over the corner scale (unit, zero at the ends).
  void SideTangents(int i, Vec& in, Vec& out) const;
  // Cleaned positions, ascending, of the corners for cornerAngle degrees: one per run of corner points,
  // at its sharpest point, at least a corner scale apart and from the ends.
  void FindCorners(double cornerAngle, std::vector<int>& corners) const;
  // The neighbour of corner i (i - 1 or i + 1) that is a corner exactly as sharp, when just one is: the
  // corner then lies halfway between them, where no drawn point is. -1 otherwise.
  int TiedNeighbour(int i, double cornerAngle) const;
  // Arc length along the cleaned points from the first to point i.
  double ArcLength(int i) const { return mArc[static_cast<size_t>(i)]; }
  double CornerScale() const { return mScale; }

  // ---- Fitting ----
  // Fits the curve through breaks (ascending, the first at 0, the last at the last point; each break's
  // tangents as described above) and through the points at the positions of through (ascending, none a
  // break), where the curve stays twice continuously differentiable. The curve's parameter at a break
  // or a through point is the arc length of the cleaned points up to it. False with fewer than two
  // points or breaks out of order.
  bool Fit(const std::vector<Break>& breaks, const std::vector<int>& through);
  // The result: degree 3, poles, distinct ascending knots (arc length) and their multiplicities.
  const std::vector<Vec>& GetPoles() const { return mPoles; }
  const std::vector<double>& GetKnots() const { return mKnots; }
  const std::vector<int>& GetMultiplicities() const { return mMults; }
  // The largest distance of a cleaned point from the curve point at its fit parameter (at least the
  // distance to the curve).
  double GetMaxError() const { return mMaxError; }

 private:
  // The corner scale, and with withTurns the turns of every point (else all zero).
  void ComputeTurns(bool withTurns = true);
  // The point at arc length s along the cleaned points (clamped to the ends); k: the segment it lies
  // on, a hint on entry.
  Vec AtArc(double s, int& k) const;
  // Of the cleaned positions lo..hi, the one nearest the middle of their arc.
  int Middle(int lo, int hi) const;
  // Whether point x is a sharper corner than point y, the same read either way along the points.
  bool Sharper(int x, int y) const;
  bool EquallySharp(int x, int y) const { return !Sharper(x, y) && !Sharper(y, x); }
  // The largest deviation of the piece's fit.
  double FitPiece(int a, int b, const Vec& t0, const Vec& t1);
  void FitLine(int a, int b, const Vec& t0, const Vec& t1);
  bool SolvePoles(int a, int b, const Vec& t0, const Vec& t1);
  // Moves the free poles so that the curve meets every pinned point exactly; lockFirst and lockLast
  // keep the poles next to the ends (imposed directions).
  void PinPoints(int a, int b, bool lockFirst, bool lockLast);
  // The largest second derivative of the piece's curve on each span (mBend, by span index, local
  // parameter), from the poles.
  void Bends();
  double Reparameterise(int a, int b, bool newton);
  void AppendPiece(int a, int b);

  double mTolerance = 0.5;
  double mScale = 1.0;
  std::vector<Vec> mPoints;
  std::vector<int> mCleanOf;  // input position - 1 -> cleaned position
  std::vector<int> mFilledOf;  // cleaned position before FillLongChords -> after
  std::vector<char> mAdded;    // per point: added along a chord by FillLongChords (empty: none added)
  double mDrawnErrScale = 1.0;  // factor of the deviation of a drawn (not added) point
  double mAddedErrScale = 1.0;  // factor of the deviation of a point added along a chord
  std::vector<double> mArc;
  std::vector<double> mTurn;      // TurnAngle per point
  std::vector<double> mWideTurn;  // turn over four corner scales per point

  // Work of one piece, reused between pieces.
  std::vector<int> mThrough;     // points the curve passes through inside pieces
  bool mStraight[2] = {false, false};  // the piece leaves its start / reaches its end straight along its direction
  std::vector<char> mPinned;     // per point of the piece: one the curve passes through
  std::vector<double> mRootWeight;  // per point of the piece: the square root of its weight in the least squares
  std::vector<double> mU;       // fit parameter per point of the piece, 0..1
  std::vector<double> mErr;     // deviation per point of the piece
  std::vector<double> mLocal;   // clamped knot vector of the piece, 0..1
  std::vector<Vec> mLocalPoles;
  std::vector<double> mBend;     // per span: largest second derivative (see Bends)
  std::vector<double> mSpanErr, mNext;  // refinement: worst deviation per span, the next knots
  std::vector<double> mG, mR;       // scalar normal equations (band 3) and their right-hand sides
  std::vector<double> mBand, mRhs;  // the system actually factorised

  // Result.
  std::vector<Vec> mPoles;
  std::vector<double> mKnots;
  std::vector<int> mMults;
  double mMaxError = 0.0;
};

#endif
