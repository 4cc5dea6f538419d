// Test support: cases run twice, under mwm and without a window manager,
// each with the module started on the private X server.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "modulehost.h"
#include "xserver.h"

namespace qevtest {

enum class Manager { kNone, kMwm };

// The fixture: the module started (with mwm running when the case's
// parameter asks for it) before the case, stopped after it.
class UnderManager : public ::testing::TestWithParam<Manager> {
 protected:
  void SetUp() override {
    std::string why;
    ASSERT_TRUE(startModule(QEV_MODULE_PATH, &why)) << why;
    if (GetParam() == Manager::kMwm) {
      ASSERT_TRUE(startModuleWindowManager());
    }
  }
  void TearDown() override {
    stopModule();
    if (GetParam() == Manager::kMwm) stopWindowManager();
  }
  bool Mwm() const { return GetParam() == Manager::kMwm; }
};

// The case names' suffix: "mwm" or "none".
inline std::string managerName(const ::testing::TestParamInfo<Manager> &info) {
  return info.param == Manager::kMwm ? "mwm" : "none";
}

}  // namespace qevtest

// Instantiates a suite of UnderManager cases for both.
#define QEV_UNDER_BOTH_MANAGERS(suite)                                                              \
  INSTANTIATE_TEST_SUITE_P(Managers, suite,                                                        \
                           ::testing::Values(qevtest::Manager::kNone, qevtest::Manager::kMwm),     \
                           qevtest::managerName)
