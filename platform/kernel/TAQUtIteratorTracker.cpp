#include "TAQUtIteratorTracker.h"

#include "TAQUtTrackedIterator.h"

TAQUtIteratorTracker::~TAQUtIteratorTracker() {
  TAQUtTrackedIterator* it = mFirst;
  while (it) {
    TAQUtTrackedIterator* next = it->mNext;
    it->mTracker = nullptr;
    it->mPrev = it->mNext = nullptr;
    it->Detach();
    it = next;
  }
  mFirst = nullptr;
}

void TAQUtIteratorTracker::AddIterator(TAQUtTrackedIterator* it) {
  if (!it || it->mTracker == this) return;
  if (it->mTracker) it->mTracker->RemoveIterator(it);
  it->mTracker = this;
  it->mPrev = nullptr;
  it->mNext = mFirst;
  if (mFirst) mFirst->mPrev = it;
  mFirst = it;
}

void TAQUtIteratorTracker::RemoveIterator(TAQUtTrackedIterator* it) {
  if (!it || it->mTracker != this) return;
  if (it->mPrev) it->mPrev->mNext = it->mNext;
  else mFirst = it->mNext;
  if (it->mNext) it->mNext->mPrev = it->mPrev;
  it->mTracker = nullptr;
  it->mPrev = it->mNext = nullptr;
}

TAQUtTrackedIterator* TAQUtIteratorTracker::NextIter(const TAQUtTrackedIterator* it) const {
  return (it && it->mTracker == this) ? it->mNext : nullptr;
}
