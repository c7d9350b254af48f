// Lifetime of segments shared between strokes: copies share segment pointers, and a segment is deleted
// exactly once, by the last stroke that lets go of it (destructor, SetData, assignment), never while a
// stroke still holds it. Tangent records made by the library are never deleted while a stroke that held
// them lives; records a caller hands to SetTangents stay the caller's.
//
// The program replaces the global operator delete to count how often each watched segment is deleted. In
// the normal build a watched block is kept until the watch ends, so its address cannot be reused; in the
// sanitizer build it is freed at once, so that AddressSanitizer catches any later read, and the leak check
// at exit catches a segment nobody deleted.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <new>
#include <numeric>
#include <vector>

#include "TAQMoStroke.h"

namespace {

constexpr int kWatchSlots = 64;
void* gWatched[kWatchSlots];
int gDeletes[kWatchSlots];
int gWatchCount = 0;

bool Deleting(void* p) {
  for (int i = 0; i < gWatchCount; ++i)
    if (gWatched[i] == p) {
      ++gDeletes[i];
#if defined(__SANITIZE_ADDRESS__)
      return false;  // freed now: the sanitizer reports any later use
#else
      return true;   // kept until Unwatch: the address is not reused while watched
#endif
    }
  return false;
}

}  // namespace

void* operator new(std::size_t n) {
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
  if (p && !Deleting(p)) std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  if (p && !Deleting(p)) std::free(p);
}
// The array forms too, so that every allocation of the program pairs malloc with free (as a memory
// checker that watches the pairing expects).
void* operator new[](std::size_t n) { return operator new(n); }
void operator delete[](void* p) noexcept { operator delete(p); }
void operator delete[](void* p, std::size_t) noexcept { operator delete(p); }

namespace {

// Watches the segments made through it; at the end checks every one was deleted exactly once.
class Watch {
 public:
  Watch() { gWatchCount = 0; }
  ~Watch() { Unwatch(); }

  // Watches a segment made elsewhere (by the library) from now on.
  void Follow(TAQMoStrokeData* s) {
    ASSERT_LT(gWatchCount, kWatchSlots);
    gWatched[gWatchCount] = s;
    gDeletes[gWatchCount] = 0;
    ++gWatchCount;
  }
  // count new segments of pointsEach, pointsEach + 1, ... points, watched.
  TAQUtVector<TAQMoStrokeData*> MakeVector(int count, int pointsEach) {
    TAQUtVector<TAQMoStrokeData*> v;
    for (int i = 0; i < count; ++i) {
      VORListValVORMathPoint p;
      for (int k = 0; k < pointsEach + i; ++k) p.Append(VORMathPoint(k, i, 0));
      v.Append(new TAQMoStrokeData);
      v[i]->SetCoords(p);
      Follow(v[i]);
    }
    return v;
  }
  int Deletes(const TAQMoStrokeData* s) const {
    for (int i = 0; i < gWatchCount; ++i)
      if (gWatched[i] == s) return gDeletes[i];
    ADD_FAILURE() << "segment not watched";
    return -1;
  }
  // Every watched segment deleted exactly once (none leaked, none deleted twice).
  void ExpectAllDeletedOnce() const {
    for (int i = 0; i < gWatchCount; ++i) EXPECT_EQ(gDeletes[i], 1) << "segment " << i;
  }
  void ExpectNoneDeleted(const TAQUtVector<TAQMoStrokeData*>& v) const {
    for (unsigned i = 0; i < v.Size(); ++i) EXPECT_EQ(Deletes(v[i]), 0) << "segment " << i;
  }

 private:
  void Unwatch() {
    const int n = gWatchCount;
    gWatchCount = 0;
#if !defined(__SANITIZE_ADDRESS__)
    for (int i = 0; i < n; ++i)
      if (gDeletes[i] > 0) std::free(gWatched[i]);
#else
    (void)n;
#endif
  }
};

// Reads every segment a stroke holds and checks it still holds its points: a freed segment read here is
// reported by the sanitizer build.
void ExpectReadable(const TAQMoStroke& s, const TAQUtVector<TAQMoStrokeData*>& expected) {
  TAQUtVector<TAQMoStrokeData*> data;
  s.GetData(data);
  ASSERT_EQ(data.Size(), expected.Size());
  for (unsigned i = 0; i < data.Size(); ++i) {
    ASSERT_EQ(data[i], expected[i]);
    VORListValVORMathPoint p;
    ASSERT_EQ(data[i]->GetSourcePoints(p, nullptr), S_OK);
    EXPECT_GT(p.Size(), 0);
  }
}

// The same segment twice in one stroke is deleted once; segments taken from one stroke and given to another
// are shared by both until the last lets go.
TEST(SegmentLifetime, ARepeatedOrHandedOnSegmentIsDeletedOnceByItsLastHolder) {
  Watch w;
  TAQUtVector<TAQMoStrokeData*> twice = w.MakeVector(1, 3);
  twice.Append(twice[0]);
  TAQUtVector<TAQMoStrokeData*> a = w.MakeVector(2, 3);
  {
    TAQMoStroke first, repeated;
    repeated.SetData(twice, false);
    first.SetData(a, false);
    {
      TAQMoStroke second;
      TAQUtVector<TAQMoStrokeData*> taken;
      first.GetData(taken);
      second.SetData(taken, false);
    }
    w.ExpectNoneDeleted(a);
    ExpectReadable(first, a);
  }
  w.ExpectAllDeletedOnce();
}

// Three strokes share one set of segments through copy construction and assignment; every order of
// letting go (destroy, SetData with other segments, assignment from an unrelated stroke) ends with each
// segment deleted exactly once, and only after the last holder let go, while the segments a stroke takes
// instead stay alive.
class EveryOrder : public ::testing::TestWithParam<int> {};

TEST_P(EveryOrder, DeletesEachSegmentOnceAfterTheLastHolder) {
  const int code = GetParam();
  Watch w;
  TAQUtVector<TAQMoStrokeData*> shared = w.MakeVector(3, 4);
  TAQMoStroke* strokes[3] = {new TAQMoStroke, nullptr, nullptr};
  strokes[0]->SetData(shared, true);
  strokes[1] = new TAQMoStroke(*strokes[0]);
  strokes[2] = new TAQMoStroke;
  *strokes[2] = *strokes[1];

  std::vector<int> order = {0, 1, 2};
  for (int k = 0; k < code / 3; ++k) std::next_permutation(order.begin(), order.end());
  const int how = code % 3;  // 0: destroy, 1: SetData with fresh segments, 2: assign from a fresh stroke
  TAQMoStroke unrelated;
  TAQUtVector<TAQMoStrokeData*> spare = w.MakeVector(1, 2);
  unrelated.SetData(spare, false);

  bool holds[3] = {true, true, true};
  for (int step = 0; step < 3; ++step) {
    holds[order[step]] = false;
    TAQMoStroke*& s = strokes[order[step]];
    if (how == 0) {
      delete s;
      s = nullptr;
    } else if (how == 1) {
      TAQUtVector<TAQMoStrokeData*> fresh = w.MakeVector(1, 3);
      s->SetData(fresh, false);
      w.ExpectNoneDeleted(fresh);
      ExpectReadable(*s, fresh);
    } else {
      *s = unrelated;
      ExpectReadable(*s, spare);
    }
    w.ExpectNoneDeleted(spare);
    if (step < 2) {
      w.ExpectNoneDeleted(shared);
      for (int k = 0; k < 3; ++k)
        if (holds[k]) ExpectReadable(*strokes[k], shared);
    } else {
      for (unsigned i = 0; i < shared.Size(); ++i) EXPECT_EQ(w.Deletes(shared[i]), 1);
    }
  }
  for (TAQMoStroke* s : strokes) delete s;
  unrelated = TAQMoStroke();
  w.ExpectAllDeletedOnce();
}

INSTANTIATE_TEST_SUITE_P(DestroySetDataAssign, EveryOrder, ::testing::Range(0, 18));

// Tangent records made by the library (the end-tangent recording) are deleted once, when the last stroke
// that held them goes, however the strokes are copied, closed or handed each other's records.
class TangentRecords : public ::testing::Test {
 protected:
  static void Record(TAQMoStroke& s, const VORMathPoint& start, const VORMathPoint& end) {
    const VORMathPoint points[2] = {start, end};
    const VORMathDirection directions[2] = {VORMathDirection(1, 0, 0), VORMathDirection(0, 1, 0)};
    const VORMathDirection normals[2] = {VORMathDirection(0, 0, 1), VORMathDirection(0, 0, 1)};
    s.UpdateEndTangents(points, directions, normals);
  }
  // A stroke with a sketch plane and two recorded records, which the watch then follows.
  static TAQMoStroke* Recorded(Watch& w) {
    TAQMoStroke* s = new TAQMoStroke;
    s->SetSketchPlane(VORMathPlane());
    Record(*s, VORMathPoint(0, 0, 0), VORMathPoint(10, 0, 0));
    TAQUtVector<TAQMoStrokeData*> records;
    s->GetTangents(records);
    EXPECT_EQ(records.Size(), 2u);
    for (unsigned i = 0; i < records.Size(); ++i) w.Follow(records[i]);
    return s;
  }
  // The recorded end point of s.
  static VORMathPoint EndOf(const TAQMoStroke& s) {
    VORMathPoint ends[2];
    VORMathDirection directions[2];
    EXPECT_TRUE(s.GetEndTangents(ends, directions));
    return ends[1];
  }
  static TAQUtVector<TAQMoStrokeData*> Records(const TAQMoStroke& s) {
    TAQUtVector<TAQMoStrokeData*> records;
    s.GetTangents(records);
    return records;
  }
};

// Shared by a copy, or handed to another stroke, records outlive the stroke that made them and its closing.
TEST_F(TangentRecords, SharedByACopyOrHandedToAnotherStrokeOutliveTheOriginalAndItsClosing) {
  Watch w;
  TAQMoStroke* s = Recorded(w);
  TAQMoStroke* other = Recorded(w);
  const TAQUtVector<TAQMoStrokeData*> records = Records(*s), others = Records(*other);
  TAQMoStroke* copy = new TAQMoStroke(*s);
  other->SetTangents(records);  // the other's own records stay valid for whoever saved them while it lives
  w.ExpectNoneDeleted(others);
  Record(*s, VORMathPoint(1, 1, 0), VORMathPoint(1, 1, 0));  // coincident ends close the stroke
  EXPECT_EQ(Records(*s).Size(), 0u);
  delete s;
  w.ExpectNoneDeleted(records);
  EXPECT_EQ(EndOf(*copy), VORMathPoint(10, 0, 0));
  Record(*copy, VORMathPoint(2, 2, 0), VORMathPoint(2, 2, 0));
  delete copy;
  w.ExpectNoneDeleted(records);
  delete other;
  w.ExpectAllDeletedOnce();
}

// Records set aside and given back, and a caller's records freed while a stroke still holds them: no
// record is read after it is freed or freed twice, and the caller's records stay the caller's.
TEST_F(TangentRecords, SetAsideGivenBackOrFreedByTheCallerNoneIsFreedUnderAHolder) {
  Watch w;
  TAQMoStroke* s = Recorded(w);
  const TAQUtVector<TAQMoStrokeData*> saved = Records(*s);
  s->SetTangents(TAQUtVector<TAQMoStrokeData*>());
  w.ExpectNoneDeleted(saved);
  s->SetTangents(saved);
  EXPECT_EQ(EndOf(*s), VORMathPoint(10, 0, 0));
  TAQUtVector<TAQMoStrokeData*> mine = w.MakeVector(2, 2);
  s->SetTangents(mine);
  {
    TAQMoStroke copy(*s);
    for (unsigned i = 0; i < mine.Size(); ++i) delete mine[i];
    copy = TAQMoStroke();
  }
  delete s;
  w.ExpectAllDeletedOnce();
}

TEST_F(TangentRecords, ACallersSingleRecordGetsAPartnerThatTheStrokeReclaims) {
  Watch w;
  TAQUtVector<TAQMoStrokeData*> mine = w.MakeVector(1, 2);
  TAQMoStrokeData* partner = nullptr;
  {
    TAQMoStroke s;
    s.SetSketchPlane(VORMathPlane());
    s.SetTangents(mine);
    Record(s, VORMathPoint(0, 0, 0), VORMathPoint(10, 0, 0));
    const TAQUtVector<TAQMoStrokeData*> records = Records(s);
    ASSERT_EQ(records.Size(), 2u);
    EXPECT_EQ(records[0], mine[0]);
    partner = records[1];
    w.Follow(partner);
    EXPECT_EQ(EndOf(s), VORMathPoint(10, 0, 0));
  }
  EXPECT_EQ(w.Deletes(partner), 1);
  w.ExpectNoneDeleted(mine);
  delete mine[0];
}

}  // namespace
