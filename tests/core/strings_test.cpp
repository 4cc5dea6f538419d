// Blank-padded string utilities on padded fields and boundary inputs.
#include <cstring>
#include <string>

#include "coretest.h"

namespace {

using coretest::LoadedTest;

// A field with guard bytes on both sides that no utility may touch.
struct Guarded {
  char bytes[40];
  Guarded() { std::memset(bytes, '#', sizeof bytes); }
  char *field() { return bytes + 8; }
  bool guardsIntact(int fieldLength) const {
    for (int i = 0; i < 8; ++i)
      if (bytes[i] != '#') return false;
    for (int i = 8 + fieldLength; i < static_cast<int>(sizeof bytes); ++i)
      if (bytes[i] != '#') return false;
    return true;
  }
  std::string text(int n) const { return std::string(bytes + 8, n); }
};

TEST_F(LoadedTest, MoveIntoFixedFieldPadsOrCuts) {
  Guarded g;
  vzmp("ABC", 3, g.field(), 8);
  EXPECT_EQ(g.text(8), "ABC     ");
  vzmp("ABCDEFGHIJ", 10, g.field(), 8);
  EXPECT_EQ(g.text(8), "ABCDEFGH");
  vzmp("A\0B", 3, g.field(), 8);   // a NUL inside is moved as it stands
  EXPECT_EQ(g.text(8), std::string("A\0B     ", 8));
  vzmp(nullptr, 5, g.field(), 8);
  EXPECT_EQ(g.text(8), "        ");
  vzmp("XYZ", -1, g.field(), 8);
  EXPECT_EQ(g.text(8), "        ");
  vzmp("XYZ", 3, g.field(), 0);
  EXPECT_EQ(g.text(8), "        ");
  EXPECT_TRUE(g.guardsIntact(8));
}

TEST_F(LoadedTest, ScansCompareAndSearchWithinTheirLengths) {
  EXPECT_EQ(vzsntl("   abc", 6, ' ', -1), 3);
  EXPECT_EQ(vzsntl("      ", 6, ' ', -1), -1);
  EXPECT_EQ(vzsntl("   abc", 6, ' ', 2), -1);
  EXPECT_EQ(vzsntl(nullptr, 6, ' ', -1), -1);

  EXPECT_EQ(wzbcup("abc", "ABC", 3), 0);
  EXPECT_EQ(wzbcup("abc", "ABD", 3), 'C' - 'D');
  EXPECT_EQ(wzbcup("abX", "ABY", 2), 0);   // only the first n bytes
  EXPECT_EQ(wzbcup("a", "b", 0), 0);

  EXPECT_EQ(wzsteqn("Tool", 4, "tOOL", 4), 1);
  EXPECT_EQ(wzsteqn("Tool", 4, "Tools", 5), 0);
  EXPECT_EQ(wzsteqn("", 0, nullptr, 0), 1);
  EXPECT_EQ(wzsteqn("A\0b", 3, "a\0B", 3), 1);

  EXPECT_EQ(wzstndx("find the needle", 15, "needle", 6), 9);
  EXPECT_EQ(wzstndx("find the needle", 14, "needle", 6), -1);   // cut by the length
  EXPECT_EQ(wzstndx("a\0b", 3, "b", 1), 2);
  EXPECT_EQ(wzstndx("ab", 2, "abc", 3), -1);
  EXPECT_EQ(wzstndx(nullptr, 4, "a", 1), -1);

  EXPECT_EQ(wzstlen(nullptr), 0);
  EXPECT_EQ(wzstlen("four"), 4);
  EXPECT_EQ(wzstrip("ab  ", 4), 2);
  EXPECT_EQ(wzstrip("    ", 4), 0);
  EXPECT_EQ(wzstrip("a\0 ", 3), 2);
  EXPECT_EQ(wzstrip(nullptr, 3), 0);
  EXPECT_EQ(wzstrip("abc", 0), 0);
}

TEST_F(LoadedTest, JoinFillsFixedAndTerminatedFields) {
  Guarded g;
  EXPECT_EQ(wzstcat(g.field(), 10, ' ', 2, "ab", 2, "cd", 2), 5);
  EXPECT_EQ(g.text(10), "ab cd     ");
  EXPECT_TRUE(g.guardsIntact(10));

  Guarded t;
  EXPECT_EQ(wzstcat(t.field(), ~8, '.', 2, "hello", 5, "world", 5), 7);
  EXPECT_EQ(std::string(t.field()), "hello.w");
  EXPECT_TRUE(t.guardsIntact(8));

  Guarded n;
  EXPECT_EQ(wzstcat(n.field(), ~8, -1, 3, "a", 1, static_cast<const char *>(nullptr), 4, "b", -2), 1);
  EXPECT_EQ(std::string(n.field()), "a");
  EXPECT_EQ(wzstcat(n.field(), 0, -1, 1, "a", 1), 0);
  EXPECT_TRUE(n.guardsIntact(8));

  Guarded j;
  std::memcpy(j.field(), "  ab  ", 6);
  EXPECT_EQ(wzstjls(j.field(), 6, WU_JUSTIFY_LEFT, 0, 0), WU_OK);
  EXPECT_EQ(j.text(6), "ab    ");
  EXPECT_EQ(wzstjls(j.field(), 6, 'r', 0, 0), WU_NOTAVAIL);
  EXPECT_EQ(j.text(6), "ab    ");
  EXPECT_TRUE(j.guardsIntact(6));

  Guarded z;
  wzbzeri(z.field(), 5);
  EXPECT_EQ(z.text(5), std::string(5, '\0'));
  wzbzeri(nullptr, 5);
  EXPECT_TRUE(z.guardsIntact(5));
}

TEST_F(LoadedTest, TranslationThroughTheHostTables) {
  char out[8] = "";
  EXPECT_EQ(wztxxlt(2, "abc1", out, 4), WU_OK);
  EXPECT_EQ(std::string(out, 4), "ABC1");
  char inplace[] = "mixed Case";
  EXPECT_EQ(wztxxlt(1, inplace, inplace, 10), WU_OK);
  EXPECT_EQ(std::string(inplace), "mixed case");
  EXPECT_EQ(wztxxlt(5, "abc", out, 3), WU_BADXLT);
  EXPECT_EQ(wztxxlt(-1, "abc", out, 3), WU_BADXLT);

  // Double-byte characters pass untouched in multi-byte mode.
  gcb_->multibyte = 1;
  // (the second byte of a double-byte character is not a letter to fold).
  char dbcs[] = "a\xa4" "cb";
  EXPECT_EQ(wztxxlt(2, dbcs, dbcs, 4), WU_OK);
  EXPECT_EQ(std::string(dbcs), "A\xa4" "cB");
  gcb_->multibyte = 0;
  char sbcs[] = "a\xa4" "cb";
  EXPECT_EQ(wztxxlt(2, sbcs, sbcs, 4), WU_OK);
  EXPECT_EQ(std::string(sbcs), "A\xa4" "CB");
}

}  // namespace
