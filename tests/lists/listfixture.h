// The fixture of the list and tree tests: the controls fixture with helpers
// that fill and read list views, list boxes and trees as the host does.
#ifndef QEV_TESTS_LISTS_LISTFIXTURE_H
#define QEV_TESTS_LISTS_LISTFIXTURE_H

#include "../controls/ctlfixture.h"
#include "xd/IconList.h"
#include "xd/MCIconList.h"
#include "runtime/wutoolkit.h"

namespace {

using GlvwFn = wu_status (*)(wu_pane *, wu_control **, int32_t, int32_t, int32_t, int32_t,
                             int32_t, int32_t, int32_t, int32_t);
using ClvwFn = wu_status (*)(wu_control *, int32_t, const wu_lvw_rows *, int32_t, int32_t);

class Lists : public Controls {
 protected:

  // Rows through slot 3 (position -1 appends).
  wu_status AddRows(wu_control *c, const std::vector<std::vector<std::string>> &rows,
                    std::vector<int32_t> ids = {}, int32_t position = -1,
                    std::vector<int32_t> icons = {}) {
    std::vector<std::vector<wu_str_item>> items;
    for (const auto &r : rows) {
      std::vector<wu_str_item> row;
      for (const std::string &t : r) row.push_back(wu_str_item{int32_t(t.size()), 0, t.c_str()});
      items.push_back(row);
    }
    std::vector<const wu_str_item *> table;
    for (auto &r : items) table.push_back(r.data());
    wu_lvw_rows data = {};
    data.texts = rows.size() == 1 ? static_cast<const void *>(items[0].data())
                                  : static_cast<const void *>(table.data());
    data.ids = ids.empty() ? nullptr : ids.data();
    data.icons = icons.empty() ? nullptr : icons.data();
    auto clvw = Slot<ClvwFn>(QEV_TABLE_METHODS, WUXP_SLOT_CLVW);
    return clvw(c, 1, &data, position, int32_t(rows.size()));
  }
  void AddColumns(wu_ctl_handle *h, const std::vector<std::string> &names) {
    for (const std::string &n : names) {
      wu_value p[6] = {Int(1, -1), Int(2, 80), Text(3, n.c_str()), Int(4, 0), Int(5, 0), {}};
      EXPECT_EQ(h->services->meth(h, WU_M_ADDCOLUMN, p, 6), WU_ENTRY_STATUS);
    }
  }
  wu_status Meth(wu_ctl_handle *h, int32_t code, std::vector<wu_value> &p) {
    return h->services->meth(h, code, p.data(), int32_t(p.size()));
  }
  // A list box's items through `_add` (-1 appends).
  wu_status AddItems(wu_ctl_handle *h, const std::vector<std::string> &texts,
                     std::vector<int32_t> ids = {}, int32_t position = -1,
                     std::vector<int32_t> icons = {}) {
    std::vector<wu_str_item> items;
    for (const std::string &t : texts) items.push_back(wu_str_item{int32_t(t.size()), 0, t.c_str()});
    wu_value p[4] = {Int(1, position), {}, {}, {}};
    p[1].type = WU_VT_INTLIST;
    p[1].value = int32_t(icons.size());
    p[1].pointer = icons.empty() ? nullptr : icons.data();
    p[2].type = WU_VT_STRLIST;
    p[2].value = int32_t(items.size());
    p[2].pointer = items.data();
    p[3].type = WU_VT_IDLIST;
    p[3].value = int32_t(ids.size());
    p[3].pointer = ids.empty() ? nullptr : ids.data();
    return h->services->meth(h, WU_M_ADD, p, 4);
  }
  // The ids of a posted click.
  static std::vector<int32_t> ClickIds(const Posted &e) {
    std::vector<int32_t> ids;
    if (e.params.empty() || e.params[0].pointer == nullptr) return ids;
    auto *p = static_cast<const int32_t *>(e.params[0].pointer);
    ids.assign(p, p + e.params[0].value);
    return ids;
  }
  int32_t Rows(wu_ctl_handle *h) {
    wu_value v = Int(WU_A_ROWS, 0);
    h->services->qwat(h->control, &v, 1);
    return v.value;
  }
  // The text of a list view cell as the widget holds it.
  std::string Cell(wu_ctl_handle *h, int row, int column) {
    XmString *s = nullptr;
    int n = XdMCIconListGetRowString(W(h), row - 1, &s);
    std::string out;
    if (n >= column && s && s[column - 1]) {
      char *t = static_cast<char *>(XmStringUnparse(s[column - 1], nullptr, XmCHARSET_TEXT,
                                                    XmCHARSET_TEXT, nullptr, 0, XmOUTPUT_ALL));
      out = t ? t : "";
      XtFree(t);
    }
    XtFree(reinterpret_cast<char *>(s));
    return out;
  }
};

}  // namespace

#endif  // QEV_TESTS_LISTS_LISTFIXTURE_H
