// The tool box commands: load, edit, close, switch, tips on and off, icon
// size, and the two dumps of a tool box to the host log.
#include <X11/Intrinsic.h>
#include <Xm/ArrowB.h>
#include <Xm/Xm.h>

#include <cstring>
#include <string>

#include "commands/wucmds.h"
#include "frames/wutframe.h"
#include "toolbox/wutbox.h"
#include "qev/flags.h"
#include "runtime/wudevice.h"
#include "runtime/wuhost.h"
#include "runtime/wureg.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"

namespace {

enum {
  kMsgSyntax = 111,       // set 526
  kMsgNoSuchBox = 112,
  kMsgNoLibrary = 350,
  kMsgEntryLong = 679,
  kMsgLoaded = 131,       // set 524
  kMsgNothingToClose = 132,
  kMsgNotHere = 8,
  kMsgTipsOn = 126,
  kMsgTipsOff = 127,
  kMsgNoList = 128,
  kMsgLarge = 129,
  kMsgSmall = 130,
  kMsgKeyOn = 124,
  kMsgKeyOff = 125,
};
const int32_t kName34Text = WU_NAME34_LEN - 2;
const int32_t kIconic = 3;            // WM_STATE: iconic

wu_state *State() { return wu_module(); }
bool Alive(wu_window *w) { return w && wu_reg_has(w, WU_REG_WINDOW); }

void Show(wu_window *w, int32_t set, int32_t number) {
  wu_state *s = State();
  wu_window *cur = s && Alive(s->current) ? s->current : w;
  yudsmsg(cur, 0, 2, set, number);
}

void SkipCommand() {
  for (const qev_token *t = xncgtok(); t && !wumtend(t);) t = xncnxcm();
}

bool Period(const qev_token *t) { return t && t->type == QEV_TOK_SPECIAL && t->subtype == 21; }
bool Name(const qev_token *t) { return t && t->type == QEV_TOK_NAME && t->text && t->length > 0; }

// The on and off keywords of set 524: on 1, off 0, neither -1.
int32_t OnOff(const qev_token *t) {
  if (!t || wumtend(t)) return -1;
  wumtupc(t);
  int32_t result = -1;
  char *off = wuxgmft(WU_MSG_CMD, kMsgKeyOff);
  char *on = wuxgmft(WU_MSG_CMD, kMsgKeyOn);
  if (off && wumtkey(t, off)) result = 0;
  else if (on && wumtkey(t, on)) result = 1;
  wumfree(off);
  wumfree(on);
  return result;
}

void ClearMessageFlag(wu_window *w) {
  if (Alive(w)) w->flags &= ~WU_WIN_MSG_PENDING;
}

const char *TF(bool b) { return b ? "True" : "False"; }

void Line(const char *text) {
  qev_arg a = {QEV_ARG_TEXT, wzstlen(text), text, 0};
  wumtlog(0, "%s", 1, &a);
}
void LineS(const char *fmt, const char *value) {
  qev_arg a = {QEV_ARG_TEXT, wzstlen(value ? value : ""), value ? value : "", 0};
  wumtlog(0, fmt, 1, &a);
}
void LineD(const char *fmt, int32_t value) {
  qev_arg a = {QEV_ARG_INT, 0, nullptr, value};
  wumtlog(0, fmt, 1, &a);
}
void LineT(const char *fmt, const std::string &value) {
  qev_arg a = {QEV_ARG_TEXT, int32_t(value.size()), value.data(), 0};
  wumtlog(0, fmt, 1, &a);
}

// A quoted value of the program dump: quotes inside are doubled.
std::string Quoted(const char *text) {
  std::string out;
  for (const char *p = text ? text : ""; *p; ++p) {
    out += *p;
    if (*p == '\'') out += '\'';
  }
  return out;
}

void EndDump() {
  Line(" ");
  Line("%3zEnd of TOOLDUMP Output.");
  Line(" ");
}

bool ReadLocation(wu_toolbox **out, const char *l, const char *c, const char *e) {
  *out = wumtlcl(l, c, e, WU_TB_MEMBER_TYPE);
  return *out != nullptr;
}

}  // namespace

extern "C" {

int32_t GetToolPath(char *libref, char *catalog, char *entry) {
  std::memset(libref, ' ', WU_LIBREF_LEN);
  SetName34(catalog, "", 0);
  SetName34(entry, "", 0);
  int32_t result = -1;
  auto fail = [](int32_t number) {
    Show(nullptr, WU_MSG_TOOL, number);
    SkipCommand();
    return WU_NOTAVAIL;
  };
  const qev_token *t = xncgtok();
  while (t && !wumtend(t)) {
    if (!Name(t)) return fail(kMsgSyntax);
    wumtupc(t);
    const qev_token *next = xncnxcm();
    // TOOLBAR, TOOLBOX and WINDOW words (no period after them) are skipped.
    if ((wumtkey(t, "BAR") || wumtkey(t, "BOX") || wumtkey(t, "WIND")) && !Period(next)) {
      t = next;
      continue;
    }
    if (t->length > WU_LIBREF_LEN || !Period(next)) return fail(kMsgSyntax);
    std::memset(libref, ' ', WU_LIBREF_LEN);
    std::memcpy(libref, t->text, size_t(t->length));
    const qev_token *c = xncnxcm();
    if (!Name(c)) return fail(kMsgSyntax);
    if (c->length > kName34Text) return fail(kMsgEntryLong);
    wumtupc(c);
    SetName34(catalog, c->text, size_t(c->length));
    if (!Period(xncnxcm())) return fail(kMsgSyntax);
    const qev_token *e = xncnxcm();
    if (!Name(e)) return fail(kMsgSyntax);
    if (e->length > kName34Text) return fail(kMsgEntryLong);
    wumtupc(e);
    SetName34(entry, e->text, size_t(e->length));
    result = 0;
    t = xncnxcm();
  }
  return result;
}

void HandleTOOLLOAD(wu_window *w) {
  wu_state *s = State();
  if (!s) return;
  wu_merged_box *mb = wumgmbx();
  const bool quiet = w->module_flags & WU_WMOD_QUIET_LOAD;
  if (mb && mb->tools && mb->tools_arrow && !quiet) {
    unsigned char dir = XmARROW_LEFT;
    XtVaGetValues(mb->tools_arrow, XmNarrowDirection, &dir, nullptr);
    if (dir == XmARROW_RIGHT) {
      // Showing the tools processes pending events: the window or the
      // module may go meanwhile.
      const wu_reg_hold hold = wu_reg_take(w);
      wumtctl(mb->tools_arrow);
      if (!wu_reg_alive(hold) || State() != s) return;
    }
  }
  char l[WU_LIBREF_LEN], c[WU_NAME34_LEN], e[WU_NAME34_LEN];
  int32_t where = GetToolPath(l, c, e);
  xncdrcm();
  if (where == WU_NOTAVAIL) return;
  mb = wumgmbx();
  const bool closed = !mb || !mb->shell || mb->closed;
  if (where != 0) {
    if (!closed && wutisdm(w) && s->global_toolbox) {
      Show(w, WU_MSG_CMD, kMsgLoaded);
      return;
    }
    if (w->toolbox && mb && mb->closed) {
      wu_toolbox *again = wumtlcl(w->toolbox->libref, w->toolbox->catalog, w->toolbox->entry,
                                  WU_TB_MEMBER_TYPE);
      if (again) {
        // The box read again replaces the window's; the old one goes unwritten.
        w->toolbox->no_save = 1;
        wumfbar(w);
        if (!Alive(w)) {
          wutfbar(nullptr, again);
          return;
        }
        w->toolbox = again;
      }
    } else if (w->toolbox || (mb && mb->shell && !mb->closed)) {
      if (!w->toolbox) {
        w->module_flags |= WU_WMOD_QUIET_LOAD;
        wumibar(w);
        if (Alive(w)) w->module_flags &= ~WU_WMOD_QUIET_LOAD;
        if (Alive(w) && w->toolbox) {
          wumnbar(w);
          return;
        }
      }
      Show(w, WU_MSG_CMD, kMsgLoaded);
      return;
    }
  } else {
    wu_toolbox *box = nullptr;
    if (!ReadLocation(&box, l, c, e)) {
      Show(w, WU_MSG_TOOL, kMsgNoSuchBox);
      return;
    }
    if (w->toolbox) wumfbar(w);
    if (!Alive(w)) {
      wutfbar(nullptr, box);
      return;
    }
    box->own_location = 1;
    wumsloc(box, l, c, e);
    w->toolbox = box;
    if (wutisdm(w)) s->global_toolbox = box;
  }
  if (!quiet) wutsbsy(1);
  mb = wumgmbx();
  if (mb) mb->closed = 0;
  wumibar(w);
  mb = wumgmbx();
  if (mb && mb->shell) ShowMergedShell(mb);
  wutsync(1, 1);
  if (!quiet) wutsbsy(0);
  if (!Alive(w)) return;
  wumnbar(w);
  if (!Alive(w)) return;
  char dl[WU_LIBREF_LEN], dc[WU_NAME34_LEN], de[WU_NAME34_LEN];
  wumgdloc(dl, dc, de);
  if (w->toolbox && w->toolbox == s->global_toolbox && std::memcmp(w->toolbox->catalog, dc, WU_NAME34_LEN) == 0 &&
      std::memcmp(w->toolbox->entry, de, WU_NAME34_LEN) == 0)
    wumtlsv(w->toolbox, w->toolbox->libref, w->toolbox->catalog, w->toolbox->entry, WU_TB_MEMBER_TYPE);
  mb = wumgmbx();
  wumtsta(mb && mb->shell ? XtIsManaged(mb->rowcol) : 0);
}

void HandleTOOLEDIT(wu_window *w) {
  char l[WU_LIBREF_LEN], c[WU_NAME34_LEN], e[WU_NAME34_LEN];
  int32_t where = GetToolPath(l, c, e);
  xncdrcm();
  if (where == WU_NOTAVAIL) return;
  if (where == 0) {
    wu_toolbox *box = wumtlcl(l, c, e, WU_TB_MEMBER_TYPE);
    if (box) {
      wutfbar(nullptr, box);
    } else {
      qev_lib *lib = nullptr;
      if (ylopen(&lib, QEV_LIB_READ, l, c) != WU_OK || !lib) {
        Show(w, WU_MSG_TOOL, kMsgNoLibrary);
        return;
      }
      ylclose(lib);
    }
    wumebar(w, l, c, e);
    return;
  }
  wu_merged_box *mb = wumgmbx();
  if (w->toolbox && mb && mb->box == w->toolbox && w->toolbox->use_count > 0) {
    wutalrm();
    return;
  }
  wumebar(w, nullptr, nullptr, nullptr);
}

void HandleTOOLCLOSE(wu_window *w) {
  wu_state *s = State();
  if (!s) return;
  xncdrcm();
  if (wutisdm(w) && s->global_toolbox) w->toolbox = s->global_toolbox;
  wu_merged_box *mb = wumgmbx();
  if (mb && mb->shell) {
    if (mb->closed) {
      Show(w, WU_MSG_CMD, kMsgNothingToClose);
      return;
    }
    int32_t state = 0;
    wutgwms(mb->shell, &state);
    if (state == kIconic && !mb->close_requeued) {
      // An iconic shell is mapped first and the command runs again; only
      // once, so a window manager that keeps it iconic cannot loop us.
      MapMergedShell(mb, true);
      mb->close_requeued = 1;
      wuxqcmd(w, "TOOLCLOSE", -1, 1, 1, 0);
      return;
    }
    mb->close_requeued = 0;
    HideMergedShell(mb);
    mb->closed = 1;
    wumfbar(w);
  } else if ((mb = wumamrg()) != nullptr) {
    // Not built yet: it is marked closed all the same.
    mb->closed = 1;
  }
  wumtsta(0);
}

void HandleTOOLSWITCH(wu_window *w) { Show(w, WU_MSG_CMD, kMsgNotHere); }

void HandleTOOLTIPS(wu_window *w) {
  int32_t choice = OnOff(xncgtok());
  xncdrcm();
  if (!devb) return;
  const bool on = choice < 0 ? !devb->prefs.use_toolbox_tips : choice == 1;
  devb->prefs.use_toolbox_tips = on;
  Show(w, WU_MSG_CMD, on ? kMsgTipsOn : kMsgTipsOff);
  ClearMessageFlag(w);
}

void HandleTOOLLARGE2(wu_window *w) {
  wu_merged_box *mb = wumgmbx();
  if (!mb || !mb->tools) {
    xncdrcm();
    Show(w, WU_MSG_CMD, kMsgNoList);
    return;
  }
  int32_t size = mb->icon_size ? mb->icon_size : (mb->tools->box ? mb->tools->box->icon_width : 24);
  int32_t choice = OnOff(xncgtok());
  xncdrcm();
  if (choice < 0) size = size == WU_ICON_BOX_LARGE ? WU_ICON_BOX_SMALL : WU_ICON_BOX_LARGE;
  else size = choice ? WU_ICON_BOX_LARGE : WU_ICON_BOX_SMALL;
  for (wu_tool *t = mb->tools; t; t = t->next) {
    if (t->icon == WU_TB_SEPARATOR_ICON) continue;
    wumdbtn(t);
    ReleaseToolPixmap(t->pixmap, t->shared_pixmap);
    t->pixmap = wumtllp(t->icon, size, size, &t->shared_pixmap);
    t->small_icon = size == WU_ICON_BOX_SMALL;
  }
  mb->icon_size = size;
  wu_toolbox *box = mb->box;
  if (box && wu_reg_has(box, WU_REG_TOOLBOX)) {
    box->icon_width = box->icon_height = size;
    // Showing the list's box again rebuilds the buttons at the new size.
    mb->tools = nullptr;
    SwitchToolBox(w, box);
  }
  Show(w, WU_MSG_CMD, size == WU_ICON_BOX_LARGE ? kMsgLarge : kMsgSmall);
  ClearMessageFlag(w);
}

void HandleTOOLDUMP(wu_window *w) {
  xncdrcm();
  wu_merged_box *mb = wumgmbx();
  Line("%3zStart of TOOLDUMP Output.");
  Line(" ");
  Line("**** Global TOOLBOX Configuration Info ****");
  Line(" ");
  const wu_preferences &p = devb->prefs;
  LineS("     QEV.mergeToolBoxes     : %s", "True");
  LineS("     QEV.defaultToolBox     : %s", TF(p.default_toolbox));
  LineS("     QEV.toolBoxAlwaysOnTop : %s", TF(p.toolbox_always_on_top));
  LineS("     QEV.useToolBoxTips     : %s", TF(p.use_toolbox_tips));
  LineD("     QEV.toolBoxTipDelay    : %d", p.toolbox_tip_delay);
  LineS("     QEV.isToolBoxPersistent: %s", TF(p.toolbox_persistent));
  Line(" ");
  if (mb && mb->closed) {
    Line("****  The Merging TOOLBOX is now OFF   ****");
    EndDump();
    return;
  }
  if (!mb || !mb->shell) {
    Line("**** Merging TOOLBOX hasn't been created yet ****");
    EndDump();
    return;
  }
  wu_toolbox *box = mb->box && wu_reg_has(mb->box, WU_REG_TOOLBOX) ? mb->box : w->toolbox;
  if (!box) {
    Line("**** TOOLBOX has no active children   ****");
    EndDump();
    return;
  }
  Line("**** TOOLBOX Container Information     ****");
  Line(" ");
  LineD("     Number of Tools      : %d", box->count);
  LineD("     Max Tools Per Row    : %d", box->per_row);
  LineT("     TOOLBOX Libref       : %8b", std::string(box->libref, WU_LIBREF_LEN));
  LineT("     TOOLBOX Catalog      : %32b", Text34(box->catalog));
  LineT("     TOOLBOX Entry        : %32b", Text34(box->entry));
  if (w->name && w->name_length > 0 && w->name_length < 4096)
    LineT("     Active Window:       : %s", std::string(w->name, size_t(w->name_length)));
  qev_arg sz[2] = {{QEV_ARG_INT, 0, nullptr, mb->icon_size ? mb->icon_size : box->icon_width},
                   {QEV_ARG_INT, 0, nullptr, mb->icon_size ? mb->icon_size : box->icon_height}};
  wumtlog(0, "     TOOL Icon Size       : %dx%d", 2, sz);
  LineS("     Save Screen Position : %s", TF(box->save_position));
  LineS("     Load By Default      : %s", TF(box->load_default));
  if (!box->tools) {
    Line(" ");
    Line("**** TOOLBOX has no active children   ****");
  }
  int32_t n = 1;
  for (wu_tool *t = box->tools; t; t = t->next, ++n) {
    Line(" ");
    LineD("**** Description of TOOL Number %d     ****", n);
    Line(" ");
    LineS("     Command String    : %s", t->command);
    LineS("     Help String       : %s", t->help);
    LineS("     Tip String        : %s", t->tip);
    LineD("     Icon Identifier   : %d", t->icon);
  }
  EndDump();
}

void HandleTOOLDUMP2(wu_window *w) {
  wumnbar(w);
  if (!Alive(w)) return;
  char l[WU_LIBREF_LEN], c[WU_NAME34_LEN], e[WU_NAME34_LEN];
  int32_t where = GetToolPath(l, c, e);
  xncdrcm();
  if (where == WU_NOTAVAIL) return;
  wu_toolbox *temp = nullptr, *box = nullptr;
  if (where == 0) {
    temp = wumtlcl(l, c, e, WU_TB_MEMBER_TYPE);
    box = temp;
  } else {
    wu_merged_box *mb = wumgmbx();
    box = mb && mb->box && wu_reg_has(mb->box, WU_REG_TOOLBOX) ? mb->box : w->toolbox;
  }
  if (!box) {
    Line("%1zUnable to dump the requested TOOLBOX.");
  } else {
    Line("PROC TOOLBAR;");
    qev_arg loc[4] = {{QEV_ARG_TEXT, WU_LIBREF_LEN, box->libref, 0},
                      {QEV_ARG_TEXT, 0, nullptr, 0},
                      {QEV_ARG_TEXT, 0, nullptr, 0},
                      {QEV_ARG_TEXT, 8, WU_TB_MEMBER_TYPE, 0}};
    std::string cat = Text34(box->catalog), ent = Text34(box->entry);
    loc[1].text = cat.data();
    loc[1].length = int32_t(cat.size());
    loc[2].text = ent.data();
    loc[2].length = int32_t(ent.size());
    wumtlog(0, "BAR C=%8b.%32b.%32b.%8b;", 4, loc);
    int32_t item = 0;
    for (wu_tool *t = box->tools; t; t = t->next) {
      Line("  ");
      if (t->icon == WU_TB_SEPARATOR_ICON) {
        Line("SEPARATOR;");
        continue;
      }
      LineD("ITEM X%d", item++);
      LineT("COMMAND='%s'", Quoted(t->command));
      LineT("HELP='%s'", Quoted(t->help));
      LineT("TIP='%s'", Quoted(t->tip));
      LineD("ICON=%d", t->icon);
      LineD("ID=%d;", t->command_id);
    }
  }
  Line("  ");
  Line("RUN;QUIT;");
  if (temp) wutfbar(nullptr, temp);
}

}  // extern "C"
