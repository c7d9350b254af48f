// Base of the iterators that a TAQUtIteratorTracker keeps track of. Holds the tracker's link fields; the
// tracker calls Detach on iterators still registered when it is destroyed.
#ifndef TAQUtTrackedIterator_h
#define TAQUtTrackedIterator_h

#include "TAQExport.h"

class TAQUtIteratorTracker;

class TAQ_EXPORT TAQUtTrackedIterator {
 public:
  TAQUtTrackedIterator() = default;
  TAQUtTrackedIterator(const TAQUtTrackedIterator&) : TAQUtTrackedIterator() {}  // links are never copied
  TAQUtTrackedIterator& operator=(const TAQUtTrackedIterator&) { return *this; }
  virtual ~TAQUtTrackedIterator();

  // Forget the container: called by the tracker for iterators that outlive it.
  virtual void Detach() = 0;

 protected:
  // The tracker this iterator is registered with, or null once unregistered or detached.
  TAQUtIteratorTracker* GetTracker() const { return mTracker; }

 private:
  friend class TAQUtIteratorTracker;
  TAQUtIteratorTracker* mTracker = nullptr;  // the tracker this iterator is registered with, or null
  TAQUtTrackedIterator* mPrev = nullptr;
  TAQUtTrackedIterator* mNext = nullptr;
};

#endif
