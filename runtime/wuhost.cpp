// Entry stubs of the host kernel services (see wuhost.h).
#include "runtime/wuhost.h"

#include <stddef.h>

namespace {

qev_gcb *g_gcb = nullptr;
qev_idb *g_idb = nullptr;

// The slot's index in the kernel vector, counted from its first service.
constexpr size_t kFirstSlot = offsetof(qev_kernel, wxregtb);

bool has_slot(const qev_kernel *k, size_t offset) {
  size_t index = (offset - kFirstSlot) / sizeof(void (*)(void));
  return k->slot_count > 0 && index < static_cast<size_t>(k->slot_count);
}

}  // namespace

// Calls the kernel slot `slot`, or answers `fail` when there is none.
#define WU_KCALL(slot, fail, ...)                                                 \
  const qev_kernel *k = wu_kernel();                                              \
  if (k == nullptr || !has_slot(k, offsetof(qev_kernel, slot)) || k->slot == nullptr) \
    return fail;                                                                  \
  return k->slot(__VA_ARGS__)

extern "C" {

qev_gcb *wu_gcb(void) { return g_gcb; }
qev_idb *wu_idb(void) { return g_idb; }
const qev_kernel *wu_kernel(void) { return g_gcb != nullptr ? g_gcb->kernel : nullptr; }

void wu_set_anchors(qev_gcb *gcb, qev_idb *idb) {
  g_gcb = gcb;
  g_idb = idb;
}

wu_status wxregtb(int32_t table_id, const void *table, int32_t slot_count) {
  WU_KCALL(wxregtb, WU_NOTAVAIL, table_id, table, slot_count);
}

wu_status wxdrgtb(int32_t table_id) {
  WU_KCALL(wxdrgtb, WU_NOTAVAIL, table_id);
}

wu_status wiimgfd(const char *name, int32_t length, qev_image **image_out) {
  WU_KCALL(wiimgfd, WU_NOTAVAIL, name, length, image_out);
}

wu_status wmrpc(qev_pool **out, int32_t initial, int32_t increment, int32_t flags, qev_pool *parent) {
  WU_KCALL(wmrpc, WU_NOTAVAIL, out, initial, increment, flags, parent);
}

wu_status wmrdel(qev_pool *pool) {
  WU_KCALL(wmrdel, WU_NOTAVAIL, pool);
}

wu_status wmrealc(qev_pool *pool, void *block, int32_t old_size, void **out, int32_t new_size, int32_t flags) {
  WU_KCALL(wmrealc, WU_NOTAVAIL, pool, block, old_size, out, new_size, flags);
}

wu_status yyrngef(const char *name, int32_t length, int32_t *value) {
  WU_KCALL(yyrngef, WU_NOTAVAIL, name, length, value);
}

wu_status wyrnget(const char *name, int32_t length, int32_t *value) {
  WU_KCALL(wyrnget, WU_NOTAVAIL, name, length, value);
}

wu_status yugcopt(const char *name, int32_t length, char *buf, int32_t size, int32_t *out_length) {
  WU_KCALL(yugcopt, WU_NOTAVAIL, name, length, buf, size, out_length);
}

wu_status yugcset(const char *name, int32_t length, const char *value, int32_t value_length) {
  WU_KCALL(yugcset, WU_NOTAVAIL, name, length, value, value_length);
}

wu_status yugbopt(const char *name, int32_t length, int32_t *value) {
  WU_KCALL(yugbopt, WU_NOTAVAIL, name, length, value);
}

wu_status yugbset(const char *name, int32_t length, int32_t value) {
  WU_KCALL(yugbset, WU_NOTAVAIL, name, length, value);
}

int32_t ywcgbit(int32_t bit) {
  WU_KCALL(ywcgbit, 0, bit);
}

int32_t yugwred(int32_t index) {
  WU_KCALL(yugwred, 0, index);
}

wu_status yugwset(int32_t index, int32_t value) {
  WU_KCALL(yugwset, WU_NOTAVAIL, index, value);
}

int32_t xyttsd(void) {
  WU_KCALL(xyttsd, 0);
}

wu_status xucpp(int32_t index, int32_t *rgb_out) {
  WU_KCALL(xucpp, WU_NOTAVAIL, index, rgb_out);
}

wu_status wkread(int32_t set, int32_t number, const char **text, int32_t *length) {
  WU_KCALL(wkread, WU_NOTAVAIL, set, number, text, length);
}

wu_status ypmlog(int32_t set, int32_t number, int32_t nargs, const qev_arg *args) {
  WU_KCALL(ypmlog, WU_NOTAVAIL, set, number, nargs, args);
}

wu_status xpmlog(int32_t set, int32_t number, int32_t nargs, const qev_arg *args) {
  WU_KCALL(xpmlog, WU_NOTAVAIL, set, number, nargs, args);
}

wu_status ypslog(const char *text, int32_t length) {
  WU_KCALL(ypslog, WU_NOTAVAIL, text, length);
}

wu_status xpslog(const char *text, int32_t length) {
  WU_KCALL(xpslog, WU_NOTAVAIL, text, length);
}

wu_status yprrlog(int32_t zero, wu_status status) {
  WU_KCALL(yprrlog, WU_NOTAVAIL, zero, status);
}

wu_status ypsstr(char *out, int32_t size, int32_t *out_length, const char *format, int32_t format_length, int32_t nargs, const qev_arg *args) {
  WU_KCALL(ypsstr, WU_NOTAVAIL, out, size, out_length, format, format_length, nargs, args);
}

wu_status xpmstr(char *out, int32_t size, int32_t *out_length, int32_t set, int32_t number, int32_t nargs, const qev_arg *args) {
  WU_KCALL(xpmstr, WU_NOTAVAIL, out, size, out_length, set, number, nargs, args);
}

wu_status yudsmsg(void *window, int32_t zero, int32_t msg_class, int32_t set, int32_t number) {
  WU_KCALL(yudsmsg, WU_NOTAVAIL, window, zero, msg_class, set, number);
}

qev_task * yucurtk(void) {
  WU_KCALL(yucurtk, nullptr);
}

wu_status yuevntg(qev_task *task, void *window, int32_t event_class, const void *record, int32_t length) {
  WU_KCALL(yuevntg, WU_NOTAVAIL, task, window, event_class, record, length);
}

wu_status yufrcev(void *window, void *handle) {
  WU_KCALL(yufrcev, WU_NOTAVAIL, window, handle);
}

wu_status yufrnev(void *window, void *handle, int32_t node_key) {
  WU_KCALL(yufrnev, WU_NOTAVAIL, window, handle, node_key);
}

wu_status wttrap(qev_task *task, int32_t signal, qev_trap_fn fn, void *data) {
  WU_KCALL(wttrap, WU_NOTAVAIL, task, signal, fn, data);
}

wu_status wtsignl(qev_task *task, int32_t signal, void *message, int32_t flags) {
  WU_KCALL(wtsignl, WU_NOTAVAIL, task, signal, message, flags);
}

int32_t wtstpri(qev_task *task, int32_t priority) {
  WU_KCALL(wtstpri, 0, task, priority);
}

wu_status wtinfo(qev_task *task, char name_out[8]) {
  WU_KCALL(wtinfo, WU_NOTAVAIL, task, name_out);
}

int32_t yucttsk(void) {
  WU_KCALL(yucttsk, 0);
}

int32_t yusupev(int32_t suppress) {
  WU_KCALL(yusupev, 0, suppress);
}

void ** yutslot(qev_task *task, int32_t slot) {
  WU_KCALL(yutslot, nullptr, task, slot);
}

int32_t wtfdwt(int fd, int32_t timeout_ms) {
  WU_KCALL(wtfdwt, 0, fd, timeout_ms);
}

qev_context * yytgexe(qev_task *task) {
  WU_KCALL(yytgexe, nullptr, task);
}

wu_status yytngp(qev_context *ctx, int32_t zero, const char *name, int32_t length, void **out, int32_t zero2) {
  WU_KCALL(yytngp, WU_NOTAVAIL, ctx, zero, name, length, out, zero2);
}

wu_status yudmeth(void *handle, int32_t method, void *params, int32_t count) {
  WU_KCALL(yudmeth, WU_NOTAVAIL, handle, method, params, count);
}

wu_status zuxcrea(void **handle_out, void *pane, void *extension, int32_t type, void *values, int32_t count, void *procedure) {
  WU_KCALL(zuxcrea, WU_NOTAVAIL, handle_out, pane, extension, type, values, count, procedure);
}

wu_status zuxgmap(int32_t type, void **map_out) {
  WU_KCALL(zuxgmap, WU_NOTAVAIL, type, map_out);
}

wu_status yubtuid(uint32_t *id_out) {
  WU_KCALL(yubtuid, WU_NOTAVAIL, id_out);
}

const qev_token * xncgtok(void) {
  WU_KCALL(xncgtok, nullptr);
}

const qev_token * xncnxcm(void) {
  WU_KCALL(xncnxcm, nullptr);
}

wu_status xncdrcm(void) {
  WU_KCALL(xncdrcm, WU_NOTAVAIL);
}

wu_status ylprofl(qev_lib **lib_out) {
  WU_KCALL(ylprofl, WU_NOTAVAIL, lib_out);
}

wu_status ylopen(qev_lib **lib_out, int32_t mode, const char libref[8], const char catalog[34]) {
  WU_KCALL(ylopen, WU_NOTAVAIL, lib_out, mode, libref, catalog);
}

wu_status ylclose(qev_lib *lib) {
  WU_KCALL(ylclose, WU_NOTAVAIL, lib);
}

wu_status ylinfo(qev_lib *lib, int32_t item, void *out, int32_t size) {
  WU_KCALL(ylinfo, WU_NOTAVAIL, lib, item, out, size);
}

wu_status ylobjfd(qev_lib *lib, const char entry[34], const char member_type[8]) {
  WU_KCALL(ylobjfd, WU_NOTAVAIL, lib, entry, member_type);
}

wu_status ylmopen(qev_lib *lib, const char entry[34], const char member_type[8], int32_t mode, qev_member **member_out) {
  WU_KCALL(ylmopen, WU_NOTAVAIL, lib, entry, member_type, mode, member_out);
}

wu_status ylmread(qev_member *member, void *buf, int32_t size, int32_t *length_out, int32_t skip) {
  WU_KCALL(ylmread, WU_NOTAVAIL, member, buf, size, length_out, skip);
}

wu_status ylmwrit(qev_member *member, const void *buf, int32_t length, int32_t record_type) {
  WU_KCALL(ylmwrit, WU_NOTAVAIL, member, buf, length, record_type);
}

wu_status ylmclos(qev_member *member, int32_t abandon) {
  WU_KCALL(ylmclos, WU_NOTAVAIL, member, abandon);
}

wu_status yucrhdr(const char libref[8], const char catalog[34], const char entry[34], qev_lib **lib_out, qev_member **member_out, void *header276) {
  WU_KCALL(yucrhdr, WU_NOTAVAIL, libref, catalog, entry, lib_out, member_out, header276);
}

wu_status yucrtol(qev_member *member, void *tool673) {
  WU_KCALL(yucrtol, WU_NOTAVAIL, member, tool673);
}

wu_status yucwhdr(const char libref[8], const char catalog[34], const char entry[34], qev_lib **lib_out, qev_member **member_out, const void *header276) {
  WU_KCALL(yucwhdr, WU_NOTAVAIL, libref, catalog, entry, lib_out, member_out, header276);
}

wu_status yucwtol(qev_member *member, const void *tool673) {
  WU_KCALL(yucwtol, WU_NOTAVAIL, member, tool673);
}

int32_t yucc2ic(int32_t command_id) {
  WU_KCALL(yucc2ic, 0, command_id);
}

wu_status yhlinf2(const char libref[8], qev_libinfo *info) {
  WU_KCALL(yhlinf2, WU_NOTAVAIL, libref, info);
}

wu_status yhlcnf2(const char libref[8], int32_t member, qev_libinfo *info) {
  WU_KCALL(yhlcnf2, WU_NOTAVAIL, libref, member, info);
}

wu_status hx_split_path(const char *paths, int32_t length, char *buf, int32_t size, int32_t *count_out) {
  WU_KCALL(hx_split_path, WU_NOTAVAIL, paths, length, buf, size, count_out);
}

wu_status wxname(char *buf, int32_t size, const char *file, int32_t file_length, int32_t zero, const char *dir, int32_t dir_length) {
  WU_KCALL(wxname, WU_NOTAVAIL, buf, size, file, file_length, zero, dir, dir_length);
}

wu_status wxasgn(const char fileref[8], const char engine[8], const char *name, int32_t length) {
  WU_KCALL(wxasgn, WU_NOTAVAIL, fileref, engine, name, length);
}

wu_status wxopen(qev_file **file_out, const char fileref[8], const int32_t attributes[7]) {
  WU_KCALL(wxopen, WU_NOTAVAIL, file_out, fileref, attributes);
}

wu_status wxread(qev_file *file, void *buf, int32_t size, int32_t *length_out) {
  WU_KCALL(wxread, WU_NOTAVAIL, file, buf, size, length_out);
}

wu_status wxwrite(qev_file *file, const void *buf, int32_t length) {
  WU_KCALL(wxwrite, WU_NOTAVAIL, file, buf, length);
}

wu_status wxclose(qev_file *file) {
  WU_KCALL(wxclose, WU_NOTAVAIL, file);
}

wu_status yugtpan(void *window, void **panel_out, int32_t row, int32_t column, int32_t rows, int32_t columns, int32_t flags) {
  WU_KCALL(yugtpan, WU_NOTAVAIL, window, panel_out, row, column, rows, columns, flags);
}

wu_status yugtfld(void *panel, void **field_out, int32_t row, int32_t column, int32_t length, int32_t colour, int32_t attributes, int32_t a, int32_t b, int32_t c, int32_t d) {
  WU_KCALL(yugtfld, WU_NOTAVAIL, panel, field_out, row, column, length, colour, attributes, a, b, c, d);
}

wu_status yugmfld(void *panel, void **field_out, int32_t row, int32_t column, int32_t *length_out, int32_t colour, int32_t attributes, int32_t a, int32_t kind) {
  WU_KCALL(yugmfld, WU_NOTAVAIL, panel, field_out, row, column, length_out, colour, attributes, a, kind);
}

wu_status yufrfld(void *panel, void *field) {
  WU_KCALL(yufrfld, WU_NOTAVAIL, panel, field);
}

wu_status yufrpan(void *window, void *panel) {
  WU_KCALL(yufrpan, WU_NOTAVAIL, window, panel);
}

wu_status wiloadv(const char name[8], int32_t flags, qev_image **image_out) {
  WU_KCALL(wiloadv, WU_NOTAVAIL, name, flags, image_out);
}

wu_status viidb2g(qev_image *image, void **vector_out) {
  WU_KCALL(viidb2g, WU_NOTAVAIL, image, vector_out);
}

wu_status yuimxpm(int32_t id, int32_t size, const char *const **xpm_out) {
  WU_KCALL(yuimxpm, WU_NOTAVAIL, id, size, xpm_out);
}

wu_status wzrlchr(const char *text, int32_t length, int32_t *value_out) {
  WU_KCALL(wzrlchr, WU_NOTAVAIL, text, length, value_out);
}

wu_status wzstrup(char *text, int32_t length) {
  WU_KCALL(wzstrup, WU_NOTAVAIL, text, length);
}

wu_status yuhmsg(int32_t set, int32_t number) {
  WU_KCALL(yuhmsg, WU_NOTAVAIL, set, number);
}

int32_t yuhelpq(void) {
  WU_KCALL(yuhelpq, 0);
}
}  // extern "C"
