// Reading a STEP file back with the modeler's own reader, for checking what the writers wrote.
#ifndef TestStep_h
#define TestStep_h

#include <string>

#include "VORMathPoint.h"

// The bounding box of the shapes in the STEP file at path; false when it cannot be read.
bool StepBoundingBox(const std::string& path, VORMathPoint& lo, VORMathPoint& hi);

#endif
