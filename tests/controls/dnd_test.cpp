// Drag and drop of the control kinds through the services vector: one
// argument order for every kind (handle, out site, entries, count), and an
// unregister that names the control's own site.
#include "ctlfixture.h"

namespace {

struct Kind {
  const char *name;
  int32_t type;
};

const Kind kKinds[] = {
    {"push button", WU_CTYPE_PUSH},   {"check box", WU_CTYPE_CHECK},
    {"radio box", WU_CTYPE_RADIO},    {"scroll bar", WU_CTYPE_SCROLL},
    {"desktop icon", WU_CTYPE_DESKICON}, {"progress bar", WU_CTYPE_PROGRESS},
    {"entry field", WU_CTYPE_ENTRY},  {"label", WU_CTYPE_LABEL},
    {"multi-line entry", WU_CTYPE_MULTILINE},
};

using DropSites = Controls;

TEST_F(DropSites, EveryKindRegistersQueriesAndUnregistersInOneArgumentOrder) {
  for (const Kind &k : kKinds) {
    SCOPED_TRACE(k.name);
    wu_ctl_handle *h = Create(k.type);
    ASSERT_NE(h, nullptr);
    void *site = nullptr;
    // The count word is zero: a kind reading its arguments in another order
    // writes the site there, or through a null entries pointer.
    EXPECT_EQ(h->services->rdnd(h, &site, nullptr, nullptr), WU_OK);
    ASSERT_NE(site, nullptr);
    EXPECT_EQ(site, h->control->dnd);
    wu_value q = Int(0, 0);
    h->services->qdnd(h, site, &q, reinterpret_cast<void *>(intptr_t(1)));
    // A site that is not the control's removes nothing.
    int junk = 0;
    EXPECT_EQ(h->services->udnd(h, &junk, nullptr, nullptr), WU_NOTAVAIL);
    EXPECT_EQ(h->control->dnd, site);
    EXPECT_EQ(h->services->sdnd(h, &junk, &q, reinterpret_cast<void *>(intptr_t(1))),
              WU_NOTAVAIL);
    EXPECT_EQ(h->services->udnd(h, site, nullptr, nullptr), WU_OK);
    EXPECT_EQ(h->control->dnd, nullptr);
  }
}

}  // namespace
