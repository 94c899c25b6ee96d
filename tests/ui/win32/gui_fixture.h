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
    application_.reset();
    ui::SetMessageBoxPresenter(std::move(previousPresenter_));
  }

  // Handles every queued message (the tests never wait for time to pass).
  static void Pump() { ui::Application->ProcessMessages(); }

  std::vector<std::wstring> errors;
  std::vector<ui::TMessageBoxRequest> boxes;
  int boxAnswer = IDOK;

 private:
  std::unique_ptr<ui::TApplication> application_;
  ui::TMessageBoxPresenter previousPresenter_;
};
