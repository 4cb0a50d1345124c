// The link through ser2net against the same simulated regulator (paced at
// 38400 baud, in another process) opened directly: a full read and a whole
// write each way, and their ratio. Every byte sent waits for its reply, so
// each exchange pays the network's round trip once; the figures also say
// what a longer round trip would make of a full read.
//
//   net_bench [path to vrx4-sim] [path to ser2net]
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/link/comm_thread.h"

extern char** environ;

namespace {

using namespace vrx4;
using Clock = std::chrono::steady_clock;

class EndWaiter : public LinkNotifier {
 public:
  void post(std::uint32_t m, std::uintptr_t w, std::intptr_t) override {
    std::lock_guard lock(m_mutex);
    if (m == msg::kTransferDone) m_last = w;
    if (m == msg::kLinkState && w == link_state::kAlive) m_alive = true;
    m_cv.notify_all();
  }
  void showMessage(const std::string& text, std::stop_token) override {
    std::fprintf(stderr, "%s\n", text.c_str());
  }
  bool waitAlive(double seconds) {
    std::unique_lock lock(m_mutex);
    return m_cv.wait_for(lock, std::chrono::duration<double>(seconds), [&] { return m_alive; });
  }
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
  bool m_alive = false;
};

struct Figures {
  std::uint64_t readExchanges = 0, writeExchanges = 0;
  double read = 0, write = 0;
};

// Once the regulator answers: full reads, then whole writes of OPTION
// with 0x30 bytes changed (and BASE as it is), on the named port; the
// shortest of each, as the machine's other work only ever adds time.
bool measure(const std::string& port, Figures& f) {
  constexpr int kReads = 3, kWrites = 2;
  DeviceState state;
  state.g_currentPage = page::kTools;
  EndWaiter waiter;
  CCommThread engine(state, waiter);
  engine.setPortName(port);
  engine.start();
  if (!waiter.waitAlive(10)) return false;
  f.read = f.write = 1e9;
  for (int i = 0; i < kReads + kWrites; ++i) {
    const bool read = i < kReads;
    TransferRequest r;
    r.op = read ? op::kReadOption : op::kWriteOptionThenBase;
    if (!read)
      state.withImages([](Images& im) {
        im.g_optionEdit = im.g_optionDevice;
        im.g_baseEdit = im.g_baseDevice;
        for (std::size_t k = 0; k < 0x30; ++k) im.g_optionEdit[k] = static_cast<std::uint8_t>(~im.g_optionEdit[k]);
      });
    const auto s0 = engine.bytesSent();
    const auto t0 = Clock::now();
    state.publishRequest(r);
    if (!waiter.wait(read ? 1 : 2, 240)) return false;
    const double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
    (read ? f.readExchanges : f.writeExchanges) = engine.bytesSent() - s0;
    double& best = read ? f.read : f.write;
    best = std::min(best, seconds);
  }
  engine.stop();
  return true;
}

// Starts a program with its output dropped.
pid_t spawn(std::vector<std::string> args) {
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&files, 1, 2);
  pid_t pid = -1;
  const int rc = posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&files);
  return rc == 0 ? pid : -1;
}

void end(pid_t pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string simPath = argc > 1 ? argv[1] : "src/core/sim/vrx4-sim";
  const std::string ser2net = argc > 2 ? argv[2] : "/usr/sbin/ser2net";
  const std::string base = "/tmp/vrx4-net-bench-" + std::to_string(::getpid());
  const std::string link = base + ".tty", config = base + ".yaml";
  const int port = 20000 + ::getpid() % 20000;

  const pid_t sim = spawn({simPath, "--pace", "--link", link});
  for (int i = 0; i < 200 && access(link.c_str(), F_OK) != 0; ++i) usleep(10000);

  // Raw with ser2net's defaults, raw without its wait for more bytes from
  // the line before it sends (chardelay), Telnet with RFC 2217.
  const char* accepters[] = {"tcp", "tcp", "telnet(rfc2217),tcp"};
  std::ofstream yaml(config);
  yaml << "%YAML 1.1\n---\n";
  for (int i = 0; i < 3; ++i)
    yaml << "connection: &c" << i << "\n  accepter: " << accepters[i] << ",127.0.0.1," << port + i
         << "\n  connector: serialdev," << link << ",38400n81,local\n"
         << (i == 1 ? "  options:\n    chardelay: false\n" : "");
  yaml.close();
  const pid_t bridge = spawn({ser2net, "-n", "-u", "-c", config});
  std::this_thread::sleep_for(std::chrono::milliseconds(500));

  struct Run {
    const char* what;
    std::string port;
    Figures f;
  } runs[] = {{"direct (pseudo-terminal)", link, {}},
              {"ser2net raw, tcp://", "tcp://127.0.0.1:" + std::to_string(port), {}},
              {"ser2net raw, chardelay: false", "tcp://127.0.0.1:" + std::to_string(port + 1), {}},
              {"ser2net rfc2217://", "rfc2217://127.0.0.1:" + std::to_string(port + 2), {}}};
  int rc = 0;
  for (Run& r : runs) {
    // ser2net lets the line go a moment after the last connection ended.
    std::this_thread::sleep_for(std::chrono::seconds(1));
    if (!measure(r.port, r.f)) {
      std::fprintf(stderr, "%s: the transfer did not finish\n", r.what);
      rc = 1;
      break;
    }
    const Figures& d = runs[0].f;
    std::printf("%-30s full read %4llu exchanges %6.3f s (x%.2f)   whole write %4llu exchanges %6.3f s (x%.2f)\n",
                r.what, static_cast<unsigned long long>(r.f.readExchanges), r.f.read, r.f.read / d.read,
                static_cast<unsigned long long>(r.f.writeExchanges), r.f.write, r.f.write / d.write);
  }
  if (rc == 0) {
    const Figures& d = runs[0].f;
    const Figures& n = runs[1].f;
    std::printf("\nser2net raw adds %.2f ms an exchange on this machine (loopback).\n",
                1000.0 * (n.read - d.read) / static_cast<double>(d.readExchanges));
    for (double rtt : {1.0, 10.0, 50.0})
      std::printf("round trip %4.0f ms: full read about %5.1f s, whole write about %5.1f s\n", rtt,
                  n.read + static_cast<double>(d.readExchanges) * rtt / 1000.0,
                  n.write + static_cast<double>(d.writeExchanges) * rtt / 1000.0);
  }
  end(bridge);
  end(sim);
  std::remove(config.c_str());
  return rc;
}
