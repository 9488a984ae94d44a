#include "link/serial_link.h"

#include <string>
#include <system_error>
#include <utility>

#include "platform/permission_hint.h"

namespace voskel {
namespace {

bool InRange(int n) {
  return n >= 1 && n <= SerialLink::kPortCount;
}

// A refused device's hint is left out: it asks the user database, which an open retried
// every second while the receiver is lost should not, and WhyNotOpen adds it when read.
std::string Explain(const platform::OpenError& error, int speed) {
  std::string why = platform::Describe(error);
  if (error.failure == platform::OpenFailure::kBadSpeed)
    why += " (" + std::to_string(speed) + " baud)";
  return why;
}

// "port 1 (com1 -> /dev/pts/3): ", or the device itself when no link names it.
std::string PortName(int n, const std::filesystem::path& device, bool viaLink,
                     const std::optional<platform::LinkStamp>& stamp) {
  std::string name = viaLink ? device.filename().string() : device.string();
  if (stamp) name += " -> " + stamp->target;
  return "port " + std::to_string(n) + " (" + name + "): ";
}

}  // namespace

SerialLink::SerialLink(std::filesystem::path workDir) : workDir_(std::move(workDir)) {}

std::filesystem::path SerialLink::LinkPath(int n) const {
  return workDir_ / ("com" + std::to_string(n));
}

std::filesystem::path SerialLink::DevicePath(int n) const {
  if (!InRange(n)) return {};
  const std::filesystem::path link = LinkPath(n);
  // A comN that is there at all is the user's choice, even when it points nowhere, and so
  // is one the port was opened through before, even when it has vanished for a moment: the
  // open then fails rather than quietly reaching some other line.
  std::error_code error;
  if (throughLink_[static_cast<std::size_t>(n - 1)] ||
      (std::filesystem::symlink_status(link, error).type() !=
           std::filesystem::file_type::not_found &&
       !error))
    return link;
  return "/dev/ttyS" + std::to_string(n - 1);
}

platform::SerialDevice* SerialLink::Entry(int n) const {
  return InRange(n) ? ports_[static_cast<std::size_t>(n - 1)].get() : nullptr;
}

void SerialLink::Drop(int n) {
  const auto i = static_cast<std::size_t>(n - 1);
  if (!ports_[i]) return;
  ports_[i]->BytesWaiting();  // notices a hang-up not yet seen
  if (ports_[i]->Dead() && openedLink_[i]) goneLink_[i] = openedLink_[i];
  openedLink_[i].reset();
  ports_[i].reset();
}

void SerialLink::DropIfDead(int n) {
  if (platform::SerialDevice* device = Entry(n); device && device->Dead()) Drop(n);
}

int SerialLink::OpenPort(int n, int speed) {
  // An open port stays as it is; the panel closes before it opens.
  if (!InRange(n) || Entry(n)) return 0;
  const auto i = static_cast<std::size_t>(n - 1);
  const std::filesystem::path path = DevicePath(n);
  const bool viaLink = path == LinkPath(n);
  throughLink_[i] = throughLink_[i] || viaLink;
  const std::optional<platform::LinkStamp> stamp = viaLink ? platform::StampOf(path) : std::nullopt;
  std::string& why = whyNotOpen_[i];
  refusedDevice_[i].clear();
  if (goneLink_[i] && stamp == goneLink_[i]) {
    why = PortName(n, path, viaLink, stamp) + "its pseudo-terminal has closed; waiting for com" +
          std::to_string(n) + " to be made again";
    return 0;
  }
  goneLink_[i].reset();
  platform::OpenError error;
  std::unique_ptr<platform::SerialDevice> device =
      platform::SerialDevice::Open(path, speed, &error);
  if (!device) {
    why = PortName(n, path, viaLink, stamp) + Explain(error, speed);
    if (error.failure == platform::OpenFailure::kDenied) refusedDevice_[i] = path;
    return 0;
  }
  why.clear();
  if (stamp && device->PseudoTerminal()) openedLink_[i] = stamp;
  ports_[i] = std::move(device);
  return 1;
}

std::string SerialLink::WhyNotOpen(int n) const {
  if (!InRange(n))
    return "port " + std::to_string(n) + ": no such port (ports are numbered 1 to 256)";
  const auto i = static_cast<std::size_t>(n - 1);
  std::string why = whyNotOpen_[i];
  if (!refusedDevice_[i].empty()) {
    if (const std::string hint = platform::PermissionHint(refusedDevice_[i]); !hint.empty())
      why += "; " + hint;
  }
  return why;
}

int SerialLink::SetPortFormat(int n, int dataBits, int parityCode, int stopBitsCode) {
  platform::SerialDevice* device = Entry(n);
  if (!device) return 0;
  const int refused = device->SetFormat(dataBits, parityCode, stopBitsCode);
  DropIfDead(n);
  return refused;
}

void SerialLink::SetReadMode(int /*n*/, int /*perByteMs*/) {
  // Every read here returns at once with what has arrived, whatever the mode: the panel
  // only ever asks for that (-1), and a read that waited would hold up its only thread.
}

int SerialLink::BytesWaiting(int n) {
  platform::SerialDevice* device = Entry(n);
  if (!device) return 0;
  const int waiting = device->BytesWaiting();
  DropIfDead(n);
  return waiting;
}

int SerialLink::ReadBytes(int n, char* buffer, int count) {
  platform::SerialDevice* device = Entry(n);
  if (!device) return 0;
  const int got = device->Read(buffer, count);
  DropIfDead(n);
  return got;
}

int SerialLink::WriteBytes(int n, const char* bytes, int count) {
  platform::SerialDevice* device = Entry(n);
  if (!device) return 0;
  const int written = device->Write(bytes, count);
  DropIfDead(n);
  return written;
}

void SerialLink::ClosePort(int n) {
  if (Entry(n)) Drop(n);
}

}  // namespace voskel
