// The list of live iterators of one container, so that the container can invalidate those that point into
// storage it gives back. A doubly linked list through the iterators themselves: registering, unregistering
// and walking cost no allocation. Unregistering an iterator that is not registered does nothing, so it is
// safe during a walk (fetch NextIter first) and twice in a row.
#ifndef TAQUtIteratorTracker_h
#define TAQUtIteratorTracker_h

#include "TAQExport.h"

class TAQUtTrackedIterator;

class TAQ_EXPORT TAQUtIteratorTracker {
 public:
  TAQUtIteratorTracker() = default;
  TAQUtIteratorTracker(const TAQUtIteratorTracker&) = delete;
  TAQUtIteratorTracker& operator=(const TAQUtIteratorTracker&) = delete;
  // Detaches every iterator still registered (their container is going away).
  ~TAQUtIteratorTracker();

  void AddIterator(TAQUtTrackedIterator* it);
  void RemoveIterator(TAQUtTrackedIterator* it);
  TAQUtTrackedIterator* FirstIter() const { return mFirst; }
  TAQUtTrackedIterator* NextIter(const TAQUtTrackedIterator* it) const;

 private:
  TAQUtTrackedIterator* mFirst = nullptr;
};

#endif
