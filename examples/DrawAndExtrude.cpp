// Draws a stroke in a view, fits it, and extrudes it to a STEP file: the smallest complete session.
//   DrawAndExtrude [OUT.step]      (default: stroke.step in the current folder)
// Exits 0 when the file was written, 1 when a step failed (and says which).
#include <cmath>
#include <cstdio>

#include "TAQMoRuntimeStrokeVersion.h"
#include "TAQMoStroke.h"
#include "VORBody.h"
#include "VORBodyWriter.h"
#include "VORGeoFactory.h"
#include "VORSoftwareConfiguration.h"

int main(int argc, char** argv) {
  const char* out = argc > 1 ? argv[1] : "stroke.step";

  // What a pen left in a view looking down -z: a wave 100 units long, sampled every unit, at height 7
  // (the stroke carries the points along the view onto its sketch plane, z = 0).
  VORListValVORMathPoint drawn;
  for (int i = 0; i <= 100; ++i) drawn.Append(VORMathPoint(i, 10.0 * std::sin(i / 15.0), 7.0));

  VORGeoFactory factory;  // owns every curve and body made in it
  VORSoftwareConfiguration config;
  TAQMoStroke stroke;
  stroke.SetSketchPlane(VORMathPlane(VORMathPoint(0, 0, 0), VORMathVector(0, 0, 1)));
  if (TAQMoStroke::CreateInView(stroke, &config, &factory, true, false, 1, 3, 1.0, drawn,
                                VORMathDirection(VORMathVector(0, 0, -1)), 0) != S_OK ||
      !stroke.Update(&config, &factory, nullptr)) {
    std::fprintf(stderr, "DrawAndExtrude: the stroke refused the drawn points\n");
    return 1;
  }
  VORRawCollint anchors;
  stroke.GetAnchors(anchors);
  VORListValVORMathPoint display;
  stroke.GetCoords(display);
  std::printf("library %s: %d drawn points, %d anchors, %d display points\n", TAQMORUNTIMESTROKE_VERSION_STRING,
              drawn.Size(), anchors.Size(), display.Size());

  double limits[2] = {0.0, 10.0};  // along the sketch plane's normal, model units
  VORBody* body = nullptr;         // belongs to the factory
  if (stroke.CreateExtrudedBody(&config, &factory, limits, body, nullptr) != S_OK || !body) {
    std::fprintf(stderr, "DrawAndExtrude: the stroke could not be extruded\n");
    return 1;
  }
  if (!VORBodyWriter::WriteSTEP(body, out)) {
    std::fprintf(stderr, "DrawAndExtrude: cannot write %s\n", out);
    return 1;
  }
  std::printf("wrote %s\n", out);
  return 0;
}
