// Test support: the text a widget shows through a compound-string resource.
#pragma once

#include <Xm/Xm.h>

#include <string>

namespace qevtest {

// The text of a compound-string resource (XmNlabelString, XmNmessageString,
// XmNdialogTitle, ...) of a widget or gadget; "" when it has none.
inline std::string xmStringResource(Widget w, const char *resource) {
  XmString xs = nullptr;
  XtVaGetValues(w, resource, &xs, nullptr);
  if (!xs) return "";
  char *t = static_cast<char *>(
      XmStringUnparse(xs, nullptr, XmCHARSET_TEXT, XmCHARSET_TEXT, nullptr, 0, XmOUTPUT_ALL));
  std::string out = t ? t : "";
  XtFree(t);
  XmStringFree(xs);
  return out;
}

}  // namespace qevtest
