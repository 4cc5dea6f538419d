/*
 * Common dialogs: file selection, fonts, Find/Change and preferences; the
 * print and mail dialogs; help and the browser link.
 */
#ifndef QEV_DIALOGS_WUDIALOG_H
#define QEV_DIALOGS_WUDIALOG_H

#include <cstdint>

#include "qev/kernel.h"
#include "qev/records.h"
#include "qev/status.h"

/* Modes of a file selection request. */
#define WU_FSEL_FILE 4          /* choose a file */
#define WU_FSEL_DIRECTORY 8     /* choose a directory */
/* The request's keep value. */
#define WU_FSEL_KEEP_FILTER (-1) /* keep the filter of the last selection */
#define WU_FSEL_RESTORE_CWD 2    /* restore the working directory when cancelled */
/* Bits of the result's write mode. */
#define WU_FSEL_APPEND 0x2       /* append to the chosen file (else replace it) */
#define WU_FSEL_PATH_MAX 1024
/* Warning levels of a selection (wumfswl): a save or print to a file, an
   open, an import, an export.  A save offers to append to the file. */
#define WU_FSEL_LEVEL_SAVE 5
#define WU_FSEL_LEVEL_OPEN 6
#define WU_FSEL_LEVEL_IMPORT 23
#define WU_FSEL_LEVEL_EXPORT 53

/* The filters offered by a selection: `count` patterns, each a counted
   text (not necessarily NUL-terminated).  Callers fill at most
   WU_FSEL_FILTERS_MAX; patterns past that, empty ones and ones longer than
   WU_FSEL_PATTERN_MAX are not offered. */
#define WU_FSEL_FILTERS_MAX 50
#define WU_FSEL_PATTERN_MAX 199
typedef struct wu_fsel_pattern {
  int32_t length;
  const char *text;
} wu_fsel_pattern;
typedef struct wu_fsel_filters {
  int32_t count;
  wu_fsel_pattern patterns[WU_FSEL_FILTERS_MAX];
} wu_fsel_filters;

/* A file selection request and its result. */
typedef struct wu_fsel {
  int32_t mode;                  /* WU_FSEL_FILE or WU_FSEL_DIRECTORY */
  int32_t keep;                  /* WU_FSEL_KEEP_FILTER, WU_FSEL_RESTORE_CWD or 0 */
  int32_t write_mode;            /* out: WU_FSEL_APPEND ... */
  int32_t length;                /* out: length of the chosen path */
  char path[WU_FSEL_PATH_MAX];   /* out: the chosen path, NUL-terminated */
} wu_fsel;

/* Dispatcher codes of the Find and Change dialogs. */
#define WU_FDLG_FIND 41
#define WU_FDLG_CHANGE 46
/* Mode of browseURL: show the address in the web browser. */
#define WU_BROWSE_URL 8192

/* A help request (wunhelpc), zero-filled by the caller: three counted
   texts naming the help system, the book and the topic (the Tool Editor
   asks "host", "ted", "1"), and the file context of the asking task. */
#define WU_HELP_TEXTS 3
#define WU_HELP_TEXT_MAX 255
typedef struct wu_help_text {
  const char *text;
  int32_t length;
} wu_help_text;
typedef struct wu_help_request {
  wu_help_text texts[WU_HELP_TEXTS]; /* system, book, topic */
  qev_context *context;              /* file context of the asking task */
} wu_help_request;

extern "C" {

/* The modal file or directory selection.  Every filter of `filters` (may
   be null) is offered; the first is shown, or with keep 0 the filter of the
   last selection when it is among them.  0 with the path and write mode
   filled in, WU_CANCELLED when nothing was chosen. */
wu_status wumfsel(wu_window *window, const char *title, wu_fsel *request, const char *initial_file,
                  const char *initial_dir, const wu_fsel_filters *filters);
wu_status wumfswl(int32_t level);
const char *wumgfil(void);
wu_status wumcfnt(wu_window *window);
wu_status wumfdlg(wu_window *window, int32_t code);
wu_status wumndlg(wu_window *window);
wu_status wumpref(wu_window *window);
/* The window is going away: a Find/Change dialog acting on it closes. */
void wumfdwn(wu_window *window);

wu_status wumpdlg(wu_window *window);
wu_status wumpstp(wu_window *window);
wu_status wumpprv(wu_window *window);
wu_status wummdlg(wu_window *window);

wu_status browseURL(const char *address, int32_t length, int32_t mode);
int32_t vuxihlp(void);
wu_status wunhelpc(const wu_help_request *request);

}  // extern "C"

#endif /* QEV_DIALOGS_WUDIALOG_H */
