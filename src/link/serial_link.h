#pragma once
// The panel's serial ports by number: a table of 256 entries, each empty or holding one
// open device. Port n is the device the symlink comN in the working directory points to,
// else /dev/ttyS{n-1}.
#include <array>
#include <filesystem>
#include <memory>
#include <string>

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
  platform::SerialDevice* Entry(int n) const;
  // Empties the entry of a device that hung up, so the port behaves as one never opened.
  void DropIfDead(int n);
  // "com1 -> /dev/ttyUSB0", or the device itself when no link names it.
  std::string DeviceName(int n) const;

  std::filesystem::path workDir_;
  std::array<std::unique_ptr<platform::SerialDevice>, kPortCount> ports_;
  std::array<std::string, kPortCount> whyNotOpen_;
};

}  // namespace voskel
