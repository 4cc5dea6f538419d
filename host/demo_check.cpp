// The demo's scripted user: see demo_check.h.
#include "demo_check.h"

#include <X11/IntrinsicP.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <Xm/Xm.h>
#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "demo_shots.h"
#include "qevhost.h"

namespace demo {

namespace {

// Toolkit routines, looked up in the libraries the module brought: calling
// them by name would make the demo load the toolkit ahead of the module.
struct Toolkit {
  void (*getValues)(Widget, ArgList, Cardinal) = nullptr;
  XtPointer (*unparse)(XmString, XmStringTag, XmTextType, XmTextType, XmParseTable, Cardinal,
                       XmParseModel) = nullptr;
  void (*freeString)(XmString) = nullptr;
  void (*freeText)(char *) = nullptr;
  XtIntervalId (*addTimeOut)(XtAppContext, unsigned long, XtTimerCallbackProc, XtPointer) = nullptr;
  XtAppContext (*appOf)(Widget) = nullptr;
  Widget (*widgetOf)(Display *, Window) = nullptr;

  template <typename Fn>
  static bool find(void *module, const char *name, Fn *out) {
    *out = reinterpret_cast<Fn>(dlsym(module, name));
    return *out != nullptr;
  }
  bool load(void *module) {
    return find(module, "XtGetValues", &getValues) && find(module, "XmStringUnparse", &unparse) &&
           find(module, "XmStringFree", &freeString) && find(module, "XtFree", &freeText) &&
           find(module, "XtAppAddTimeOut", &addTimeOut) &&
           find(module, "XtWidgetToApplicationContext", &appOf) &&
           find(module, "XtWindowToWidget", &widgetOf);
  }
};

// One step of the script: `run` answers true when the step is over; a step
// whose outcome does not come within kStepTicks ends the run, or, when it
// is `soft`, is noted and passed.
struct Step {
  std::string name;
  std::function<bool()> run;
  bool soft = false;
};

const unsigned long kTickMs = 50;
const int kStepTicks = 600;           // 30 s: a busy machine is slow
const int kPhases = 3;

struct State {
  Toolkit tk;
  std::ofstream report;
  pid_t wm = 0;
  Display *dpy = nullptr;
  XtAppContext app = nullptr;
  wu_window *windows[kPhases] = {};
  std::deque<Step> steps;
  int ticks = 0;
  bool running = false;
  std::vector<std::string> commands;
  std::set<Widget> boxes;             // message boxes up now, already reported
  // What a step remembers for the one that waits for its outcome.
  std::string before;
  size_t commandsBefore = 0;
  Window toolbox = None;
  bool expectHistory = false;
  unsigned long picture = 0;
};
State st;

void line(const std::string &text) {
  std::string out;
  for (char c : text) out += c == '\n' ? std::string("\\n") : std::string(1, c);
  st.report << out << '\n';
  st.report.flush();
}

[[noreturn]] void fail(const std::string &step) {
  line("failed: " + step);
  std::fflush(stdout);
  stopWindowManager(st.wm);
  std::_Exit(3);
}

// ---- widgets, read through their records ------------------------------------

std::string nameOf(Widget w) { return XrmQuarkToString(reinterpret_cast<Object>(w)->object.xrm_name); }
std::string classOf(Widget w) {
  return reinterpret_cast<Object>(w)->object.widget_class->core_class.class_name;
}
bool managed(Widget w) { return XtIsRectObj(w) && reinterpret_cast<RectObj>(w)->rectangle.managed; }
// The window a widget or gadget shows in.
Window windowOf(Widget w) {
  if (XtIsWidget(w)) return w->core.window;
  Widget p = XtParent(w);
  return p && XtIsWidget(p) ? p->core.window : None;
}
bool shown(Widget w) {
  return w && (XtIsWidget(w) || managed(w)) && viewable(st.dpy, windowOf(w)) &&
         (!XtParent(w) || XtIsShell(w) || managed(w));
}

void walk(Widget w, const std::function<void(Widget)> &f) {
  if (!w || reinterpret_cast<Object>(w)->object.being_destroyed) return;
  f(w);
  if (XtIsWidget(w))
    for (Cardinal i = 0; i < w->core.num_popups; ++i) walk(w->core.popup_list[i], f);
  if (XtIsComposite(w)) {
    CompositeWidget c = reinterpret_cast<CompositeWidget>(w);
    for (Cardinal i = 0; i < c->composite.num_children; ++i) walk(c->composite.children[i], f);
  }
}

// The top of every widget tree of the module on the screen: the windows
// below the root (and below the window manager's frames) that are widgets.
std::vector<Widget> roots() {
  std::vector<Widget> out;
  std::function<void(Window, int)> scan = [&](Window win, int depth) {
    if (Widget w = st.tk.widgetOf(st.dpy, win)) {
      while (XtParent(w)) w = XtParent(w);
      if (std::find(out.begin(), out.end(), w) == out.end()) out.push_back(w);
      return;
    }
    Window root = None, parent = None, *kids = nullptr;
    unsigned n = 0;
    if (depth == 0 || !XQueryTree(st.dpy, win, &root, &parent, &kids, &n)) return;
    for (unsigned i = 0; i < n; ++i) scan(kids[i], depth - 1);
    if (kids) XFree(kids);
  };
  const int kFrameDepth = 3;          // root, frame, client
  scan(DefaultRootWindow(st.dpy), kFrameDepth);
  return out;
}

// The first widget shown on the screen that `match` accepts, under `top`
// (everywhere when null).
Widget find(const std::function<bool(Widget)> &match, Widget top = nullptr) {
  Widget found = nullptr;
  auto visit = [&](Widget w) {
    if (!found && match(w) && shown(w)) found = w;
  };
  if (top) walk(top, visit);
  else
    for (Widget r : roots()) walk(r, visit);
  return found;
}

Widget named(const std::string &name, Widget top = nullptr) {
  return find([&](Widget w) { return nameOf(w) == name; }, top);
}

std::string xmText(Widget w, const char *resource) {
  XmString xs = nullptr;
  Arg a;
  a.name = const_cast<String>(resource);
  a.value = reinterpret_cast<XtArgVal>(&xs);
  st.tk.getValues(w, &a, 1);
  if (!xs) return std::string();
  char *t = static_cast<char *>(
      st.tk.unparse(xs, nullptr, XmCHARSET_TEXT, XmCHARSET_TEXT, nullptr, 0, XmOUTPUT_ALL));
  std::string out = t ? t : "";
  st.tk.freeText(t);
  st.tk.freeString(xs);
  return out;
}

int intResource(Widget w, const char *resource) {
  int value = 0;
  Arg a;
  a.name = const_cast<String>(resource);
  a.value = reinterpret_cast<XtArgVal>(&value);
  st.tk.getValues(w, &a, 1);
  return value;
}

Widget button(Widget top, const std::string &label) {
  return find(
      [&](Widget w) {
        const std::string c = classOf(w);
        return (c == "XmPushButton" || c == "XmPushButtonGadget" || c == "XmCascadeButton" ||
                c == "XmCascadeButtonGadget") &&
               xmText(w, "labelString") == label;
      },
      top);
}

bool click(Widget w) {
  if (!w) return false;
  const RectObj r = reinterpret_cast<RectObj>(w);
  const int x = XtIsWidget(w) ? 0 : r->rectangle.x, y = XtIsWidget(w) ? 0 : r->rectangle.y;
  return clickAt(st.dpy, windowOf(w), x + r->rectangle.width / 2, y + r->rectangle.height / 2);
}

Window shellWindow(wu_window *w) {
  Widget s = w ? w->outer : nullptr;
  while (s && !XtIsShell(s)) s = XtParent(s);
  return s ? s->core.window : None;
}

// ---- what the user sees -------------------------------------------------------

std::string messageLine() {
  wu_window *w = st.windows[int(CheckPhase::kMain)];
  if (!w) return std::string();
  std::string s(w->message, sizeof w->message);
  s.erase(s.find_last_not_of(' ') + 1);
  return s;
}

Widget messageBox() { return named("qevMessage"); }

// Every message box the module shows is reported once while it is up.
void watchBoxes() {
  std::set<Widget> now;
  for (Widget r : roots())
    walk(r, [&](Widget w) {
      if (nameOf(w) != "qevMessage" || !shown(w)) return;
      now.insert(w);
      if (!st.boxes.count(w)) line("box: " + xmText(w, "messageString"));
    });
  st.boxes = now;
}

// The columns of the list view, each the window its texts show in (the
// first column's holds its icons as well), and whether its texts end
// inside it.  A text cut by the column's edge leaves glyph pixels in the
// last pixels before the edge; a clear column has there one colour on each
// line (the row's background).
const int kEdgeStrip = 6;             // pixels before the edge that must be clear
const int kEdgeInset = 4;             // the column's frame at its edge
const int kFirstRowY = 8;             // inside the first row of a column
bool columnClear(Widget column) {
  const int width = column->core.width, height = column->core.height;
  if (width <= kEdgeStrip + 2 * kEdgeInset || height <= 2 * kEdgeInset) return false;
  XImage *image = XGetImage(st.dpy, column->core.window, width - kEdgeInset - kEdgeStrip,
                            kEdgeInset, kEdgeStrip, height - 2 * kEdgeInset, AllPlanes, ZPixmap);
  if (!image) return false;
  bool clear = true;
  for (int y = 0; clear && y < image->height; ++y) {
    const unsigned long first = XGetPixel(image, 0, y);
    for (int x = 1; clear && x < image->width; ++x) clear = XGetPixel(image, x, y) == first;
  }
  XDestroyImage(image);
  return clear;
}

// The column windows: the children "List" of the list view's drawing area.
std::vector<Widget> columnLists() {
  std::vector<Widget> out;
  Widget view = find([](Widget w) { return classOf(w) == "XdMCIconList"; });
  Widget area = view ? named("DrawingArea", view) : nullptr;
  if (!area || !XtIsComposite(area)) return out;
  CompositeWidget c = reinterpret_cast<CompositeWidget>(area);
  for (Cardinal i = 0; i < c->composite.num_children; ++i) {
    Widget w = c->composite.children[i];
    if (nameOf(w) == "List" && XtIsWidget(w) && shown(w)) out.push_back(w);
  }
  return out;
}

// A summary of what the column lists show.
unsigned long columnsPicture() {
  unsigned long sum = 0;
  for (Widget list : columnLists()) {
    XImage *image = XGetImage(st.dpy, list->core.window, 0, 0, list->core.width,
                              list->core.height, AllPlanes, ZPixmap);
    if (!image) continue;
    for (int y = 0; y < image->height; ++y)
      for (int x = 0; x < image->width; ++x) sum = sum * 31 + XGetPixel(image, x, y);
    XDestroyImage(image);
  }
  return sum;
}

// The texts are drawn once the column lists have some pixel of another
// colour than their background.
bool columnsDrawn() {
  std::vector<Widget> lists = columnLists();
  if (lists.empty()) return false;
  Widget first = lists.front();
  XImage *image = XGetImage(st.dpy, first->core.window, 0, 0, first->core.width,
                            first->core.height, AllPlanes, ZPixmap);
  if (!image) return false;
  bool drawn = false;
  for (int y = 0; !drawn && y < image->height; ++y)
    for (int x = 0; !drawn && x < image->width; ++x)
      drawn = XGetPixel(image, x, y) != first->core.background_pixel;
  XDestroyImage(image);
  return drawn;
}

// ---- the script ----------------------------------------------------------------

void add(const std::string &name, std::function<bool()> run, bool soft = false) {
  st.steps.push_back(Step{name, std::move(run), soft});
}
// A step that acts once; false from `act` ends the run.
void act(const std::string &name, std::function<bool()> fn) {
  add(name, [name, fn] {
    if (!fn()) fail(name);
    return true;
  });
}

bool typeLine(const std::string &text) {
  st.commandsBefore = st.commands.size();
  return typeKeys(st.dpy, text) && pressKeysym(st.dpy, XK_Return);
}
bool ran(const std::string &command) {
  return st.commands.size() > st.commandsBefore && st.commands.back() == command;
}

// A command typed into the main window's entry field, and the message line
// once it ran.
void typeInMain(const std::string &tag, const std::string &command) {
  act("type " + command, [command] { return typeLine(command); });
  add(command + " ran", [tag, command] {
    if (!ran(command)) return false;
    line("message: " + tag + ": " + messageLine());
    return true;
  });
}

Widget editor() { return named("Tool Editor"); }
Widget openSave() { return named("OpenSave"); }
Widget field(int i) {
  int n = 0;
  return find([&](Widget w) { return nameOf(w) == "TextField" && n++ == i; }, openSave());
}

// Answers the message box that is up with its button `child` ("OK", "no").
void answerBox(const std::string &what, const char *child) {
  add("box for " + what, [] { return messageBox() != nullptr; });
  act("answer the box for " + what, [child] { return click(named(child, messageBox())); });
  add("box for " + what + " gone", [] { return messageBox() == nullptr; });
}

void pressOk(const std::string &what) {
  act("OK " + what, [] { return click(button(openSave(), "OK")); });
}

void editorSteps() {
  act("type TOOLEDIT", [] { return typeLine("TOOLEDIT"); });
  add("Tool Editor", [] { return editor() != nullptr; });
  // Default asks first; No keeps the tools.
  act("Default", [] { return click(button(editor(), "Default")); });
  answerBox("Default", "no");
  // Open with each name missing in turn, then a box that does not exist.
  act("Open", [] { return click(button(editor(), "Open")); });
  add("Open dialog", [] {
    Widget os = openSave();
    if (!os) return false;
    line("toggle: " + xmText(named("Type", os), "labelString"));
    return true;
  });
  const int kFieldMax = 40;           // more than a field holds
  for (int i = 0; i < 3; ++i)
    act("clear field " + std::to_string(i), [i] {
      if (!click(field(i)) || !pressKeysym(st.dpy, XK_End)) return false;
      for (int k = 0; k < kFieldMax; ++k)
        if (!pressKeysym(st.dpy, XK_BackSpace)) return false;
      return true;
    });
  pressOk("with no names");
  answerBox("no library", "OK");
  const char *names[3] = {"QEVUSER", "PROFILE", "NOBOX"};
  const char *missing[3] = {"no catalog", "no entry", "no such box"};
  for (int i = 0; i < 3; ++i) {
    const std::string text = names[i];
    act("fill field " + std::to_string(i),
        [i, text] { return click(field(i)) && typeKeys(st.dpy, text); });
    pressOk(std::string("with ") + missing[i]);
    answerBox(missing[i], "OK");
  }
  act("Cancel", [] { return click(button(openSave(), "Cancel")); });
  add("Open dialog gone", [] { return openSave() == nullptr; });
  // Save says where it saved.
  act("Save", [] { return click(button(editor(), "Save")); });
  answerBox("Save", "OK");
  // Help, where there is none: the host shows why.
  act("Help", [] {
    st.before = messageLine();
    return click(button(editor(), "Help"));
  });
  add(
      "help message",
      [] {
        if (messageLine() == st.before) return false;
        line("message: help: " + messageLine());
        return true;
      },
      true);
  act("Close", [] { return click(button(editor(), "Close")); });
  add("Tool Editor gone", [] { return editor() == nullptr; });
}

void toolboxSteps() {
  act("close the tool box", [] {
    st.toolbox = findClient(st.dpy, DefaultRootWindow(st.dpy), "QEV demo tools");
    if (st.toolbox == None) return false;
    askToClose(st.dpy, st.toolbox);
    return true;
  });
  add(
      "tool box closed",
      [] {
        if (viewable(st.dpy, st.toolbox)) return false;
        line("toolbox: closed");
        return true;
      },
      true);
}

Widget comboText() { return named("ComboText"); }

void commandWindowSteps() {
  act("focus the main window", [] { return clickTitle(st.dpy, shellWindow(st.windows[0])); });
  act("File menu", [] { return pressMnemonic(st.dpy, 'f'); });
  add("Command Window item", [] { return button(nullptr, "Command Window") != nullptr; });
  act("Command Window", [] { return click(button(nullptr, "Command Window")); });
  add("command window", [] { return comboText() != nullptr; });
  // The list holds the commands of the runs before; the first one is
  // taken back into the text and entered.
  act("history", [] {
    // The list pops up only when asked for: its widget is there all the same.
    Widget list = nullptr;
    for (Widget r : roots())
      walk(r, [&](Widget w) {
        if (!list && nameOf(w) == "ComboList") list = w;
      });
    const int n = list ? intResource(list, "itemCount") : 0;
    line("history: " + std::to_string(n));
    st.expectHistory = n > 0;
    st.commandsBefore = st.commands.size();
    if (!st.expectHistory) return true;
    return click(comboText()) && pressKeysym(st.dpy, XK_Up) && pressKeysym(st.dpy, XK_Return);
  });
  add(
      "history entered",
      [] {
        if (!st.expectHistory) return true;
        if (st.commands.size() <= st.commandsBefore) return false;
        line("history entered: " + st.commands[st.commandsBefore]);
        return true;
      },
      true);
  const std::string typed = "HELLO R" + std::to_string(long(std::time(nullptr))) +
                            std::to_string(long(getpid()));
  act("type into the command window", [typed] { return click(comboText()) && typeLine(typed); });
  add("typed command ran", [typed] { return ran(typed); });
  // The main window ends with QUIT typed into it, so that the history
  // keeps the command typed above at its top.
  act("focus the main window again", [] { return clickTitle(st.dpy, shellWindow(st.windows[0])); });
  act("QUIT", [] { return typeLine("QUIT"); });
}

void closeWindowSteps(CheckPhase phase, const std::string &what) {
  const int i = int(phase);
  add(what, [i] { return st.windows[i] && viewable(st.dpy, shellWindow(st.windows[i])); });
  if (phase == CheckPhase::kLists) {
    // The longest names are those of the last rows: the user goes there
    // from a row of the first column with Ctrl+End.
    add("list view drawn", [] { return columnsDrawn(); });
    act("select a row", [] {
      std::vector<Widget> lists = columnLists();
      return !lists.empty() && clickAt(st.dpy, lists.front()->core.window,
                                       lists.front()->core.width / 2, kFirstRowY);
    });
    act("last rows", [] { return pressKeysym(st.dpy, XK_End, XK_Control_L); });
    add("last rows shown", [] {
      std::vector<Widget> lists = columnLists();
      Widget texts = lists.empty() ? nullptr : find([](Widget w) { return classOf(w) == "XmList"; },
                                                    lists.front());
      if (!texts || intResource(texts, "topItemPosition") <= 1) return false;
      // Shown once the columns look the same on two ticks running.
      const unsigned long now = columnsPicture();
      const bool same = now == st.picture;
      st.picture = now;
      return same;
    });
    act("list view columns", [] {
      int n = 0;
      for (Widget list : columnLists())
        line("column: " + std::to_string(++n) + " " + std::to_string(list->core.width) + " " +
             (columnClear(list) ? "clear" : "overlapped"));
      return n > 0;
    });
  }
  act("close the " + what, [i] {
    askToClose(st.dpy, shellWindow(st.windows[i]));
    return true;
  });
}

void script() {
  add("main window", [] { return viewable(st.dpy, shellWindow(st.windows[0])); });
  add("tool box", [] { return findClient(st.dpy, DefaultRootWindow(st.dpy), "QEV demo tools") != None; });
  act("focus the main window", [] { return clickTitle(st.dpy, shellWindow(st.windows[0])); });
  typeInMain("toolload syntax", "TOOLLOAD A.B");
  typeInMain("toolload missing", "TOOLLOAD NOLIB.NOCAT.NOBOX");
  editorSteps();
  toolboxSteps();
  commandWindowSteps();
  closeWindowSteps(CheckPhase::kControls, "controls window");
  closeWindowSteps(CheckPhase::kLists, "lists window");
}

void tick(XtPointer, XtIntervalId *) {
  watchBoxes();
  if (!st.steps.empty()) {
    Step &s = st.steps.front();
    if (s.run()) {
      st.steps.pop_front();
      st.ticks = 0;
    } else if (++st.ticks > kStepTicks) {
      line("timeout: " + s.name);
      if (!s.soft) fail(s.name);
      st.steps.pop_front();
      st.ticks = 0;
    }
  }
  // The last step closes the last window: the toolkit ends soon after.
  if (st.steps.empty()) {
    st.running = false;
    return;
  }
  st.tk.addTimeOut(st.app, kTickMs, tick, nullptr);
}

}  // namespace

bool checkStart(void *module, const std::string &report, pid_t wm) {
  st.wm = wm;
  st.report.open(report, std::ios::out | std::ios::trunc);
  return st.report.is_open() && st.tk.load(module);
}

void checkWindow(CheckPhase phase, wu_window *w) {
  st.windows[int(phase)] = w;
  if (phase != CheckPhase::kMain || st.running || !w || !w->outer) return;
  st.dpy = XtDisplay(w->outer);
  st.app = st.tk.appOf(w->outer);
  script();
  st.running = true;
  st.tk.addTimeOut(st.app, kTickMs, tick, nullptr);
}

void checkCommand(const std::string &command) {
  st.commands.push_back(command);
  line("command: " + command);
}

bool checkFinish() {
  for (const qevhost::MessageKey &k : qevhost::missingMessages())
    line("missing: " + std::to_string(k.set) + "," + std::to_string(k.number));
  const bool all = st.steps.empty();
  line(all ? "done" : "stopped before: " + st.steps.front().name);
  return all;
}

}  // namespace demo
