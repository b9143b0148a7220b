// A file in the temporary folder that lives as long as the object.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace strophe_test {

class TempFile {
 public:
  // suffix decides how texture loading treats the file (".pvr.ccz", ".png", ...).
  explicit TempFile(const std::vector<std::uint8_t>& bytes, const std::string& suffix = "") {
    std::string pattern = (std::filesystem::temp_directory_path() / "strophe_XXXXXX").string() + suffix;
    const int fd = mkstemps(pattern.data(), static_cast<int>(suffix.size()));
    if (fd < 0) throw std::runtime_error("cannot create a temporary file");
    const bool written = write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    close(fd);
    path_ = pattern;
    if (!written) throw std::runtime_error("cannot write a temporary file");
  }
  ~TempFile() { std::remove(path_.c_str()); }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace strophe_test
