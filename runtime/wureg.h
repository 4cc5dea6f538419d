/*
 * The registry of what the module has handed out.
 *
 * Every object the module gives the host or a widget (windows, panes,
 * fields, controls and their handles, drop sites and their lists, arrays,
 * menu sets, popups, ...) is entered here when it is made and removed when
 * it is released.  A slot that takes such an object looks its address up
 * first and answers WU_NOTAVAIL for anything not entered under the kind it
 * expects, so nothing freed, foreign or of the wrong kind is ever read.
 *
 * Each entry carries a serial number that is never reused.  Code that calls
 * out (an event procedure, an owner function, a callback, a modal wait)
 * takes a hold first and checks it afterwards: the hold is alive only while
 * the same registration stands, so an object released and another made at
 * the same address during the call is told apart.
 *
 * The registry is emptied by wuxterm; before start-up it is empty, so every
 * lookup fails.
 */
#ifndef QEV_RUNTIME_WUREG_H
#define QEV_RUNTIME_WUREG_H

#include <stdint.h>

#include "qev/status.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Kinds of registered objects. */
typedef enum wu_reg_kind {
  WU_REG_NONE = 0,
  WU_REG_WINDOW = 1,     /* wu_window from wuxgwnd */
  WU_REG_PANE = 2,       /* wu_pane from wuxgpan (and a window's command pane) */
  WU_REG_FIELD = 3,      /* wu_field from wuxgfld */
  WU_REG_CONTROL = 4,    /* wu_control of any kind */
  WU_REG_HANDLE = 5,     /* wu_ctl_handle handed to the host */
  WU_REG_DNDSITE = 6,    /* drop-site record */
  WU_REG_DNDLIST = 7,    /* format list handed out by the drop-site queries */
  WU_REG_ARRAY = 8,      /* arrays handed out by wuxcord */
  WU_REG_MENUSET = 9,    /* menu set loaded from a menu description */
  WU_REG_POPUP = 10,     /* popup menu record */
  WU_REG_BAR = 11,       /* scroll bar or scale record */
  WU_REG_TOOLBOX = 12,   /* tool box */
  WU_REG_COMBO = 13,     /* combo box or spin box builder record */
  WU_REG_OTHER = 14,     /* anything else handed out */
  WU_REG_MENUITEM = 15,  /* item context of a menu widget */
  WU_REG_CTL_RELEASED = 16, /* control after step one of its release: inert,
                              freed at the window's next display update */
  WU_REG_NODECOPY = 17,  /* a tree view's copy of a host node record */
  WU_REG_WINDOW_GOING = 18 /* window the host released from inside a widget
                              callback: inert, released once the toolkit
                              has returned from the callback */
} wu_reg_kind;

/* A hold on a registered object: its address and registration serial. */
typedef struct wu_reg_hold {
  const void *object;
  uint64_t serial;
} wu_reg_hold;

/* Enters an object under a kind.  An address already entered is entered
   afresh (new kind, new serial).  WU_NOMEM when the registry cannot grow,
   WU_NOTAVAIL for a null address. */
wu_status wu_reg_add(const void *object, int32_t kind);
/* Removes an object; nothing happens for one not entered. */
void wu_reg_remove(const void *object);
/* True when the object is entered under that kind (WU_REG_NONE: any kind). */
int wu_reg_has(const void *object, int32_t kind);
/* The kind an object is entered under, WU_REG_NONE when it is not. */
int32_t wu_reg_kind_of(const void *object);
/* A hold on the object (serial 0 when it is not entered). */
wu_reg_hold wu_reg_take(const void *object);
/* True while the registration the hold was taken on stands. */
int wu_reg_alive(wu_reg_hold hold);
/* Number of objects entered (of a kind, or all with WU_REG_NONE). */
int32_t wu_reg_count(int32_t kind);
/* Empties the registry: every hold dies. */
void wu_reg_clear(void);

/* ---- module loops ---------------------------------------------------------
 * Every loop of the module that turns the X event loop (the waiting read,
 * the modal waits, each turn itself) is entered and left here.  A shut-down
 * asked for while a loop turns (by a callback or an event procedure) is
 * deferred: the loops see it pending and end, and it is carried out when
 * the outermost loop is left.
 */
void wu_loop_enter(void);
/* Leaves a loop.  Carries out a deferred shut-down when this was the
   outermost loop; answers WU_NOTAVAIL then (the module has ended), else
   WU_OK. */
wu_status wu_loop_leave(void);
/* Loops now turning. */
int32_t wu_loop_depth(void);
/* True while a shut-down waits for the outermost loop to end. */
int wu_term_pending(void);
/* Asks for the deferred shut-down (wuxterm inside a loop). */
void wu_term_defer(void);

/* ---- calls out to the host from widget callbacks ---------------------------
 * A host event procedure that the module runs from inside a widget
 * callback is bracketed by wu_callout_enter and wu_callout_leave.  Motif
 * goes on working on its widgets after the callback returns, so what the
 * host releases meanwhile waits:
 * - a window (wuxfwnd) is marked as going at once and released when the
 *   toolkit's dispatch that ran the outermost such callback has returned
 *   (wu_defer_run, after each dispatch of the event loop), or when that
 *   callback returns if no dispatch of the module runs it;
 * - a shut-down (wuxterm) waits for the calls out as for the loops above,
 *   and is carried out when the last of both has ended.
 */
void wu_callout_enter(void);
/* Leaves a call out.  With no call out, loop or dispatch left, carries out
   the releases and a shut-down that waited; answers WU_NOTAVAIL when the
   module has ended then, else WU_OK. */
wu_status wu_callout_leave(void);
/* Calls out now running. */
int32_t wu_callout_depth(void);
/* Puts the depth back after the event loop's recovery point was taken
   from inside a callback. */
void wu_callout_restore(int32_t depth);
/* True while a release asked for now must wait (a call out runs, or
   releases already wait for the dispatch to end). */
int wu_release_deferred(void);
/* Records `release(object)` to be carried out when the calls out and the
   dispatch that ran them have ended.  WU_NOMEM when it cannot be kept. */
wu_status wu_defer_release(void *object, void (*release)(void *object));
/* Carries out the waiting releases when nothing holds them any more (no
   call out runs and the dispatch that ran them has returned).  Called by
   the event loop after each dispatch. */
void wu_defer_run(void);
/* Carries out every waiting release now (the shut-down, before it
   releases the windows). */
void wu_defer_flush(void);

#ifdef __cplusplus
}

/* Typed helper: the object if it is entered under the kind, else null. */
template <typename T>
inline T *wu_reg_get(T *object, int32_t kind) {
  return wu_reg_has(object, kind) ? object : nullptr;
}
#endif

#endif /* QEV_RUNTIME_WUREG_H */
