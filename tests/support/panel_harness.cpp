#include "support/panel_harness.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "app/startup.h"
#include "panel/pen.h"
#include "keys/poll_cycle.h"
#include "platform/virtual_keys.h"

namespace voskel::testing {

// Counts what the panel writes, so that the harness knows how many bytes must still
// come out at the other end of the pseudo-terminal.
class PanelHarness::CountingPorts : public platform::SerialPorts {
 public:
  CountingPorts(platform::SerialPorts& real, std::int64_t& sent) : real_(real), sent_(sent) {}
  int OpenPort(int n, int speed) override { return real_.OpenPort(n, speed); }
  int SetPortFormat(int n, int d, int p, int s) override { return real_.SetPortFormat(n, d, p, s); }
  void SetReadMode(int n, int m) override { real_.SetReadMode(n, m); }
  int BytesWaiting(int n) override { return real_.BytesWaiting(n); }
  int ReadBytes(int n, char* b, int c) override { return real_.ReadBytes(n, b, c); }
  int WriteBytes(int n, const char* b, int c) override {
    const int written = real_.WriteBytes(n, b, c);
    sent_ += written;
    return written;
  }
  void ClosePort(int n) override { real_.ClosePort(n); }
  bool IsOpen(int n) const override { return real_.IsOpen(n); }
  std::string WhyNotOpen(int n) const override { return real_.WhyNotOpen(n); }

 private:
  platform::SerialPorts& real_;
  std::int64_t& sent_;
};

std::vector<int> KeysOf(std::string_view text) {
  std::vector<int> codes;
  for (char c : text) {
    if (c == '.')
      codes.push_back(keys::kFullStop);
    else if (c == '\r')
      codes.push_back(keys::kEnter);
    else if (c >= 'a' && c <= 'z')
      codes.push_back(c - 'a' + 'A');
    else
      codes.push_back(static_cast<unsigned char>(c));
  }
  return codes;
}

std::string TakenAnswers(std::string_view fromPanel, std::vector<std::string_view> scripted) {
  std::string answers;
  for (std::size_t at = 0, end; (end = fromPanel.find('\r', at)) != std::string_view::npos;
       at = end + 1) {
    const std::string_view command = fromPanel.substr(at, end - at);
    if (std::find(scripted.begin(), scripted.end(), command.substr(0, 2)) == scripted.end())
      answers += "\r\n";
  }
  return answers;
}

namespace {

// A pseudo-terminal whose master end is returned; its slave's name goes to slaveName.
int OpenReceiverEnd(std::string& slaveName) {
  int master = -1;
  int slave = -1;
  if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
    throw std::runtime_error("openpty failed");
  ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
  termios raw{};
  ::tcgetattr(master, &raw);
  ::cfmakeraw(&raw);
  ::tcsetattr(master, TCSANOW, &raw);
  slaveName = ::ttyname(slave);
  // The panel opens the device itself; keeping the slave open here would hide hang-ups.
  ::close(slave);
  return master;
}

}  // namespace

PanelHarness::PanelHarness(HarnessOptions options) : dir_(temp_.Path()) {
  std::string slaveName;
  master_ = OpenReceiverEnd(slaveName);
  // Without a receiver the link leads nowhere, so the port cannot open.
  std::filesystem::create_symlink(options.connectPort ? slaveName : (dir_ / "unplugged").string(),
                                  dir_ / "com1");
  if (options.writeConfig) {
    std::ostringstream cfg;
    cfg << "PORTCOM1\r\nSPEED:9600\r\nFLOW:0\r\nVOICE:" << options.voiceSwitch
        << "\r\nDEBUG:" << options.debugSwitch << "\r\n";
    WriteFile("VOSKEL.CFG", cfg.str());
  }
  options_ = options;
  MakePanel();
  clock.onSleep = [this](std::int64_t) { Pump(); };
  window.onWait = [this] {
    clock.now += 100;
    Pump();
  };
}

void PanelHarness::MakePanel() {
  ports = std::make_unique<SerialLink>(dir_);
  counting_ = std::make_unique<CountingPorts>(*ports, sentByPanel_);
  panel = std::make_unique<Panel>(window, sound, options_.speech ? *options_.speech : speech,
                                  *counting_, clock, dir_,
                                  options_.braille ? *options_.braille : braille, transcript);
  panel->openSpeechServer = options_.openSpeechServer;
}

bool PanelHarness::Restart() {
  // As the system does when a process dies: its port closes, nothing else is written.
  panel.reset();
  ports.reset();
  Pump();
  MakePanel();
  return Begin();
}

PanelHarness::~PanelHarness() {
  panel.reset();
  ports.reset();
  if (master_ >= 0) ::close(master_);
}

bool PanelHarness::Begin() {
  OpenPanel(*panel);
  if (!BeginRun(*panel)) return false;
  panel->state.RunFlag = true;  // as the event loop does when it starts
  return true;
}

void PanelHarness::Press(int key) {
  OnPanelEvent(*panel, {platform::Event::Kind::KeyDown, key});
  OnPanelEvent(*panel, {platform::Event::Kind::KeyUp, key});
}

void PanelHarness::Type(std::string_view keys) {
  for (int key : KeysOf(keys)) Press(key);
}

void PanelHarness::Tick(int count) {
  for (int i = 0; i < count; ++i) {
    clock.now += 100;
    Pump();
    OnPanelEvent(*panel, {platform::Event::Kind::Timer, 0});
    Pump();
  }
}

void PanelHarness::Settle(int maxTicks) {
  for (int i = 0; i < maxTicks; ++i) {
    if (panel->state.KeyCount == 0 && panel->state.PollState == PollState::kIdle) return;
    Tick();
  }
  throw std::runtime_error("the panel did not settle");
}

int PanelHarness::Close() {
  OnPanelEvent(*panel, {platform::Event::Kind::Close, 0});
  return Finish();
}

int PanelHarness::Finish() {
  const int code = ShutDown(*panel);
  Pump();
  return code;
}

void PanelHarness::Pump() {
  if (master_ < 0) return;
  // Bytes written to a pseudo-terminal reach the other end a moment later; wait (with a
  // deadline) until everything the panel wrote has come out.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  std::string fresh;
  char buffer[4096];
  for (;;) {
    const ssize_t n = ::read(master_, buffer, sizeof buffer);
    if (n > 0) {
      fresh.append(buffer, static_cast<std::size_t>(n));
      seenOnWire_ += n;
      continue;
    }
    if (seenOnWire_ >= sentByPanel_ || std::chrono::steady_clock::now() > deadline) break;
    pollfd pfd{master_, POLLIN, 0};
    ::poll(&pfd, 1, 5);
  }
  wire_ += fresh;
  if (peer) {
    const std::string answer = peer(fresh, clock.now);
    if (!answer.empty()) Inject(answer);
  }
}

void PanelHarness::Unplug() {
  Pump();
  ::close(master_);
  master_ = -1;
  // As the device node of an unplugged adapter, the link leads nowhere: the pseudo-terminal's
  // name is free for the next one opened on this machine, another test's perhaps, which the
  // panel's attempts to reconnect must not reach.
  std::filesystem::remove(dir_ / "com1");
  std::filesystem::create_symlink(dir_ / "unplugged", dir_ / "com1");
}

void PanelHarness::Replug() {
  if (master_ >= 0) Unplug();
  std::string slaveName;
  master_ = OpenReceiverEnd(slaveName);
  std::filesystem::remove(dir_ / "com1");
  std::filesystem::create_symlink(slaveName, dir_ / "com1");
  seenOnWire_ = sentByPanel_;
}

void PanelHarness::Inject(std::string_view bytes) {
  // Between a panel's end and the next one's start its port is closed: what the receiver
  // sends meanwhile (a reply it delayed) is lost.
  if (master_ < 0 || bytes.empty() || !ports) return;
  const int before = ports->BytesWaiting(1);
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  if (!ports->IsOpen(1)) return;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (ports->BytesWaiting(1) < before + static_cast<int>(done) &&
         std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::microseconds(200));
}

std::vector<std::string> PanelHarness::Commands() {
  Pump();
  std::vector<std::string> commands;
  std::string current;
  for (char c : wire_) {
    if (c == '\r') {
      commands.push_back(current);
      current.clear();
    } else if (c == 30) {
      if (!current.empty()) commands.push_back(current);
      commands.push_back("\x1e");
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) commands.push_back(current);
  return commands;
}

std::vector<std::string> PanelHarness::CommandsWithoutPolls() {
  std::vector<std::string> commands = Commands();
  std::erase(commands, "LM");
  return commands;
}

std::string PanelHarness::ReadFile(const std::string& name) const {
  return ReadWholeFile(dir_ / name);
}

void PanelHarness::WriteFile(const std::string& name, std::string_view contents) const {
  std::ofstream out(dir_ / name, std::ios::binary | std::ios::trunc);
  out << contents;
}

bool PanelHarness::FileExists(const std::string& name) const {
  return std::filesystem::exists(dir_ / name);
}

}  // namespace voskel::testing
