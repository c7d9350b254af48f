// Reading a STEP file back with the modeler's own reader, for checking what the writers wrote.
#ifndef TestStep_h
#define TestStep_h

#include <gtest/gtest.h>

#include <string>

#include "VORMathPoint.h"

// Success when the STEP file at path reads back and its shapes' bounding box is lo..hi, each coordinate
// to within tol.
::testing::AssertionResult StepHasBox(const std::string& path, const VORMathPoint& lo, const VORMathPoint& hi,
                                      double tol);

#endif
