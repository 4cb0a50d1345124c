// Link figures against the simulated regulator paced at 38400 baud: the
// wire time of a full read and of a whole write against the time they
// take, and the CPU the link uses while it polls measurements.
//
//   link_bench [path to vrx4-sim] [poll seconds]
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>

#include "core/link/comm_thread.h"

namespace {

using namespace vrx4;
using Clock = std::chrono::steady_clock;

class EndWaiter : public LinkNotifier {
 public:
  void post(std::uint32_t m, std::uintptr_t w, std::intptr_t) override {
    std::lock_guard lock(m_mutex);
    if (m == msg::kTransferDone) m_last = w;
    m_cv.notify_all();
  }
  void showMessage(const std::string&, std::stop_token) override {}
  bool wait(std::uintptr_t w, double seconds) {
    std::unique_lock lock(m_mutex);
    const bool ok = m_cv.wait_for(lock, std::chrono::duration<double>(seconds), [&] { return m_last == w; });
    m_last = 0;
    return ok;
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_cv;
  std::uintptr_t m_last = 0;
};

double cpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void report(const char* what, std::uint64_t sent, std::uint64_t received, double seconds) {
  const double wire = static_cast<double>(sent + received) * 10.0 / 38400.0;
  std::printf("%-22s sent %6llu B  received %6llu B  wire %7.3f s  measured %7.3f s  ratio %.3f\n", what,
              static_cast<unsigned long long>(sent), static_cast<unsigned long long>(received), wire, seconds,
              seconds / wire);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string simPath = argc > 1 ? argv[1] : "src/core/sim/vrx4-sim";
  const double pollSeconds = argc > 2 ? std::atof(argv[2]) : 10.0;
  const std::string link = "/tmp/vrx4-bench-" + std::to_string(::getpid());

  // The regulator runs in its own process, so this process's CPU time is
  // the link's alone.
  const pid_t sim = fork();
  if (sim == 0) {
    execl(simPath.c_str(), simPath.c_str(), "--pace", "--link", link.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  for (int i = 0; i < 200 && access(link.c_str(), F_OK) != 0; ++i) usleep(10000);

  DeviceState state;
  state.g_currentPage = page::kTools;
  EndWaiter waiter;
  CCommThread engine(state, waiter);
  engine.setPortName(link);
  engine.start();

  int rc = 0;
  TransferRequest r;
  r.op = op::kReadOption;
  auto s0 = engine.bytesSent(), r0 = engine.bytesReceived();
  auto t0 = Clock::now();
  state.publishRequest(r);
  if (!waiter.wait(1, 60)) {
    std::fprintf(stderr, "full read did not finish\n");
    rc = 1;
  }
  report("full read (op 1, 2)", engine.bytesSent() - s0, engine.bytesReceived() - r0,
         std::chrono::duration<double>(Clock::now() - t0).count());

  state.withImages([](Images& im) {
    im.g_optionEdit = im.g_optionDevice;
    im.g_baseEdit = im.g_baseDevice;
    for (std::size_t i = 0; i < 0x30; ++i) im.g_optionEdit[i] = static_cast<std::uint8_t>(~im.g_optionEdit[i]);
  });
  r.op = op::kWriteOptionThenBase;
  s0 = engine.bytesSent();
  r0 = engine.bytesReceived();
  t0 = Clock::now();
  state.publishRequest(r);
  if (!waiter.wait(2, 120)) {
    std::fprintf(stderr, "write did not finish\n");
    rc = 1;
  }
  report("whole write (op 4)", engine.bytesSent() - s0, engine.bytesReceived() - r0,
         std::chrono::duration<double>(Clock::now() - t0).count());

  const double c0 = cpuSeconds();
  t0 = Clock::now();
  std::this_thread::sleep_for(std::chrono::duration<double>(pollSeconds));
  const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
  const double cpu = cpuSeconds() - c0;
  std::printf("polling measurements   %.1f s: link CPU %.3f s = %.2f %% of one core\n", wall, cpu,
              100.0 * cpu / wall);

  engine.stop();
  kill(sim, SIGTERM);
  waitpid(sim, nullptr, 0);
  return rc;
}
