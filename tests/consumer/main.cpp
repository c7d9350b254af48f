// Builds a stroke with the installed library, fills its fields, copies it and checks what comes back.
// Exits with 0 when everything reads back as set, else prints what did not and exits with 1.
#include <cstdio>

#include "TAQMoRuntimeStroke.h"
#include "TAQMoRuntimeStrokeVersion.h"
#include "TAQMoStroke.h"

namespace {

int gFailures = 0;

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "consumer: %s\n", what);
    ++gFailures;
  }
}

}  // namespace

int main() {
  Check(KORVANIX_ZELA2_INTERNAL_TAQMoRuntimeStroke() == 1, "the marker does not return 1");
  Check(TAQMORUNTIMESTROKE_VERSION_MAJOR >= 0 && sizeof(TAQMORUNTIMESTROKE_VERSION_STRING) > 5, "no version header");

  TAQMoStroke stroke;
  stroke.SetType(1);
  stroke.SetIsSketch(true);
  stroke.SetColor(7);
  stroke.SetWidth(1.5);
  stroke.SetSketchPlane(VORMathPlane(VORMathPoint(0, 0, 0), VORMathVector(0, 0, 1)));

  TAQMoStrokeData* segment = new TAQMoStrokeData;
  segment->SetBase(VORMathPlane());
  VORListValVORMathPoint2D uv;
  uv.Append(VORMathPoint2D(1, 2));
  uv.Append(VORMathPoint2D(3, 4));
  segment->SetData(uv);
  TAQUtVector<TAQMoStrokeData*> data;
  data.Append(segment);  // the stroke takes charge of it
  Check(stroke.SetData(data, true) == S_OK, "SetData failed");

  TAQMoStroke copy(stroke);
  TAQUtVector<TAQMoStrokeData*> shared;
  copy.GetData(shared);
  Check(shared.Size() == 1 && shared[0] == segment, "the copy does not share the segment");

  bool raised = false;
  try {
    (void)shared[5];
  } catch (const TAQUtError& e) {
    raised = e.GetCode() == TAQUtError::IndexOutOfRange && e.GetLine() == 385;
  }
  Check(raised, "a bad index did not raise the vector's index error across the library boundary");

  if (gFailures == 0) std::printf("consumer: all checks passed\n");
  return gFailures == 0 ? 0 : 1;
}
