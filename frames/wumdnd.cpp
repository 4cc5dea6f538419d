// Drop sites of controls and the drag start of widgets, over Motif's drag
// and drop.  A site record belongs to one widget; it is registered with
// Motif as a drop site for its formats (the module's four targets when it
// names none) and goes away with its widget.
#include <X11/Intrinsic.h>
#include <X11/IntrinsicP.h>
#include <X11/CoreP.h>
#include <Xm/AtomMgr.h>
#include <Xm/DragDrop.h>
#include <Xm/DropSMgr.h>
#include <Xm/Text.h>
#include <Xm/TextF.h>
#include <cstring>

#include "frames/wudndp.h"
#include "qev/flags.h"
#include "runtime/wureg.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"
#include "textwin/wutwin.h"

namespace {

const char *const kModuleTargets[] = {WU_DND_TARGET_TEXT, WU_DND_TARGET_QEVTEXT,
                                      WU_DND_TARGET_FILE, WU_DND_TARGET_QEV};
const int kModuleTargetCount = 4;
const unsigned char kAllOperations = XmDROP_COPY | XmDROP_MOVE | XmDROP_LINK;
const unsigned int kDragButton = Button2;

wu_dnd_site *g_sites = nullptr;

Atom TargetAtom(Display *d, int index) {
  return XmInternAtom(d, const_cast<char *>(kModuleTargets[index]), False);
}

void WidgetGone(Widget w, XtPointer, XtPointer) {
  if (wu_dnd_site *s = wu_dnd_find(w)) {
    s->registered = 0;   // Motif drops the registration with the widget
    wumudnd(w);
  }
}

// The text a widget offers when dragged: a text widget's value, else none.
char *DragText(Widget w) {
  if (XmIsText(w)) return XmTextGetString(w);
  if (XmIsTextField(w)) return XmTextFieldGetString(w);
  return XtNewString("");
}

// Hands out the data of one offered type: the site's data item of that
// type when it names types, else the widget's text for the text targets.
Boolean Convert(Widget drag_context, Atom *, Atom *target, Atom *type_out, XtPointer *value_out,
                unsigned long *length_out, int *format_out) {
  Widget source = nullptr;
  XtVaGetValues(drag_context, XmNclientData, &source, nullptr);
  if (!source) return False;
  Display *d = XtDisplay(drag_context);
  char *data = nullptr;
  unsigned long length = 0;
  wu_dnd_site *s = wu_dnd_find(source);
  if (s && s->type_count > 0) {
    for (int32_t i = 0; i < s->type_count && !data; ++i) {
      if (s->types[i] != *target) continue;
      const bool has_item = i < s->items.count;
      length = has_item ? (unsigned long)s->items.lengths[i] : 0;
      data = XtMalloc(Cardinal(length + 1));
      if (has_item) std::memcpy(data, s->items.texts[i], length);
      data[length] = '\0';
    }
  } else if (*target == TargetAtom(d, 0) || *target == TargetAtom(d, 1)) {
    data = DragText(source);
    length = std::strlen(data);
  }
  if (!data) return False;
  *type_out = *target;
  *value_out = data;
  *length_out = length;
  *format_out = 8;
  return True;
}

void DragDone(Widget, XtPointer, XtPointer) {
  if (devb) devb->flags &= ~int32_t(WU_DEV_DRAGGING);
}

void StartDrag(Widget w, XtPointer, XEvent *event, Boolean *) {
  if (!event || event->type != ButtonPress || event->xbutton.button != kDragButton) return;
  wu_dnd_start(w, event);
}

// Keeps the dropped data on the site and wakes the window's waiting read.
void Transfer(Widget, XtPointer client, Atom *, Atom *, XtPointer value, unsigned long *length,
              int *) {
  auto *s = static_cast<wu_dnd_site *>(client);
  if (!s || !value || !length) {
    XtFree(static_cast<char *>(value));
    return;
  }
  XtFree(s->data);
  s->data = XtMalloc(Cardinal(*length + 1));
  std::memcpy(s->data, value, *length);
  s->data[*length] = '\0';
  s->data_length = int32_t(*length);
  XtFree(static_cast<char *>(value));
  if (s->window) wuxqwev(s->window, WU_EV_WAKE, nullptr, 0);
}

// Ends a drop that the site does not take.
void Refuse(Widget drag_context) {
  Arg args[2];
  XtSetArg(args[0], XmNtransferStatus, XmTRANSFER_FAILURE);
  XtSetArg(args[1], XmNnumDropTransfers, 0);
  XmDropTransferStart(drag_context, args, 2);
}

Atom *ModuleTargets(Display *d) {
  Atom *atoms = reinterpret_cast<Atom *>(XtMalloc(sizeof(Atom) * kModuleTargetCount));
  for (int i = 0; i < kModuleTargetCount; ++i) atoms[i] = TargetAtom(d, i);
  return atoms;
}

}  // namespace

wu_dnd_site *wu_dnd_find(Widget w) {
  for (wu_dnd_site *s = g_sites; s; s = s->next)
    if (s->widget == w) return s;
  return nullptr;
}

void wu_dnd_list_clear(wu_dnd_list *list) {
  for (int32_t i = 0; i < list->count; ++i) XtFree(list->texts[i]);
  XtFree(reinterpret_cast<char *>(list->texts));
  XtFree(reinterpret_cast<char *>(list->lengths));
  *list = wu_dnd_list{};
}

void wu_dnd_free_lists(wu_dnd_site *s) {
  XtFree(reinterpret_cast<char *>(s->formats));
  XtFree(reinterpret_cast<char *>(s->types));
  XtFree(s->data);
  s->formats = nullptr;
  s->format_count = 0;
  s->types = nullptr;
  s->type_count = 0;
  s->data = nullptr;
  s->data_length = 0;
  wu_dnd_list_clear(&s->items);
  wu_dnd_list_clear(&s->menu);
}

// The nearest ancestor of `w` that is a simple drop site, or null: Motif
// takes no site inside one.
extern "C" Widget wu_dnd_simple_site_above(Widget w) {
  for (Widget a = XtParent(w); a != nullptr && !XtIsShell(a); a = XtParent(a)) {
    if (!XmDropSiteRegistered(a)) continue;
    unsigned char type = XmDROP_SITE_SIMPLE;
    Arg query[1];
    XtSetArg(query[0], XmNdropSiteType, &type);
    XmDropSiteRetrieve(a, query, 1);
    if (type != XmDROP_SITE_COMPOSITE) return a;
  }
  return nullptr;
}

bool wu_dnd_register(wu_dnd_site *s) {
  Arg args[4];
  Cardinal n = 0;
  XtSetArg(args[n], XmNimportTargets, s->formats); ++n;
  XtSetArg(args[n], XmNnumImportTargets, s->format_count); ++n;
  XtSetArg(args[n], XmNdropSiteOperations, s->operations); ++n;
  XtSetArg(args[n], XmNdropProc, s->drop_proc); ++n;
  // A widget that made itself a drop site (the text widgets do) cannot be
  // registered again: its registration is updated to the site's instead.
  if (s->registered || XmDropSiteRegistered(s->widget)) {
    XmDropSiteUpdate(s->widget, args, n);
  } else if (Widget above = wu_dnd_simple_site_above(s->widget)) {
    s->registered = 0;
    wutlogf(QEV_LOG_WARNING, "The drop site of %s lies inside the simple drop site of %s and is not made.",
            XtName(s->widget), XtName(above));
    return false;
  } else {
    XmDropSiteRegister(s->widget, args, n);
  }
  // Motif refuses with no more than a warning: the site counts as
  // registered only when Motif holds it with the site's own drop procedure.
  // Motif keeps a record of its own, without the site's procedure and deaf
  // to updates, for a widget that clips drop sites below it; a widget
  // without children never has one, so that a record Motif holds for it
  // is the site.  Asking Motif for the procedure rewrites the shell's
  // drop-site information on the server first, so it is asked only of a
  // widget with children.
  bool held = XmDropSiteRegistered(s->widget);
  if (held && XtIsComposite(s->widget)) {
    XtCallbackProc proc = nullptr;
    Arg query[1];
    XtSetArg(query[0], XmNdropProc, &proc);
    XmDropSiteRetrieve(s->widget, query, 1);
    held = proc != nullptr && proc == s->drop_proc;
  }
  s->registered = held ? 1 : 0;
  if (!s->registered) wutlogf(QEV_LOG_WARNING, "Motif refused the drop site of %s.", XtName(s->widget));
  return s->registered != 0;
}

bool wu_dnd_start(Widget w, XEvent *event) {
  Display *d = XtDisplay(w);
  wu_dnd_site *s = wu_dnd_find(w);
  Atom text = TargetAtom(d, 0);
  Atom *targets = &text;
  Cardinal count = 1;
  if (s && s->type_count > 0) {
    targets = s->types;
    count = Cardinal(s->type_count);
  }
  Arg args[5];
  Cardinal n = 0;
  XtSetArg(args[n], XmNexportTargets, targets); ++n;
  XtSetArg(args[n], XmNnumExportTargets, count); ++n;
  XtSetArg(args[n], XmNdragOperations, kAllOperations); ++n;
  XtSetArg(args[n], XmNconvertProc, Convert); ++n;
  XtSetArg(args[n], XmNclientData, w); ++n;
  Widget context = XmDragStart(w, event, args, n);
  if (!context) return false;
  if (devb) devb->flags |= int32_t(WU_DEV_DRAGGING);
  XtAddCallback(context, XmNdragDropFinishCallback, DragDone, nullptr);
  return true;
}

extern "C" {

wu_dnd_site *wumrdnd(Widget w) {
  if (!w || !wu_x_ok()) return nullptr;
  if (wu_dnd_site *s = wu_dnd_find(w)) return s;
  auto *s = reinterpret_cast<wu_dnd_site *>(XtCalloc(1, sizeof(wu_dnd_site)));
  s->widget = w;
  s->operations = kAllOperations;
  s->enabled = 1;
  wu_window *win = nullptr;
  wu_pane *pane = nullptr;
  if (wutwd2p(w, &win, &pane) == WU_OK) s->window = win;
  if (wu_reg_add(s, WU_REG_DNDSITE) != WU_OK) {
    XtFree(reinterpret_cast<char *>(s));
    return nullptr;
  }
  s->next = g_sites;
  g_sites = s;
  XtAddCallback(w, XmNdestroyCallback, WidgetGone, nullptr);
  return s;
}

wu_status wumudnd(Widget w) {
  wu_dnd_site **link = &g_sites;
  while (*link && (*link)->widget != w) link = &(*link)->next;
  wu_dnd_site *s = *link;
  if (!s) return WU_NOTAVAIL;
  *link = s->next;
  wu_reg_remove(s);
  if (!w->core.being_destroyed) {
    if (s->registered) XmDropSiteUnregister(w);
    if (s->drag_handler) XtRemoveEventHandler(w, ButtonPressMask, False, StartDrag, nullptr);
    XtRemoveCallback(w, XmNdestroyCallback, WidgetGone, nullptr);
  }
  wu_dnd_free_lists(s);
  XtFree(reinterpret_cast<char *>(s));
  return WU_OK;
}

wu_dnd_site *wumldnd(Widget w, int32_t enabled_only) {
  wu_dnd_site *s = wu_dnd_find(w);
  if (!s) return nullptr;
  if (enabled_only && (!s->enabled || s->format_count == 0)) return nullptr;
  return s;
}

wu_status wumsdnd(wu_dnd_site *s) {
  if (!wu_reg_has(s, WU_REG_DNDSITE) || !s->widget || !wu_x_ok()) return WU_NOTAVAIL;
  s->drop_proc = wuwhdrp;
  if (s->format_count == 0) {
    s->formats = ModuleTargets(XtDisplay(s->widget));
    s->format_count = kModuleTargetCount;
  }
  return wu_dnd_register(s) ? WU_OK : WU_NOTAVAIL;
}

wu_status wuwddrg(Widget w) {
  if (!w) return WU_BADARG;
  XtAddEventHandler(w, ButtonPressMask, False, StartDrag, nullptr);
  if (wu_dnd_site *s = wu_dnd_find(w)) s->drag_handler = 1;
  return WU_OK;
}

wu_status wuwidrg(Widget w, wu_dnd_site *site) {
  if (!w || !wu_x_ok()) return WU_NOTAVAIL;
  if (site && !wu_reg_has(site, WU_REG_DNDSITE)) return WU_NOTAVAIL;
  if (!site) site = wumrdnd(w);
  if (!site) return WU_NOMEM;
  if (!site->drag_handler) {
    XtAddEventHandler(w, ButtonPressMask, False, StartDrag, nullptr);
    site->drag_handler = 1;
  }
  return wumsdnd(site);
}

void wuwhdrp(Widget w, XtPointer, XtPointer call) {
  auto *cb = static_cast<XmDropProcCallbackStruct *>(call);
  wu_dnd_site *s = wu_dnd_find(w);
  if (!cb) return;
  Arg args[4];
  Cardinal n = 0;
  if (!s || !s->enabled || cb->dropAction != XmDROP || cb->operation == XmDROP_NOOP) {
    Refuse(cb->dragContext);
    return;
  }
  // The drop's cell in the widget.
  if (devb && devb->cell_width > 0 && devb->cell_height > 0) {
    s->drop_row = cb->y / devb->cell_height + 1;
    s->drop_column = cb->x / devb->cell_width + 1;
  }
  // The first of the site's formats that the drag offers.
  Atom *offered = nullptr;
  Cardinal offered_count = 0;
  XtVaGetValues(cb->dragContext, XmNexportTargets, &offered, XmNnumExportTargets, &offered_count,
                nullptr);
  Atom target = None;
  for (int32_t i = 0; i < s->format_count && target == None; ++i)
    for (Cardinal j = 0; j < offered_count; ++j)
      if (offered[j] == s->formats[i]) target = s->formats[i];
  if (target == None) {
    Refuse(cb->dragContext);
    return;
  }
  static XmDropTransferEntryRec entry;
  entry.client_data = s;
  entry.target = target;
  XtSetArg(args[n], XmNdropTransfers, &entry); ++n;
  XtSetArg(args[n], XmNnumDropTransfers, 1); ++n;
  XtSetArg(args[n], XmNtransferProc, Transfer); ++n;
  XmDropTransferStart(cb->dragContext, args, n);
}

wu_status wuxudnd(wu_dnd_site *s) {
  if (!wu_reg_has(s, WU_REG_DNDSITE)) return WU_NOTAVAIL;
  if (!s->widget) return WU_BADARG;
  if (s->registered && !s->widget->core.being_destroyed) XmDropSiteUnregister(s->widget);
  s->registered = 0;
  wu_dnd_free_lists(s);
  return WU_OK;
}

}  // extern "C"
