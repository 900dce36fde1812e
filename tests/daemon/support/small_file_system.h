// A small tmpfs for the tests of a full disk.
#pragma once

#include <sys/mount.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

// A tmpfs of a given size on a folder, for one test; unmounted however the
// test ends, before the folder goes.
class SmallFileSystem {
 public:
  SmallFileSystem(const std::string& folder, const std::string& size) : folder_(folder) {
    const std::string options = "size=" + size + ",mode=0777";
    if (::mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) == 0) {
      mounted_ = true;
    } else {
      error_ = std::strerror(errno);
    }
  }
  ~SmallFileSystem() {
    if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
  }
  SmallFileSystem(const SmallFileSystem&) = delete;
  SmallFileSystem& operator=(const SmallFileSystem&) = delete;

  bool mounted() const { return mounted_; }
  const std::string& error() const { return error_; }

 private:
  std::string folder_;
  bool mounted_ = false;
  std::string error_;
};

// Fills the file system of `path` with it, 4 KiB at a time; answers whether
// it got full within `limit` bytes.
inline bool fillUp(const std::string& path, std::size_t limit) {
  std::FILE* filler = std::fopen(path.c_str(), "wb");
  if (filler == nullptr) return false;
  std::setvbuf(filler, nullptr, _IONBF, 0);
  const std::string page(4096, 'x');
  bool full = false;
  for (std::size_t written = 0; written < limit && !full; written += page.size()) {
    full = std::fwrite(page.data(), 1, page.size(), filler) != page.size();
  }
  std::fclose(filler);
  return full;
}
