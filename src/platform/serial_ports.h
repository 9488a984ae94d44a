#pragma once
#include <string>

namespace voskel::platform {

// Serial ports addressed by number 1..256. Any operation on a number outside that range,
// or on a port that is not open, does nothing and returns 0.
class SerialPorts {
 public:
  virtual ~SerialPorts() = default;
  // Opens port n exclusively at the speed, 8N1. 1 on success, 0 on failure.
  virtual int OpenPort(int n, int speed) = 0;
  // stopBitsCode 1 gives one stop bit, any other code two. 0, or 1 when refused.
  virtual int SetPortFormat(int n, int dataBits, int parityCode, int stopBitsCode) = 0;
  // perByteMs -1: reads return at once with what has arrived.
  virtual void SetReadMode(int n, int perByteMs) = 0;
  // Bytes received and not yet read; clears the line's error state.
  virtual int BytesWaiting(int n) = 0;
  // Copies at most count waiting bytes; never waits. Returns the number copied.
  virtual int ReadBytes(int n, char* buffer, int count) = 0;
  // Sends the bytes as they are. Returns the number written.
  virtual int WriteBytes(int n, const char* bytes, int count) = 0;
  virtual void ClosePort(int n) = 0;
  // True while port n holds an open device (a hang-up empties it).
  virtual bool IsOpen(int n) const = 0;
  // Why the last OpenPort of n failed, naming the device, for a person; empty when the
  // port is open or was never tried.
  virtual std::string WhyNotOpen(int /*n*/) const { return {}; }
};

}  // namespace voskel::platform
