// The Tool Editor, driven as a user drives it: TOOLEDIT through the window
// slot, then clicks and keys through XTest on the widgets where the server
// shows them, played as scripted steps inside the editor's modal loops,
// each once the input before it is handled and what it acts on shows; checked
// against the stand-in's catalog files, the module event queue and the
// widgets on the X server.
#include <memory>
#include <gtest/gtest.h>

#include <X11/IntrinsicP.h>
#include <X11/keysym.h>
#include <Xm/List.h>
#include <Xm/MessageB.h>
#include <Xm/Text.h>
#include <Xm/TextF.h>
#include <Xm/Xm.h>
#include <X11/extensions/XTest.h>

#include <malloc.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <tuple>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "commands/wucmds.h"
#include "frames/wutframe.h"
#include "toolbox/wutbox.h"
#include "modulehost.h"
#include "qev/commands.h"
#include "qev/flags.h"
#include "qev/slots.h"
#include "qevhost.h"
#include "runtime/wudevice.h"
#include "runtime/wuhost.h"
#include "runtime/wureg.h"
#include "runtime/wuruntime.h"
#include "textwin/wutwin.h"
#include "xd/IconList.h"
#include "child.h"
#include "hostnames.h"
#include "modulewindow.h"
#include "widgettext.h"
#include "toolsshown.h"
#include "script.h"
#include "xinput.h"
#include "xserver.h"

namespace {

using EcmdFn = wu_status (*)(wu_window *, int32_t);

// Window kinds: one with a tool box of its own, and a display-manager window.
const int32_t kKindEdited = 20;
const int32_t kKindDisplayManager = 1;


// Every widget below a widget, popups included, in creation order.
void Walk(Widget w, std::vector<Widget> *out) {
  out->push_back(w);
  if (XtIsComposite(w)) {
    CompositeWidget c = reinterpret_cast<CompositeWidget>(w);
    for (Cardinal i = 0; i < c->composite.num_children; ++i) Walk(c->composite.children[i], out);
  }
  if (XtIsWidget(w))
    for (Cardinal i = 0; i < w->core.num_popups; ++i) Walk(w->core.popup_list[i], out);
}
std::vector<Widget> All(Widget root, const char *name) {
  std::vector<Widget> all, out;
  if (!root) return out;
  Walk(root, &all);
  for (Widget w : all)
    if (!w->core.being_destroyed && std::strcmp(XtName(w), name) == 0) out.push_back(w);
  return out;
}
Widget One(Widget root, const char *name, size_t nth = 0) {
  auto v = All(root, name);
  return nth < v.size() ? v[nth] : nullptr;
}
std::string LabelOf(Widget w) { return qevtest::xmStringResource(w, XmNlabelString); }
Widget ButtonLabelled(Widget root, const std::string &label) {
  for (Widget w : All(root, "PushButton"))
    if (LabelOf(w) == label) return w;
  return nullptr;
}
std::string Text(Widget field) {
  char *t = XmTextFieldGetString(field);
  std::string s = t ? t : "";
  XtFree(t);
  return s;
}
// A click on a widget where the server shows it, handled before the call
// returns (a modal wait it opens runs inside, as under the user's click).
void Click(Widget w, unsigned button = 1) {
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(qevtest::clickHandled(w, button)) << "no click on " << XtName(w);
}
// A text field's text replaced by the user: a focus click, then keys.
void Replace(Widget field, const std::string &text) {
  ASSERT_NE(field, nullptr);
  EXPECT_TRUE(qevtest::replaceTextHandled(field, text)) << "no typing into " << XtName(field);
}
// A key pressed for the widget that holds the focus.
void Key(KeySym sym) { EXPECT_TRUE(qevtest::keyHandled(devb->display, sym)); }
// A click on row `pos` (1-based) of a Motif list, in view.
void ClickRow(Widget list, int pos) {
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(qevtest::clickRowHandled(list, pos)) << "no click on row " << pos;
}
int Managed(const std::vector<Widget> &v) {
  int n = 0;
  for (Widget w : v) n += XtIsManaged(w) ? 1 : 0;
  return n;
}
std::string FileBytes(const std::string &dir, const std::string &stem) {
  namespace fs = std::filesystem;
  if (!fs::exists(dir)) return "";
  for (auto &e : fs::directory_iterator(dir)) {
    if (e.path().filename().string().rfind(stem + ".", 0) != 0) continue;
    std::ifstream in(e.path(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  return "";
}

using qevtest::Script;
class ToolEditor : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    ASSERT_TRUE(qevtest::startModule(QEV_MODULE_PATH, &why)) << why;
    const std::pair<int, const char *> tool[] = {
        {113, "Saved."}, {114, "Not saved."}, {116, "No library."}, {117, "No catalog."},
        {118, "No entry."}, {119, "Open"}, {120, "Tools of %s.%s.%s %s"}, {121, "Tool box"},
        {122, "Tools@per row"}, {123, "Tool"}, {124, "Command"}, {125, "Help text"},
        {126, "Tip text"}, {127, "Icon"}, {128, "Add"}, {129, "Delete"}, {130, "Save"},
        {131, "Save As"}, {133, "Icons"}, {137, "Save the changes?"}, {140, "Tool Editor"},
        {141, "Location"}, {142, "Insert"}, {143, "Library"}, {144, "Catalog"}, {145, "Entry"},
        {603, "E: Not found."}, {132, "Default"}, {136, "Close"}, {337, "New box for %s."},
        {148, "Restore the default?"}, {151, "QEVUSER"}, {152, "TOOLS"}, {153, "DEFAULT"},
        {155, "NOSAVE"}, {156, "ALT1"}, {157, "ALT2"}, {12, "OK"}, {10, "Cancel"}, {57, "Help"},
        {600, "Action"}, {601, "Tool set"}, {602, "As tool set"}, {645, "Command id"},
        {456, "Category"}, {457, "My icons"}, {606, "New tool"}, {607, "New from action"},
        {608, "New separator"}};
    for (auto &m : tool) qevhost::setMessage(526, m.first, m.second);
    for (int i = 0; i < 14; ++i) {
      qevhost::setMessage(526, 742 + i, std::to_string(-1 - i));
      qevhost::setMessage(526, 700 + i, "DEF" + std::to_string(i));
      qevhost::setMessage(526, 714 + i, "help " + std::to_string(i));
      qevhost::setMessage(526, 728 + i, "tip " + std::to_string(i));
    }
    for (int i = 1; i <= 3; ++i) qevhost::setMessage(542, i, "Category " + std::to_string(i));
    qevhost::defineLibrary("QEVUSER");
    qevhost::defineLibrary("TESTLIB");
    qevhost::defineLibrary("ROLIB");
    int32_t count = 0;
    auto *t = static_cast<const qev_table *>(qevhost::table(QEV_TABLE_WINDOW, &count));
    ASSERT_NE(t, nullptr);
    ecmd_ = reinterpret_cast<EcmdFn>(reinterpret_cast<void (*)(void)>(t->slots[WUX_SLOT_ECMD]));
    window_ = qevtest::openUserWindow(kKindEdited);
    ASSERT_NE(window_, nullptr);
    devb->motifres.edit_toolbox_separators = False;
    devb->motifres.has_toolset = True;
  }
  void TearDown() override {
    if (window_) wuxfwnd(window_);
    qevtest::stopModule();
  }
  wu_status Cmd(int32_t code, const std::string &args = "") {
    qevhost::setCommand(args);
    return ecmd_(window_, code);
  }
  // Stores a box of n tools (icons from `icons` when given) at TESTLIB.CAT.<entry>.
  void Store(const std::string &entry, int n, int per_row, std::vector<int> icons = {},
             const std::string &lib = "TESTLIB", const std::string &catalog = "CAT") {
    wu_toolbox *b = AllocateToolBar();
    wu_tool **tail = &b->tools;
    for (int i = 0; i < n; ++i) {
      auto *t = reinterpret_cast<wu_tool *>(XtCalloc(1, sizeof(wu_tool)));
      t->icon = i < int(icons.size()) ? icons[size_t(i)] : 2;
      t->command = XtNewString((entry + std::to_string(i)).c_str());
      t->help = XtNewString(("help of " + entry + std::to_string(i)).c_str());
      t->tip = XtNewString(("tip " + std::to_string(i)).c_str());
      t->command_id = 100 + i;
      t->box = b;
      *tail = t;
      tail = &t->next;
    }
    b->count = n;
    b->per_row = per_row;
    b->icon_width = b->icon_height = 48;
    b->own_location = 1;
    char l[8], c[34], e[34];
    qevtest::setLibref(l, lib);
    qevtest::setName34(c, catalog);
    qevtest::setName34(e, entry);
    ASSERT_EQ(wumtlsv(b, l, c, e, "TOOLBOX"), WU_OK);
    wutfbar(nullptr, b);
  }
  // Writes TESTLIB.CAT.<entry> record by record as the host's catalog
  // services do; an extension record follows the tool at `ext_after`.
  void WriteEntry(const std::string &entry, int per_row, int size,
                  std::vector<std::pair<const char *, const char *>> tools, int ext_after = -1) {
    char l[8], c[34], e[34];
    qevtest::setLibref(l, "TESTLIB");
    qevtest::setName34(c, "CAT");
    qevtest::setName34(e, entry);
    wu_toolbox_header h = {};
    h.tool_count = uint8_t(tools.size());
    h.per_row = uint8_t(per_row);
    h.icon_width = h.icon_height = uint8_t(size);
    qev_lib *lib = nullptr;
    qev_member *m = nullptr;
    ASSERT_EQ(yucwhdr(l, c, e, &lib, &m, &h), WU_OK);
    for (size_t i = 0; i < tools.size(); ++i) {
      wu_tool_record r = {};
      std::memcpy(r.icon, tools[i].first, std::strlen(tools[i].first));
      std::memcpy(r.command, tools[i].second, std::strlen(tools[i].second));
      if (int(i) == ext_after) {
        r.ext_type = 2;
        std::memcpy(r.ext_size, "12", 2);
      }
      ASSERT_EQ(yucwtol(m, &r), WU_OK);
      if (int(i) == ext_after) {
        ASSERT_EQ(ylmwrit(m, "extension!!!", 12, 9), WU_OK);
      }
    }
    ylmclos(m, 0);
    ylclose(lib);
  }
  wu_toolbox *Read(const std::string &entry, const std::string &lib = "TESTLIB") {
    char l[8], c[34], e[34];
    qevtest::setLibref(l, lib);
    qevtest::setName34(c, "CAT");
    qevtest::setName34(e, entry);
    return wumtlcl(l, c, e, "TOOLBOX");
  }
  struct Queued {
    int32_t code;
    std::string text;
  };
  std::vector<Queued> Drain() {
    std::vector<Queued> out;
    while (wu_event *e = wutdqev(window_)) {
      out.push_back({e->code, e->text ? std::string(e->text, size_t(e->text_length)) : ""});
      wutrlev(e);
    }
    return out;
  }
  // Runs TOOLEDIT (args) with the script's steps inside the editor; a
  // failing step takes down whatever the editor has up.
  void Edit(const std::string &args, Script *s) { Run(s, [&] { Cmd(WU_CMD_TOOLEDIT, args); }); }
  void Run(Script *s, const std::function<void()> &call) {
    s->ending([this] { EndEditor(); });
    s->run(call);
  }
  // Ends the editor's waits: its message boxes, the Open/Save dialog, the
  // editor itself.
  void EndEditor() {
    for (Widget m : All(devb->toplevel, "qevMessage"))
      if (XtIsManaged(m)) XtUnmanageChild(m);
    if (Widget d = Editor()) {
      if (Widget os = One(d, "OpenSave")) XtUnmanageChild(os);
      XtUnmanageChild(d);
    }
  }
  // The editor is on the screen, and the notice it opens with when it has one.
  bool EditorUp() { return Editor() && qevtest::viewable(Editor()); }
  bool BoxUp() { return Box() && qevtest::viewable(Box()); }
  bool BoxSays(const std::string &text) { return BoxUp() && BoxText() == text; }
  Widget Editor() { return One(devb->toplevel, "Tool Editor"); }
  Widget Preview() { return One(devb->toplevel, "ToolBar"); }
  std::vector<Widget> Tools() {
    std::vector<Widget> out;
    Widget rc = One(Preview(), "RowColumn");
    if (!rc) return out;
    CompositeWidget c = reinterpret_cast<CompositeWidget>(rc);
    for (Cardinal i = 0; i < c->composite.num_children; ++i) out.push_back(c->composite.children[i]);
    return out;
  }
  std::vector<std::string> ToolNames() {
    std::vector<std::string> out;
    for (Widget w : Tools())
      if (XtIsManaged(w)) out.push_back(XtName(w));
    return out;
  }
  Widget Field(int i) {   // 0 per row, 1 command, 2 help, 3 tip, 4 command id
    return One(Editor(), "TextField", size_t(i));
  }
  Widget Bottom(const char *label) { return ButtonLabelled(Editor(), label); }
  Widget Box() {
    for (Widget m : All(devb->toplevel, "qevMessage"))
      if (XtIsManaged(m)) return m;
    return nullptr;
  }
  std::string BoxText() {
    Widget m = Box();
    return m ? qevtest::xmStringResource(m, XmNmessageString) : "";
  }
  void Answer(unsigned char child) {
    Widget m = Box();
    ASSERT_NE(m, nullptr) << "no message box";
    Click(XmMessageBoxGetChild(m, child));
  }
  void AnswerNo() {
    Widget m = Box();
    ASSERT_NE(m, nullptr) << "no message box";
    Click(XtNameToWidget(m, "no"));
  }
  Widget OpenSave() { return One(Editor(), "OpenSave"); }
  bool OpenSaveUp() { return OpenSave() && XtIsManaged(OpenSave()) && qevtest::viewable(OpenSave()); }
  void FillOpenSave(const std::string &l, const std::string &c, const std::string &e) {
    Widget os = OpenSave();
    Replace(One(os, "TextField", 0), l);
    Replace(One(os, "TextField", 1), c);
    Replace(One(os, "TextField", 2), e);
  }
  // The text of the icon chooser's category combo.
  std::string ComboText(Widget chooser) {
    Widget t = One(chooser, "ComboText");
    if (!t) return "<no combo>";
    char *v = XmTextGetString(t);
    std::string out = v ? v : "";
    XtFree(v);
    return out;
  }
  Widget Chooser() { return One(Editor(), "Pixmap", 1); }
  // The steps that pick a category in the icon chooser's combo: the arrow
  // posts the list (in its own time), a click on the row chooses and the
  // list goes.  The click comes as a user's does, not within the double
  // click time of the click before on the list.
  std::vector<Script::Step> ChooseCategory(int pos) {
    auto posted = [this] { return qevtest::viewable(One(Chooser(), "ListShell")); };
    return {{"the category arrow clicked", nullptr, [this] { Click(One(Chooser(), "ComboArrow")); }},
            {"category " + std::to_string(pos) + " clicked in the posted list",
             [this, posted] { return posted() && ListClickable(); },
             [this, pos] { ClickListRow(One(Chooser(), "ComboList"), pos); }},
            {"the category list gone", [posted] { return !posted(); }, nullptr}};
  }
  // A click on a row of a Motif list, and whether the list takes the next
  // click as a click of its own rather than the second of a double click.
  void ClickListRow(Widget list, int pos) {
    ClickRow(list, pos);
    list_clicked_ = std::chrono::steady_clock::now();
  }
  bool ListClickable() {
    const auto apart = std::chrono::milliseconds(XtGetMultiClickTime(devb->display) + 50);
    return std::chrono::steady_clock::now() - list_clicked_ > apart;
  }
  std::chrono::steady_clock::time_point list_clicked_;
  void SelectTool(size_t i) {
    auto t = Tools();
    ASSERT_LT(i, t.size());
    Click(t[i]);
  }

  EcmdFn ecmd_ = nullptr;
  wu_window *window_ = nullptr;
};

TEST_F(ToolEditor, SaveAsToTheActiveLocationQueuesTheReloadAndKeepsTheSavedBox) {
  Store("MINE", 3, 3);
  Cmd(WU_CMD_TOOLLOAD, "TESTLIB.CAT.MINE");
  ASSERT_NE(window_->toolbox, nullptr);
  ASSERT_NE(wumgmbx(), nullptr);
  ASSERT_NE(wumgmbx()->shell, nullptr);
  wu_toolbox *before = window_->toolbox;
  Drain();
  Script s;
  s.then("the command changed, then Save As", [&] { return EditorUp(); },
         [&] {
           EXPECT_EQ(ToolNames(), (std::vector<std::string>{"MINE0", "MINE1", "MINE2"}));
           EXPECT_EQ(Text(Field(1)), "MINE0");
           EXPECT_EQ(Text(Field(4)), "100");
           Replace(Field(1), "CHANGED");
           Click(Bottom("Save As"));
         })
      .then("the location typed with blanks around it", [&] { return OpenSaveUp(); },
            [&] {
              EXPECT_EQ(Text(One(OpenSave(), "TextField", 2)), "MINE");
              // Blanks typed around the names (the library field takes 8
              // characters) are not part of them.
              FillOpenSave(" testlib", " cat", "mine  ");
              Click(ButtonLabelled(OpenSave(), "OK"));
            })
      .then("Saved. answered", [&] { return BoxSays("Saved."); }, [&] { Answer(XmDIALOG_OK_BUTTON); })
      .then("Close", [&] { return !Box(); }, [&] { Click(Bottom("Close")); });
  Edit("", &s);
  auto q = Drain();
  ASSERT_EQ(q.size(), 2u);
  EXPECT_EQ(q[0].code, 1027);
  EXPECT_EQ(q[1].text, ";TOOLLOAD WINDOW TESTLIB .CAT" + std::string(29, ' ') + ".MINE" +
                           std::string(28, ' ') + ";");
  wu_toolbox *r = Read("MINE");
  ASSERT_NE(r, nullptr);
  EXPECT_STREQ(r->tools->command, "CHANGED");
  wutfbar(nullptr, r);
  // The window's old box is not written back over the saved one.
  ASSERT_EQ(window_->toolbox, before);
  EXPECT_EQ(before->no_save, 1);
  wumfbar(window_);
  r = Read("MINE");
  ASSERT_NE(r, nullptr);
  EXPECT_STREQ(r->tools->command, "CHANGED");
  wutfbar(nullptr, r);
  EXPECT_EQ(Editor(), nullptr);
  EXPECT_EQ(Preview(), nullptr);
}

TEST_F(ToolEditor, SaveElsewhereRefusalsAndEmptyFields) {
  Store("MINE", 2, 2);
  Cmd(WU_CMD_TOOLLOAD, "TESTLIB.CAT.MINE");
  Drain();
  Script s;
  s.then("Save As", [&] { return EditorUp(); }, [&] { Click(Bottom("Save As")); })
      .then("a blank catalog", [&] { return OpenSaveUp(); },
            [&] {
              FillOpenSave("TESTLIB", "   ", "OTHER");
              Click(ButtonLabelled(OpenSave(), "OK"));
            })
      .then("No catalog. answered", [&] { return BoxSays("No catalog."); },
            [&] { Answer(XmDIALOG_OK_BUTTON); })
      .then("a catalog too long, then a read-only library", [&] { return !Box() && OpenSaveUp(); },
            [&] {
              EXPECT_EQ(XmGetFocusWidget(OpenSave()), One(OpenSave(), "TextField", 1));
              // A name longer than its field's limit is cut by the field: 8
              // characters of a library go in and the 9th is refused, 32 of a
              // catalog or an entry and the 33rd refused.
              Widget lib = One(OpenSave(), "TextField", 0);
              Widget cat = One(OpenSave(), "TextField", 1);
              Widget ent = One(OpenSave(), "TextField", 2);
              Replace(lib, std::string(9, 'L'));
              EXPECT_EQ(Text(lib), std::string(8, 'L'));
              Replace(cat, std::string(33, 'C'));
              EXPECT_EQ(Text(cat), std::string(32, 'C'));
              Replace(ent, std::string(33, 'E'));
              EXPECT_EQ(Text(ent), std::string(32, 'E'));
              FillOpenSave("ROLIB", "CAT", "OTHER");
              qevhost::setLibraryReadOnly("ROLIB", true);
              Click(ButtonLabelled(OpenSave(), "OK"));
            })
      .then("Not saved. answered", [&] { return BoxSays("Not saved."); },
            [&] { Answer(XmDIALOG_OK_BUTTON); })
      .then("a location in lower case", [&] { return !Box() && OpenSaveUp(); },
            [&] {
              FillOpenSave("testlib", "cat", "other");
              Click(ButtonLabelled(OpenSave(), "OK"));
            })
      .then("Saved. answered", [&] { return BoxSays("Saved."); }, [&] { Answer(XmDIALOG_OK_BUTTON); })
      .then("the tip and id changed, then Save", [&] { return !Box(); },
            [&] {
              EXPECT_FALSE(XtIsManaged(OpenSave()));
              Replace(Field(3), "new tip");
              Replace(Field(4), "77");
              EXPECT_TRUE(XtIsSensitive(Bottom("Save")));
              Click(Bottom("Save"));
            })
      .then("Saved. answered again", [&] { return BoxSays("Saved."); },
            [&] { Answer(XmDIALOG_OK_BUTTON); })
      .then("Close", [&] { return !Box(); }, [&] { Click(Bottom("Close")); });
  Edit("", &s);
  auto q = Drain();
  ASSERT_EQ(q.size(), 1u);
  EXPECT_EQ(q[0].code, 1027);
  wu_toolbox *r = Read("OTHER");
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->count, 2);
  EXPECT_STREQ(r->tools->tip, "new tip");
  EXPECT_EQ(r->tools->command_id, 77);
  EXPECT_STREQ(r->tools->next->command, "MINE1");
  wutfbar(nullptr, r);
  EXPECT_EQ(Read("OTHER", "ROLIB"), nullptr);
  EXPECT_EQ(window_->toolbox->no_save, 0);

  // A read-only location cannot be saved: the Save button says so.
  qevhost::setLibraryReadOnly("TESTLIB", true);
  Script t;
  t.then("Save refused, then Close", [&] { return EditorUp(); },
         [&] {
           EXPECT_FALSE(XtIsSensitive(Bottom("Save")));
           Click(Bottom("Close"));
         });
  Edit("TESTLIB.CAT.MINE", &t);
}

TEST_F(ToolEditor, OpeningAndClosingLeavesTheEntryByteForByte) {
  WriteEntry("SEPS", 1, 48, {{"2", "ONE"}, {"-999", ""}, {"10", "TWO"}}, 0);
  const std::string dir = qevhost::catalogRoot() + "/TESTLIB/CAT";
  const std::string bytes = FileBytes(dir, "SEPS");
  ASSERT_FALSE(bytes.empty());
  Script s;
  s.then("the box looked at, then Close", [&] { return EditorUp(); },
         [&] {
           // Separators are not shown: the preview has the two tools in one row.
           EXPECT_EQ(ToolNames(), (std::vector<std::string>{"ONE", "TWO"}));
           EXPECT_EQ(Text(Field(0)), "2");
           EXPECT_FALSE(XtIsSensitive(One(Editor(), "ArrowButton", 0)));   // per row at the count
           Click(Bottom("Close"));
         });
  Edit("TESTLIB.CAT.SEPS", &s);
  EXPECT_EQ(FileBytes(dir, "SEPS"), bytes);
  auto q = Drain();
  ASSERT_EQ(q.size(), 1u);
  EXPECT_EQ(q[0].code, 1027);
}

TEST_F(ToolEditor, AddInsertDeleteMoveAndPerRow) {
  Store("EDIT", 3, 3);
  const int32_t boxes = wu_reg_count(WU_REG_TOOLBOX);
  const int32_t icons = devb->icon_count;
  Script s;
  s.then("Add", [&] { return EditorUp(); },
         [&] {
           // Add after the first tool: a box in one row stays in one row.
           qevtest::clickWidget(Bottom("Add"));
         })
      .then("the new tool named, per row, Insert, Delete, the first tool moved",
            [&] { return ToolNames().size() == 4u; },
            [&] {
        EXPECT_EQ(ToolNames().size(), 4u);
        EXPECT_EQ(Text(Field(0)), "4");
        EXPECT_EQ(Text(Field(1)), "");
        Replace(Field(1), "NEW1");
        // Two per row, then Add keeps two per row.
        Replace(Field(0), "2");
        Key(XK_Return);
        short rows = 0;
        XtVaGetValues(One(Preview(), "RowColumn"), XmNnumColumns, &rows, nullptr);
        EXPECT_EQ(rows, 2);
        Click(Bottom("Insert"));
        EXPECT_EQ(ToolNames().size(), 5u);
        EXPECT_EQ(Text(Field(0)), "2");
        Replace(Field(1), "NEW0");
        // Per row: 0 and one more than the count both mean the count; the
        // count itself stands; the arrows step.
        Replace(Field(0), "0");
        Key(XK_Return);
        EXPECT_EQ(Text(Field(0)), "5");
        Click(One(Editor(), "ArrowButton", 1));   // down
        EXPECT_EQ(Text(Field(0)), "4");
        Replace(Field(0), "6");
        Key(XK_Return);
        EXPECT_EQ(Text(Field(0)), "5");
        Replace(Field(0), "5");
        Key(XK_Return);
        EXPECT_EQ(Text(Field(0)), "5");
        Click(One(Editor(), "ArrowButton", 1));   // down
        EXPECT_EQ(Text(Field(0)), "4");
        // Delete the last tool: the new last one is selected.
        SelectTool(4);
        EXPECT_EQ(Text(Field(1)), "EDIT2");
        Click(Bottom("Delete"));
        EXPECT_EQ(Text(Field(1)), "EDIT1");
        EXPECT_EQ(Text(Field(0)), "4");
        // Move the first tool forward, then the selected one back.
        SelectTool(0);
        // The first tool cannot go back; the last cannot go forward.
        EXPECT_FALSE(XtIsSensitive(One(Editor(), "ArrowButton", 2)));
        EXPECT_TRUE(XtIsSensitive(One(Editor(), "ArrowButton", 3)));
        qevtest::clickWidget(One(Editor(), "ArrowButton", 3));
      })
      .then("the moved tool selected, texts at their limits, Save",
            [&] { return ToolNames().size() > 1 && ToolNames()[1] == "EDIT0"; },
            [&] {
        EXPECT_EQ(Text(Field(1)), "EDIT0");
        EXPECT_EQ(ToolNames()[1], "EDIT0");
        EXPECT_TRUE(XtIsSensitive(One(Editor(), "ArrowButton", 2)));
        EXPECT_TRUE(XtIsSensitive(One(Editor(), "ArrowButton", 3)));
        SelectTool(3);
        EXPECT_TRUE(XtIsSensitive(One(Editor(), "ArrowButton", 2)));
        EXPECT_FALSE(XtIsSensitive(One(Editor(), "ArrowButton", 3)));
        SelectTool(1);
        // A text holds 199 characters: the 200th typed is refused; a paste
        // into an empty field (inserted as the paste inserts it) is cut.
        Replace(Field(2), std::string(199, 'h') + "x");
        EXPECT_EQ(Text(Field(2)), std::string(199, 'h'));
        Replace(Field(3), "");
        XmTextFieldInsert(Field(3), 0, const_cast<char *>(std::string(250, 't').c_str()));
        EXPECT_EQ(Text(Field(3)).size(), 199u);
        Replace(Field(4), "123456789");
        EXPECT_EQ(Text(Field(4)), "12345678");
        Click(Bottom("Save"));
      })
      .then("Saved. answered", [&] { return BoxSays("Saved."); }, [&] { Answer(XmDIALOG_OK_BUTTON); })
      .then("Add with Shift held, Delete, Close", [&] { return !Box(); },
            [&] {
        // With a modifier held and separators not edited: the bell, a tool.
        Display *dpy = devb->display;
        XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, XK_Shift_L), True, CurrentTime);
        XSync(dpy, False);
        Click(Bottom("Add"));
        XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, XK_Shift_L), False, CurrentTime);
        XSync(dpy, False);
        EXPECT_EQ(ToolNames().size(), 5u);
        EXPECT_TRUE(XtIsSensitive(Field(1)));
        Click(Bottom("Delete"));
        EXPECT_EQ(ToolNames().size(), 4u);
        Click(Bottom("Close"));
      })
      .then("Save the changes? answered No", [&] { return BoxSays("Save the changes?"); },
            [&] { AnswerNo(); });
  Edit("TESTLIB.CAT.EDIT", &s);
  wu_toolbox *r = Read("EDIT");
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->count, 4);
  EXPECT_EQ(r->per_row, 4);
  std::vector<std::string> names;
  for (wu_tool *t = r->tools; t; t = t->next) names.push_back(t->command ? t->command : "");
  EXPECT_EQ(names, (std::vector<std::string>{"NEW0", "EDIT0", "NEW1", "EDIT1"}));
  EXPECT_EQ(std::string(r->tools->next->help), std::string(199, 'h'));
  EXPECT_EQ(std::string(r->tools->next->tip), std::string(199, 't'));
  EXPECT_EQ(r->tools->next->command_id, 12345678);
  EXPECT_EQ(r->tools->icon, 1010);
  wutfbar(nullptr, r);
  EXPECT_EQ(wu_reg_count(WU_REG_TOOLBOX), boxes);
  EXPECT_EQ(devb->icon_count, icons);
  EXPECT_EQ(wu_module()->busy, 0);
  EXPECT_EQ(devb->busy_depth, 0);
}

TEST_F(ToolEditor, SeparatorsWithAHeldModifierWhenTheyAreEdited) {
  devb->motifres.edit_toolbox_separators = True;
  Store("SEP", 2, 2);
  Script s;
  s.then("a separator added with Shift held, then Insert held with button 3",
         [&] { return EditorUp(); }, [&] {
        Display *dpy = devb->display;
        XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, XK_Shift_L), True, CurrentTime);
        XSync(dpy, False);
        Click(Bottom("Add"));
        XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, XK_Shift_L), False, CurrentTime);
        XSync(dpy, False);
        EXPECT_EQ(Text(Field(1)), "-Separator-");
        EXPECT_FALSE(XtIsSensitive(Field(1)));
        EXPECT_FALSE(XtIsSensitive(Bottom("Action")) && XtIsManaged(Bottom("Action")));
        // The Icon button does nothing on a separator.
        Click(Bottom("Icon"));
        EXPECT_FALSE(XtIsManaged(One(Editor(), "Pixmap", 1)));
        // Button 3 on Insert posts the popup of new tools.
        SelectTool(0);
        // Pressed and held: the popup comes up inside the press.
        EXPECT_TRUE(qevtest::pressHandled(Bottom("Insert"), Button3));
      })
      .then("released on New separator", [&] { return qevtest::viewable(One(devb->toplevel, "New separator")); },
            [&] {
        Widget item = One(devb->toplevel, "New separator");
        ASSERT_NE(item, nullptr);
        EXPECT_TRUE(XtIsSensitive(item));
        EXPECT_FALSE(XtIsSensitive(One(devb->toplevel, "New from action")));   // no tool set
        // Dragged to the item and released there.
        EXPECT_TRUE(qevtest::releaseHandled(item, Button3));
      })
      .then("Save", [&] { return ToolNames().size() == 4u; },
            [&] {
              EXPECT_EQ(Text(Field(1)), "-Separator-");
              Click(Bottom("Save"));
            })
      .then("Saved. answered", [&] { return BoxSays("Saved."); }, [&] { Answer(XmDIALOG_OK_BUTTON); })
      .then("Close", [&] { return !Box(); }, [&] { Click(Bottom("Close")); });
  Edit("TESTLIB.CAT.SEP", &s);
  wu_toolbox *r = Read("SEP");
  ASSERT_NE(r, nullptr);
  ASSERT_EQ(r->count, 4);
  EXPECT_EQ(r->tools->icon, WU_TB_SEPARATOR_ICON);
  EXPECT_EQ(r->tools->next->next->icon, WU_TB_SEPARATOR_ICON);
  EXPECT_EQ(r->per_row, 4);
  wutfbar(nullptr, r);
}

TEST_F(ToolEditor, IconChooserAndActionList) {
  devb->user_icons_colour = 6;
  Store("ICONS", 3, 3, {-5, 1030, 999});
  // The action source: a tool set of the entry's name at the default place.
  Store("ICONS", 3, 3, {2, -999, -3}, qevhost::kProfileLibref, qevhost::kProfileCatalog);
  const int32_t icons = devb->icon_count;
  std::vector<Widget> pool;
  Pixmap tool_icon = None;
  int32_t refs = 0;
  auto selected = [](Widget list) {
    int *pos = nullptr, n = 0;
    int first = 0;
    if (XmListGetSelectedPos(list, &pos, &n) && n > 0) first = pos[0];
    XtFree(reinterpret_cast<char *>(pos));
    return first;
  };
  Script s;
  s.then("Icon", [&] { return EditorUp(); }, [&] {
    ASSERT_NE(Chooser(), nullptr);
    ASSERT_TRUE(XtIsManaged(Bottom("Action")));
    Click(Bottom("Icon"));
    ASSERT_TRUE(XtIsManaged(Chooser()));
    // The category combo shows the category of the tool's icon.
    Widget list = One(Chooser(), "ComboList");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(selected(list), 4);   // the user category first, then the tools with 173
    EXPECT_EQ(ComboText(Chooser()), "Category 3");
    pool = All(Chooser(), "Button");
    EXPECT_EQ(Managed(pool), 6);
    XtVaGetValues(pool[0], XmNlabelPixmap, &tool_icon, nullptr);
    refs = wutrpix(tool_icon);
  });
  // Switching categories reuses the buttons and the loaded pixmaps.
  s.then(ChooseCategory(2));
  s.then("the second category's buttons", [&] { EXPECT_EQ(Managed(All(Chooser(), "Button")), 4); });
  s.then(ChooseCategory(4));
  s.then("the tools' pixmaps again", [&] {
    Pixmap again = None;
    XtVaGetValues(pool[0], XmNlabelPixmap, &again, nullptr);
    EXPECT_EQ(again, tool_icon);
    EXPECT_EQ(wutrpix(tool_icon), refs);
  });
  // Arm another icon by clicking it and take it.
  s.then(ChooseCategory(2));
  s.then("an icon taken, other icons, the action list, Save", [&] {
    Widget chooser = Chooser();
    Click(All(chooser, "Button")[1]);
    Click(ButtonLabelled(chooser, "OK"));
    EXPECT_FALSE(XtIsManaged(chooser));
    // A user icon opens its category with its button armed.
    SelectTool(1);
    Click(Bottom("Icon"));
    EXPECT_EQ(selected(One(chooser, "ComboList")), 1);
    EXPECT_EQ(ComboText(chooser), "My icons");
    Click(ButtonLabelled(chooser, "Cancel"));
    // A missing icon arms nothing: OK rings and keeps the chooser.
    SelectTool(2);
    Click(Bottom("Icon"));
    Click(ButtonLabelled(chooser, "OK"));
    EXPECT_TRUE(XtIsManaged(chooser));
    Click(ButtonLabelled(chooser, "Cancel"));
    // The action list: the tool set without its separator.
    Click(Bottom("Action"));
    Widget actions = One(Editor(), "Pixmap", 0);
    ASSERT_TRUE(XtIsManaged(actions));
    Widget al = One(actions, "ActionList");
    XdIconListDeselectAll(al);
    Click(ButtonLabelled(actions, "OK"));
    EXPECT_TRUE(XtIsManaged(actions));
    // The list fills the dialog: its rows are in view to be clicked.
    ClickRow(XdIconListGetChild(al, XdICONLIST_LIST), 2);
    Click(ButtonLabelled(actions, "OK"));
    EXPECT_FALSE(XtIsManaged(actions));
    EXPECT_EQ(Text(Field(1)), "ICONS2");
    EXPECT_EQ(Text(Field(4)), "102");
    Click(Bottom("Action"));
    EXPECT_TRUE(XtIsManaged(actions));
    Click(ButtonLabelled(actions, "Cancel"));
    EXPECT_FALSE(XtIsManaged(actions));
    Click(Bottom("Save"));
  });
  s.then("Saved. answered", [&] { return BoxSays("Saved."); }, [&] { Answer(XmDIALOG_OK_BUTTON); })
      .then("Close", [&] { return !Box(); }, [&] { Click(Bottom("Close")); });
  Edit("TESTLIB.CAT.ICONS", &s);
  wu_toolbox *r = Read("ICONS");
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->tools->icon, 31);
  EXPECT_EQ(r->tools->next->icon, 1030);
  EXPECT_EQ(r->tools->next->next->icon, 292);
  EXPECT_STREQ(r->tools->next->next->command, "ICONS2");
  EXPECT_STREQ(r->tools->next->next->help, "help of ICONS2");
  wutfbar(nullptr, r);
  EXPECT_EQ(devb->icon_count, icons);
}

// The icon grid as the chooser shows it: each managed button's icon and pixmap.
std::vector<std::pair<int32_t, Pixmap>> ShownIcons(Widget chooser) {
  std::vector<std::pair<int32_t, Pixmap>> out;
  for (Widget b : All(chooser, "Button")) {
    if (!XtIsManaged(b)) continue;
    XtPointer id = nullptr;
    Pixmap p = None;
    XtVaGetValues(b, XmNuserData, &id, XmNlabelPixmap, &p, nullptr);
    out.emplace_back(int32_t(intptr_t(id)), p);
  }
  return out;
}
std::vector<int32_t> CategoryIcons(int row) {
  std::vector<int32_t> out;
  for (const int32_t *i = wutgcat()[row].icons; *i; ++i) out.push_back(*i);
  return out;
}
bool Viewable(Widget w) {
  if (!w || !XtIsRealized(w)) return false;
  XWindowAttributes wa = {};
  XGetWindowAttributes(XtDisplay(w), XtWindow(w), &wa);
  return wa.map_state == IsViewable;
}

// The category combo switches categories as a user works it: the arrow
// posts the list, a click or the keys choose, and the grid shows the chosen
// category's icons, each category's pixmaps loaded once.
TEST_F(ToolEditor, CategoryComboSwitchesWithoutReloading) {
  devb->user_icons_colour = 0;
  Store("COMBO", 2, 2, {-5, 31});   // -5 stands for 173, of the third category
  const int32_t icons = devb->icon_count;
  Display *dpy = devb->display;
  Widget chooser = nullptr;
  std::vector<std::pair<int32_t, Pixmap>> tools, documents;
  std::vector<int32_t> refs, document_refs;
  auto Refs = [](const std::vector<std::pair<int32_t, Pixmap>> &shown) {
    std::vector<int32_t> out;
    for (auto &s : shown) out.push_back(wutrpix(s.second));
    return out;
  };
  auto ClickItem = [&](int pos, bool move_only) {
    Widget list = One(chooser, "ComboList");
    Position x = 0, y = 0;
    Dimension w = 0, h = 0;
    ASSERT_TRUE(XmListPosToBounds(list, pos, &x, &y, &w, &h));
    int rx = 0, ry = 0;
    ASSERT_TRUE(qevtest::rootPoint(list, x + w / 2, y + h / 2, &rx, &ry));
    if (move_only) {
      XTestFakeMotionEvent(dpy, -1, rx, ry, CurrentTime);
    } else {
      XTestFakeButtonEvent(dpy, 1, True, CurrentTime);
      XTestFakeButtonEvent(dpy, 1, False, CurrentTime);
      list_clicked_ = std::chrono::steady_clock::now();
    }
    XFlush(dpy);
  };
  auto posted = [&] { return Viewable(One(chooser, "ListShell")); };
  Script s;
  s.then("Icon, then the category arrow", [&] { return EditorUp(); },
         [&] {
           Click(Bottom("Icon"));
           chooser = One(Editor(), "Pixmap", 1);
           ASSERT_NE(chooser, nullptr);
           ASSERT_TRUE(XtIsManaged(chooser));
           EXPECT_EQ(ComboText(chooser), "Category 3");
           tools = ShownIcons(chooser);
           std::vector<int32_t> ids;
           for (auto &t : tools) ids.push_back(t.first);
           EXPECT_EQ(ids, CategoryIcons(2));
           refs = Refs(tools);
           // The category texts cannot be typed over: the combo is a drop-down list.
           Boolean editable = True;
           XtVaGetValues(One(chooser, "ComboText"), XmNeditable, &editable, nullptr);
           EXPECT_FALSE(editable);
           qevtest::clickWidget(One(chooser, "ComboArrow"));
         })
      .then("the posted list holds the pointer; the pointer to its second row", posted,
            [&] {
              EXPECT_FALSE(qevtest::pointerFree());
              int count = 0;
              XtVaGetValues(One(chooser, "ComboList"), XmNitemCount, &count, nullptr);
              EXPECT_EQ(count, 3);
              ClickItem(2, true);
            })
      .then("a click on the second row", [&] { ClickItem(2, false); })
      .then("the second category shown; the arrow again",
            [&] { return !posted() && ComboText(chooser) == "Category 2"; },
            [&] {
              EXPECT_TRUE(qevtest::pointerFree());
              documents = ShownIcons(chooser);
              std::vector<int32_t> ids;
              for (auto &d : documents) ids.push_back(d.first);
              EXPECT_EQ(ids, CategoryIcons(1));
              // Each button shows its icon's pixmap from the store.
              for (auto &d : documents) {
                Pixmap p = None;
                int32_t w = 0, h = 0;
                ASSERT_EQ(wutgpix(d.first, &devb->icon_colours, devb->depth, 0, &p, &w, &h), WU_OK);
                EXPECT_EQ(p, d.second) << "icon " << d.first;
                wutfpix(p);
              }
              document_refs = Refs(documents);
              // Back to the tools by the keys of the posted list.
              qevtest::clickWidget(One(chooser, "ComboArrow"));
            })
      .then("Down and Return in the posted list", posted,
            [&] {
              qevtest::pressKey(dpy, XK_Down);
              qevtest::pressKey(dpy, XK_Return);
            })
      .then("the tools' category again; OK, Icon again, Cancel, the arrow",
            [&] { return !posted() && ComboText(chooser) == "Category 3"; },
            [&] {
              EXPECT_TRUE(qevtest::pointerFree());
              // The cached pixmaps again, not one more taken from the store.
              EXPECT_EQ(ShownIcons(chooser), tools);
              EXPECT_EQ(Refs(tools), refs);
              // The tool's own icon is armed again: OK keeps it.
              Click(ButtonLabelled(chooser, "OK"));
              EXPECT_FALSE(XtIsManaged(chooser));
              // Opening again shows the tool's category with the same pixmaps.
              SelectTool(1);
              Click(Bottom("Icon"));
              EXPECT_EQ(ComboText(chooser), "Category 1");
              // The chooser is application modal: the preview takes no click.
              SelectTool(0);
              EXPECT_TRUE(XtIsManaged(chooser));
              Click(ButtonLabelled(chooser, "Cancel"));
              EXPECT_EQ(Text(Field(1)), "COMBO1");
              SelectTool(0);
              Click(Bottom("Icon"));
              EXPECT_EQ(ComboText(chooser), "Category 3");
              EXPECT_EQ(ShownIcons(chooser), tools);
              EXPECT_EQ(Refs(tools), refs);
              qevtest::clickWidget(One(chooser, "ComboArrow"));
            })
      .then("the pointer to the second row again", [&] { return posted() && ListClickable(); },
            [&] { ClickItem(2, true); })
      .then("a click on the second row again", [&] { ClickItem(2, false); })
      .then("the second category's cached pixmaps; Cancel, Close",
            [&] { return !posted() && ComboText(chooser) == "Category 2"; },
            [&] {
              EXPECT_EQ(ShownIcons(chooser), documents);
              EXPECT_EQ(Refs(documents), document_refs);
              Click(ButtonLabelled(chooser, "Cancel"));
              Click(Bottom("Close"));
            })
      .then("Save the changes? answered No", [&] { return BoxSays("Save the changes?"); },
            [&] { AnswerNo(); });
  Edit("TESTLIB.CAT.COMBO", &s);
  EXPECT_EQ(devb->icon_count, icons);
}

TEST_F(ToolEditor, QuestionsOpenDefaultAndTheWindowManagersClose) {
  Store("ONE", 2, 2);
  Store("TWO", 3, 1);
  Script s;
  s.then("the command changed, then Close", [&] { return EditorUp(); },
         [&] {
           Replace(Field(1), "EDITED");
           Click(Bottom("Close"));
         })
      .then("Save the changes? cancelled", [&] { return BoxSays("Save the changes?"); },
            [&] { Answer(XmDIALOG_CANCEL_BUTTON); })
      .then("Open", [&] { return !Box(); },
            [&] {
              ASSERT_TRUE(XtIsManaged(Editor()));
              Click(Bottom("Open"));
            })
      .then("Save the changes? answered Yes", [&] { return BoxSays("Save the changes?"); },
            [&] { Answer(XmDIALOG_OK_BUTTON); })
      .then("Saved. answered", [&] { return BoxSays("Saved."); }, [&] { Answer(XmDIALOG_OK_BUTTON); })
      .then("the window manager's close under the Open dialog",
            [&] { return !Box() && OpenSaveUp(); },
            [&] { qevtest::closeLikeWindowManager(XtParent(Editor())); })
      .then("an entry that does not exist", [&] { return OpenSaveUp(); },
            [&] {
              EXPECT_FALSE(Box()) << "the window manager's close asked something";
              FillOpenSave("TESTLIB", "CAT", "NOSUCH");
              Click(ButtonLabelled(OpenSave(), "OK"));
            })
      .then("Not found. answered", [&] { return BoxSays("Not found."); },
            [&] { Answer(XmDIALOG_OK_BUTTON); })
      .then("the second entry opened", [&] { return !Box() && OpenSaveUp(); },
            [&] {
              FillOpenSave("TESTLIB", "CAT", "TWO");
              Click(ButtonLabelled(OpenSave(), "OK"));
            })
      .then("Default refused; a change, then the window manager's close",
            [&] { return !XtIsManaged(OpenSave()); },
            [&] {
              EXPECT_EQ(ToolNames(), (std::vector<std::string>{"TWO0", "TWO1", "TWO2"}));
              EXPECT_EQ(Text(Field(1)), "TWO0");
              EXPECT_EQ(Text(Field(0)), "1");
              // Default is offered only when the command named no location: a
              // click on it asks nothing.
              EXPECT_FALSE(XtIsSensitive(Bottom("Default")));
              Click(Bottom("Default"));
              EXPECT_EQ(Box(), nullptr);
              EXPECT_EQ(ToolNames().size(), 3u);
              Replace(Field(1), "TWO CHANGED");
              qevtest::closeLikeWindowManager(XtParent(Editor()));
            })
      .then("Save the changes? answered No", [&] { return BoxSays("Save the changes?"); },
            [&] { AnswerNo(); });
  Edit("TESTLIB.CAT.ONE", &s);
  wu_toolbox *r = Read("ONE");
  ASSERT_NE(r, nullptr);
  EXPECT_STREQ(r->tools->command, "EDITED");
  wutfbar(nullptr, r);
  r = Read("TWO");
  ASSERT_NE(r, nullptr);
  EXPECT_STREQ(r->tools->command, "TWO0");
  wutfbar(nullptr, r);
  EXPECT_EQ(Editor(), nullptr);
}

// TOOLEDIT without a location edits the window's own box and offers
// Default, which puts the built-in tools back after a question.
TEST_F(ToolEditor, DefaultRestoresTheBuiltInToolsAfterAQuestion) {
  Script s;
  s.then("the notice of a new box answered", [&] { return BoxUp(); },
         [&] {
           EXPECT_EQ(BoxText().rfind("New box for ", 0), 0u);
           Answer(XmDIALOG_OK_BUTTON);
         })
      .then("a tool deleted, then Default", [&] { return !Box() && EditorUp(); },
            [&] {
              ASSERT_EQ(ToolNames().size(), 14u);
              SelectTool(0);
              Click(Bottom("Delete"));
              EXPECT_EQ(ToolNames().size(), 13u);
              EXPECT_TRUE(XtIsSensitive(Bottom("Default")));
              Click(Bottom("Default"));
            })
      .then("Restore the default? answered", [&] { return BoxSays("Restore the default?"); },
            [&] { Answer(XmDIALOG_OK_BUTTON); })
      .then("the built-in tools back, then Close", [&] { return !Box(); },
            [&] {
              EXPECT_EQ(ToolNames().size(), 14u);
              EXPECT_EQ(ToolNames().front(), "DEF0");
              EXPECT_EQ(Text(Field(1)), "DEF0");
              Click(Bottom("Close"));
            })
      .then("Save the changes? answered No", [&] { return BoxSays("Save the changes?"); },
            [&] { AnswerNo(); });
  Edit("", &s);
  EXPECT_EQ(Editor(), nullptr);
}

TEST_F(ToolEditor, ANewEntryStartsFromTheBuiltInBoxWithANotice) {
  Store("OLD", 1, 1);   // the catalog exists, the entry does not
  Script s;
  s.then("the notice of a new box answered", [&] { return BoxUp(); },
         [&] {
           EXPECT_EQ(BoxText().rfind("New box for ", 0), 0u);
           Answer(XmDIALOG_OK_BUTTON);
         })
      .then("Save", [&] { return !Box() && EditorUp(); },
            [&] {
              EXPECT_EQ(ToolNames().size(), 14u);
              Click(Bottom("Save"));
            })
      .then("Saved. answered", [&] { return BoxSays("Saved."); }, [&] { Answer(XmDIALOG_OK_BUTTON); })
      .then("Close", [&] { return !Box(); }, [&] { Click(Bottom("Close")); });
  Edit("TESTLIB.CAT.FRESH", &s);
  wu_toolbox *r = Read("FRESH");
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->count, 14);
  EXPECT_STREQ(r->tools->command, "DEF0");
  EXPECT_EQ(r->tools->icon, 290);
  wutfbar(nullptr, r);
  // A library that cannot be opened gives the message and no editor.
  qevhost::clearShownMessages();
  Cmd(WU_CMD_TOOLEDIT, "NOLIB.CAT.FRESH");
  EXPECT_EQ(Editor(), nullptr);
}

// A display-manager window edits the global box its kind shares: a box of
// its own is released, not edited.
TEST_F(ToolEditor, ADisplayManagerWindowEditsTheGlobalBox) {
  Store("OWN", 2, 2);
  wu_window *dm = qevtest::openUserWindow(kKindDisplayManager);
  ASSERT_NE(dm, nullptr);
  wu_toolbox *own = Read("OWN");
  ASSERT_NE(own, nullptr);
  dm->toolbox = own;
  std::vector<std::string> shown;
  Script s;
  s.then("the tools looked at, then Close", [&] { return EditorUp(); },
         [&] {
           shown = ToolNames();
           Click(Bottom("Close"));
         });
  Run(&s, [&] {
    qevhost::setCommand("");
    ecmd_(dm, WU_CMD_TOOLEDIT);
  });
  ASSERT_EQ(shown.size(), 14u);   // the built-in box stands as the global one
  EXPECT_EQ(shown.front(), "DEF0");
  wu_toolbox *global = wu_module()->global_toolbox;
  ASSERT_NE(global, nullptr);
  EXPECT_STREQ(global->tools->command, "DEF0");
  EXPECT_FALSE(wu_reg_has(own, WU_REG_TOOLBOX));
  EXPECT_NE(dm->toolbox, own);
  EXPECT_EQ(Editor(), nullptr);
  wuxfwnd(dm);
}

// The icon chooser opened with a click shows its icon area at its full
// height on the server, however the categories filled it before.
TEST_F(ToolEditor, TheIconChooserOpensWithItsIconAreaHeight) {
  Store("AREA", 2, 2, {-5, 2});
  auto height = [](Widget w) {
    XWindowAttributes a = {};
    if (!w || !XtIsRealized(w) || !XGetWindowAttributes(devb->display, XtWindow(w), &a)) return -1;
    return a.height;
  };
  std::vector<int> seen;
  Widget chooser = nullptr;
  Script s;
  s.then("the icon area made small, then Icon", [&] { return EditorUp(); },
         [&] {
           chooser = One(Editor(), "Pixmap", 1);
           ASSERT_NE(chooser, nullptr);
           // A small icon area before the chooser opens, as a layout may leave it.
           XtVaSetValues(One(chooser, "ScrolledWindow"), XmNheight, 40, nullptr);
           qevtest::clickWidget(Bottom("Icon"));
         })
      .then("the chooser's height looked at, then Cancel",
            [&] { return XtIsManaged(chooser) && qevtest::viewable(chooser); },
            [&] {
              seen.push_back(height(One(chooser, "ScrolledWindow")));
              // The button row is below the icon area, not under it: a
              // click on Cancel reaches Cancel.
              Widget area = One(chooser, "ScrolledWindow"), cancel = ButtonLabelled(chooser, "Cancel");
              Position ax = 0, ay = 0, cx = 0, cy = 0;
              XtTranslateCoords(area, 0, 0, &ax, &ay);
              XtTranslateCoords(cancel, 0, 0, &cx, &cy);
              EXPECT_GE(cy, ay + height(area));
              Click(cancel);
              EXPECT_FALSE(XtIsManaged(chooser));
            })
      .then("Close", [&] { Click(Bottom("Close")); });
  Edit("TESTLIB.CAT.AREA", &s);
  EXPECT_EQ(seen, std::vector<int>{310});
}

TEST_F(ToolEditor, AFullBoxRefusesAddAndAnEmptyCopySelectsNothing) {
  // A stored header counts at most 255 tools: the 255th is added, the
  // 256th refused, and a box of 255 is saved whole.
  Store("FULL", 254, 254);
  // Add clicked with the box at `before` tools: one more, to 255 at most.
  auto add = [&](size_t before) {
    EXPECT_EQ(ToolNames().size(), before);
    Click(Bottom("Add"));
    EXPECT_EQ(ToolNames().size(), std::min<size_t>(before + 1, 255u));
  };
  Script s;
  s.then("Add to 254 tools and to 255, then Close", [&] { return EditorUp(); },
         [&] {
           add(254);
           add(255);
           Click(Bottom("Close"));
         })
      .then("Save the changes? answered Yes", [&] { return BoxSays("Save the changes?"); },
            [&] { Answer(XmDIALOG_OK_BUTTON); })
      .then("Saved. answered", [&] { return BoxSays("Saved."); }, [&] { Answer(XmDIALOG_OK_BUTTON); });
  Edit("TESTLIB.CAT.FULL", &s);
  wu_toolbox *full = Read("FULL");
  ASSERT_NE(full, nullptr);
  EXPECT_EQ(full->count, 255);
  wutfbar(nullptr, full);

  // A box of one separator, opened in the editor while separators are edited: deleting
  // it leaves nothing to select, and Add starts again from there.
  devb->motifres.edit_toolbox_separators = True;
  WriteEntry("BARE", 1, 24, {{"-999", ""}});
  Script t;
  t.then("the full box opened whole, Add refused, Open", [&] { return EditorUp(); },
         [&] {
           add(255);
           Click(Bottom("Open"));
         })
      .then("the box of one separator opened", [&] { return OpenSaveUp(); },
            [&] {
              FillOpenSave("TESTLIB", "CAT", "BARE");
              Click(ButtonLabelled(OpenSave(), "OK"));
            })
      .then("its separator deleted, the empty copy worked, Add, Close",
            [&] { return !XtIsManaged(OpenSave()); }, [&] {
        ASSERT_EQ(Tools().size(), 1u);
        EXPECT_EQ(Text(Field(1)), "-Separator-");
        Click(Bottom("Delete"));
        EXPECT_TRUE(Tools().empty());
        for (int i = 1; i <= 4; ++i) EXPECT_FALSE(XtIsSensitive(Field(i))) << i;
        EXPECT_FALSE(XtIsSensitive(Bottom("Delete")));
        EXPECT_FALSE(XtIsSensitive(Bottom("Icon")));
        Click(Bottom("Delete"));
        Click(One(Editor(), "ArrowButton", 0));
        Click(One(Editor(), "ArrowButton", 2));
        Click(Bottom("Add"));
        EXPECT_EQ(ToolNames().size(), 1u);
        EXPECT_TRUE(XtIsSensitive(Field(1)));
        Click(Bottom("Close"));
      })
      .then("Save the changes? answered No", [&] { return BoxSays("Save the changes?"); },
            [&] { AnswerNo(); });
  Edit("TESTLIB.CAT.FULL", &t);
  EXPECT_EQ(Editor(), nullptr);
}

TEST_F(ToolEditor, RefusedCopiesAndAWindowReleasedWhileTheEditorRuns) {
  wu_toolbox *b = AllocateToolBar();
  b->count = 3;   // but no tools in the list
  b->per_row = 3;
  const int32_t depth = devb->busy_depth;
  EXPECT_EQ(wumtled(window_, b, 0, 0), WU_NOTAVAIL);
  EXPECT_EQ(Editor(), nullptr);
  EXPECT_EQ(devb->busy_depth, depth);
  EXPECT_EQ(wu_module()->busy, 0);
  EXPECT_EQ(wumtled(window_, nullptr, 0, 0), WU_NOTAVAIL);
  wu_toolbox fake = {};
  EXPECT_EQ(wumtled(window_, &fake, 0, 0), WU_NOTAVAIL);
  wutfbar(nullptr, b);

  Store("GONE", 2, 2);
  Drain();
  wu_window *w = window_;
  Script s;
  s.then("the window released", [&] { return EditorUp(); },
         [&] {
           wuxfwnd(window_);
           window_ = nullptr;
         });
  Run(&s, [&] {
    qevhost::setCommand("TESTLIB.CAT.GONE");
    ecmd_(w, WU_CMD_TOOLEDIT);
  });
  EXPECT_EQ(Editor(), nullptr);
  EXPECT_EQ(Preview(), nullptr);
  EXPECT_EQ(wu_module()->busy, 0);

  // A window released while the chooser's category list is posted ends the
  // editor and lets the pointer and keyboard go.
  ASSERT_EQ(wuxgwnd(&window_, 20, 0), WU_OK);
  wuxiwnd(window_);
  w = window_;
  Script posted;
  posted
      .then("Icon, then the category arrow", [&] { return EditorUp(); },
            [&] {
              Click(Bottom("Icon"));
              ASSERT_NE(Chooser(), nullptr);
              Click(One(Chooser(), "ComboArrow"));
            })
      .then("the window released under the posted list",
            [&] { return qevtest::viewable(One(Chooser(), "ListShell")) && !qevtest::pointerFree(); },
            [&] {
              wuxfwnd(window_);
              window_ = nullptr;
            });
  Run(&posted, [&] {
    qevhost::setCommand("TESTLIB.CAT.GONE");
    ecmd_(w, WU_CMD_TOOLEDIT);
  });
  EXPECT_EQ(Editor(), nullptr);
  EXPECT_EQ(One(devb->toplevel, "ListShell"), nullptr);
  EXPECT_TRUE(qevtest::pointerFree());
  Display *other = XOpenDisplay(DisplayString(devb->display));
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(XGrabKeyboard(other, DefaultRootWindow(other), False, GrabModeAsync, GrabModeAsync,
                          CurrentTime),
            GrabSuccess);
  XUngrabKeyboard(other, CurrentTime);
  XCloseDisplay(other);
}

// Button 3 pressed, and held, on a widget through the server connection `dpy`.
void RightPress(Display *dpy, Widget w) {
  XSync(XtDisplayOfObject(w), False);
  Dimension width = 0, height = 0;
  XtVaGetValues(w, XmNwidth, &width, XmNheight, &height, nullptr);
  Position x = 0, y = 0;
  XtTranslateCoords(w, Position(width / 2), Position(height / 2), &x, &y);
  XTestFakeMotionEvent(dpy, -1, x, y, CurrentTime);
  XTestFakeButtonEvent(dpy, 3, True, CurrentTime);
  XFlush(dpy);
}

// The editor's inner waits, each opened by the user, and what ends them.
enum class InnerWait { AskSave, Saved, NoCatalog, NewBox, AskDefault, Popup };
enum class Ending { WindowReleased, ShutDown };

// Each inner wait of the editor ends, and the editor with it, when its window
// is released or the module shut down while the wait is up; nothing of the
// editor stays on the server and the call that ran the editor returns.
class EditorWaits : public ToolEditor, public ::testing::WithParamInterface<std::tuple<InnerWait, Ending>> {
 protected:
  void SetUp() override {}
  void TearDown() override {}
  Widget PopupUp() {
    for (Widget m : All(devb->toplevel, "_popup"))
      if (XtIsManaged(m)) return m;
    return nullptr;
  }
};

TEST_P(EditorWaits, EndWithTheirWindowAndAtShutDown) {
  const InnerWait which = std::get<0>(GetParam());
  const Ending ending = std::get<1>(GetParam());
  const int status = qevtest::runInChild([&] {
    ToolEditor::SetUp();
    if (::testing::Test::HasFatalFailure()) return;
    Store("WAIT", 3, 3);
    std::string args = "TESTLIB.CAT.WAIT";
    // A connection of the test's own for input that outlasts the module's.
    Display *input = XOpenDisplay(DisplayString(devb->display));
    ASSERT_NE(input, nullptr);
    Script s;
    std::function<bool()> up;   // the wait is up
    // A click once the widget is on the screen; what it does is handled
    // before the next step runs.
    auto click = [&](const std::string &name, std::function<Widget()> w) {
      s.then(name, [w] { return qevtest::viewable(w()); }, [w] { qevtest::clickWidget(w()); });
    };
    s.waitFor("the editor is on the screen", [&] { return EditorUp() || BoxUp(); });
    switch (which) {
      case InnerWait::AskSave:
        click("the command field", [&] { return Field(1); });
        s.then("x typed", [&] { qevtest::pressKey(devb->display, XK_x); });
        click("Close", [&] { return Bottom("Close"); });
        up = [&] { return BoxSays("Save the changes?"); };
        break;
      case InnerWait::Saved:
        click("Save", [&] { return Bottom("Save"); });
        up = [&] { return BoxSays("Saved."); };
        break;
      case InnerWait::NoCatalog:
        click("Open", [&] { return Bottom("Open"); });
        click("the catalog field", [&] { return One(OpenSave(), "TextField", 1); });
        s.then("the catalog erased", [&] {
          qevtest::pressKey(devb->display, XK_End);
          for (int i = 0; i < 4; ++i) qevtest::pressKey(devb->display, XK_BackSpace);
        });
        click("OK", [&] { return ButtonLabelled(OpenSave(), "OK"); });
        up = [&] { return BoxSays("No catalog."); };
        break;
      case InnerWait::NewBox:
        args = "TESTLIB.CAT.FRESH";
        up = [&] { return BoxUp() && BoxText().rfind("New box for ", 0) == 0; };
        break;
      case InnerWait::AskDefault:
        args = "";   // the window's own box: Default is offered
        // The notice of a new box for the window first.
        click("the notice answered", [&] { return Box() ? XmMessageBoxGetChild(Box(), XmDIALOG_OK_BUTTON) : nullptr; });
        s.waitFor("the notice gone", [&] { return !Box(); });
        click("Default", [&] { return Bottom("Default"); });
        up = [&] { return BoxSays("Restore the default?"); };
        break;
      case InnerWait::Popup:
        s.then("button 3 pressed and held on Add", [&] { return qevtest::viewable(Bottom("Add")); },
               [&] { RightPress(input, Bottom("Add")); });
        up = [&] { return PopupUp() != nullptr; };
        break;
    }
    wu_window *w = window_;
    s.then(ending == Ending::WindowReleased ? "the window released under the wait"
                                            : "a shut-down asked for under the wait",
           up, [&] {
             if (ending == Ending::WindowReleased) {
               wuxfwnd(window_);
               window_ = nullptr;
             } else {
               qevtest::windowSlot(WUX_SLOT_TERM)();
             }
           });
    // Every step up to the ending runs, and the wait ends with it.
    Run(&s, [&] {
      qevhost::setCommand(args);
      ecmd_(w, WU_CMD_TOOLEDIT);
    });
    XTestFakeButtonEvent(input, 3, False, CurrentTime);
    XCloseDisplay(input);
    if (ending == Ending::ShutDown) {
      EXPECT_EQ(devb, nullptr) << "the deferred shut-down ran when the editor's wait ended";
      window_ = nullptr;
      qevtest::stopModule();
      return;
    }
    EXPECT_EQ(Editor(), nullptr);
    EXPECT_EQ(Preview(), nullptr);
    EXPECT_EQ(Box(), nullptr);
    EXPECT_EQ(PopupUp(), nullptr);
    EXPECT_EQ(wu_module()->busy, 0);
    EXPECT_TRUE(qevtest::pointerFree());
    ToolEditor::TearDown();
  }, 20);
  EXPECT_TRUE(qevtest::childPassed(status)) << qevtest::describeStatus(status);
}

std::string WaitName(const ::testing::TestParamInfo<std::tuple<InnerWait, Ending>> &info) {
  static const char *const kWaits[] = {"AskSave", "Saved", "NoCatalog", "NewBox", "AskDefault", "Popup"};
  return std::string(kWaits[int(std::get<0>(info.param))]) +
         (std::get<1>(info.param) == Ending::WindowReleased ? "_WindowReleased" : "_ShutDown");
}

INSTANTIATE_TEST_SUITE_P(
    ToolEditor, EditorWaits,
    ::testing::Combine(::testing::Values(InnerWait::AskSave, InnerWait::Saved, InnerWait::NoCatalog,
                                         InnerWait::NewBox, InnerWait::AskDefault, InnerWait::Popup),
                       ::testing::Values(Ending::WindowReleased, Ending::ShutDown)),
    WaitName);

// Opening and closing the editor again and again keeps the process heap
// flat: what one run makes, its end gives back.
TEST_F(ToolEditor, ManyRunsKeepTheHeapFlat) {
  Store("MANY", 6, 3);
  auto run = [&] {
    // The window manager's close ends the editor: the script's last step.
    Script s;
    s.then("the window manager's close", [&] { return EditorUp(); },
           [&] { qevtest::closeLikeWindowManager(XtParent(Editor())); });
    Edit("TESTLIB.CAT.MANY", &s);
    EXPECT_EQ(Editor(), nullptr);
    Drain();
  };
  // Caches and first-use allocations settle (the C library's per-thread
  // caches of freed blocks, counted as in use, fill over the first hundred
  // runs).
  for (int i = 0; i < 100; ++i) run();
  const size_t before = mallinfo2().uordblks;
  for (int i = 0; i < 200; ++i) run();
  const size_t after = mallinfo2().uordblks;
  EXPECT_LT(after, before + 64 * 1024) << "heap grew by " << (after - before) << " bytes over 200 runs";
  EXPECT_EQ(Editor(), nullptr);
}

}  // namespace

// ---- with and without the Motif window manager ------------------------------

namespace {

class ToolEditorManaged : public ToolEditor, public ::testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    ToolEditor::SetUp();
    if (GetParam()) {
      ASSERT_TRUE(qevtest::startModuleWindowManager());
    }
  }
  void TearDown() override {
    ToolEditor::TearDown();
    if (GetParam()) qevtest::stopWindowManager();
  }
  // The editor and its preview are on the screen, the window manager's
  // frames around them.
  bool BothShown() {
    return Editor() && Preview() && qevtest::viewable(Editor()) && qevtest::viewable(Preview());
  }
  // What holds the keyboard: the editor's focus widget, when the server
  // sends the keys to the editor's shell.
  Widget KeyboardAt() {
    Window focus = None;
    int revert = 0;
    XGetInputFocus(devb->display, &focus, &revert);
    return focus == XtWindow(XtParent(Editor())) ? XmGetFocusWidget(Editor()) : nullptr;
  }
  // Without a window manager, both shown; with one, both in its frames and
  // the keyboard given to one of the two (the window manager focuses the
  // windows it maps that take the keyboard).
  bool Settled() {
    if (!BothShown()) return false;
    if (!GetParam()) return true;
    Widget editor = XtParent(Editor()), preview = XtParent(Preview());
    if (!Framed(editor) || !Framed(preview)) return false;
    Window focus = None;
    int revert = 0;
    XGetInputFocus(devb->display, &focus, &revert);
    return focus == XtWindow(editor) || focus == XtWindow(preview);
  }
  static bool Framed(Widget shell) {
    Window root = None, parent = None, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(XtDisplay(shell), XtWindow(shell), &root, &parent, &children, &count)) return false;
    if (children) XFree(children);
    return parent != root;
  }
};

// The editor opens with the keyboard in the command field, whatever the
// window manager does with the preview that maps after it: what the user
// types at once is the command's.  Tab then goes through the editor's parts
// in the order its layout shows them, top to bottom, and round again.
TEST_P(ToolEditorManaged, TheKeyboardStartsAtTheCommandAndTabFollowsTheLayout) {
  Store("MINE", 3, 3);
  Cmd(WU_CMD_TOOLLOAD, "TESTLIB.CAT.MINE");
  Drain();
  std::vector<std::string> order;
  Script s;
  s.then("the keyboard where the editor opened it; Tab round the parts", [&] { return Settled(); },
         [&] {
           // (Without a window manager the keys go where the pointer is.)
           if (GetParam()) {
             EXPECT_EQ(KeyboardAt(), Field(1)) << "the keyboard is not in the command field";
             EXPECT_TRUE(qevtest::typeHandled(devb->display, "abc"));
             EXPECT_EQ(Text(Field(1)), "MINE0abc");
           }
           // Tab from the tools per row, the first part.
           Click(Field(0));
           for (int i = 0; i < 8; ++i) {
             Key(XK_Tab);
             Widget f = XmGetFocusWidget(Editor());
             std::string name = f ? LabelOf(f) : "none";
             for (int k = 0; k < 5; ++k)
               if (f && Field(k) == f) name = "field " + std::to_string(k);
             order.push_back(name);
           }
           Click(Bottom("Close"));
         });
  // The typed text asks whether to save it.
  if (GetParam())
    s.then("Save the changes? answered No", [&] { return BoxSays("Save the changes?"); },
           [&] { AnswerNo(); });
  Edit("", &s);
  EXPECT_EQ(order, (std::vector<std::string>{"field 1", "field 2", "field 3", "field 4", "Icon", "Insert",
                                             "Open", "field 0"}));
}

// After every save in the editor, with and without a change of the tools
// per row, the reload it asks for shows the merged box with every button
// whole, in the rows the box has now.
TEST_P(ToolEditorManaged, TheReloadAfterASaveShowsEveryButtonWhole) {
  qevhost::setMessage(526, 113, "Saved %s.%s.%s, member type %s");
  Store("MINE", 3, 3);
  Cmd(WU_CMD_TOOLLOAD, "TESTLIB.CAT.MINE");
  EXPECT_EQ(qevtest::mergedToolsCut(3, 3), "") << "after the first load";
  // Each run: the per-row arrow pressed `steps` times (0 up, 1 down), Save,
  // the box answered, Close; then the host runs the reload it was given.
  auto run = [&](int arrow, int steps, int per_row) {
    Script s;
    s.waitFor("the editor and its preview on the screen", [&] { return BothShown(); });
    for (int i = 0; i < steps; ++i)
      s.then("a per-row arrow", [&, arrow] { Click(One(Editor(), "ArrowButton", size_t(arrow))); });
    s.then("Save", [&, per_row] {
      EXPECT_EQ(Text(Field(0)), std::to_string(per_row));
      Click(Bottom("Save"));
    });
    s.then("Saved answered", [&] { return BoxUp(); },
           [&] {
             EXPECT_EQ(BoxText(), "Saved TESTLIB.CAT.MINE, member type TOOLBOX ");
             Answer(XmDIALOG_OK_BUTTON);
           });
    s.then("Close", [&] { return !Box(); }, [&] { Click(Bottom("Close")); });
    Edit("", &s);
    std::string reload;
    for (auto &q : Drain())
      if (q.text.rfind(";TOOLLOAD", 0) == 0) reload = q.text;
    ASSERT_FALSE(reload.empty()) << "no reload asked for";
    EXPECT_EQ(Cmd(WU_CMD_TOOLLOAD, reload.substr(9, reload.size() - 10)), WU_OK);
    EXPECT_EQ(qevtest::mergedToolsCut(3, per_row), "") << "after a save with " << per_row << " a row";
  };
  run(0, 0, 3);
  run(1, 1, 2);
  run(1, 1, 1);
  run(0, 2, 3);
}

INSTANTIATE_TEST_SUITE_P(WindowManager, ToolEditorManaged, ::testing::Values(false, true));

}  // namespace
