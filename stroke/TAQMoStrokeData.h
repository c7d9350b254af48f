// One data segment of a stroke: a run of drawn points that share a reference plane (2D points on mBase),
// or a run of plain 3D points without a plane. Also used as an end-tangent record (an end point and a tip
// 0.1 model units along the tangent). A segment is a value: copying copies its four fields.
// A stroke owns the segments of its data (see TAQMoStroke); a segment owns nothing outside itself.
#ifndef TAQMoStrokeData_h
#define TAQMoStrokeData_h

#include "TAQExport.h"
#include "VORListPtrVORCurve.h"
#include "VORListValVORMathPoint.h"
#include "VORListValVORMathPoint2D.h"
#include "VORListValVORMathVector.h"
#include "VORMathPlane.h"
#include "VORMathVector.h"
#include "VORRawCollint.h"
#include "svConstraintStatus.h"

class VORBody;
class VORGeoFactory;
class VORSoftwareConfiguration;

class TAQ_EXPORT TAQMoStrokeData {
 public:
  // Creation
  TAQMoStrokeData();
  TAQMoStrokeData(const TAQMoStrokeData& other);
  TAQMoStrokeData& operator=(const TAQMoStrokeData& other);
  ~TAQMoStrokeData();

  // Reference plane. GetBase gives mBase whether or not a plane was set; SetBase also marks the segment
  // reference-defined (nothing clears that flag but assigning another segment over it). Return S_OK.
  long GetBase(VORMathPlane& plane) const;
  long SetBase(const VORMathPlane& plane);
  bool IsRefDefined() const;

  // 3D source points (read only when no reference plane is set). Return S_OK.
  long GetCoords(VORListValVORMathPoint& points) const;
  long SetCoords(const VORListValVORMathPoint& points);
  // 2D points on the reference plane: (u, v) along its first and second direction. Return S_OK.
  long GetData(VORListValVORMathPoint2D& points) const;
  long SetData(const VORListValVORMathPoint2D& points);

  // The segment's points in 3D: the 2D points evaluated on the plane when one is set (normals, when given,
  // receive the plane normal per point), else the stored 3D points (normals stay empty). Both outputs are
  // emptied first. E_FAIL only for a segment with a plane and no 2D point (outputs empty).
  long GetSourcePoints(VORListValVORMathPoint& points, VORListValVORMathVector* normals) const;

  // Geometry of the segment: gathers its source points, fits one curve through them with anchors as
  // split positions and tangents (two vectors, start then end; zero leaves an end free), optionally
  // projects the curve onto body, and tessellates it into a display polyline. Every output pointer may be
  // null. range: two fractions of the stroke or null; wholeCurve: with a body, use the fitted curve whole
  // as the only piece. E_FAIL for a null factory or a range shorter than the factory's resolution (nothing
  // touched); otherwise the result of GetSourcePoints. Without a range, the segment's 3D points are
  // refreshed with the evaluated source points.
  long Evaluate(VORGeoFactory* factory, VORSoftwareConfiguration* config, bool isSketch, VORBody* body,
                VORRawCollint* anchors, VORMathVector* tangents, VORListValVORMathPoint& sourcePoints,
                svConstraintStatus& status, VORListPtrVORCurve* curves, VORRawCollint* splits,
                VORListValVORMathPoint* points, VORListValVORMathVector* normals, double* range, bool wholeCurve);

 private:
  friend class TAQMoStroke;

  VORMathPlane mBase;
  bool mIsRefDefined;
  VORListValVORMathPoint mSourceCoords;
  VORListValVORMathPoint2D mPoints2D;

  // Holder bookkeeping of the strokes that share this segment (not part of its value: never copied).
  // mHolders counts the places in strokes' data vectors and kept-record lists that hold it; mReclaim is set
  // once a stroke has taken charge of it, and the last holder to let go of such a segment deletes it.
  int mHolders = 0;
  bool mReclaim = false;
};

#endif
