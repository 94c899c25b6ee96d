// After every failing operation the image stays consistent for an independent checker.
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

#include "interop_fixture.h"
#include "model_helpers.h"
#include "recorder.h"

namespace interop {
namespace {

const rtl::TDateTime kNow{2023, 11, 12, 13, 14, 16, 0};

void FillRoot(ImageRecorder& recorder, int count) {
  for (int i = 0; i < count; ++i) {
    recorder.Add("/R" + std::to_string(i) + ".DAT", PatternBytes(10 + i, 1000 + i));
  }
}

void FillDisk(ImageRecorder& recorder) {
  recorder.Image().ChangeDir("\\");
  recorder.Add("/FILL.BIN", PatternBytes(recorder.Image().DiskFree(), 77));
}

struct FailureCase {
  const char* label;
  std::function<void(ImageRecorder&)> prepare;
  // The failing operation; returns the code it gave.
  std::function<disk::DiskResult(disk::TMSXDisk&)> fail;
  disk::DiskResult expected;
};

void PrintTo(const FailureCase& c, std::ostream* out) {
  *out << c.label;
}

class FailureCaseTest : public InteropTest, public ::testing::WithParamInterface<FailureCase> {
 protected:
  FixedClock clock_{kNow};
  ScopedClock scopedClock_{clock_};
};

disk::DiskResult AddResult(disk::TMSXDisk& image, std::wstring_view name, std::size_t size) {
  if (AddBytes(image, name, PatternBytes(size, 5)) != nullptr) return disk::DiskResult::Ok;
  return image.FLastError;
}

TEST_P(FailureCaseTest, ImageStaysClean) {
  const FailureCase& c = GetParam();
  auto image = NewImage(true);
  ImageRecorder recorder(*image, MinuteStamp(kNow));
  c.prepare(recorder);
  const std::int32_t freeBefore = image->DiskFree();
  EXPECT_EQ(c.fail(*image), c.expected);
  EXPECT_EQ(image->FLastError, c.expected);
  EXPECT_EQ(image->DiskFree(), freeBefore);

  const auto path = scratch_ / "failed.dsk";
  SaveImage(*image, path);
  EXPECT_FSCK_CLEAN(path);
  EXPECT_EQ(TreeDifferences(ListWithMdir(path), recorder.Expected()), "");
  ExpectMcopyGivesContents(path, recorder, scratch_.Path());
}

INSTANTIATE_TEST_SUITE_P(
    Failures, FailureCaseTest,
    ::testing::Values(
        FailureCase{"RootFull", [](ImageRecorder& r) { FillRoot(r, 112); },
                    [](disk::TMSXDisk& image) { return AddResult(image, L"EXTRA.DAT", 10); },
                    disk::DiskResult::DirFull},
        FailureCase{"DiskFull", [](ImageRecorder& r) { r.Add("/KEEP.BIN", PatternBytes(5000, 3)); },
                    [](disk::TMSXDisk& image) {
                      const auto tooMuch = static_cast<std::size_t>(image.DiskFree()) + 1;
                      return AddResult(image, L"HUGE.BIN", tooMuch);
                    },
                    disk::DiskResult::DiskFull},
        FailureCase{"ReplaceThatDoesNotFit",
                    [](ImageRecorder& r) {
                      r.Add("/OLD.BIN", PatternBytes(2000, 4));
                      FillDisk(r);
                    },
                    [](disk::TMSXDisk& image) { return AddResult(image, L"OLD.BIN", 5000); },
                    disk::DiskResult::DiskFull},
        FailureCase{"SubDirOnFullDisk", FillDisk,
                    [](disk::TMSXDisk& image) { return image.CreateSubDir("NEWDIR"); },
                    disk::DiskResult::DiskFull},
        FailureCase{"SubDirInFullRoot", [](ImageRecorder& r) { FillRoot(r, 112); },
                    [](disk::TMSXDisk& image) { return image.CreateSubDir("NEWDIR"); },
                    disk::DiskResult::DirFull},
        FailureCase{"SubDirGrowthOnFullDisk",
                    [](ImageRecorder& r) {
                      // "." and ".." and 30 files fill the directory's one cluster.
                      r.MakeDir("/SUB");
                      for (int i = 0; i < 30; ++i) {
                        r.Add("/SUB/S" + std::to_string(i) + ".DAT", PatternBytes(20, 200 + i));
                      }
                      FillDisk(r);
                      r.Image().ChangeDir("\\SUB");
                    },
                    [](disk::TMSXDisk& image) { return AddResult(image, L"MORE.DAT", 0); },
                    disk::DiskResult::DirFull}),
    [](const auto& testInfo) { return std::string(testInfo.param.label); });

}  // namespace
}  // namespace interop
