// Icons with transparent parts show the background of the list or button
// they stand in: the host's images mark that colour with the symbol
// "XpmBackground", and a button that draws its icon with the mask shows its
// own colour there, whatever the host set.
#include "listfixture.h"

#include "iconcheck.h"

namespace {

class Icons : public Lists {
 protected:
  static Pixel Background(Widget w) {
    Pixel bg = 0;
    XtVaGetValues(w, XmNbackground, &bg, nullptr);
    return bg;
  }
  static int SizeOf(Pixmap p) {
    Window root = None;
    int x = 0, y = 0;
    unsigned w = 0, h = 0, border = 0, depth = 0;
    XGetGeometry(devb->display, p, &root, &x, &y, &w, &h, &border, &depth);
    return int(w);
  }
  // The icon `id` drawn in `w` shows `background` through its transparent
  // parts.
  void ExpectIcon(Widget w, int32_t id, int size, Pixel background) {
    Settle();
    const qevtest::IconLook look = qevtest::findIcon(devb->display, XtWindow(w), id, size, background);
    EXPECT_TRUE(look.found) << XtName(w);
    EXPECT_GT(look.transparent, 0) << XtName(w);
    EXPECT_EQ(look.wrong, 0) << XtName(w) << ": " << qevtest::describe(look);
  }
};

TEST_F(Icons, TransparentPartsShowTheListsOrButtonsBackground) {
  const int32_t kFolder = 2, kDocument = 10, kNoIcon = 1009;
  // List box: the icon column beside the list.
  wu_ctl_handle *box = Create(WU_CTYPE_LISTBOX, {Int(WU_A_HPOS, 10), Int(WU_A_VPOS, 10),
                                                 Int(WU_A_WIDTH, 150), Int(WU_A_HEIGHT, 110)});
  ASSERT_EQ(AddItems(box, {"folder", "document"}, {1, 2}, -1, {kFolder, kDocument}), WU_OK);
  Widget icons = XdIconListGetChild(W(box), XdICONLIST_ICONS);
  const Pixel list_bg = Background(XdIconListGetChild(W(box), XdICONLIST_LIST));
  ExpectIcon(icons, kFolder, WU_ICON_SMALL, list_bg);
  ExpectIcon(icons, kDocument, WU_ICON_SMALL, list_bg);

  // List view: the icons of its first column.
  wu_ctl_handle *view = Create(WU_CTYPE_LISTVIEW, {Int(WU_A_HPOS, 170), Int(WU_A_VPOS, 10),
                                                   Int(WU_A_WIDTH, 150), Int(WU_A_HEIGHT, 110)});
  AddColumns(view, {"Name"});
  ASSERT_EQ(AddRows(view->control, {{"folder"}}, {1}, -1, {kFolder}), WU_OK);
  Widget first = XdMCIconListGetChild(W(view), 0, XdMCIL_LIST);
  ExpectIcon(XdIconListGetChild(first, XdICONLIST_ICONS), kFolder,
             SizeOf(XdMCIconListGetIcon(W(view), 1)),
             Background(XdIconListGetChild(first, XdICONLIST_LIST)));

  // Tree view: a node's icon in the tree's drawing area.
  wu_ctl_handle *tree = Create(WU_CTYPE_TREEVIEW, {Int(WU_A_HPOS, 330), Int(WU_A_VPOS, 10),
                                                   Int(WU_A_WIDTH, 130), Int(WU_A_HEIGHT, 110)});
  wu_node_record node = {};
  node.label = "folder";
  node.label_length = 6;
  node.icon = node.focus_icon = kFolder;
  wu_value add[3] = {};
  add[0].type = add[1].type = WU_VT_NODE;
  add[1].pointer = &node;
  add[2] = Int(3, 3);
  ASSERT_EQ(tree->services->meth(tree, WU_M_ADDNODES, add, 3), WU_OK);
  Widget area = XtNameToWidget(wu_ctl_outer(tree->control), "*DrawingArea");
  ASSERT_NE(area, nullptr);
  ExpectIcon(area, kFolder, WU_ICON_SMALL, Background(area));

  // Desktop icon: drawn with its mask on the colour the host gave it.
  uint16_t red[3] = {0xffff, 0, 0};
  wu_value colour = {};
  colour.code = WU_A_BACKGROUND;
  colour.type = WU_VT_WORD;
  colour.value = 1;
  colour.pointer = red;
  wu_value conform = Int(WU_A_CONFORMSIZE, 1);
  conform.type = WU_VT_BOOL;
  wu_ctl_handle *icon = Create(WU_CTYPE_DESKICON, {Int(WU_A_HPOS, 470), Int(WU_A_VPOS, 10),
                                                   Text(WU_A_TEXT, "Doc"), conform, colour});
  ASSERT_EQ(Background(W(icon)), icon->control->background->pixel);
  ExpectIcon(W(icon), kNoIcon, WU_ICON_LARGE, icon->control->background->pixel);
}

}  // namespace
