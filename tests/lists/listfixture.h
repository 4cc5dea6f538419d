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
