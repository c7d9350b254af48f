// Stroke files of the command-line program: reading a drawing (drawn points, view, sketch plane and
// display attributes), the plain points-only files of the shared data, and saved strokes; writing a
// stroke's whole state as JSON. Every field is checked when it is read: a bad one raises StrokeFileError
// naming the field, before anything is made or written.
#ifndef StrokeFile_h
#define StrokeFile_h

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "TAQMoStroke.h"
#include "TAQMoStrokeData.h"
#include "VORListValVORMathPlane.h"
#include "VORListValVORMathPoint.h"
#include "VORListValVORMathPoint2D.h"
#include "VORMathDirection.h"
#include "VORMathPlane.h"
#include "VORRawColldouble.h"
#include "VORRawCollint.h"

// A bad input file: field is the JSON path of the offending value ("points[3][1]", "plane.normal"), or
// empty when the whole file is at fault (unreadable, too large, not JSON).
class StrokeFileError : public std::runtime_error {
 public:
  StrokeFileError(const std::string& field, const std::string& message)
      : std::runtime_error(message), mField(field) {}
  const std::string& Field() const { return mField; }

 private:
  std::string mField;
};

// Files larger than this are refused before they are read (bytes).
constexpr std::size_t kMaxStrokeFileSize = 64u * 1024u * 1024u;

// What a file describes.
enum class StrokeFileKind {
  Drawing,     // points drawn in a view onto a sketch plane (or reference planes with 2D points)
  Plain,       // the shared data's points-only strokes: the plane z = 0 seen from +z
  SavedStroke  // the whole state of a stroke as this program writes it
};

// A drawing: everything needed to create a stroke and update it. Plain files read as a drawing with
// the defaults below.
struct StrokeDrawing {
  VORListValVORMathPoint points;           // drawn 3D points (model units)
  VORMathDirection view{0.0, 0.0, -1.0};   // the direction the view looks along
  VORMathPlane sketchPlane;                // the plane z = 0 unless given
  // Reference form: planes (one, or one per point) with the 2D points on them; empty for the view form.
  VORListValVORMathPlane planes;
  VORListValVORMathPoint2D points2D;
  VORRawCollint anchors;                   // reference form only; empty: none given
  int type = 1;
  bool isSketch = true;
  int color = 0;
  double width = 1.0;
  bool addTarget = false;
  double range[2] = {0.0, 1.0};
  VORRawColldouble blends;
  bool hasStartTangent = false, hasEndTangent = false;
  VORMathDirection startTangent, endTangent;
};

// A saved stroke's fields, parsed and checked; ApplySavedStroke puts them into a stroke.
struct SavedStrokeFields;

// The parsed contents of one file.
struct StrokeFileContents {
  StrokeFileKind kind = StrokeFileKind::Drawing;
  StrokeDrawing drawing;                    // Drawing and Plain
  std::shared_ptr<SavedStrokeFields> saved; // SavedStroke
};

// Reads and checks path. Throws StrokeFileError for a missing, unreadable, oversized or malformed file.
StrokeFileContents ReadStrokeFile(const std::string& path);
// The same from JSON text already in memory (name is only used in messages).
StrokeFileContents ParseStrokeText(const std::string& text);

// Puts a saved stroke's fields into stroke: segments (adopted by the stroke), tangent records (made
// here and kept in records, which must outlive the stroke: a caller's records stay the caller's), and
// every plain field. The stroke then reads back what was saved.
void ApplySavedStroke(const SavedStrokeFields& saved, TAQMoStroke& stroke,
                      std::vector<std::unique_ptr<TAQMoStrokeData>>& records);

// Every field a caller can read from stroke, as JSON ({"kind": "stroke", ...}).
nlohmann::json SaveStroke(const TAQMoStroke& stroke);

#endif
