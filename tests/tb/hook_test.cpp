#include "tb/hook.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

std::vector<std::string> journal;
std::uintptr_t nextHandle = 100;

std::uintptr_t FakeInstall(int kind) {
  journal.push_back("install " + std::to_string(kind));
  return nextHandle++;
}
void FakeUninstall(std::uintptr_t handle) {
  journal.push_back("uninstall " + std::to_string(handle));
}
const tb::THookPlatform kFake{FakeInstall, FakeUninstall};

void ProcA(tb::THookProcCode code, std::uintptr_t wnd, std::uintptr_t, std::intptr_t) {
  journal.push_back("A " + std::to_string(static_cast<int>(code)) + " " + std::to_string(wnd));
}
void ProcThrows(tb::THookProcCode, std::uintptr_t, std::uintptr_t, std::intptr_t) {
  journal.push_back("throws");
  throw std::runtime_error("hook failed");
}
int selfUser;
void ProcLeaves(tb::THookProcCode, std::uintptr_t, std::uintptr_t, std::intptr_t) {
  journal.push_back("leaves");
  tb::UnregisterHookProc(&selfUser, ProcLeaves);
  tb::UnregisterHookProc(&selfUser, ProcA);  // a later one goes too
}

class TbHooks : public ::testing::Test {
 protected:
  TbHooks() {
    journal.clear();
    nextHandle = 100;
    tb::SetHookPlatform(&kFake);
  }
  ~TbHooks() override {
    tb::ReleaseThreadHooks();
    tb::SetHookPlatform(nullptr);
  }
};

constexpr auto kActivate = tb::HookCode(tb::THookProcCode::hpSendActivate);
constexpr auto kDestroy = tb::HookCode(tb::THookProcCode::hpPreDestroy);
constexpr auto kGetMessage = tb::HookCode(tb::THookProcCode::hpGetMessage);

TEST_F(TbHooks, CountsDecideWhenEachKindIsInstalled) {
  int user1 = 0, user2 = 0;
  tb::RegisterHookProc(&user1, ProcA, kActivate | kDestroy);
  tb::RegisterHookProc(&user1, ProcA, kActivate | kDestroy);  // the same pair: nothing new
  tb::RegisterHookProc(&user2, ProcA, kActivate | kDestroy);  // a second user shares the entry
  EXPECT_EQ(journal, (std::vector<std::string>{"install 0", "install 1"}));
  tb::THookState state = tb::CurrentHookState();
  EXPECT_EQ(state.procedures, 1);
  EXPECT_EQ(state.counts[0], 2);
  EXPECT_EQ(state.counts[2], 0);

  journal.clear();
  tb::UnregisterHookProc(&user1, ProcA);
  EXPECT_TRUE(journal.empty());  // user2 still needs both
  tb::DispatchHookCode(tb::THookProcCode::hpSendActivate, 7, 0, 0);
  EXPECT_EQ(journal, (std::vector<std::string>{"A 0 7"}));
  journal.clear();
  tb::UnregisterHookProc(&user2, ProcA);
  EXPECT_EQ(journal, (std::vector<std::string>{"uninstall 100", "uninstall 101"}));
  EXPECT_FALSE(tb::CurrentHookState().exists);  // the record went with the last hook
  EXPECT_EQ(tb::CurrentHookState().procedures, 0);

  // Only the kind a code needs. A known procedure registered again gets the hook its new codes
  // need but is still called for its first codes only.
  journal.clear();
  tb::RegisterHookProc(&user1, ProcA, kDestroy);
  tb::RegisterHookProc(&user2, ProcA, kGetMessage);
  EXPECT_EQ(journal, (std::vector<std::string>{"install 1", "install 2"}));
  journal.clear();
  tb::DispatchHookCode(tb::THookProcCode::hpGetMessage, 0, 1, 2);
  tb::DispatchHookCode(tb::THookProcCode::hpPreDestroy, 5, 0, 0);
  EXPECT_EQ(journal, (std::vector<std::string>{"A 3 5"}));
  // Forced release: hooks and records go whatever the counts.
  journal.clear();
  tb::ReleaseThreadHooks();
  EXPECT_EQ(journal, (std::vector<std::string>{"uninstall 102", "uninstall 103"}));
  EXPECT_FALSE(tb::CurrentHookState().exists);
  EXPECT_EQ(tb::CurrentHookState().procedures, 0);
}

TEST_F(TbHooks, TheWalkSurvivesThrowingAndLeavingProcedures) {
  int user = 0;
  tb::RegisterHookProc(&user, ProcThrows, kActivate);
  tb::RegisterHookProc(&selfUser, ProcLeaves, kActivate);
  tb::RegisterHookProc(&selfUser, ProcA, kActivate);
  journal.clear();
  tb::DispatchHookCode(tb::THookProcCode::hpSendActivate, 3, 0, 0);
  // ProcA was unregistered during the walk: it is not called afterwards.
  EXPECT_EQ(journal, (std::vector<std::string>{"throws", "leaves"}));
  EXPECT_EQ(tb::CurrentHookState().procedures, 1);
  EXPECT_NE(tb::HookHandle(0), 0u);  // ProcThrows still needs the hook
}

// Twenty procedures for one code: more than the walk keeps in its fixed snapshot.
template <int N>
void Numbered(tb::THookProcCode, std::uintptr_t, std::uintptr_t, std::intptr_t) {
  journal.push_back(std::to_string(N));
}
template <int... N>
void RegisterNumbered(void* user, std::integer_sequence<int, N...>) {
  (tb::RegisterHookProc(user, Numbered<N>, kActivate), ...);
}

TEST_F(TbHooks, EveryOneOfManyProceduresIsCalledInOrder) {
  int user = 0;
  RegisterNumbered(&user, std::make_integer_sequence<int, 20>{});
  tb::RegisterHookProc(&user, ProcA, kDestroy);  // another code: not called
  journal.clear();
  tb::DispatchHookCode(tb::THookProcCode::hpSendActivate, 1, 0, 0);
  std::vector<std::string> expected;
  for (int n = 0; n < 20; ++n) expected.push_back(std::to_string(n));
  EXPECT_EQ(journal, expected);
}

}  // namespace
