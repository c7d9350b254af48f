// One stroke being worked on by the program: its factory and configuration, the stroke, the tangent
// records a loaded file handed to it, the points that were drawn, and the edits a user can ask for.
#ifndef StrokeSession_h
#define StrokeSession_h

#include <memory>
#include <string>
#include <vector>

#include "StrokeFile.h"
#include "StrokeSvg.h"
#include "TAQMoStroke.h"
#include "VORBody.h"
#include "VORGeoFactory.h"
#include "VORMathPoint.h"
#include "VORSoftwareConfiguration.h"

// The stroke's reshaping operations that the program drives directly.
class SessionStroke : public TAQMoStroke {
 public:
  using TAQMoStroke::HardSubsetStroke;
  using TAQMoStroke::ReshapeCurve;
};

// The figures the summary shows.
struct StrokeFigures {
  int pointsIn = 0;         // points read from the file (drawn or saved source points)
  int sourcePoints = 0;     // the stroke's source points after creation and edits
  int anchors = 0;
  int controlPoints = 0;    // poles of the fitted curves
  int curves = 0;
  int displayPoints = 0;
  double maxDeviation = 0.0;  // largest distance of a source point from the display polyline (model units)
  // Largest distance of a drawn point, carried onto the sketch plane along the view, from the display
  // polyline (model units): what the user sees of the fit.
  double maxDrawnDeviation = 0.0;
  double length = 0.0;        // display polyline length (model units)
};

class StrokeSession {
 public:
  // Creates the stroke from what the file holds. False, with message and field set, when the stroke
  // refuses the data.
  bool Create(const StrokeFileContents& contents, std::string& field, std::string& message);

  // Edits, each followed by a refit; false (message set) when the stroke refuses the edit.
  bool InsertAnchor(const VORMathPoint& point, std::string& message);
  bool Drag(const VORMathPoint& from, const VORMathPoint& to, std::string& message);
  // atEnd false: the start. With bend the end region follows the new direction; without, only the
  // tangent changes.
  bool SetEndTangent(bool atEnd, const VORMathDirection& direction, std::string& message, bool bend = true);
  // position: 1-based in the anchor list, an inner anchor.
  bool DeleteAnchor(int position, std::string& message);
  bool SetRange(const double range[2], std::string& message);
  bool Cut(std::string& message);

  // The extruded body (owned by the factory), or null with message set.
  VORBody* Extrude(double limits[2], std::string& message);
  StrokeFigures Figures();
  // The picture of the stroke as it is: drawn points, display polyline, anchors, end tangents (no
  // extruded outline: the caller sets it).
  StrokePicture Picture(const std::string& title);

  SessionStroke& Stroke() { return mStroke; }
  // The factory the stroke's curves and bodies belong to.
  VORGeoFactory& Factory() { return mFactory; }
  const VORListValVORMathPoint& Drawn() const { return mDrawn; }
  double CreateMs() const { return mCreateMs; }
  double UpdateMs() const { return mUpdateMs; }

 private:
  bool Refit(std::string& message);
  void RecordEndPoints();

  VORGeoFactory mFactory;
  VORSoftwareConfiguration mConfig;
  // Records a saved stroke's tangents were restored into: the stroke holds them, they stay ours.
  std::vector<std::unique_ptr<TAQMoStrokeData>> mRecords;
  SessionStroke mStroke;
  VORListValVORMathPoint mDrawn;
  VORListValVORMathPoint mDrawnOnPlane;
  double mCreateMs = 0.0;
  double mUpdateMs = 0.0;
};

// Milliseconds since an arbitrary start, monotonic and finer than the kernel's tick count.
double NowMs();

#endif
