// The controls catalogue as the host reads it through the window interface:
// the type table and the per-type control maps with their default sizes.
#include "controls/wucontrol.h"
#include "runtime/wudevice.h"
#include "runtime/wuhost.h"
#include "runtime/wuruntime.h"

namespace {

// Average character width and system font height of the display; a
// plausible cell when no display is open.
constexpr int32_t kFallbackCw = 7;
constexpr int32_t kFallbackFh = 13;

void display_metrics(int32_t *cw, int32_t *fh) {
  *cw = kFallbackCw;
  *fh = kFallbackFh;
  if (devb == nullptr) return;
  if (devb->char_width > 0) *cw = devb->char_width;
  if (devb->font != nullptr)
    *fh = devb->font->max_bounds.ascent + devb->font->max_bounds.descent;
  else if (devb->char_height > 0)
    *fh = devb->char_height;
}

}  // namespace

extern "C" {

wu_status wuxgext(const wu_cat_type **table_out, int32_t *count_out) {
  // Like every slot, the catalogue is there only while the module runs.
  if (wu_module() == nullptr) return WU_NOTAVAIL;
  if (table_out != nullptr) *table_out = controls;
  if (count_out != nullptr) *count_out = WU_CAT_TYPE_ROWS;
  return WU_OK;
}

wu_status wuxgmap(int32_t type, wu_cat_map **map_out, const wu_value *entries, int32_t count) {
  if (wu_module() == nullptr) return WU_NOTAVAIL;
  if (type >= WU_CTYPE_HOST_FIRST) return zuxgmap(type, reinterpret_cast<void **>(map_out));
  const wu_cat_kind *kind = wu_cat_kind_for_type(type);
  if (kind == nullptr) return WU_NOTAVAIL;
  wu_state *state = wu_module();
  if (state == nullptr) return WU_NOTAVAIL;
  auto *map = static_cast<wu_cat_map *>(state->maps[type]);
  if (map == nullptr) {
    map = static_cast<wu_cat_map *>(
        vmalcp_handler(state->pool, static_cast<int32_t>(sizeof(wu_cat_map)), 0));
    if (map == nullptr) return WU_NOMEM;
    state->maps[type] = map;
  }
  // Rewritten on every request: a later font change shows in the sizes.
  map->type = kind->type;
  map->attrs = kind->attrs;
  map->attr_count = kind->attr_count;
  map->methods = kind->methods;
  map->method_count = kind->method_count;
  map->events = kind->events;
  map->event_count = kind->event_count;
  int32_t cw = 0, fh = 0;
  display_metrics(&cw, &fh);
  const int32_t vertical = (count > 0 && entries != nullptr && entries[0].value == 1) ? 1 : 0;
  wu_cat_default_size(type, cw, fh, vertical, &map->width, &map->height);
  if (map_out != nullptr) *map_out = map;
  return WU_OK;
}

}  // extern "C"
