// The memory tests' controls: what a host sets on a new control of a kind,
// and a window that holds one control of every kind.
#pragma once

#include <cstring>
#include <vector>

#include "../controls/ctlfixture.h"

namespace {

// The choices the kinds that list them are given.
inline std::vector<wu_str_item> &Choices() {
  static std::vector<wu_str_item> items = {{3, 0, "Red"}, {5, 0, "Green"}, {4, 0, "Blue"}};
  return items;
}

// A text where the kind shows one, the choices of the kinds that list them,
// at a position in the pane.
inline std::vector<wu_value> EntriesFor(int32_t type) {
  std::vector<wu_value> v = {Int(WU_A_HPOS, 10), Int(WU_A_VPOS, 10)};
  wu_value list = {};
  list.code = WU_A_ITEMS;
  list.type = WU_VT_STRLIST;
  list.value = int32_t(Choices().size());
  list.pointer = Choices().data();
  switch (type) {
    case WU_CTYPE_LABEL: case WU_CTYPE_ENTRY: case WU_CTYPE_PUSH: case WU_CTYPE_CHECK:
    case WU_CTYPE_DESKICON:
      v.push_back(Text(WU_A_TEXT, "Label"));
      break;
    case WU_CTYPE_COMBO: case WU_CTYPE_SPIN: case WU_CTYPE_RADIO:
      v.push_back(list);
      break;
    case WU_CTYPE_MULTILINE:
      list.code = WU_A_LINES;
      v.push_back(list);
      break;
    default:
      break;
  }
  return v;
}

// Everything the server and the toolkit have for the module, handled.
inline void Pump() {
  XSync(devb->display, False);
  while (XtAppPending(devb->app)) XtAppProcessEvent(devb->app, XtIMAll);
}

// A window of one pane holding one control of each kind in `kinds` (made
// through `crea` with the event procedure `proc`), shown; null after a
// failure.
inline wu_window *WindowOfKinds(CreaFn crea, wu_evproc proc, const std::vector<int32_t> &kinds) {
  wu_window *window = nullptr;
  wu_pane *pane = nullptr;
  EXPECT_EQ(wuxgwnd(&window, 1, 0), WU_OK);
  if (window == nullptr) return nullptr;
  EXPECT_EQ(wuxgpan(window, &pane, 1, 1, 10, WU_FULL_WIDTH, 0), WU_OK);
  EXPECT_EQ(wuxiwnd(window), WU_OK);
  if (pane == nullptr) return nullptr;
  for (int32_t type : kinds) {
    std::vector<wu_value> e = EntriesFor(type);
    wu_ctl_handle *h = nullptr;
    const wu_status st = crea(&h, pane, nullptr, type, e.data(), int32_t(e.size()), proc);
    EXPECT_TRUE(st == WU_OK || st == WU_ENTRY_STATUS) << type;
  }
  wuxuwnd(window);
  Pump();
  return window;
}

// Every kind, in type order.
inline std::vector<int32_t> EveryKind() {
  std::vector<int32_t> kinds;
  for (int32_t type = 0; type < WU_CTYPE_KINDS; ++type) kinds.push_back(type);
  return kinds;
}

// A window of one pane holding one control of every kind.
inline wu_window *WindowOfEveryKind(CreaFn crea, wu_evproc proc) {
  return WindowOfKinds(crea, proc, EveryKind());
}

}  // namespace
