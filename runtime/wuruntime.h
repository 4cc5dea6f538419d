/*
 * Module runtime services used by every subsystem: the module state, the
 * typed record allocator and pool calls, the blank-padded string utilities,
 * the option wrappers, the module event queue and host message access.
 *
 * Strings that come from the host are a pointer and a length and are never
 * read past that length; a null pointer or a negative length is an empty
 * text.
 */
#ifndef QEV_RUNTIME_WURUNTIME_H
#define QEV_RUNTIME_WURUNTIME_H

#include <stdint.h>

#include "qev/kernel.h"
#include "qev/records.h"
#include "qev/status.h"

#ifdef __cplusplus
extern "C" {
#endif

/* ---- module state and start-up ---------------------------------------- */

/* The module state hung in the global control block, or null before
   wuxinit and after wuxterm. */
wu_state *wu_module(void);
/* The module pool, or null when the module is not started. */
qev_pool *wu_module_pool(void);

wu_status wuxinit(void);            /* window-interface slot: module start-up */
/* Window-interface slot: module shut-down.  Windows still standing are
   released first.  Asked for inside a loop of the module (from a callback or
   an event procedure), it answers WU_OK and is carried out when the
   outermost loop ends; that loop (the waiting read, a modal wait) then
   answers WU_NOTAVAIL, a modal dialog as a cancel. */
wu_status wuxterm(void);
wu_status wuwinit(wu_state *state); /* builds the control services vector */
wu_status wutinit(void);            /* X toolkit start-up */
wu_status wutterm(void);            /* X toolkit shut-down */
/* The host's "BATCH_DRIVER" of the current execution context, or null. */
wu_batch_driver *wutgbat(void);
/* Answers WU_NOTAVAIL: the function of every slot that is not built. */
wu_status wu_notbuilt(void);

/* ---- memory ------------------------------------------------------------ */

void *vmalloc_handler(qev_pool *pool, int32_t size, int32_t flags);
void *vmalcp_handler(qev_pool *pool, int32_t size, int32_t flags);
wu_status vmfree_handler(qev_pool *pool, void *block, int32_t size, int32_t flags);

/* Size of a record kind, 0 for a kind the allocator does not know. */
int32_t wutmsiz(int32_t kind);
void *wutgmem(qev_pool *pool, int32_t kind);
wu_status wutfmem(qev_pool *pool, void *record, int32_t kind);

/* ---- strings ----------------------------------------------------------- */

void vzmp(const char *source, int32_t length, char *field, int32_t field_length);
int32_t vzsntl(const char *text, int32_t length, int32_t ch, int32_t limit);
int32_t wzbcup(const char *a, const char *b, int32_t n);
void wzbzeri(void *buffer, int32_t n);
/* Joins `count` (const char *, int32_t length) pairs into a field.  A field
   length L >= 0 gives a blank-padded field of L bytes; ~L (negative) a
   NUL-terminated text in a buffer of L bytes.  `separator` (or -1 for none)
   goes between pieces.  Returns the joined length. */
int32_t wzstcat(char *field, int32_t length, int32_t separator, int32_t count, ...);
int32_t wzsteqn(const char *a, int32_t la, const char *b, int32_t lb);
wu_status wzstjls(char *text, int32_t length, int32_t mode, int32_t zero1, int32_t zero2);
int32_t wzstlen(const char *text);
int32_t wzstndx(const char *text, int32_t length, const char *pattern, int32_t pattern_length);
int32_t wzstrip(const char *text, int32_t length);
wu_status wztxxlt(int32_t kind, const char *source, char *destination, int32_t length);

#define WU_JUSTIFY_LEFT 'l'

/* ---- options ----------------------------------------------------------- */

#define WU_OPTION_VALUE_MAX 1024   /* longest character option value kept */
const char *yw7cget(const char *name, wu_status *status);
int32_t yw7bget(const char *name, wu_status *status);
wu_status yw7cset(const char *name, const char *value);
wu_status yw7bset(const char *name, int32_t value);

/* ---- module event queue ------------------------------------------------ */

wu_status wuxqwev(wu_window *window, int32_t code, const void *params, int32_t length);
/* Longest command string wuxqcmd queues: the 16-bit length of a host
   command token; a longer one is refused with WU_BADARG. */
#define WU_COMMAND_MAX 32767
wu_status wuxqcmd(wu_window *window, const char *text, int32_t length, int32_t copy,
                  int32_t flag1, int32_t flag2);
wu_status wuxgqev(wu_window *window, int32_t *code, void *buffer, int32_t size,
                  int32_t *length);
/* Kind of wuxfleq for a window: drop every event of the window.  Any other
   kind names a record: drop the events whose first parameter word is it. */
#define WU_FLEQ_WINDOW 0
wu_status wuxfleq(int32_t kind, void *record);
/* Takes the oldest event queued for the window off the queue (null when
   there is none); wutrlev gives the node back. */
wu_event *wutdqev(wu_window *window);
void wutrlev(wu_event *event);
/* Takes the oldest event of the window whose code is `code1` or `code2`
   (null when there is none); the window's other events and those of other
   windows stay queued in their order. */
wu_event *wutdqec(wu_window *window, int32_t code1, int32_t code2);
/* Number of events queued (for the window, or all when null). */
int32_t wutcqev(wu_window *window);

/* ---- host messages ----------------------------------------------------- */

#define WU_RMSG_BUFFER 512
/* Host message set of the about texts: kind 1 lines are numbers 1 up to
   the first missing one; kind 2 items 1-3 are numbers 101-103. */
#define WU_ABOUT_MSGSET 530
#define WU_ABOUT_LINES_MAX 64
#define WU_ABOUT_ITEM_BASE 100
#define WU_ABOUT_ITEMS 3
#define WU_ABOUT_LINES 1
#define WU_ABOUT_RECORD 2

char *wuxgmft(int32_t set, int32_t number);
const char *wuxrmsg(int32_t set, int32_t number, int32_t *length);
char *wuxabnr(int32_t set, int32_t number);
char **wuxabou(int32_t kind, int32_t *length);
int32_t wuxtjfy(const char *text, int32_t length, char *buffer, int32_t size);

#ifdef __cplusplus
}
#endif

#endif /* QEV_RUNTIME_WURUNTIME_H */
