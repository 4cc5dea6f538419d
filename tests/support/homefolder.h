// Test support: a home folder of the test's own, so that no user's
// preferences, history or tool boxes are read or written.  It is made in the
// test program's temporary folder and removed with the object.
#pragma once

#include <cstdlib>
#include <string>

namespace qevtest {

class HomeFolder {
 public:
  HomeFolder() = default;
  HomeFolder(const HomeFolder &) = delete;
  HomeFolder &operator=(const HomeFolder &) = delete;
  ~HomeFolder() {
    if (!path_.empty()) std::system(("rm -rf '" + path_ + "'").c_str());
  }

  // Makes the folder and points HOME to it; false when it cannot be made.
  bool make() {
    const char *tmp = std::getenv("TMPDIR");
    path_ = std::string(tmp && *tmp ? tmp : "/tmp") + "/qevhome.XXXXXX";
    if (!::mkdtemp(&path_[0])) {
      path_.clear();
      return false;
    }
    return ::setenv("HOME", path_.c_str(), 1) == 0;
  }
  const std::string &path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace qevtest
