// The processor feature test over fake identification tables, the binding of every call cell
// for each processor kind, the performance timer's arithmetic and the visual-styles state.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "gfx/bitmap32.h"
#include "gfx/blend.h"
#include "gfx/filters.h"
#include "gfx/lowlevel.h"
#include "gfx/micro_tiles.h"
#include "gfx/startup.h"
#include "gfx/system.h"
#include "gfx/themes.h"

namespace gfx {
namespace {

struct FakeCpu : TCpuIdReader {
  bool available = true;
  std::map<std::uint32_t, TCpuIdResult> leaves;
  bool Available() const override { return available; }
  TCpuIdResult Leaf(std::uint32_t leaf) const override {
    const auto it = leaves.find(leaf);
    return it == leaves.end() ? TCpuIdResult{} : it->second;
  }
};

// Leaf 1 with the family and feature word; the extended leaves when maxExtended is given.
FakeCpu Cpu(std::uint32_t family, std::uint32_t features, std::uint32_t maxExtended = 0,
            std::uint32_t extFeatures = 0) {
  FakeCpu cpu;
  cpu.leaves[0] = {1, 0, 0, 0};
  cpu.leaves[1] = {family << 8, 0, 0, features};
  if (maxExtended != 0) {
    cpu.leaves[0x80000000] = {maxExtended, 0, 0, 0};
    cpu.leaves[0x80000001] = {0, 0, 0, extFeatures};
  }
  return cpu;
}

TEST(CpuFeatures, FeatureTestFollowsTheLeaves) {
  const std::uint32_t mmx = 0x00800000, sse = 0x02000000, sse2 = 0x04000000;
  struct Case {
    const char* name;
    FakeCpu cpu;
    TCpuFeatures expected;
  };
  FakeCpu none = Cpu(6, mmx | sse | sse2);
  none.available = false;
  const Case cases[] = {
      {"no identification", none, {}},
      {"family 4 with MMX", Cpu(4, mmx, 0x80000001, 0xC0400000), {}},
      {"SSE without extended leaf", Cpu(6, mmx | sse), {true, true, true, false, false, false}},
      {"AMD extended MMX without SSE",
       Cpu(5, mmx, 0x80000001, 0x00400000),
       {true, true, false, false, false, false}},
      {"3DNow! from the extended leaf",
       Cpu(6, mmx, 0x80000008, 0xC0000000),
       {true, false, false, false, true, true}},
      {"3DNow! bits in leaf 1 do not count",
       Cpu(6, mmx | 0xC0000000),
       {true, false, false, false, false, false}},
      {"extended leaf missing",
       Cpu(6, mmx, 0x80000000, 0xC0400000),
       {true, false, false, false, false, false}},
      {"SSE2 processor", Cpu(15, mmx | sse | sse2), {true, true, true, true, false, false}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DetectCpuFeatures(c.cpu), c.expected) << c.name;
    EXPECT_EQ(HasMMX(c.cpu), c.expected.mmx) << c.name;
    EXPECT_EQ(HasEMMX(c.cpu), c.expected.emmx) << c.name;
    EXPECT_EQ(Has3DNow(c.cpu), c.expected.amd3dnow) << c.name;
  }
}

void BindAll(const TCpuFeatures& f) {
  BindLowLevelCells(f);
  BindBlendCells(f);
  BindFilterCells(f);
  BindMicroTileCells(f);
}

TEST(CallCells, EachProcessorKindBindsItsForms) {
  const TCpuFeatures kinds[] = {{},
                                {true, false, false, false, false, false},  // MMX
                                {true, false, false, false, true, false},   // MMX, 3DNow!
                                {true, true, true, false, false, false},    // extended MMX
                                {true, true, true, true, false, false}};    // SSE2
  for (const TCpuFeatures& k : kinds) {
    BindAll(k);
    // Which form a rule picks: plain, scalar MMX, SSE2.
    const auto pick = [&](bool rule, auto p, auto m, auto w) { return !rule ? p : k.sse2 ? w : m; };
    EXPECT_EQ(MMXActive, k.mmx);
    EXPECT_EQ(CombinePixel,
              pick(k.mmx, plain::CombinePixel, mmx::CombinePixel, sse2::CombinePixel));
    EXPECT_EQ(BlendSpan, pick(k.mmx, plain::BlendSpan, mmx::BlendSpan, sse2::BlendSpan));
    EXPECT_EQ(BlendSpanAlpha,
              pick(k.mmx, plain::BlendSpanAlpha, mmx::BlendSpanAlpha, sse2::BlendSpanAlpha));
    EXPECT_EQ(ColorScale, pick(k.mmx, plain::ColorScale, mmx::ColorScale, sse2::ColorScale));
    EXPECT_EQ(ColorAverage,
              pick(k.emmx, plain::ColorAverage, mmx::ColorAverage, sse2::ColorAverage));
    EXPECT_EQ(FillLongword,
              pick(k.mmx, plain::FillLongword, mmx::FillLongword, sse2::FillLongword));
    EXPECT_EQ(XorLine,
              pick(k.mmx, plain::XorLine, mmx::XorLine, k.emmx ? sse2_ex::XorLine : sse2::XorLine));
    EXPECT_EQ(BlendPixelByMode[cmBlend], BlendPixel);
    EXPECT_EQ(BlendSpanAlphaByMode[cmBlend], BlendSpanAlpha);
    EXPECT_EQ(BlendSpanByMode[cmMerge], MergeSpan);
  }
  BindAll({});
}

TEST(Startup, RunsOnceAndShutsDownInReverse) {
  ASSERT_FALSE(Initialized());
  Initialize({true, true, true, true, false, false});
  Initialize();  // a second start-up does nothing
  EXPECT_TRUE(Initialized());
  EXPECT_EQ(BlendSpan, sse2::BlendSpan);
  EXPECT_NE(AlphaTable, nullptr);
  EXPECT_GE(ProcessorCount, 1);
  EXPECT_EQ(ProductTable[255][255], 255);
  ASSERT_NE(GlobalPerfTimer(), nullptr);
  // The bitmap unit's gamma and the micro-tiles' extended-MMX forms.
  EXPECT_EQ(GammaTable[1], 5);
  EXPECT_EQ(MicroTileUnion, emmx::MicroTileUnion);
  Finalize();
  EXPECT_FALSE(Initialized());
  EXPECT_EQ(AlphaTable, nullptr);
  EXPECT_EQ(GlobalPerfTimer(), nullptr);
  BindAll({});
}

struct FakeCounter : TPerfCounter {
  std::int64_t frequency = 0, now = 0;
  std::int64_t Frequency() const override { return frequency; }
  std::int64_t Counter() const override { return now; }
};

TEST(PerfTimer, MicrosecondsRoundedTiesToEven) {
  struct Case {
    std::int64_t frequency, ticks, micros;
    const wchar_t* millis;
  };
  const Case cases[] = {
      {3579545, 3579545, 1000000, L"1000"},
      {2, 5, 2500000, L"2500"},
      {3000000, 1, 0, L"0"},                                                // 0.333...
      {2000000, 1, 0, L"0"},                                                // 0.5 ties to 0
      {2000000, 3, 2, L"0.002"},                                            // 1.5 ties to 2
      {10000000, 10000000LL * 86400 * 30, 2592000000000LL, L"2592000000"},  // 30 days
  };
  for (const Case& c : cases) {
    FakeCounter counter;
    counter.frequency = c.frequency;
    counter.now = 1000;
    TPerfTimer timer(counter);
    timer.Start();
    counter.now += c.ticks;
    EXPECT_EQ(timer.ReadValue(), c.micros) << c.ticks;
    EXPECT_EQ(timer.ReadNanoseconds(), std::to_wstring(c.micros));
    EXPECT_EQ(timer.ReadMilliseconds(), c.millis);
  }
}

struct FakeThemeHost : TThemeHost {
  std::vector<std::string> missing;  // entry points the library lacks
  bool loads = true, appThemed = true, active = true;
  std::vector<std::string> log;
  std::uintptr_t nextTheme = 100;
  std::uintptr_t LoadModule(const wchar_t*) override {
    log.push_back("load");
    return loads ? 7 : 0;
  }
  void* BindEntry(std::uintptr_t, const char* name) override {
    for (const auto& m : missing)
      if (m == name) return nullptr;
    return reinterpret_cast<void*>(0x1000);
  }
  void UnloadModule(std::uintptr_t) override { log.push_back("free"); }
  bool ModuleIsLibrary() const override { return false; }
  int IsAppThemed(void*) override { return appThemed; }
  int IsThemeActive(void*) override { return active; }
  std::uintptr_t OpenThemeData(void*, std::uintptr_t, const wchar_t* classList) override {
    log.push_back("open " + std::string(classList, classList + wcslen(classList)));
    return nextTheme++;
  }
  void CloseThemeData(void*, std::uintptr_t theme) override {
    log.push_back("close " + std::to_string(theme));
  }
};

TEST(VisualStyles, OpensBothThemesAndFollowsThemeChanges) {
  FakeThemeHost host;
  TVisualStyles styles(host);
  styles.OpenVisualStyles(1);
  EXPECT_TRUE(styles.ThemesEnabled());
  EXPECT_EQ(styles.ScrollBarTheme(), 100u);
  EXPECT_EQ(styles.GlobalsTheme(), 101u);
  EXPECT_EQ(host.log, (std::vector<std::string>{"load", "open SCROLLBAR", "open GLOBALS"}));
  // Themes switched off: the old handles are closed and forgotten, and stay 0.
  host.log.clear();
  host.active = false;
  styles.ThemeChanged(1);
  EXPECT_FALSE(styles.ThemesEnabled());
  EXPECT_EQ(styles.ScrollBarTheme(), 0u);
  EXPECT_EQ(styles.GlobalsTheme(), 0u);
  EXPECT_EQ(host.log, (std::vector<std::string>{"close 100", "close 101", "free", "load"}));
  styles.CloseVisualStyles();
  EXPECT_EQ(styles.Library(), 0u);
  EXPECT_EQ(styles.Entry(teDrawThemeBackground), nullptr);
}

TEST(VisualStyles, MissingLibraryOrRequiredEntryPointLeavesThemesOff) {
  for (const char* missing : {"", "OpenThemeData", "CloseThemeData", "IsThemeActive", "IsAppThemed",
                              "EnableTheming", "DrawThemeEdge"}) {
    FakeThemeHost host;
    host.loads = *missing != '\0';
    host.missing = {missing};
    TVisualStyles styles(host);
    styles.OpenVisualStyles(1);
    const bool optional = std::string(missing) == "DrawThemeEdge";
    EXPECT_EQ(styles.ThemesEnabled(), optional) << missing;
    EXPECT_EQ(styles.ScrollBarTheme() != 0, optional);
  }
}

}  // namespace
}  // namespace gfx
