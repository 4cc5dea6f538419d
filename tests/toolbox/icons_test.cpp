// The tool box's icons show their buttons' background through their
// transparent parts.
#include <gtest/gtest.h>

#include <X11/Intrinsic.h>
#include <Xm/Xm.h>

#include <string>

#include "iconcheck.h"
#include "modulehost.h"
#include "modulewindow.h"
#include "qev/commands.h"
#include "qev/slots.h"
#include "qevhost.h"
#include "runtime/wudevice.h"
#include "runtime/wuruntime.h"
#include "script.h"
#include "textwin/wutwin.h"
#include "toolbox/wutbox.h"

namespace {

using EcmdFn = wu_status (*)(wu_window *, int32_t);

TEST(ToolIcons, ShowTheButtonsBackground) {
  std::string why;
  ASSERT_TRUE(qevtest::startModule(QEV_MODULE_PATH, &why)) << why;
  // The built-in box of the display-manager window: tool i shows the
  // built-in icon -1 - i (-1 a document, -2 a folder).
  for (int i = 0; i < 14; ++i) {
    qevhost::setMessage(526, 742 + i, std::to_string(-1 - i));
    qevhost::setMessage(526, 700 + i, "CMD" + std::to_string(i));
  }
  wu_window *window = qevtest::openUserWindow(1);
  ASSERT_NE(window, nullptr);
  auto ecmd = reinterpret_cast<EcmdFn>(
      reinterpret_cast<void (*)(void)>(qevtest::windowSlot(WUX_SLOT_ECMD)));
  ASSERT_NE(ecmd, nullptr);
  const int32_t kToolBoxCommand = WU_CMD_TOOLLOAD;
  qevhost::setCommand("BAR");
  ecmd(window, kToolBoxCommand);
  EXPECT_TRUE(qevtest::settle());
  wu_merged_box *mb = wumgmbx();
  ASSERT_TRUE(mb != nullptr && mb->tools != nullptr && mb->tools->next != nullptr);
  const int32_t kDocument = 290, kFolder = 291;  // the host images of -1 and -2
  const std::pair<wu_tool *, int32_t> tools[] = {{mb->tools, kDocument},
                                                 {mb->tools->next, kFolder}};
  for (const auto &[tool, image] : tools) {
    Widget b = tool->button;
    ASSERT_NE(b, nullptr);
    Pixel bg = 0;
    XtVaGetValues(b, XmNbackground, &bg, nullptr);
    const qevtest::IconLook look =
        qevtest::findIcon(devb->display, XtWindow(b), image, WU_ICON_MEDIUM, bg);
    EXPECT_TRUE(look.found) << XtName(b);
    EXPECT_GT(look.transparent, 0) << XtName(b);
    EXPECT_EQ(look.wrong, 0) << XtName(b) << ": " << qevtest::describe(look);
  }
  wuxfwnd(window);
  qevtest::stopModule();
}

}  // namespace
