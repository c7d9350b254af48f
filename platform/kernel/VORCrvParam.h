// A parameter on a curve: the curve's own parameter value (not a fraction of its length).
#ifndef VORCrvParam_h
#define VORCrvParam_h

#include "TAQExport.h"

class TAQ_EXPORT VORCrvParam {
 public:
  VORCrvParam() = default;
  explicit VORCrvParam(double value) : mValue(value) {}
  double GetParam() const { return mValue; }
  void SetParam(double value) { mValue = value; }

 private:
  double mValue = 0.0;
};

#endif
