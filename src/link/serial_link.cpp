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

std::string Explain(const platform::OpenError& error, int speed,
                    const std::filesystem::path& device) {
  std::string why = platform::Describe(error);
  if (error.failure == platform::OpenFailure::kDenied) {
    if (const std::string hint = platform::PermissionHint(device); !hint.empty())
      why += "; " + hint;
  }
  if (error.failure == platform::OpenFailure::kBadSpeed)
    why += " (" + std::to_string(speed) + " baud)";
  return why;
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

std::string SerialLink::DeviceName(int n) const {
  const std::filesystem::path path = DevicePath(n);
  if (path != LinkPath(n)) return path.string();
  std::error_code error;
  const std::filesystem::path target = std::filesystem::read_symlink(path, error);
  return path.filename().string() + (error ? "" : " -> " + target.string());
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
  const std::string name = "port " + std::to_string(n) + " (" + DeviceName(n) + "): ";
  if (goneLink_[i] && stamp == goneLink_[i]) {
    why = name + "its pseudo-terminal has closed; waiting for com" + std::to_string(n) +
          " to be made again";
    return 0;
  }
  goneLink_[i].reset();
  platform::OpenError error;
  std::unique_ptr<platform::SerialDevice> device =
      platform::SerialDevice::Open(path, speed, &error);
  if (!device) {
    why = name + Explain(error, speed, path);
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
  return whyNotOpen_[static_cast<std::size_t>(n - 1)];
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
