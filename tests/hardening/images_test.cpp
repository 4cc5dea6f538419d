// Images the host hands over damaged: every loader of host images (the
// desktop icon, a push button's icon, tree view node icons, a tool box
// button) and the widget set's XPM loader answer "not loaded" for each kind
// of damage, with the process alive, no X protocol error and the control
// shown without the picture; an image the X server refuses is not loaded
// either.  Each case runs in a child process of its own.
#include "hardening.h"

#include <X11/Xutil.h>

#include <cstring>

#include "iconcheck.h"
#include "modulewindow.h"
#include "xd/Tree.h"
#include "xerrors.h"
#include "controls/wucontrol.h"
#include "toolbox/wutbox.h"
#include "qev/commands.h"

namespace hardening {
namespace {

// The user's image the cases register, and its colour: pure red, which no
// built-in image has, so that red on the screen shows the image drawn.
const int32_t kImage = 1040;
const char kRed[] = "r c #FF0000";

std::string Row(int width, char c = 'r') { return std::string(size_t(width), c); }

// A whole, square, red image.
std::vector<std::string> Good(int size) {
  std::vector<std::string> l = {std::to_string(size) + " " + std::to_string(size) + " 2 1",
                                ". c None", kRed};
  for (int y = 0; y < size; ++y) l.push_back(Row(size));
  return l;
}

struct Damaged {
  const char *what;
  std::vector<std::string> lines;
};

std::vector<Damaged> DamagedImages() {
  std::vector<Damaged> d;
  // Fewer rows than the header promises.
  std::vector<std::string> rows = Good(48);
  rows.resize(rows.size() - 10);
  d.push_back({"more rows promised than held", rows});
  // More colours promised than lines given: the rows would be read as
  // colours.
  std::vector<std::string> colours = Good(48);
  colours[0] = "48 48 5 1";
  d.push_back({"more colours promised than held", colours});
  d.push_back({"40000 40000 with a short row", {"40000 40000 2 1", ". c None", kRed, "rr"}});
  d.push_back({"65536 65537 with a short row", {"65536 65537 2 1", ". c None", kRed, "rr"}});
  std::vector<std::string> short_row = Good(48);
  short_row[20] = Row(47);
  d.push_back({"a row one pixel short", short_row});
  std::vector<std::string> unknown = Good(48);
  unknown[30][5] = 'x';
  d.push_back({"a pixel of no colour", unknown});
  std::vector<std::string> no_value = Good(48);
  no_value[2] = "r c";
  d.push_back({"a colour key without a value", no_value});
  std::vector<std::string> words = Good(48);
  words[0] = "48 forty-eight 2 1";
  d.push_back({"a header that is no numbers", words});
  // Whole, but wider than the X server makes a pixmap: Motif's reader
  // answers success and the server refuses the pixmap.
  d.push_back({"65535 by 1, refused by the server", {"65535 1 2 1", ". c None", kRed, Row(65535)}});
  return d;
}

// Red pixels in a window as the server shows it.
int RedPixels(Window w) {
  Display *dpy = devb->display;
  XWindowAttributes a;
  if (!XGetWindowAttributes(dpy, w, &a) || a.map_state != IsViewable) return -1;
  XImage *img = XGetImage(dpy, w, 0, 0, unsigned(a.width), unsigned(a.height), AllPlanes, ZPixmap);
  if (!img) return -1;
  const unsigned long red = a.visual->red_mask;
  int n = 0;
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.width; ++x)
      if (XGetPixel(img, x, y) == red) ++n;
  XDestroyImage(img);
  return n;
}

wu_value IntValue(int16_t code, int32_t value) {
  wu_value v = {};
  v.code = code;
  v.type = WU_VT_INT;
  v.value = value;
  return v;
}

enum Loader { kDesktopIcon, kPushButton, kTreeNode, kToolBox };

// The image registered as `lines` given to the loader.  Shown: the loader
// drew the image (red on the screen); otherwise it answered "not loaded"
// and the control stands without it.
void Load(Loader loader, const std::vector<std::string> &lines, bool shown) {
  Started m;
  ASSERT_TRUE(m.Start());
  const int errors = qevtest::xErrorCount();
  qevhost::registerUserImage(kImage, lines);
  Window where = None;
  switch (loader) {
    case kDesktopIcon:
    case kPushButton: {
      wu_ctl_handle *h = nullptr;
      // A push button shows only its icon in style 1.
      std::vector<wu_value> e = {IntValue(WU_A_ICON, kImage), IntValue(WU_A_HPOS, 10),
                                 IntValue(WU_A_VPOS, 10), IntValue(WU_A_WIDTH, 60),
                                 IntValue(WU_A_HEIGHT, 60)};
      if (loader == kPushButton) e.push_back(IntValue(WU_A_STYLE, 1));
      const int32_t type = loader == kDesktopIcon ? WU_CTYPE_DESKICON : WU_CTYPE_PUSH;
      wu_status st = Slot<CreaFn>(QEV_TABLE_WINDOW, WUX_SLOT_CREA)(
          &h, m.pane, nullptr, type, e.data(), int32_t(e.size()), nullptr);
      ASSERT_NE(h, nullptr);
      if (shown) {
        EXPECT_EQ(st, WU_OK);
      } else {
        EXPECT_EQ(st, WU_ENTRY_STATUS);
        EXPECT_EQ(e[0].status, WU_E_RANGE);
      }
      m.Settle();
      Widget w = wuwgxtw(h->control);
      ASSERT_NE(w, nullptr);
      EXPECT_TRUE(XtIsManaged(w));
      where = XtWindow(w);
      break;
    }
    case kTreeNode: {
      wu_ctl_handle *h = nullptr;
      wu_value e[4] = {IntValue(WU_A_HPOS, 10), IntValue(WU_A_VPOS, 10),
                       IntValue(WU_A_WIDTH, 150), IntValue(WU_A_HEIGHT, 100)};
      ASSERT_EQ(Slot<CreaFn>(QEV_TABLE_WINDOW, WUX_SLOT_CREA)(&h, m.pane, nullptr,
                                                              WU_CTYPE_TREEVIEW, e, 4, nullptr),
                WU_OK);
      wu_node_record node = {};
      node.label = "node";
      node.label_length = 4;
      node.icon = node.focus_icon = kImage;
      wu_value add[3] = {};
      add[0].type = add[1].type = WU_VT_NODE;
      add[1].pointer = &node;
      add[2] = IntValue(3, 3);
      ASSERT_EQ(h->services->meth(h, WU_M_ADDNODES, add, 3), WU_OK);
      m.Settle();
      Widget area = XtNameToWidget(wu_ctl_outer(h->control), "*DrawingArea");
      ASSERT_NE(area, nullptr);
      where = XtWindow(area);
      break;
    }
    case kToolBox: {
      // The display-manager window's built-in box with one tool of the image.
      qevhost::setMessage(526, 742, std::to_string(kImage));
      qevhost::setMessage(526, 700, "CMD");
      for (int i = 1; i < 14; ++i) qevhost::setMessage(526, 742 + i, "-1");
      wu_window *window = qevtest::openUserWindow(1);
      ASSERT_NE(window, nullptr);
      using EcmdFn = wu_status (*)(wu_window *, int32_t);
      auto ecmd = reinterpret_cast<EcmdFn>(
          reinterpret_cast<void (*)(void)>(qevtest::windowSlot(WUX_SLOT_ECMD)));
      const int32_t kToolBoxCommand = WU_CMD_TOOLLOAD;
      qevhost::setCommand("BAR");
      ecmd(window, kToolBoxCommand);
      m.Settle();
      wu_merged_box *mb = wumgmbx();
      ASSERT_TRUE(mb != nullptr && mb->tools != nullptr && mb->tools->button != nullptr);
      where = XtWindow(mb->tools->button);
      break;
    }
  }
  m.Settle();
  const int red = RedPixels(where);
  ASSERT_GE(red, 0) << "the control is not shown";
  if (shown) {
    EXPECT_GT(red, 0) << "the image is not drawn";
  } else {
    EXPECT_EQ(red, 0) << "a damaged image is drawn";
  }
  EXPECT_EQ(qevtest::xErrorCount(), errors);
  m.Stop();
}

void EveryDamagedImage(Loader loader) {
  // The loader and the check: a whole image is drawn.
  {
    SCOPED_TRACE("a whole image");
    InChild([loader] { Load(loader, Good(48), true); }, 120);
  }
  for (const Damaged &d : DamagedImages()) {
    SCOPED_TRACE(d.what);
    InChild([loader, &d] { Load(loader, d.lines, false); }, 120);
  }
}

TEST(DamagedImages, DesktopIconAnswersNotLoaded) { EveryDamagedImage(kDesktopIcon); }
TEST(DamagedImages, PushButtonIconAnswersNotLoaded) { EveryDamagedImage(kPushButton); }
TEST(DamagedImages, TreeNodeIconAnswersNotLoaded) { EveryDamagedImage(kTreeNode); }
TEST(DamagedImages, ToolBoxButtonAnswersNotLoaded) { EveryDamagedImage(kToolBox); }

// The widget set's loader, as any Motif program calls it: each damaged
// image is not loaded; the limits of a picture at their value load and one
// past them do not.
char **Data(std::vector<std::string> &lines, std::vector<char *> &ptrs) {
  ptrs.clear();
  for (std::string &l : lines) ptrs.push_back(&l[0]);
  ptrs.push_back(nullptr);
  return ptrs.data();
}

void WidgetSetLoads(std::vector<std::string> lines, bool loads, unsigned width = 0,
                    unsigned height = 0) {
  Started m;
  ASSERT_TRUE(m.Start());
  const int errors = qevtest::xErrorCount();
  std::vector<char *> ptrs;
  Pixmap pixmap = None, mask = None;
  const int rc = _XdLoadPixmap(devb->display, Data(lines, ptrs), devb->background, &pixmap, &mask);
  if (loads) {
    ASSERT_EQ(rc, 1);
    ASSERT_NE(pixmap, None);
    Window root;
    int x, y;
    unsigned w = 0, h = 0, border, depth;
    ASSERT_TRUE(XGetGeometry(devb->display, pixmap, &root, &x, &y, &w, &h, &border, &depth));
    EXPECT_EQ(w, width);
    EXPECT_EQ(h, height);
    XFreePixmap(devb->display, pixmap);
    if (mask) XFreePixmap(devb->display, mask);
  } else {
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(pixmap, None);
    EXPECT_EQ(mask, None);
  }
  XSync(devb->display, False);
  EXPECT_EQ(qevtest::xErrorCount(), errors);
  m.Stop();
}

TEST(DamagedImages, WidgetSetLoaderAnswersNotLoaded) {
  for (const Damaged &d : DamagedImages()) {
    SCOPED_TRACE(d.what);
    InChild([&d] { WidgetSetLoads(d.lines, false); }, 120);
  }
}

std::vector<std::string> Picture(unsigned width, unsigned height, int cpp = 1) {
  std::vector<std::string> l = {std::to_string(width) + " " + std::to_string(height) + " 2 " +
                                std::to_string(cpp)};
  l.push_back(std::string(size_t(cpp), '.') + " c None");
  l.push_back(std::string(size_t(cpp), 'r') + " c #FF0000");
  for (unsigned y = 0; y < height; ++y) l.push_back(std::string(size_t(width) * size_t(cpp), 'r'));
  return l;
}

TEST(DamagedImages, WidgetSetLoaderTakesPicturesUpToItsLimits) {
  // 4,194,304 pixels at most.
  InChild([] { WidgetSetLoads(Picture(2048, 2048), true, 2048, 2048); }, 120);
  InChild([] { WidgetSetLoads(Picture(2048, 2049), false); }, 120);
  // Eight characters a pixel at most.
  InChild([] { WidgetSetLoads(Picture(4, 4, 8), true, 4, 4); }, 120);
  InChild([] { WidgetSetLoads(Picture(4, 4, 9), false); }, 120);
  // A hot spot and the extensions' mark are read; the extensions are not.
  InChild([] {
    std::vector<std::string> l = Picture(4, 4);
    l[0] = "4 4 2 1 1 2 XPMEXT";
    l.push_back("XPMEXT ext data");
    l.push_back("XPMENDEXT");
    WidgetSetLoads(l, true, 4, 4);
  }, 120);
  // A colour's value may be more than one word.
  InChild([] {
    std::vector<std::string> l = Picture(4, 4);
    l[2] = "r c light blue s Symbol";
    WidgetSetLoads(l, true, 4, 4);
  }, 120);
}

}  // namespace
}  // namespace hardening
