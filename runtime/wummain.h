// The module main and its vector tables (module-internal).
#ifndef QEV_RUNTIME_WUMMAIN_H
#define QEV_RUNTIME_WUMMAIN_H

#include "qev/module.h"

#define WU_TABLE_COUNT 4
// The tables in registration order: wuxtbl, wugtbl, wugitbl, wuxptbl.
extern const qev_table *const wu_tables[WU_TABLE_COUNT];

// Fills every table's slots (built functions, the rest WU_NOTAVAIL).
void wu_fill_tables(void);

extern "C" {
wu_status wummain(qev_gcb *gcb, qev_idb *idb);
wu_status wumterm(qev_gcb *gcb);
}

#endif
