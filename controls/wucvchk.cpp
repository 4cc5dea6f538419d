// Checks of the value entries and method parameters the host hands in.
// Each must carry its value in the form the control's catalogue row gives
// for it, a geometry value must fit X's coordinates and sizes, and a text or
// list must have its storage and a believable length.  An entry that fails
// gets WU_E_RANGE and is never seen by the kind's setter, the common codes
// or the method, so a font given as a string or a width of 65536 cannot
// reach Motif.
#include <vector>

#include "controls/wucontrol.h"
#include "runtime/wucheck.h"

namespace {

// The form in which an entry carries its value.  A character, an integer, a
// number and a boolean all sit in the value word and are read the same way,
// so one may stand for another; every other type (lists, strings, blocks,
// fonts, words, doubles) is a form of its own.
int32_t value_form(int32_t type) {
  switch (type) {
    case WU_VT_CHAR: case WU_VT_INT: case WU_VT_NUMBER: case WU_VT_BOOL:
      return WU_VT_INT;
    default:
      return type;
  }
}

bool is_list(int32_t type) {
  switch (type) {
    case WU_VT_INTLIST: case WU_VT_IDLIST: case WU_VT_FLAGLIST: case WU_VT_STRLIST:
    case WU_VT_STRTABLE:
      return true;
    default:
      return false;
  }
}

// Whether an entry carries its value in the form a row asks for.  An empty
// list is read as no items whatever its item form.
bool forms_agree(int32_t row_type, const wu_value &e) {
  if (value_form(row_type) == value_form(e.type)) return true;
  return is_list(row_type) && is_list(e.type) && e.value == 0;
}

bool geometry_ok(const wu_value &e) {
  switch (e.code) {
    case WU_A_HPOS: case WU_A_VPOS:
      return wu_x_coord_ok(e.value);
    case WU_A_WIDTH: case WU_A_HEIGHT:
      return wu_x_size_ok(e.value);
    default:
      return true;
  }
}

// A text or list must have its storage and a length that can be real.
bool extent_ok(const wu_value &e) {
  if (e.type == WU_VT_STRING)
    return e.value <= WU_HOST_TEXT_MAX && (e.value <= 0 || e.pointer != nullptr);
  if (is_list(e.type))
    return e.value >= 0 && e.value <= WU_HOST_LIST_MAX && (e.value == 0 || e.pointer != nullptr);
  return true;
}

int32_t handle_type(const wu_control *c) {
  return c != nullptr && c->handle != nullptr ? c->handle->type : -1;
}

}  // namespace

extern "C" {

const wu_cat_attr *wu_ctl_attr_row(int32_t type, int32_t code) {
  const wu_cat_kind *kind = wu_cat_kind_for_type(type);
  if (kind == nullptr) return nullptr;
  for (int32_t i = 0; i < kind->attr_count; ++i)
    if (kind->attrs[i].code == code) return &kind->attrs[i];
  return nullptr;
}

wu_status wu_ctl_check_set(int32_t type, const wu_value *e) {
  if (type < 0 || type > WU_CTL_TYPE_OLDER) return WU_OK;
  const wu_cat_attr *row = wu_ctl_attr_row(type, e->code);
  if (row != nullptr && !forms_agree(row->vtype, *e)) return WU_E_RANGE;
  return geometry_ok(*e) && extent_ok(*e) ? WU_OK : WU_E_RANGE;
}

wu_status wu_ctl_check_params(int32_t type, int32_t method, wu_value *params, int32_t count) {
  const wu_cat_kind *kind = wu_cat_kind_for_type(type);
  if (kind == nullptr || params == nullptr) return WU_OK;
  const wu_cat_method *row = nullptr;
  for (int32_t i = 0; i < kind->method_count && row == nullptr; ++i)
    if (kind->methods[i].code == method) row = &kind->methods[i];
  if (row == nullptr || row->parms == nullptr) return WU_OK;
  wu_status result = WU_OK;
  for (int32_t i = 0; i < count && i < row->parm_count; ++i) {
    const wu_cat_parm &parm = row->parms[i];
    // What the method writes is not read: only its inputs are checked.
    if (parm.dir == WU_CAT_OUT) continue;
    // An input the host leaves empty (no count, no address) is not given.
    if (params[i].value == 0 && params[i].pointer == nullptr && value_form(parm.vtype) != WU_VT_INT)
      continue;
    if (!forms_agree(parm.vtype, params[i]) || !extent_ok(params[i])) {
      params[i].status = WU_E_RANGE;
      result = WU_E_RANGE;
    }
  }
  return result;
}

}  // extern "C"

wu_ctl_entries::wu_ctl_entries(wu_control *c, wu_value *entries, int32_t count, bool query)
    : host_(entries), data_(entries), count_(count) {
  const int32_t type = handle_type(c);
  if (entries == nullptr || count <= 0 || type < 0 || type > WU_CTL_TYPE_OLDER) return;
  for (int32_t i = 0; i < count; ++i) {
    wu_value &e = entries[i];
    if (query) {
      // A query's type word is an answer: the catalogue's type is written
      // over whatever the host left there, so the clean-up later releases
      // an answer by the type it really has.
      const wu_cat_attr *row = wu_ctl_attr_row(type, e.code);
      if (row != nullptr) e.type = row->vtype;
      continue;
    }
    if (wu_ctl_check_set(type, &e) != WU_OK) {
      e.status = WU_E_RANGE;
      refused_ = true;
    }
  }
  if (!refused_) return;
  for (int32_t i = 0; i < count; ++i) {
    if (entries[i].status == WU_E_RANGE) continue;
    kept_.push_back(entries[i]);
    where_.push_back(i);
  }
  data_ = kept_.empty() ? nullptr : kept_.data();
  count_ = static_cast<int32_t>(kept_.size());
}

wu_status wu_ctl_entries::finish(wu_status result) {
  if (!refused_) return result;
  for (size_t k = 0; k < where_.size(); ++k) host_[where_[k]] = kept_[k];
  // The refused entries carry a status: a clean result says so.
  return result == WU_OK ? WU_ENTRY_STATUS : result;
}
