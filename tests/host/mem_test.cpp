// Memory pools through the kernel vector: accounting, checks and failure
// injection.
#include <cstddef>
#include <cstring>

#include "hosttest.h"
#include "qev/flags.h"

namespace {

using hosttest::HostTest;
using qevhost::poolStats;

class PoolTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    ASSERT_EQ(k_->wmrpc(&pool_, 1024, 1024, 0, nullptr), WU_OK);
    ASSERT_NE(pool_, nullptr);
  }
  qev_pool *pool_ = nullptr;
};

TEST_F(PoolTest, AccountingReturnsToBaseline) {
  void *a = pool_->alloc(pool_, 100, 0);
  void *b = pool_->alloc(pool_, 28, WU_MEM_CLEAR);
  ASSERT_TRUE(a && b);
  EXPECT_EQ(poolStats(pool_).liveBlocks, 2);
  EXPECT_EQ(poolStats(pool_).liveBytes, 128);
  for (int i = 0; i < 28; ++i) EXPECT_EQ(static_cast<unsigned char *>(b)[i], 0) << i;
  // Uncleared memory is not zero: a caller relying on it would notice.
  EXPECT_NE(static_cast<unsigned char *>(a)[0], 0);

  EXPECT_EQ(pool_->free(pool_, a, 100, 0), WU_OK);
  EXPECT_EQ(pool_->free(pool_, b, -1, 0), WU_OK);   // the pool knows the size
  qevhost::PoolStats s = poolStats(pool_);
  EXPECT_EQ(s.liveBlocks, 0);
  EXPECT_EQ(s.liveBytes, 0);
  EXPECT_EQ(s.errors, 0);
}

TEST_F(PoolTest, WrongFreesAreCaughtAndChangeNothing) {
  qev_pool *other = nullptr;
  ASSERT_EQ(k_->wmrpc(&other, 0, 0, 0, nullptr), WU_OK);
  void *a = pool_->alloc(pool_, 64, 0);
  void *foreign = other->alloc(other, 64, 0);
  int local = 0;

  EXPECT_NE(pool_->free(pool_, a, 63, 0), WU_OK);          // wrong size
  EXPECT_NE(pool_->free(pool_, foreign, 64, 0), WU_OK);    // another pool's block
  EXPECT_NE(pool_->free(pool_, &local, -1, 0), WU_OK);     // never allocated
  EXPECT_NE(pool_->free(pool_, nullptr, -1, 0), WU_OK);
  EXPECT_EQ(poolStats(pool_).errors, 4);
  EXPECT_EQ(poolStats(pool_).liveBlocks, 1);
  EXPECT_EQ(poolStats(other).liveBlocks, 1);
  EXPECT_FALSE(qevhost::log().empty());

  EXPECT_EQ(pool_->free(pool_, a, 64, 0), WU_OK);
  EXPECT_EQ(pool_->free(pool_, a, 64, 0), WU_BADARG);      // freed twice
  EXPECT_EQ(other->free(other, foreign, 64, 0), WU_OK);
  EXPECT_EQ(k_->wmrdel(other), WU_OK);
}

TEST_F(PoolTest, FailureInjectionFailsTheNthAllocationOnly) {
  qevhost::failAllocation(3);
  void *a = pool_->alloc(pool_, 8, 0);
  void *b = pool_->alloc(pool_, 8, 0);
  void *c = pool_->alloc(pool_, 8, 0);
  void *d = pool_->alloc(pool_, 8, 0);
  EXPECT_TRUE(a && b && d);
  EXPECT_EQ(c, nullptr);
  EXPECT_EQ(poolStats(pool_).liveBlocks, 3);

  // Pool creation and reallocation count as allocations too.
  qev_pool *p = nullptr;
  qevhost::failAllocation(1);
  EXPECT_EQ(k_->wmrpc(&p, 0, 0, 0, nullptr), WU_NOMEM);
  EXPECT_EQ(p, nullptr);
  void *moved = nullptr;
  qevhost::failAllocation(1);
  EXPECT_EQ(k_->wmrealc(pool_, a, 8, &moved, 16, 0), WU_NOMEM);
  EXPECT_EQ(poolStats(pool_).liveBytes, 24);   // the old block is kept
  qevhost::failAllocation(0);
  for (void *x : {a, b, d}) EXPECT_EQ(pool_->free(pool_, x, 8, 0), WU_OK);
}

TEST_F(PoolTest, ReallocationKeepsContentsAndClearsTheRest) {
  void *a = pool_->alloc(pool_, 4, 0);
  std::memcpy(a, "abcd", 4);
  void *b = nullptr;
  ASSERT_EQ(k_->wmrealc(pool_, a, 4, &b, 10, WU_MEM_CLEAR), WU_OK);
  EXPECT_EQ(std::memcmp(b, "abcd\0\0\0\0\0\0", 10), 0);
  EXPECT_EQ(poolStats(pool_).liveBlocks, 1);
  EXPECT_EQ(poolStats(pool_).liveBytes, 10);
  void *c = nullptr;
  EXPECT_EQ(k_->wmrealc(pool_, b, 4, &c, 20, 0), WU_BADARG);   // wrong old size
  ASSERT_EQ(k_->wmrealc(pool_, nullptr, 0, &c, 6, 0), WU_OK);  // a new block
  EXPECT_EQ(poolStats(pool_).liveBlocks, 2);
  EXPECT_EQ(k_->wmrealc(pool_, b, -1, &b, 2, 0), WU_OK);
  EXPECT_EQ(std::memcmp(b, "ab", 2), 0);
  EXPECT_EQ(poolStats(pool_).liveBytes, 8);
}

TEST_F(PoolTest, DeletingAPoolReleasesItsBlocksAndSubPools) {
  qev_pool *child = nullptr;
  ASSERT_EQ(k_->wmrpc(&child, 0, 0, 0, pool_), WU_OK);
  child->alloc(child, 50, 0);
  pool_->alloc(pool_, 50, 0);
  size_t before = qevhost::poolCount();
  EXPECT_EQ(k_->wmrdel(pool_), WU_OK);
  EXPECT_EQ(qevhost::poolCount(), before - 2);
  // Handles of deleted pools are refused, never followed.
  EXPECT_EQ(k_->wmrdel(child), WU_BADARG);
  EXPECT_EQ(k_->wmrdel(pool_), WU_BADARG);
  EXPECT_EQ(k_->wmrdel(qevhost::rootPool()), WU_BADARG);
  void *out = nullptr;
  EXPECT_EQ(k_->wmrealc(pool_, nullptr, 0, &out, 8, 0), WU_BADARG);
  EXPECT_EQ(k_->wmrpc(nullptr, 0, 0, 0, nullptr), WU_BADARG);
  EXPECT_EQ(k_->wmrpc(&child, -1, 0, 0, nullptr), WU_BADARG);
  pool_ = nullptr;
}

TEST(HostLifecycle, StartsAndStopsRepeatedly) {
  for (int i = 0; i < 3; ++i) {
    qev_gcb *g = qevhost::start();
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(std::memcmp(g->eye, QEV_GCB_EYE, 8), 0);
    const qev_kernel *k = g->kernel;
    // Every slot of the vector is filled.
    const size_t first = offsetof(qev_kernel, wxregtb);
    const size_t slots = (sizeof(qev_kernel) - first) / sizeof(void (*)());
    EXPECT_EQ(static_cast<size_t>(k->slot_count), slots);
    for (size_t s = 0; s < slots; ++s) {
      void (*fn)();
      std::memcpy(&fn, reinterpret_cast<const char *>(k) + first + s * sizeof fn, sizeof fn);
      EXPECT_NE(fn, nullptr) << "slot " << s;
    }
    EXPECT_EQ(g->xlt[2][static_cast<unsigned char>('q')], 'Q');
    EXPECT_TRUE(g->char_class[static_cast<unsigned char>('7')] & QEV_CC_NUMERIC);
    qev_pool *p = nullptr;
    EXPECT_EQ(k->wmrpc(&p, 0, 0, 0, nullptr), WU_OK);
    p->alloc(p, 10, 0);   // released at stop
    std::string dir = qevhost::dataDir();
    qevhost::stop();
    EXPECT_EQ(qevhost::gcb(), nullptr);
    EXPECT_NE(::access(dir.c_str(), F_OK), 0);   // the temporary directory is gone
    // A stopped host answers, it does not crash.
    EXPECT_EQ(k->wmrpc(&p, 0, 0, 0, nullptr), WU_NOTAVAIL);
  }
}

}  // namespace
