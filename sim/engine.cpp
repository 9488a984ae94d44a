#include "engine.h"

#include <algorithm>
#include <cstdio>

#include "number_forms.h"

namespace voskel::sim {
namespace {

// While halted the engine looks at the signal this often, so that a signal that goes
// is noticed and the resume delay counts from then.
constexpr std::int64_t kHaltWatchMs = 10;

std::string_view Trim(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

std::string Printable(std::string_view text) {
  std::string shown;
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 32 && u < 127) {
      shown += c;
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "<%02X>", u);
      shown += hex;
    }
  }
  return shown;
}

std::string Flag(bool on) {
  return on ? "1" : "0";
}

}  // namespace

Engine::Engine(SignalList signals, MemoryBanks memory)
    : signals_(std::move(signals)), memory_(std::move(memory)) {}

// ---- Bytes in and out ----

void Engine::SetSilent(bool silent) {
  if (silent == silent_) return;
  silent_ = silent;
  Trace("! ", silent ? "switched off" : "switched on");
  // What was on its way when the power went is gone, half a command included.
  framer_ = LineFramer();
  delayed_.clear();
  output_.clear();
}

void Engine::Input(std::string_view bytes) {
  if (silent_) return;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (sizing_) {
      Hold(bytes.substr(i));
      return;
    }
    switch (framer_.Push(bytes[i])) {
      case LineFramer::Event::kNone:
        break;
      case LineFramer::Event::kLine:
        HandleLine(framer_.Line());
        break;
      case LineFramer::Event::kTooLong:
        Trace("> ", "(line over 255 characters)");
        Reply("?");
        break;
      case LineFramer::Event::kKeypad:
        HandleKeypad(framer_.Keypad());
        break;
      case LineFramer::Event::kKeypadAck:
        Reply("");
        break;
    }
  }
}

void Engine::Hold(std::string_view bytes) {
  for (char byte : bytes) {
    const bool lineEnd = byte == '\r' || byte == '\n';
    if (droppingHeld_) {
      droppingHeld_ = !lineEnd;
      continue;
    }
    if (heldInput_.size() >= kMaxHeldInput) {
      // Keep whole commands only: cut back to the last line end and drop the rest of
      // the line under way.
      const auto end = heldInput_.find_last_of("\r\n");
      heldInput_.erase(end == std::string::npos ? 0 : end + 1);
      droppingHeld_ = !lineEnd;
      continue;
    }
    heldInput_ += byte;
  }
}

std::string Engine::TakeOutput() {
  std::string taken;
  taken.swap(output_);
  return taken;
}

namespace {

// Nobody is reading: the oldest whole lines go.
void KeepBounded(std::string& output) {
  if (output.size() <= Engine::kMaxOutput) return;
  const std::size_t excess = output.size() - Engine::kMaxOutput;
  const std::size_t lineEnd = output.find('\n', excess);
  output.erase(0, lineEnd == std::string::npos ? output.size() : lineEnd + 1);
}

}  // namespace

void Engine::Reply(std::string_view text) {
  std::string line(text);
  const Faults::Fate fate = faults_.OnReply(line);
  if (fate == Faults::Fate::kDropped) {
    Trace("! dropped ", line);
    return;
  }
  Trace(fate == Faults::Fate::kDelayed ? "! delayed " : "< ", line);
  line += "\r\n";
  // A line that is late holds back every line behind it, as on a serial line.
  if (fate == Faults::Fate::kDelayed && delayed_.empty())
    delayedUntilMs_ = nowMs_ + faults_.Plan().delayMs;
  std::string& to = delayed_.empty() && fate == Faults::Fate::kSent ? output_ : delayed_;
  to += line;
  KeepBounded(to);
}

void Engine::ReleaseDelayed() {
  output_ += delayed_;
  delayed_.clear();
  KeepBounded(output_);
}

void Engine::Trace(std::string_view direction, std::string_view text) {
  if (trace_) trace_(std::string(direction) + Printable(text));
}

// ---- Commands ----

void Engine::HandleLine(std::string line) {
  const std::string sent = line;
  faults_.GarbleCommand(line);
  if (line != sent) Trace("! garbled ", sent);
  Trace("> ", line);
  if (faults_.Refuses(line)) {
    Trace("! ", "refused");
    Reply("?");
    return;
  }
  if (line.size() < 2) {
    Reply("?");
    return;
  }
  Carry(std::string_view(line).substr(0, 2), std::string_view(line).substr(2));
}

void Engine::Carry(std::string_view key, std::string_view raw) {
  const std::string_view arg = Trim(raw);
  if (key == "LM" && arg.empty()) {
    if (activity_ == Activity::kScan && halted_) Reply(Report(current_));
    Reply(LevelLine());
  } else if (key == "RX" && arg.empty()) {
    Reply(StateLine());
  } else if (key == "VA" || key == "VB") {
    SetFrequency(key[1], arg);
  } else if (key == "RF") {
    if (arg.empty()) {
      Reply("RF" + FrequencyDigits(FrequencyHz()));
    } else {
      SetFrequency(activity_ == Activity::kVfoB ? 'B' : 'A', arg);
    }
  } else if (key == "ST") {
    SetOrQueryStep(arg);
  } else if (key == "MD") {
    SetOrQueryMode(arg);
  } else if (key == "AU") {
    SetOrQueryFlag("AU", arg, autoMode_);
  } else if (key == "AT") {
    if (arg.empty()) {
      Reply(std::string("AT ") + Flag(attenuator_));
    } else {
      SetOrQueryFlag("AT", arg, attenuator_);
    }
  } else if (key == "NL") {
    SetOrQueryFlag("NL", arg, noiseLimiter_);
  } else if (key == "LC" && !arg.empty()) {
    SetOrQueryFlag("LC", arg, levelWithChannel_);
  } else if (key == "VS" && arg.empty()) {
    StartSearch();
    Reply(StateLine());
  } else if (key == "MS") {
    MemoryScan(arg);
  } else if (key == "MR") {
    MemoryRecall(arg);
  } else if (key == "MP") {
    MemoryPass(arg);
  } else if (key == "MX") {
    MemoryWrite(raw);
  } else if (key == "MA") {
    MemoryList(arg);
  } else if (key == "MW") {
    BankSize(arg);
  } else if (key == "MQ") {
    BankClear(arg);
  } else if (key == "EX" && arg.empty()) {
    // Remote control ends; the receiver keeps running and answers the next command.
  } else if (key == "VR" && arg.empty()) {
    Reply(kVersion);
  } else {
    Reply("?");
  }
}

void Engine::SetOrQueryStep(std::string_view arg) {
  if (arg.empty()) {
    Reply("ST" + StepDigits(stepHz_));
  } else if (const auto step = ParseStep(arg)) {
    stepHz_ = *step;
    Reply("");
  } else {
    Reply("?");
  }
}

void Engine::SetOrQueryMode(std::string_view arg) {
  if (arg.empty()) {
    Reply("MD" + std::to_string(mode_));
  } else if (const auto mode = ParseDigit(arg, kModeCount - 1)) {
    mode_ = *mode;
    Reply("");
  } else {
    Reply("?");
  }
}

void Engine::SetOrQueryFlag(std::string_view key, std::string_view arg, bool& flag) {
  if (arg.empty()) {
    Reply(std::string(key) + Flag(flag));
  } else if (const auto value = ParseDigit(arg, 1)) {
    flag = *value == 1;
    Reply("");
  } else {
    Reply("?");
  }
}

void Engine::SetFrequency(char vfo, std::string_view arg) {
  if (!arg.empty()) {
    const auto hz = ParseFrequency(arg);
    if (!hz) {
      Reply("?");
      return;
    }
    (vfo == 'A' ? vfoAHz_ : vfoBHz_) = *hz;
    // Setting VFO B is how a search's upper limit is given: it leaves a search alone.
    if (vfo == 'B') {
      Reply("");
      return;
    }
  }
  SelectVfo(vfo == 'A' ? Activity::kVfoA : Activity::kVfoB);
  Reply("");
}

void Engine::SelectVfo(Activity vfo) {
  activity_ = vfo;
  halted_ = false;
  quietSinceMs_.reset();
}

// ---- State lines ----

std::int64_t Engine::FrequencyHz() const {
  switch (activity_) {
    case Activity::kVfoA:
      return vfoAHz_;
    case Activity::kVfoB:
      return vfoBHz_;
    default:
      return tunedHz_;
  }
}

int Engine::Level() const {
  return signals_.LevelAt(FrequencyHz(), nowMs_, attenuator_);
}

std::string Engine::LevelLine() const {
  const int level = std::clamp(Level(), 0, 255);
  char text[16];
  std::snprintf(text, sizeof text, "LM%c%03d", level >= kSquelchLevel ? ' ' : '%', level);
  return text;
}

std::string Engine::Report(ChannelRef ref) const {
  return ChannelReport(ref.bank, ref.number, ChannelAt(ref));
}

std::string Engine::StateLine() const {
  std::string settings = " ST" + StepDigits(stepHz_) + " AU" + Flag(autoMode_) + " MD" +
                         std::to_string(mode_) + " AT" + Flag(attenuator_);
  switch (activity_) {
    case Activity::kVfoA:
      return "VA RF" + FrequencyDigits(vfoAHz_) + settings;
    case Activity::kVfoB:
      return "VB RF" + FrequencyDigits(vfoBHz_) + settings;
    case Activity::kSearch:
      return "VS RF" + FrequencyDigits(tunedHz_) + settings;
    case Activity::kScan:
    case Activity::kMemory: {
      std::string line = (activity_ == Activity::kScan ? "MS " : "MR ") + Report(current_);
      // On an empty channel the receiver still listens somewhere; say where, so that a
      // program looking for RF in the state line finds it.
      if (!ChannelAt(current_).stored) line += " RF" + FrequencyDigits(tunedHz_) + settings;
      return line;
    }
  }
  return "?";
}

// ---- Search ----

void Engine::StartSearch() {
  activity_ = Activity::kSearch;
  searchFromHz_ = vfoAHz_;
  searchToHz_ = vfoBHz_;
  searchStepHz_ = stepHz_;
  tunedHz_ = searchFromHz_;
  halted_ = false;
  CheckHalt();
  nextMoveMs_ = nowMs_ + kSearchStepMs;
}

void Engine::StepSearch() {
  // From VFO A towards VFO B, then round again from VFO A.
  if (searchFromHz_ <= searchToHz_) {
    tunedHz_ += searchStepHz_;
    if (tunedHz_ > searchToHz_) tunedHz_ = searchFromHz_;
  } else {
    tunedHz_ -= searchStepHz_;
    if (tunedHz_ < searchToHz_) tunedHz_ = searchFromHz_;
  }
}

// ---- Memory scan ----

bool Engine::Scannable(ChannelRef ref) const {
  const Channel& channel = ChannelAt(ref);
  return Usable(ref) && channel.stored && !channel.passed;
}

std::optional<ChannelRef> Engine::NextScanChannel(const std::vector<int>& banks,
                                                  bool fromStart) const {
  std::vector<ChannelRef> order;
  for (int bank : banks) {
    for (int number = 0; number < memory_.banks[bank].size; ++number) {
      order.push_back({bank, number});
    }
  }
  if (order.empty()) return std::nullopt;
  std::size_t start = 0;
  if (!fromStart) {
    const auto here = std::find(order.begin(), order.end(), current_);
    if (here != order.end()) start = static_cast<std::size_t>(here - order.begin()) + 1;
  }
  for (std::size_t k = 0; k < order.size(); ++k) {
    const ChannelRef ref = order[(start + k) % order.size()];
    if (Scannable(ref)) return ref;
  }
  return std::nullopt;
}

bool Engine::StartScan(const std::vector<int>& banks, bool fromStart) {
  const auto first = NextScanChannel(banks, fromStart);
  if (!first) return false;
  scanBanks_ = banks;
  EnterChannel(*first);
  activity_ = Activity::kScan;
  halted_ = false;
  CheckHalt();
  nextMoveMs_ = nowMs_ + kScanStepMs;
  return true;
}

void Engine::StepScan() {
  // With nothing left to visit the scan rests where it is.
  if (const auto next = NextScanChannel(scanBanks_, false)) EnterChannel(*next);
}

void Engine::EnterChannel(ChannelRef ref) {
  current_ = ref;
  const Channel& channel = ChannelAt(ref);
  if (!channel.stored) return;
  tunedHz_ = channel.hz;
  stepHz_ = channel.stepHz;
  mode_ = channel.mode;
  attenuator_ = channel.attenuator;
}

// ---- Time ----

void Engine::CheckHalt() {
  const bool onChannel =
      activity_ == Activity::kSearch || (activity_ == Activity::kScan && Scannable(current_));
  if (onChannel && SquelchOpen()) {
    halted_ = true;
    quietSinceMs_.reset();
  }
}

void Engine::MoveOn() {
  if (activity_ == Activity::kSearch) {
    StepSearch();
  } else if (activity_ == Activity::kScan) {
    StepScan();
  } else {
    return;
  }
  halted_ = false;
  quietSinceMs_.reset();
  CheckHalt();
  nextMoveMs_ = nowMs_ + (activity_ == Activity::kSearch ? kSearchStepMs : kScanStepMs);
}

void Engine::Advance(std::int64_t ms) {
  if (ms <= 0) return;
  const std::int64_t target = nowMs_ + ms;
  if (silent_) {
    // Switched off: nothing moves until it is on again.
    nowMs_ = target;
    return;
  }
  while (nowMs_ < target) {
    std::int64_t next = target;
    if (!delayed_.empty()) next = std::min(next, delayedUntilMs_);
    if (sizing_) next = std::min(next, sizingDoneMs_);
    if (activity_ == Activity::kSearch || activity_ == Activity::kScan) {
      if (!halted_) {
        next = std::min(next, nextMoveMs_);
      } else {
        next = std::min(next, nowMs_ + kHaltWatchMs);
        if (quietSinceMs_) next = std::min(next, *quietSinceMs_ + kResumeAfterMs);
      }
    }
    nowMs_ = std::max(next, nowMs_ + 1);
    RunDue();
  }
}

void Engine::RunDue() {
  if (!delayed_.empty() && nowMs_ >= delayedUntilMs_) ReleaseDelayed();
  if (sizing_ && nowMs_ >= sizingDoneMs_) FinishBankSize();
  if (activity_ != Activity::kSearch && activity_ != Activity::kScan) return;
  if (halted_) {
    if (SquelchOpen()) {
      quietSinceMs_.reset();
    } else if (!quietSinceMs_) {
      quietSinceMs_ = nowMs_;
    } else if (nowMs_ - *quietSinceMs_ >= kResumeAfterMs) {
      MoveOn();
    }
  } else if (nowMs_ >= nextMoveMs_) {
    MoveOn();
  }
}

// ---- Keypad bytes ----

void Engine::HandleKeypad(char byte) {
  Trace("> ", std::string(1, byte));
  if (activity_ == Activity::kSearch || activity_ == Activity::kScan) {
    MoveOn();
    return;
  }
  // 0x1E is the panel's "move on" and means nothing outside a search or scan; the
  // others tune like the receiver's arrow keys.
  if (byte == 0x1E) return;
  TuneByKeypad(byte == 0x1C ? 1 : -1);
}

void Engine::TuneByKeypad(int direction) {
  if (activity_ == Activity::kMemory) {
    const int size = memory_.banks[current_.bank].size;
    EnterChannel({current_.bank, (current_.number + direction + size) % size});
    return;
  }
  std::int64_t& hz = activity_ == Activity::kVfoB ? vfoBHz_ : vfoAHz_;
  hz = std::clamp(hz + direction * stepHz_, kMinFrequencyHz, kMaxFrequencyHz);
}

}  // namespace voskel::sim
