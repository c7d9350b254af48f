// The 1-based lists of the kernel: position 1 is the first item, Size() the last.
// A list is a value: copying and assigning copy the items. A list of pointers holds the pointers only and
// never deletes what they point to. Positions outside 1..Size() are a caller error: they are caught by the
// standard library's assertions in the checked (sanitizer) build and are undefined otherwise, so every
// caller inside the library checks its positions first.
#ifndef VORListVal_h
#define VORListVal_h

#include <cstddef>
#include <vector>

template <class T>
class VORListVal {
 public:
  VORListVal() = default;
  // initialAllocation: room reserved up front, in items (0 reserves nothing).
  explicit VORListVal(int initialAllocation) {
    if (initialAllocation > 0) mItems.reserve(static_cast<std::size_t>(initialAllocation));
  }

  // Information
  int Size() const { return static_cast<int>(mItems.size()); }
  T& operator[](int position) { return mItems[static_cast<std::size_t>(position - 1)]; }
  const T& operator[](int position) const { return mItems[static_cast<std::size_t>(position - 1)]; }
  // Position of the first item equal to value at or after position from, or 0 when there is none.
  int Locate(const T& value, int from = 1) const {
    for (int i = from < 1 ? 1 : from; i <= Size(); ++i)
      if (mItems[static_cast<std::size_t>(i - 1)] == value) return i;
    return 0;
  }

  // Modification
  void Append(const T& value) { mItems.push_back(value); }
  void Append(const VORListVal& other) {
    if (&other == this) {
      const std::vector<T> copy = other.mItems;
      mItems.insert(mItems.end(), copy.begin(), copy.end());
    } else {
      mItems.insert(mItems.end(), other.mItems.begin(), other.mItems.end());
    }
  }
  // Inserts value so that it becomes the item at position (1..Size()+1); other positions are refused.
  bool InsertAt(int position, const T& value) {
    if (position < 1 || position > Size() + 1) return false;
    mItems.insert(mItems.begin() + (position - 1), value);
    return true;
  }
  // Removes the item at position; a position outside 1..Size() is refused.
  bool RemovePosition(int position) {
    if (position < 1 || position > Size()) return false;
    mItems.erase(mItems.begin() + (position - 1));
    return true;
  }
  // Removes count items from position on, fewer where the list ends first; a position outside 1..Size()
  // removes nothing. Returns how many were removed.
  int RemovePositions(int position, int count) {
    if (position < 1 || position > Size() || count <= 0) return 0;
    const int n = count < Size() - position + 1 ? count : Size() - position + 1;
    mItems.erase(mItems.begin() + (position - 1), mItems.begin() + (position - 1 + n));
    return n;
  }
  // Empties the list; memoryHandling 1 also gives the storage back, 0 keeps it for reuse.
  void RemoveAll(int memoryHandling = 0) {
    mItems.clear();
    if (memoryHandling == 1) mItems.shrink_to_fit();
  }
  void Reserve(int count) {
    if (count > 0) mItems.reserve(static_cast<std::size_t>(count));
  }

  // Raw access for hot loops: Data()[i - 1] is the item at position i.
  T* Data() { return mItems.data(); }
  const T* Data() const { return mItems.data(); }
  typename std::vector<T>::iterator begin() { return mItems.begin(); }
  typename std::vector<T>::iterator end() { return mItems.end(); }
  typename std::vector<T>::const_iterator begin() const { return mItems.begin(); }
  typename std::vector<T>::const_iterator end() const { return mItems.end(); }

  bool operator==(const VORListVal& o) const { return mItems == o.mItems; }
  bool operator!=(const VORListVal& o) const { return !(*this == o); }

 private:
  std::vector<T> mItems;
};

#endif
