#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/network.h"

namespace voskel::platform {
namespace {

constexpr int kBacklog = 16;
// Small, so that what a client leaves unread stays mostly in the panel, where it counts.
constexpr int kSendBuffer = 16 * 1024;

bool WouldWait(int error) {
  return error == EAGAIN || error == EWOULDBLOCK || error == EINTR;
}

}  // namespace

PosixNetwork::~PosixNetwork() {
  if (listener_ >= 0) ::close(listener_);
}

int PosixNetwork::Listen(const std::string& address, int port) {
  if (listener_ >= 0) return EISCONN;
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV | AI_PASSIVE;
  addrinfo* found = nullptr;
  if (::getaddrinfo(address.c_str(), std::to_string(port).c_str(), &hints, &found) != 0 ||
      found == nullptr)
    return EINVAL;
  const int fd = ::socket(found->ai_family, found->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    const int error = errno;
    ::freeaddrinfo(found);
    return error;
  }
  // A panel restarted at once must not find its own port held by the last run's
  // connections in TIME_WAIT.
  const int on = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  int error = 0;
  if (::bind(fd, found->ai_addr, found->ai_addrlen) != 0 || ::listen(fd, kBacklog) != 0)
    error = errno;
  ::freeaddrinfo(found);
  if (error != 0) {
    ::close(fd);
    return error;
  }
  listener_ = fd;
  return 0;
}

int PosixNetwork::ListeningPort() const {
  sockaddr_storage address{};
  socklen_t size = sizeof address;
  if (listener_ < 0 || ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) != 0)
    return 0;
  if (address.ss_family == AF_INET6)
    return ntohs(reinterpret_cast<sockaddr_in6*>(&address)->sin6_port);
  return ntohs(reinterpret_cast<sockaddr_in*>(&address)->sin_port);
}

int PosixNetwork::Accept() {
  if (listener_ < 0) return -1;
  for (;;) {
    const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd >= 0) {
      // Answers are small and a client waits for each: they go out at once.
      const int on = 1;
      ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
      // A fixed buffer instead of one that grows to megabytes: what a client leaves
      // unread soon shows, and the client is dropped.
      ::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &kSendBuffer, sizeof kSendBuffer);
      return fd;
    }
    // A connection that was reset before it was taken is simply gone; try the next.
    if (errno == ECONNABORTED) continue;
    return -1;
  }
}

int PosixNetwork::Receive(int connection, char* buffer, int size) {
  if (size <= 0) return 0;
  const ssize_t n = ::recv(connection, buffer, static_cast<std::size_t>(size), 0);
  if (n > 0) return static_cast<int>(n);
  if (n < 0 && WouldWait(errno)) return 0;
  return kEnded;
}

int PosixNetwork::Send(int connection, const char* bytes, int size) {
  if (size <= 0) return 0;
  const ssize_t n = ::send(connection, bytes, static_cast<std::size_t>(size), MSG_NOSIGNAL);
  if (n >= 0) return static_cast<int>(n);
  return WouldWait(errno) ? 0 : kEnded;
}

void PosixNetwork::Close(int connection) {
  if (connection >= 0) ::close(connection);
}

bool PosixNetwork::Wait(const std::vector<int>& readable, const std::vector<int>& writable,
                        int timeoutMs) {
  std::vector<pollfd> watched;
  if (listener_ >= 0) watched.push_back(pollfd{listener_, POLLIN, 0});
  for (int fd : readable) watched.push_back(pollfd{fd, POLLIN, 0});
  for (int fd : writable) watched.push_back(pollfd{fd, POLLOUT, 0});
  if (watched.empty()) {
    if (timeoutMs > 0) ::poll(nullptr, 0, timeoutMs);
    return false;
  }
  return ::poll(watched.data(), watched.size(), timeoutMs < 0 ? 0 : timeoutMs) > 0;
}

}  // namespace voskel::platform
