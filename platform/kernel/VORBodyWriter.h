// Writes a body to a file: STEP (AP214), BREP (the modeler's native text format) or STL (after meshing
// with a chordal deviation in model units). Each returns true when the file was written completely; on
// failure no file is left behind. Prints nothing.
#ifndef VORBodyWriter_h
#define VORBodyWriter_h

#include "TAQExport.h"

class VORBody;

class TAQ_EXPORT VORBodyWriter {
 public:
  static bool WriteSTEP(const VORBody* body, const char* path);
  static bool WriteBREP(const VORBody* body, const char* path);
  static bool WriteSTL(const VORBody* body, const char* path, double deflection = 0.05);
};

#endif
