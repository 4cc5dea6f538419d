// Foundation services the dialog controls and the menus use: drag and drop
// through the control services vector, a widget's children, the start-up
// logo, the host's help session and extension controls, the autosave
// time-out and the file selection's filters and write mode.
#include "../controls/ctlfixture.h"

#include <X11/CompositeP.h>
#include <Xm/ComboBox.h>
#include <Xm/FileSB.h>
#include <Xm/List.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <Xm/ToggleB.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "dialogs/wudialog.h"
#include "frames/wuframes.h"
#include "runtime/wutoolkit.h"
#include "script.h"
#include "xerrors.h"
#include "xinput.h"

namespace {

class Services : public Controls {};

// The targets Motif keeps for a widget's drop site.
std::vector<Atom> MotifTargets(Widget w) {
  Atom *targets = nullptr;
  Cardinal n = 0;
  Arg args[2];
  XtSetArg(args[0], XmNimportTargets, &targets);
  XtSetArg(args[1], XmNnumImportTargets, &n);
  XmDropSiteRetrieve(w, args, 2);
  return targets ? std::vector<Atom>(targets, targets + n) : std::vector<Atom>();
}

// ---- drag and drop through services slots 11 to 14 ------------------------------

TEST_F(Services, DragAndDropSlotsReachTheKindAndAnswerForKindsWithout) {
  wu_ctl_handle *h = Create(WU_CTYPE_ENTRY);
  const wu_ctl_services *s = h->services;
  char text_target[] = "_TEXT", file_target[] = "FILE";
  wu_dnd_text formats[2] = {{5, 0, text_target}, {4, 0, file_target}};
  wu_value in = {};
  in.code = WU_DND_A_FORMATS;
  in.type = WU_VT_STRLIST;
  in.value = 2;
  in.pointer = formats;
  void *site = nullptr;
  ASSERT_EQ(s->rdnd(h, &site, &in, reinterpret_cast<void *>(intptr_t(1))), WU_OK);
  ASSERT_NE(site, nullptr);
  auto *ds = static_cast<wu_dnd_site *>(site);
  EXPECT_EQ(ds->owner, h);
  EXPECT_EQ(ds->kind, 6);
  EXPECT_EQ(ds->window, window_);
  EXPECT_EQ(ds->drop_proc, wuwhdrp);
  EXPECT_EQ(ds->format_count, 2);
  // Motif has the widget as a drop site with those targets.
  EXPECT_EQ(MotifTargets(W(h)).size(), 2u);

  // Query hands out copies, set replaces, the free slot gives them back.
  wu_value q = {};
  q.code = WU_DND_A_FORMATS;
  const qevhost::PoolStats before = qevhost::poolStats(pool_);
  EXPECT_EQ(s->qdnd(h, nullptr, &q, reinterpret_cast<void *>(intptr_t(1))), WU_OK);
  EXPECT_EQ(q.status, WU_ALLOCATED);
  ASSERT_EQ(q.value, 2);
  EXPECT_EQ(std::string(static_cast<wu_dnd_text *>(q.pointer)[1].text), "FILE");
  EXPECT_EQ(s->fdnd(h, &q, reinterpret_cast<void *>(intptr_t(1)), nullptr), WU_OK);
  EXPECT_EQ(q.pointer, nullptr);
  const qevhost::PoolStats after = qevhost::poolStats(pool_);
  EXPECT_EQ(after.liveBlocks, before.liveBlocks);
  EXPECT_EQ(after.liveBytes, before.liveBytes);
  EXPECT_EQ(after.errors, 0);
  in.value = 1;
  EXPECT_EQ(s->sdnd(h, nullptr, &in, reinterpret_cast<void *>(intptr_t(1))), WU_OK);
  EXPECT_EQ(ds->format_count, 1);

  // Unregistered: the kind has no site to query or set any more.
  EXPECT_EQ(s->udnd(h, nullptr, nullptr, nullptr), WU_OK);
  EXPECT_EQ(s->qdnd(h, nullptr, &q, reinterpret_cast<void *>(intptr_t(1))), WU_UNSUPPORTED);
  EXPECT_EQ(s->sdnd(h, nullptr, &in, reinterpret_cast<void *>(intptr_t(1))), WU_UNSUPPORTED);

  // A kind without drag and drop (an older bar, reached by a type-14
  // handle) answers "not supported"; a handle of nothing is not available.
  int32_t minimum = 0, maximum = 10, value = 0;
  wu_bar *bar = nullptr;
  ASSERT_EQ(wuxgbar(pane_, &bar, 1, 0, 0, &minimum, &maximum, &value, 1, 70, 5, 0, 0), WU_OK);
  wu_ctl_handle *bh = wu_ctl_handle_for(&bar->common);
  ASSERT_NE(bh, nullptr);
  for (wu_ctl_dnd_fn fn : {s->rdnd, s->sdnd, s->qdnd, s->udnd})
    EXPECT_EQ(fn(bh, nullptr, nullptr, nullptr), WU_UNSUPPORTED);
  wu_ctl_handle stray = {};
  for (wu_ctl_dnd_fn fn : {s->rdnd, s->sdnd, s->qdnd, s->udnd}) {
    EXPECT_EQ(fn(&stray, nullptr, nullptr, nullptr), WU_NOTAVAIL);
    EXPECT_EQ(fn(nullptr, nullptr, nullptr, nullptr), WU_NOTAVAIL);
  }
}

TEST_F(Services, ADropSiteMotifRefusesIsReportedAndATextTakesTheModulesTargets) {
  // A text widget is a drop site of Motif's own: the control's site
  // replaces its targets on the first registration.
  wu_ctl_handle *h = Create(WU_CTYPE_ENTRY);
  void *site = nullptr;
  ASSERT_EQ(h->services->rdnd(h, &site, nullptr, nullptr), WU_OK);
  auto *ds = static_cast<wu_dnd_site *>(site);
  ASSERT_GT(ds->format_count, 0);
  EXPECT_EQ(MotifTargets(W(h)), std::vector<Atom>(ds->formats, ds->formats + ds->format_count));
  EXPECT_EQ(ds->registered, 1);

  // Motif takes no shell as a drop site: the registration answers so.
  Widget shell = XtVaCreatePopupShell("qevNoSite", overrideShellWidgetClass, devb->toplevel,
                                      XmNwidth, 40, XmNheight, 40, nullptr);
  XtRealizeWidget(shell);
  wu_dnd_site *refused = wumrdnd(shell);
  ASSERT_NE(refused, nullptr);
  EXPECT_EQ(wumsdnd(refused), WU_NOTAVAIL);
  EXPECT_EQ(refused->registered, 0);
  EXPECT_TRUE(qevtest::logContains("Motif refused the drop site of qevNoSite."));
  EXPECT_EQ(wumudnd(shell), WU_OK);
  XtDestroyWidget(shell);
}

// ---- a widget's children and the start-up logo ------------------------------------

TEST_F(Services, ChildrenOfAWidgetAreCountedAndListed) {
  wu_ctl_handle *a = Create(WU_CTYPE_ENTRY);
  wu_ctl_handle *b = Create(WU_CTYPE_ENTRY);
  WidgetList kids = nullptr;
  const int32_t n = wutgwcl(static_cast<Widget>(pane_->ext->widget), &kids);
  ASSERT_GE(n, 2);
  ASSERT_NE(kids, nullptr);
  bool seen_a = false, seen_b = false;
  for (int32_t i = 0; i < n; ++i) {
    seen_a = seen_a || kids[i] == W(a);
    seen_b = seen_b || kids[i] == W(b);
  }
  EXPECT_TRUE(seen_a && seen_b);
  EXPECT_EQ(wutgwcl(static_cast<Widget>(pane_->ext->widget), nullptr), n);
  kids = reinterpret_cast<WidgetList>(&kids);
  EXPECT_EQ(wutgwcl(W(a), &kids), 0);  // a text widget has no children
  EXPECT_EQ(kids, nullptr);
  EXPECT_EQ(wutgwcl(nullptr, &kids), 0);
}

void Gone(Widget, XtPointer client, XtPointer) { *static_cast<bool *>(client) = true; }

TEST_F(Services, TheStartUpLogoIsRemovedWhenItShows) {
  EXPECT_EQ(wumrlgo(0, 0), WU_OK);  // none showing: nothing to do
  Widget logo = XtVaCreatePopupShell(WU_LOGO_SHELL, overrideShellWidgetClass, devb->toplevel,
                                     XmNwidth, 120, XmNheight, 60, nullptr);
  bool gone = false;
  XtAddCallback(logo, XmNdestroyCallback, Gone, &gone);
  XtPopup(logo, XtGrabNone);
  Settle();
  ASSERT_TRUE(XtIsRealized(logo));
  const Window xw = XtWindow(logo);
  EXPECT_EQ(wumrlgo(0, 0), WU_OK);
  Settle();
  EXPECT_TRUE(gone);
  // The X server no longer has the logo's window.
  XWindowAttributes attrs;
  {
    qevtest::ExpectXErrors gone_window(devb->display, BadWindow);
    EXPECT_EQ(XGetWindowAttributes(devb->display, xw, &attrs), 0);
    EXPECT_EQ(gone_window.seen(), 1);
  }
  EXPECT_EQ(wumrlgo(0, 0), WU_OK);
}

// ---- the host's help session and extension controls ----------------------------------

TEST_F(Services, HelpSessionComesFromTheHostHelpService) {
  qevhost::setHelpSession(0);
  EXPECT_EQ(vuxihlp(), 0);
  qevhost::setHelpSession(7);
  EXPECT_EQ(vuxihlp(), 7);
  qevhost::setHelpSession(0x1ff);  // one byte of it
  EXPECT_EQ(vuxihlp(), 0xff);
  qevhost::setHelpSession(0);
}

TEST_F(Services, HostControlTypesGetTheWholeCreationCall) {
  int extension = 42;
  std::vector<int32_t> events = {WU_EV_CLICK};
  wu_value entries[3] = {Text(WU_A_TEXT, "host"), List(WU_A_EVENTS, events), Int(WU_A_WIDTH, 80)};
  wu_ctl_handle *h = nullptr;
  ASSERT_EQ(crea_(&h, pane_, &extension, WU_CTYPE_HOST_1, entries, 3, HostProc), WU_OK);
  EXPECT_NE(h, nullptr);
  std::vector<qevhost::HostCreate> calls = qevhost::hostCreates();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].pane, pane_);
  EXPECT_EQ(calls[0].extension, &extension);
  EXPECT_EQ(calls[0].type, WU_CTYPE_HOST_1);
  EXPECT_EQ(calls[0].values, entries);
  EXPECT_EQ(calls[0].count, 3);
  EXPECT_EQ(calls[0].procedure, reinterpret_cast<void *>(HostProc));
  // The host's own status comes back unchanged.
  qevhost::setHostControlStatus(WU_UNSUPPORTED);
  EXPECT_EQ(crea_(&h, pane_, &extension, WU_CTYPE_HOST_2, entries, 3, HostProc), WU_UNSUPPORTED);
  qevhost::setHostControlStatus(WU_OK);
}

// ---- autosave ---------------------------------------------------------------------------

std::vector<std::string> Commands(wu_window *w) {
  std::vector<std::string> out;
  while (wu_event *e = wutdqev(w)) {
    if (e->code == WU_EV_COMMAND) out.emplace_back(e->text, size_t(e->text_length));
    wutrlev(e);
  }
  return out;
}

TEST_F(Services, AutosaveAsksEveryEditorWindowOnceAndRunsOn) {
  int anchor = 0;
  qevhost::setNamedPointer(window_->task, WU_EDITOR_ANCHOR_NAME, &anchor);
  // A second window of another owner is no editor window.
  wu_window *other = nullptr;
  ASSERT_EQ(wuxgwnd(&other, 1, 0), WU_OK);
  other->task = qevhost::createTask("OTHER", 1, 0);
  ASSERT_EQ(wutauto(1, 1), WU_OK);
  const XtIntervalId armed = devb->autosave_id;
  ASSERT_NE(armed, XtIntervalId(0));
  XtRemoveTimeOut(armed);  // the test fires it itself
  wuwauto(nullptr, nullptr);
  EXPECT_NE(devb->autosave_id, XtIntervalId(0));  // the next period runs
  wuwauto(nullptr, nullptr);                       // the first is still unread
  EXPECT_EQ(Commands(window_), std::vector<std::string>{WU_AUTOSAVE_COMMAND});
  EXPECT_TRUE(Commands(other).empty());
  wuwauto(nullptr, nullptr);  // read: the next period asks again
  EXPECT_EQ(Commands(window_), std::vector<std::string>{WU_AUTOSAVE_COMMAND});
  // Switched off: nothing is asked and nothing runs on.
  ASSERT_EQ(wutauto(0, 1), WU_OK);
  wuwauto(nullptr, nullptr);
  EXPECT_EQ(devb->autosave_id, XtIntervalId(0));
  EXPECT_TRUE(Commands(window_).empty());
  qevhost::setNamedPointer(window_->task, WU_EDITOR_ANCHOR_NAME, nullptr);
  wuxfwnd(other);
}

// ---- the file selection's filters and write mode ------------------------------------------

struct FileAct {
  std::string name;           // typed into the selection text (lower case)
  int pick_filter = 0;        // filter position to pick first (1-based), 0 none
  bool append = false;        // set the Append switch
  // What the dialog offered when it came up.
  int filters = -1;           // filter items, -1 when there was no list
  std::string shown;          // the filter the list shows
  std::string filtering;      // the pattern the dialog filters on
  bool has_append = false;
  std::string pattern;        // the dialog's pattern when OK was pressed
};

Widget FileDialog() {
  Widget top = devb->toplevel;
  for (Cardinal i = 0; i < top->core.num_popups; ++i) {
    Widget shell = top->core.popup_list[i];
    auto *c = reinterpret_cast<CompositeWidget>(shell);
    for (Cardinal k = 0; k < c->composite.num_children; ++k) {
      Widget d = c->composite.children[k];
      if (std::strcmp(XtName(d), "qevFileSelection") == 0 && XtIsManaged(d) &&
          XtIsRealized(shell))
        return d;
    }
  }
  return nullptr;
}

std::string Text(XmString s) {
  char *text = s ? wumgstr(s) : nullptr;
  std::string out = text ? text : "";
  XtFree(text);
  return out;
}

bool Viewable(Widget w) {
  XWindowAttributes at;
  return w && XtIsRealized(w) && XGetWindowAttributes(devb->display, XtWindow(w), &at) &&
         at.map_state == IsViewable;
}

// The user works the file dialog: looks at what it offers, picks a filter
// from its list, sets the Append switch, types a name into the selection
// text over what it holds and presses OK; `call` opens the dialog.
wu_status ActOnFiles(FileAct *act, const std::function<wu_status()> &call) {
  auto combo = [] { return XtNameToWidget(FileDialog(), "*qevFileFilters"); };
  auto list = [&] {
    Widget l = nullptr;
    if (combo()) XtVaGetValues(combo(), XmNlist, &l, nullptr);
    return l;
  };
  qevtest::Script s;
  s.then("what the dialog offers", [] { return FileDialog() && Viewable(XtParent(FileDialog())); },
         [&] {
           Widget d = FileDialog();
           XmString pattern = nullptr;
           XtVaGetValues(d, XmNpattern, &pattern, nullptr);
           act->filtering = Text(pattern);
           XmStringFree(pattern);
           if (Widget c = combo()) {
             XmString shown = nullptr;
             XtVaGetValues(c, XmNitemCount, &act->filters, XmNselectedItem, &shown, nullptr);
             act->shown = Text(shown);
             XmStringFree(shown);  // a copy, as the box hands out its strings
           }
           act->has_append = XtNameToWidget(d, "*qevFileAppend") != nullptr;
         });
  if (act->pick_filter > 0) {
    // The arrow at the right end of the box opens the list.
    s.then("the filter list opened", [&] {
      Dimension width = 0, height = 0;
      ASSERT_NE(combo(), nullptr);
      XtVaGetValues(combo(), XmNwidth, &width, XmNheight, &height, nullptr);
      EXPECT_TRUE(qevtest::clickHandledAt(combo(), width - 10, height / 2));
    });
    s.then("a filter picked", [&] { return Viewable(list()); },
           [&] { EXPECT_TRUE(qevtest::clickRowHandled(list(), act->pick_filter)); });
    s.waitFor("the filter list closed", [&] { return !Viewable(list()); });
  }
  if (act->append)
    s.then("the Append switch set", [] {
      Widget toggle = XtNameToWidget(FileDialog(), "*qevFileAppend");
      ASSERT_NE(toggle, nullptr);
      EXPECT_TRUE(qevtest::clickHandled(toggle));
      EXPECT_TRUE(XmToggleButtonGetState(toggle));
    });
  s.then("a name typed over the selection text, then OK", [&] {
    Widget d = FileDialog();
    XmString pattern = nullptr;
    XtVaGetValues(d, XmNpattern, &pattern, nullptr);
    act->pattern = Text(pattern);
    XmStringFree(pattern);
    Widget text = XmFileSelectionBoxGetChild(d, XmDIALOG_TEXT);
    EXPECT_TRUE(qevtest::replaceTextHandled(text, act->name));
    EXPECT_TRUE(qevtest::clickHandled(XmFileSelectionBoxGetChild(d, XmDIALOG_OK_BUTTON)));
  });
  wu_status st = WU_NOTAVAIL;
  s.run([&] { st = call(); });
  return st;
}

// The filter list shows the filter the dialog filters on; a filter the user
// picks becomes the dialog's; a name typed without a directory is answered
// as a file of the dialog's directory.
TEST_F(Services, FileSelectionOffersEveryFilterAndReportsAppend) {
  char dir[] = "/tmp/qevfiltersXXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const std::string file = std::string(dir) + "/out.log";
  std::ofstream(file) << "x\n";
  wu_fsel_filters filters = {};
  const char text[] = "*.txt*.log";   // counted texts: no terminators between
  filters.count = 4;
  filters.patterns[0] = {5, text};
  filters.patterns[1] = {5, text + 5};
  filters.patterns[2] = {0, text};     // empty: not offered
  filters.patterns[3] = {1, "*"};

  // A save with the caller's filter: every filter offered, the first shown
  // and filtered on, the Append switch offered and reported as the value-2
  // bit.
  wu_fsel req = {};
  req.mode = WU_FSEL_FILE;
  req.keep = WU_FSEL_KEEP_FILTER;
  FileAct act;
  act.name = "out.log";
  act.pick_filter = 2;
  act.append = true;
  wumfswl(WU_FSEL_LEVEL_SAVE);
  ASSERT_EQ(ActOnFiles(&act, [&] { return wumfsel(nullptr, "Save", &req, nullptr, dir, &filters); }), WU_OK);
  EXPECT_EQ(act.filters, 3);
  EXPECT_EQ(act.shown, "*.txt");
  EXPECT_EQ(act.filtering, "*.txt");
  EXPECT_TRUE(act.has_append);
  EXPECT_EQ(act.pattern, "*.log");  // the picked filter is the dialog's pattern
  EXPECT_EQ(std::string(req.path), file);
  EXPECT_EQ(req.length, int32_t(file.size()));
  EXPECT_EQ(req.write_mode, WU_FSEL_APPEND);
  EXPECT_EQ(WU_FSEL_APPEND, 2);

  // An open: no Append switch; with keep 0 the last filter shows again.  A
  // new name typed alone is a file of the dialog's directory too.
  req = {};
  req.mode = WU_FSEL_FILE;
  act = FileAct();
  act.name = "new.txt";
  wumfswl(WU_FSEL_LEVEL_OPEN);
  ASSERT_EQ(ActOnFiles(&act, [&] { return wumfsel(nullptr, "Open", &req, nullptr, dir, &filters); }), WU_OK);
  EXPECT_FALSE(act.has_append);
  EXPECT_EQ(act.shown, "*.log");
  EXPECT_EQ(act.filtering, "*.log");
  EXPECT_EQ(std::string(req.path), std::string(dir) + "/new.txt");
  EXPECT_EQ(req.write_mode, 0);

  // With keep -1 the caller's filter shows, whatever was picked before.
  req = {};
  req.mode = WU_FSEL_FILE;
  req.keep = WU_FSEL_KEEP_FILTER;
  act = FileAct();
  act.name = "out.log";
  ASSERT_EQ(ActOnFiles(&act, [&] { return wumfsel(nullptr, "Open", &req, nullptr, dir, &filters); }), WU_OK);
  EXPECT_EQ(act.shown, "*.txt");
  EXPECT_EQ(act.filtering, "*.txt");
  EXPECT_EQ(act.pattern, "*.txt");

  // A filter list that claims more patterns than it can hold is read only
  // as far as it goes; one pattern gives no list to choose from.
  filters.count = 1;
  act = FileAct();
  act.name = "out.log";
  ASSERT_EQ(ActOnFiles(&act, [&] { return wumfsel(nullptr, "Open", &req, nullptr, dir, &filters); }), WU_OK);
  EXPECT_EQ(act.filters, -1);
  filters.count = INT32_MAX;
  filters.patterns[0] = {-3, text};
  act = FileAct();
  act.name = "out.log";
  ASSERT_EQ(ActOnFiles(&act, [&] { return wumfsel(nullptr, "Open", &req, nullptr, dir, &filters); }), WU_OK);
  EXPECT_EQ(act.filters, 2);
  unlink(file.c_str());
  rmdir(dir);
}

}  // namespace
