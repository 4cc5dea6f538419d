// The Tool Editor's work on its private copy of a tool box: the preview's
// buttons, selecting, inserting, adding, deleting and moving tools, the text
// fields and the tools per row; the icon chooser and the action list that
// fill in the selected tool.
#include <X11/IntrinsicP.h>
#include <Xm/List.h>
#include <Xm/PushB.h>
#include <Xm/RowColumn.h>
#include <Xm/ScrolledW.h>
#include <Xm/TextF.h>
#include <Xm/Xm.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "commands/wucmds.h"
#include "controls/wucombo.h"
#include "frames/wutframe.h"
#include "toolbox/wumtled.h"
#include "runtime/wudevice.h"
#include "runtime/wuhost.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"
#include "xd/IconList.h"

// The string popup of the controls layer: index + 1 of the chosen label.
extern "C" int32_t wumhpop(Widget w, char **labels, int32_t count, const int32_t *enabled,
                           const char *mnemonics, const int32_t *command_ids);

namespace {

const char kToolTranslations[] =
    "      <Btn1Down>: PushMeToolBarButton() \n      <Btn1Down>(2+): DoubleClickToolBar()";
const char kIconTranslations[] =
    "       <Btn1Down>: PushMeBrowserButton() \n       <Btn1Down>(2+): DoubleClickSelector()";
const char kSeparatorText[] = "-Separator-";
const char kSeparatorLabel[] = "|";
const char kNoMemory[] = "Unable to allocate memory!!!\n";
const int32_t kIconHighlight = 4;
const int32_t kScrollMargin = 10;
const int32_t kActionIcon = 16;
const int32_t kFirstUserImage = 1025;
const int32_t kPopupItems = 3;
const unsigned kModifierMask = ShiftMask | Mod1Mask;

wu_editor *Ed() { return wu_ed_gone(wu_ed) ? nullptr : wu_ed; }

bool SeparatorsShown() { return devb && devb->motifres.edit_toolbox_separators; }

bool IsSeparator(const wu_tool *t) { return t && t->icon == WU_TB_SEPARATOR_ICON; }

wu_tool *ToolAt(wu_toolbox *box, int32_t index) {
  wu_tool *t = box ? box->tools : nullptr;
  for (int32_t i = 0; t && i < index; ++i) t = t->next;
  return index < 0 ? nullptr : t;
}

int32_t IndexOf(wu_toolbox *box, const wu_tool *tool) {
  int32_t i = 0;
  for (wu_tool *t = box ? box->tools : nullptr; t; t = t->next, ++i)
    if (t == tool) return i;
  return -1;
}

wu_tool *ToolOf(wu_editor *ed, Widget button) {
  if (!button || !ed->copy) return nullptr;
  for (wu_tool *t = ed->copy->tools; t; t = t->next)
    if (t->button == button) return t;
  return nullptr;
}

wu_tool *Selected(wu_editor *ed) { return ToolOf(ed, ed->selected); }

int32_t RealTools(wu_toolbox *box) {
  int32_t n = 0;
  for (wu_tool *t = box->tools; t; t = t->next) n += !IsSeparator(t);
  return n;
}

// Shows a button pressed in (armed) or out, as Motif's own actions do.
void Arm(Widget b, bool on) {
  if (!b || !XtIsRealized(b) || b->core.being_destroyed) return;
  XEvent ev;
  std::memset(&ev, 0, sizeof ev);
  ev.xbutton.type = ButtonPress;
  ev.xbutton.display = XtDisplay(b);
  ev.xbutton.window = XtWindow(b);
  ev.xbutton.time = XtLastTimestampProcessed(XtDisplay(b));
  ev.xbutton.button = Button1;
  XtCallActionProc(b, const_cast<char *>(on ? "Arm" : "Disarm"), &ev, nullptr, 0);
}

XtTranslations Translations(const char *table) {
  return XtParseTranslationTable(table);
}

// Destroys a tool's button (its tip goes with it); the tool stays.
void DestroyButton(wu_tool *t) {
  if (t->button && wu_x_ok()) {
    wumdxft(t->button);
    XtDestroyWidget(t->button);
  }
  t->button = nullptr;
}

void FreeTool(wu_tool *t) {
  DestroyButton(t);
  t->next = nullptr;
  FreeToolPixmaps(t);
  FreeToolStrings(t);
  XtFree(reinterpret_cast<char *>(t));
}

void StopTip(wu_editor *ed) {
  if (ed->copy && ed->copy->tip_timer) {
    XtRemoveTimeOut(ed->copy->tip_timer);
    ed->copy->tip_timer = 0;
  }
}

char *CopyText(const char *text) { return text ? XtNewString(text) : nullptr; }

// The tool button of the preview.
void CreateToolWidget(Widget parent, wu_tool *t, int32_t position) {
  wu_colour_set cs = {};
  wuwgpmc(wu_ed->window, WU_CSET_DIALOG, &cs);
  static XtTranslations translations = nullptr;
  if (!translations) translations = Translations(kToolTranslations);
  Arg args[12];
  Cardinal n = 0;
  XtSetArg(args[n], XmNbackground, cs.background); ++n;
  XtSetArg(args[n], XmNforeground, cs.foreground); ++n;
  if (devb->font_list) { XtSetArg(args[n], XmNfontList, devb->font_list); ++n; }
  XmString sep = nullptr;
  if (IsSeparator(t) || !t->pixmap) {
    sep = wumcstr(IsSeparator(t) ? kSeparatorLabel : "");
    XtSetArg(args[n], XmNlabelType, XmSTRING); ++n;
    XtSetArg(args[n], XmNlabelString, sep); ++n;
  } else {
    XtSetArg(args[n], XmNlabelType, XmPIXMAP); ++n;
    XtSetArg(args[n], XmNlabelPixmap, t->pixmap); ++n;
  }
  XtSetArg(args[n], XmNtranslations, translations); ++n;
  XtSetArg(args[n], XmNhighlightThickness, 0); ++n;
  XtSetArg(args[n], XmNuserData, t); ++n;
  XtSetArg(args[n], XmNpositionIndex, position < 0 ? XmLAST_POSITION : position); ++n;
  t->button = XmCreatePushButton(parent, t->command ? t->command : const_cast<char *>(""), args, n);
  if (sep) XmStringFree(sep);
  if (!IsSeparator(t) || SeparatorsShown()) XtManageChild(t->button);
  if (devb->prefs.use_toolbox_tips)
    XtAddEventHandler(t->button, EnterWindowMask | LeaveWindowMask | FocusChangeMask, False, wumtlwn, t);
}

// Fills the preview with the copy's tools.
wu_status LoadTools(Widget parent, wu_toolbox *box) {
  if (!SeparatorsShown()) {
    bool removed = false;
    wu_tool **link = &box->tools;
    while (*link) {
      wu_tool *t = *link;
      if (!IsSeparator(t)) {
        link = &t->next;
        continue;
      }
      *link = t->next;
      FreeTool(t);
      --box->count;
      removed = true;
    }
    if (removed) box->per_row = box->count;
  }
  for (wu_tool *t = box->tools; t; t = t->next) {
    t->window = nullptr;
    if (t->icon < 0 && !IsSeparator(t)) t->icon = MapToNewPixid(t->icon);
    CreateToolWidget(parent, t, -1);
  }
  return box->count > 0 ? WU_OK : WU_NOTAVAIL;
}

void SetFieldsSensitive(wu_editor *ed, bool on) {
  for (Widget w : {ed->command, ed->help, ed->tip, ed->action}) XtSetSensitive(w, on);
}

void Arrows(wu_editor *ed, int32_t index) {
  const int32_t count = ed->copy->count;
  XtSetSensitive(ed->back, count > 0 && index > 0);
  XtSetSensitive(ed->forward, count > 0 && index < count - 1);
}

void Select(wu_editor *ed, wu_tool *tool) {
  if (ed->selected && ed->selected != tool->button) Arm(ed->selected, false);
  ed->selected = tool->button;
  ed->index = IndexOf(ed->copy, tool);
  Arm(tool->button, true);
  ed->updating = true;
  XtSetSensitive(ed->icon, True);
  XtSetSensitive(ed->command_id, True);
  char id[16];
  std::snprintf(id, sizeof id, "%d", tool->command_id);
  wu_ed_set_text(ed->command_id, id);
  if (!IsSeparator(tool)) {
    SetFieldsSensitive(ed, true);
    wu_ed_set_text(ed->command, tool->command);
    wu_ed_set_text(ed->help, tool->help);
    wu_ed_set_text(ed->tip, tool->tip);
  } else {
    SetFieldsSensitive(ed, false);
    for (Widget w : {ed->command, ed->help, ed->tip}) wu_ed_set_text(w, kSeparatorText);
  }
  ed->updating = false;
  Arrows(ed, ed->index);
}

// Nothing to select: every field and tool button of the editor rests.
void SelectNothing(wu_editor *ed) {
  ed->selected = nullptr;
  ed->index = 0;
  ed->updating = true;
  for (Widget w : {ed->command, ed->help, ed->tip, ed->command_id}) wu_ed_set_text(w, "");
  ed->updating = false;
  SetFieldsSensitive(ed, false);
  for (Widget w : {ed->command_id, ed->icon, ed->del, ed->back, ed->forward}) XtSetSensitive(w, False);
}

void Changed() { wu_edn.needs_save = true; }

int32_t PerRowValue(wu_editor *ed, int32_t step) {
  const int32_t count = ed->copy->count;
  char *text = XmTextFieldGetString(ed->per_row);
  const bool empty = !text || !*text;
  int32_t v = empty ? 0 : std::atoi(text);
  XtFree(text);
  if (empty || v < 1) v = count;
  else if (step == 0) v += 1;
  else if (step == 1) v -= 1;
  v = std::min(v, count);
  return v < 1 ? 1 : v;
}

void SetPerRow(int32_t step) {
  wu_editor *ed = Ed();
  if (!ed || !ed->copy) return;
  const int32_t v = PerRowValue(ed, step);
  ed->copy->per_row = v;
  RefreshSpinBox(ed->copy->count, v);
  RefreshToolBar(ed->index, 0);
  Changed();
}

// A tool's new icon, at the box's size.
void SetIcon(wu_editor *ed, wu_tool *tool, int32_t icon) {
  wu_toolbox *box = ed->copy;
  tool->icon = icon;
  uint8_t shared = 1;
  Pixmap p = wumtllp(icon, box->icon_width, box->icon_height, &shared);
  const Pixmap old = tool->pixmap;
  const bool old_shared = tool->shared_pixmap;
  tool->pixmap = p;
  tool->shared_pixmap = shared;
  tool->small_icon = box->icon_width == WU_ICON_BOX_SMALL;
  if (tool->button) {
    if (p) XtVaSetValues(tool->button, XmNlabelType, XmPIXMAP, XmNlabelPixmap, p, nullptr);
    else XtVaSetValues(tool->button, XmNlabelPixmap, XmUNSPECIFIED_PIXMAP, nullptr);
  }
  ReleaseToolPixmap(old, old_shared);
  Changed();
}

// ---- the icon chooser ---------------------------------------------------------

struct Category {
  int32_t message;
  std::vector<int32_t> icons;
};

std::vector<Category> Categories(wu_editor *ed) {
  std::vector<Category> out;
  const int32_t users = wutuicn();
  ed->user_category = users > 0;
  if (users > 0) {
    Category c{0, {}};
    for (int32_t i = 0; i < users; ++i) c.icons.push_back(kFirstUserImage + i);
    out.push_back(c);
  }
  for (const wu_icon_category *row = wutgcat(); row && row->message; ++row) {
    Category c{row->message, {}};
    for (const int32_t *i = row->icons; i && *i; ++i) c.icons.push_back(*i);
    out.push_back(c);
  }
  return out;
}

void BusyCursor(const std::initializer_list<Widget> &widgets, bool on) {
  if (!wu_x_ok()) return;
  Cursor c = on ? wutgcsr(WU_CURSOR_BUSY) : None;
  for (Widget w : widgets) {
    if (!w || !XtIsRealized(XtParent(w))) continue;
    if (on) XDefineCursor(devb->display, XtWindow(XtParent(w)), c);
    else XUndefineCursor(devb->display, XtWindow(XtParent(w)));
  }
  XFlush(devb->display);
}

void LoadIconCategory(wu_editor *ed, int32_t k);

Widget CategoryList(const wu_editor *ed) { return ed->categories ? ed->categories->list : nullptr; }

// The category combo's list fills once, in table order (the user category first).
void LoadBrowserIcons(wu_editor *ed) {
  std::vector<Category> cats = Categories(ed);
  ed->cache.assign(cats.size() + 2, std::vector<Pixmap>());
  ed->cache_loaded.assign(cats.size() + 2, false);
  if (Widget list = CategoryList(ed)) {
    for (const Category &c : cats) {
      XmString xs = c.message ? wumlstr(WU_ICON_CATEGORY_SET, c.message) : wu_ed_label(WU_HM_USER_ICONS);
      XmListAddItemUnselected(list, xs, 0);
      XmStringFree(xs);
    }
    SizePopupList(ed->categories);
  }
  ed->categories_loaded = true;
  wu_edn.icons_loaded = true;
}

// The category holding an icon (0-based) and the icon's place in it.
bool FindCategory(wu_editor *ed, int32_t icon, int32_t *category, int32_t *button) {
  std::vector<Category> cats = Categories(ed);
  for (size_t k = 0; k < cats.size(); ++k) {
    auto it = std::find(cats[k].icons.begin(), cats[k].icons.end(), icon);
    if (it == cats[k].icons.end()) continue;
    *category = int32_t(k);
    *button = int32_t(it - cats[k].icons.begin());
    return true;
  }
  return false;
}

// Selects a category (1-based) in the combo with notification: the combo
// shows its name and the name's change loads it (wumtlcb).
void SelectCategory(wu_editor *ed, int32_t position) {
  if (Widget list = CategoryList(ed)) XmListSelectPos(list, position, True);
  else LoadIconCategory(ed, position - 1);
}

bool FindAndSetCategory(wu_editor *ed, int32_t icon, int32_t *category, int32_t *button) {
  if (!FindCategory(ed, icon, category, button)) return false;
  SelectCategory(ed, *category + 1);
  return true;
}

void LoadIconCategory(wu_editor *ed, int32_t k) {
  std::vector<Category> cats = Categories(ed);
  if (k < 0 || size_t(k) >= cats.size() || size_t(k) >= ed->cache.size()) return;
  const bool mapped = XtIsRealized(ed->grid);
  if (mapped) XtUnmapWidget(ed->grid);
  const std::vector<int32_t> &icons = cats[size_t(k)].icons;
  if (!ed->cache_loaded[size_t(k)]) {
    for (int32_t id : icons) {
      Pixmap p = None;
      int32_t w = 0, h = 0;
      if (wutgpix(id, &devb->icon_colours, devb->depth, 0, &p, &w, &h) != WU_OK) p = None;
      ed->cache[size_t(k)].push_back(p);
    }
    ed->cache_loaded[size_t(k)] = true;
  }
  static XtTranslations translations = nullptr;
  if (!translations) translations = Translations(kIconTranslations);
  while (ed->pool.size() < icons.size()) {
    Arg args[8];
    Cardinal n = wu_ed_args(args, 0);
    XtSetArg(args[n], XmNlabelType, XmPIXMAP); ++n;
    XtSetArg(args[n], XmNhighlightThickness, kIconHighlight); ++n;
    XtSetArg(args[n], XmNtranslations, translations); ++n;
    ed->pool.push_back(XmCreatePushButton(ed->grid, const_cast<char *>("Button"), args, n));
  }
  for (size_t i = 0; i < ed->pool.size(); ++i) {
    Widget b = ed->pool[i];
    if (i < icons.size()) {
      const Pixmap p = ed->cache[size_t(k)][i];
      XtVaSetValues(b, XmNlabelPixmap, p ? p : XmUNSPECIFIED_PIXMAP, XmNuserData,
                    reinterpret_cast<XtPointer>(intptr_t(icons[i])), nullptr);
      XtManageChild(b);
    } else {
      XtUnmanageChild(b);
    }
  }
  ed->shown_category = k;
  if (mapped) XtMapWidget(ed->grid);
}

void ArmIcon(wu_editor *ed, Widget b) {
  if (ed->armed && ed->armed != b) Arm(ed->armed, false);
  ed->armed = b;
  if (!b) return;
  XtPointer data = nullptr;
  XtVaGetValues(b, XmNuserData, &data, nullptr);
  ed->chosen = int32_t(intptr_t(data));
  Arm(b, true);
}

void ShowIcon(wu_editor *ed, Widget b) {
  if (!b) return;
  if (XtIsRealized(ed->scroll)) XmScrollVisible(ed->scroll, b, kScrollMargin, kScrollMargin);
  if (XtIsRealized(b)) XmProcessTraversal(b, XmTRAVERSE_CURRENT);
}

int32_t ToolIcon(const wu_tool *t) { return t->icon < 0 ? MapToNewPixid(t->icon) : t->icon; }

void OpenChooser(wu_editor *ed, wu_tool *tool) {
  BusyCursor({ed->dialog, ed->preview}, true);
  const bool first = !ed->categories_loaded;
  if (first) LoadBrowserIcons(ed);
  int32_t k = -1, button = -1;
  const bool found = FindAndSetCategory(ed, ToolIcon(tool), &k, &button);
  if (!found && first) SelectCategory(ed, 1);
  if (wu_ed_gone(ed)) return;
  // The icon area opens at its full height whatever an earlier layout left;
  // set before the dialog is managed, so that the dialog is laid out around
  // it and the button row stays below it.
  XtVaSetValues(ed->scroll, XmNheight, WU_TE_CHOOSER_HEIGHT, nullptr);
  XtManageChild(ed->chooser);
  if (found && size_t(button) < ed->pool.size()) {
    ArmIcon(ed, ed->pool[size_t(button)]);
    ShowIcon(ed, ed->pool[size_t(button)]);
  } else {
    ArmIcon(ed, nullptr);
  }
  BusyCursor({ed->dialog, ed->preview}, false);
}

// ---- the action list ----------------------------------------------------------

void LoadActionList(wu_editor *ed) {
  std::vector<Pixmap> icons;
  std::vector<XmString> labels;
  std::vector<int32_t> ids;
  for (wu_tool *t = ed->toolset ? ed->toolset->tools : nullptr; t; t = t->next) {
    uint8_t shared = 1;
    Pixmap p = wumtllp(ToolIcon(t), kActionIcon, kActionIcon, &shared);
    if (p) ed->action_pixmaps.emplace_back(p, shared != 0);
    icons.push_back(p);
    labels.push_back(wumcstr(t->help ? t->help : ""));
    ids.push_back(int32_t(ids.size()) + 1);
  }
  if (!labels.empty())
    XdIconListAddItems(ed->action_list, icons.data(), labels.data(), ids.data(), int(labels.size()), 0);
  for (XmString s : labels) XmStringFree(s);
  if (!labels.empty()) XdIconListSelectPos(ed->action_list, 1, False);
  wu_edn.actions_loaded = true;
}

void ActionOk(wu_editor *ed) {
  int *positions = nullptr;
  int count = 0;
  if (!XdIconListGetSelectedPos(ed->action_list, &positions, &count) || count < 1) {
    XtFree(reinterpret_cast<char *>(positions));
    wutalrm();
    return;
  }
  const int pos = positions[0];
  XtFree(reinterpret_cast<char *>(positions));
  wu_tool *action = ed->toolset ? ToolAt(ed->toolset, pos - 1) : nullptr;
  wu_tool *tool = Selected(ed);
  if (!action || !tool || IsSeparator(tool)) {
    wutalrm();
    return;
  }
  // The fields' value-changed callbacks store the texts in the tool.
  wu_ed_set_text(ed->command, action->command);
  wu_ed_set_text(ed->help, action->help);
  wu_ed_set_text(ed->tip, action->tip);
  char id[16];
  std::snprintf(id, sizeof id, "%d", action->command_id);
  wu_ed_set_text(ed->command_id, id);
  SetIcon(ed, tool, ToolIcon(action));
  XtUnmanageChild(ed->actions);
}

}  // namespace

extern "C" {

int32_t MapToNewPixid(int32_t icon) {
  if (icon >= 0 || icon == WU_TB_SEPARATOR_ICON) return 0;
  return wumbimg(icon);
}

int32_t isaltpr(void) {
  if (!wu_x_ok()) return 0;
  Window root, child;
  int rx, ry, wx, wy;
  unsigned mask = 0;
  if (!XQueryPointer(devb->display, RootWindow(devb->display, 0), &root, &child, &rx, &ry, &wx, &wy, &mask))
    return 0;
  return (mask & kModifierMask) ? 1 : 0;
}

wu_status wumcptb(wu_toolbox *box, wu_toolbox *copy) {
  if (!wu_reg_has(box, WU_REG_TOOLBOX) || !wu_reg_has(copy, WU_REG_TOOLBOX) || copy->tools)
    return WU_NOTAVAIL;
  // The count must be the list's length and fit a stored header.
  int32_t length = 0;
  for (wu_tool *t = box->tools; t && length <= WU_TOOLS_MAX; t = t->next) ++length;
  if (box->count < 0 || box->count > WU_TOOLS_MAX || length != box->count) {
    xpslog(kNoMemory, int32_t(sizeof kNoMemory - 1));
    return WU_NOTAVAIL;
  }
  wu_tool_messages *messages = copy->messages ? copy->messages : box->messages;
  std::memcpy(copy->libref, box->libref, sizeof copy->libref);
  std::memcpy(copy->catalog, box->catalog, sizeof copy->catalog);
  std::memcpy(copy->entry, box->entry, sizeof copy->entry);
  copy->icon_width = box->icon_width;
  copy->icon_height = box->icon_height;
  copy->count = box->count;
  copy->per_row = std::max(1, std::min(box->per_row, std::max(box->count, 1)));
  copy->tips = box->tips;
  copy->tip_delay = box->tip_delay;
  copy->keep_on_top = box->keep_on_top;
  copy->messages = messages;
  copy->x = box->x;
  copy->y = box->y;
  copy->save_position = box->save_position;
  copy->own_location = 1;
  copy->load_default = box->load_default;
  copy->command_part = box->command_part;
  copy->tools_part = box->tools_part;
  copy->title = CopyText(box->title);
  wu_tool **tail = &copy->tools;
  for (wu_tool *s = box->tools; s; s = s->next) {
    auto *t = reinterpret_cast<wu_tool *>(XtCalloc(1, sizeof(wu_tool)));
    if (!IsSeparator(s)) {
      t->pixmap = wumtllp(s->icon, copy->icon_width, copy->icon_height, &t->shared_pixmap);
      t->small_icon = copy->icon_width == WU_ICON_BOX_SMALL;
    }
    t->icon = s->icon;
    t->box = copy;
    t->command_id = s->command_id;
    t->second = s->second;
    t->command = CopyText(s->command);
    t->help = CopyText(s->help);
    t->tip = CopyText(s->tip);
    *tail = t;
    tail = &t->next;
  }
  return WU_OK;
}

wu_status wumtedlt(Widget parent, wu_tool *) {
  wu_editor *ed = Ed();
  if (!ed || !ed->copy || !parent) return WU_NOTAVAIL;
  return LoadTools(parent, ed->copy);
}

void RefreshSpinBox(int32_t count, int32_t per_row) {
  wu_editor *ed = Ed();
  if (!ed) return;
  const int32_t shown = per_row > count ? count : per_row;
  XtSetSensitive(ed->up, shown != count);
  XtSetSensitive(ed->down, shown != 1 && count > 0);
  char text[16];
  std::snprintf(text, sizeof text, "%d", shown);
  wu_ed_set_text(ed->per_row, text);
}

void RefreshToolBar(int32_t index, int32_t rebuild) {
  wu_editor *ed = Ed();
  if (!ed || !ed->copy) return;
  wu_toolbox *c = ed->copy;
  if (rebuild && ed->preview_rowcol) {
    StopTip(ed);
    FreeToolWidgets(c->tools);
    ed->selected = nullptr;
    LoadTools(ed->preview_rowcol, c);
  }
  char l[WU_LIBREF_LEN], cat[WU_NAME34_LEN], e[WU_NAME34_LEN];
  wu_ed_catalog_names(l, cat, e);
  XtSetSensitive(ed->save, CanSaveToolBox(l, cat));
  if (c->count <= 0 || !c->tools) {
    SelectNothing(ed);
    return;
  }
  const int32_t per = c->per_row > 0 ? c->per_row : c->count;
  if (ed->preview_rowcol)
    XtVaSetValues(ed->preview_rowcol, XmNnumColumns, short((c->count + per - 1) / per), nullptr);
  if (index < 0 || index > c->count - 1) index = c->count - 1;
  wu_tool *t = ToolAt(c, index);
  if (!t || !t->button) return;
  XtSetSensitive(ed->del, RealTools(c) > 1 || IsSeparator(t));
  Select(ed, t);
}

void wumtlph(Widget w, XEvent *, String *, Cardinal *) {
  wu_editor *ed = Ed();
  if (!ed) return;
  wu_tool *t = ToolOf(ed, w);
  if (t) Select(ed, t);
}

void wumtldc(Widget w, XEvent *event, String *params, Cardinal *count) {
  wumtlph(w, event, params, count);
  wumtlic(w, reinterpret_cast<XtPointer>(intptr_t(WU_TE_ICON)), nullptr);
}

wu_tool *wumtlnw(void) {
  wu_editor *ed = Ed();
  if (!ed || !ed->copy) return nullptr;
  wu_toolbox *box = ed->copy;
  auto *t = reinterpret_cast<wu_tool *>(XtCalloc(1, sizeof(wu_tool)));
  t->box = box;
  t->icon = WU_TE_NEW_ICON;
  if (isaltpr()) {
    if (SeparatorsShown()) t->icon = WU_TE_ALT_ICON;
    else wutalrm();
  }
  if (box->icon_width == WU_ICON_BOX_SMALL) {
    t->pixmap = wumtllp(t->icon, box->icon_width, box->icon_height, &t->shared_pixmap);
    t->small_icon = 1;
  } else {
    int32_t w = 0, h = 0;
    if (wutgpix(t->icon, &devb->icon_colours, devb->depth, 0, &t->pixmap, &w, &h) != WU_OK) t->pixmap = None;
    t->shared_pixmap = 1;
  }
  return t;
}

wu_status wumtlin(wu_tool *tool, int32_t index) {
  wu_editor *ed = Ed();
  if (!ed || !ed->copy || !tool || index < 0 || index > ed->copy->count) return WU_NOTAVAIL;
  wu_tool **link = &ed->copy->tools;
  for (int32_t i = 0; i < index; ++i) {
    if (!*link) return WU_NOTAVAIL;
    link = &(*link)->next;
  }
  tool->next = *link;
  *link = tool;
  return WU_OK;
}

wu_status wumtldl(int32_t index) {
  wu_editor *ed = Ed();
  if (!ed || !ed->copy || index < 0 || index >= ed->copy->count) return WU_NOTAVAIL;
  wu_tool **link = &ed->copy->tools;
  for (int32_t i = 0; i < index; ++i) {
    if (!*link) return WU_NOTAVAIL;
    link = &(*link)->next;
  }
  wu_tool *t = *link;
  if (!t) return WU_NOTAVAIL;
  *link = t->next;
  StopTip(ed);
  if (ed->selected == t->button) ed->selected = nullptr;
  FreeTool(t);
  return WU_OK;
}

void wumtlad(Widget, XtPointer where, XtPointer) {
  wu_editor *ed = Ed();
  if (!ed || !ed->copy || !ed->preview_rowcol) return;
  wu_toolbox *c = ed->copy;
  if (c->count >= WU_TOOLS_MAX) {
    wutalrm();   // a stored header counts at most this many tools
    return;
  }
  wu_tool *t = wumtlnw();
  if (!t) return;
  bool separator = isaltpr() && SeparatorsShown();
  if (wu_edn.separator_asked) {
    separator = SeparatorsShown();
    wu_edn.separator_asked = false;
  }
  if (separator) {
    ReleaseToolPixmap(t->pixmap, t->shared_pixmap);
    t->pixmap = None;
    t->icon = WU_TB_SEPARATOR_ICON;
  }
  int32_t index = c->count > 0 ? ed->index : 0;
  if (intptr_t(where) == WU_TE_ADD && c->count > 0) ++index;
  CreateToolWidget(ed->preview_rowcol, t, index);
  if (wumtlin(t, index) != WU_OK) {
    FreeTool(t);
    return;
  }
  ++c->count;
  if (c->count > 1) XtSetSensitive(ed->del, True);
  if (c->per_row + 1 == c->count) {
    c->per_row = c->count;
    RefreshSpinBox(c->count, c->per_row);
  }
  if (c->per_row < 1) c->per_row = 1;
  RefreshToolBar(index, 0);
  if (XtIsRealized(ed->command)) XmProcessTraversal(ed->command, XmTRAVERSE_CURRENT);
  Changed();
}

void wuwtepp(Widget w, XtPointer where, XEvent *event, Boolean *go_on) {
  wu_editor *ed = Ed();
  if (!ed || event->type != ButtonPress || event->xbutton.button == Button1) return;
  *go_on = False;
  if (event->xbutton.button != Button3) return;
  char *labels[kPopupItems];
  for (int32_t i = 0; i < kPopupItems; ++i) {
    labels[i] = wuxgmft(WU_MSG_TOOL, WU_HM_POPUP_FIRST + i);
    if (!labels[i]) labels[i] = XtNewString("");
    else {
      char *own = XtNewString(labels[i]);
      wumfree(labels[i]);
      labels[i] = own;
    }
  }
  const int32_t enabled[kPopupItems] = {1, ed->toolset ? 1 : 0, SeparatorsShown() ? 1 : 0};
  const int32_t chosen = wumhpop(w, labels, kPopupItems, enabled, nullptr, nullptr);
  for (char *l : labels) XtFree(l);
  if (!Ed() || Ed() != ed) return;
  if (chosen == 3) wu_edn.separator_asked = true;
  if (chosen >= 1 && chosen <= 3) wumtlad(w, where, nullptr);
  if (chosen == 2 && Ed() == ed) wumtlic(w, reinterpret_cast<XtPointer>(intptr_t(WU_TE_ACTION)), nullptr);
}

void wumtldt(Widget, XtPointer, XtPointer) {
  wu_editor *ed = Ed();
  if (!ed || !ed->copy) return;
  wu_toolbox *c = ed->copy;
  wu_tool *t = Selected(ed);
  // The last real tool stays: a box without one cannot be read again.
  if (!t || (!IsSeparator(t) && RealTools(c) < 2)) {
    wutalrm();
    return;
  }
  const int32_t index = ed->index;
  if (wumtldl(index) != WU_OK) return;
  --c->count;
  ed->selected = nullptr;
  Changed();
  if (c->per_row == c->count + 1) {
    c->per_row = c->count;
    RefreshSpinBox(c->count, c->per_row);
  }
  RefreshToolBar(index, 0);
  XtSetSensitive(ed->del, RealTools(c) >= 2);
  if (XtIsRealized(ed->command)) XmProcessTraversal(ed->command, XmTRAVERSE_CURRENT);
}

wu_status MoveToolBarItemBack(wu_tool *tool) {
  wu_editor *ed = Ed();
  if (!ed || !ed->copy) return WU_NOTAVAIL;
  wu_tool **link = &ed->copy->tools;
  while (*link && (*link)->next != tool) link = &(*link)->next;
  if (!*link) return WU_NOTAVAIL;
  wu_tool *prev = *link;
  prev->next = tool->next;
  tool->next = prev;
  *link = tool;
  return WU_OK;
}

wu_status MoveToolBarItemForward(wu_tool *tool) {
  wu_editor *ed = Ed();
  if (!ed || !ed->copy) return WU_NOTAVAIL;
  wu_tool **link = &ed->copy->tools;
  while (*link && *link != tool) link = &(*link)->next;
  if (!*link || !tool->next) return WU_NOTAVAIL;
  wu_tool *next = tool->next;
  tool->next = next->next;
  next->next = tool;
  *link = next;
  return WU_OK;
}

void wumtlar(Widget, XtPointer direction, XtPointer) {
  wu_editor *ed = Ed();
  if (!ed || !ed->copy) return;
  wu_tool *t = Selected(ed);
  if (!t) return;
  Changed();
  const int32_t index = IndexOf(ed->copy, t);
  int32_t to = index;
  if (intptr_t(direction) == WU_TE_BACK) {
    if (index <= 0 || MoveToolBarItemBack(t) != WU_OK) return;
    to = index - 1;
  } else {
    if (index < 0 || index >= ed->copy->count - 1 || MoveToolBarItemForward(t) != WU_OK) return;
    to = index + 1;
  }
  XtVaSetValues(t->button, XmNpositionIndex, to, nullptr);
  RefreshToolBar(to, 0);
}

void wumtlaa(Widget, XtPointer step, XtPointer) { SetPerRow(int32_t(intptr_t(step))); }

void wumtlta(Widget, XtPointer, XtPointer) { SetPerRow(-1); }

void wumtltf(Widget w, XtPointer, XtPointer call) {
  wu_editor *ed = Ed();
  auto *cbs = static_cast<XmTextVerifyCallbackStruct *>(call);
  if (!ed || ed->updating || !cbs || !cbs->text || cbs->text->length <= 0) return;
  const long held = long(XmTextFieldGetLastPosition(w));
  const long inserted = cbs->text->length;
  const long replaced = long(cbs->endPos - cbs->startPos);
  if (w == ed->command_id) {
    // The identifier is stored as eight decimal characters.
    if (held - replaced + inserted > WU_TB_NUMBER_LEN) cbs->doit = False;
    return;
  }
  if (held == 0) {
    // A paste into an empty field is kept to what a tool can store.
    if (inserted > WU_TOOL_TEXT_MAX) cbs->text->length = WU_TOOL_TEXT_MAX;
    return;
  }
  if (held - replaced + inserted > WU_TOOL_TEXT_MAX) cbs->doit = False;
}

void wumtlvc(Widget w, XtPointer, XtPointer) {
  wu_editor *ed = Ed();
  if (!ed || ed->updating) return;
  wu_tool *t = Selected(ed);
  if (!t) return;
  char *text = XmTextFieldGetString(w);
  if (w == ed->command_id) {
    t->command_id = text ? std::atoi(text) : 0;
    XtFree(text);
  } else if (!IsSeparator(t) && (w == ed->command || w == ed->help || w == ed->tip)) {
    char **slot = w == ed->command ? &t->command : w == ed->help ? &t->help : &t->tip;
    XtFree(*slot);
    *slot = text && *text ? text : nullptr;
    if (!*slot) XtFree(text);
  } else {
    XtFree(text);
    return;
  }
  Changed();
}

void wumtlic(Widget, XtPointer which, XtPointer) {
  wu_editor *ed = Ed();
  if (!ed) return;
  wu_tool *t = Selected(ed);
  if (!t || IsSeparator(t)) return;
  if (intptr_t(which) == WU_TE_ICON) {
    OpenChooser(ed, t);
    return;
  }
  if (!ed->toolset) return;
  XtManageChild(ed->actions);
  if (!wu_edn.actions_loaded) LoadActionList(ed);
}

void wumtlcb(Widget w, XtPointer, XtPointer) {
  wu_editor *ed = Ed();
  if (!ed || !ed->categories || w != ed->categories->text_w) return;
  int *positions = nullptr;
  int count = 0;
  if (!XmListGetSelectedPos(CategoryList(ed), &positions, &count) || count < 1) {
    XtFree(reinterpret_cast<char *>(positions));
    return;
  }
  const int32_t p = positions[0];
  XtFree(reinterpret_cast<char *>(positions));
  BusyCursor({ed->dialog, ed->preview, ed->chooser}, true);
  LoadIconCategory(ed, p - 1);
  wu_tool *t = Selected(ed);
  int32_t k = -1, button = -1;
  const bool holds = t && FindCategory(ed, ToolIcon(t), &k, &button) && k == p - 1;
  if (!holds) {
    ArmIcon(ed, nullptr);
    if (!ed->pool.empty()) ShowIcon(ed, ed->pool[0]);
  } else if (size_t(button) < ed->pool.size()) {
    ArmIcon(ed, ed->pool[size_t(button)]);
    ShowIcon(ed, ed->pool[size_t(button)]);
  }
  BusyCursor({ed->dialog, ed->preview, ed->chooser}, false);
}

void wumtlbb(Widget w, XEvent *, String *, Cardinal *) {
  wu_editor *ed = Ed();
  if (!ed || std::find(ed->pool.begin(), ed->pool.end(), w) == ed->pool.end()) return;
  ArmIcon(ed, w);
}

void wumtlbd(Widget w, XEvent *event, String *params, Cardinal *count) {
  wumtlbb(w, event, params, count);
  wumtlba(w, reinterpret_cast<XtPointer>(intptr_t(WU_TE_ICON_OK)), nullptr);
}

void wumtlba(Widget, XtPointer code, XtPointer) {
  wu_editor *ed = Ed();
  if (!ed) return;
  switch (intptr_t(code)) {
    case WU_TE_ICON_OK: {
      if (!ed->armed) {
        wutalrm();
        return;
      }
      XtUnmanageChild(ed->chooser);
      wu_tool *t = Selected(ed);
      if (t && !IsSeparator(t)) SetIcon(ed, t, ed->chosen);
      break;
    }
    case WU_TE_ICON_CANCEL: XtUnmanageChild(ed->chooser); break;
    case WU_TE_ACTION_OK: ActionOk(ed); break;
    case WU_TE_ACTION_CANCEL: XtUnmanageChild(ed->actions); break;
    default: break;
  }
}

void FreeToolWidgets(wu_tool *tools) {
  for (wu_tool *t = tools; t; t = t->next) DestroyButton(t);
}

void FreeToolStrings(wu_tool *tools) {
  for (wu_tool *t = tools; t; t = t->next) {
    XtFree(t->command);
    XtFree(t->help);
    XtFree(t->tip);
    t->command = t->help = t->tip = nullptr;
  }
}

void FreeToolPixmaps(wu_tool *tools) {
  for (wu_tool *t = tools; t; t = t->next) {
    ReleaseToolPixmap(t->pixmap, t->shared_pixmap);
    t->pixmap = None;
  }
}

void wumtlfc(wu_editor *ed) {
  for (auto &row : ed->cache)
    for (Pixmap p : row)
      if (p) wutfpix(p);
  ed->cache.clear();
  ed->cache_loaded.clear();
  for (auto &p : ed->action_pixmaps) ReleaseToolPixmap(p.first, p.second);
  ed->action_pixmaps.clear();
  ed->pool.clear();   // the buttons go with the chooser
  ed->armed = nullptr;
}

}  // extern "C"
