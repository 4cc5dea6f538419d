// The built-in tool box as the catalog stores it: loaded for a
// display-manager window when the user has no tool box of its own, it is
// written to the default location with its screen position kept (the
// header's save-position byte set), when it is loaded and again when its
// window goes.
#include <gtest/gtest.h>

#include <X11/Intrinsic.h>

#include <string>

#include "toolbox/wutbox.h"
#include "hostnames.h"
#include "managers.h"
#include "modulewindow.h"
#include "qev/commands.h"
#include "qev/kernel.h"
#include "qev/module.h"
#include "qev/records.h"
#include "qev/slots.h"
#include "qevhost.h"
#include "runtime/wudevice.h"
#include "runtime/wuruntime.h"
#include "textwin/wutwin.h"
#include "xinput.h"

namespace {

using EcmdFn = wu_status (*)(wu_window *, int32_t);
const int32_t kToolLoad = WU_CMD_TOOLLOAD;
const int kWaitMs = 5000;

class BuiltInBox : public qevtest::UnderManager {
 protected:
  void SetUp() override {
    UnderManager::SetUp();
    if (HasFatalFailure()) return;
    const std::pair<int, const char *> texts[] = {
        {3, "QEV"}, {151, "QEVUSER"}, {152, "TOOLS"}, {153, "DEMO"}, {155, "NOSAVE"}};
    for (auto &t : texts) qevhost::setMessage(526, t.first, t.second);
    for (int i = 0; i < WU_DEFAULT_TOOLS; ++i) {
      qevhost::setMessage(526, 742 + i, std::to_string(-1 - i));
      qevhost::setMessage(526, 700 + i, "DMSG 'built-in " + std::to_string(i) + "'");
    }
    qevhost::defineLibrary("QEVUSER");
  }
  // The header stored at the default location, read through the host's
  // catalog service; false when there is none.
  bool Stored(wu_toolbox_header *h) {
    char l[8], c[34], e[34];
    qevtest::setLibref(l, qevhost::kProfileLibref);
    qevtest::setName34(c, qevhost::kProfileCatalog);
    qevtest::setName34(e, "DEMO");
    const qev_kernel *k = qevhost::gcb()->kernel;
    qev_lib *lib = nullptr;
    qev_member *m = nullptr;
    if (k->yucrhdr(l, c, e, &lib, &m, h) != WU_OK) return false;
    k->ylmclos(m, 0);
    qev_lib *profile = nullptr;
    if (lib && !(k->ylprofl(&profile) == WU_OK && profile == lib)) k->ylclose(lib);
    return true;
  }
};

TEST_P(BuiltInBox, IsSavedWithItsPositionKept) {
  wu_window *w = qevtest::openUserWindow(1);
  ASSERT_NE(w, nullptr);
  auto *t = static_cast<const qev_table *>(qevhost::table(QEV_TABLE_WINDOW, nullptr));
  auto ecmd = reinterpret_cast<EcmdFn>(reinterpret_cast<void (*)(void)>(t->slots[WUX_SLOT_ECMD]));
  wu_toolbox_header h = {};
  ASSERT_FALSE(Stored(&h)) << "the user has no tool box yet";
  qevhost::setCommand("");
  EXPECT_EQ(ecmd(w, kToolLoad), WU_OK);
  ASSERT_NE(wumgmbx(), nullptr);
  ASSERT_TRUE(Stored(&h)) << "the built-in box is written where the user's would be";
  EXPECT_EQ(h.tool_count, WU_DEFAULT_TOOLS);
  EXPECT_EQ(h.save_position, 1) << "loaded";
  EXPECT_EQ(h.load_default, 1);
  // The box is on the screen; its window goes and the box is written
  // again.
  Widget shell = wumgmbx()->shell;
  ASSERT_TRUE(qevtest::turnUntil([&] { return qevtest::viewable(shell); }, kWaitMs));
  EXPECT_EQ(wuxfwnd(w), WU_OK);
  h = {};
  ASSERT_TRUE(Stored(&h));
  EXPECT_EQ(h.save_position, 1) << "saved when its window went";
  EXPECT_EQ(h.tool_count, WU_DEFAULT_TOOLS);
}

QEV_UNDER_BOTH_MANAGERS(BuiltInBox);

}  // namespace
