// The modeler's software configuration: passed through to every geometric operation. Holds nothing the
// stroke runtime reads.
#ifndef VORSoftwareConfiguration_h
#define VORSoftwareConfiguration_h

#include "TAQExport.h"

class TAQ_EXPORT VORSoftwareConfiguration {
 public:
  VORSoftwareConfiguration() = default;
};

#endif
