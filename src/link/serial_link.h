#pragma once
// The panel's serial ports by number: a table of 256 entries, each empty or holding one
// open device. Port n is the device the symlink comN in the working directory points to,
// else /dev/ttyS{n-1}; once a port was opened through comN it stays comN, so a link that
// vanishes for a moment is waited for rather than replaced by another line.
#include <array>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "platform/link_stamp.h"
#include "platform/serial_device.h"
#include "platform/serial_ports.h"

namespace voskel {

class SerialLink : public platform::SerialPorts {
 public:
  static constexpr int kPortCount = 256;

  explicit SerialLink(std::filesystem::path workDir);

  int OpenPort(int n, int speed) override;
  int SetPortFormat(int n, int dataBits, int parityCode, int stopBitsCode) override;
  void SetReadMode(int n, int perByteMs) override;
  int BytesWaiting(int n) override;
  int ReadBytes(int n, char* buffer, int count) override;
  int WriteBytes(int n, const char* bytes, int count) override;
  void ClosePort(int n) override;
  std::string WhyNotOpen(int n) const override;

  // The device port n stands for; empty for a number outside 1..256.
  std::filesystem::path DevicePath(int n) const;
  bool IsOpen(int n) const override { return Entry(n) != nullptr; }

 private:
  std::filesystem::path LinkPath(int n) const;
  platform::SerialDevice* Entry(int n) const;
  // Empties the entry, so the port behaves as one never opened, remembering a
  // pseudo-terminal that hung up.
  void Drop(int n);
  void DropIfDead(int n);

  std::filesystem::path workDir_;
  std::array<std::unique_ptr<platform::SerialDevice>, kPortCount> ports_;
  std::array<std::string, kPortCount> whyNotOpen_;
  // The device of a port refused to this user, for the hint WhyNotOpen adds.
  std::array<std::filesystem::path, kPortCount> refusedDevice_;
  // comN was there when the port was opened: from then on the port is comN alone.
  std::array<bool, kPortCount> throughLink_{};
  // The comN link as it was when a pseudo-terminal was opened through it.
  std::array<std::optional<platform::LinkStamp>, kPortCount> openedLink_;
  // A comN whose pseudo-terminal hung up. Left as it was, it leads to a terminal number
  // the system may since have given to another program; only a link made again (by the
  // simulator or socat starting anew) leads to the receiver.
  std::array<std::optional<platform::LinkStamp>, kPortCount> goneLink_;
};

}  // namespace voskel
