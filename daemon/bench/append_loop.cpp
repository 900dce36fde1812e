// The yardstick for the daemon: the same open, append and close of the log
// file for every entry, and nothing else.
//   brimletd_bench_append COUNT FILE
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s COUNT FILE\n", argv[0]);
    return 2;
  }
  const long count = std::atol(argv[1]);
  const std::string entry = "05-03-2001 14:07:09,Danger,user1,100%,0.00 Mb free,48.83 Mb max\n";
  const auto start = std::chrono::steady_clock::now();
  for (long i = 0; i < count; ++i) {
    std::FILE* file = std::fopen(argv[2], "ab");
    if (file == nullptr) return 1;
    std::fwrite(entry.data(), 1, entry.size(), file);
    std::fclose(file);
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%ld %.3f %.0f\n", count, seconds, count / seconds);
  return 0;
}
