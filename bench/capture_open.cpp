// Opening a night's capture: writes a file of 10^6 rows (a day at 0.1 s a
// sample, with a link outage and a short spike) into a temporary folder,
// reads it into a sample store of the default size with the core reader,
// and prints the time taken and the process's peak memory before and
// after. The file is removed at the end.
//
//   capture_open [rows]
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/monitoring/capture_reader.h"
#include "core/monitoring/capture_row.h"

namespace {

long peakKb() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace vrx4;
  const long rows = argc > 1 ? std::atol(argv[1]) : 1000000;
  std::string dir = (std::filesystem::temp_directory_path() / "vrx4-capture-open-XXXXXX").string();
  if (::mkdtemp(dir.data()) == nullptr) {
    std::perror("mkdtemp");
    return 1;
  }
  const std::string path = dir + "/night.csv";
  {
    std::ofstream out(path, std::ios::binary);
    out << capture::kHeader << "\r\n";
    for (long i = 0; i < rows; ++i) {
      if (i >= rows / 3 && i < rows / 3 + 600) continue;  // a minute without the link
      GraphSample s;
      s.time = static_cast<double>(i) * 0.1;
      s.ctrl = 5.0f + 0.001f * static_cast<float>(i % 1000);
      s.auxin = 2.5f;
      s.p2 = i == rows * 7 / 10 ? 9.8f : 3.0f + 0.0005f * static_cast<float>(i % 2000);
      s.vdc24 = 24.1f;
      s.uout = s.ctrl;
      s.iout = 12.0f;
      s.alarm = i == rows * 7 / 10 ? 1 : 0;
      out << capture::row(s, 14.5038f, 1) << "\r\n";
    }
  }
  const auto bytes = std::filesystem::file_size(path);
  const long before = peakKb();

  CSampleStore store;
  const auto t0 = std::chrono::steady_clock::now();
  const capture::ReadOutcome o = capture::readCapture(path, store);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  const long after = peakKb();
  std::filesystem::remove_all(dir);

  if (o.status != capture::ReadStatus::Shown) {
    std::fprintf(stderr, "capture_open: the file was not read (status %d, %s)\n", static_cast<int>(o.status),
                 o.detail.c_str());
    return 1;
  }
  std::printf("file: %ld rows, %.1f MB\n", rows, static_cast<double>(bytes) / 1e6);
  std::printf("open: %.3f s (%.0f ns a row)\n", seconds, seconds * 1e9 / static_cast<double>(o.rows));
  std::printf("rows read %llu, samples stored %llu (every %u rows as a low/high pair), gaps %llu, damaged %zu\n",
              static_cast<unsigned long long>(o.rows), static_cast<unsigned long long>(o.samples), o.rowsPerPair,
              static_cast<unsigned long long>(o.gaps), o.damagedLines.size());
  std::printf("peak memory: %.1f MB before the open, %.1f MB after (store capacity %zu samples)\n", static_cast<double>(before) / 1024.0,
              static_cast<double>(after) / 1024.0, store.capacity());
  return 0;
}
