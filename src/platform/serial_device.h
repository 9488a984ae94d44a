#pragma once
// One open serial line (a tty) over termios. Nothing here ever waits without bound: reads
// return what has arrived, writes give up on a stalled line after about a second.
#include <filesystem>
#include <memory>
#include <string>

namespace voskel::platform {

// Why a device did not open, in terms a user can act on.
enum class OpenFailure { kNone, kMissing, kDenied, kHeld, kNotSerial, kBadSpeed, kOther };

struct OpenError {
  OpenFailure failure = OpenFailure::kNone;
  int code = 0;  // the errno behind it, 0 when there is none
};

// A few words for a person: "the device is missing", "held by another program", ...
std::string Describe(const OpenError& error);

class SerialDevice {
 public:
  // Opens an existing tty for reading and writing, held exclusively against other programs
  // (TIOCEXCL and a non-blocking flock), raw, at the speed with 8 data bits, no parity and
  // one stop bit, modem lines ignored. Null when the device is missing, held elsewhere, not
  // a tty, or the speed is not one termios can set; then nothing stays open and why says
  // which.
  static std::unique_ptr<SerialDevice> Open(const std::filesystem::path& path, int speed,
                                            OpenError* why = nullptr);
  // Whether Open could take the device now: takes and drops the same exclusive hold,
  // leaving the line's settings alone.
  static OpenError TryHold(const std::filesystem::path& path);

  SerialDevice(const SerialDevice&) = delete;
  SerialDevice& operator=(const SerialDevice&) = delete;
  ~SerialDevice();

  // dataBits 5..8; parityCode 0 none, 1 odd, 2 even, 3 mark, 4 space; stopBitsCode 1 gives
  // one stop bit, any other two. 0 when the line took the settings, 1 when refused.
  int SetFormat(int dataBits, int parityCode, int stopBitsCode);

  // Bytes received and not yet read. The tty driver holds no error state to clear: with
  // parity marking off, line errors never reach a reader, so there is nothing to reset.
  int BytesWaiting();
  // At most count bytes of what has arrived; 0 at once when nothing has.
  int Read(char* buffer, int count);
  // Writes all bytes unless the line stalls for about a second in all; then the rest is
  // dropped. After a stall, writes take only what fits at once until bytes arrive again.
  // Returns the number written.
  int Write(const char* bytes, int count);
  // Waits at most ms for bytes to arrive; true when some are waiting. For programs that
  // ask one question and wait for its answer; the panel never waits on the line.
  bool WaitForInput(int ms);

  // True once the line hung up or failed: the device is of no further use.
  bool Dead() const { return dead_; }
  // True for the far end of a pseudo-terminal (what socat or the simulator make): once it
  // hangs up, that terminal is gone for good and its name may be given to another.
  bool PseudoTerminal() const;

 private:
  explicit SerialDevice(int fd) : fd_(fd) {}
  // Looks at the line without waiting; marks the device dead on a hang-up.
  void Peek(short events);
  void NoteError(int error);

  int fd_;
  bool dead_ = false;
  bool stalled_ = false;  // the last write gave up with bytes left over
};

}  // namespace voskel::platform
