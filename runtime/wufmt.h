/*
 * The checked formatter for host texts used as formats (About values, tool
 * messages, the command tip, the window menu).  A host text is never handed
 * to printf: "%s" takes the next argument as a text, "%d" the next as a
 * number, "%%" gives one "%", and everything else (other conversions
 * included) is copied as it stands.  A conversion whose argument is missing
 * or of the other kind adds nothing.  Output is cut to the buffer.
 */
#ifndef QEV_RUNTIME_WUFMT_H
#define QEV_RUNTIME_WUFMT_H

#include <stdint.h>

#include "qev/kernel.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Formats into `out` (always NUL-terminated when size > 0) and returns the
   length written.  `format_length` below 0: the format is NUL-terminated. */
int32_t wutsfmt(char *out, int32_t size, const char *format, int32_t format_length,
                int32_t nargs, const qev_arg *args);

#ifdef __cplusplus
}
#endif

#endif /* QEV_RUNTIME_WUFMT_H */
