// The yardstick for the daemon: the same open, append and close of the log
// file for every entry, and nothing else; with C stdio (the plain C++ way)
// or with the bare system calls (the floor).
//   brimletd_bench_append COUNT FILE stdio|syscalls
// Prints: count seconds entries_per_second entries_per_cpu_second
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const std::string kEntry = "05-03-2001 14:07:09,Danger,user1,100%,0.00 Mb free,48.83 Mb max\n";

bool appendWithStdio(const char* path) {
  std::FILE* file = std::fopen(path, "ab");
  if (file == nullptr) return false;
  std::fwrite(kEntry.data(), 1, kEntry.size(), file);
  return std::fclose(file) == 0;
}

bool appendWithSyscalls(const char* path) {
  const int fd = ::open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  const bool written = ::write(fd, kEntry.data(), kEntry.size()) == (ssize_t)kEntry.size();
  return ::close(fd) == 0 && written;
}

double cpuSeconds() {
  rusage usage;
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s COUNT FILE stdio|syscalls\n", argv[0]);
    return 2;
  }
  const long count = std::atol(argv[1]);
  const bool stdio = std::strcmp(argv[3], "stdio") == 0;
  const double cpuStart = cpuSeconds();
  const auto start = std::chrono::steady_clock::now();
  for (long i = 0; i < count; ++i) {
    if (!(stdio ? appendWithStdio(argv[2]) : appendWithSyscalls(argv[2]))) return 1;
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double cpu = cpuSeconds() - cpuStart;
  std::printf("%ld %.3f %.0f %.0f\n", count, seconds, count / seconds, count / cpu);
  return 0;
}
