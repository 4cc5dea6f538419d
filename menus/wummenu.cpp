// Menu widgets: the menu bar or button box of a window built from its menu
// set, lazily built submenus, the command and fixed callbacks of items, item
// icons and check marks, gray and check states applied to existing items,
// window popup menus and the choice popup.
#include <X11/Intrinsic.h>
#include <Xm/CascadeB.h>
#include <Xm/CascadeBG.h>
#include <Xm/BulletinB.h>
#include <Xm/Label.h>
#include <Xm/LabelG.h>
#include <Xm/MainW.h>
#include <Xm/MwmUtil.h>
#include <Xm/Text.h>
#include <Xm/ToggleBG.h>
#include <Xm/MenuShell.h>
#include <Xm/PushB.h>
#include <Xm/RowColumn.h>
#include <Xm/Separator.h>
#include <Xm/SeparatoG.h>
#include <Xm/ToggleB.h>
#include <Xm/Xm.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <algorithm>
#include <string>
#include <vector>

#include "frames/wuframes.h"
#include "frames/wutframe.h"
#include "menus/wumenus.h"
#include "qev/flags.h"
#include "runtime/wuhost.h"
#include "runtime/wureg.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"
#include "textwin/QEVSbar.h"
#include "textwin/wutwin.h"

// Callbacks of command ids that later layers provide (null until linked).
extern "C" {
void wuwnkfd(Widget, XtPointer, XtPointer) __attribute__((weak));
void wuwpkfd(Widget, XtPointer, XtPointer) __attribute__((weak));
void wuwexit(Widget, XtPointer, XtPointer) __attribute__((weak));
void wuwprst(Widget, XtPointer, XtPointer) __attribute__((weak));
void wuwikfd(Widget, XtPointer, XtPointer) __attribute__((weak));
void wuwprnt(Widget, XtPointer, XtPointer) __attribute__((weak));
void wuwhprt(Widget, XtPointer, XtPointer) __attribute__((weak));
void wuwsprf(Widget, XtPointer, XtPointer) __attribute__((weak));
void wuwpscr(Widget, XtPointer, XtPointer) __attribute__((weak));
void wuwekfd(Widget, XtPointer, XtPointer) __attribute__((weak));
void wuwoabt(Widget, XtPointer, XtPointer) __attribute__((weak));
void wuwakfd(Widget, XtPointer, XtPointer) __attribute__((weak));
wu_status wutcwdw(wu_window *window) __attribute__((weak));
wu_status wumfdlg(wu_window *window, int32_t code) __attribute__((weak));
void wuwodlc(Widget w, XtPointer client, XtPointer call);
void wuwpcmc(Widget w, XtPointer client, XtPointer call);
void wuwocdc(Widget w, XtPointer client, XtPointer call);
void wuwfind(Widget w, XtPointer client, XtPointer call);
void wuwchng(Widget w, XtPointer client, XtPointer call);
void wuwhpmu(Widget w, XtPointer client, XtPointer call);
void wuwpdmc(Widget w, XtPointer client, XtPointer call);
void PulldownPopdown(Widget w, XtPointer client, XtPointer call);
void wuwmdrw(Widget w, XtPointer client, XEvent *event, Boolean *go_on);
void wuwtdrw(Widget w, XtPointer client, XEvent *event, Boolean *go_on);
}

namespace {

// Command ids with their own treatment.
enum {
  kCmdSave = 5, kCmdOpen = 6, kCmdExit = 10, kCmdPrintSetup = 22, kCmdImport = 23,
  kCmdPrint = 29, kCmdPrintFile = 33, kCmdPrintScreen = 35, kCmdCommandWindow = 40,
  kCmdFind = 41, kCmdChange = 46, kCmdExport = 53, kCmdViewAdditions = 66,
  kCmdSolutions = 72, kCmdAbout = 102, kCmdOpenFilter = 139, kCmdNever = 197
};
// Event queued when the command-window item is chosen, and when a window
// popup pops down.
const int32_t kEvCommandWindow = 103;
const int32_t kEvPopdown = 110;
// Messages: labels of the print items, the print-preview item and its
// mnemonic; the amended items' commands.
const int32_t kMsgSet = 526;
const int32_t kMsgPrintSetup = 352, kMsgPrint = 351, kMsgPreview = 432, kMsgPreviewMnemonic = 433;
const int32_t kPreviewClient = 434;
// The name prefix of host tasks whose windows get no print preview item.
const int32_t kNoPreviewSet = 682, kNoPreviewNumber = 54;
// View additions: item i runs message (526, kViewFirstClient + i); the item
// labelled "ToolBox" shows the default tool box's state.
const int32_t kViewFirstClient = 277;
const char kToolBoxLabel[] = "ToolBox";
// Images drawn for check marks and the ToolBox item.
const int32_t kImageCheck = 510, kImageRadio = 546, kImageToolBox = 510;
const int32_t kIconSize = 16, kIconX = 4;
const Dimension kIconMargin = 21;
// Expose codes of wuwmdrw.
const intptr_t kDrawPopupLabel = 123;
const intptr_t kDrawIcon = 111;

struct Build {
  wu_window *window;
  wu_menu_node **table;
  int32_t node_count;
  int32_t mode;
  bool in_bar;        // the parent is the menu bar
};

bool WindowKnown(const wu_window *w) { return wumwkno(w) != 0; }

// True while a node table belongs to a set on the window's list.
bool TableLive(wu_window *w, wu_menu_node **table) {
  for (auto *s = static_cast<wu_menu_set *>(w->menu_sets); s; s = s->next)
    if (s->table == table) return true;
  return false;
}

// X printing: printing goes through the module's own print dialogs (the
// display block's HOSTPRINT flag, which the printing choice sets).
bool XPrinting() { return devb && devb->prefs.host_print; }

bool SolutionsOn() {
  int32_t v = 1;
  if (wyrnget("SOLUTIONS", 9, &v) != WU_OK) return true;
  return v != 0;
}

bool DoubleByte() {
  qev_gcb *g = wu_gcb();
  return g && g->multibyte;
}

uint8_t Fold(int which, uint8_t c) {
  qev_gcb *g = wu_gcb();
  if (g && g->case_fold[which]) return g->case_fold[which][c];
  return c;
}

// Every item callback starts here: the item widget itself is read only
// while it stands (host code on the item may have released its window,
// and with it the item, before the module's callback runs).
wu_menu_item_ctx *ItemContext(Widget w) {
  if (!wumialv(w)) return nullptr;
  XtPointer data = nullptr;
  XtVaGetValues(w, XmNuserData, &data, nullptr);
  auto *ctx = static_cast<wu_menu_item_ctx *>(data);
  return (ctx && wu_reg_has(ctx, WU_REG_MENUITEM)) ? ctx : nullptr;
}

void ContextDestroyed(Widget item, XtPointer client, XtPointer) {
  auto *ctx = static_cast<wu_menu_item_ctx *>(client);
  if (item) wu_reg_remove(item);
  wu_reg_remove(ctx);
  if (wu_x_ok()) {
    if (ctx->pixmap) XFreePixmap(devb->display, Pixmap(ctx->pixmap));
    if (ctx->mask) XFreePixmap(devb->display, Pixmap(ctx->mask));
  }
  XtFree(reinterpret_cast<char *>(ctx));
}

// A new item context; it is hung in the item's userData when the item is
// created and freed by the item's destroy callback (AddItemContext).
wu_menu_item_ctx *NewItemContext(const Build &b, int32_t item_id, int32_t kind, Pixmap pixmap,
                                 Pixmap mask, wu_menu_node *node) {
  auto *ctx = reinterpret_cast<wu_menu_item_ctx *>(XtCalloc(1, sizeof(wu_menu_item_ctx)));
  ctx->table = b.table;
  ctx->window = b.window;
  ctx->item_id = item_id;
  ctx->kind = kind;
  ctx->pixmap = pixmap;
  ctx->mask = mask;
  ctx->node = node;
  wu_reg_add(ctx, WU_REG_MENUITEM);
  return ctx;
}

// Ties a context to its item; without the item the context goes at once.
Widget AddItemContext(Widget w, wu_menu_item_ctx *ctx) {
  if (!w) {
    ContextDestroyed(nullptr, ctx, nullptr);
    return nullptr;
  }
  XtAddCallback(w, XmNdestroyCallback, ContextDestroyed, ctx);
  if (wu_reg_add(w, WU_REG_OTHER) != WU_OK) {
    XtDestroyWidget(w);
    return nullptr;
  }
  return w;
}

void Colours(wu_window *w, int32_t set, Arg *args, Cardinal *n) {
  wu_colour_set cs;
  if (wuwgpmc(w, set, &cs) != WU_OK) return;
  XtSetArg(args[*n], XmNbackground, cs.background); ++*n;
  XtSetArg(args[*n], XmNforeground, cs.foreground); ++*n;
  *n = Cardinal(wuwspmc(&cs, args, int32_t(*n)));
}

void VisualArgs(Arg *args, Cardinal *n) {
  XtSetArg(args[*n], XmNdepth, devb->depth); ++*n;
  XtSetArg(args[*n], XmNvisual, devb->visual); ++*n;
  XtSetArg(args[*n], XmNcolormap, devb->colormap); ++*n;
}

// The window of a menu item: from its context.
wu_window *ItemWindow(Widget w) {
  wu_menu_item_ctx *ctx = ItemContext(w);
  return (ctx && WindowKnown(ctx->window)) ? ctx->window : nullptr;
}

Widget MakeSeparator(wu_window *w, Widget parent) {
  Arg args[16];
  Cardinal n = 0;
  XtSetArg(args[n], XmNorientation, XmHORIZONTAL); ++n;
  XtSetArg(args[n], XmNhighlightThickness, 0); ++n;
  XtSetArg(args[n], XmNshadowThickness, 2); ++n;
  XtSetArg(args[n], XmNtraversalOn, False); ++n;
  XtSetArg(args[n], XmNborderWidth, 0); ++n;
  Colours(w, WU_CSET_DIALOG, args, &n);
  return XmCreateSeparatorGadget(parent, const_cast<char *>("menuSeparator"), args, n);
}

// The mnemonic of an item, and in double-byte mode the character set it
// is matched in.
void MnemonicArgs(int32_t mnemonic, Arg *args, Cardinal *n) {
  XtSetArg(args[*n], XmNmnemonic, KeySym(mnemonic)); ++*n;
  if (DoubleByte() && devb->motifres.mnemonic_charset) {
    XtSetArg(args[*n], XmNmnemonicCharSet, devb->motifres.mnemonic_charset); ++*n;
  }
}

// The label an item shows: in double-byte mode with menu mnemonics on, a
// copy with the mnemonic placed in it (the placed letter becomes the
// mnemonic); else the label itself.
std::string PlacedLabel(const char *label, int32_t *mnemonic) {
  if (!DoubleByte() || !*mnemonic || !devb->prefs.pmenu_mnemonics) return label;
  std::vector<char> copy(std::strlen(label) + 4, '\0');
  std::memcpy(copy.data(), label, copy.size() - 4);
  *mnemonic = PutMnemonic(copy.data(), *mnemonic);
  return copy.data();
}

// Gives an item its mnemonic while menu mnemonics are on.
void SetMnemonic(Widget item, int32_t mnemonic) {
  if (!mnemonic || !devb->prefs.pmenu_mnemonics) return;
  Arg args[2];
  Cardinal n = 0;
  MnemonicArgs(mnemonic, args, &n);
  XtSetValues(item, args, n);
}

// A cascade and its pulldown; the submenu is filled on first opening.
Widget MakePullMenu(const Build &b, Widget parent, const char *label, int32_t mnemonic,
                    wu_menu_node **table, wu_menu_node *node, int32_t item_id) {
  wu_window *w = b.window;
  Arg args[20];
  Cardinal n = 0;
  Colours(w, 1, args, &n);
  VisualArgs(args, &n);
  XtSetArg(args[n], XmNuserData, 0); ++n;
  if (devb->prefs.pmenu_tear_offs) {
    XtSetArg(args[n], XmNtearOffModel, XmTEAR_OFF_ENABLED); ++n;
  }
  Widget pull = XmCreatePulldownMenu(parent, const_cast<char *>("PullDown"), args, n);
  if (!pull) return nullptr;
  XtAddCallback(XtParent(pull), XmNpopdownCallback, PulldownPopdown, w);
  XmString s = wumtstr(label);
  n = 0;
  XtSetArg(args[n], XmNlabelString, s); ++n;
  XtSetArg(args[n], XmNsubMenuId, pull); ++n;
  if (devb->font_list) { XtSetArg(args[n], XmNfontList, devb->font_list); ++n; }
  if (mnemonic && devb->prefs.pmenu_mnemonics) MnemonicArgs(mnemonic, args, &n);
  Colours(w, b.in_bar ? 0 : 1, args, &n);
  Build sub = b;
  sub.table = table;
  wu_menu_item_ctx *ctx = NewItemContext(sub, item_id, WU_MCTX_CASCADE, None, None, node);
  XtSetArg(args[n], XmNuserData, ctx); ++n;
  Widget cascade = b.in_bar
                       ? XmCreateCascadeButton(parent, const_cast<char *>("CascadeButton"), args, n)
                       : XmCreateCascadeButtonGadget(parent, const_cast<char *>("CascadeButton"), args, n);
  XmStringFree(s);
  if (!AddItemContext(cascade, ctx)) return nullptr;
  XtAddCallback(cascade, XmNcascadingCallback, wuwpdmc, nullptr);
  return cascade;
}

// In batch-driver mode the menu bar and button box have no margins and no
// shadow; true when the arguments were added.
bool FlatInBatchMode(Arg *args, Cardinal *n) {
  if (!devb->appres.batch_driver_mode) return false;
  XtSetArg(args[*n], XmNmarginHeight, 0); ++*n;
  XtSetArg(args[*n], XmNmarginWidth, 0); ++*n;
  XtSetArg(args[*n], XmNshadowThickness, 0); ++*n;
  return true;
}

// Push buttons outside the menu bar: no traversal, and shadow and margins
// (thin and tight in batch-driver mode).
void ButtonLook(Arg *args, Cardinal *n) {
  XtSetArg(args[*n], XmNtraversalOn, False); ++*n;
  if (devb->appres.batch_driver_mode) {
    XtSetArg(args[*n], XmNshadowThickness, 1); ++*n;
    XtSetArg(args[*n], XmNmarginWidth, 0); ++*n;
    XtSetArg(args[*n], XmNmarginHeight, 0); ++*n;
    XtSetArg(args[*n], XmNborderWidth, 0); ++*n;
  } else {
    XtSetArg(args[*n], XmNshadowThickness, 4); ++*n;
    XtSetArg(args[*n], XmNmarginWidth, 4); ++*n;
    XtSetArg(args[*n], XmNmarginHeight, 2); ++*n;
  }
}

// The display's menu-bar and button-box heights: what a menu bar holding a
// cascade, resp. a row of the module's push buttons, asks for in the
// display font.  Measured on a prototype that is destroyed again.
Dimension ProbeHeight(bool bar) {
  Arg args[12];
  Cardinal n = 0;
  XtSetArg(args[n], XmNorientation, XmHORIZONTAL); ++n;
  Widget row = bar ? XmCreateMenuBar(devb->toplevel, const_cast<char *>("probe"), args, n)
                   : XmCreateRowColumn(devb->toplevel, const_cast<char *>("probe"), args, n);
  if (!row) return Dimension(devb->cell_height);
  XmString x = XmStringCreateLocalized(const_cast<char *>("X"));
  n = 0;
  XtSetArg(args[n], XmNlabelString, x); ++n;
  if (devb->font_list) { XtSetArg(args[n], XmNfontList, devb->font_list); ++n; }
  if (!bar) ButtonLook(args, &n);
  Widget item = bar ? XmCreateCascadeButton(row, const_cast<char *>("probe"), args, n)
                    : XmCreatePushButton(row, const_cast<char *>("probe"), args, n);
  XmStringFree(x);
  XtManageChild(item);
  XtWidgetGeometry g{};
  XtQueryGeometry(row, nullptr, &g);
  XtDestroyWidget(row);
  return g.height > 0 ? g.height : Dimension(devb->cell_height);
}

Widget MakePushButton(const Build &b, Widget parent, const char *label, XtCallbackProc cb,
                      XtPointer client, int32_t item_id, Pixmap pixmap, Pixmap mask) {
  Arg args[20];
  Cardinal n = 0;
  XmString s = wumtstr(label);
  XtSetArg(args[n], XmNlabelString, s); ++n;
  XtSetArg(args[n], XmNalignment, XmALIGNMENT_BEGINNING); ++n;
  if (devb->font_list) { XtSetArg(args[n], XmNfontList, devb->font_list); ++n; }
  if (b.mode != WU_MMODE_MENUBAR) ButtonLook(args, &n);
  wu_menu_item_ctx *ctx = NewItemContext(b, item_id, WU_MCTX_BUTTON, pixmap, mask, nullptr);
  XtSetArg(args[n], XmNuserData, ctx); ++n;
  Widget pb = XmCreatePushButton(parent, const_cast<char *>("PushButton"), args, n);
  XmStringFree(s);
  if (!AddItemContext(pb, ctx)) return nullptr;
  if (cb) XtAddCallback(pb, XmNactivateCallback, cb, client);
  return pb;
}

// Command ids whose items get a callback of their own instead of queuing
// their command: the callback with X printing on, and with it off (null:
// the default callback).  Id 22 makes no item at all without X printing.
struct FixedItem {
  int32_t id;
  XtCallbackProc with_xprint;
  XtCallbackProc without_xprint;
};
const FixedItem kFixed[] = {
    {kCmdSave, wuwnkfd, wuwnkfd},          {kCmdOpen, wuwpkfd, wuwpkfd},
    {kCmdExit, wuwexit, wuwexit},          {kCmdPrintSetup, wuwprst, nullptr},
    {kCmdImport, wuwikfd, wuwikfd},        {kCmdPrint, wuwprnt, wuwhprt},
    {kCmdPrintFile, wuwsprf, wuwsprf},     {kCmdPrintScreen, wuwpscr, nullptr},
    {kCmdCommandWindow, wuwocdc, wuwocdc}, {kCmdFind, wuwfind, wuwfind},
    {kCmdChange, wuwchng, wuwchng},        {kCmdExport, wuwekfd, wuwekfd},
    {kCmdAbout, wuwoabt, wuwoabt},         {kCmdOpenFilter, wuwakfd, wuwakfd},
};

// The fixed callback of a command id, or null for the default (also while
// the layer that provides it is not linked).
XtCallbackProc FixedCallback(int32_t id) {
  for (const FixedItem &f : kFixed)
    if (f.id == id) return XPrinting() ? f.with_xprint : f.without_xprint;
  return nullptr;
}

// Open and Open-with-filter leave room for a class's own additions.
void AmendClassInclude(wu_window *, Widget) {}

bool LocalHandler(wu_window *w) { return w->local_handler != nullptr; }
using LocalHandlerFn = wu_status (*)(wu_window *, const char *);

// Hands a command to the window's local handler or queues it.  A command
// the queue refuses is logged and belled.
// The last command the queue refused (a popup's wait answers it).
wu_status g_refused = WU_OK;

void Refused(wu_status st) {
  wutlogf(QEV_LOG_WARNING, "A menu command could not be queued (status 0x%x).", unsigned(st));
  wutalrm();
  g_refused = st;
}

wu_status RunCommand(wu_window *w, const char *cmd, int32_t flag2, bool menu) {
  // An item whose command text is empty has nothing to run: the host would
  // only echo an empty command.
  if (!cmd[0]) return WU_OK;
  if (LocalHandler(w)) {
    reinterpret_cast<LocalHandlerFn>(w->local_handler)(w, cmd);
    return WU_OK;
  }
  wu_status st = wuxqcmd(w, cmd, -1, 1, 1, flag2);
  if (st != WU_OK) {
    Refused(st);
    return st;
  }
  if (menu) w->flags |= WU_WIN_MENU_COMMAND;
  return WU_OK;
}

void ViewMenu(const Build &b, Widget parent, std::vector<Widget> *made);
void PrintPreview(const Build &b, Widget parent, int32_t item_id, std::vector<Widget> *made);

// The items made so far are managed together when `all` is asked (before a
// submenu is attached, and at the end): one layout of the menu for all of
// them, where each smaller batch laid the whole menu out again.
void ManageBatch(std::vector<Widget> *made, bool all) {
  if (made->empty() || !all) return;
  XtManageChildren(made->data(), Cardinal(made->size()));
  made->clear();
}

// The gray state an item is built with: the window's gray-list entry for
// its id, else the grayed flag of the description.
bool ItemGrayed(wu_window *w, const wu_menu_node *node, int32_t i) {
  const wu_item_state *e = matchid(static_cast<wu_item_state *>(w->gray_list), node->item_id[i]);
  return e ? e->state != 0 : node->grayed[i] != 0;
}

// Mnemonic of an item: its host code through the first case table, or the
// second when the first's character is not in the label.
int32_t ItemMnemonic(const wu_menu_node *node, int32_t i, const char *label) {
  const uint8_t m = node->mnemonics[i];
  if (!m) return 0;
  const uint8_t c1 = Fold(0, m);
  if (std::strchr(label, c1)) return c1;
  return Fold(1, m);
}

}  // namespace

extern "C" void MakeMenu(wu_window *w, wu_menu_node *node, Widget parent, wu_menu_node **table,
                         int32_t inside_include);

namespace {

void MakeItems(const Build &b, wu_menu_node *node, Widget parent, int32_t inside_include,
               int depth) {
  if (!node || node->header[WU_MH_KIND] != WU_MNODE_MENU) return;
  wu_window *w = b.window;
  const int32_t count = node->header[WU_MH_COUNT];
  std::vector<Widget> made;
  Widget last = nullptr;
  bool last_sep = false;
  const bool dbcs = DoubleByte();
  // Keeps a made widget for managing; a separator left last is taken away.
  auto keep = [&](Widget made_widget, bool separator) {
    made.push_back(made_widget);
    last = made_widget;
    last_sep = separator;
  };
  for (int32_t i = 0; i < count; ++i) {
    // The separator the description puts after item i (none in a menu bar).
    auto separate = [&] {
      if (!node->separator[i] || b.in_bar) return;
      if (Widget sep = MakeSeparator(w, parent)) keep(sep, true);
    };
    const int32_t cmd = node->command_id[i];
    // Id 197 is never made and id 72 only while SOLUTIONS is on, whatever
    // the item opens or runs.
    if (cmd == kCmdNever || (cmd == kCmdSolutions && !SolutionsOn())) continue;
    if (cmd == kCmdViewAdditions) {
      ViewMenu(b, parent, &made);
      continue;
    }
    if (cmd == kCmdPrintSetup && !XPrinting()) continue;
    const char *label = node->text + node->label_offset[i];
    if (dbcs && label[0] == ' ') ++label;
    int32_t mnemonic = ItemMnemonic(node, i, label);
    const std::string shown = PlacedLabel(label, &mnemonic);
    const int32_t sub = node->submenu[i];
    wu_menu_node *target = sub > 0 && sub <= b.node_count ? b.table[sub - 1] : nullptr;
    const int32_t kind = target ? target->header[WU_MH_KIND] : WU_MNODE_COMMAND;
    const int32_t item_id = node->item_id[i];
    Widget item = nullptr;
    if (kind == WU_MNODE_MENU) {
      // Follow one-item menus that open another menu; an empty end omits it.
      wu_menu_node *t = target;
      for (int32_t steps = 0; steps < b.node_count && t->header[WU_MH_COUNT] == 1; ++steps) {
        const int32_t s = t->submenu[0];
        wu_menu_node *next = s > 0 && s <= b.node_count ? b.table[s - 1] : nullptr;
        if (!next || next->header[WU_MH_KIND] != WU_MNODE_MENU) break;
        t = next;
      }
      if (t->header[WU_MH_COUNT] == 0) continue;
      item = MakePullMenu(b, parent, shown.c_str(), mnemonic, b.table, t, item_id);
    } else if (kind == WU_MNODE_REFERENCE) {
      wu_menu_set *s = target->ref_set;
      if (!s || !s->root) continue;
      item = MakePullMenu(b, parent, shown.c_str(), mnemonic, s->table, s->root, item_id);
    } else if (kind == WU_MNODE_INCLUDE) {
      wu_menu_set *s = target->inc_set;
      if (!s || !s->root || depth >= WU_PMENU_MAX_DEPTH) continue;
      ManageBatch(&made, true);
      Build inc = b;
      inc.table = s->table;
      inc.node_count = s->node_count;
      MakeItems(inc, s->root, parent, 1, depth + 1);
      last = nullptr;
      last_sep = false;
      separate();
      continue;
    } else if (kind == WU_MNODE_COMMAND || kind == WU_MNODE_COMMAND2 || kind == WU_MNODE_DIALOG) {
      const bool dialog = kind == WU_MNODE_DIALOG;
      XtPointer client = dialog ? XtPointer(target) : XtPointer(target ? target->text : label);
      XtCallbackProc cb = dialog ? wuwodlc : wuwpcmc;
      if (XtCallbackProc fixed = FixedCallback(cmd)) {
        // The host-printing choice also serves a print item with a dialog:
        // it opens the dialog (found through the item) once the choice is
        // settled.  Other fixed callbacks replace commands only.
        if (!dialog || fixed == wuwhprt) cb = fixed;
        if (dialog && fixed == wuwhprt) client = nullptr;
      }
      if (cmd == kCmdOpen || cmd == kCmdOpenFilter) AmendClassInclude(w, parent);
      // Buttons of the second button-box place show the label as given.
      std::string text = b.mode == WU_MMODE_BUTTONBOX2 ? std::string(label) : shown;
      if (cmd == kCmdPrintSetup || (cmd == kCmdPrint && XPrinting())) {
        if (char *m = wuxgmft(kMsgSet, cmd == kCmdPrint ? kMsgPrint : kMsgPrintSetup)) {
          text = m;
          vmfree_handler(wu_module_pool(), m, int32_t(std::strlen(m)) + 1, 0);
        }
      }
      if (cmd == kCmdOpen) client = nullptr;
      Widget button_parent = parent;
      Widget wrapper = nullptr;
      if (b.in_bar && b.mode == WU_MMODE_MENUBAR) {
        // A command directly in the menu bar opens a one-item pulldown.
        wrapper = MakePullMenu(b, parent, shown.c_str(), mnemonic, b.table, nullptr, item_id);
        if (!wrapper) return;
        XtRemoveAllCallbacks(wrapper, XmNcascadingCallback);
        Widget pull = nullptr;
        XtVaGetValues(wrapper, XmNsubMenuId, &pull, nullptr);
        button_parent = pull;
      }
      const int32_t check = node->check[i];
      const bool marked = check == WU_MITEM_CHECK || check == WU_MITEM_RADIO;
      Pixmap pix = None, mask = None;
      if (b.mode != WU_MMODE_BUTTONBOX2 && !devb->prefs.suppress_menu_icons) {
        const int32_t icon = yucc2ic(cmd);
        if (icon > 0) pix = wutgttp(icon, kIconSize, &mask);
      }
      Build pb = b;
      pb.in_bar = false;
      Widget button = MakePushButton(pb, button_parent, text.c_str(), cb, client, item_id, pix, mask);
      if (!button) return;
      if (b.mode != WU_MMODE_BUTTONBOX2 || marked) {
        if (pix != None || marked) {
          XtVaSetValues(button, XmNmarginLeft, kIconMargin, nullptr);
          XtAddEventHandler(button, ExposureMask, False, wuwmdrw,
                            reinterpret_cast<XtPointer>(marked ? intptr_t(check) : kDrawIcon));
        }
        SetMnemonic(button, mnemonic);
      } else if (w->module_flags & WU_WMOD_LISTED) {
        wu_colour_set cs;
        if (wuwgpmc(w, 4, &cs) == WU_OK) XmChangeColor(button, cs.background);
      }
      const bool grayed = ItemGrayed(w, node, i);
      if (grayed) XtSetSensitive(button, False);
      if (cmd == kCmdPrintSetup) {
        w->print_setup_item = button;
        w->print_setup_id = item_id;
      }
      if (wrapper) {
        if (grayed) XtSetSensitive(wrapper, False);
        XtManageChild(button);
        item = wrapper;
      } else {
        item = button;
      }
      if (wu_menu_item_ctx *ctx = ItemContext(button)) {
        ctx->grayed = grayed;
        if (dialog) ctx->node = target;
      }
      keep(item, false);
      if (cmd == kCmdPrint && XPrinting()) {
        PrintPreview(b, button_parent, item_id, &made);
        if (grayed && w->print_preview_item) XtSetSensitive(w->print_preview_item, False);
      }
      item = nullptr;
    } else {
      continue;
    }
    if (item) {
      // A cascade takes its gray state as a push button does.
      if (ItemGrayed(w, node, i)) XtSetSensitive(item, False);
      if (wu_menu_item_ctx *ctx = ItemContext(item)) ctx->grayed = ItemGrayed(w, node, i);
      keep(item, false);
    }
    separate();
    ManageBatch(&made, false);
  }
  ManageBatch(&made, true);
  if (last && last_sep && inside_include != 1) XtUnmanageChild(last);
  wumsppm();
}

// Items of the view additions, one per view label.
void ViewMenu(const Build &b, Widget parent, std::vector<Widget> *made) {
  wu_window *w = b.window;
  wu_status st = WU_OK;
  if (LocalHandler(w) || !yw7bget("AWSMENUMERGE", &st) || st != WU_OK) return;
  wu_state *ms = wu_module();
  if (!ms) return;
  // The view labels are host start-up data; without them nothing is added.
  for (int32_t i = 0; i < WU_VIEW_LABELS && ms->view_labels[i]; ++i) {
    const char *label = ms->view_labels[i];
    int32_t mnemonic = static_cast<unsigned char>(ms->view_mnemonics[i]);
    const std::string shown = PlacedLabel(label, &mnemonic);
    Widget pb = MakePushButton(b, parent, shown.c_str(), wuwhpmu,
                               reinterpret_cast<XtPointer>(intptr_t(kViewFirstClient + i)), 0, None,
                               None);
    if (!pb) return;
    if (std::strncmp(label, kToolBoxLabel, sizeof kToolBoxLabel - 1) == 0) {
      // The ToolBox item shows whether the default tool box is on.
      w->toolbox_item = pb;
      XtVaSetValues(pb, XmNmarginLeft, kIconMargin, nullptr);
      XtAddEventHandler(pb, ExposureMask, False, wuwtdrw, nullptr);
    }
    SetMnemonic(pb, mnemonic);
    made->push_back(pb);
  }
}

// True when the window's event task is one whose name begins with the text
// of message (682,54): such tasks have no print preview.
bool NoPreviewTask(wu_window *w) {
  char name[8];
  if (!w->event_task || wtinfo(w->event_task, name) != WU_OK) return false;
  char *prefix = wuxgmft(kNoPreviewSet, kNoPreviewNumber);
  if (!prefix) return false;
  const size_t n = std::strlen(prefix);
  const bool match = n > 0 && n <= sizeof name && std::memcmp(name, prefix, n) == 0;
  vmfree_handler(wu_module_pool(), prefix, int32_t(n) + 1, 0);
  return match;
}

void PrintPreview(const Build &b, Widget parent, int32_t item_id, std::vector<Widget> *made) {
  wu_window *w = b.window;
  wu_status st = WU_OK;
  if (LocalHandler(w) || NoPreviewTask(w) || !yw7bget("AWSMENUMERGE", &st) || st != WU_OK) return;
  char *label = wuxgmft(kMsgSet, kMsgPreview);
  Widget pb = MakePushButton(b, parent, label ? label : "Print Preview...", wuwhpmu,
                             reinterpret_cast<XtPointer>(intptr_t(kPreviewClient)), item_id, None,
                             None);
  if (label) vmfree_handler(wu_module_pool(), label, int32_t(std::strlen(label)) + 1, 0);
  if (!pb) return;
  char *m = wuxgmft(kMsgSet, kMsgPreviewMnemonic);
  const KeySym mn = (m && m[0]) ? KeySym((unsigned char)m[0]) : KeySym('v');
  if (m) vmfree_handler(wu_module_pool(), m, int32_t(std::strlen(m)) + 1, 0);
  if (devb->prefs.pmenu_mnemonics) XtVaSetValues(pb, XmNmnemonic, mn, nullptr);
  w->print_preview_item = pb;
  w->print_preview_id = item_id;
  made->push_back(pb);
}

// Destroys the items of a menu widget, submenus first.
void DestroyItems(Widget menu) {
  WidgetList kids = nullptr;
  Cardinal n = 0;
  XtVaGetValues(menu, XmNchildren, &kids, XmNnumChildren, &n, nullptr);
  std::vector<Widget> list(kids, kids + n);
  for (Widget k : list) {
    if (XmIsCascadeButton(k) || XmIsCascadeButtonGadget(k)) {
      Widget sub = nullptr;
      XtVaGetValues(k, XmNsubMenuId, &sub, nullptr);
      if (sub) {
        DestroyItems(sub);
        XtDestroyWidget(XtParent(sub));
      }
    }
    XtDestroyWidget(k);
  }
}

// Applies a state entry to the items below a widget (cascades searched too).
void ApplyState(int32_t kind, Widget menu, const wu_item_state *e, int depth) {
  if (!menu || depth > 64) return;
  WidgetList kids = nullptr;
  Cardinal n = 0;
  XtVaGetValues(menu, XmNchildren, &kids, XmNnumChildren, &n, nullptr);
  for (Cardinal i = 0; i < n; ++i) {
    Widget k = kids[i];
    if (XmIsCascadeButton(k) || XmIsCascadeButtonGadget(k)) {
      Widget sub = nullptr;
      XtVaGetValues(k, XmNsubMenuId, &sub, nullptr);
      ApplyState(kind, sub, e, depth + 1);
    }
    wu_menu_item_ctx *ctx = ItemContext(k);
    if (!ctx || ctx->item_id != e->item_id) continue;
    if (kind == WU_MSTATE_GRAY) {
      XtSetSensitive(k, e->state == 0);
    } else if (XtIsRealized(k) && XtIsWidget(k)) {
      XClearArea(XtDisplay(k), XtWindow(k), 0, 0, 0, 0, True);
    }
  }
}

}  // namespace

extern "C" {

int32_t wumialv(Widget item) { return item && wu_reg_has(item, WU_REG_OTHER); }

wu_menu_node *wumitdn(Widget item) {
  wu_menu_item_ctx *ctx = ItemContext(item);
  if (!ctx || ctx->kind != WU_MCTX_BUTTON || !ctx->node || !WindowKnown(ctx->window) ||
      !TableLive(ctx->window, ctx->table))
    return nullptr;
  return ctx->node->header[WU_MH_KIND] == WU_MNODE_DIALOG ? ctx->node : nullptr;
}

void MakeMenu(wu_window *w, wu_menu_node *node, Widget parent, wu_menu_node **table,
              int32_t inside_include) {
  if (!w || !node || !parent || !table) return;
  int32_t count = 0;
  for (auto *s = static_cast<wu_menu_set *>(w->menu_sets); s; s = s->next)
    if (s->table == table) count = s->node_count;
  unsigned char type = 0;
  XtVaGetValues(parent, XmNrowColumnType, &type, nullptr);
  Build b{w, table, count, w->menu_mode, type == XmMENU_BAR};
  MakeItems(b, node, parent, inside_include, 0);
}

wu_status wutiamu(wu_window *w) {
  if (!WindowKnown(w)) return WU_MENU_NOT_BUILT;
  if (wutibox) wutibox(w);
  auto *set = static_cast<wu_menu_set *>(w->menu_set);
  if (!set || !wu_reg_has(set, WU_REG_MENUSET) || !set->root ||
      set->root->header[WU_MH_KIND] != WU_MNODE_MENU || !w->main_window || !wu_x_ok())
    return WU_MENU_NOT_BUILT;
  int32_t mode = WU_MMODE_BUTTONBOX2;
  if (w->module_flags & WU_WMOD_WANTS_MENUBAR)
    mode = set->plain_root_items == set->root->header[WU_MH_COUNT] ? WU_MMODE_BUTTONBOX
                                                                     : WU_MMODE_MENUBAR;
  if (w->menu_widget && w->menu_mode != mode) wutfamu(w, 0);
  Widget menu = w->menu_widget;
  if (menu) {
    if (XmIsRowColumn(menu)) XtVaSetValues(menu, XmNresizeHeight, False, nullptr);
    DestroyItems(menu);
    w->toolbox_item = nullptr;
  } else {
    Arg args[24];
    Cardinal n = 0;
    Colours(w, mode == WU_MMODE_MENUBAR ? 0 : 4, args, &n);
    if (mode == WU_MMODE_MENUBAR) {
      XtSetArg(args[n], XmNmenuAccelerator, ""); ++n;
      XtSetArg(args[n], XmNborderWidth, 0); ++n;
      XtSetArg(args[n], XmNheight, ProbeHeight(true)); ++n;
      FlatInBatchMode(args, &n);
      menu = XmCreateMenuBar(w->main_window, const_cast<char *>("MenuBar"), args, n);
    } else {
      XtSetArg(args[n], XmNorientation, XmHORIZONTAL); ++n;
      XtSetArg(args[n], XmNpacking, XmPACK_TIGHT); ++n;
      XtSetArg(args[n], XmNresizeHeight, False); ++n;
      XtSetArg(args[n], XmNborderWidth, 1); ++n;
      // In the menu-bar place the box is as high as a menu bar would be;
      // in the second place as a row of buttons; two pixels less each for
      // the border, none in batch-driver mode.
      const Dimension height = devb->appres.batch_driver_mode ? ProbeHeight(false)
                               : mode == WU_MMODE_BUTTONBOX ? ProbeHeight(true) - 2
                                                             : ProbeHeight(false) - 2;
      XtSetArg(args[n], XmNheight, height); ++n;
      if (FlatInBatchMode(args, &n)) {
        XtSetArg(args[n], XmNborderWidth, 0); ++n;
      }
      menu = XmCreateRowColumn(w->main_window, const_cast<char *>("ButtonBox"), args, n);
    }
    if (!menu) return WU_MENU_NOT_BUILT;
    XtVaSetValues(w->main_window, mode == WU_MMODE_BUTTONBOX2 ? XmNmessageWindow : XmNmenuBar,
                  menu, nullptr);
    w->menu_widget = menu;
  }
  w->menu_mode = mode;
  w->print_setup_item = w->print_preview_item = nullptr;
  MakeMenu(w, set->root, menu, set->table, 0);
  if (mode == WU_MMODE_MENUBAR) XtVaSetValues(menu, XmNresizeHeight, True, nullptr);
  w->module_flags |= WU_WMOD_GEOMETRY;
  XtManageChild(menu);
  w->module_flags &= ~WU_WMOD_GEOMETRY;
  return WU_OK;
}

// Keeping the height is the caller's: the mode switch restores the form's
// size itself after the menu widget goes.
void wutfamu(wu_window *w, int32_t) {
  if (!w) return;
  if (w->menu_widget && wu_x_ok()) {
    Widget menu = w->menu_widget;
    // The main window forgets its menu bar or message area when that
    // child is destroyed.
    DestroyItems(menu);
    XtDestroyWidget(menu);
  }
  w->menu_widget = nullptr;
  w->menu_mode = WU_MMODE_NONE;
  w->print_setup_item = w->print_preview_item = w->toolbox_item = nullptr;
}

void wuwpdmc(Widget cascade, XtPointer, XtPointer) {
  wu_menu_item_ctx *ctx = ItemContext(cascade);
  if (!ctx || !WindowKnown(ctx->window) || !ctx->node || !TableLive(ctx->window, ctx->table)) return;
  Widget sub = nullptr;
  XtVaGetValues(cascade, XmNsubMenuId, &sub, nullptr);
  XtRemoveAllCallbacks(cascade, XmNcascadingCallback);
  if (sub) MakeMenu(ctx->window, ctx->node, sub, ctx->table, 0);
}

void PulldownPopdown(Widget, XtPointer client, XtPointer) {
  auto *w = static_cast<wu_window *>(client);
  if (WindowKnown(w) && w->input) wuwFocusToQevinput(w);
}

void wuwpcmc(Widget item, XtPointer client, XtPointer) {
  wu_window *w = ItemWindow(item);
  const char *cmd = static_cast<const char *>(client);
  if (!w || !cmd) return;
  const bool local = LocalHandler(w);
  wu_reg_hold hold = wu_reg_take(w);
  RunCommand(w, cmd, 0, true);
  if (!WindowKnown(w) || (hold.serial && !wu_reg_alive(hold))) return;
  wutsync(1, 0);
  if (!local && w->menu_mode != WU_MMODE_MENUBAR && w->input) wuwFocusToQevinput(w);
}

void wuwocdc(Widget item, XtPointer, XtPointer) {
  wu_window *w = ItemWindow(item);
  if (!w) return;
  const wu_reg_hold hold = wu_reg_take(w);
  wuxqwev(w, kEvCommandWindow, nullptr, 0);
  if (wutcwdw && wu_reg_alive(hold)) wutcwdw(w);
}

void wuwfind(Widget item, XtPointer, XtPointer) {
  wu_window *w = ItemWindow(item);
  if (w && wumfdlg) wumfdlg(w, kCmdFind);
}

void wuwchng(Widget item, XtPointer, XtPointer) {
  wu_window *w = ItemWindow(item);
  if (w && wumfdlg) wumfdlg(w, kCmdChange);
}

void wuwhpmu(Widget item, XtPointer client, XtPointer) {
  wu_window *w = ItemWindow(item);
  if (!w) return;
  char *cmd = wuxgmft(kMsgSet, int32_t(reinterpret_cast<intptr_t>(client)));
  if (!cmd) return;
  const std::string text = cmd;
  vmfree_handler(wu_module_pool(), cmd, int32_t(text.size()) + 1, 0);
  RunCommand(w, text.c_str(), 1, true);
}

// Draws an item's picture in its left margin: a popup item's label pixmap
// (code 123), else the item's icon, or while its id is checked the check
// or radio mark.  An insensitive item's picture is veiled.
void wuwmdrw(Widget w, XtPointer client, XEvent *event, Boolean *) {
  if (!event || event->type != Expose || event->xexpose.count != 0 || !XtIsRealized(w) ||
      !wu_x_ok())
    return;
  const intptr_t code = reinterpret_cast<intptr_t>(client);
  Pixmap pix = None, mask = None;
  bool release = false;
  if (code == kDrawPopupLabel) {
    Pixmap p = XmUNSPECIFIED_PIXMAP;
    XtVaGetValues(w, XmNlabelPixmap, &p, nullptr);
    if (p != XmUNSPECIFIED_PIXMAP) pix = p;
  } else if (wu_menu_item_ctx *ctx = ItemContext(w)) {
    pix = Pixmap(ctx->pixmap);
    mask = Pixmap(ctx->mask);
    wu_item_state *e = WindowKnown(ctx->window)
                           ? matchid(static_cast<wu_item_state *>(ctx->window->check_list), ctx->item_id)
                           : nullptr;
    if (e && e->state) {
      pix = wutgttp(code == WU_MITEM_CHECK ? kImageCheck : kImageRadio, kIconSize, &mask);
      release = true;
    }
  }
  if (pix == None) return;
  Display *d = XtDisplay(w);
  Dimension height = 0;
  Pixel background = 0;
  XtVaGetValues(w, XmNheight, &height, XmNbackground, &background, nullptr);
  const int y = (int(height) - kIconSize) / 2;
  GC gc = XCreateGC(d, XtWindow(w), 0, nullptr);
  if (mask != None) {
    XSetClipMask(d, gc, mask);
    XSetClipOrigin(d, gc, kIconX, y);
  }
  XCopyArea(d, pix, XtWindow(w), gc, 0, 0, kIconSize, kIconSize, kIconX, y);
  if (!XtIsSensitive(w) && devb->stipple[WU_STIPPLE_50] != None) {
    XSetClipMask(d, gc, None);
    XSetForeground(d, gc, background);
    XSetStipple(d, gc, devb->stipple[WU_STIPPLE_50]);
    XSetFillStyle(d, gc, FillStippled);
    XFillRectangle(d, XtWindow(w), gc, kIconX, y, kIconSize, kIconSize);
  }
  XFreeGC(d, gc);
  if (release) {
    XFreePixmap(d, pix);
    if (mask != None) XFreePixmap(d, mask);
  }
}

void wuwtdrw(Widget w, XtPointer, XEvent *event, Boolean *) {
  if (!event || event->type != Expose || !XtIsRealized(w) || !wu_x_ok() ||
      !devb->prefs.default_toolbox)
    return;
  Pixmap mask = None;
  Pixmap pix = wutgttp(kImageToolBox, kIconSize, &mask);
  if (pix == None) return;
  Dimension height = 0;
  XtVaGetValues(w, XmNheight, &height, nullptr);
  GC gc = XCreateGC(XtDisplay(w), XtWindow(w), 0, nullptr);
  if (mask != None) {
    XSetClipMask(XtDisplay(w), gc, mask);
    XSetClipOrigin(XtDisplay(w), gc, kIconX, (int(height) - kIconSize) / 2);
  }
  XCopyArea(XtDisplay(w), pix, XtWindow(w), gc, 0, 0, kIconSize, kIconSize, kIconX,
            (int(height) - kIconSize) / 2);
  XFreeGC(XtDisplay(w), gc);
  XFreePixmap(XtDisplay(w), pix);
  if (mask != None) XFreePixmap(XtDisplay(w), mask);
}

int32_t PutMnemonic(char *label, int32_t mnemonic) {
  if (!label || !label[0] || !mnemonic) return 0;
  const uint8_t c1 = Fold(0, uint8_t(mnemonic)), c2 = Fold(1, uint8_t(mnemonic));
  const bool dbcs = DoubleByte();
  for (size_t i = 0; label[i]; ++i) {
    const uint8_t c = uint8_t(label[i]);
    if (dbcs && c >= 0x80 && label[i + 1]) {
      ++i;
      continue;
    }
    if (c == c1 || c == c2) return c;
  }
  size_t len = std::strlen(label);
  const char dots[] = " ...";
  if (len >= 4 && std::strcmp(label + len - 4, dots) == 0) {
    // "Word ..." becomes "Word(S)...".
    std::snprintf(label + len - 4, 8, "(%c)...", c1);
  } else {
    if (label[len - 1] == ' ') --len;
    label[len] = '(';
    label[len + 1] = char(c1);
    label[len + 2] = ')';
    label[len + 3] = '\0';
  }
  return c1;
}

// Applies a gray or check entry to the window's menu and popups.
void wumapst(int32_t kind, wu_window *w, wu_item_state *e) {
  if (!wu_x_ok() || !e) return;
  ApplyState(kind, w->menu_widget, e, 0);
  for (auto *p = static_cast<wu_popup_menu *>(w->popup_menus); p; p = p->next)
    ApplyState(kind, p->widget, e, 0);
}

// A print window's gray state: whether the print device is an X printer.
void wumprwn(wu_window *) {
  wu_status st = WU_OK;
  const char *dev = yw7cget("PRINTGDEV", &st);
  if (st != WU_OK || !dev || !dev[0] || dev[0] == '.') dev = yw7cget("DEVICE", &st);
  std::string name = dev ? dev : "";
  for (char &c : name) c = char(std::toupper((unsigned char)c));
  wu_printer_bytes()[0] = name.compare(0, 6, "XPRINT") != 0;
  wumsppm();
}

void wumsppm(void) {
  wu_state *st = wu_module();
  if (!st || !wu_x_ok()) return;
  for (wu_window *w = st->newest; w; w = w->next) {
    int byte = -1;
    if (w->flags & WU_WIN_PRINT_WINDOW) byte = 0;
    else if (wucw2ep(w)) byte = 1;
    if (byte < 0) continue;
    const bool on = !wu_printer_bytes()[byte];
    Widget items[] = {w->print_preview_item, w->print_setup_item};
    for (Widget item : items) {
      if (!item) continue;
      wu_menu_item_ctx *ctx = ItemContext(item);
      wu_item_state *e = ctx ? matchid(static_cast<wu_item_state *>(w->gray_list), ctx->item_id)
                             : nullptr;
      const bool grayed = e ? e->state != 0 : (ctx && ctx->grayed);
      XtSetSensitive(item, on && !grayed);
    }
  }
}

}  // extern "C"

// ---- popup menus -----------------------------------------------------------

namespace {

void PopupShown(Widget, XtPointer client, XtPointer) {
  auto *w = static_cast<wu_window *>(client);
  if (!WindowKnown(w)) return;
  w->flags &= ~WU_WIN_MENU_COMMAND;
  if (w->input) wuwFocusToQevinput(w);
}

void PopupGone(Widget, XtPointer client, XtPointer) {
  auto *w = static_cast<wu_window *>(client);
  if (!WindowKnown(w)) return;
  wu_status st = wuxqwev(w, kEvPopdown, nullptr, 0);
  if (st != WU_OK) Refused(st);
}

// Positions a popup menu as for a button press at a root position.
void PostAt(Widget menu, int x, int y, unsigned button) {
  XButtonPressedEvent ev = {};
  ev.type = ButtonPress;
  ev.display = devb->display;
  ev.x_root = x;
  ev.y_root = y;
  ev.button = button;
  ev.same_screen = True;
  XmMenuPosition(menu, &ev);
}

void SetPopupPosition(wu_window *w, Widget menu) {
  int x = 0, y = 0;
  if (w->popup_button > 0) {
    x = w->popup_x;
    y = w->popup_y;
  } else if (wu_pane *p = w->current_pane; p && p->ext && p->ext->widget && XtIsRealized(p->ext->widget)) {
    Position rx = 0, ry = 0;
    XtTranslateCoords(p->ext->widget, Position((p->cursor_column - p->left_column) * devb->cell_width),
                      Position((p->cursor_row - p->top_row) * devb->cell_height), &rx, &ry);
    x = rx;
    y = ry;
  } else if (w->work_form && XtIsRealized(w->work_form)) {
    Dimension wd = 0, ht = 0;
    XtVaGetValues(w->work_form, XmNwidth, &wd, XmNheight, &ht, nullptr);
    Position rx = 0, ry = 0;
    XtTranslateCoords(w->work_form, Position(wd / 2), Position(ht / 2), &rx, &ry);
    x = rx;
    y = ry;
  }
  PostAt(menu, x, y, unsigned(w->popup_button > 0 ? w->popup_button : 1));
}

Widget wutipmu(wu_window *w, wu_popup_menu *p) {
  auto *set = static_cast<wu_menu_set *>(p->menu_set);
  if (!set || !wu_reg_has(set, WU_REG_MENUSET) || !set->root || !w->work_form) return nullptr;
  Arg args[16];
  Cardinal n = 0;
  Colours(w, 2, args, &n);
  XtSetArg(args[n], XmNpopupEnabled, False); ++n;
  VisualArgs(args, &n);
  Widget menu = XmCreatePopupMenu(w->work_form, const_cast<char *>("PopupMenu"), args, n);
  if (!menu) return nullptr;
  XtAddCallback(XtParent(menu), XmNpopupCallback, PopupShown, w);
  XtAddCallback(XtParent(menu), XmNpopdownCallback, PopupGone, w);
  // Items are made as the window's menus are (traversal, icons and
  // mnemonics follow its menu mode).
  Build b{w, set->table, set->node_count, w->menu_mode, false};
  MakeItems(b, set->root, menu, 0, 0);
  return menu;
}

// A popup destroyed while it is up (its record or window released by host
// code meanwhile) ends the wait as a popdown would.  Once it has popped
// down (an item's handler may still be running, waiting on the user) its
// popdown is already queued: a second one would be left for the host's
// next read.
struct PopupWatch {
  wu_window *window;
  wu_reg_hold hold;
  bool destroyed;
  bool down;
};

void PopupDown(Widget, XtPointer client, XtPointer) { static_cast<PopupWatch *>(client)->down = true; }

void PopupDestroyed(Widget, XtPointer client, XtPointer) {
  auto *pw = static_cast<PopupWatch *>(client);
  pw->destroyed = true;
  if (!pw->down && wu_reg_alive(pw->hold)) wuxqwev(pw->window, kEvPopdown, nullptr, 0);
}

// The modal wait of a window popup: until a command (0) or the popdown.
// It also ends, as a cancel, when the window is released, the display is
// lost or a shut-down is asked for.
wu_status PopupWait(wu_window *w, Widget menu) {
  PopupWatch watch = {w, wu_reg_take(w), false, false};
  XtAddCallback(menu, XmNdestroyCallback, PopupDestroyed, &watch);
  XtAddCallback(XtParent(menu), XmNpopdownCallback, PopupDown, &watch);
  const wu_status st = wutpmio(w, WU_EV_COMMAND, kEvPopdown);
  if (!watch.destroyed && wu_x_ok()) {
    XtRemoveCallback(menu, XmNdestroyCallback, PopupDestroyed, &watch);
    XtRemoveCallback(XtParent(menu), XmNpopdownCallback, PopupDown, &watch);
  }
  return st;
}

// The choice popup's local loop: until the done flag is set (also by the
// menu's destruction), the window is released, the display is lost or a
// shut-down is asked for.
void ChoiceWait(volatile int32_t *done, wu_window *w) {
  const wu_reg_hold hold = wu_reg_take(w);
  wu_loop_enter();
  while (!*done && wu_reg_alive(hold) && wutturn(-1)) {
  }
  wu_loop_leave();
}

struct ChoiceState {
  volatile int32_t done = 0;
  bool destroyed = false;
  int32_t chosen = 0;
  wu_window *window = nullptr;
};

void ChoiceChosen(Widget w, XtPointer client, XtPointer) {
  auto *cs = static_cast<ChoiceState *>(client);
  XtPointer index = nullptr;
  XtVaGetValues(w, XmNuserData, &index, nullptr);
  cs->chosen = int32_t(reinterpret_cast<intptr_t>(index));
  cs->done = 1;
}

void ChoiceDestroyed(Widget, XtPointer client, XtPointer) {
  auto *cs = static_cast<ChoiceState *>(client);
  cs->destroyed = true;
  cs->done = 1;
}

void ChoiceGone(Widget, XtPointer client, XtPointer) {
  auto *cs = static_cast<ChoiceState *>(client);
  cs->done = 1;
  if (WindowKnown(cs->window) && cs->window->input) wuwFocusToQevinput(cs->window);
}

struct HelpText {
  wu_window *window;
  std::string text;
  bool pushed = false;
};

void HelpCrossing(Widget, XtPointer client, XEvent *event, Boolean *) {
  auto *h = static_cast<HelpText *>(client);
  if (!WindowKnown(h->window)) return;
  // The menu's pointer grab and its release cross windows without the
  // pointer moving: a popup that comes up under the pointer sees an Enter,
  // then a Leave of the grab while the pointer is still inside the item.
  if (event->xcrossing.mode != NotifyNormal) return;
  if (event->type == EnterNotify && !h->pushed) {
    h->pushed = wutpshm(h->window, h->text.data(), int32_t(h->text.size())) == WU_OK;
  } else if (event->type == LeaveNotify && h->pushed) {
    wutpopm(h->window);
    h->pushed = false;
  }
}

void DrainButtons() {
  XEvent ev;
  while (wu_x_ok() && XCheckMaskEvent(devb->display, ButtonPressMask | ButtonReleaseMask, &ev)) {
  }
}

// A drag or repeat on the window's current scroll bar ends before a choice
// popup takes the pointer.
void EndScrollBarDrag(wu_window *w) {
  wu_control *c = w->current_control;
  if (!c || !wu_reg_has(c, WU_REG_CONTROL) || (c->flags & WU_CTL_GRAYED)) return;
  const int32_t k = c->kind;
  if (k != WU_MT_BAR && k != WU_MT_BAR2 && k != WU_MT_SCALE && k != WU_MT_SCALE2 &&
      k != WU_MT_PANE_VBAR && k != WU_MT_PANE_HBAR)
    return;
  Widget bar = reinterpret_cast<wu_bar *>(c)->widget;
  if (!bar || !QevIsSbar(bar)) return;
  XtSetSensitive(bar, False);
  XtSetSensitive(bar, True);
}

std::vector<wu_batch_choice> BatchRows(const wu_choice_entry *e, int32_t count) {
  std::vector<wu_batch_choice> rows;
  rows.resize(size_t(count));
  for (int32_t i = 0; i < count; ++i) {
    rows[size_t(i)].text = e[i].label;
    rows[size_t(i)].length = e[i].label_length;
    rows[size_t(i)].classifier = e[i].command_id;
    rows[size_t(i)].flags = e[i].flags;
    rows[size_t(i)].help = e[i].help;
    rows[size_t(i)].help_length = e[i].help_length;
    rows[size_t(i)].mnemonic = e[i].mnemonic;
  }
  return rows;
}

}  // namespace

extern "C" {

void wumfpwd(wu_popup_menu *p) {
  if (p && p->widget && wu_x_ok()) XtDestroyWidget(XtParent(p->widget));
  if (p) p->widget = nullptr;
}

wu_status wuxdpmu(wu_window *w, wu_popup_menu *p) {
  if (!WindowKnown(w) || !wu_reg_has(p, WU_REG_POPUP)) return WU_NOTAVAIL;
  wu_batch_driver *bd = wutgbat();
  if (bd && bd->mode == QEV_BATCH_REPLAY && bd->window_popup_replay) {
    void *win = nullptr;
    int32_t result = 0;
    if (bd->window_popup_replay(&win, &result) != WU_OK || win != w) return WU_MENU_LOAD_FAILED;
    return result;
  }
  if (!wu_x_ok()) return WU_NOTAVAIL;
  // The wait ends on a queued event: a command and the popdown need room.
  if (WU_EVQ_NODES - wutcqev(nullptr) < 2) {
    Refused(WU_QUEUE_FULL);
    return WU_QUEUE_FULL;
  }
  if (!p->widget) p->widget = wutipmu(w, p);
  if (!p->widget) return WU_NOTAVAIL;
  g_refused = WU_OK;
  SetPopupPosition(w, p->widget);
  XtVaSetValues(p->widget, XmNwhichButton, unsigned(w->popup_button > 0 ? w->popup_button : 1),
                nullptr);
  wu_reg_hold hw = wu_reg_take(w);
  wu_reg_hold hp = wu_reg_take(p);
  XtManageChild(p->widget);
  wu_status result = PopupWait(w, p->widget);
  if (!WindowKnown(w) || !wu_reg_alive(hw) || !wu_x_ok()) return WU_NOTAVAIL;
  if (result == WU_NOTAVAIL || result == WU_CANCELLED) return WU_NOTAVAIL;
  // The record released meanwhile: the menu closed without a choice.
  if (!wu_reg_alive(hp)) return WU_SECOND_EVENT;
  if (g_refused != WU_OK) result = g_refused;
  bd = wutgbat();
  if (bd && bd->mode == QEV_BATCH_RECORD && bd->window_popup_record)
    bd->window_popup_record(w, result);
  if (WindowKnown(w)) w->module_flags |= WU_WMOD_POPUP_SHOWN;
  return result;
}

int32_t wuxumnu(wu_window *w, const wu_choice_entry *entries, int32_t count) {
  if (!WindowKnown(w)) return WU_NOTAVAIL;
  if (!entries || count <= 0 || count > WU_PMENU_MAX_ITEMS) return 0;
  std::vector<wu_batch_choice> rows = BatchRows(entries, count);
  wu_batch_driver *bd = wutgbat();
  if (bd && bd->mode == QEV_BATCH_REPLAY && bd->choice_replay) {
    void *win = nullptr;
    int32_t result = 0;
    if (bd->choice_replay(&win, &result, rows.data(), count) != WU_OK || win != w) return 0;
    return (result >= 0 && result <= count) ? result : 0;
  }
  if (!wu_x_ok() || !w->work_form) return 0;
  EndScrollBarDrag(w);
  ChoiceState cs;
  cs.window = w;
  Arg args[20];
  Cardinal n = 0;
  Colours(w, WU_CSET_DIALOG, args, &n);
  XtSetArg(args[n], XmNpopupEnabled, False); ++n;
  XtSetArg(args[n], XmNwhichButton, unsigned(w->popup_button > 0 ? w->popup_button : 1)); ++n;
  XtSetArg(args[n], XmNtraversalOn, True); ++n;
  VisualArgs(args, &n);
  Widget menu = XmCreatePopupMenu(w->work_form, const_cast<char *>("PopupMenu"), args, n);
  if (!menu) return 0;
  XtAddCallback(XtParent(menu), XmNpopdownCallback, ChoiceGone, &cs);
  XtAddCallback(menu, XmNdestroyCallback, ChoiceDestroyed, &cs);
  std::vector<HelpText *> helps;
  std::vector<Pixmap> icons;
  for (int32_t i = 0; i < count; ++i) {
    const wu_choice_entry &e = entries[i];
    int32_t len = e.label_length < 0 ? 0 : e.label_length;
    if (len > WU_CHOICE_LABEL_MAX) len = WU_CHOICE_LABEL_MAX;
    std::string label(size_t(len), ' ');
    for (int32_t k = 0; e.label && k < len; ++k) label[size_t(k)] = e.label[k] ? e.label[k] : ' ';
    XmString s = wumtstr(label.c_str());
    if (!s) break;
    n = 0;
    XtSetArg(args[n], XmNlabelString, s); ++n;
    XtSetArg(args[n], XmNalignment, XmALIGNMENT_BEGINNING); ++n;
    XtSetArg(args[n], XmNuserData, XtPointer(intptr_t(i + 1))); ++n;
    if (devb->font_list) { XtSetArg(args[n], XmNfontList, devb->font_list); ++n; }
    XtSetArg(args[n], XmNtraversalOn, True); ++n;
    XtSetArg(args[n], XmNsensitive, !(e.grayed || (e.flags & WU_CHOICE_GRAYED))); ++n;
    Colours(w, WU_CSET_DIALOG, args, &n);
    if (e.mnemonic && devb->prefs.pmenu_mnemonics) MnemonicArgs(e.mnemonic, args, &n);
    Widget item;
    if (e.flags & WU_CHOICE_TOGGLE) {
      XtSetArg(args[n], XmNindicatorType, XmONE_OF_MANY); ++n;
      XtSetArg(args[n], XmNset, True); ++n;
      item = XmCreateToggleButton(menu, const_cast<char *>("ToggleButton"), args, n);
      if (item) XtAddCallback(item, XmNvalueChangedCallback, ChoiceChosen, &cs);
    } else {
      item = XmCreatePushButton(menu, const_cast<char *>("PushButton"), args, n);
      if (item) XtAddCallback(item, XmNactivateCallback, ChoiceChosen, &cs);
    }
    XmStringFree(s);
    if (!item) break;
    if (!(e.flags & WU_CHOICE_TOGGLE) && !devb->prefs.suppress_menu_icons) {
      const int32_t icon = e.command_id ? yucc2ic(e.command_id) : 0;
      Pixmap mask = None;
      Pixmap pix = icon > 0 ? wutgttp(icon, kIconSize, &mask) : None;
      if (pix != None) {
        if (mask != None) XFreePixmap(devb->display, mask);
        icons.push_back(pix);
        XtVaSetValues(item, XmNlabelPixmap, pix, XmNmarginLeft, kIconMargin, nullptr);
        XtAddEventHandler(item, ExposureMask, False, wuwmdrw,
                          reinterpret_cast<XtPointer>(kDrawPopupLabel));
      }
    }
    if (e.help && e.help_length > 0) {
      auto *h = new HelpText{w, std::string(e.help, size_t(e.help_length))};
      helps.push_back(h);
      XtAddEventHandler(item, EnterWindowMask | LeaveWindowMask, False, HelpCrossing, h);
    }
    XtManageChild(item);
    if (e.flags & WU_CHOICE_SEPARATOR) {
      Widget sep = MakeSeparator(w, menu);
      if (sep) XtManageChild(sep);
    }
  }
  SetPopupPosition(w, menu);
  wu_reg_hold hw = wu_reg_take(w);
  XtManageChild(menu);
  ChoiceWait(&cs.done, w);
  DrainButtons();
  const bool alive = WindowKnown(w) && wu_reg_alive(hw);
  if (wu_x_ok() && !cs.destroyed) {
    XtRemoveCallback(menu, XmNdestroyCallback, ChoiceDestroyed, &cs);
    XtRemoveCallback(XtParent(menu), XmNpopdownCallback, ChoiceGone, &cs);
    // What Motif keeps for drawing the items goes with them.
    wumdxft(XtParent(menu));
    XtDestroyWidget(XtParent(menu));
    for (Pixmap p : icons) XFreePixmap(devb->display, p);
  }
  for (HelpText *h : helps) {
    if (h->pushed && alive) wutpopm(w);
    delete h;
  }
  // A window released or a module ended meanwhile: nothing was chosen
  // for it, and nothing of it is touched.
  if (!alive || !wu_x_ok()) return WU_NOTAVAIL;
  bd = wutgbat();
  if (bd && bd->mode == QEV_BATCH_RECORD && bd->choice_record)
    bd->choice_record(w, cs.chosen, rows.data(), count);
  w->module_flags |= WU_WMOD_POPUP_SHOWN;
  return cs.chosen;
}

}  // extern "C"

// ---- menu dialogs ------------------------------------------------------------

namespace {

const int32_t kMinColumns = 30;
const int kDialogMargin = 10;
const int kManageDialogBatch = 20;
const int32_t kMsgTooLong = 646;
const int32_t kCloseSet = 526, kCloseNumber = 2;
const int32_t kOkCancelColours = 6;
// The module's button texts (set 526).
const int32_t kMsgOk = 12, kMsgCancel = 10;

// A compound string of message (526, number), else of the default.
XmString MessageString(int32_t number, const char *fallback) {
  char *m = wuxgmft(kMsgSet, number);
  XmString s = wumtstr(m && m[0] ? m : fallback);
  if (m) vmfree_handler(wu_module_pool(), m, int32_t(std::strlen(m)) + 1, 0);
  return s;
}

// The window's dialog block: counts, then the widgets in one allocation.
struct DialogBlock {
  Widget dialog;
  int32_t size;
  int32_t inputs, checks, radios, choices;
  Widget *input;        // inputs + 1: the OK button last
  Widget *check;
  int32_t *radio_first; // two words per radio box
  int32_t *radio_count;
  Widget *choice;
};

const uint8_t *Record(const wu_menu_node *node, int32_t at) {
  return reinterpret_cast<const uint8_t *>(node->text) + at;
}

int32_t RecordLength(const uint8_t *r) {
  return (r[3] == WU_MDLG_INPUT || r[3] == WU_MDLG_RADIOBOX) ? WU_MDLG_ITEM_SIZE
                                                             : WU_MDLG_ITEM_SIZE + r[2];
}

std::string RecordText(const uint8_t *r) {
  std::string s(reinterpret_cast<const char *>(r + WU_MDLG_ITEM_SIZE), r[2]);
  while (!s.empty() && s.back() == '\0') s.pop_back();
  return s;
}

// The value record that follows a choice or check box, when it has text.
const uint8_t *ValueRecord(const wu_menu_node *node, int32_t next, int32_t type) {
  const int32_t t = node->header[WU_MH_TEXT];
  if (next + WU_MDLG_ITEM_SIZE > t) return nullptr;
  const uint8_t *v = Record(node, next);
  if (v[3] != type || next + RecordLength(v) > t || v[2] == 0) return nullptr;
  return v;
}

int g_dialog_up = 0;

void FreeDialog(wu_window *w) {
  auto *b = static_cast<DialogBlock *>(w->dialog_block);
  if (!b) return;
  w->dialog_block = nullptr;
  w->dialog_node = nullptr;
  w->dialog_inputs = 0;
  Widget dialog = b->dialog;
  vmfree_handler(w->pool, b, b->size, 0);
  if (dialog && wu_x_ok()) XtDestroyWidget(XtParent(dialog));
}

}  // namespace

extern "C" {

void wuwcdlc(Widget button, XtPointer client, XtPointer) {
  auto *w = static_cast<wu_window *>(client);
  if (!WindowKnown(w) || !w->dialog_block) return;
  auto *b = static_cast<DialogBlock *>(w->dialog_block);
  auto *node = static_cast<wu_menu_node *>(w->dialog_node);
  // The message box and the window's own handler below may release the
  // window (and its dialog with it): the hold tells afterwards.
  const wu_reg_hold hold = wu_reg_take(w);
  g_dialog_up = 0;
  XtUnmanageChild(b->dialog);
  if (node && button == b->input[b->inputs]) {
    std::vector<std::string> in(size_t(b->inputs)), rd(size_t(b->radios)), ck(size_t(b->checks));
    std::vector<const char *> inp, rdp, ckp;
    for (int32_t i = 0; i < b->inputs; ++i) {
      char *s = XmTextGetString(b->input[i]);
      in[size_t(i)] = s ? s : "";
      XtFree(s);
      inp.push_back(in[size_t(i)].c_str());
    }
    for (int32_t r = 0; r < b->radios; ++r) {
      const char *v = nullptr;
      for (int32_t k = 0; k < b->radio_count[r]; ++k) {
        Widget t = b->choice[b->radio_first[r] + k];
        if (!XmToggleButtonGetState(t)) continue;
        XtPointer rec = nullptr;
        XtVaGetValues(t, XmNuserData, &rec, nullptr);
        auto *rp = static_cast<const uint8_t *>(rec);
        if (rp && rp[5] == 0) {
          rd[size_t(r)] = RecordText(rp);
          v = rd[size_t(r)].c_str();
        }
      }
      rdp.push_back(v);
    }
    for (int32_t c = 0; c < b->checks; ++c) {
      const char *v = nullptr;
      if (XmToggleButtonGetState(b->check[c])) {
        XtPointer rec = nullptr;
        XtVaGetValues(b->check[c], XmNuserData, &rec, nullptr);
        if (rec) {
          ck[size_t(c)] = RecordText(static_cast<const uint8_t *>(rec));
          v = ck[size_t(c)].c_str();
        }
      }
      ckp.push_back(v);
    }
    char result[WU_MDLG_RESULT_MAX + 1];
    const int32_t len = wumdtpl(node->templ, inp.data(), b->inputs, rdp.data(), b->radios,
                                ckp.data(), b->checks, result, sizeof result);
    if (len > WU_MDLG_RESULT_MAX) {
      wumpmmh(w->outer, w, kCloseSet, kMsgTooLong, WU_MSGB_OK, nullptr);
    } else {
      if (w->local_handler) reinterpret_cast<LocalHandlerFn>(w->local_handler)(w, result);
      else if (wuxqcmd(w, result, len, 1, 1, 0) != WU_OK) {
        wutlogf(QEV_LOG_WARNING, "A menu dialog's command could not be queued.");
        wutalrm();
      }
    }
  }
  if (!wu_reg_alive(hold) || !wu_x_ok() || w->dialog_block != b) return;
  FreeDialog(w);
  wutsbsy(0);
  wutsync(1, 0);
}

wu_status wuwmdlg(wu_window *w, const char *title, wu_menu_node *node) {
  if (!WindowKnown(w) || !node || node->header[WU_MH_KIND] != WU_MNODE_DIALOG || !wu_x_ok())
    return WU_NOTAVAIL;
  if (w->dialog_block) return WU_NOTAVAIL;   // one menu dialog per window at a time
  XmString x = XmStringCreateLocalized(const_cast<char *>("X"));
  const int cw = std::max(1, int(XmStringWidth(devb->font_list, x)));
  const int ch = int(XmStringHeight(devb->font_list, x)) + 6;
  XmStringFree(x);
  // Layout pass: extent and counts.
  const int32_t t = node->header[WU_MH_TEXT];
  int32_t right = kMinColumns, bottom = 1, rb_row = 1, rb_col = 1;
  int32_t inputs = 0, checks = 0, radios = 0, choices = 0, input_chars = 0;
  for (int32_t at = 0; at + WU_MDLG_ITEM_SIZE <= t;) {
    const uint8_t *r = Record(node, at);
    if (r[3] > WU_MDLG_CHECK_VALUE) return r[3];
    const int32_t len = RecordLength(r);
    if (at + len > t) break;
    int32_t row = r[0], col = r[1], span = r[2] + 1;
    switch (r[3]) {
      case WU_MDLG_INPUT: ++inputs; input_chars += r[2]; break;
      case WU_MDLG_RADIOBOX: ++radios; rb_row = r[0]; rb_col = r[1]; span = r[5]; break;
      case WU_MDLG_CHOICE:
      case WU_MDLG_CHOICE_SET: ++choices; row += rb_row - 1; col += rb_col - 1; break;
      case WU_MDLG_CHECK_SET:
      case WU_MDLG_CHECK: ++checks; break;
      default: break;
    }
    if (r[3] != WU_MDLG_CHOICE_VALUE && r[3] != WU_MDLG_CHECK_VALUE) {
      right = std::max(right, col - 1 + span);
      bottom = std::max(bottom, row);
    }
    at += len;
  }
  const int32_t size = int32_t(sizeof(DialogBlock)) +
                       int32_t(sizeof(Widget)) * (inputs + 1 + checks + choices) +
                       int32_t(sizeof(int32_t)) * 2 * radios + input_chars + 1;
  auto *b = static_cast<DialogBlock *>(vmalcp_handler(w->pool, size, WU_MEM_CLEAR));
  if (!b) return WU_NOMEM;
  b->size = size;
  b->input = reinterpret_cast<Widget *>(b + 1);
  b->check = b->input + inputs + 1;
  b->choice = b->check + checks;
  b->radio_first = reinterpret_cast<int32_t *>(b->choice + choices);
  b->radio_count = b->radio_first + radios;
  char *blank = reinterpret_cast<char *>(b->radio_count + radios);
  std::memset(blank, ' ', size_t(input_chars));
  const int width = (right + 1) * cw + 20, height = (bottom + 3) * ch + 20;
  Arg args[32];
  Cardinal n = 0;
  Colours(w, kOkCancelColours, args, &n);
  XmString st = wumtstr(title ? title : "");
  XtSetArg(args[n], XmNautoUnmanage, False); ++n;
  XtSetArg(args[n], XmNdialogStyle, XmDIALOG_FULL_APPLICATION_MODAL); ++n;
  XtSetArg(args[n], XmNdialogTitle, st); ++n;
  XtSetArg(args[n], XmNnoResize, True); ++n;
  XtSetArg(args[n], XmNresizePolicy, XmRESIZE_GROW); ++n;
  XtSetArg(args[n], XmNheight, Dimension(height)); ++n;
  XtSetArg(args[n], XmNwidth, Dimension(width)); ++n;
  XtSetArg(args[n], XmNmarginWidth, kDialogMargin); ++n;
  XtSetArg(args[n], XmNmarginHeight, kDialogMargin); ++n;
  XtSetArg(args[n], XmNuserData, w); ++n;
  if (devb->font_list) {
    XtSetArg(args[n], XmNtextFontList, devb->font_list); ++n;
    XtSetArg(args[n], XmNbuttonFontList, devb->font_list); ++n;
    XtSetArg(args[n], XmNlabelFontList, devb->font_list); ++n;
  }
  Widget parent = w->mode == 1 ? wumaws(w->session) : w->outer;
  // A Motif window manager draws the border with the title; others are
  // asked for both.
  const bool mwm = parent && XmIsMotifWMRunning(parent);
  XtSetArg(args[n], XmNmwmFunctions, MWM_FUNC_MOVE); ++n;
  XtSetArg(args[n], XmNmwmDecorations, mwm ? MWM_DECOR_TITLE : MWM_DECOR_TITLE | MWM_DECOR_BORDER); ++n;
  VisualArgs(args, &n);
  Widget dialog = parent ? XmCreateBulletinBoardDialog(parent, const_cast<char *>("menuDialog"), args, n)
                         : nullptr;
  XmStringFree(st);
  if (!dialog) {
    vmfree_handler(w->pool, b, size, 0);
    return WU_NOTAVAIL;
  }
  b->dialog = dialog;
  b->inputs = inputs;
  b->checks = checks;
  b->radios = radios;
  b->choices = choices;
  w->dialog_block = b;
  w->dialog_node = node;
  w->dialog_inputs = inputs;
  // Creation pass.
  std::vector<Widget> made;
  Widget radio = nullptr, focus = nullptr;
  int32_t ni = 0, nc = 0, nr = 0, nch = 0;
  const int x0 = kDialogMargin, y0 = kDialogMargin;
  for (int32_t at = 0; at + WU_MDLG_ITEM_SIZE <= t;) {
    const uint8_t *r = Record(node, at);
    const int32_t len = RecordLength(r);
    if (at + len > t) break;
    const int x = (r[1] - 1) * cw + x0, y = (r[0] - 1) * ch + y0;
    const std::string text = len > WU_MDLG_ITEM_SIZE ? RecordText(r) : std::string();
    Widget made_w = nullptr;
    n = 0;
    XtSetArg(args[n], XmNx, x); ++n;
    XtSetArg(args[n], XmNy, y); ++n;
    switch (r[3]) {
      case WU_MDLG_LABEL: {
        XmString s = wumtstr(text.c_str());
        XtSetArg(args[n], XmNlabelString, s); ++n;
        XtSetArg(args[n], XmNalignment, XmALIGNMENT_BEGINNING); ++n;
        XtSetArg(args[n], XmNwidth, Dimension(std::max(1, cw * r[2]))); ++n;
        XtSetArg(args[n], XmNheight, Dimension(ch)); ++n;
        XtSetArg(args[n], XmNmarginWidth, 0); ++n;
        XtSetArg(args[n], XmNmarginHeight, 0); ++n;
        XtSetArg(args[n], XmNrecomputeSize, False); ++n;
        made_w = devb->motifres.dialog_use_gadgets
                     ? XmCreateLabelGadget(dialog, const_cast<char *>("dlgText"), args, n)
                     : XmCreateLabel(dialog, const_cast<char *>("dlgText"), args, n);
        XmStringFree(s);
        break;
      }
      case WU_MDLG_INPUT:
        XtSetArg(args[n], XmNmaxLength, int(r[2])); ++n;
        XtSetArg(args[n], XmNcolumns, short(std::max(1, int(r[2])))); ++n;
        XtSetArg(args[n], XmNheight, Dimension(ch + 4)); ++n;
        XtSetArg(args[n], XmNmarginHeight, 0); ++n;
        XtSetArg(args[n], XmNhighlightThickness, 1); ++n;
        XtSetArg(args[n], XmNshadowThickness, 2); ++n;
        XtSetArg(args[n], XmNuserData, w); ++n;
        XtSetArg(args[n], XmNnavigationType, XmTAB_GROUP); ++n;
        made_w = XmCreateText(dialog, const_cast<char *>("dlgInput"), args, n);
        if (made_w && ni < inputs) b->input[ni++] = made_w;
        if (!focus) focus = made_w;
        break;
      case WU_MDLG_RADIOBOX:
        XtSetArg(args[n], XmNorientation, XmHORIZONTAL); ++n;
        XtSetArg(args[n], XmNpacking, XmPACK_NONE); ++n;
        XtSetArg(args[n], XmNborderWidth, 1); ++n;
        XtSetArg(args[n], XmNshadowThickness, 0); ++n;
        XtSetArg(args[n], XmNradioBehavior, True); ++n;
        XtSetArg(args[n], XmNresizeWidth, True); ++n;
        XtSetArg(args[n], XmNresizeHeight, True); ++n;
        made_w = XmCreateRowColumn(dialog, const_cast<char *>("dlgRadioBox"), args, n);
        radio = made_w;
        if (made_w && nr < radios) {
          b->radio_first[nr] = nch;
          b->radio_count[nr] = 0;
          ++nr;
        }
        if (!focus) focus = made_w;
        break;
      case WU_MDLG_CHOICE:
      case WU_MDLG_CHOICE_SET: {
        if (!radio || nr == 0) break;
        const uint8_t *value = ValueRecord(node, at + len, WU_MDLG_CHOICE_VALUE);
        // The value stands for the choice in the command, and so does the
        // choice's mark that it adds nothing.
        if (value) const_cast<uint8_t *>(value)[5] = r[5];
        XmString s = wumtstr(text.c_str());
        n = 0;
        XtSetArg(args[n], XmNx, (r[1] - 1) * cw); ++n;
        XtSetArg(args[n], XmNy, (r[0] - 1) * ch); ++n;
        XtSetArg(args[n], XmNlabelString, s); ++n;
        XtSetArg(args[n], XmNindicatorType, XmONE_OF_MANY); ++n;
        XtSetArg(args[n], XmNset, r[3] == WU_MDLG_CHOICE_SET); ++n;
        XtSetArg(args[n], XmNheight, Dimension(std::max(1, ch - 2))); ++n;
        XtSetArg(args[n], XmNuserData, XtPointer(value ? value : r)); ++n;
        made_w = devb->motifres.dialog_use_gadgets
                     ? XmCreateToggleButtonGadget(radio, const_cast<char *>(text.c_str()), args, n)
                     : XmCreateToggleButton(radio, const_cast<char *>(text.c_str()), args, n);
        XmStringFree(s);
        if (made_w && nch < choices) {
          b->choice[nch++] = made_w;
          b->radio_count[nr - 1]++;
          XtManageChild(made_w);
          made_w = nullptr;
        }
        break;
      }
      case WU_MDLG_CHECK_SET:
      case WU_MDLG_CHECK: {
        const uint8_t *value = ValueRecord(node, at + len, WU_MDLG_CHECK_VALUE);
        XmString s = wumtstr(text.c_str());
        XtSetArg(args[n], XmNlabelString, s); ++n;
        XtSetArg(args[n], XmNindicatorType, XmN_OF_MANY); ++n;
        XtSetArg(args[n], XmNset, r[3] == WU_MDLG_CHECK_SET); ++n;
        XtSetArg(args[n], XmNheight, Dimension(ch)); ++n;
        XtSetArg(args[n], XmNuserData, XtPointer(value ? value : r)); ++n;
        made_w = XmCreateToggleButton(dialog, const_cast<char *>(text.c_str()), args, n);
        XmStringFree(s);
        if (made_w && nc < checks) b->check[nc++] = made_w;
        if (!focus) focus = made_w;
        break;
      }
      default:
        break;
    }
    if (made_w) made.push_back(made_w);
    if (made.size() >= size_t(kManageDialogBatch)) {
      XtManageChildren(made.data(), Cardinal(made.size()));
      made.clear();
    }
    at += len;
  }
  if (!made.empty()) XtManageChildren(made.data(), Cardinal(made.size()));
  b->inputs = ni;
  b->checks = nc;
  b->radios = nr;
  b->choices = nch;
  // Buttons.
  XmString ok = MessageString(kMsgOk, "OK");
  XmString cancel = MessageString(kMsgCancel, "Cancel");
  const int bw = std::max(XmStringWidth(devb->font_list, ok), XmStringWidth(devb->font_list, cancel)) + 20;
  int gap = (width - 2 * (bw + 10)) / 3;
  if (gap < 0) gap = cw;
  const int by = (bottom + 1) * ch + 10;
  Widget buttons[2];
  const char *names[2] = {"dlgOKButton", "dlgCancelButton"};
  XmString labels[2] = {ok, cancel};
  for (int i = 0; i < 2; ++i) {
    n = 0;
    XtSetArg(args[n], XmNlabelString, labels[i]); ++n;
    XtSetArg(args[n], XmNx, i == 0 ? gap : 2 * gap + bw); ++n;
    XtSetArg(args[n], XmNy, by); ++n;
    XtSetArg(args[n], XmNwidth, Dimension(bw)); ++n;
    XtSetArg(args[n], XmNhighlightOnEnter, True); ++n;
    XtSetArg(args[n], XmNhighlightThickness, 2); ++n;
    buttons[i] = XmCreatePushButton(dialog, const_cast<char *>(names[i]), args, n);
    XtAddCallback(buttons[i], XmNactivateCallback, wuwcdlc, w);
  }
  XmStringFree(ok);
  XmStringFree(cancel);
  b->input[b->inputs] = buttons[0];
  XtVaSetValues(dialog, XmNdefaultButton, buttons[0], XmNcancelButton, buttons[1], nullptr);
  XtManageChildren(buttons, 2);
  XtManageChild(dialog);
  if (focus) XmProcessTraversal(focus, XmTRAVERSE_CURRENT);
  g_dialog_up = 1;
  wutsbsy(1);
  return WU_OK;
}

void wuwodlc(Widget item, XtPointer client, XtPointer) {
  wu_window *w = ItemWindow(item);
  auto *node = static_cast<wu_menu_node *>(client);
  wu_menu_item_ctx *ctx = ItemContext(item);
  if (!w || !node || !ctx || !TableLive(w, ctx->table)) return;
  XmString s = nullptr;
  XtVaGetValues(item, XmNlabelString, &s, nullptr);
  char *title = s ? wumgstr(s) : nullptr;
  if (s) XmStringFree(s);
  wuwmdlg(w, title ? title : "", node);
  XtFree(title);
}

int32_t wummcls(wu_window *w) {
  static const wu_state *tried = nullptr;
  wu_state *st = wu_module();
  if (!st || !WindowKnown(w)) return 0;
  if (tried != st) {
    tried = st;
    wu_menu_node *node = nullptr;
    char *title = nullptr;
    if (wuxgmdg(kCloseSet, kCloseNumber, &node, &title) == WU_OK) {
      st->close_node = node;
      st->close_title = title;
    }
  }
  if (!st->close_node) return 0;
  return wuwmdlg(w, st->close_title, static_cast<wu_menu_node *>(st->close_node)) == WU_OK;
}

// A window that goes takes its menu dialog with it.
void wumfdlw(wu_window *w) {
  if (w && w->dialog_block) {
    g_dialog_up = 0;
    FreeDialog(w);
    wutsbsy(0);
  }
}

}  // extern "C"

// ---- message popup -------------------------------------------------------------

extern "C" int32_t wumhpop(Widget w, char **labels, int32_t count, const int32_t *enabled,
                           const char *mnemonics, const int32_t *command_ids);

namespace {
const int32_t kMsgTerminator = 293;
const int32_t kMessagePopupMax = 64;
const char kUnused[] = "UNUSED";
}  // namespace

extern "C" int32_t wummpop(void *widget, int32_t set, int32_t first, const int32_t *enabled) {
  qev_pool *pool = wu_module_pool();
  if (!pool) return 0;
  char *term = wuxgmft(kMsgSet, kMsgTerminator);
  std::string end = term ? term : kUnused;
  if (term) vmfree_handler(pool, term, int32_t(std::strlen(term)) + 1, 0);
  std::vector<char *> labels;
  for (int32_t i = 0; i < kMessagePopupMax; ++i) {
    char *m = wuxgmft(set, first + i);
    if (!m) break;
    const bool last = std::strlen(m) >= end.size() &&
                      wzbcup(m, end.c_str(), int32_t(end.size())) == 0 &&
                      std::strlen(m) == end.size();
    if (last) {
      vmfree_handler(pool, m, int32_t(std::strlen(m)) + 1, 0);
      break;
    }
    labels.push_back(m);
  }
  int32_t chosen = labels.empty() ? 0
                                  : wumhpop(static_cast<Widget>(widget), labels.data(),
                                            int32_t(labels.size()), enabled, nullptr, nullptr);
  for (char *m : labels) vmfree_handler(pool, m, int32_t(std::strlen(m)) + 1, 0);
  return chosen > 0 ? first + chosen - 1 : 0;
}
