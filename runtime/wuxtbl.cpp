// The module's four vector tables and their registration with the kernel.
//
// A slot is filled with the function of its name when that function is
// linked into the module (the names are declared weak here, so a subsystem
// that builds a slot needs no change to this file); every other slot answers
// WU_NOTAVAIL.  Slot 0 of each table withdraws the table.
#include <string.h>

#include "qev/module.h"
#include "qev/slots.h"
#include "runtime/wuhost.h"
#include "runtime/wummain.h"
#include "runtime/wuruntime.h"

// Slots built by the other subsystems.  The host calls each with the
// arguments its slot number fixes (qev/slots.h).
extern "C" {
wu_status wuxopen(void) __attribute__((weak));
wu_status wuxtopn(void) __attribute__((weak));
wu_status wuxgwnd(void) __attribute__((weak));
wu_status wuxcwtx(void) __attribute__((weak));
wu_status wuxgpan(void) __attribute__((weak));
wu_status wuxiwnd(void) __attribute__((weak));
wu_status wuxrwnd(void) __attribute__((weak));
wu_status wuxuwnd(void) __attribute__((weak));
wu_status wuxmenu(void) __attribute__((weak));
wu_status wuxecmd(void) __attribute__((weak));
wu_status wuxcmnu(void) __attribute__((weak));
wu_status wuxfwid(void) __attribute__((weak));
wu_status wuxgpsh(void) __attribute__((weak));
wu_status wuxgchk(void) __attribute__((weak));
wu_status wuxssta(void) __attribute__((weak));
wu_status wuxcsta(void) __attribute__((weak));
wu_status wuxgrbx(void) __attribute__((weak));
wu_status wuxgrbt(void) __attribute__((weak));
wu_status wuxrrbt(void) __attribute__((weak));
wu_status wuxgitm(void) __attribute__((weak));
wu_status wuxhwid(void) __attribute__((weak));
wu_status wuxgpmu(void) __attribute__((weak));
wu_status wuxfpmu(void) __attribute__((weak));
wu_status wuxdpmu(void) __attribute__((weak));
wu_status wuxglbx(void) __attribute__((weak));
wu_status wuxclbx(void) __attribute__((weak));
wu_status wuxqlbx(void) __attribute__((weak));
wu_status wuxicsz(void) __attribute__((weak));
wu_status wuxumnu(void) __attribute__((weak));
wu_status wuxgwsz(void) __attribute__((weak));
wu_status wuxlscr(void) __attribute__((weak));
wu_status wuxgrst(void) __attribute__((weak));
wu_status wuxgrwd(void) __attribute__((weak));
wu_status wuxqlbi(void) __attribute__((weak));
wu_status wuxsitm(void) __attribute__((weak));
wu_status wuxggpb(void) __attribute__((weak));
wu_status wuxgicb(void) __attribute__((weak));
wu_status wuxuwid(void) __attribute__((weak));
wu_status wuxswat(void) __attribute__((weak));
wu_status wuxqdnd(void) __attribute__((weak));
wu_status wuxsdnd(void) __attribute__((weak));
wu_status wuxgext(void) __attribute__((weak));
wu_status wuxgmap(void) __attribute__((weak));
wu_status wuxqwat(void) __attribute__((weak));
wu_status wuxfocs(void) __attribute__((weak));
wu_status wuxcrea(void) __attribute__((weak));
wu_status wuxcord(void) __attribute__((weak));
wu_status wuxfcor(void) __attribute__((weak));
wu_status wuxicnt(void) __attribute__((weak));
wu_status wuxcnti(void) __attribute__((weak));
wu_status wuxacon(void) __attribute__((weak));
wu_status wuxglvw(void) __attribute__((weak));
wu_status wuxclvw(void) __attribute__((weak));
wu_status wuxmeth(void) __attribute__((weak));
}

namespace {

// A slot holds any function; the caller casts it back to its slot's type.
template <typename Fn>
qev_slot_fn slot_of(Fn fn) {
  return reinterpret_cast<qev_slot_fn>(reinterpret_cast<void (*)(void)>(fn));
}

struct SlotEntry {
  int32_t slot;
  qev_slot_fn fn;
};

wu_status withdraw(int32_t id) { return wxdrgtb(id); }
wu_status term_window(void) { return withdraw(QEV_TABLE_WINDOW); }
wu_status term_graphics(void) { return withdraw(QEV_TABLE_GRAPHICS); }
wu_status term_images(void) { return withdraw(QEV_TABLE_IMAGES); }
wu_status term_methods(void) { return withdraw(QEV_TABLE_METHODS); }

// Window interface.
const SlotEntry kWindowSlots[] = {
    {WU_SLOT_TERMINATE, term_window},
    {WUX_SLOT_INIT, slot_of(wuxinit)},
    {WUX_SLOT_TERM, slot_of(wuxterm)},
    {WUX_SLOT_OPEN, slot_of(wuxopen)},
    {WUX_SLOT_TOPN, slot_of(wuxtopn)},
    {WUX_SLOT_GWND, slot_of(wuxgwnd)},
    {WUX_SLOT_CWTX, slot_of(wuxcwtx)},
    {WUX_SLOT_GPAN, slot_of(wuxgpan)},
    {WUX_SLOT_IWND, slot_of(wuxiwnd)},
    {WUX_SLOT_RWND, slot_of(wuxrwnd)},
    {WUX_SLOT_UWND, slot_of(wuxuwnd)},
    {WUX_SLOT_MENU, slot_of(wuxmenu)},
    {WUX_SLOT_ECMD, slot_of(wuxecmd)},
    {WUX_SLOT_QWEV, slot_of(wuxqwev)},
    {WUX_SLOT_QCMD, slot_of(wuxqcmd)},
    {WUX_SLOT_GQEV, slot_of(wuxgqev)},
    {WUX_SLOT_FLEQ, slot_of(wuxfleq)},
    {WUX_SLOT_CMNU, slot_of(wuxcmnu)},
    {WUX_SLOT_FWID, slot_of(wuxfwid)},
    {WUX_SLOT_GPSH, slot_of(wuxgpsh)},
    {WUX_SLOT_GCHK, slot_of(wuxgchk)},
    {WUX_SLOT_SSTA, slot_of(wuxssta)},
    {WUX_SLOT_CSTA, slot_of(wuxcsta)},
    {WUX_SLOT_GRBX, slot_of(wuxgrbx)},
    {WUX_SLOT_GRBT, slot_of(wuxgrbt)},
    {WUX_SLOT_RRBT, slot_of(wuxrrbt)},
    {WUX_SLOT_GITM, slot_of(wuxgitm)},
    {WUX_SLOT_HWID, slot_of(wuxhwid)},
    {WUX_SLOT_GPMU, slot_of(wuxgpmu)},
    {WUX_SLOT_FPMU, slot_of(wuxfpmu)},
    {WUX_SLOT_DPMU, slot_of(wuxdpmu)},
    {WUX_SLOT_GLBX, slot_of(wuxglbx)},
    {WUX_SLOT_CLBX, slot_of(wuxclbx)},
    {WUX_SLOT_QLBX, slot_of(wuxqlbx)},
    {WUX_SLOT_ICSZ, slot_of(wuxicsz)},
    {WUX_SLOT_UMNU, slot_of(wuxumnu)},
    {WUX_SLOT_GWSZ, slot_of(wuxgwsz)},
    {WUX_SLOT_LSCR, slot_of(wuxlscr)},
    {WUX_SLOT_GRST, slot_of(wuxgrst)},
    {WUX_SLOT_GRWD, slot_of(wuxgrwd)},
    {WUX_SLOT_QLBI, slot_of(wuxqlbi)},
    {WUX_SLOT_SITM, slot_of(wuxsitm)},
    {WUX_SLOT_GGPB, slot_of(wuxggpb)},
    {WUX_SLOT_116, slot_of(wuxuwid)},
    {WUX_SLOT_GICB, slot_of(wuxgicb)},
    {WUX_SLOT_SWAT, slot_of(wuxswat)},
    {WUX_SLOT_QDND, slot_of(wuxqdnd)},
    {WUX_SLOT_SDND, slot_of(wuxsdnd)},
    {WUX_SLOT_GEXT, slot_of(wuxgext)},
    {WUX_SLOT_GMAP, slot_of(wuxgmap)},
    {WUX_SLOT_QWAT, slot_of(wuxqwat)},
    {WUX_SLOT_FOCS, slot_of(wuxfocs)},
    {WUX_SLOT_CREA, slot_of(wuxcrea)},
    {WUX_SLOT_CORD, slot_of(wuxcord)},
    {WUX_SLOT_FCOR, slot_of(wuxfcor)},
    {WUX_SLOT_ICNT, slot_of(wuxicnt)},
    {WUX_SLOT_CNTI, slot_of(wuxcnti)},
    {WUX_SLOT_ACON, slot_of(wuxacon)},
};

// Views and methods.
const SlotEntry kMethodSlots[] = {
    {WU_SLOT_TERMINATE, term_methods},
    {WUXP_SLOT_GLVW, slot_of(wuxglvw)},
    {WUXP_SLOT_CLVW, slot_of(wuxclvw)},
    {WUXP_SLOT_METH, slot_of(wuxmeth)},
};

const SlotEntry kGraphicsSlots[] = {
    {WU_SLOT_TERMINATE, term_graphics},
};

const SlotEntry kImageSlots[] = {
    {WU_SLOT_TERMINATE, term_images},
};

qev_slot_fn g_window[QEV_TABLE_WINDOW_SLOTS];
qev_slot_fn g_graphics[QEV_TABLE_GRAPHICS_SLOTS];
qev_slot_fn g_images[QEV_TABLE_IMAGES_SLOTS];
qev_slot_fn g_methods[QEV_TABLE_METHODS_SLOTS];

template <size_t N, size_t M>
void fill(qev_slot_fn (&slots)[N], const SlotEntry (&entries)[M]) {
  for (qev_slot_fn &s : slots) s = wu_notbuilt;
  for (const SlotEntry &e : entries)
    if (e.fn != nullptr && e.slot >= 0 && static_cast<size_t>(e.slot) < N) slots[e.slot] = e.fn;
}

qev_table g_tables[WU_TABLE_COUNT];

void set_table(qev_table *t, const char *eye, int32_t id, int32_t count, const qev_slot_fn *slots) {
  memcpy(t->eye, eye, sizeof t->eye);
  t->id = id;
  t->slot_count = count;
  t->slots = slots;
}

}  // namespace

const qev_table *const wu_tables[WU_TABLE_COUNT] = {&g_tables[0], &g_tables[1], &g_tables[2],
                                                   &g_tables[3]};

void wu_fill_tables(void) {
  fill(g_window, kWindowSlots);
  fill(g_graphics, kGraphicsSlots);
  fill(g_images, kImageSlots);
  fill(g_methods, kMethodSlots);
  set_table(&g_tables[0], "WUXTBL  ", QEV_TABLE_WINDOW, QEV_TABLE_WINDOW_SLOTS, g_window);
  set_table(&g_tables[1], "WUGTBL  ", QEV_TABLE_GRAPHICS, QEV_TABLE_GRAPHICS_SLOTS, g_graphics);
  set_table(&g_tables[2], "WUGITBL ", QEV_TABLE_IMAGES, QEV_TABLE_IMAGES_SLOTS, g_images);
  set_table(&g_tables[3], "WUXPTBL ", QEV_TABLE_METHODS, QEV_TABLE_METHODS_SLOTS, g_methods);
}
