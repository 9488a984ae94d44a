#include "link/receiver_port.h"

namespace voskel {
namespace {

constexpr int kStopBitsTwo = 2;

}  // namespace

void OpenReceiverPort(Panel& panel) {
  const auto& s = panel.state;
  panel.ports.ClosePort(s.PortNumber);
  panel.ports.OpenPort(s.PortNumber, s.BaudRate);
  panel.ports.SetReadMode(s.PortNumber, -1);
  panel.ports.SetPortFormat(s.PortNumber, 8, 0, kStopBitsTwo);
}

}  // namespace voskel
