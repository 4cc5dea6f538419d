/*
 * The module's calling layer to the host kernel: one entry stub per kernel
 * service, named as the service.  Each stub fetches the kernel vector from
 * the global control block that mcn_main keeps and answers WU_NOTAVAIL (or a
 * null/zero result) when there is no kernel or the host's vector has no
 * such slot.
 */
#ifndef QEV_RUNTIME_WUHOST_H
#define QEV_RUNTIME_WUHOST_H

#include "qev/kernel.h"
#include "qev/module.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The anchors kept by mcn_main. */
qev_gcb *wu_gcb(void);
qev_idb *wu_idb(void);
const qev_kernel *wu_kernel(void);
void wu_set_anchors(qev_gcb *gcb, qev_idb *idb);

wu_status wxregtb(int32_t table_id, const void *table, int32_t slot_count);
wu_status wxdrgtb(int32_t table_id);
wu_status wiimgfd(const char *name, int32_t length, qev_image **image_out);
wu_status wmrpc(qev_pool **out, int32_t initial, int32_t increment, int32_t flags, qev_pool *parent);
wu_status wmrdel(qev_pool *pool);
wu_status wmrealc(qev_pool *pool, void *block, int32_t old_size, void **out, int32_t new_size, int32_t flags);
wu_status yyrngef(const char *name, int32_t length, int32_t *value);
wu_status wyrnget(const char *name, int32_t length, int32_t *value);
wu_status yugcopt(const char *name, int32_t length, char *buf, int32_t size, int32_t *out_length);
wu_status yugcset(const char *name, int32_t length, const char *value, int32_t value_length);
wu_status yugbopt(const char *name, int32_t length, int32_t *value);
wu_status yugbset(const char *name, int32_t length, int32_t value);
int32_t ywcgbit(int32_t bit);
int32_t yugwred(int32_t index);
wu_status yugwset(int32_t index, int32_t value);
int32_t xyttsd(void);
wu_status xucpp(int32_t index, int32_t *rgb_out);
wu_status wkread(int32_t set, int32_t number, const char **text, int32_t *length);
wu_status ypmlog(int32_t set, int32_t number, int32_t nargs, const qev_arg *args);
wu_status xpmlog(int32_t set, int32_t number, int32_t nargs, const qev_arg *args);
wu_status ypslog(const char *text, int32_t length);
wu_status xpslog(const char *text, int32_t length);
wu_status yprrlog(int32_t zero, wu_status status);
wu_status ypsstr(char *out, int32_t size, int32_t *out_length, const char *format, int32_t format_length, int32_t nargs, const qev_arg *args);
wu_status xpmstr(char *out, int32_t size, int32_t *out_length, int32_t set, int32_t number, int32_t nargs, const qev_arg *args);
wu_status yudsmsg(void *window, int32_t zero, int32_t msg_class, int32_t set, int32_t number);
qev_task * yucurtk(void);
wu_status yuevntg(qev_task *task, void *window, int32_t event_class, const void *record, int32_t length);
wu_status yufrcev(void *window, void *handle);
wu_status yufrnev(void *window, void *handle, int32_t node_key);
wu_status wttrap(qev_task *task, int32_t signal, qev_trap_fn fn, void *data);
wu_status wtsignl(qev_task *task, int32_t signal, void *message, int32_t flags);
int32_t wtstpri(qev_task *task, int32_t priority);
wu_status wtinfo(qev_task *task, char name_out[8]);
int32_t yucttsk(void);
int32_t yusupev(int32_t suppress);
void ** yutslot(qev_task *task, int32_t slot);
int32_t wtfdwt(int fd, int32_t timeout_ms);
qev_context * yytgexe(qev_task *task);
wu_status yytngp(qev_context *ctx, int32_t zero, const char *name, int32_t length, void **out, int32_t zero2);
wu_status yudmeth(void *handle, int32_t method, void *params, int32_t count);
wu_status zuxcrea(void **handle_out, void *pane, void *extension, int32_t type, void *values, int32_t count, void *procedure);
wu_status zuxgmap(int32_t type, void **map_out);
wu_status yubtuid(uint32_t *id_out);
const qev_token * xncgtok(void);
const qev_token * xncnxcm(void);
wu_status xncdrcm(void);
wu_status ylprofl(qev_lib **lib_out);
wu_status ylopen(qev_lib **lib_out, int32_t mode, const char libref[8], const char catalog[34]);
wu_status ylclose(qev_lib *lib);
wu_status ylinfo(qev_lib *lib, int32_t item, void *out, int32_t size);
wu_status ylobjfd(qev_lib *lib, const char entry[34], const char member_type[8]);
wu_status ylmopen(qev_lib *lib, const char entry[34], const char member_type[8], int32_t mode, qev_member **member_out);
wu_status ylmread(qev_member *member, void *buf, int32_t size, int32_t *length_out, int32_t skip);
wu_status ylmwrit(qev_member *member, const void *buf, int32_t length, int32_t record_type);
wu_status ylmclos(qev_member *member, int32_t abandon);
wu_status yucrhdr(const char libref[8], const char catalog[34], const char entry[34], qev_lib **lib_out, qev_member **member_out, void *header276);
wu_status yucrtol(qev_member *member, void *tool673);
wu_status yucwhdr(const char libref[8], const char catalog[34], const char entry[34], qev_lib **lib_out, qev_member **member_out, const void *header276);
wu_status yucwtol(qev_member *member, const void *tool673);
int32_t yucc2ic(int32_t command_id);
wu_status yhlinf2(const char libref[8], qev_libinfo *info);
wu_status yhlcnf2(const char libref[8], int32_t member, qev_libinfo *info);
wu_status hx_split_path(const char *paths, int32_t length, char *buf, int32_t size, int32_t *count_out);
wu_status wxname(char *buf, int32_t size, const char *file, int32_t file_length, int32_t zero, const char *dir, int32_t dir_length);
wu_status wxasgn(const char fileref[8], const char engine[8], const char *name, int32_t length);
wu_status wxopen(qev_file **file_out, const char fileref[8], const int32_t attributes[7]);
wu_status wxread(qev_file *file, void *buf, int32_t size, int32_t *length_out);
wu_status wxwrite(qev_file *file, const void *buf, int32_t length);
wu_status wxclose(qev_file *file);
wu_status yugtpan(void *window, void **panel_out, int32_t row, int32_t column, int32_t rows, int32_t columns, int32_t flags);
wu_status yugtfld(void *panel, void **field_out, int32_t row, int32_t column, int32_t length, int32_t colour, int32_t attributes, int32_t a, int32_t b, int32_t c, int32_t d);
wu_status yugmfld(void *panel, void **field_out, int32_t row, int32_t column, int32_t *length_out, int32_t colour, int32_t attributes, int32_t a, int32_t kind);
wu_status yufrfld(void *panel, void *field);
wu_status yufrpan(void *window, void *panel);
wu_status wiloadv(const char name[8], int32_t flags, qev_image **image_out);
wu_status viidb2g(qev_image *image, void **vector_out);
wu_status yuimxpm(int32_t id, int32_t size, const char *const **xpm_out);
wu_status wzrlchr(const char *text, int32_t length, int32_t *value_out);
wu_status wzstrup(char *text, int32_t length);
wu_status yuhmsg(int32_t set, int32_t number);
int32_t yuhelpq(void);

#ifdef __cplusplus
}
#endif

#endif /* QEV_RUNTIME_WUHOST_H */
