// Kernel lists written out in tests.
#ifndef TestLists_h
#define TestLists_h

#include <initializer_list>

#include "VORRawCollint.h"

// The 1-based int list holding values, in order.
template <typename Values>
VORRawCollint Ints(const Values& values) {
  VORRawCollint r;
  for (int v : values) r.Append(v);
  return r;
}
inline VORRawCollint Ints(std::initializer_list<int> values) { return Ints<std::initializer_list<int>>(values); }

#endif
