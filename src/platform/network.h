#pragma once
// A listening TCP socket and the connections it takes. Nothing blocks: the panel waits
// for them only where it would wait anyway, so a client can slow nothing.
#include <string>
#include <vector>

namespace voskel::platform {

class Network {
 public:
  virtual ~Network() = default;
  // Listens on a numeric IPv4 or IPv6 address. 0 on success, else the errno value of the
  // failure (EADDRINUSE for a port another program holds).
  virtual int Listen(const std::string& address, int port) = 0;
  // The port listened on (the one the system chose when 0 was asked for); 0 when none.
  virtual int ListeningPort() const = 0;
  // A connection that is waiting to be taken, or -1 when there is none (or no listener).
  virtual int Accept() = 0;
  // Copies at most size bytes the connection sent. The number copied; 0 when nothing is
  // waiting; kEnded once the client will send nothing more (it closed, or the connection
  // broke).
  virtual int Receive(int connection, char* buffer, int size) = 0;
  // Hands bytes to the connection without waiting: the number it took, 0 when its buffer
  // is full, kEnded when the connection is broken. Never raises SIGPIPE.
  virtual int Send(int connection, const char* bytes, int size) = 0;
  virtual void Close(int connection) = 0;
  // Waits at most timeoutMs for a connection to be taken, for one of readable to have sent
  // something (or ended), or for one of writable to take bytes again. True when one did.
  virtual bool Wait(const std::vector<int>& readable, const std::vector<int>& writable,
                    int timeoutMs) = 0;

  static constexpr int kEnded = -1;
};

// Non-blocking POSIX sockets.
class PosixNetwork : public Network {
 public:
  PosixNetwork() = default;
  PosixNetwork(const PosixNetwork&) = delete;
  PosixNetwork& operator=(const PosixNetwork&) = delete;
  ~PosixNetwork() override;

  int Listen(const std::string& address, int port) override;
  int ListeningPort() const override;
  int Accept() override;
  int Receive(int connection, char* buffer, int size) override;
  int Send(int connection, const char* bytes, int size) override;
  void Close(int connection) override;
  bool Wait(const std::vector<int>& readable, const std::vector<int>& writable,
            int timeoutMs) override;

 private:
  int listener_ = -1;
};

}  // namespace voskel::platform
