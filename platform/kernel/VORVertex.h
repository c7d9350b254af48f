// A vertex of a body. Vertices handed out by TAQMoWire::GetWireBodyEndVertices belong to the body they
// come from and live as long as it does.
#ifndef VORVertex_h
#define VORVertex_h

#include <memory>

#include "TAQExport.h"
#include "VORMathPoint.h"

class TAQ_EXPORT VORVertex {
 public:
  VORMathPoint GetPoint() const;

  VORVertex(const VORVertex&) = delete;
  VORVertex& operator=(const VORVertex&) = delete;

 private:
  friend struct VORVertexAccess;  // the platform's own code makes vertices through it
  VORVertex();
  ~VORVertex();

  struct TAQ_HIDDEN Impl;
  std::unique_ptr<Impl> mImpl;
};

#endif
