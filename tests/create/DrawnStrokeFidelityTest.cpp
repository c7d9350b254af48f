// A stroke drawn in a view looks like what the hand drew: on every real stroke of the shared data the
// display polyline stays near every drawn point, although the stroke keeps only thinned points.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "StrokeFiles.h"
#include "TAQMoCSStrokeUtilities.h"
#include "TAQMoStroke.h"
#include "TestGeometry.h"
#include "VORGeoFactory.h"
#include "VORSoftwareConfiguration.h"

namespace {

TEST(DrawnStrokeFidelity, TheDisplayStaysNearEveryDrawnPoint) {
  // Thinning keeps the thinned polyline within the fit tolerance of the drawn points, the fit keeps the
  // curve within it of the polyline, and the display polyline is within its chordal tolerance of the curve.
  const double tol = TAQMoCSStrokeUtilities::mFitTolerance2D;
  const double bound = 2.0 * tol + 0.1 + 1e-6;
  double worst = 0.0;
  std::string worstFile;
  for (const std::string& file : StrokeFiles("real")) {
    VORListValVORMathPoint drawn = LoadStrokePoints(file);
    const VORListValVORMathPoint asDrawn = drawn;
    VORGeoFactory factory;
    VORSoftwareConfiguration config;
    TAQMoStroke s;
    s.SetSketchPlane(VORMathPlane());
    ASSERT_EQ(TAQMoStroke::CreateInView(s, &config, &factory, true, false, 1, 1, 1.0, drawn,
                                        VORMathDirection(0.0, 0.0, -1.0), 0),
              S_OK)
        << file;
    const double whole[2] = {0.0, 1.0};
    ASSERT_EQ(s.SetRange(whole), S_OK);
    ASSERT_TRUE(s.Update(&config, &factory, nullptr)) << file;
    bool isSketch = false;
    int color = 0;
    double width = 0.0;
    VORRawCollint splits;
    VORListValVORMathPoint display;
    s.GetDisplayData(isSketch, color, width, splits, display, nullptr);
    ASSERT_GT(display.Size(), 1) << file;
    double far = 0.0;
    for (const VORMathPoint& p : asDrawn) far = std::max(far, DistanceToPolyline(display, p));
    EXPECT_LE(far, bound) << file;
    if (far > worst) {
      worst = far;
      worstFile = file;
    }
  }
  RecordProperty("worst", std::to_string(worst) + " " + worstFile);
  std::printf("farthest drawn point from the display: %.4f (%s)\n", worst, worstFile.c_str());
}

}  // namespace
