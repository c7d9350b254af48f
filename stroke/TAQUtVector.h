// A growable 0-based array of values (in this library, pointers to data segments) whose iterators are
// tracked. The vector stores values only: it never deletes what its pointers point to.
//
// Capacity grows 1, 2, 3, 4, 6, 9, 13, 19, ... (new capacity = max(c + c/2, size + 1)), so appending is
// amortised constant time. Reallocation, assignment, RemoveAll and destruction invalidate every iterator
// that points into the storage they give back or reuse; using an invalid iterator raises TAQUtError
// InvalidIterator (line 307) instead of reading freed memory. A checked index at or beyond the size raises
// TAQUtError IndexOutOfRange (line 385). Both name the source "TAQUtilities/ProtectedInterfaces/TAQUtVector".
// Not thread safe: a vector and its iterators are used by one thread at a time.
#ifndef TAQUtVector_h
#define TAQUtVector_h

#include <cstddef>

#include "TAQUtError.h"
#include "TAQUtIteratorTracker.h"
#include "TAQUtTrackedIterator.h"

template <class T>
class TAQUtVector {
 public:
  class iterator : public TAQUtTrackedIterator {
   public:
    iterator() = default;
    iterator(const iterator& o) : TAQUtTrackedIterator(), mVector(o.mVector), mPos(o.mPos) {
      // Registered only when the source still is: an invalidated iterator may outlive its vector.
      if (mVector && o.GetTracker()) mVector->mTracker.AddIterator(this);
    }
    iterator& operator=(const iterator& o) {
      if (this == &o) return *this;
      if (GetTracker()) GetTracker()->RemoveIterator(this);
      mVector = o.mVector;
      mPos = o.mPos;
      if (mVector && o.GetTracker()) mVector->mTracker.AddIterator(this);
      return *this;
    }
    // The base part unregisters the iterator from the tracker it is still registered with.
    ~iterator() override { mVector = nullptr; }

    void Detach() override { mVector = nullptr; }

    // Checks, then reads the element. Reading at the end position is rejected as well.
    T& operator*() const {
      Check();
      if (mPos == mVector->mEnd) Raise();
      return *mPos;
    }
    // Copies the iterator as it is, checks this one, moves it one element on, returns the copy.
    iterator operator++(int) {
      iterator before(*this);
      Check();
      ++mPos;
      return before;
    }
    iterator& operator++() {
      Check();
      ++mPos;
      return *this;
    }
    bool operator==(const iterator& o) const { return mVector == o.mVector && mPos == o.mPos; }
    bool operator!=(const iterator& o) const { return !(*this == o); }

    // Valid: linked to a vector, positioned, and not beyond the end of the elements (the end is valid).
    bool IsValid() const { return mVector && mPos && mPos <= mVector->mEnd; }

   private:
    friend class TAQUtVector;
    iterator(TAQUtVector* v, T* pos) : mVector(v), mPos(pos) { mVector->mTracker.AddIterator(this); }
    void Check() const {
      if (!IsValid()) Raise();
    }
    [[noreturn]] static void Raise() {
      TAQUtError(TAQUtError::InvalidIterator).Throw("TAQUtilities/ProtectedInterfaces/TAQUtVector", 307, nullptr);
    }

    TAQUtVector* mVector = nullptr;  // null when detached
    T* mPos = nullptr;               // null once invalidated
  };

  // Creation
  TAQUtVector() = default;
  TAQUtVector(const TAQUtVector& other) {
    Reallocate(1);
    for (const T* p = other.mStart; p != other.mEnd; ++p) Append(*p);
  }
  TAQUtVector& operator=(const TAQUtVector& other) {
    if (this == &other) return *this;
    if (mStart) Invalidate(mStart, mCapacityEnd);
    mEnd = mStart;
    for (const T* p = other.mStart; p != other.mEnd; ++p) Append(*p);
    return *this;
  }
  ~TAQUtVector() {
    if (mStart) {
      Invalidate(mStart, mCapacityEnd);
      delete[] mStart;
      mStart = mEnd = mCapacityEnd = nullptr;
    }
  }

  // Information
  unsigned int Size() const { return static_cast<unsigned int>(mEnd - mStart); }
  unsigned int Capacity() const { return static_cast<unsigned int>(mCapacityEnd - mStart); }
  T& operator[](unsigned int i) {
    if (i >= Size())
      TAQUtError(TAQUtError::IndexOutOfRange).Throw("TAQUtilities/ProtectedInterfaces/TAQUtVector", 385, nullptr);
    return mStart[i];
  }
  const T& operator[](unsigned int i) const { return const_cast<TAQUtVector&>(*this)[i]; }
  iterator begin() { return iterator(this, mStart); }
  iterator end() { return iterator(this, mEnd); }

  // Modification
  void Append(const T& value) {
    if (mCapacityEnd - mStart <= mEnd - mStart) {
      const std::size_t c = static_cast<std::size_t>(mCapacityEnd - mStart);
      const std::size_t s = static_cast<std::size_t>(mEnd - mStart);
      std::size_t n = c == 0 ? 1 : c + c / 2;
      if (n < s + 1) n = s + 1;
      const T copy = value;  // value may live in the storage about to be freed
      Reallocate(n);
      *mEnd++ = copy;
      return;
    }
    *mEnd++ = value;
  }
  // Size becomes 0, storage kept; iterators into the storage are invalidated. Deletes nothing.
  void RemoveAll() {
    if (mStart) Invalidate(mStart, mCapacityEnd);
    mEnd = mStart;
  }

 private:
  void Reallocate(std::size_t n) {
    T* block = new T[n];  // raises the standard allocation failure; the vector then stays as it was
    const std::size_t s = static_cast<std::size_t>(mEnd - mStart);
    for (std::size_t i = 0; i < s; ++i) block[i] = mStart[i];
    if (mStart) {
      Invalidate(mStart, mCapacityEnd);
      delete[] mStart;
    }
    mStart = block;
    mEnd = block + s;
    mCapacityEnd = block + n;
  }
  void Invalidate(const T* first, const T* last) {
    TAQUtTrackedIterator* it = mTracker.FirstIter();
    while (it) {
      TAQUtTrackedIterator* next = mTracker.NextIter(it);
      iterator* vi = static_cast<iterator*>(it);
      if (vi->mPos && first <= vi->mPos && vi->mPos <= last) {
        vi->mPos = nullptr;
        mTracker.RemoveIterator(it);
      }
      it = next;
    }
  }

  T* mStart = nullptr;
  T* mEnd = nullptr;
  T* mCapacityEnd = nullptr;
  TAQUtIteratorTracker mTracker;
};

#endif
