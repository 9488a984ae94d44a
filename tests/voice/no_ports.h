#pragma once
#include "platform/serial_ports.h"

namespace voskel::testing {

// No receiver attached: the voice tests never talk to one.
class NoPorts : public platform::SerialPorts {
 public:
  int OpenPort(int, int) override { return 0; }
  int SetPortFormat(int, int, int, int) override { return 1; }
  void SetReadMode(int, int) override {}
  int BytesWaiting(int) override { return 0; }
  int ReadBytes(int, char*, int) override { return 0; }
  int WriteBytes(int, const char*, int) override { return 0; }
  void ClosePort(int) override {}
  bool IsOpen(int) const override { return false; }
};

}  // namespace voskel::testing
