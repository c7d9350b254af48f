// A picture of a stroke as SVG, drawn in its sketch plane's coordinates (u to the right, v up): the
// drawn points faint, the display polyline with its start ringed, the anchors as numbered dots, the end
// tangents as arrows and, when asked, the outline of the extruded body seen obliquely (the plane's normal
// drawn up and to the right); below it a legend and a scale bar in model units.
#ifndef StrokeSvg_h
#define StrokeSvg_h

#include <string>

#include "VORListValVORMathPoint.h"
#include "VORMathDirection.h"
#include "VORMathPlane.h"
#include "VORMathPoint.h"
#include "VORRawCollint.h"

struct StrokePicture {
  std::string title;
  VORMathPlane plane;
  VORListValVORMathPoint drawn;     // drawn points, model space
  VORRawCollint splits;             // 1-based ends of the display pieces
  VORListValVORMathPoint display;   // display polyline, model space
  VORListValVORMathPoint anchors;   // one point per anchor
  bool hasTangents = false;
  VORMathPoint ends[2];
  VORMathDirection tangents[2];
  bool extruded = false;
  double limits[2] = {0.0, 0.0};    // along the plane normal, model units
  int color = 0;
  double width = 1.0;
};

std::string RenderSvg(const StrokePicture& picture);

#endif
