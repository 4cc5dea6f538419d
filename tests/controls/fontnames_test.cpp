// Font names, XLFD patterns and the double-byte font set of the text kinds.
#include <clocale>
#include <cstdlib>

#include "ctlfixture.h"
#include "runtime/wuhost.h"

namespace {

const char kLatin14[] = "-misc-fixed-medium-r-normal--14-130-75-75-c-70-iso8859-1";

int Dashes(const std::string &s) { return int(std::count(s.begin(), s.end(), '-')); }

class FontNames : public Controls {
 protected:
  void TearDown() override {
    if (wu_gcb() != nullptr) wu_gcb()->multibyte = 0;
    Controls::TearDown();
  }
  void Mode(int32_t mode) { wu_gcb()->multibyte = mode; }
};

TEST_F(FontNames, XlfdNamesAreTakenApartAndBuilt) {
  EXPECT_EQ(verifyXLFDname(kLatin14), 1);
  EXPECT_EQ(verifyXLFDname("-misc-fixed-medium-r-normal--14-130-75-75-c-70-iso8859"), 0);
  EXPECT_EQ(verifyXLFDname("fixed"), 0);
  EXPECT_EQ(verifyXLFDname(nullptr), 0);

  char size[WU_FONT_SIZE_LEN];
  GetFontSize(kLatin14, size);
  EXPECT_STREQ(size, "14");
  GetFontSize("fixed", size);
  EXPECT_STREQ(size, "*");
  // A pixel-size field longer than the buffer is cut to it.
  const std::string wide = "-a-b-c-d-e-f-" + std::string(100, '9') + "-h-i-j-k-l-m-n";
  GetFontSize(wide.c_str(), size);
  EXPECT_EQ(std::strlen(size), size_t(WU_FONT_SIZE_LEN - 1));

  char out[WU_FONT_NAME_LEN];
  GetSystemFontName(out, kLatin14, "JISX0208.1983-0", "16", "*");
  EXPECT_STREQ(out, "-misc-fixed-medium-r-normal-*-16-*-*-*-*-*-JISX0208.1983-0");
  EXPECT_EQ(Dashes(out), 14);
  // The character set taken from the name: one "-" less.
  GetSystemFontName(out, kLatin14, "", "14", "70");
  EXPECT_EQ(Dashes(out), 13);
  EXPECT_STREQ(out, "-misc-fixed-medium-r-normal-*-14-*-*-*-70-*-1");
  // The output may be the name's own buffer.
  std::strcpy(out, kLatin14);
  GetSystemFontName(out, out, "ISO8859-1", "12", "*");
  EXPECT_STREQ(out, "-misc-fixed-medium-r-normal-*-12-*-*-*-*-*-ISO8859-1");

  // The font's own name from the server.
  XFontStruct *f = XLoadQueryFont(devb->display, kLatin14);
  ASSERT_NE(f, nullptr);
  char *name = GetFontName(devb->display, f);
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(verifyXLFDname(name), 1);
  XtFree(name);
  XFreeFont(devb->display, f);
}

TEST_F(FontNames, FontListsAreCompletedByTheDoubleByteMode) {
  char list[WU_FONT_LIST_LEN];
  Mode(0);
  AddFontName(list, "-a-b-c-d-e--14-*-*-*-*-*-iso8859-1", kLatin14);
  EXPECT_STREQ(list, (std::string("-a-b-c-d-e--14-*-*-*-*-*-iso8859-1,") + kLatin14).c_str());
  // Latin fallback only; nothing added when it is named (in any case).
  Mode(4);
  AddFontName(list, "x", "y");
  EXPECT_STREQ(list, "x,y,-adobe-helvetica-medium-r-normal-*-*-*-*-*-*-*-ISO8859-1");
  AddFontName(list, kLatin14, kLatin14);
  EXPECT_EQ(std::string(list), std::string(kLatin14) + "," + kLatin14);
  // JIS: both JIS sets (the first from the display's double-byte resource)
  // and Latin-1, at the second name's size.
  Mode(1);
  AddFontName(list, "a", kLatin14);
  const std::string jis = list;
  EXPECT_NE(jis.find("-*-*-*-*-*-*-14-*-*-*-*-*-JISX0208.1983-"), std::string::npos) << jis;
  EXPECT_NE(jis.find("-*-*-*-*-*-*-14-*-*-*-*-*-JISX0201.1976-0"), std::string::npos) << jis;
  EXPECT_EQ(jis.find("ISO8859-1"), std::string::npos) << jis;  // named already (lower case)
  AddFontName(list, "jisx0201.1976-0", "b");
  EXPECT_STREQ(list, "jisx0201.1976-0,b,-adobe-helvetica-medium-r-normal-*-*-*-*-*-*-*-ISO8859-1");
  // Never past the output's capacity.
  const std::string longname(2000, 'n');
  AddFontName(list, longname.c_str(), longname.c_str());
  EXPECT_EQ(std::strlen(list), size_t(WU_FONT_LIST_LEN - 1));
}

// A Japanese EUC locale made for the test, with the JIS fonts of the
// server's misc directory: the label's font list gets an X font set that
// covers the double-byte character set.
TEST_F(FontNames, DoubleByteFontSetInAJapaneseLocale) {
  char dir[] = "/tmp/qevlocXXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const std::string make =
      std::string("localedef -i ja_JP -f EUC-JP ") + dir + "/ja_JP.eucJP >/dev/null 2>&1";
  const int made = std::system(make.c_str());
  const std::string old_locale = std::setlocale(LC_ALL, nullptr);
  setenv("LOCPATH", dir, 1);
  const bool have_locale = made == 0 && std::setlocale(LC_ALL, "ja_JP.eucJP") != nullptr;
  XFontStruct *kanji = XLoadQueryFont(devb->display, "-misc-fixed-medium-r-normal--14-*-*-*-*-*-jisx0208.1983-0");
  XFontStruct *latin = XLoadQueryFont(devb->display, kLatin14);
  std::string why;
  if (!have_locale) why = "no Japanese EUC locale could be made";
  else if (!XSupportsLocale()) why = "Xlib does not support the Japanese EUC locale";
  else if (kanji == nullptr || latin == nullptr) why = "the JIS fonts are not on the server";
  if (!why.empty()) {
    if (kanji) XFreeFont(devb->display, kanji);
    if (latin) XFreeFont(devb->display, latin);
    std::setlocale(LC_ALL, old_locale.c_str());
    std::system((std::string("rm -rf ") + dir).c_str());
    GTEST_SKIP() << why;
  }
  Mode(1);
  // Through the label's font attribute: a two-byte font gives the list the
  // font itself and a font set made from its name.
  void *record[1] = {kanji};
  wu_value font = {};
  font.code = WU_A_FONT;
  font.type = WU_VT_FONT;
  font.pointer = record;
  wu_ctl_handle *h = Create(WU_CTYPE_LABEL, {font});
  auto *fl = static_cast<XmFontList>(h->control->font_list);
  ASSERT_NE(fl, nullptr);
  XmFontContext ctx = nullptr;
  ASSERT_TRUE(XmFontListInitFontContext(&ctx, fl));
  bool two_byte = false;
  XFontSet set = nullptr;
  while (XmFontListEntry e = XmFontListNextEntry(ctx)) {
    XmFontType type = XmFONT_IS_FONT;
    XtPointer p = XmFontListEntryGetFont(e, &type);
    if (type == XmFONT_IS_FONTSET) set = static_cast<XFontSet>(p);
    else if (p == kanji) two_byte = true;
  }
  XmFontListFreeFontContext(ctx);
  EXPECT_TRUE(two_byte);
  ASSERT_NE(set, nullptr);
  XFontStruct **fonts = nullptr;
  char **names = nullptr;
  const int n = XFontsOfFontSet(set, &fonts, &names);
  bool jis0208 = false;
  for (int i = 0; i < n; ++i) {
    std::string u = names[i];
    for (char &c : u) c = char(std::toupper(static_cast<unsigned char>(c)));
    if (u.find("JISX0208") != std::string::npos) jis0208 = true;
  }
  EXPECT_TRUE(jis0208);
  // The label shows a double-byte text in it.
  wu_value t = Text(WU_A_TEXT, "\xa4\xa2\xa4\xa4");
  EXPECT_EQ(h->services->swat(h->control, &t, 1), WU_OK);
  Settle();
  EXPECT_GT(W(h)->core.width, 0);
  h->services->wdes(h);
  // The entry field and the multi-line entry take the font set the same way;
  // a new font replaces the set made for the old one.
  for (int32_t type : {WU_CTYPE_ENTRY, WU_CTYPE_MULTILINE}) {
    wu_ctl_handle *e = Create(type, {font});
    ASSERT_NE(e, nullptr);
    XmFontList efl = static_cast<XmFontList>(e->control->font_list);
    bool has_set = false;
    ASSERT_TRUE(XmFontListInitFontContext(&ctx, efl));
    while (XmFontListEntry x = XmFontListNextEntry(ctx)) {
      XmFontType type2 = XmFONT_IS_FONT;
      XmFontListEntryGetFont(x, &type2);
      if (type2 == XmFONT_IS_FONTSET) has_set = true;
    }
    XmFontListFreeFontContext(ctx);
    EXPECT_TRUE(has_set) << "type " << type;
    void *other[1] = {latin};
    wu_value again = font;
    again.pointer = other;
    EXPECT_EQ(e->services->swat(e->control, &again, 1), WU_OK);
    Settle();
    e->services->wdes(e);
  }
  XFreeFont(devb->display, kanji);
  XFreeFont(devb->display, latin);
  Mode(0);
  std::setlocale(LC_ALL, old_locale.c_str());
  std::system((std::string("rm -rf ") + dir).c_str());
}

}  // namespace
