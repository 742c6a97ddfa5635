// A fixture for the optimisation pages run in-process: the product's resources for templates and
// texts, unit names and the native system of an application control, and button presses.
#pragma once
#include <memory>
#include <optional>

#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadResources.h"
#include "uis_fixture.h"

namespace uistest {

class OptPageTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    productResources_.emplace(1);
    appControl_ = std::make_unique<CadAppControl>();
  }
  void TearDown() override {
    appControl_.reset();
    productResources_.reset();
    FrameTest::TearDown();
  }
  static void Press(CWnd& window, int id) { window.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

 private:
  std::optional<ResourceSetter> productResources_;
  std::unique_ptr<CadAppControl> appControl_;
};

}  // namespace uistest
