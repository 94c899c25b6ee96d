// A fresh application per test, with exceptions and message boxes captured instead of shown.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ui/win32/forms.h"

class UiGuiTest : public ::testing::Test {
 protected:
  UiGuiTest() {
    application_ = std::make_unique<ui::TApplication>();
    application_->SetTitle(L"Quollbox");
    application_->OnException = [this](std::exception_ptr error) {
      errors.push_back(ui::TApplication::ExceptionMessage(error));
    };
    previousPresenter_ = ui::SetMessageBoxPresenter([this](const ui::TMessageBoxRequest& request) {
      boxes.push_back(request);
      return boxAnswer;
    });
  }
  ~UiGuiTest() override {
    FreeApplication();
    ui::SetMessageBoxPresenter(std::move(previousPresenter_));
  }

  // Frees the application and every component it owns now. This destructor runs after the
  // derived fixture's members are gone: a fixture whose members the components still use while
  // they are destroyed (a log their windows write to, state their events capture) calls this
  // from its own destructor.
  void FreeApplication() { application_.reset(); }

  // Handles every queued message (the tests never wait for time to pass).
  static void Pump() { ui::Application->ProcessMessages(); }

  std::vector<std::wstring> errors;
  std::vector<ui::TMessageBoxRequest> boxes;
  int boxAnswer = IDOK;

 private:
  std::unique_ptr<ui::TApplication> application_;
  ui::TMessageBoxPresenter previousPresenter_;
};
