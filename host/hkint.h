// Internal interface of the stand-in host: each service family keeps its own
// state in its own file and offers start and stop functions, the slot
// functions the vector is built from, and the few helpers the others use.
#pragma once

#include <cstdint>
#include <string>

#include "qev/kernel.h"
#include "qev/status.h"

namespace qevhost {
namespace detail {

// True between start() and stop(); every slot answers WU_NOTAVAIL otherwise.
bool running();

// Log an entry of the given class (text taken as it stands).
void logLine(int32_t cls, const std::string &text);
// Log a text that may carry a "%1z".."%3z" class prefix.
void logText(const char *text, size_t length);

// Text helpers over counted and blank-padded host names.
std::string hostName(const char *text, int32_t length);   // trimmed, upper case
std::string name34(const char field[QEV_NAME34_LEN], bool *ok);
void padName(char *field, size_t width, const std::string &text);

// Family start/stop (called by start() and stop() in this order).
void memStart();
void memStop();
void optStart(const std::string &dataDir);
void optStop();
void msgStart(const std::string &dataDir);
void msgStop();
void taskStart();
void taskStop();
void cmdStart();
void cmdStop();
void catStart(const std::string &dataDir);
void catStop();
void fileStart(const std::string &dataDir);
void fileStop();
void panelStart();
void panelStop();
void imageStart();
void imageStop();
void moduleStop();

// The current task as the batch driver and the file services see it.
qev_task *activeTask();

// Slot functions, by family.
wu_status k_wxregtb(int32_t, const void *, int32_t);
wu_status k_wxdrgtb(int32_t);
wu_status k_wiimgfd(const char *, int32_t, qev_image **);

wu_status k_wmrpc(qev_pool **, int32_t, int32_t, int32_t, qev_pool *);
wu_status k_wmrdel(qev_pool *);
wu_status k_wmrealc(qev_pool *, void *, int32_t, void **, int32_t, int32_t);

wu_status k_yyrngef(const char *, int32_t, int32_t *);
wu_status k_yugcopt(const char *, int32_t, char *, int32_t, int32_t *);
wu_status k_yugcset(const char *, int32_t, const char *, int32_t);
wu_status k_yugbopt(const char *, int32_t, int32_t *);
wu_status k_yugbset(const char *, int32_t, int32_t);
int32_t k_ywcgbit(int32_t);
int32_t k_yugwred(int32_t);
wu_status k_yugwset(int32_t, int32_t);
int32_t k_xyttsd(void);
wu_status k_xucpp(int32_t, int32_t *);

wu_status k_wkread(int32_t, int32_t, const char **, int32_t *);
wu_status k_ypmlog(int32_t, int32_t, int32_t, const qev_arg *);
wu_status k_ypslog(const char *, int32_t);
wu_status k_yprrlog(int32_t, wu_status);
wu_status k_ypsstr(char *, int32_t, int32_t *, const char *, int32_t, int32_t, const qev_arg *);
wu_status k_xpmstr(char *, int32_t, int32_t *, int32_t, int32_t, int32_t, const qev_arg *);
wu_status k_yudsmsg(void *, int32_t, int32_t, int32_t, int32_t);
wu_status k_yuhmsg(int32_t, int32_t);

qev_task *k_yucurtk(void);
wu_status k_yuevntg(qev_task *, void *, int32_t, const void *, int32_t);
wu_status k_yufrcev(void *, void *);
wu_status k_yufrnev(void *, void *, int32_t);
wu_status k_wttrap(qev_task *, int32_t, qev_trap_fn, void *);
wu_status k_wtsignl(qev_task *, int32_t, void *, int32_t);
int32_t k_wtstpri(qev_task *, int32_t);
wu_status k_wtinfo(qev_task *, char *);
int32_t k_yucttsk(void);
int32_t k_yusupev(int32_t);
void **k_yutslot(qev_task *, int32_t);
int32_t k_wtfdwt(int, int32_t);
qev_context *k_yytgexe(qev_task *);
wu_status k_yytngp(qev_context *, int32_t, const char *, int32_t, void **, int32_t);
wu_status k_yudmeth(void *, int32_t, void *, int32_t);
wu_status k_zuxcrea(void **, void *, void *, int32_t, void *, int32_t, void *);
int32_t k_yuhelpq();
wu_status k_zuxgmap(int32_t, void **);
wu_status k_yubtuid(uint32_t *);

const qev_token *k_xncgtok(void);
const qev_token *k_xncnxcm(void);
wu_status k_xncdrcm(void);

wu_status k_ylprofl(qev_lib **);
wu_status k_ylopen(qev_lib **, int32_t, const char *, const char *);
wu_status k_ylclose(qev_lib *);
wu_status k_ylinfo(qev_lib *, int32_t, void *, int32_t);
wu_status k_ylobjfd(qev_lib *, const char *, const char *);
wu_status k_ylmopen(qev_lib *, const char *, const char *, int32_t, qev_member **);
wu_status k_ylmread(qev_member *, void *, int32_t, int32_t *, int32_t);
wu_status k_ylmwrit(qev_member *, const void *, int32_t, int32_t);
wu_status k_ylmclos(qev_member *, int32_t);
wu_status k_yucrhdr(const char *, const char *, const char *, qev_lib **, qev_member **, void *);
wu_status k_yucrtol(qev_member *, void *);
wu_status k_yucwhdr(const char *, const char *, const char *, qev_lib **, qev_member **,
                    const void *);
wu_status k_yucwtol(qev_member *, const void *);
int32_t k_yucc2ic(int32_t);

wu_status k_yhlinf2(const char *, qev_libinfo *);
wu_status k_yhlcnf2(const char *, int32_t, qev_libinfo *);
wu_status k_hx_split_path(const char *, int32_t, char *, int32_t, int32_t *);
wu_status k_wxname(char *, int32_t, const char *, int32_t, int32_t, const char *, int32_t);
wu_status k_wxasgn(const char *, const char *, const char *, int32_t);
wu_status k_wxopen(qev_file **, const char *, const int32_t *);
wu_status k_wxread(qev_file *, void *, int32_t, int32_t *);
wu_status k_wxwrite(qev_file *, const void *, int32_t);
wu_status k_wxclose(qev_file *);

wu_status k_yugtpan(void *, void **, int32_t, int32_t, int32_t, int32_t, int32_t);
wu_status k_yugtfld(void *, void **, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t,
                    int32_t, int32_t);
wu_status k_yugmfld(void *, void **, int32_t, int32_t, int32_t *, int32_t, int32_t, int32_t,
                    int32_t);
wu_status k_yufrfld(void *, void *);
wu_status k_yufrpan(void *, void *);

wu_status k_wiloadv(const char *, int32_t, qev_image **);
wu_status k_viidb2g(qev_image *, void **);
wu_status k_yuimxpm(int32_t, int32_t, const char *const **);

wu_status k_wzrlchr(const char *, int32_t, int32_t *);
wu_status k_wzstrup(char *, int32_t);

}  // namespace detail
}  // namespace qevhost
