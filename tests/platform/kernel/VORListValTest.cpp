// The kernel's 1-based lists: positions, insertion and removal at the edges, Locate, and value copies.
#include <gtest/gtest.h>

#include "VORListPtrVORCurve.h"
#include "VORListValVORMathPoint.h"
#include "VORRawColldouble.h"
#include "VORRawCollint.h"

namespace {

VORRawCollint Ints(std::initializer_list<int> values) {
  VORRawCollint l;
  for (int v : values) l.Append(v);
  return l;
}

TEST(ListPositions, AreOneBased) {
  VORRawCollint l = Ints({10, 20, 30});
  EXPECT_EQ(l.Size(), 3);
  EXPECT_EQ(l[1], 10);
  EXPECT_EQ(l[3], 30);
  l[2] = 25;
  EXPECT_EQ(l.Data()[1], 25);
}

TEST(ListInsertAt, AcceptsOneToSizePlusOneOnly) {
  VORRawCollint l = Ints({1, 2});
  EXPECT_TRUE(l.InsertAt(1, 0));
  EXPECT_TRUE(l.InsertAt(4, 9));  // Size() + 1 appends
  EXPECT_EQ(l, Ints({0, 1, 2, 9}));
  EXPECT_FALSE(l.InsertAt(0, 5));
  EXPECT_FALSE(l.InsertAt(6, 5));
  EXPECT_FALSE(l.InsertAt(-3, 5));
  EXPECT_EQ(l.Size(), 4);
  VORRawCollint empty;
  EXPECT_TRUE(empty.InsertAt(1, 7));
  EXPECT_EQ(empty, Ints({7}));
}

TEST(ListRemovePosition, RefusesPositionsOutsideTheList) {
  VORRawCollint l = Ints({1, 2, 3});
  EXPECT_FALSE(l.RemovePosition(0));
  EXPECT_FALSE(l.RemovePosition(4));
  EXPECT_TRUE(l.RemovePosition(3));
  EXPECT_TRUE(l.RemovePosition(1));
  EXPECT_EQ(l, Ints({2}));
  VORRawCollint empty;
  EXPECT_FALSE(empty.RemovePosition(1));
}

TEST(ListRemovePositions, RemovesARunCutShortByTheListsEnd) {
  VORRawCollint l = Ints({1, 2, 3, 4, 5});
  EXPECT_EQ(l.RemovePositions(2, 2), 2);
  EXPECT_EQ(l, Ints({1, 4, 5}));
  EXPECT_EQ(l.RemovePositions(2, 10), 2);
  EXPECT_EQ(l, Ints({1}));
  EXPECT_EQ(l.RemovePositions(0, 1), 0);
  EXPECT_EQ(l.RemovePositions(2, 1), 0);
  EXPECT_EQ(l.RemovePositions(1, 0), 0);
  EXPECT_EQ(l, Ints({1}));
}

TEST(ListLocate, GivesThePositionFromAStartOrZero) {
  const VORRawCollint l = Ints({5, 7, 5, 9});
  EXPECT_EQ(l.Locate(5, 1), 1);
  EXPECT_EQ(l.Locate(5, 2), 3);
  EXPECT_EQ(l.Locate(5, 4), 0);
  EXPECT_EQ(l.Locate(9), 4);
  EXPECT_EQ(l.Locate(8), 0);
  EXPECT_EQ(l.Locate(5, -10), 1);  // a start before the list reads from position 1
  EXPECT_EQ(l.Locate(5, 100), 0);
  EXPECT_EQ(VORRawCollint().Locate(1), 0);
}

TEST(ListAppend, OfAListToItselfDoublesIt) {
  VORRawCollint l = Ints({1, 2});
  l.Append(l);
  EXPECT_EQ(l, Ints({1, 2, 1, 2}));
  VORRawCollint other = Ints({3});
  l.Append(other);
  EXPECT_EQ(l.Size(), 5);
  EXPECT_EQ(l[5], 3);
}

TEST(ListRemoveAll, EmptiesWithEitherMemoryHandling) {
  VORRawColldouble l(16);
  EXPECT_EQ(l.Size(), 0);  // an initial allocation holds no items
  l.Append(1.5);
  l.Append(2.5);
  l.RemoveAll(0);
  EXPECT_EQ(l.Size(), 0);
  l.Append(3.5);
  l.RemoveAll(1);
  EXPECT_EQ(l.Size(), 0);
  l.Append(4.5);
  EXPECT_EQ(l[1], 4.5);
}

TEST(ListValue, CopiesAndAssignmentsAreIndependent) {
  VORListValVORMathPoint a;
  a.Append(VORMathPoint(1, 2, 3));
  VORListValVORMathPoint b(a);
  VORListValVORMathPoint c;
  c = a;
  b[1] = VORMathPoint(0, 0, 0);
  c.Append(VORMathPoint(4, 5, 6));
  EXPECT_EQ(a.Size(), 1);
  EXPECT_EQ(a[1], VORMathPoint(1, 2, 3));
  EXPECT_NE(a, b);
}

TEST(ListOfCurves, HoldsPointersOnly) {
  VORListPtrVORCurve curves(0);
  VORCurve* fake = reinterpret_cast<VORCurve*>(0x40);
  curves.Append(fake);
  curves.Append(nullptr);
  VORListPtrVORCurve copy(curves);
  curves.RemoveAll(1);  // nothing is deleted: the pointer above is not a real curve
  EXPECT_EQ(copy.Size(), 2);
  EXPECT_EQ(copy[1], fake);
  EXPECT_EQ(copy.Locate(nullptr), 2);
}

}  // namespace
