// Base fixture of the interop tests: the tools must be present, the environment is set for them,
// and every test gets a fresh scratch folder.
#pragma once

#include <gtest/gtest.h>

#include "oracle.h"

namespace interop {

class InteropTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(MissingTools(), "");
    PrepareToolEnvironment();
  }

  ScratchDir scratch_;
};

// Asserts that fsck.fat finds nothing wrong with the image but the expected boot-label lines.
#define EXPECT_FSCK_CLEAN(image)                                            \
  do {                                                                      \
    const ::interop::FsckVerdict verdict = ::interop::CheckWithFsck(image); \
    EXPECT_TRUE(verdict.Clean()) << verdict.output;                         \
  } while (false)

}  // namespace interop
