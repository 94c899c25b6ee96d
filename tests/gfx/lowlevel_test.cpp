// Low-level routines, fixed-point math and containers against independent formulations: a
// mathematical modulo and reflection, exact rationals, a brute-force line walk and a standard
// map as the model of the pointer map.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "gfx/containers.h"
#include "gfx/filters.h"
#include "gfx/fixed_math.h"
#include "gfx/lowlevel.h"

namespace gfx {
namespace {

TEST(LowLevel, WrapAndMirrorAgainstModuloAndReflection) {
  EXPECT_EQ(Wrap(-1, 0, 9), 9);
  EXPECT_EQ(Mirror(10, 0, 9), 9);
  EXPECT_EQ(Mirror(-1, 0, 9), 0);
  for (int lo = -3; lo <= 3; ++lo)
    for (int hi = lo; hi <= lo + 6; ++hi)
      for (int v = -100; v <= 100; ++v) {
        const int n = hi - lo + 1;
        const int m = ((v - lo) % n + n) % n;  // mathematical modulo
        ASSERT_EQ(Wrap(v, lo, hi), lo + m) << v << " " << lo << " " << hi;
        // Reflection: the period is 2n; the second half runs backwards.
        const int p = ((v - lo) % (2 * n) + 2 * n) % (2 * n);
        ASSERT_EQ(Mirror(v, lo, hi), p < n ? lo + p : hi - (p - n)) << v << " " << lo << " " << hi;
        ASSERT_EQ(WrapProcs[wmClamp](v, lo, hi), std::clamp(v, lo, hi));
      }
  EXPECT_EQ(Wrap(INT32_MIN, INT32_MIN + 1, INT32_MAX), INT32_MAX);  // no overflow
  EXPECT_EQ(Wrap(5, 3, 1), 3);  // an empty range divides by nothing
}

TEST(LowLevel, DivModAndTestClip) {
  std::int32_t r = 0;
  EXPECT_EQ(DivMod(-7, 2, r), -3);
  EXPECT_EQ(r, -1);
  EXPECT_EQ(DivMod(7, 0, r), 0);  // no trap
  std::int32_t a = 9, b = -3;
  EXPECT_TRUE(TestClip(a, b, 0, 5));
  EXPECT_EQ(std::pair(a, b), std::pair(0, 4));
  a = 7, b = 9;
  EXPECT_FALSE(TestClip(a, b, 0, 5));
  // An end exactly at the limit is the first value outside: it comes back one below it.
  a = 1, b = 5;
  EXPECT_TRUE(TestClip(a, b, 0, 5));
  EXPECT_EQ(std::pair(a, b), std::pair(1, 4));
  a = 5, b = 5;
  EXPECT_FALSE(TestClip(a, b, 0, 5));
}

TEST(LowLevel, FillFormsAndMoveAtEveryLengthAndAlignment) {
  for (TFillLongwordProc fill : {plain::FillLongword, mmx::FillLongword, sse2::FillLongword})
    for (int offset = 0; offset < 4; ++offset)
      for (int n = -2; n < 68; ++n) {
        std::vector<TColor32> row(80, 0x11111111);
        fill(row.data() + offset, n, 0xDEADBEEF);
        for (int i = 0; i < 80; ++i)
          ASSERT_EQ(row[i], i >= offset && i < offset + n ? 0xDEADBEEF : 0x11111111) << n;
      }
  std::vector<TColor32> big(5 * 1024 * 1024, 1);  // beyond the streaming threshold
  sse2::FillLongword(big.data() + 1, static_cast<std::int32_t>(big.size()) - 2, 7);
  EXPECT_EQ(std::count(big.begin(), big.end(), 7u), static_cast<std::ptrdiff_t>(big.size()) - 2);
  std::vector<TColor32> row = {1, 2, 3, 4, 5, 6};
  MoveLongword(row.data(), row.data() + 2, 4);  // overlapping: as through a temporary row
  EXPECT_EQ(row, (std::vector<TColor32>{1, 2, 1, 2, 3, 4}));
  MoveLongword(row.data(), row.data() + 1, 0);
  EXPECT_EQ(row[1], 2u);
}

TEST(Filters, EveryFormMatchesTheOperation) {
  std::mt19937 rng(3);
  std::vector<TColor32> src(70);
  for (auto& v : src) v = rng();
  const TColor32 mask = 0xF0F00FF0;
  using Inplace = void (*)(TColor32*, std::int32_t, TColor32);
  const std::tuple<std::vector<TLogicLineProc>, Inplace, TColor32> ops[] = {
      {{plain::XorLine, mmx::XorLine, sse2::XorLine, sse2_ex::XorLine}, XorLineInplace, 0},
      {{plain::OrLine, mmx::OrLine, sse2::OrLine, sse2_ex::OrLine}, OrLineInplace, 1},
      {{plain::AndLine, mmx::AndLine, sse2::AndLine, sse2_ex::AndLine}, AndLineInplace, 2}};
  for (const auto& [forms, inplace, op] : ops)
    for (int n = 0; n < 68; ++n) {
      std::vector<TColor32> expected = src;
      for (int i = 1; i <= n; ++i)
        expected[i] = op == 0 ? src[i] ^ mask : op == 1 ? src[i] | mask : src[i] & mask;
      for (TLogicLineProc form : forms) {
        std::vector<TColor32> dst = src;
        form(src.data() + 1, dst.data() + 1, n, mask);
        ASSERT_EQ(dst, expected) << n;
      }
      std::vector<TColor32> dst = src;
      inplace(dst.data() + 1, n, mask);
      ASSERT_EQ(dst, expected) << n;
    }
}

// floor(a / b) for b > 0.
std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  return a / b - (a % b != 0 && a < 0);
}

TEST(FixedMath, MatchesExactRationals) {
  EXPECT_EQ(FixedRound(0x00018000), 1);
  EXPECT_EQ(FixedRound(0x00018001), 2);
  EXPECT_EQ(FixedCeil(1), 1);
  EXPECT_EQ(FixedFloor(-1), -1);
  EXPECT_EQ(MulDiv(7, 3, 2), 11);
  EXPECT_EQ(MulDiv(-7, 3, 2), -11);
  EXPECT_EQ(MulDiv(1, 1, 0), -1);
  EXPECT_EQ(MulDiv(INT32_MAX, INT32_MAX, 1), -1);
  std::mt19937 rng(11);
  for (int i = 0; i < 200000; ++i) {
    const int shift = static_cast<int>(rng() % 32);
    const auto pick = [&] { return static_cast<std::int32_t>(rng()) >> shift; };
    const std::int32_t a = pick(), b = pick();
    const std::int64_t x = a;  // a / 65536
    ASSERT_EQ(FixedFloor(a), FloorDiv(x, 65536));
    ASSERT_EQ(FixedCeil(a), -FloorDiv(-x, 65536));
    const std::int64_t fl = FloorDiv(x, 65536);
    ASSERT_EQ(FixedRound(a), x - fl * 65536 > 32768 ? fl + 1 : fl);  // half rounds down
    ASSERT_EQ(FixedMul(a, b), static_cast<std::int32_t>(FloorDiv(std::int64_t{a} * b, 65536)));
    if (b != 0) {
      const std::int64_t q = std::int64_t{a} * 65536 / b;  // truncating
      ASSERT_EQ(FixedDiv(a, b), static_cast<std::int32_t>(q));
      const std::int32_t c = pick();
      if (c == 0) continue;
      const std::int64_t n = std::int64_t{a} * b;
      std::int64_t m = n / c;
      const std::int64_t rem = n % c;
      if (2 * (rem < 0 ? -rem : rem) >= (c < 0 ? -std::int64_t{c} : c))
        m += (n < 0) == (c < 0) ? 1 : -1;
      ASSERT_EQ(MulDiv(a, b, c), m > INT32_MAX || m < -INT32_MAX ? -1 : m)
          << a << " " << b << " " << c;
    }
  }
  EXPECT_EQ(FixedDiv(5, 0), INT32_MAX);
  EXPECT_FLOAT_EQ(Hypot(3.0f, 4.0f), 5.0f);
}

TEST(ClipLine, StatedCasesAndEndPointsOnTheTrueLine) {
  std::int32_t x1 = -10, y1 = 5, x2 = 20, y2 = 5;
  EXPECT_TRUE(ClipLine(x1, y1, x2, y2, 0, 0, 9, 9));
  EXPECT_EQ((std::vector<int>{x1, y1, x2, y2}), (std::vector<int>{0, 5, 9, 5}));
  x1 = -10, y1 = -10, x2 = -5, y2 = -5;
  EXPECT_FALSE(ClipLine(x1, y1, x2, y2, 0, 0, 9, 9));
  std::mt19937 rng(5);
  for (int i = 0; i < 20000; ++i) {
    const std::int64_t range = i % 2 ? 40 : std::int64_t{1} << 31;
    const auto pick = [&] {
      return static_cast<std::int32_t>(static_cast<std::int64_t>(rng() % (2 * range)) - range);
    };
    const std::int32_t ox1 = pick(), oy1 = pick(), ox2 = pick(), oy2 = pick();
    x1 = ox1, y1 = oy1, x2 = ox2, y2 = oy2;
    if (!ClipLine(x1, y1, x2, y2, -5, -5, 14, 14)) {
      // Rejected: no point of the segment lies in the box (a one-unit slack for rounding).
      if (range == 40)
        for (int s = 0; s <= 400; ++s) {
          const double x = ox1 + (double(ox2) - ox1) * s / 400.0,
                       y = oy1 + (double(oy2) - oy1) * s / 400.0;
          ASSERT_FALSE(x > -4 && x < 13 && y > -4 && y < 13)
              << ox1 << "," << oy1 << " " << ox2 << "," << oy2;
        }
      continue;
    }
    for (auto [x, y] : {std::pair{x1, y1}, std::pair{x2, y2}}) {
      ASSERT_TRUE(x >= -5 && x <= 14 && y >= -6 && y <= 15) << x << "," << y;
      // Within one unit of the true line.
      const double dx = double(ox2) - ox1, dy = double(oy2) - oy1;
      const double cross = dx * (double(y) - oy1) - dy * (double(x) - ox1);
      const double length = std::hypot(dx, dy);
      ASSERT_LE(std::abs(cross) / std::max(length, 1.0), 1.5)
          << ox1 << "," << oy1 << " " << ox2 << "," << oy2;
    }
  }
}

TEST(PointerMap, BehavesAsAMapAndIteratesBucketsInOrder) {
  TPointerMap map;
  std::unordered_map<void*, void*> model;
  std::mt19937 rng(9);
  std::vector<char> arena(1 << 16);
  for (int step = 0; step < 20000; ++step) {
    void* item = arena.data() + (rng() % 4096) * 16;
    void* data = reinterpret_cast<void*>(static_cast<std::uintptr_t>(rng()));
    switch (rng() % 3) {
      case 0: {
        bool isNew = false;
        PData slot = map.Add(item, data, isNew);
        ASSERT_EQ(isNew, !model.count(item));
        if (isNew) model[item] = data;
        ASSERT_EQ(*slot, model[item]);
        break;
      }
      case 1: {
        const auto it = model.find(item);
        ASSERT_EQ(map.Remove(item), it == model.end() ? nullptr : it->second);
        if (it != model.end()) model.erase(it);
        break;
      }
      default:
        ASSERT_EQ(map.Contains(item), model.count(item) == 1);
    }
    ASSERT_EQ(map.Count(), static_cast<std::int32_t>(model.size()));
  }
  TPointerMapIterator it(map);
  std::unordered_map<void*, void*> seen;
  int lastBucket = -1;
  while (it.Next()) {
    ASSERT_TRUE(seen.emplace(it.Item(), it.Data()).second);
    ASSERT_GE(TPointerMap::BucketIndexOf(it.Item()), lastBucket);
    lastBucket = TPointerMap::BucketIndexOf(it.Item());
  }
  EXPECT_EQ(seen, model);
  EXPECT_THROW(map.GetData(arena.data() + 65535), EListError);
}

TEST(PointerMap, SameItemTwiceAndTheLastBucketAndGrowth) {
  TPointerMap map;
  void* const a = reinterpret_cast<void*>(0xFF00);
  EXPECT_EQ(map.Add(a), map.Add(a));
  EXPECT_EQ(map.Count(), 1);
  std::vector<int> capacities;
  for (std::uintptr_t i = 1; i < 100; ++i) {
    map.Add(reinterpret_cast<void*>(0xFF00 + (i << 16)));
    const int capacity = static_cast<int>(map.Bucket(255).Items.size());
    if (capacities.empty() || capacities.back() != capacity) capacities.push_back(capacity);
  }
  EXPECT_EQ(capacities, (std::vector<int>{4, 8, 12, 28, 44, 60, 76, 95, 118}));
  TPointerMapIterator it(map);
  int visited = 0;
  void* first = nullptr;
  while (it.Next()) first = visited++ == 0 ? it.Item() : first;
  EXPECT_EQ(visited, 100);
  EXPECT_EQ(first, reinterpret_cast<void*>(0xFF00 + (99 << 16)));  // last to first
  map.Clear();
  EXPECT_EQ(map.Count(), 0);
  EXPECT_FALSE(TPointerMapIterator(map).Next());
}

TEST(RectList, ListOperationsAndGrowth) {
  TRectList list;
  std::vector<int> capacities;
  for (int i = 0; i < 200; ++i) {
    list.Add({i, 0, i + 1, 1});
    if (capacities.empty() || capacities.back() != list.Capacity())
      capacities.push_back(list.Capacity());
  }
  EXPECT_EQ(capacities, (std::vector<int>{8, 16, 48, 80, 112, 144, 180, 225}));
  EXPECT_EQ(list.Remove({5, 0, 6, 1}), 5);
  EXPECT_EQ(list.Remove({5, 0, 6, 1}), -1);
  // The rectangles behind a deleted one move down by one, in order.
  EXPECT_EQ(list.Item(4), (TRect{4, 0, 5, 1}));
  EXPECT_EQ(list.Item(5), (TRect{6, 0, 7, 1}));
  EXPECT_EQ(list.Item(198), (TRect{199, 0, 200, 1}));
  EXPECT_EQ(list.Count(), 199);
  list.SetCount(3);
  list.SetCount(5);
  EXPECT_EQ(list.Item(4), TRect{});
  EXPECT_THROW(list.Item(5), EListError);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Capacity(), 10);
}

struct ClassRecord {
  std::wstring_view Name;
};

TEST(ClassList, FindsByExactName) {
  static const ClassRecord nearest{L"TNearestResampler"}, linear{L"TLinearResampler"};
  TClassList<const ClassRecord*> list;
  list.Add(&nearest);
  list.Add(&linear);
  EXPECT_EQ(list.Find(L"TLinearResampler"), &linear);
  EXPECT_EQ(list.Find(L"tlinearresampler"), nullptr);
  EXPECT_EQ(list.Extract(&nearest), &nearest);
  EXPECT_EQ(list.First(), &linear);
}

}  // namespace
}  // namespace gfx
