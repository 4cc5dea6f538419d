// QEVSbar: the module's scroll bar (a Motif scroll bar kept out of keyboard
// traversal).
#include "textwin/QEVSbarP.h"

namespace {

void Initialize(Widget, Widget nw, ArgList, Cardinal *) {
  ((QEVSbarWidget)nw)->primitive.traversal_on = False;
}

}  // namespace

extern "C" {

QEVSbarClassRec qevSbarClassRec = {
    {
        /* superclass */ (WidgetClass)&xmScrollBarClassRec,
        /* class_name */ (String) "QEVSbar",
        /* widget_size */ sizeof(QEVSbarRec),
        /* class_initialize */ nullptr,
        /* class_part_initialize */ nullptr,
        /* class_inited */ False,
        /* initialize */ Initialize,
        /* initialize_hook */ nullptr,
        /* realize */ XtInheritRealize,
        /* actions */ nullptr,
        /* num_actions */ 0,
        /* resources */ nullptr,
        /* num_resources */ 0,
        /* xrm_class */ NULLQUARK,
        /* compress_motion */ True,
        // A bar draws itself whole at each exposure: a series is drawn
        // once, and the queue is not searched for more (with many bars
        // mapped at once that search costs more than the drawing).
        /* compress_exposure */ XtExposeCompressSeries | XtExposeNoRegion,
        /* compress_enterleave */ True,
        /* visible_interest */ False,
        /* destroy */ nullptr,
        /* resize */ XtInheritResize,
        /* expose */ XtInheritExpose,
        /* set_values */ nullptr,
        /* set_values_hook */ nullptr,
        /* set_values_almost */ XtInheritSetValuesAlmost,
        /* get_values_hook */ nullptr,
        /* accept_focus */ nullptr,
        /* version */ XtVersion,
        /* callback_private */ nullptr,
        /* tm_table */ XtInheritTranslations,
        /* query_geometry */ XtInheritQueryGeometry,
        /* display_accelerator */ nullptr,
        /* extension */ nullptr,
    },
    {
        /* border_highlight */ XmInheritBorderHighlight,
        /* border_unhighlight */ XmInheritBorderUnhighlight,
        /* translations */ XtInheritTranslations,
        /* arm_and_activate */ nullptr,
        /* syn_resources */ nullptr,
        /* num_syn_resources */ 0,
        /* extension */ nullptr,
    },
    {
        /* extension */ nullptr,
    },
    {
        /* extension */ nullptr,
    },
};

WidgetClass qevSbarWidgetClass = (WidgetClass)&qevSbarClassRec;

Widget sscreat(Widget parent, const char *name, ArgList args, Cardinal count) {
  if (!parent) return nullptr;
  return XtCreateWidget(name ? name : "qevScrollBar", qevSbarWidgetClass, parent, args, count);
}

}  // extern "C"
