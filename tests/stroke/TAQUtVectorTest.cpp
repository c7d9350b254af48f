// The tracked pointer vector: growth, checked indexing, copies, and iterators that are caught instead of
// reading storage the vector gave back.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "TAQMoStrokeData.h"
#include "TAQUtVector.h"

namespace {

using Vec = TAQUtVector<TAQMoStrokeData*>;

TAQMoStrokeData* Fake(unsigned k) { return reinterpret_cast<TAQMoStrokeData*>(static_cast<uintptr_t>(0x1000 + 16 * k)); }

// Runs f, which must raise a TAQUtError, and returns the error.
template <class F>
TAQUtError Raised(F f) {
  try {
    f();
  } catch (const TAQUtError& e) {
    return e;
  }
  ADD_FAILURE() << "no TAQUtError raised";
  return TAQUtError(TAQUtError::IndexOutOfRange);
}

void ExpectIteratorError(const TAQUtError& e) {
  EXPECT_EQ(e.GetCode(), TAQUtError::InvalidIterator);
  EXPECT_EQ(static_cast<unsigned>(e.GetCode()), 0x80000001u);
  EXPECT_EQ(e.GetLine(), 307);
  EXPECT_STREQ(e.GetSource(), "TAQUtilities/ProtectedInterfaces/TAQUtVector");
}

TEST(VectorGrowth, CapacityRunsOneTwoThreeFourSixNineThirteen) {
  Vec v;
  EXPECT_EQ(v.Size(), 0u);
  EXPECT_EQ(v.Capacity(), 0u);
  std::vector<unsigned> seen;
  for (unsigned k = 0; k < 10; ++k) {
    v.Append(Fake(k));
    if (seen.empty() || seen.back() != v.Capacity()) seen.push_back(v.Capacity());
  }
  EXPECT_EQ(seen, (std::vector<unsigned>{1, 2, 3, 4, 6, 9, 13}));
  ASSERT_EQ(v.Size(), 10u);
  for (unsigned k = 0; k < 10; ++k) EXPECT_EQ(v[k], Fake(k));
  for (unsigned k = 10; k < 14; ++k) v.Append(Fake(k));
  EXPECT_EQ(v.Capacity(), 19u);
  // An element of the vector's own storage appended while the storage is full survives the reallocation.
  for (unsigned k = 14; k < 19; ++k) v.Append(Fake(k));
  v.Append(v[3]);
  EXPECT_EQ(v[19], Fake(3));
}

TEST(VectorIndex, AtTheSizeRaisesTheIndexErrorAndChangesNothing) {
  Vec v;
  for (unsigned k = 0; k < 3; ++k) v.Append(Fake(k));
  EXPECT_EQ(v[2], Fake(2));
  const TAQUtError e = Raised([&] { (void)v[3]; });
  EXPECT_EQ(static_cast<unsigned>(e.GetCode()), 0x80000000u);
  EXPECT_EQ(e.GetLine(), 385);
  EXPECT_STREQ(e.GetSource(), "TAQUtilities/ProtectedInterfaces/TAQUtVector");
  EXPECT_EQ(v.Size(), 3u);
  const Vec& cv = v;
  EXPECT_EQ(Raised([&] { (void)cv[100]; }).GetLine(), 385);
  Vec empty;
  EXPECT_EQ(Raised([&] { (void)empty[0]; }).GetCode(), TAQUtError::IndexOutOfRange);
  EXPECT_THROW((void)empty[0], VORError);  // callers that know only the framework's error catch it as that
}

TEST(VectorCopy, HoldsTheSamePointersAndIsIndependent) {
  Vec v;
  for (unsigned k = 0; k < 5; ++k) v.Append(Fake(k));
  Vec c(v);
  ASSERT_EQ(c.Size(), 5u);
  for (unsigned k = 0; k < 5; ++k) EXPECT_EQ(c[k], v[k]);
  c[2] = nullptr;
  EXPECT_EQ(v[2], Fake(2));
  EXPECT_EQ(c.Capacity(), 6u);  // room for one, then grown by the appends
  const Vec empty;
  Vec copyOfEmpty(empty);
  EXPECT_EQ(copyOfEmpty.Size(), 0u);
  EXPECT_TRUE(copyOfEmpty.begin() == copyOfEmpty.end());
}

// Assignment invalidates the destination's iterators only; assigning a vector to itself changes nothing.
TEST(VectorAssignment, InvalidatesTheDestinationsIteratorsOnly) {
  Vec a, b;
  for (unsigned k = 0; k < 3; ++k) a.Append(Fake(k));
  for (unsigned k = 0; k < 2; ++k) b.Append(Fake(10 + k));
  Vec::iterator ia = a.begin();
  Vec::iterator ib = b.begin();
  Vec::iterator ibEnd = b.end();
  b = a;
  EXPECT_FALSE(ib.IsValid());
  EXPECT_FALSE(ibEnd.IsValid());  // the end position lies in the storage too
  ExpectIteratorError(Raised([&] { (void)*ib; }));
  EXPECT_TRUE(ia.IsValid());
  EXPECT_EQ(*ia, Fake(0));
  ASSERT_EQ(b.Size(), 3u);
  EXPECT_EQ(b[2], Fake(2));
  Vec& alias = a;
  a = alias;
  EXPECT_EQ(a.Size(), 3u);
  EXPECT_TRUE(ia.IsValid());
  EXPECT_EQ(*ia, Fake(0));
}

TEST(VectorIterators, WalkTheElementsInOrderAndAreCaughtAtAndPastTheEnd) {
  Vec v;
  for (unsigned k = 0; k < 6; ++k) v.Append(Fake(k));
  unsigned k = 0;
  for (Vec::iterator it = v.begin(); it != v.end(); it++) EXPECT_EQ(*it, Fake(k++));
  EXPECT_EQ(k, 6u);
  Vec::iterator it = v.begin();
  Vec::iterator before = it++;
  EXPECT_EQ(*before, Fake(0));
  EXPECT_EQ(*it, Fake(1));
  Vec::iterator end = v.end();
  EXPECT_TRUE(end.IsValid());  // the end itself is a valid position, but not one to read
  ExpectIteratorError(Raised([&] { (void)*end; }));
  end++;  // checked at the end, then moved beyond it
  EXPECT_FALSE(end.IsValid());
  ExpectIteratorError(Raised([&] { end++; }));
}

// Copies of an iterator are tracked like the original; iterators compare by vector and position.
TEST(VectorIterators, ReallocationInvalidatesEveryCopyAndSpareRoomOrWritingDoesNot) {
  Vec v, w;
  v.Append(Fake(0));
  w.Append(Fake(0));
  EXPECT_FALSE(v.begin() == w.begin());  // equal elements of another vector
  v.Append(Fake(1));
  v.Append(Fake(2));  // capacity 3, full
  Vec::iterator stale = v.begin();
  Vec::iterator copy(stale), assigned;
  assigned = stale;
  EXPECT_TRUE(copy == stale && assigned == stale);
  v.Append(Fake(3));  // reallocates to 4
  for (Vec::iterator* it : {&stale, &copy, &assigned}) EXPECT_FALSE(it->IsValid());
  ExpectIteratorError(Raised([&] { (void)*assigned; }));
  ExpectIteratorError(Raised([&] { stale++; }));

  Vec::iterator kept = v.begin();  // capacity 4, size 4: the next append reallocates
  v.Append(Fake(4));               // capacity 6, size 5: room left
  Vec::iterator roomy = v.begin();
  v.Append(Fake(5));
  EXPECT_FALSE(kept.IsValid());
  EXPECT_TRUE(roomy.IsValid());
  v[0] = Fake(9);  // writing through the index invalidates nothing
  EXPECT_EQ(*roomy, Fake(9));
}

}  // namespace
