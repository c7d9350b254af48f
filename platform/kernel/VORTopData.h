// Topological data of a modeler operation: the software configuration and a journal (none here).
#ifndef VORTopData_h
#define VORTopData_h

#include "TAQExport.h"

class VORSoftwareConfiguration;

class TAQ_EXPORT VORTopData {
 public:
  VORTopData(VORSoftwareConfiguration* config, void* journal) : mConfig(config), mJournal(journal) {}
  VORSoftwareConfiguration* GetSoftwareConfiguration() const { return mConfig; }
  void* GetJournal() const { return mJournal; }

 private:
  VORSoftwareConfiguration* mConfig;
  void* mJournal;
};

#endif
