// The memory tests' controls: what a host sets on a new control of a kind.
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

}  // namespace
