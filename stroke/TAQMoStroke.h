// A freehand stroke: its data segments (the points the user drew), end-tangent records, the normalised
// sub-range in use, display attributes, sketch plane, anchors, blends, target planes, end points, the
// display polyline and two caches of fitted curves.
//
// Ownership. The stroke owns the segments of its data: copies share the very segment pointers, and a
// segment is deleted when the last stroke holding it lets go (destructor, SetData, assignment over it),
// never twice and never while another stroke still holds it. The stroke never deletes a tangent record it
// drops (SetTangents, a closed stroke): a record the stroke made stays valid as long as a stroke that held
// it lives, and the last of those deletes it when it goes; records a caller hands in with SetTangents stay
// the caller's and are never touched once dropped or once the stroke is gone. Curves and bodies belong to
// the factory in which they were made: the stroke's curve lists hold pointers only and never delete one.
//
// Results: S_OK (0) or E_FAIL (negative: 0x80004005 read as a signed 32-bit value) for the operations that
// fill or query, bool for geometric and editing operations. A failed operation leaves the stroke as it was
// unless its comment says otherwise.
// Ranges are two doubles [start, end], fractions of the whole stroke; anchors and splits are 1-based
// positions. One stroke is used by one thread at a time.
#ifndef TAQMoStroke_h
#define TAQMoStroke_h

#include <cstddef>
#include <vector>

#include "TAQExport.h"
#include "TAQMoStrokeData.h"
#include "TAQUtVector.h"
#include "VORBody.h"
#include "VORGeoFactory.h"
#include "VORListPtrVORCurve.h"
#include "VORListValVORMathPlane.h"
#include "VORListValVORMathPoint.h"
#include "VORListValVORMathPoint2D.h"
#include "VORListValVORMathVector.h"
#include "VORMathDirection.h"
#include "VORMathPlane.h"
#include "VORMathPoint.h"
#include "VORRawColldouble.h"
#include "VORRawCollint.h"

class VORCurve;
class VORSoftwareConfiguration;
class VORTopData;

class TAQ_EXPORT TAQMoStroke {
 public:
  // ---- Creation, copying, destruction ----
  TAQMoStroke();
  // Shares the source's segment and tangent-record pointers and curve pointers; copies the rest.
  TAQMoStroke(const TAQMoStroke& other);
  TAQMoStroke& operator=(const TAQMoStroke& other);
  ~TAQMoStroke();

  // ---- Plain accessors (S_OK unless said otherwise) ----
  long GetType(int& type) const;
  long SetType(int type);
  // E_FAIL (and false) for a stroke of type 0, which has no sketch flag.
  long GetIsSketch(bool& isSketch) const;
  long SetIsSketch(bool isSketch);
  long GetColor(int& color) const;
  long SetColor(int color);
  long GetWidth(double& width) const;  // -1.0: not set
  long SetWidth(double width);
  // [0.0, 1.0] when the stored start is not below the stored end.
  long GetRange(double range[2]) const;
  // E_FAIL, range unchanged, unless range[0] < range[1] (non-finite values are refused too).
  long SetRange(const double range[2]);
  long GetSketchPlane(VORMathPlane& plane) const;
  long SetSketchPlane(const VORMathPlane& plane);
  bool IsSketchPlaneDefined() const;
  void SetSketchPlaneDefined(bool defined);
  long GetAnchors(VORRawCollint& anchors) const;
  long SetAnchors(const VORRawCollint& anchors);
  long GetBlends(VORRawColldouble& blends) const;
  long SetBlends(const VORRawColldouble& blends);
  long GetTargets(VORListValVORMathPlane& targets) const;
  long SetTargets(const VORListValVORMathPlane& targets);
  long GetEndPoints(VORListValVORMathPoint& points) const;
  long SetEndPoints(const VORListValVORMathPoint& points);
  long GetSplits(VORRawCollint& splits) const;
  long SetSplits(const VORRawCollint& splits);
  long GetCoords(VORListValVORMathPoint& coords) const;
  long SetCoords(const VORListValVORMathPoint& coords);
  long GetNormals(VORListValVORMathVector& normals) const;
  long SetNormals(const VORListValVORMathVector& normals);
  // The stroke's segment pointers; the segments stay the stroke's.
  long GetData(TAQUtVector<TAQMoStrokeData*>& data) const;
  // The stroke's record pointers; they stay valid while this stroke lives, whatever it is given later.
  long GetTangents(TAQUtVector<TAQMoStrokeData*>& tangents) const;
  // Stores the caller's record pointers and deletes nothing; records the caller made stay the caller's to
  // delete, records a stroke made stay valid while this stroke lives too.
  long SetTangents(const TAQUtVector<TAQMoStrokeData*>& tangents);
  long SetDisplayData(const VORRawCollint& splits, const VORListValVORMathPoint& coords,
                      const VORListValVORMathVector& normals);
  // The display data of a stroke as its last geometry update left it.
  // Positions in splits are 1-based indices into coords; a polyline without splits reads as one piece
  // (an empty polyline gives the single split 0). Returns S_OK always; normals is left untouched when null.
  long GetDisplayData(bool& isSketch, int& color, double& width, VORRawCollint& splits,
                      VORListValVORMathPoint& coords, VORListValVORMathVector* normals) const;
  // Adopts the caller's segments (the stroke deletes them from then on) after letting go of the ones it
  // held; resetRange sets the range to [0.0, 1.0].
  long SetData(TAQUtVector<TAQMoStrokeData*>& data, bool resetRange);
  long Set(bool isSketch, int type, int color, double width, VORRawColldouble& blends,
           TAQUtVector<TAQMoStrokeData*>& data, VORListValVORMathPlane& targets, VORRawCollint* anchors);
  bool IsOn3D() const;
  // Forgets the cached curves (the curves stay in their factory).
  long ClearCurveCache();

  // ---- Creation of the stroke's data ----
  // Fills stroke from 3D points drawn in a view looking along viewDirection, carried onto its sketch
  // plane. count is handed to PrepareCurveData. E_FAIL, stroke unchanged, without points, factory or
  // sketch plane, for a degenerate direction or plane, non-finite points, or fewer than two usable points.
  static long CreateInView(TAQMoStroke& stroke, VORSoftwareConfiguration* config, VORGeoFactory* factory,
                           bool isSketch, bool addTarget, int type, int color, double width,
                           VORListValVORMathPoint& points, const VORMathDirection& viewDirection, int count);
  // Fills stroke from reference planes with 2D and 3D points, grouped into segments by plane.
  static long CreateFromReferences(TAQMoStroke& stroke, bool isSketch, bool addTarget, int type, int color,
                                   double width, VORListValVORMathPlane& planes, VORListValVORMathPoint2D& points2D,
                                   VORListValVORMathPoint& points3D, VORRawCollint* anchors);

  // ---- Geometry ----
  // Curves and display data for range (null: the stroke's own), from the caches when they answer it.
  bool Evaluate(VORGeoFactory* factory, VORSoftwareConfiguration* config, VORListPtrVORCurve& curves, double* range,
                VORRawCollint* splits, VORListValVORMathPoint* points, VORListValVORMathVector* normals);
  // Recomputes the geometry for the stroke's own range. Note the order: configuration, then factory.
  bool Update(VORSoftwareConfiguration* config, VORGeoFactory* factory, VORListPtrVORCurve* curves);
  // The two end points and unit end tangents, start first; false (directions (1, 0, 0)) without records.
  bool GetEndTangents(VORMathPoint points[2], VORMathDirection directions[2]) const;
  // Records the end points and end tangents of curve (nothing without a sketch plane or curve).
  void UpdateEndTangents(VORCurve* curve);
  // Records the given end points and directions, start first; coincident ends drop the records.
  void UpdateEndTangents(const VORMathPoint points[2], const VORMathDirection directions[2],
                         const VORMathDirection normals[2]);
  // A wire body of the stroke's curves.
  long MakeWireBody(const VORGeoFactory_var& factory, VORTopData* topData, VORBody** body);
  // The wire extruded along the sketch plane's normal from limits[0] to limits[1]; endPoints (may be null)
  // receives the wire's end points. The body belongs to factory.
  long CreateExtrudedBody(VORSoftwareConfiguration* config, VORGeoFactory* factory, double limits[2], VORBody*& body,
                          VORMathPoint* endPoints);

  // ---- Editing ----
  // One point per anchor; E_FAIL when the anchors do not match the source points one to one.
  long GetAnchors(VORListValVORMathPoint& points);
  // Removes inner anchor position (2..n-1 of the anchor list) with the source points between its neighbours.
  void DeleteAnchor(int position);
  // The source points of all segments in order, with parallel 2D points and planes (each either parallel
  // or empty), the end tangents appended to tangents, and the type. Always S_OK.
  long GetSourcePoints(VORListValVORMathPoint& points, VORListValVORMathPoint2D* points2D,
                       VORListValVORMathPlane* planes, VORListValVORMathVector* tangents, int* type);
  // max(0.5, polyline length / (anchors < 5 ? 100 : 20 * anchors)), computed once and cached.
  double GetUnitLength();
  // Makes the point of the stroke nearest point an anchor and pulls the stroke through point; the caller
  // refits with Update.
  bool InsertAnchor(VORSoftwareConfiguration* config, VORGeoFactory* factory, const VORMathPoint& point);

  // ---- Reshaping and projection ----
  // Changes the tangent at the end lying at point; reshape also bends the end region to follow it.
  bool UpdateEndTangent(VORSoftwareConfiguration* config, VORGeoFactory* factory, const VORMathPoint& point,
                        const VORMathDirection& firstDirection, const VORMathDirection& newDirection, bool reshape);
  // The point of the stroke's curves nearest point and the unit tangent there, along the drawing order.
  bool GetProjection(VORGeoFactory* factory, VORSoftwareConfiguration* config, const VORMathPoint& point,
                     VORMathPoint& projected, VORMathDirection& direction, VORListPtrVORCurve& curves,
                     bool wholeStroke);
  // A new curve in factory through all the source points, with the end tangents scaled by the blends.
  VORCurve* GetSourceCurve(VORGeoFactory* factory, VORSoftwareConfiguration* config, VORMathDirection& direction,
                           VORListValVORMathPoint* points);

 protected:
  // ---- Creation ----
  static bool CreateDataFromReferences(VORListValVORMathPlane& planes, VORListValVORMathPoint2D& points2D,
                                       VORListValVORMathPoint& points3D, TAQUtVector<TAQMoStrokeData*>& data);
  static TAQMoStrokeData* CreateData(const VORMathPlane* plane, VORListValVORMathPoint2D& points2D,
                                     VORListValVORMathPoint& points3D);
  static bool IsSameReference(const VORMathPlane& a, const VORMathPlane& b, double tolerance);

  // ---- Geometry ----
  bool UpdateGeometry(VORGeoFactory* factory, VORSoftwareConfiguration* config, VORListPtrVORCurve* curves,
                      double* range, VORRawCollint* splits, VORListValVORMathPoint* points,
                      VORListValVORMathVector* normals);
  static void UpdatePointTangentData(TAQMoStrokeData* record, const VORMathPoint& point,
                                     const VORMathDirection& direction, const VORMathDirection& normal);

  // ---- Editing ----
  static bool UpdateStroke(VORSoftwareConfiguration* config, VORGeoFactory* factory, TAQMoStroke* stroke,
                           VORListValVORMathPoint& points, bool resetRange);
  static bool UpdateDataPointsInRange(VORSoftwareConfiguration* config, TAQMoStroke* stroke,
                                      VORListValVORMathPoint& points, int first, int last,
                                      VORListValVORMathPoint2D& points2D, VORListValVORMathPlane& planes);
  void ClearDataBetween(int first, int last);
  static void GetAnchorsInRange(VORSoftwareConfiguration* config, VORGeoFactory* factory, TAQMoStroke* stroke,
                                VORListValVORMathPoint& points, VORRawCollint& anchors, bool& closed, double* range);

  // ---- Reshaping ----
  static bool ReshapeCurve(VORSoftwareConfiguration* config, VORGeoFactory* factory, TAQMoStroke* stroke,
                           const VORMathPoint& from, const VORMathPoint& to, bool project, bool noUpdate);
  static bool HardSubsetStroke(VORSoftwareConfiguration* config, VORGeoFactory* factory, TAQMoStroke* stroke);
  static bool GetSubsetEndTangents(VORSoftwareConfiguration* config, VORGeoFactory* factory, TAQMoStroke* stroke,
                                   double* range, VORMathPoint points[2], VORMathDirection directions[2]);
  static bool ReshapeCurveToDirection(VORSoftwareConfiguration* config, VORGeoFactory* factory, TAQMoStroke* stroke,
                                      const VORMathPoint& start, const VORMathPoint& target,
                                      const VORMathDirection& direction);

 private:
  // Holder bookkeeping of shared segments and records (stroke/TAQMoStroke.cpp). Each place in a stroke's
  // mData that holds a segment, and each entry of a stroke's mKeptRecords, counts once in the segment's
  // mHolders; a segment whose mReclaim mark is set is deleted when its count drops to zero, an unmarked
  // one never. Hold counts every non-null entry (takeCharge also sets the mark); LetGo uncounts every
  // non-null entry, stores null in its place and deletes the marked segments nobody holds any more.
  static void Hold(const TAQUtVector<TAQMoStrokeData*>& segments, bool takeCharge);
  static void LetGo(TAQUtVector<TAQMoStrokeData*>& segments);

  // Tangent records. The places in mTangents count nothing, and dropping a record from mTangents
  // (SetTangents, a closed stroke) never deletes it: a record a caller saved with GetTangents stays valid
  // while the stroke lives. Every reclaimable record that enters mTangents (made by the end-tangent
  // recording, or a segment some stroke has taken charge of) is kept in mKeptRecords instead, copies and
  // assignments keep what their source keeps, and the last stroke keeping a record deletes it when it
  // goes. A caller's own record is never kept: once out of mTangents (or with the stroke gone) the stroke
  // never touches it again, so its owner may free it at any time the stroke does not use it.
  // AdoptTangentRecord appends a record made with new TAQMoStrokeData and keeps it (if the append fails the
  // record is deleted and the failure passes on); DropTangentRecords empties mTangents. Writing into a held
  // record in place (UpdatePointTangentData) needs neither.
  void AdoptTangentRecord(TAQMoStrokeData* record);
  void DropTangentRecords();
  // The records of kept from position `from` on count once each; ReleaseKept uncounts every record of
  // kept, deletes those nobody holds any more and empties kept.
  static void CountKept(const std::vector<TAQMoStrokeData*>& kept, std::size_t from);
  static void ReleaseKept(std::vector<TAQMoStrokeData*>& kept);

  int mType;
  bool mIsSketch;
  bool mSketchPlaneDefined;
  double mRange[2];
  TAQUtVector<TAQMoStrokeData*> mData;
  TAQUtVector<TAQMoStrokeData*> mTangents;
  int mColor;
  double mWidth;
  double mUnitLength;
  VORMathPlane mSketchPlane;
  VORRawCollint mAnchors;
  VORRawColldouble mBlends;
  VORListValVORMathPlane mTargets;
  VORListValVORMathPoint mEndPoints;
  VORRawCollint mSplits;
  VORListValVORMathPoint mCoords;
  VORListValVORMathVector mNormals;
  VORListPtrVORCurve mCurveCache;
  VORListPtrVORCurve mFullCurveCache;
  std::vector<TAQMoStrokeData*> mKeptRecords;  // the reclaimable tangent records this stroke keeps alive
};

#endif
