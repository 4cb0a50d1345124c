// vrx4ctl run as a program against the simulated regulator: a fixture
// that serves a simulated regulator on a path of its own, and a runner
// that returns the exit code and both outputs.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "sim/pty_server.h"

namespace vrx4 {

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
  auto slurp = [](const std::string& p) {
    std::ifstream f(p);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
  };
  r.out = slurp(base + ".out");
  r.err = slurp(base + ".err");
  return r;
}

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = "/tmp/vrx4ctl-" + std::to_string(::getpid()) + "-" +
          ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::system(("mkdir -p " + dir).c_str());
    server = std::make_unique<sim::PtyServer>(device, sim::PtyServer::Options{false, dir + "/tty"});
    ASSERT_TRUE(server->start()) << server->error();
  }
  void TearDown() override {
    server->stop();
    std::system(("rm -rf " + dir).c_str());
  }
  Image simImage(Area a) {
    Image im{};
    server->withDevice([&](sim::SimDevice& d) { im = d.image(a); });
    return im;
  }
  long bytesReceived() {
    long n = 0;
    server->withDevice([&](sim::SimDevice& d) { n = d.bytesReceived(); });
    return n;
  }
  std::string port() { return "--port " + dir + "/tty"; }

  std::string dir;
  sim::SimDevice device;
  std::unique_ptr<sim::PtyServer> server;
};

}  // namespace vrx4
