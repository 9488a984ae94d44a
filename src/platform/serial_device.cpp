#include "platform/serial_device.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace voskel::platform {
namespace {

// How long one write may wait for a line that takes no more bytes. The panel runs on one
// thread, so this is also the longest a stalled receiver can hold up a key or a tick.
constexpr std::chrono::milliseconds kWriteBudget{1000};

#ifdef CMSPAR
constexpr tcflag_t kStickParity = CMSPAR;
#else
constexpr tcflag_t kStickParity = 0;
#endif
// The bits of the line format this device sets; everything else is left to the driver.
constexpr tcflag_t kFormatBits = CSIZE | PARENB | PARODD | CSTOPB | kStickParity;

struct SpeedRow {
  int bitsPerSecond;
  speed_t code;
};

constexpr SpeedRow kSpeeds[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},
#ifdef B460800
    {460800, B460800},   {500000, B500000},   {576000, B576000},   {921600, B921600},
    {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000}, {2000000, B2000000},
#endif
};

bool SpeedCode(int bitsPerSecond, speed_t& code) {
  for (const SpeedRow& row : kSpeeds) {
    if (row.bitsPerSecond == bitsPerSecond) {
      code = row.code;
      return true;
    }
  }
  return false;
}

// Applies the settings and checks that the driver really took the format and speed:
// tcsetattr succeeds when any part of a request was carried out. 0, EINVAL when the
// driver changed what was asked, or the errno of the failed call.
int Apply(int fd, const termios& wanted) {
  if (::tcsetattr(fd, TCSANOW, &wanted) != 0) return errno;
  termios now{};
  if (::tcgetattr(fd, &now) != 0) return errno;
  if ((now.c_cflag & kFormatBits) != (wanted.c_cflag & kFormatBits)) return EINVAL;
  if (::cfgetospeed(&now) != ::cfgetospeed(&wanted)) return EINVAL;
  if (::cfgetispeed(&now) != ::cfgetispeed(&wanted)) return EINVAL;
  return 0;
}

OpenError FailureOf(int code) {
  switch (code) {
    case ENOENT:
    case ENOTDIR:
    case ENXIO:
    case ENODEV:
      return {OpenFailure::kMissing, code};
    case EACCES:
    case EPERM:
      return {OpenFailure::kDenied, code};
    case EBUSY:        // another program marked the line exclusive
    case EWOULDBLOCK:  // another program holds the lock
      return {OpenFailure::kHeld, code};
    case ENOTTY:
      return {OpenFailure::kNotSerial, code};
    default:
      return {OpenFailure::kOther, code};
  }
}

// Opens the device and takes its lock; the descriptor, or -1 with error set.
int HoldDevice(const std::filesystem::path& path, OpenError& error) {
  // No O_CREAT: a missing device is a failure, never a new file.
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    error = FailureOf(errno);
    return -1;
  }
  // The lock refuses a second program even when it runs as root, which TIOCEXCL does not.
  // Only the lock's holder may then mark the line exclusive: a refused opener must leave
  // the first program's mark alone, so it closes without going through the destructor.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    error = FailureOf(errno);
    ::close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

std::string Describe(const OpenError& error) {
  switch (error.failure) {
    case OpenFailure::kNone:
      return "no error";
    case OpenFailure::kMissing:
      return "the device is missing";
    case OpenFailure::kDenied:
      return "permission denied";
    case OpenFailure::kHeld:
      return "held by another program";
    case OpenFailure::kNotSerial:
      return "not a serial device";
    case OpenFailure::kBadSpeed:
      return "the line cannot be set to this speed";
    case OpenFailure::kOther:
      break;
  }
  return std::strerror(error.code);
}

std::unique_ptr<SerialDevice> SerialDevice::Open(const std::filesystem::path& path, int speed,
                                                 OpenError* why) {
  OpenError unasked;
  OpenError& error = why ? *why : unasked;
  error = {};
  speed_t code{};
  if (!SpeedCode(speed, code)) {
    error = {OpenFailure::kBadSpeed, EINVAL};
    return nullptr;
  }
  const int fd = HoldDevice(path, error);
  if (fd < 0) return nullptr;
  std::unique_ptr<SerialDevice> device(new SerialDevice(fd));
  if (::ioctl(fd, TIOCEXCL) != 0) {  // also refuses anything but a tty
    error = FailureOf(errno);
    return nullptr;
  }

  termios line{};
  if (::tcgetattr(fd, &line) != 0) {
    error = FailureOf(errno);
    return nullptr;
  }
  ::cfmakeraw(&line);
  line.c_cflag &= ~kFormatBits;
  line.c_cflag |= CS8 | CLOCAL | CREAD;
  // With O_NONBLOCK these make a read return at once with what has arrived.
  line.c_cc[VMIN] = 0;
  line.c_cc[VTIME] = 0;
  const bool speedSet = ::cfsetispeed(&line, code) == 0 && ::cfsetospeed(&line, code) == 0;
  if (const int refused = speedSet ? Apply(fd, line) : EINVAL; refused != 0) {
    // The driver changing what was asked shows as EINVAL: this line cannot run so.
    error = refused == EINVAL ? OpenError{OpenFailure::kBadSpeed, refused} : FailureOf(refused);
    return nullptr;
  }
  return device;
}

OpenError SerialDevice::TryHold(const std::filesystem::path& path) {
  OpenError error;
  const int fd = HoldDevice(path, error);
  if (fd < 0) return error;
  if (::isatty(fd) == 0) error = FailureOf(ENOTTY);
  ::close(fd);
  return error;
}

SerialDevice::~SerialDevice() {
  // Closing a tty waits for its output to drain; a line known to be stalled or gone would
  // hold the shutdown for the driver's closing wait, so its output is thrown away first.
  if (dead_ || stalled_) ::tcflush(fd_, TCOFLUSH);
  // The exclusive mark outlives this descriptor while anyone else holds the tty open.
  ::ioctl(fd_, TIOCNXCL);
  ::close(fd_);
}

bool SerialDevice::PseudoTerminal() const {
  // Linux numbers the far ends of pseudo-terminals under majors 136 to 143.
  constexpr unsigned kFirstPtyMajor = 136;
  constexpr unsigned kLastPtyMajor = 143;
  struct stat info {};
  if (::fstat(fd_, &info) != 0 || !S_ISCHR(info.st_mode)) return false;
  const unsigned major = ::major(info.st_rdev);
  return major >= kFirstPtyMajor && major <= kLastPtyMajor;
}

int SerialDevice::SetFormat(int dataBits, int parityCode, int stopBitsCode) {
  if (dead_) return 1;
  tcflag_t size = 0;
  switch (dataBits) {
    case 5:
      size = CS5;
      break;
    case 6:
      size = CS6;
      break;
    case 7:
      size = CS7;
      break;
    case 8:
      size = CS8;
      break;
    default:
      return 1;
  }
  tcflag_t parity = 0;
  switch (parityCode) {
    case 0:
      parity = 0;
      break;
    case 1:
      parity = PARENB | PARODD;
      break;
    case 2:
      parity = PARENB;
      break;
    case 3:  // mark
      if (kStickParity == 0) return 1;
      parity = PARENB | PARODD | kStickParity;
      break;
    case 4:  // space
      if (kStickParity == 0) return 1;
      parity = PARENB | kStickParity;
      break;
    default:
      return 1;
  }
  termios line{};
  if (::tcgetattr(fd_, &line) != 0) {
    NoteError(errno);
    return 1;
  }
  line.c_cflag &= ~kFormatBits;
  line.c_cflag |= size | parity | (stopBitsCode == 1 ? 0 : CSTOPB);
  const int error = Apply(fd_, line);
  if (error == 0) return 0;
  NoteError(error);
  return 1;
}

int SerialDevice::BytesWaiting() {
  if (dead_) return 0;
  // Besides noticing a hang-up, looking at the line makes the driver hand over input it has
  // received but not yet passed on, so the count below is current.
  Peek(POLLIN);
  if (dead_) return 0;
  int waiting = 0;
  if (::ioctl(fd_, FIONREAD, &waiting) != 0) {
    NoteError(errno);
    return 0;
  }
  return waiting > 0 ? waiting : 0;
}

int SerialDevice::Read(char* buffer, int count) {
  if (dead_ || buffer == nullptr || count <= 0) return 0;
  for (;;) {
    const ssize_t got = ::read(fd_, buffer, static_cast<std::size_t>(count));
    if (got > 0) {
      stalled_ = false;  // the receiver reads its line again
      return static_cast<int>(got);
    }
    if (got < 0 && errno == EINTR) continue;
    if (got < 0)
      NoteError(errno);
    else
      Peek(POLLIN);  // a hung-up tty reads as end of file
    return 0;
  }
}

int SerialDevice::Write(const char* bytes, int count) {
  if (dead_ || bytes == nullptr || count <= 0) return 0;
  using Clock = std::chrono::steady_clock;
  // A line that stalled takes only what fits at once until the receiver speaks again:
  // otherwise every later command would hold the panel up for the whole budget.
  const Clock::time_point deadline = Clock::now() + (stalled_ ? Clock::duration{} : kWriteBudget);
  int written = 0;
  while (written < count) {
    const ssize_t put = ::write(fd_, bytes + written, static_cast<std::size_t>(count - written));
    if (put > 0) {
      written += static_cast<int>(put);
      continue;
    }
    if (put < 0 && errno == EINTR) continue;
    if (put < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
      NoteError(errno);
      break;
    }
    // The driver's buffer is full: wait for room with what is left of the budget.
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) {
      stalled_ = true;
      break;
    }
    pollfd line{fd_, POLLOUT, 0};
    const int ready = ::poll(&line, 1, static_cast<int>(left));
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0) {
      NoteError(errno);
      break;
    }
    if (ready == 0) {
      stalled_ = true;
      break;
    }
    if (line.revents & (POLLHUP | POLLERR | POLLNVAL)) {
      dead_ = true;
      break;
    }
  }
  if (written == count) stalled_ = false;
  return written;
}

bool SerialDevice::WaitForInput(int ms) {
  if (dead_) return false;
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(ms);
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    pollfd line{fd_, POLLIN, 0};
    const int ready = ::poll(&line, 1, left > 0 ? static_cast<int>(left) : 0);
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0) {
      NoteError(errno);
      return false;
    }
    if (ready == 0) return false;
    if (line.revents & POLLIN) return true;
    dead_ = true;  // woken without input: hung up or failed
    return false;
  }
}

void SerialDevice::Peek(short events) {
  pollfd line{fd_, events, 0};
  int ready = 0;
  do {
    ready = ::poll(&line, 1, 0);
  } while (ready < 0 && errno == EINTR);
  if (ready < 0) {
    NoteError(errno);
    return;
  }
  if (line.revents & (POLLHUP | POLLERR | POLLNVAL)) dead_ = true;
}

void SerialDevice::NoteError(int error) {
  // Nothing to wait for, an interrupted call or refused settings leave the line usable;
  // anything else (EIO, ENXIO after a hang-up or an unplugged adapter) does not.
  if (error == EAGAIN || error == EWOULDBLOCK || error == EINTR || error == EINVAL) return;
  dead_ = true;
}

}  // namespace voskel::platform
