#include "platform/brlapi_braille.h"

#include <brlapi.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <string>
#include <system_error>
#include <vector>

namespace voskel::platform {

struct BrlapiBraille::Shared {
  explicit Shared(std::chrono::milliseconds retry) : retryEvery(retry) {}
  ~Shared() {
    if (wakeRead >= 0) ::close(wakeRead);
    if (wakeWrite >= 0) ::close(wakeWrite);
  }

  const std::chrono::milliseconds retryEvery;
  int wakeRead = -1;
  int wakeWrite = -1;
  std::mutex mutex;
  std::condition_variable ended;
  // Guarded by mutex.
  std::string text;
  std::uint32_t windowId = 0;
  std::uint64_t texts = 0;  // how many were given: a new one is told by the count
  bool stop = false;
  bool done = false;
};

namespace {

using Clock = std::chrono::steady_clock;

// The display's keys that move through a text longer than the display. Every other key
// stays with BRLTTY.
constexpr brlapi_keyCode_t kPanKeys[] = {
    BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_FWINLT,
    BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_FWINRT,
    BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_FWINLTSKIP,
    BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_FWINRTSKIP,
    BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_TOP,
    BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_TOP_LEFT,
};

// The library's default for a protocol error is to abort the process; here it only ends
// the connection, which the next call then reports.
void IgnoreException(brlapi_handle_t*, int, brlapi_packetType_t, const void*, size_t) {}

// UTF-8 as characters; a byte that starts no character stands for itself.
std::wstring Characters(std::string_view text) {
  std::wstring out;
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xf0 ? 4 : lead >= 0xe0 ? 3 : 2;
    char32_t code = length == 1 ? lead : lead & (0x3f >> (length - 1));
    std::size_t taken = 1;
    while (taken < length && i + taken < text.size() &&
           (static_cast<unsigned char>(text[i + taken]) & 0xc0) == 0x80) {
      code = (code << 6) | (static_cast<unsigned char>(text[i + taken]) & 0x3f);
      ++taken;
    }
    if (lead >= 0x80 && (lead < 0xc0 || taken < length)) code = '?';
    out += static_cast<wchar_t>(code);
    i += taken;
  }
  return out;
}

// One connection to BRLTTY, in the panel's place among its terminals.
class Connection {
 public:
  Connection() : memory_(brlapi_getHandleSize()) {}
  ~Connection() { Close(); }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  bool IsOpen() const { return fd_ >= 0; }
  int Fd() const { return fd_; }
  std::uint32_t WindowId() const { return windowId_; }

  // BRLTTY's defaults: BRLAPI_HOST and BRLAPI_AUTH, else its local socket and key file.
  bool Open(std::uint32_t windowId) {
    fd_ = brlapi__openConnection(Handle(), nullptr, nullptr);
    if (fd_ < 0) {
      fd_ = -1;
      return false;
    }
    brlapi__setExceptionHandler(Handle(), IgnoreException);
    windowId_ = windowId;
    unsigned columns = 0;
    unsigned rows = 0;
    if (brlapi__getDisplaySize(Handle(), &columns, &rows) < 0 || columns == 0 || !EnterPlace() ||
        brlapi__ignoreKeys(Handle(), brlapi_rangeType_all, nullptr, 0) < 0 ||
        brlapi__acceptKeys(Handle(), brlapi_rangeType_key, kPanKeys, std::size(kPanKeys)) < 0) {
      Close();
      return false;
    }
    cells_ = columns * std::max(rows, 1u);
    return true;
  }

  // Closing the connection is enough for BRLTTY to let go of the panel's place; nothing is
  // waited for, so a hung BRLTTY cannot hold this up.
  void Close() {
    if (fd_ < 0) return;
    brlapi__closeConnection(Handle());
    fd_ = -1;
  }

  // The part of the text from offset that fits the display.
  bool Show(const std::wstring& text, std::size_t offset) {
    const std::wstring window = text.substr(std::min(offset, text.size()), cells_);
    return brlapi__writeWText(Handle(), BRLAPI_CURSOR_OFF, window.c_str()) >= 0;
  }

  // Takes the keys the display sent and moves offset through the text; false when the
  // connection has ended.
  bool TakeKeys(const std::wstring& text, std::size_t& offset) {
    brlapi_keyCode_t code = 0;
    int read = 0;
    while ((read = brlapi__readKey(Handle(), 0, &code)) > 0) {
      if ((code & BRLAPI_KEY_TYPE_MASK) != BRLAPI_KEY_TYPE_CMD) continue;
      switch (code & (BRLAPI_KEY_CMD_BLK_MASK | BRLAPI_KEY_CMD_ARG_MASK)) {
        case BRLAPI_KEY_CMD_FWINRT:
        case BRLAPI_KEY_CMD_FWINRTSKIP:
          if (offset + cells_ < text.size()) offset += cells_;
          break;
        case BRLAPI_KEY_CMD_FWINLT:
        case BRLAPI_KEY_CMD_FWINLTSKIP:
          offset -= std::min<std::size_t>(offset, cells_);
          break;
        default:
          offset = 0;
          break;
      }
      if (!Show(text, offset)) return false;
    }
    return read == 0;
  }

 private:
  brlapi_handle_t* Handle() { return reinterpret_cast<brlapi_handle_t*>(memory_.data()); }

  // Under X the place is the window, below the display the X server runs on (the library
  // puts WINDOWPATH or XDG_VTNR in front); without one, the terminal the panel runs in.
  bool EnterPlace() {
    if (windowId_ == 0) return brlapi__enterTtyMode(Handle(), BRLAPI_TTY_DEFAULT, nullptr) >= 0;
    const int path[] = {static_cast<int>(windowId_)};
    return brlapi__enterTtyModeWithPath(Handle(), path, 1, nullptr) >= 0;
  }

  std::vector<unsigned char> memory_;
  int fd_ = -1;
  std::uint32_t windowId_ = 0;
  std::size_t cells_ = 0;
};

void DrainWakes(int fd) {
  char bytes[64];
  while (::read(fd, bytes, sizeof bytes) > 0) {
  }
}

}  // namespace

BrlapiBraille::BrlapiBraille(std::function<std::uint32_t()> windowId,
                             std::chrono::milliseconds retryEvery)
    : windowId_(std::move(windowId)), shared_(std::make_shared<Shared>(retryEvery)) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return;
  shared_->wakeRead = fds[0];
  shared_->wakeWrite = fds[1];
  try {
    worker_ = std::thread([shared = shared_] { Run(shared); });
  } catch (const std::system_error&) {
    // Without a worker the panel runs as it would without a display.
  }
}

BrlapiBraille::~BrlapiBraille() {
  if (!worker_.joinable()) return;
  {
    std::lock_guard lock(shared_->mutex);
    shared_->stop = true;
  }
  Wake();
  std::unique_lock lock(shared_->mutex);
  const bool ended = shared_->ended.wait_for(lock, kShutdownWait, [this] { return shared_->done; });
  lock.unlock();
  // A worker still inside BrlAPI (BRLTTY stopped, not gone) is left to end with the
  // process; what it uses is its own.
  if (ended)
    worker_.join();
  else
    worker_.detach();
}

void BrlapiBraille::Show(std::string_view text) {
  if (!worker_.joinable()) return;
  const std::uint32_t windowId = windowId_ ? windowId_() : 0;
  {
    std::lock_guard lock(shared_->mutex);
    shared_->text.assign(text);
    shared_->windowId = windowId;
    ++shared_->texts;
  }
  Wake();
}

void BrlapiBraille::Wake() {
  const char byte = 1;
  // A full pipe already holds a wake.
  [[maybe_unused]] const ssize_t written = ::write(shared_->wakeWrite, &byte, 1);
}

void BrlapiBraille::Run(const std::shared_ptr<Shared>& shared) {
  // A BRLTTY that went away must end the connection, not the process.
  sigset_t pipeSignal;
  sigemptyset(&pipeSignal);
  sigaddset(&pipeSignal, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);

  Connection connection;
  std::wstring text;
  std::size_t offset = 0;
  std::uint32_t windowId = 0;
  std::uint64_t texts = 0;
  Clock::time_point nextTry = Clock::now();
  for (;;) {
    bool fresh = false;
    {
      std::lock_guard lock(shared->mutex);
      if (shared->stop) break;
      if (shared->texts != texts) {
        texts = shared->texts;
        text = Characters(shared->text);
        windowId = shared->windowId;
        offset = 0;
        fresh = true;
      }
    }
    // The window that opened after the connection gets the text in its own place.
    if (connection.IsOpen() && connection.WindowId() != windowId) {
      connection.Close();
      nextTry = Clock::now();
    }
    if (!connection.IsOpen() && texts > 0 && Clock::now() >= nextTry) {
      nextTry = Clock::now() + shared->retryEvery;
      fresh = connection.Open(windowId);
    }
    if (connection.IsOpen() && fresh && !connection.Show(text, offset)) connection.Close();

    // Until a new text, a key of the display, the end of the connection or the next try.
    pollfd waits[] = {{shared->wakeRead, POLLIN, 0}, {connection.Fd(), POLLIN, 0}};
    int timeoutMs = -1;
    if (!connection.IsOpen() && texts > 0) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(nextTry - Clock::now());
      timeoutMs = static_cast<int>(std::clamp<long long>(left.count(), 0, 60 * 60 * 1000));
    }
    if (::poll(waits, connection.IsOpen() ? 2 : 1, timeoutMs) <= 0) continue;
    if (waits[0].revents != 0) DrainWakes(shared->wakeRead);
    if (connection.IsOpen() && waits[1].revents != 0 && !connection.TakeKeys(text, offset))
      connection.Close();
  }
  connection.Close();
  {
    std::lock_guard lock(shared->mutex);
    shared->done = true;
  }
  shared->ended.notify_all();
}

}  // namespace voskel::platform
