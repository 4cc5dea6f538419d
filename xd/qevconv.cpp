/*
 * Resource converters of the widget set: the item tables, the ids and the
 * column count that a resource file (or an XtVaTypedArg) gives as text.
 * Tables made here remember how long they are, so that a count given
 * beside them cannot make a widget read past their end.
 */
#include "xd/IconList.h"
#include "xd/MCIconList.h"
#include "xd/qevutil.h"

#include <Xm/XmP.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

struct Shape {
  int rows;
  int columns; /* 0 for a table of items; the column count of a table of tables */
};

/* The tables made here and not yet released. */
std::map<const void *, Shape> &made() {
  static std::map<const void *, Shape> tables;
  return tables;
}

/* The items of a list written as "a, b,c": split at the separator, each
   without its leading blanks, as Motif reads a list's items. */
std::vector<std::string> items(const char *text, char separator) {
  std::vector<std::string> out;
  if (!text) return out;
  const char *p = text;
  for (;;) {
    while (*p == ' ' || *p == '\t') ++p;
    const char *end = std::strchr(p, separator);
    if (!end) {
      if (*p || !out.empty()) out.emplace_back(p);
      return out;
    }
    out.emplace_back(p, size_t(end - p));
    p = end + 1;
  }
}

/* Hands the converted value back as the toolkit asks for it. */
template <class T>
Boolean done(XrmValue *to, T value) {
  if (to->addr) {
    if (to->size < sizeof(T)) {
      to->size = sizeof(T);
      return False;
    }
    *reinterpret_cast<T *>(to->addr) = value;
  } else {
    static T kept;
    kept = value;
    to->addr = reinterpret_cast<XPointer>(&kept);
  }
  to->size = sizeof(T);
  return True;
}

/* The kinds of table a "StringTable" conversion makes. */
const int kCompoundStrings = 1;
const int kPlainStrings = 2;

/* The conversion argument of "StringTable": the kind of table the widget
   takes (a procedure argument, so that widgets of a kind share the
   tables the toolkit keeps for a text). */
void tableKind(Widget w, Cardinal *, XrmValue *value) {
  static int kind;
  kind = w && XdIsIconList(w) ? kCompoundStrings : kPlainStrings;
  value->addr = reinterpret_cast<XPointer>(&kind);
  value->size = sizeof(kind);
}

XtConvertArgRec kindArg[] = {
    {XtProcedureArg, reinterpret_cast<XtPointer>(tableKind), 0},
};

XmString *xmStrings(const std::vector<std::string> &texts, size_t rows) {
  XmString *table = reinterpret_cast<XmString *>(XtMalloc(Cardinal((rows + 1) * sizeof(XmString))));
  for (size_t i = 0; i < rows; ++i)
    table[i] = XmStringCreateLocalized(const_cast<char *>(i < texts.size() ? texts[i].c_str() : ""));
  table[rows] = nullptr;
  return table;
}

void freeXmStrings(XmString *table) {
  for (XmString *s = table; s && *s; ++s) XmStringFree(*s);
  XtFree(reinterpret_cast<char *>(table));
}

/* "StringTable" is the icon list's item table of compound strings, and
   the toolkit's name for a table of plain strings: an icon list gets
   compound strings, any other widget the plain strings it always got. */
Boolean cvtStringTable(Display *, XrmValue *args, Cardinal *num_args, XrmValue *from, XrmValue *to,
                       XtPointer *closure) {
  std::vector<std::string> texts = items(reinterpret_cast<const char *>(from->addr), ',');
  const int kind = num_args && *num_args == 1 ? *reinterpret_cast<int *>(args[0].addr) : kPlainStrings;
  if (kind == kCompoundStrings) {
    XmString *table = xmStrings(texts, texts.size());
    *closure = reinterpret_cast<XtPointer>(intptr_t(kCompoundStrings));
    made()[table] = Shape{int(texts.size()), 0};
    return done(to, table);
  }
  char **table = reinterpret_cast<char **>(XtMalloc(Cardinal((texts.size() + 1) * sizeof(char *))));
  for (size_t i = 0; i < texts.size(); ++i) table[i] = XtNewString(texts[i].c_str());
  table[texts.size()] = nullptr;
  *closure = reinterpret_cast<XtPointer>(intptr_t(kPlainStrings));
  return done(to, table);
}

void freeStringTable(XtAppContext, XrmValue *to, XtPointer closure, XrmValue *, Cardinal *) {
  void *table = *reinterpret_cast<void **>(to->addr);
  made().erase(table);
  if (reinterpret_cast<intptr_t>(closure) == intptr_t(kCompoundStrings)) {
    freeXmStrings(static_cast<XmString *>(table));
    return;
  }
  for (char **s = static_cast<char **>(table); s && *s; ++s) XtFree(*s);
  XtFree(static_cast<char *>(table));
}

/* A whole number of the text, or false. */
bool number(const std::string &text, long *value) {
  const char *s = text.c_str();
  char *end = nullptr;
  *value = std::strtol(s, &end, 0);
  if (end == s) return false;
  while (std::isspace(static_cast<unsigned char>(*end))) ++end;
  return *end == '\0';
}

/* "Ids": the rows' ids as whole numbers, "1, 2, 3". */
Boolean cvtIds(Display *dpy, XrmValue *, Cardinal *, XrmValue *from, XrmValue *to, XtPointer *) {
  std::vector<std::string> texts = items(reinterpret_cast<const char *>(from->addr), ',');
  std::vector<int32_t> ids;
  for (const std::string &t : texts) {
    long v = 0;
    if (!number(t, &v) || v < INT32_MIN || v > INT32_MAX) {
      XtDisplayStringConversionWarning(dpy, reinterpret_cast<char *>(from->addr), XdRIds);
      return False;
    }
    ids.push_back(int32_t(v));
  }
  int32_t *table = reinterpret_cast<int32_t *>(XtMalloc(Cardinal((ids.size() + 1) * sizeof(int32_t))));
  if (!ids.empty()) std::memcpy(table, ids.data(), ids.size() * sizeof(int32_t));
  made()[table] = Shape{int(ids.size()), 0};
  return done(to, table);
}

void freeIds(XtAppContext, XrmValue *to, XtPointer, XrmValue *, Cardinal *) {
  void *table = *reinterpret_cast<void **>(to->addr);
  made().erase(table);
  XtFree(static_cast<char *>(table));
}

/* "ColumnCount": a whole number of columns, 0 or more. */
Boolean cvtColumnCount(Display *dpy, XrmValue *, Cardinal *, XrmValue *from, XrmValue *to,
                       XtPointer *) {
  long v = 0;
  const char *text = reinterpret_cast<const char *>(from->addr);
  if (!text || !number(text, &v) || v < 0 || v > INT16_MAX) {
    XtDisplayStringConversionWarning(dpy, const_cast<char *>(text ? text : ""), XdRColumnCount);
    return False;
  }
  return done(to, int(v));
}

/* "StringItems": one item table per column, the columns separated by
   semicolons: "name1,name2;size1,size2".  A column shorter than the
   longest gets empty items. */
Boolean cvtStringItems(Display *, XrmValue *, Cardinal *, XrmValue *from, XrmValue *to,
                       XtPointer *) {
  std::vector<std::string> columns = items(reinterpret_cast<const char *>(from->addr), ';');
  std::vector<std::vector<std::string>> texts;
  size_t rows = 0;
  for (const std::string &c : columns) {
    texts.push_back(items(c.c_str(), ','));
    rows = std::max(rows, texts.back().size());
  }
  XmString **table =
      reinterpret_cast<XmString **>(XtMalloc(Cardinal((texts.size() + 1) * sizeof(XmString *))));
  for (size_t c = 0; c < texts.size(); ++c) table[c] = xmStrings(texts[c], rows);
  table[texts.size()] = nullptr;
  made()[table] = Shape{int(rows), int(texts.size())};
  return done(to, table);
}

void freeStringItems(XtAppContext, XrmValue *to, XtPointer, XrmValue *, Cardinal *) {
  XmString **table = *reinterpret_cast<XmString ***>(to->addr);
  made().erase(table);
  for (XmString **c = table; c && *c; ++c) freeXmStrings(*c);
  XtFree(reinterpret_cast<char *>(table));
}

}  // namespace

extern "C" {

void _XdRegisterConverters(void) {
  static bool registered = false;
  if (registered) return;
  registered = true;
  /* A text gives one table per display, which the widgets made from it
     share (they copy what they keep) and which goes with the display. */
  const XtCacheType cache = XtCacheByDisplay;
  XtSetTypeConverter(XmRString, XdRStringTable, cvtStringTable, kindArg, XtNumber(kindArg), cache,
                     freeStringTable);
  XtSetTypeConverter(XmRString, XdRIds, cvtIds, nullptr, 0, cache, freeIds);
  XtSetTypeConverter(XmRString, XdRColumnCount, cvtColumnCount, nullptr, 0, cache, nullptr);
  XtSetTypeConverter(XmRString, XdRStringItems, cvtStringItems, nullptr, 0, cache, freeStringItems);
}

int _XdConvertedRows(const void *table, int *columns) {
  if (columns) *columns = -1;
  if (!table) return -1;
  auto it = made().find(table);
  if (it == made().end()) return -1;
  if (columns) *columns = it->second.columns;
  return it->second.rows;
}

}  // extern "C"

int _XdRowsToRead(Widget w, const void *table, int count, int *columns) {
  const int known = _XdConvertedRows(table, columns);
  if (known < 0 || count <= known) return count;
  XmeWarning(w, const_cast<char *>("itemCount is larger than the stringItems given: "
                                   "only the items given are shown."));
  return known;
}

int32_t *_XdIdsFor(int32_t *ids, int count, std::vector<int32_t> &room) {
  const int known = _XdConvertedRows(ids, nullptr);
  if (!ids || known < 0 || known >= count) return ids;
  room.assign(size_t(count), 0);
  std::copy(ids, ids + known, room.begin());
  return room.data();
}
