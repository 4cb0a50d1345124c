// vrx4ctl run as a program against the simulated regulator: a fixture
// with a folder of its own that serves a simulated regulator there, a
// runner that returns the exit code and both outputs, and vrx4ctl started
// in the background for tests that signal or kill it.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

#include "../child_process.h"
#include "../test_files.h"
#include "core/sim/factory_images.h"
#include "core/sim/pty_server.h"

namespace vrx4 {

using testing::readFile;

struct Outcome {
  int code = -1;
  std::string out, err;
};

inline Outcome run(const std::string& args) {
  const std::string base = "/tmp/vrx4ctl-test-" + std::to_string(::getpid());
  const std::string cmd = std::string(VRX4CTL_PATH) + " " + args + " >" + base + ".out 2>" + base + ".err";
  Outcome r;
  const int status = std::system(cmd.c_str());
  r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.out = readFile(base + ".out");
  r.err = readFile(base + ".err");
  return r;
}

// run() for a command that must succeed.
inline Outcome ok(const std::string& args) {
  Outcome r = run(args);
  EXPECT_EQ(r.code, 0) << args << ": " << r.err;
  return r;
}

// `text` holds `part`; the whole text is shown when it does not.
inline ::testing::AssertionResult has(const std::string& text, const std::string& part) {
  if (text.find(part) != std::string::npos) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "\"" << part << "\" is not in:\n" << text;
}

// Polls `done` every 10 ms for at most `seconds`.
inline bool waitUntil(const std::function<bool()>& done, double seconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

// vrx4ctl started in the background, its output in two files.
struct Running : testing::ChildProcess {
  Running(const std::string& dir, const std::vector<std::string>& args) : ChildProcess(VRX4CTL_PATH, args, dir) {}
};

// A folder of the test's own; serve() puts a simulated regulator on its
// "tty".
class CliFixture : public ::testing::Test {
 protected:
  void TearDown() override {
    if (server) server->stop();
  }
  // Paced like a real line, a write lasts long enough to be interrupted.
  void serve(sim::SimDevice& d, bool pace = true) {
    server = std::make_unique<sim::PtyServer>(d, sim::PtyServer::Options{pace, tty});
    ASSERT_TRUE(server->start()) << server->error();
  }
  // A value read from the served regulator under the server's lock.
  template <class F>
  auto onDevice(F f) {
    std::decay_t<decltype(f(device))> v{};
    server->withDevice([&](sim::SimDevice& d) { v = f(d); });
    return v;
  }
  Image simImage(Area a) { return onDevice([a](sim::SimDevice& d) { return d.image(a); }); }
  long bytesReceived() { return onDevice([](sim::SimDevice& d) { return d.bytesReceived(); }); }
  long writesStored() { return onDevice([](sim::SimDevice& d) { return d.writesStored(); }); }
  // The count once the line has gone quiet: a byte the last command sent
  // just before it closed the port may still be on its way.
  long quietBytesReceived() {
    long last = bytesReceived();
    int same = 0;
    waitUntil([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      const long now = bytesReceived();
      same = now == last ? same + 1 : 0;
      last = now;
      return same >= 3;
    }, 3.0);
    return last;
  }
  std::string port() { return "--port " + tty; }
  // Another regulator, kept as long as the fixture (the server ticks it
  // until TearDown stops it).
  sim::SimDevice& another(const sim::FactoryImages& images = sim::factoryImages()) {
    return others.emplace_back(images);
  }

  testing::TempDir temp;
  std::string dir = temp.path, tty = dir + "/tty";
  sim::SimDevice device;
  std::list<sim::SimDevice> others;
  std::unique_ptr<sim::PtyServer> server;
};

// The simulated regulator served unpaced from the start.
class CliTest : public CliFixture {
 protected:
  void SetUp() override { serve(device, false); }
};

}  // namespace vrx4
