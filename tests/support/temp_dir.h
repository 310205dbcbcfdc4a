#pragma once
// A directory under $TMPDIR (or /tmp) that exists for the lifetime of the object and is
// removed with everything in it afterwards. Not copyable; movable.
#include <string>

namespace test_support {

class TempDir {
 public:
  // Creates "<tmp>/<prefix>XXXXXX". Throws std::runtime_error when that fails.
  explicit TempDir(const std::string& prefix = "mm-test-");
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  TempDir(TempDir&& other) noexcept;
  TempDir& operator=(TempDir&& other) noexcept;

  const std::string& path() const { return path_; }
  // path() + "/" + name.
  std::string file(const std::string& name) const;

 private:
  std::string path_;
};

// Writes text to a file, replacing it. Throws std::runtime_error on failure.
void writeFile(const std::string& path, const std::string& text);
// Whole content of a file, or "" when it cannot be read.
std::string readFile(const std::string& path);

}  // namespace test_support
