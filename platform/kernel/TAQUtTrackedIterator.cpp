#include "TAQUtTrackedIterator.h"

#include "TAQUtIteratorTracker.h"

TAQUtTrackedIterator::~TAQUtTrackedIterator() {
  // A derived iterator unregisters itself; this only guards against a tracker keeping a dangling link.
  if (mTracker) mTracker->RemoveIterator(this);
}
