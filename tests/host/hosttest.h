// Test fixture of the stand-in host: every test starts the host over a fresh
// data directory holding the option and message files of tests/data/host,
// and stops it afterwards.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include <ftw.h>
#include <unistd.h>

#include "qevhost.h"

namespace hosttest {

inline int removeEntry(const char *path, const struct stat *, int, struct FTW *) {
  return ::remove(path);
}

inline void copyFile(const std::string &from, const std::string &to) {
  std::ifstream in(from, std::ios::binary);
  std::ofstream out(to, std::ios::binary);
  out << in.rdbuf();
}

// A counted 34-byte host name: 16-bit length and 32 blank-padded characters.
struct Name34 {
  char bytes[QEV_NAME34_LEN];
  explicit Name34(const std::string &s) {
    int16_t len = static_cast<int16_t>(s.size());
    std::memcpy(bytes, &len, sizeof len);
    std::memset(bytes + 2, ' ', QEV_NAME34_LEN - 2);
    std::memcpy(bytes + 2, s.data(), s.size());
  }
};

class HostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/qevhosttest.XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    copyFile(std::string(QEV_TEST_DATA) + "/host/options", dir_ + "/options");
    copyFile(std::string(QEV_TEST_DATA) + "/host/messages-test.txt", dir_ + "/messages-test.txt");
    gcb_ = qevhost::start(dir_);
    ASSERT_NE(gcb_, nullptr);
    k_ = gcb_->kernel;
  }
  void TearDown() override {
    qevhost::stop();
    ::nftw(dir_.c_str(), removeEntry, 16, FTW_DEPTH | FTW_PHYS);
  }
  std::string dir_;
  qev_gcb *gcb_ = nullptr;
  const qev_kernel *k_ = nullptr;
};

}  // namespace hosttest
