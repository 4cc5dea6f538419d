// Test fixture of the module core: the stand-in host is started, the module
// loaded as a host loads it, and slots are called through the registered
// vector tables.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "qev/module.h"
#include "qev/slots.h"
#include "qev/status.h"
#include "qevhost.h"
#include "runtime/wuruntime.h"
#include "xserver.h"

namespace coretest {

// The slot of a registered table, cast to its function type.
template <typename Fn>
Fn slot(int32_t table, int32_t n) {
  int32_t count = 0;
  auto *t = static_cast<const qev_table *>(qevhost::table(table, &count));
  if (t == nullptr || n < 0 || n >= count) return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)(void)>(t->slots[n]));
}

using InitFn = wu_status (*)(void);
using QwevFn = wu_status (*)(void *, int32_t, const void *, int32_t);
using QcmdFn = wu_status (*)(void *, const char *, int32_t, int32_t, int32_t, int32_t);
using GqevFn = wu_status (*)(void *, int32_t *, void *, int32_t, int32_t *);
using FleqFn = wu_status (*)(int32_t, void *);

// Host started and module loaded; the module is not started.
class LoadedTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Start-up opens the X display: give this process a server of its own.
    ASSERT_NE(qevtest::privateDisplay(), nullptr);
    gcb_ = qevhost::start();
    ASSERT_NE(gcb_, nullptr);
    ASSERT_NE(qevhost::loadModule(QEV_MODULE_PATH), nullptr);
    basePools_ = qevhost::poolCount();
  }
  void TearDown() override {
    qevhost::failAllocation(0);
    qevhost::unloadModule();
    qevhost::stop();
  }
  wu_status init() { return slot<InitFn>(QEV_TABLE_WINDOW, WUX_SLOT_INIT)(); }
  wu_status term() { return slot<InitFn>(QEV_TABLE_WINDOW, WUX_SLOT_TERM)(); }

  qev_gcb *gcb_ = nullptr;
  size_t basePools_ = 0;
};

// Module started with wuxinit; wuxterm at the end.
class StartedTest : public LoadedTest {
 protected:
  void SetUp() override {
    LoadedTest::SetUp();
    ASSERT_EQ(init(), WU_OK);
    pool_ = wu_module_pool();
    ASSERT_NE(pool_, nullptr);
    base_ = qevhost::poolStats(pool_);
  }
  void TearDown() override {
    if (wu_module() != nullptr) {
      EXPECT_EQ(term(), WU_OK);
    }
    LoadedTest::TearDown();
  }
  // The module pool holds what it held after start-up, and no block was
  // freed with a wrong size.
  void expectPoolAtBase() {
    qevhost::PoolStats now = qevhost::poolStats(pool_);
    EXPECT_EQ(now.liveBlocks, base_.liveBlocks);
    EXPECT_EQ(now.liveBytes, base_.liveBytes);
    EXPECT_EQ(now.errors, 0);
  }

  qev_pool *pool_ = nullptr;
  qevhost::PoolStats base_;
};

}  // namespace coretest
