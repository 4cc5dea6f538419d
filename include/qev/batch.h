/*
 * The host's batch driver: the object the host publishes under the named
 * pointer "BATCH_DRIVER" to record what users do with dialog controls and to
 * replay it later.  The module reads only the mode word and calls only the
 * three functions below; every other word belongs to the host.
 *
 * Word numbers are those of a 32-bit host; on 64-bit the function words
 * widen to pointers.
 */
#ifndef QEV_BATCH_H
#define QEV_BATCH_H

#include <stdint.h>

#include "qev/status.h"

#ifdef __cplusplus
extern "C" {
#endif

#define QEV_BATCH_DRIVER_NAME "BATCH_DRIVER"
#define QEV_BATCH_DRIVER_NAME_LEN 12

/* Driver modes (word 2). */
#define QEV_BATCH_RECORD 1
#define QEV_BATCH_REPLAY 2

/* One recorded control event (32 bytes). */
typedef struct wu_batch_event {
  int32_t code;       /* +0  event code */
  int32_t zero1;      /* +4  0 */
  int32_t value1;     /* +8  first parameter's value (-1 for the popup event) */
  int32_t sent;       /* +12 1 when the event was sent to the host */
  double value2;      /* +16 second parameter's value (0.0 when none) */
  int32_t value3;     /* +24 third parameter's value (0 when none) */
  int32_t zero2;      /* +28 0 */
} wu_batch_event;

/* One item of a popup menu as handed to the popup functions (32 bytes on a
   32-bit host). */
typedef struct wu_batch_choice {
  const char *text;       /* +0  item text */
  int32_t length;         /* +4  its length */
  int32_t zero;           /* +8  0 */
  int32_t classifier;     /* +12 */
  int32_t flags;          /* +16 1 grayed, 4 followed by a separator */
  const char *help;       /* +20 help text */
  int32_t help_length;    /* +24 its length */
  uint8_t mnemonic;       /* +28 mnemonic character */
  uint8_t pad[3];
} wu_batch_choice;

/* Popup recording: (window, selected item, choice rows, item count). */
typedef wu_status (*wu_batch_popup_record_fn)(void *window, int32_t selected,
                                              const wu_batch_choice *rows, int32_t count);
/* Popup replay: (window out, choice out, choice rows, item count); 0 when a
   choice was given. */
typedef wu_status (*wu_batch_popup_replay_fn)(void **window_out, int32_t *choice_out,
                                              const wu_batch_choice *rows, int32_t count);
/* Event recording: (window, control id, 32-byte recording). */
typedef wu_status (*wu_batch_event_record_fn)(void *window, int32_t control_id,
                                              const wu_batch_event *recording);

/* Window popup menus: recording (window, result) and replay (window out,
   result out); 0 when a result was given. */
typedef wu_status (*wu_batch_wpopup_record_fn)(void *window, wu_status result);
typedef wu_status (*wu_batch_wpopup_replay_fn)(void **window_out, wu_status *result_out);

typedef struct wu_batch_driver {
  uint32_t word0;                          /* +0  host's */
  uint32_t word1;                          /* +4  host's */
  int32_t mode;                            /* +8  QEV_BATCH_RECORD, QEV_BATCH_REPLAY, else neither */
  uint32_t word3;                          /* +12 host's */
  uint32_t word4;                          /* +16 host's */
  uint32_t word5;                          /* +20 host's */
  uint32_t word6;                          /* +24 host's */
  wu_batch_popup_record_fn popup_record;   /* +28 word 7 */
  wu_batch_popup_replay_fn popup_replay;   /* +32 word 8 */
  wu_batch_wpopup_record_fn window_popup_record; /* +36 word 9 */
  wu_batch_wpopup_replay_fn window_popup_replay; /* +40 word 10 */
  wu_batch_popup_record_fn choice_record;  /* +44 word 11 */
  wu_batch_popup_replay_fn choice_replay;  /* +48 word 12 */
  wu_batch_event_record_fn event_record;   /* +52 word 13 */
  uint32_t word14;                         /* +56 host's */
  uint32_t word15;                         /* +60 host's */
} wu_batch_driver;

#ifdef __cplusplus
}
#endif

#endif /* QEV_BATCH_H */
