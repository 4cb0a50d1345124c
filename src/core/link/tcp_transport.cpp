// The regulator's line over TCP. Opening never holds the link thread for
// long: the host name is looked up on a helper thread (glibc's lookup
// blocks, for as long as the name servers take to fail: resolv.conf's
// timeout times its attempts times the servers, half a minute or more),
// the connection is made without blocking, and both are waited for in
// short slices that a stop request ends, within one deadline.
#include "core/link/tcp_transport.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <system_error>
#include <thread>

namespace vrx4 {

using Clock = std::chrono::steady_clock;

namespace {

// How often a wait looks at the stop request.
constexpr auto kSlice = std::chrono::milliseconds(20);
// Between two connections to a server that closed the first at once.
constexpr auto kRetryPause = std::chrono::milliseconds(200);
// The longest a write waits for room in the connection's send buffer.
constexpr int kSendWaitMs = 1000;

int msUntil(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return static_cast<int>(std::clamp<decltype(left)>(left, 0, INT_MAX));
}

std::string endpoint(const NetworkPortName& a) {
  const bool v6 = a.host.find(':') != std::string::npos;
  return (v6 ? "[" + a.host + "]" : a.host) + ":" + std::to_string(a.port);
}

std::string seconds(int ms) { return std::to_string(ms / 1000) + " s"; }

void setOption(int fd, int level, int name, int value) {
  (void)::setsockopt(fd, level, name, &value, sizeof value);
}

}  // namespace

struct TcpTransport::Lookup {
  std::string host;
  std::string service;
  std::mutex mutex;
  std::condition_variable cv;
  bool done = false;  // guarded by mutex, as are rc and result
  int rc = 0;
  addrinfo* result = nullptr;
  ~Lookup() {
    if (result != nullptr) ::freeaddrinfo(result);
  }
};

namespace {

addrinfo streamHints(int flags) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = flags;
  return hints;
}

std::string lookupFailure(int rc, const std::string& host) {
  switch (rc) {
    case EAI_NONAME:
#ifdef EAI_NODATA
    case EAI_NODATA:
#endif
      return "host not found: " + host;
    case EAI_AGAIN: return "the name servers did not answer for " + host;
    case EAI_SYSTEM: return "host name lookup of " + host + " failed: " + std::strerror(errno);
    default: return "host name lookup of " + host + " failed: " + ::gai_strerror(rc);
  }
}

std::string connectFailure(int err, const NetworkPortName& a) {
  switch (err) {
    case ECONNREFUSED:
      return "connection refused by " + endpoint(a) + ": no device server or ser2net listens on that port";
    case ETIMEDOUT: return "no answer from " + endpoint(a) + " within " + seconds(TcpTransport::kOpenTimeoutMs);
    case EHOSTUNREACH:
    case ENETUNREACH: return a.host + " cannot be reached from this computer (no route to it)";
    default: return "cannot connect to " + endpoint(a) + ": " + std::strerror(err);
  }
}

}  // namespace

TcpTransport::~TcpTransport() { close(); }

bool TcpTransport::open(const std::string& name, const NetworkPortName& address, std::stop_token stop,
                        PortOpenError* error) {
  close();
  m_address = address;
  m_telnet = address.protocol == NetworkPortName::Protocol::Rfc2217;
  const auto deadline = Clock::now() + std::chrono::milliseconds(kOpenTimeoutMs);
  std::string reason;
  for (;;) {
    if (connectTo(deadline, stop, reason) && (!m_telnet || negotiate(deadline, stop, reason))) return true;
    // ser2net takes a connection and closes it again while the serial
    // line is still held by the connection before (of another of its
    // ports on the same line): that passes within moments, so the open
    // tries again while its time lasts.
    const bool closedEarly = m_fd >= 0 && m_gone;
    close();
    if (!closedEarly || !pause(deadline, stop)) break;
  }
  if (error != nullptr) {
    *error = PortOpenError{};
    error->portName = name;
    error->path = name;
    error->reason = reason;
  }
  return false;
}

std::shared_ptr<TcpTransport::Lookup> TcpTransport::resolve(Clock::time_point deadline, std::stop_token stop,
                                                            std::string& reason) {
  auto lookup = std::make_shared<Lookup>();
  lookup->host = m_address.host;
  lookup->service = std::to_string(m_address.port);
  // An address needs no name server and never blocks.
  const addrinfo numeric = streamHints(AI_NUMERICHOST | AI_NUMERICSERV);
  lookup->rc = ::getaddrinfo(lookup->host.c_str(), lookup->service.c_str(), &numeric, &lookup->result);
  if (lookup->rc != EAI_NONAME) {
    if (lookup->rc == 0) return lookup;
    reason = lookupFailure(lookup->rc, lookup->host);
    return nullptr;
  }
  lookup->result = nullptr;
  // A lookup of the same name still running from an earlier attempt is
  // waited for again rather than joined by another helper thread: a name
  // server that hangs then costs one thread, not one per attempt.
  bool running = false;
  if (m_lookup && m_lookup->host == lookup->host && m_lookup->service == lookup->service) {
    std::lock_guard lock(m_lookup->mutex);
    running = !m_lookup->done;
  }
  if (running) {
    lookup = m_lookup;
  } else {
    try {
      std::thread([lookup] {
        const addrinfo hints = streamHints(AI_NUMERICSERV);
        addrinfo* result = nullptr;
        const int rc = ::getaddrinfo(lookup->host.c_str(), lookup->service.c_str(), &hints, &result);
        std::lock_guard lock(lookup->mutex);
        lookup->rc = rc;
        lookup->result = result;
        lookup->done = true;
        lookup->cv.notify_all();
      }).detach();
    } catch (const std::system_error& e) {
      reason = std::string("host name lookup of ") + lookup->host + " could not start: " + e.what();
      return nullptr;
    }
    m_lookup = lookup;
  }
  std::unique_lock lock(lookup->mutex);
  while (!lookup->done) {
    if (stop.stop_requested()) {
      reason = "stopped";
      return nullptr;
    }
    if (Clock::now() >= deadline) {
      reason = "host name lookup of " + lookup->host + " did not answer within " + seconds(kOpenTimeoutMs);
      return nullptr;
    }
    lookup->cv.wait_for(lock, std::min<Clock::duration>(kSlice, deadline - Clock::now()));
  }
  if (lookup->rc != 0) {
    reason = lookupFailure(lookup->rc, lookup->host);
    return nullptr;
  }
  return lookup;
}

bool TcpTransport::connectTo(Clock::time_point deadline, std::stop_token stop, std::string& reason) {
  const auto lookup = resolve(deadline, stop, reason);
  if (!lookup) return false;
  int lastError = ECONNREFUSED;
  // Each address the name has, in the order the resolver prefers.
  for (const addrinfo* ai = lookup->result; ai != nullptr; ai = ai->ai_next) {
    const int fd = ::socket(ai->ai_family, ai->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, ai->ai_protocol);
    if (fd < 0) {
      lastError = errno;
      continue;
    }
    int err = ::connect(fd, ai->ai_addr, ai->ai_addrlen) == 0 ? 0 : errno;
    if (err == EINPROGRESS || err == EINTR) {
      err = ETIMEDOUT;
      pollfd p{fd, POLLOUT, 0};
      while (Clock::now() < deadline) {
        if (stop.stop_requested()) {
          ::close(fd);
          reason = "stopped";
          return false;
        }
        const int ready = ::poll(&p, 1, std::min(msUntil(deadline), static_cast<int>(kSlice.count())));
        if (ready < 0 && errno != EINTR) {
          err = errno;
          break;
        }
        if (ready > 0) {
          socklen_t len = sizeof err;
          if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) != 0) err = errno;
          break;
        }
      }
    }
    if (err == 0) {
      m_fd = fd;
      // Each byte goes out at once: every exchange waits for its reply.
      setOption(fd, IPPROTO_TCP, TCP_NODELAY, 1);
      setOption(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, kUnacknowledgedMs);
      setOption(fd, SOL_SOCKET, SO_KEEPALIVE, 1);
      setOption(fd, IPPROTO_TCP, TCP_KEEPIDLE, 5);
      setOption(fd, IPPROTO_TCP, TCP_KEEPINTVL, 2);
      setOption(fd, IPPROTO_TCP, TCP_KEEPCNT, 3);
      return true;
    }
    ::close(fd);
    lastError = err;
    if (err == ETIMEDOUT) break;  // the deadline is spent
  }
  reason = connectFailure(lastError, m_address);
  return false;
}

bool TcpTransport::pause(Clock::time_point deadline, std::stop_token stop) {
  const auto until = std::min<Clock::time_point>(deadline, Clock::now() + kRetryPause);
  while (Clock::now() < until && !stop.stop_requested())
    std::this_thread::sleep_for(std::min<Clock::duration>(kSlice, until - Clock::now()));
  return Clock::now() < deadline && !stop.stop_requested();
}

bool TcpTransport::negotiate(Clock::time_point deadline, std::stop_token stop, std::string& reason) {
  m_tx = m_codec.start();
  if (!sendPending()) {
    reason = "the connection to " + endpoint(m_address) + " failed while the serial settings were sent";
    return false;
  }
  while (m_codec.settings() == telnet::ClientCodec::Settings::Pending) {
    if (stop.stop_requested()) {
      reason = "stopped";
      return false;
    }
    if (Clock::now() >= deadline) {
      reason = "no answer from " + endpoint(m_address) + " to the serial settings within " +
               seconds(kOpenTimeoutMs) + " (is it a Telnet port with RFC 2217?)";
      return false;
    }
    if (waitSocket(POLLIN, std::min(msUntil(deadline), static_cast<int>(kSlice.count()))) > 0 && receive(false) < 0) {
      reason = "the server at " + endpoint(m_address) + " closed the connection before it took the serial settings";
      return false;
    }
  }
  if (m_codec.settings() == telnet::ClientCodec::Settings::Refused) {
    reason = m_codec.refusal();
    return false;
  }
  // Bytes that came before the settings took belong to no exchange.
  m_rx.clear();
  m_rxPos = 0;
  return true;
}

void TcpTransport::close() {
  if (m_fd >= 0) ::close(m_fd);
  m_fd = -1;
  m_gone = false;
  m_rx.clear();
  m_rxPos = 0;
  m_tx.clear();
  m_codec = telnet::ClientCodec{};
}

int TcpTransport::waitSocket(short events, int waitMs, short* revents) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(waitMs, 0));
  pollfd p{m_fd, events, 0};
  for (;;) {
    const int ready = ::poll(&p, 1, msUntil(deadline));
    if (ready >= 0 || errno != EINTR) {
      if (revents != nullptr) *revents = p.revents;
      return ready;
    }
  }
}

int TcpTransport::receive(bool keep) {
  std::uint8_t chunk[512];
  ssize_t n = 0;
  do n = ::recv(m_fd, chunk, sizeof chunk, MSG_DONTWAIT);
  while (n < 0 && errno == EINTR);
  if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)) {
    lost();  // the other end closed, or reset, or stopped acknowledging
    return -1;
  }
  if (n < 0) return 0;
  if (m_rxPos == m_rx.size()) {
    m_rx.clear();
    m_rxPos = 0;
  }
  const std::span<const std::uint8_t> got(chunk, static_cast<std::size_t>(n));
  if (!m_telnet) {
    if (keep) m_rx.insert(m_rx.end(), got.begin(), got.end());
    return static_cast<int>(n);
  }
  std::vector<std::uint8_t> data;
  m_codec.decode(got, data, m_tx);
  if (keep) m_rx.insert(m_rx.end(), data.begin(), data.end());
  if (!m_tx.empty() && !sendPending() && m_gone) return -1;
  return static_cast<int>(n);
}

bool TcpTransport::sendPending() {
  const auto deadline = Clock::now() + std::chrono::milliseconds(kSendWaitMs);
  std::size_t sent = 0;
  while (sent < m_tx.size()) {
    const ssize_t n = ::send(m_fd, m_tx.data() + sent, m_tx.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n > 0) {
      sent += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && Clock::now() < deadline) {
      (void)waitSocket(POLLOUT, msUntil(deadline));
      continue;
    }
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) lost();
    break;
  }
  m_tx.erase(m_tx.begin(), m_tx.begin() + static_cast<std::ptrdiff_t>(sent));
  return m_tx.empty();
}

ReadResult TcpTransport::readByte(std::uint8_t& out, int waitMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(waitMs, 0));
  for (;;) {
    // Bytes that came before the connection ended are still handed out.
    if (buffered() > 0) {
      out = m_rx[m_rxPos++];
      return ReadResult::Byte;
    }
    if (m_fd < 0 || m_gone) return ReadResult::Failed;
    const int ready = waitSocket(POLLIN, msUntil(deadline));
    if (ready < 0) return ReadResult::Failed;
    if (ready == 0) return ReadResult::Nothing;
    if (receive(true) < 0) return ReadResult::Failed;
    // Only negotiation came: wait on for the line's bytes.
    if (buffered() == 0 && Clock::now() >= deadline) return ReadResult::Nothing;
  }
}

bool TcpTransport::writeByte(std::uint8_t byte) {
  if (m_fd < 0 || m_gone) return false;
  // What an earlier write left behind goes first; without room for it the
  // byte is not taken, and the engine sends it again on its next cycle.
  if (!m_tx.empty() && !sendPending()) return false;
  if (m_telnet) m_codec.encode(byte, m_tx);
  else m_tx.push_back(byte);
  (void)sendPending();
  return !m_gone;
}

void TcpTransport::purge() {
  m_rx.clear();
  m_rxPos = 0;
  if (m_fd < 0 || m_gone) return;
  while (receive(false) > 0) {
  }
  // The remote port drops what its own buffers hold, as a local port's
  // purge drops what the driver holds.
  if (m_telnet && !m_gone) {
    const auto request = telnet::ClientCodec::purgeRequest();
    m_tx.insert(m_tx.end(), request.begin(), request.end());
    (void)sendPending();
  }
}

}  // namespace vrx4
