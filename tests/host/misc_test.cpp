// Command tokens, panels and fields, host images, text services and module
// loading.
#include <cstdio>
#include <cstring>
#include <string>

#include "hosttest.h"
#include "qev/module.h"
#include "qev/records.h"

namespace {

using hosttest::HostTest;

std::string tokenText(const qev_token *t) { return std::string(t->text, t->length); }

TEST_F(HostTest, CommandTokens) {
  qevhost::setCommand("toolload qevuser.profile.mybox; wautosave interval=5 'a b'");
  const qev_token *t = k_->xncgtok();
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->type, QEV_TOK_NAME);
  EXPECT_EQ(tokenText(t), "toolload");
  // Callers upper-case keywords in place.
  EXPECT_EQ(k_->wzstrup(const_cast<char *>(t->text), t->length), WU_OK);
  EXPECT_EQ(tokenText(k_->xncgtok()), "TOOLLOAD");
  t = k_->xncnxcm();
  EXPECT_EQ(tokenText(t), "qevuser");
  t = k_->xncnxcm();
  EXPECT_EQ(t->type, QEV_TOK_SPECIAL);
  EXPECT_EQ(t->subtype, 21);
  k_->xncnxcm();
  k_->xncnxcm();
  t = k_->xncnxcm();
  EXPECT_EQ(tokenText(t), "mybox");
  t = k_->xncnxcm();
  EXPECT_EQ(t->type, QEV_TOK_END);

  // The next command: consumed after its keyword.
  t = k_->xncnxcm();
  EXPECT_EQ(tokenText(t), "wautosave");
  t = k_->xncnxcm();
  EXPECT_EQ(tokenText(t), "interval");
  t = k_->xncnxcm();
  EXPECT_EQ(t->type, QEV_TOK_SPECIAL);
  EXPECT_EQ(t->subtype, 15);
  t = k_->xncnxcm();
  EXPECT_EQ(t->type, QEV_TOK_NUMBER);
  int32_t v = 0;
  EXPECT_EQ(k_->wzrlchr(t->text, t->length, &v), WU_OK);
  EXPECT_EQ(v, 5);
  t = k_->xncnxcm();
  EXPECT_EQ(t->type, QEV_TOK_STRING);
  EXPECT_EQ(tokenText(t), "a b");
  EXPECT_EQ(k_->xncdrcm(), WU_OK);
  EXPECT_EQ(qevhost::commandsConsumed(), 1);
  t = k_->xncgtok();
  EXPECT_EQ(t->type, QEV_TOK_END2);
  EXPECT_EQ(k_->xncnxcm()->type, QEV_TOK_END2);   // stays at the end

  qevhost::setCommand("");
  EXPECT_EQ(k_->xncgtok()->type, QEV_TOK_END2);
}

TEST_F(HostTest, TextServices) {
  int32_t v = 0;
  EXPECT_EQ(k_->wzrlchr(" -42 ", 5, &v), WU_OK);
  EXPECT_EQ(v, -42);
  EXPECT_EQ(k_->wzrlchr("12x", 3, &v), WU_BADARG);
  EXPECT_EQ(k_->wzrlchr("", 0, &v), WU_BADARG);
  EXPECT_EQ(k_->wzrlchr("99999999999", 11, &v), WU_BADARG);
  EXPECT_EQ(k_->wzrlchr("-2147483648", 11, &v), WU_OK);
  EXPECT_EQ(v, INT32_MIN);
  EXPECT_EQ(k_->wzrlchr(nullptr, 3, &v), WU_BADARG);
  char s[] = "abc-Z";
  EXPECT_EQ(k_->wzstrup(s, 3), WU_OK);
  EXPECT_STREQ(s, "ABC-Z");
  EXPECT_EQ(k_->wzstrup(s, -1), WU_BADARG);
}

TEST_F(HostTest, PanelsAndFields) {
  int window = 0;
  void *panel = nullptr, *field = nullptr, *wide = nullptr;
  ASSERT_EQ(k_->yugtpan(&window, &panel, 0, 0, 10, 40, 0), WU_OK);
  ASSERT_EQ(k_->yugtfld(panel, &field, 2, 5, 10, 1, 0, 0, 0, 0, 0), WU_OK);
  int32_t len = 0;
  ASSERT_EQ(k_->yugmfld(panel, &wide, 3, 8, &len, 1, 0, 0, 0), WU_OK);
  EXPECT_EQ(len, 33);
  EXPECT_EQ(qevhost::fieldCount(panel), 2u);
  // The host's records: chained in order, text blank-filled.
  wu_pane *pane = static_cast<wu_pane *>(panel);
  ASSERT_EQ(pane->fields, field);
  ASSERT_EQ(pane->fields->next, wide);
  EXPECT_EQ(std::string(pane->fields->text, 10), std::string(10, ' '));
  EXPECT_EQ(pane->fields->pane, pane);
  EXPECT_EQ(k_->yugtfld(panel, &field, 2, 35, 10, 1, 0, 0, 0, 0, 0), WU_BADARG);   // off the row
  EXPECT_EQ(k_->yugtfld(panel, &field, 0, 1, 10, 1, 0, 0, 0, 0, 0), WU_BADARG);    // 1-based
  EXPECT_EQ(k_->yufrfld(panel, wide), WU_OK);
  EXPECT_EQ(k_->yufrfld(panel, wide), WU_BADARG);
  EXPECT_EQ(qevhost::panelCount(&window), 1u);
  EXPECT_EQ(k_->yufrpan(nullptr, panel), WU_BADARG);   // not that window's
  EXPECT_EQ(k_->yufrpan(&window, panel), WU_OK);
  EXPECT_EQ(qevhost::panelCount(&window), 0u);
  EXPECT_EQ(k_->yugtfld(panel, &field, 0, 0, 1, 0, 0, 0, 0, 0, 0), WU_BADARG);
}

TEST_F(HostTest, HostImagesAtThreeSizes) {
  for (int id : {1009, 1010, 202}) {
    for (int size : {16, 24, 48}) {
      const char *const *xpm = nullptr;
      ASSERT_EQ(k_->yuimxpm(id, size, &xpm), WU_OK) << id << " " << size;
      int w = 0, h = 0, colours = 0, cpp = 0;
      ASSERT_EQ(std::sscanf(xpm[0], "%d %d %d %d", &w, &h, &colours, &cpp), 4);
      EXPECT_EQ(w, size);
      EXPECT_EQ(h, size);
      EXPECT_EQ(cpp, 1);
      for (int row = 0; row < h; ++row)
        EXPECT_EQ(std::strlen(xpm[1 + colours + row]), static_cast<size_t>(w));
    }
  }
  const char *const *a = nullptr, *const *b = nullptr;
  ASSERT_EQ(k_->yuimxpm(1009 + 4096, 48, &a), WU_OK);   // the 24-pixel set
  ASSERT_EQ(k_->yuimxpm(1009, 24, &b), WU_OK);
  EXPECT_EQ(a, b);
  EXPECT_EQ(k_->yuimxpm(5000 - 4096 + 1, 48, &a), WU_NOTAVAIL);
  EXPECT_EQ(k_->yuimxpm(1009, 32, &a), WU_BADARG);
  EXPECT_EQ(k_->yuimxpm(1009, 16, nullptr), WU_BADARG);

  int vector = 0;
  qevhost::registerImage("PRTDRV", &vector);
  qev_image *img = nullptr;
  ASSERT_EQ(k_->wiloadv("PRTDRV  ", 0, &img), WU_OK);
  void *v = nullptr;
  ASSERT_EQ(k_->viidb2g(img, &v), WU_OK);
  EXPECT_EQ(v, &vector);
  EXPECT_EQ(k_->wiimgfd("prtdrv", 6, &img), WU_OK);
  EXPECT_EQ(k_->wiloadv("NOSUCH  ", 0, &img), WU_NOTAVAIL);
  EXPECT_EQ(k_->viidb2g(reinterpret_cast<qev_image *>(&vector), &v), WU_BADARG);
}

TEST_F(HostTest, VectorTablesAndModuleLoading) {
  static const qev_slot_fn slots[3] = {};
  EXPECT_EQ(k_->wxregtb(QEV_TABLE_METHODS, slots, 3), WU_OK);
  EXPECT_EQ(k_->wxregtb(QEV_TABLE_METHODS, slots, 3), WU_NOTAVAIL);   // withdraw first
  int32_t n = 0;
  EXPECT_EQ(qevhost::table(QEV_TABLE_METHODS, &n), slots);
  EXPECT_EQ(n, 3);
  EXPECT_EQ(k_->wxdrgtb(QEV_TABLE_METHODS), WU_OK);
  EXPECT_EQ(k_->wxdrgtb(QEV_TABLE_METHODS), WU_BADARG);
  EXPECT_EQ(qevhost::table(QEV_TABLE_METHODS, &n), nullptr);
  EXPECT_EQ(k_->wxregtb(1, nullptr, 3), WU_BADARG);

  EXPECT_EQ(qevhost::loadModule(dir_ + "/no-such-module.so"), nullptr);
  EXPECT_FALSE(qevhost::log().empty());
}

}  // namespace
