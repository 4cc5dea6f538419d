// The widget set as a program outside the project uses it: only the
// installed public headers and the installed library.  An XdTab with two
// pages, "Lists" (a scrolled XdIconList and a three-column XdMCIconList)
// and "Tree" (an XdTree of folders).
//
//   xdalone            run until the window is closed
//   xdalone --check    build everything, exercise it briefly, print what
//                      was seen and end with status 0 when all is right
#include <X11/Intrinsic.h>
#include <X11/Shell.h>
#include <Xm/Form.h>
#include <Xm/Xm.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "xd/IconList.h"
#include "xd/MCIconList.h"
#include "xd/Tab.h"
#include "xd/Tree.h"

namespace {

int g_selected = 0;  // rows the tree told its owner about

void onSelect(Widget, wu_tree_node *, XtPointer) { ++g_selected; }

wu_tree_node *addNode(wu_tree *tree, wu_tree_node *parent, const std::string &text) {
  auto *n = reinterpret_cast<wu_tree_node *>(XtCalloc(1, sizeof(wu_tree_node)));
  n->text = XtNewString(text.c_str());
  n->expandable = 1;
  n->select_proc = onSelect;
  if (XdTreeInsertNodeAt(tree, parent, n, XdTREE_INSERT_LAST_CHILD) != 0) {
    XtFree(n->text);
    XtFree(reinterpret_cast<char *>(n));
    return nullptr;
  }
  return n;
}

XmString make(const std::string &text) {
  return XmStringCreateLocalized(const_cast<char *>(text.c_str()));
}

void fillLists(Widget icons, Widget columns, int rows) {
  std::vector<XmString> first, second, third;
  std::vector<int32_t> ids;
  for (int i = 0; i < rows; ++i) {
    first.push_back(make("item " + std::to_string(i + 1)));
    second.push_back(make(std::to_string((i * 37) % 101)));
    third.push_back(make(i % 2 ? "odd" : "even"));
    ids.push_back(i + 1);
  }
  XdIconListAddItems(icons, nullptr, first.data(), ids.data(), rows, 0);
  XmString *cols[] = {first.data(), second.data(), third.data()};
  XdMCIconListAddItems(columns, nullptr, cols, ids.data(), rows, 0);
  for (auto *v : {&first, &second, &third})
    for (XmString s : *v) XmStringFree(s);
}

void pump(XtAppContext app, Display *dpy) {
  for (int round = 0; round < 4; ++round) {
    XSync(dpy, False);
    while (XtAppPending(app)) XtAppProcessEvent(app, XtIMAll);
  }
}

}  // namespace

int main(int argc, char **argv) {
  bool check = argc > 1 && std::strcmp(argv[1], "--check") == 0;
  XtAppContext app;
  Widget shell = XtVaOpenApplication(&app, "XdAlone", nullptr, 0, &argc, argv, nullptr,
                                     applicationShellWidgetClass, XmNwidth, 640, XmNheight, 420,
                                     nullptr);
  Widget tab = XdCreateTab(shell, const_cast<char *>("tab"), nullptr, 0);
  XtManageChild(tab);

  XmString title = make("Lists");
  Widget lists = XdTabAddPage(tab, title, 0);
  XmStringFree(title);
  Arg a[6];
  Cardinal n = 0;
  XtSetArg(a[n], XmNtopAttachment, XmATTACH_FORM); ++n;
  XtSetArg(a[n], XmNbottomAttachment, XmATTACH_FORM); ++n;
  XtSetArg(a[n], XmNleftAttachment, XmATTACH_FORM); ++n;
  XtSetArg(a[n], XmNrightAttachment, XmATTACH_POSITION); ++n;
  XtSetArg(a[n], XmNrightPosition, 40); ++n;
  Widget icons = XdCreateScrolledIconList(lists, const_cast<char *>("icons"), a, n);
  XtManageChild(icons);
  n = 0;
  XtSetArg(a[n], XmNtopAttachment, XmATTACH_FORM); ++n;
  XtSetArg(a[n], XmNbottomAttachment, XmATTACH_FORM); ++n;
  XtSetArg(a[n], XmNrightAttachment, XmATTACH_FORM); ++n;
  XtSetArg(a[n], XmNleftAttachment, XmATTACH_WIDGET); ++n;
  XtSetArg(a[n], XmNleftWidget, icons); ++n;
  XtSetArg(a[n], XdNcolumnCount, 3); ++n;
  Widget columns = XdCreateMCIconList(lists, const_cast<char *>("columns"), a, n);
  XtManageChild(columns);
  const int rows = 500;
  fillLists(icons, columns, rows);

  title = make("Tree");
  Widget page = XdTabAddPage(tab, title, 0);
  XmStringFree(title);
  wu_tree *tree = XdCreateTree(page, nullptr, 0);
  if (!tree) {
    std::fprintf(stderr, "xdalone: no tree\n");
    return 1;
  }
  wu_tree_node *top = addNode(tree, nullptr, "Folders");
  wu_tree_node *last = nullptr;
  for (int i = 0; i < 2000; ++i) last = addNode(tree, top, "folder " + std::to_string(i + 1));

  XtRealizeWidget(shell);
  XdTabSetCurrentPage(tab, 2, False);
  pump(app, XtDisplay(shell));
  XdTreeDraw(tree);
  if (!check) {
    XtAppMainLoop(app);
    return 0;
  }

  // The checks: every row is there, and the tree reaches its last row.
  bool ok = true;
  int top_pos = 0;
  XdIconListSetTopItemPos(icons, rows - 5);
  XdIconListGetTopItemPos(icons, &top_pos);
  XmString *row = nullptr;
  int cells = XdMCIconListGetRowString(columns, rows - 1, &row);
  XtFree(reinterpret_cast<char *>(row));
  XdTreeExpandNode(top);
  XdTreeSetFocus(tree, last, 1);
  pump(app, XtDisplay(shell));
  ok = ok && XdIconListGetId(icons, rows) == rows && cells == 3 && top_pos > 1;
  /* The focused node holds the tree's buttons. */
  ok = ok && last->label != nullptr && XdTreeWidgetToTreeNode(tree, last->label) == last;
  ok = ok && XdTreeDeleteTree(tree, top) == 0;
  std::printf("icon list %d rows, top %d; columns %d; tree reached \"%s\": %s\n", rows, top_pos,
              cells, ok ? "folder 2000" : "-", ok ? "ok" : "FAILED");
  XtDestroyWidget(shell);
  return ok ? 0 : 1;
}
