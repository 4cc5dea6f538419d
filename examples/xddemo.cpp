// The module's widget set in a plain Motif program: an XdTab with two pages.
// "Lists": a scrolled XdIconList and a four-column XdMCIconList filled with
// a few thousand rows with icons: scroll, select, click a header to sort
// (again to reverse), drag a column's handle to resize it, and type letters
// in the first column to jump.  "Tree": an XdTree of folders to expand and
// collapse by mouse or keyboard.
//
//   xddemo [--rows N] [--page 1|2] [--screenshot FILE]
//
// With --screenshot the program saves a picture of the screen once the
// window is up and ends by itself.
#include <X11/Intrinsic.h>
#include <X11/Shell.h>
#include <Xm/Xm.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "xd/Tab.h"
#include "xd/TreeP.h"
#include "xdlistdata.h"

namespace {

struct Options {
  int rows = 3000;
  int page = 1;
  const char *screenshot = nullptr;
};

wu_tree_node *addNode(wu_tree *tree, wu_tree_node *parent, const std::string &text,
                      bool folder) {
  auto *n = reinterpret_cast<wu_tree_node *>(XtCalloc(1, sizeof(wu_tree_node)));
  n->text = XtNewString(text.c_str());
  n->expandable = folder ? 1 : 0;
  if (XdTreeInsertNodeAt(tree, parent, n, XdTREE_INSERT_LAST_CHILD) != 0) return nullptr;
  return n;
}

// A small hierarchy: three levels of folders with a few documents each.  The
// tree is laid out and drawn once its widgets are realised.
wu_tree *buildTree(Widget page) {
  wu_tree *tree = XdCreateTree(page, nullptr, 0);
  if (!tree) return nullptr;
  Widget sw = tree->scrolled_w;
  XtVaSetValues(sw, XmNtopAttachment, XmATTACH_FORM, XmNbottomAttachment, XmATTACH_FORM,
                XmNleftAttachment, XmATTACH_FORM, XmNrightAttachment, XmATTACH_FORM, nullptr);
  const char *top[] = {"Projects", "Reports", "Archive"};
  for (int i = 0; i < 3; ++i) {
    wu_tree_node *t = addNode(tree, nullptr, top[i], true);
    for (int j = 1; j <= 4; ++j) {
      wu_tree_node *f = addNode(tree, t, std::string(top[i]) + " folder " + std::to_string(j), true);
      for (int k = 1; k <= 3; ++k)
        addNode(tree, f, "document " + std::to_string(i) + "." + std::to_string(j) + "." +
                             std::to_string(k), false);
    }
  }
  return tree;
}

void takeScreenshot(XtPointer closure, XtIntervalId *) {
  auto *opts = static_cast<Options *>(closure);
  pid_t pid = fork();
  if (pid == 0) {
    execlp("import", "import", "-window", "root", opts->screenshot, (char *)nullptr);
    _exit(127);
  }
  int status = 0;
  if (pid > 0) waitpid(pid, &status, 0);
  if (pid > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0)
    printf("screenshot %s: saved\n", opts->screenshot);
  else
    printf("screenshot %s: could not be saved (ImageMagick's import is needed)\n",
           opts->screenshot);
  exit(0);
}

}  // namespace

int main(int argc, char **argv) {
  Options opts;
  for (int i = 1; i < argc; ++i) {
    if (!strcmp(argv[i], "--rows") && i + 1 < argc)
      opts.rows = atoi(argv[++i]);
    else if (!strcmp(argv[i], "--page") && i + 1 < argc)
      opts.page = atoi(argv[++i]);
    else if (!strcmp(argv[i], "--screenshot") && i + 1 < argc)
      opts.screenshot = argv[++i];
  }
  if (opts.rows < 1) opts.rows = 1;

  XtAppContext app;
  Widget top = XtVaOpenApplication(&app, "XdListDemo", nullptr, 0, &argc, argv, nullptr,
                                   sessionShellWidgetClass, XmNtitle, "Xd list widgets", nullptr);
  if (!top) {
    fprintf(stderr, "xdlistdemo: cannot open the display\n");
    return 1;
  }
  Widget tab = XdCreateTab(top, const_cast<char *>("pages"), nullptr, 0);
  XtVaSetValues(tab, XmNwidth, 920, XmNheight, 560, nullptr);
  XmString title = XmStringCreateLocalized(const_cast<char *>("Lists"));
  Widget lists = XdTabAddPage(tab, title, 1);
  XmStringFree(title);
  title = XmStringCreateLocalized(const_cast<char *>("Tree"));
  Widget treePage = XdTabAddPage(tab, title, 2);
  XmStringFree(title);
  if (lists) {
    Widget example = xdlistdata::buildExample(lists, opts.rows);
    XtVaSetValues(example, XmNtopAttachment, XmATTACH_FORM, XmNbottomAttachment, XmATTACH_FORM,
                  XmNleftAttachment, XmATTACH_FORM, XmNrightAttachment, XmATTACH_FORM, nullptr);
  }
  wu_tree *tree = treePage ? buildTree(treePage) : nullptr;
  XtManageChild(tab);
  XtRealizeWidget(top);
  if (tree) {
    XdTreeDraw(tree);
    XdTreeExpandNode(tree->root);
  }
  if (opts.page == 2) XdTabSetCurrentPage(tab, 2, False);
  if (opts.screenshot) XtAppAddTimeOut(app, 1500, takeScreenshot, &opts);
  XtAppMainLoop(app);
  return 0;
}
