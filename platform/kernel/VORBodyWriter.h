// Writes a body to a file: STEP (AP214), BREP (the modeler's native text format) or binary STL (faces
// within a chordal deviation in model units: a face swept along a straight direction, as the side of an
// extruded stroke, is one strip of two triangles per chord; every facet's stored normal is the right-hand
// normal of its corners, on the face's outer side). Each returns true when the file was written
// completely; on failure (an STL with no facet included) no file is left behind. Prints nothing.
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
