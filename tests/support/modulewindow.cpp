#include "modulewindow.h"

#include <gtest/gtest.h>

#include "qev/flags.h"
#include "runtime/wuruntime.h"
#include "textwin/wutwin.h"

namespace qevtest {

namespace {
const int32_t kPaneRows = 5;
}

wu_window *openUserWindow(int32_t kind) {
  wu_window *w = nullptr;
  EXPECT_EQ(wuxgwnd(&w, kind, 0), WU_OK);
  if (!w) return nullptr;
  wu_pane *p = nullptr;
  EXPECT_EQ(wuxgpan(w, &p, 1, 1, kPaneRows, WU_FULL_WIDTH, 0), WU_OK);
  w->module_flags |= WU_WMOD_LISTED;
  EXPECT_EQ(wuxiwnd(w), WU_OK);
  wu_module()->current = w;
  return w;
}

}  // namespace qevtest
