#include "trust/trust_run.h"

#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <vector>

#include "banks/bank_lines.h"
#include "platform/network.h"
#include "platform/virtual_keys.h"
#include "receiver/frequency_text.h"
#include "remote/rigctl_server.h"
#include "support/panel_harness.h"
#include "support/sim_peer.h"
#include "voice/message.h"

namespace voskel::trust {
namespace {

using Words = std::vector<std::string>;

// How long the promise may take: a key is taken within kKeyTicks, a receiver that stops
// answering is told within kLostTicks, a network read answered within kReadTicks, a
// passed channel released within kReleaseTicks of free time after its scan, and the meter
// is asked at least every kPollTicks while nothing else is going on.
constexpr int kKeyTicks = 600;
constexpr int kLostTicks = 40;
constexpr int kReadTicks = 3;
constexpr int kReleaseTicks = 100;
constexpr int kPollTicks = 15;

std::size_t gKeysPlayed = 0;

// The keys that move the receiver away: they end a typed frequency, saying "cancel".
bool MovesFrequency(int key) {
  return key == keys::kUp || key == keys::kDown || key == keys::kLeft || key == keys::kRight ||
         key == keys::kPageUp || key == keys::kPageDown || key == 'B' || key == 'G' || key == 'R';
}

// The working folder a listener has after some weeks: banks of channels, one without
// channels, and a stored state that is not the defaults.
void Furnish(testing::PanelHarness& h) {
  const auto bank = [](const char* title, const char* mode, const Words& channels) {
    std::string text = std::string(title) + "\r\n" + mode + "\r\n12.5\r\n \r\n";
    for (const std::string& channel : channels) text += channel + "\r\n";
    return text + "9999\r\n";
  };
  h.WriteFile("bank00.dat", "*** Voskel V 4.1a ***\r\nAM\r\n145.6\r\n144\r\n147\r\n25\r\n9999\r\n");
  h.WriteFile("bank01.dat", bank("Repeaters", "FM", {"145.5", "GB3XX", "145.6", "CHAT",
                                                    "145.725", "RELAY", "145.775", "LINK"}));
  h.WriteFile("bank02.dat", bank("Air", "AM", {"118.7", "ATIS", "119.1", "TOWER"}));
  h.WriteFile("bank03.dat", bank("Empty", "FM", {}));
  h.WriteFile("bank10.dat", bank("Mixed", "FM", {"145.6", "", "433.5", "UHF", "88.6", "BBC"}));
}

sim::MemoryBanks ReceiverMemory() {
  sim::MemoryBanks memory;
  const std::pair<double, const char*> channels[] = {
      {145.5, "GB3XX"}, {145.6, "CHAT"}, {145.725, "RELAY"}, {145.775, "LINK"}, {146.0, "QUIET"}};
  for (int bank = 0; bank < 3; ++bank) {
    memory.banks[bank].size = bank == 0 ? 50 : 90;
    for (int i = 0; i < 5 - bank; ++i) {
      sim::Channel& c = memory.banks[bank].channels[i];
      c.stored = true;
      c.hz = static_cast<std::int64_t>(channels[i].first * 1e6 + 0.5);
      c.tag = sim::FitTag(channels[i].second);
    }
  }
  return memory;
}

Words Split(const std::string& line) {
  Words words;
  std::istringstream in(line);
  for (std::string word; in >> word;) words.push_back(word);
  if (!words.empty()) words.erase(words.begin());  // the time
  return words;
}

std::string Join(const Words& words) {
  std::string text;
  for (const std::string& word : words) text += (text.empty() ? "" : " ") + word;
  return text;
}

bool Has(const Words& words, std::string_view word) {
  return std::find(words.begin(), words.end(), word) != words.end();
}

std::string Trimmed(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

std::string Mhz(std::int64_t hz) {
  return HzToMhzText(hz) + " MHz";
}

// The panel's network port, with one client that is always the checker.
class LoopNetwork : public platform::Network {
 public:
  int Listen(const std::string&, int) override { return 0; }
  int ListeningPort() const override { return 4532; }
  int Accept() override { return std::exchange(waiting_, -1); }
  int Receive(int, char* buffer, int size) override {
    const int n = std::min(size, static_cast<int>(toPanel.size()));
    std::copy_n(toPanel.begin(), n, buffer);
    toPanel.erase(0, static_cast<std::size_t>(n));
    return n;
  }
  int Send(int, const char* bytes, int size) override {
    fromPanel.append(bytes, static_cast<std::size_t>(size));
    return size;
  }
  void Close(int) override { waiting_ = 7; }  // the client connects again at once
  bool Wait(const std::vector<int>&, const std::vector<int>&, int) override { return false; }

  std::string toPanel;
  std::string fromPanel;

 private:
  int waiting_ = 7;
};

// What the screen shows of the receiver's settings.
struct Shown {
  std::int64_t hz = 0;
  std::string mode;
  std::string low, high, step;
};

class Run {
 public:
  explicit Run(const Script& script)
      : script_(script), sim_(sim::BuiltInBand(), ReceiverMemory()) {
    sim_.engine.SetFaults(script.faults);
    if (verbose_)
      sim_.engine.SetTrace([](std::string_view line) {
        std::printf("      %.*s\n", static_cast<int>(line.size()), line.data());
      });
    replyFaults_ = script.faults.dropChance > 0 || script.faults.delayChance > 0 ||
                   script.faults.garbleChance > 0;
  }

  std::optional<Violation> Play() {
    Furnish(h_);
    h_.peer = sim_.AsPeer();
    h_.transcript.onLine = [this](const std::string& line) { OnMessage(Split(line)); };
    // Said as the receiver is found: only then is it true.
    h_.sound.onPlay = [this](const std::string& clip) { OnClip(clip); };
    Start(false);
    for (at_ = 0; at_ < script_.actions.size() && !broken_; ++at_) {
      keyMessages_.clear();
      keyClips_.clear();
      if (verbose_) std::printf("%s\n", ActionText(script_.actions[at_]).c_str());
      Do(script_.actions[at_]);
      if (!broken_) CheckAfterAction();
    }
    return broken_;
  }

 private:
  PanelState& S() { return h_.state(); }
  const sim::Engine& E() { return sim_.engine; }
  bool Answering() { return !E().Silent() && plugged_; }

  void Break(const char* invariant, const std::string& detail) {
    if (!broken_) broken_ = Violation{invariant, detail, at_};
  }

  void Start(bool again) {
    if (again ? !h_.Restart() : !h_.Begin()) return Break("always answered", "the panel did not start");
    server_ = std::make_unique<RigctlServer>(net_);
    net_ = {};
    h_.panel->remote = server_.get();
    requests_.clear();
    typed_.clear();
    writeEntry_.reset();
    TickAndCheck(3);
    TakeMemory();
    TakeBanks();
  }

  void Do(const Action& action) {
    switch (action.kind) {
      case Action::Kind::kKey:
        return Key(action.value);
      case Action::Kind::kTicks:
        return TickAndCheck(action.value);
      case Action::Kind::kSwitchOff:
      case Action::Kind::kSwitchOn:
        if (Answering()) quietSinceMs_ = h_.clock.now;
        sim_.engine.SetSilent(action.kind == Action::Kind::kSwitchOff);
        if (Answering()) answeringSinceMs_ = h_.clock.now;
        return;
      case Action::Kind::kUnplug:
        if (Answering()) quietSinceMs_ = h_.clock.now;
        plugged_ = false;
        return h_.Unplug();
      case Action::Kind::kPlugIn:
        plugged_ = true;
        answeringSinceMs_ = h_.clock.now;
        return h_.Replug();
      case Action::Kind::kKill:
      case Action::Kind::kClose:
        return Restart(action.kind == Action::Kind::kClose);
      case Action::Kind::kRemote:
        net_.toPanel += action.text;
        requests_.push_back({action.text, 0});
        return;
      case Action::Kind::kBurst:
        return Burst(action.value);
    }
  }

  // ---- Keys ----

  void Key(int code) {
    ++gKeysPlayed;
    const EntryMode before = S().EntryMode;
    const int serialBefore = S().EntrySerial;
    const bool settledBefore = Settled();
    // A first key with no receiver ever heard ends the run with "receiver not connected".
    connectedBefore_ = S().ConnectState != ConnectState::kUnknown;
    const bool ends = code == keys::kEnter || code == 'Q';
    permitted_ = ends && writeEntry_ && writeEntry_->size() == 3 ? (*writeEntry_)[2] : 0;
    key_ = code;
    h_.Press(code);
    // What the key itself said: the clips of the tick that took it, not the polls' around.
    std::vector<std::string> own;
    const int queued = S().KeyCount;
    bool taken = false;
    for (int ticks = 0; S().KeyCount != 0 || S().PollState != PollState::kIdle; ++ticks) {
      if (ticks == kKeyTicks) return Break("always answered", KeyName(code) + " was not taken");
      const std::size_t before = keyClips_.size();
      TickAndCheck(1);
      if (broken_) return;
      if (!taken && S().KeyCount < queued) {
        taken = true;
        own.assign(keyClips_.begin() + static_cast<std::ptrdiff_t>(before), keyClips_.end());
        tunedByKey_ = E().VfoAHz();
      }
    }
    keyClips_ = own;
    key_ = 0;
    FollowTyping(code, before);
    FollowLimitTyping(code, before, serialBefore);
    FollowWriteEntry(code);
    if (!S().RunFlag) {  // Q, or a first key that found no receiver
      h_.Finish();
      Start(true);
      // Q completes whatever was pending: only what stood with nothing pending is known.
      if (settledBefore) CheckStoredState(true);
    }
  }

  bool Heard(std::string_view clip) {
    return std::find(keyClips_.begin(), keyClips_.end(), clip) != keyClips_.end();
  }

  // "145.", zeros, "1" and Enter faster than the queue takes them: keys lost on the way
  // are told, and what remains is never tuned.
  void Burst(int zeros) {
    const std::string typed = "145." + std::string(static_cast<std::size_t>(zeros), '0') + "1\r";
    const bool losing = S().KeyCount / 2 + static_cast<int>(typed.size()) > kKeyQueueSize / 2;
    keyClips_.clear();
    const std::int64_t on = E().VfoAHz();
    const bool intoFrequency = S().EntryMode == EntryMode::kNone;
    // A search or scan moves the receiver of its own during the burst, and a receiver found
    // again gets the panel's frequency.
    const bool moving = IsSearching(S().SearchActive) || IsMemoryScanning(S().ScanState) ||
                        IsBankScanning(S().BankState) ||
                        S().ConnectState != ConnectState::kConnected;
    h_.Type(typed);
    for (int ticks = 0; S().KeyCount != 0 || S().PollState != PollState::kIdle; ++ticks) {
      if (ticks == kKeyTicks) return Break("always answered", "a burst of keys was not taken");
      TickAndCheck(1);
    }
    if (losing && (!Heard("inv") || (!moving && E().VfoAHz() != on)))
      Break("typing kept", "keys lost from a burst of " + std::to_string(typed.size()) +
                               " were not told, or what remained was tuned");
    // A burst into another entry may end it and go on with the digits typed before it, or
    // be cut where keys were lost, leaving them: they are whatever the entry holds now.
    if (intoFrequency) typed_.clear();
    else if (S().EntryMode == EntryMode::kNone) typed_ = S().FrequencyEntry;
    limitTyped_.clear();
    writeEntry_.reset();
  }

  Words KeyWords() {
    Words all;
    for (const Words& m : keyMessages_) all.insert(all.end(), m.begin(), m.end());
    return all;
  }

  // Digits typed for a frequency end in their tuning, or the listener hears that they
  // did not ("cancel", "inv").
  void FollowTyping(int code, EntryMode before) {
    const Words said = KeyWords();
    const bool frequencyEntry = before == EntryMode::kNone;
    // A failure said for another entry (a transfer refused) or for a key's own command (the
    // attenuator refused) is theirs; "cancel" from a key that moves the receiver ends the
    // typed digits wherever it comes.
    const bool digit = code == keys::kFullStop || keys::IsDigit(code);
    const bool typing = digit || code == keys::kEnter || code == 'Q' || code == keys::kBack;
    // J says the last message again: its words tell nothing new.
    const bool told = code != 'J' &&
                      ((Heard("cancel") && (MovesFrequency(code) || frequencyEntry)) ||
                       (frequencyEntry && typing && (Heard("inv") || Heard("rnc"))));
    if (!typed_.empty() && !digit && between_.empty()) between_ = KeyName(code) + " ";
    if (digit && Heard("rnc") && connectedBefore_)
      Break("always answered", "a digit said \"receiver not connected\": typing needs no receiver");
    if (digit && frequencyEntry) {
      if (told) typed_.clear();
      else typed_ += code == keys::kFullStop ? '.' : static_cast<char>(code);
    } else if (code == keys::kBack && frequencyEntry) {
      if (!typed_.empty()) typed_.pop_back();
    } else if ((code == keys::kEnter || code == 'Q') && frequencyEntry) {
      // Where the key itself left the receiver: a network set may come right after it.
      const std::int64_t on = tunedByKey_;
      if (!typed_.empty() && !told &&
          (!IsNumberText(typed_) || MhzTextToHz(typed_) != on ||
           E().CurrentActivity() != sim::Activity::kVfoA))
        Break("typing kept", "typed " + typed_ + ", then " + between_ + "... " + KeyName(code) +
                                 " heard \"" + Join(said) + "\", the receiver is on " + Mhz(on));
      typed_.clear();
    } else if ((code == keys::kEscape && frequencyEntry) || told) {
      if (code == keys::kEscape && !typed_.empty() && !Heard("cancel"))
        Break("typing kept", "Escape dropped " + typed_ + " without \"cancel\"");
      typed_.clear();
    }
    if (typed_.empty()) between_.clear();
  }

  // A search limit or step typed after S, E or I stands as typed once the entry ends,
  // whatever ended it, unless the listener heard "inv" or "cancel".
  void FollowLimitTyping(int code, EntryMode before, int serialBefore) {
    const bool digit = code == keys::kFullStop || keys::IsDigit(code);
    if (IsSearchLimitEntry(before) && digit) limitTyped_ += code == keys::kFullStop ? '.' : char(code);
    if (IsSearchLimitEntry(before) && code == keys::kBack && !limitTyped_.empty())
      limitTyped_.pop_back();
    const bool ended = S().EntryMode != before || S().EntrySerial != serialBefore;
    // R with a bank selected gives the search the bank's step, after the entry has ended.
    if (IsSearchLimitEntry(before) && ended && !limitTyped_.empty() && !Heard("inv") &&
        !Heard("cancel") && !Heard("rnc") && code != 'R') {
      const Shown shown = ShownNow();
      const std::string& field = before == EntryMode::kSearchStart ? shown.low
                                 : before == EntryMode::kSearchEnd ? shown.high
                                                                   : shown.step;
      if (!IsNumberText(limitTyped_) || MhzTextToHz(field) != MhzTextToHz(limitTyped_))
        Break("typing kept", "typed " + limitTyped_ + " for a limit or step, then " +
                                 KeyName(code) + ", and the search line shows " + field);
    }
    if (ended) limitTyped_.clear();
  }

  // W, two digits, a receiver bank letter and Enter: only then may that bank change.
  void FollowWriteEntry(int code) {
    if (!writeEntry_) {
      if (code == 'W') writeEntry_ = std::string();
      return;
    }
    std::string& entry = *writeEntry_;
    // Choosing what is heard (F8, F9) leaves every entry as it stood.
    if (code == keys::kF8 || code == keys::kF9) return;
    if (keys::IsDigit(code) && entry.size() < 2)
      entry += static_cast<char>(code);
    else if (code >= 'A' && code <= 'J' && entry.size() == 2)
      entry += static_cast<char>(code);
    else if (code == keys::kBack && !entry.empty())
      entry.pop_back();
    else if (code != 'J' && code != keys::kBack)
      writeEntry_.reset();
  }

  // ---- Ticks ----

  void TickAndCheck(int count) {
    for (int i = 0; i < count && !broken_; ++i) {
      h_.Tick();
      ++ticks_;
      CheckMeterPolled();
      CheckLostTold();
      CheckPassesReleased();
      CheckNetworkAnswers();
    }
  }

  void CheckMeterPolled() {
    const std::string wire = h_.Wire();
    h_.ClearWire();
    const bool quietTime = S().KeyCount == 0 && S().ConnectState == ConnectState::kConnected &&
                           Answering();
    if (wire.find("LM\r") != std::string::npos || wire.find("RX\r") != std::string::npos ||
        !quietTime)
      unpolledTicks_ = 0;
    else if (++unpolledTicks_ > kPollTicks)
      Break("always answered", "the meter was not asked for the level for 1.5 s");
  }

  // A receiver that stops answering is found lost (and that is said) within a bound.
  void CheckLostTold() {
    if (Answering() || S().ConnectState != ConnectState::kConnected)
      lostTicks_ = 0;
    else if (S().KeyCount == 0 && ++lostTicks_ > kLostTicks)
      Break("always answered", "the receiver stopped answering and the panel did not notice");
  }

  // A channel a scan passed is released once the scan is over: within a few seconds of
  // the panel being free while the receiver answers.
  void CheckPassesReleased() {
    std::string passed;
    const auto& banks = E().Memory().banks;
    for (std::size_t b = 0; b < banks.size(); ++b)
      for (std::size_t c = 0; c < banks[b].channels.size(); ++c)
        if (banks[b].channels[c].passed)
          passed += std::string(1, static_cast<char>('A' + b)) + std::to_string(c) + " ";
    const bool scanOver = !IsMemoryScanning(S().ScanState) &&
                          S().ConnectState == ConnectState::kConnected && Answering();
    if (passed.empty() || !scanOver)
      passedTicks_ = 0;
    else if (S().KeyCount == 0 && ++passedTicks_ > kReleaseTicks)
      Break("nothing lost", "channel " + passed + "stays passed in the receiver after its scan");
  }

  struct Request {
    std::string line;
    int ticks;
  };

  void CheckNetworkAnswers() {
    for (std::size_t end; !requests_.empty() && (end = net_.fromPanel.find('\n')) != std::string::npos;) {
      const std::string answer = net_.fromPanel.substr(0, end);
      net_.fromPanel.erase(0, end + 1);
      const std::string asked = requests_.front().line;
      // A read of the mode has two lines, the mode and its passband.
      if (asked == "m\n" && answer.rfind("RPRT", 0) != 0 && !secondLine_) {
        secondLine_ = true;
        continue;
      }
      secondLine_ = false;
      requests_.pop_front();
      if (answer == "RPRT 0") CheckRemoteSet(asked);
    }
    // Answers go out in the order asked: a read behind a set waits for the set.
    for (Request& request : requests_) {
      const bool read = request.line[0] >= 'a' && request.line[0] <= 'z';
      if (!read) break;
      if (++request.ticks > kReadTicks)
        return Break("always answered", "the network read " + request.line.substr(0, 1) +
                                            " was not answered");
    }
  }

  void CheckRemoteSet(const std::string& asked) {
    // In its memory scan the receiver takes each channel's own frequency and mode.
    if (E().CurrentActivity() == sim::Activity::kScan) return;
    if (asked[0] == 'F') {
      const std::int64_t hz = std::stoll(asked.substr(2));
      if (std::llabs(E().VfoAHz() - hz) >= 50)
        Break("no false success", "RPRT 0 to " + asked.substr(0, asked.size() - 1) +
                                      " while the receiver is on " + Mhz(E().VfoAHz()));
    } else if (asked[0] == 'M') {
      const std::string mode = asked.substr(2, asked.find(' ', 2) - 2);
      if (sim::ModeName(E().Mode()) != mode)
        Break("no false success", "RPRT 0 to M " + mode + " while the receiver has " +
                                      std::string(sim::ModeName(E().Mode())));
    }
  }

  // ---- What the listener is told ----

  void OnMessage(const Words& words) {
    if (verbose_) std::printf("    \"%s\"\n", Join(words).c_str());
    keyMessages_.push_back(words);
  }

  // A success word is judged as it is said, with the message it ends so far.
  void OnClip(const std::string& name) {
    const std::string clip = ClipKey(name.substr(name.find_last_of('\\') + 1));
    keyClips_.push_back(clip);
    static const std::set<std::string> kSuccess = {"ok", "quit", "fm", "am", "lsb", "usb",
                                                   "wfm", "cw", "auto", "atton", "attoff",
                                                   "on", "off", "act", "connected"};
    if (key_ == 'J' || !kSuccess.count(clip)) return;  // J says an old message again
    h_.Wire();  // the receiver has heard everything sent before the word
    const ClipEntry* entry = WrittenClipTable().Find(clip);
    Words words;
    std::istringstream said(MessageText(h_.panel->messages.current.parts) + " " +
                            (entry->written.empty() ? entry->words : entry->written));
    for (std::string word; said >> word;) words.push_back(word);
    CheckClaims(words);
  }

  // A success word is said only when the receiver holds what it announces.
  void CheckClaims(const Words& w) {
    if (w.empty()) return;
    const sim::Engine& e = E();
    const std::string said = "\"" + Join(w) + "\"";
    const auto claim = [&](bool holds, const std::string& really) {
      if (!holds) Break("no false success", said + " while the receiver " + really);
    };
    const std::string& last = w.back();
    if (w.size() == 2 && (last == "ok" || last == "quit") && IsNumberText(w[0]))
      claim(e.CurrentActivity() == sim::Activity::kVfoA && e.VfoAHz() == MhzTextToHz(w[0]),
            "is on " + Mhz(e.FrequencyHz()));
    // A memory scan stopping on a channel takes the channel's own mode, step and
    // attenuator, also while the words that the receiver took the listener's are said.
    const bool scanning = e.CurrentActivity() == sim::Activity::kScan;
    const sim::ChannelRef at = e.CurrentChannel();
    const sim::Channel& channel = e.Memory().banks[at.bank].channels[at.number];
    if (w.size() == 1 && (w[0] == "FM" || w[0] == "AM" || w[0] == "LSB" || w[0] == "USB" ||
                          w[0] == "WFM" || w[0] == "CW"))
      claim((sim::ModeName(e.Mode()) == w[0] && !e.AutoMode()) ||
                (scanning && e.Mode() == channel.mode),
            "has " + std::string(e.AutoMode() ? "auto mode" : sim::ModeName(e.Mode())));
    if (Join(w) == "auto mode") claim(e.AutoMode(), "is not in auto mode");
    if (Join(w) == "attenuator on" || Join(w) == "attenuator off")
      claim(e.Attenuator() == (last == "on") || (scanning && e.Attenuator() == channel.attenuator),
            "has it the other way");
    if (Join(w) == "noise limiter on" || Join(w) == "noise limiter off")
      claim(e.NoiseLimiter() == (last == "on"), "has it the other way");
    if (last == "active")
      claim(e.CurrentActivity() == sim::Activity::kSearch, "is not searching");
    if (w.size() == 3 && w[0] == "increment" && last == "ok" && IsNumberText(w[1]))
      claim(e.StepHz() * 1000 == MhzTextToHz(w[1]) || (scanning && e.StepHz() == channel.stepHz),
            "steps " + std::to_string(e.StepHz()) + " Hz");
    if (w[0] == "check" && last == "ok")
      claim(std::all_of(e.Memory().banks.begin(), e.Memory().banks.end(),
                        [](const sim::Bank& b) { return b.size == 90; }),
            "has a bank that does not hold 90 channels");
    if (w[0] == "write" && last == "ok") claim(BankWritten(w), "holds another bank");
    // A reply still on its way when the receiver went quiet may be what was heard.
    if (last == "connected")
      claim(Answering() || h_.clock.now - quietSinceMs_ < 1000, "does not answer");
  }

  // "write from bank 01 to radio bank A wait ok": bank A holds what bank01.dat holds.
  bool BankWritten(const Words& w) {
    const auto number = std::find(w.begin(), w.end(), "from");
    const auto letter = std::find(w.begin(), w.end(), "radio");
    if (number + 2 >= w.end() || letter + 2 >= w.end() || (letter + 2)->size() != 1) return false;
    BankImage lines{};
    std::ifstream file(h_.dir() / BankFileName(*(number + 2)), std::ios::binary);
    ReadBankLines(file, lines);
    const sim::Bank& bank = E().Memory().banks[static_cast<std::size_t>((*(letter + 2))[0] - 'A')];
    const int end = std::min(ChannelEnd(lines), kFirstChannel + 2 * 91);
    for (int i = kFirstChannel, c = 0; c < static_cast<int>(bank.channels.size()); i += 2, ++c) {
      const sim::Channel& channel = bank.channels[static_cast<std::size_t>(c)];
      if (i >= end) {
        if (channel.stored) return false;
        continue;
      }
      const std::int64_t hz = (MhzTextToHz(lines[static_cast<std::size_t>(i)]) + 25) / 50 * 50;
      if (!channel.stored || channel.hz != hz) return false;
    }
    return true;
  }

  // ---- After every action ----

  void CheckAfterAction() {
    CheckMemoryKept();
    CheckBanksKept();
    // The search line needs no receiver: what it shows with no entry pending is in force.
    if (settled_) {
      const Shown now = ShownNow();
      // While a field is being typed its line is not in force; before the first digit it is.
      const auto typing = [this](EntryMode entry) {
        return S().EntryMode == entry && !S().FreshEntry;
      };
      if (!typing(EntryMode::kSearchStart)) settled_->low = now.low;
      if (!typing(EntryMode::kSearchEnd)) settled_->high = now.high;
      if (!typing(EntryMode::kStep)) settled_->step = now.step;
    }
    if (Settled()) {
      settled_ = ShownNow();
      // A receiver back a moment ago has not yet been heard by the panel.
      if (!replyFaults_ && Answering() && h_.clock.now - answeringSinceMs_ >= 1000)
        CheckShownIsReceiver();
    }
  }

  bool Settled() {
    const auto& s = S();
    return typed_.empty() && s.EntryMode == EntryMode::kNone && !IsSearching(s.SearchActive) &&
           !IsMemoryScanning(s.ScanState) && !IsBankScanning(s.BankState) &&
           s.ConnectState == ConnectState::kConnected;
  }

  Shown ShownNow() {
    const auto& w = h_.window;
    return {MhzTextToHz(w.TextAt(300, 150)), w.TextAt(380, 80), w.TextAt(80, 250),
            w.TextAt(750, 250), w.TextAt(300, 250)};
  }

  void CheckShownIsReceiver() {
    const sim::Engine& e = E();
    const Shown shown = ShownNow();
    std::string wrong;
    // A receiver that refused every way back to its VFO may stay on a memory channel: what
    // matters is that the panel shows where it is.
    const bool onChannel = e.CurrentActivity() == sim::Activity::kMemory && S().RefusedCount > 0;
    // A channel written while the receiver sits on it reports its new frequency.
    const auto& channel = e.Memory().banks[e.CurrentChannel().bank].channels[e.CurrentChannel().number];
    if (onChannel ? shown.hz != e.FrequencyHz() && !(channel.stored && shown.hz == channel.hz)
                  : e.CurrentActivity() != sim::Activity::kVfoA || shown.hz != e.VfoAHz())
      wrong = "shows " + Mhz(shown.hz) + ", the receiver is on " + Mhz(e.FrequencyHz());
    else if (onChannel)
      ;  // the channel's own mode and attenuator, which the engine keeps apart
    else if (shown.mode == "AUT" ? !e.AutoMode()
                                 : shown.mode != sim::ModeName(e.Mode()) || e.AutoMode())
      wrong = "shows " + shown.mode + ", the receiver has " + std::string(sim::ModeName(e.Mode()));
    else if (S().AttenuatorOn != e.Attenuator())
      wrong = "reports the attenuator the other way round";
    if (!wrong.empty()) Break("shown is the receiver's", "with nothing under way the panel " + wrong);
  }

  std::string MemoryNow() {
    std::string text;
    for (const sim::Bank& bank : E().Memory().banks) {
      for (const sim::Channel& c : bank.channels)
        text += c.stored ? std::to_string(c.hz) + c.tag + std::to_string(c.mode) + ";" : "-;";
      text += "\n";
    }
    return text;
  }

  void TakeMemory() { memory_ = MemoryNow(); }

  // A receiver bank changes only through a W the listener ended with Enter.
  void CheckMemoryKept() {
    const std::string now = MemoryNow();
    std::istringstream before(memory_), after(now);
    std::string was, is;
    for (char letter = 'A'; std::getline(before, was) && std::getline(after, is); ++letter)
      if (was != is && letter != permitted_)
        Break("nothing lost", std::string("receiver bank ") + letter +
                                  " changed without a W ended with Enter");
    memory_ = now;
    permitted_ = 0;
  }

  std::map<std::string, std::string> BanksNow() {
    std::map<std::string, std::string> banks;
    for (const auto& entry : std::filesystem::directory_iterator(h_.dir())) {
      const std::string name = entry.path().filename().string();
      if (BankNumberOf(name) && name != "bank00.dat") banks[name] = h_.ReadFile(name);
    }
    return banks;
  }

  void TakeBanks() { banks_ = BanksNow(); }

  // A deleted bank is moved aside, never lost: its text is in deleted/.
  bool KeptAside(const std::string& text) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(h_.dir() / "deleted", error))
      if (h_.ReadFile("deleted/" + entry.path().filename().string()) == text) return true;
    return false;
  }

  // Bank files change only where the listener was told so, and always whole.
  void CheckBanksKept() {
    const auto now = BanksNow();
    const Words said = KeyWords();
    const bool told = Has(said, "ok") || Has(said, "create");
    for (const auto& [name, text] : now) {
      BankImage lines{};
      std::istringstream in(text);
      if (banks_[name] != text && (!told || ReadBankLines(in, lines) < 0))
        Break("nothing lost", name + " changed without an ok");
    }
    for (const auto& [name, text] : banks_)
      if (!now.count(name) && (!told || !KeptAside(text)))
        Break("nothing lost", name + " went without an ok, or is not kept in deleted/");
    banks_ = now;
  }

  // ---- Kills and closes ----

  void Restart(bool close) {
    const bool settledNow = Settled();
    if (close) h_.Close();
    Start(true);
    CheckStoredState(settledNow);
  }

  // The settings the listener last saw in force come back after a close or a kill.
  void CheckStoredState(bool settledAtEnd) {
    if (!settled_ || broken_) return;
    const auto& s = S();
    const Shown& was = *settled_;
    std::string lost;
    const auto same = [](const std::string& a, const std::string& b) {
      return IsNumberText(a) && IsNumberText(b) ? MhzTextToHz(a) == MhzTextToHz(b) : a == b;
    };
    if (!same(s.SearchLow, was.low) || !same(s.SearchHigh, was.high) || !same(s.StepText, was.step))
      lost = "the limits " + was.low + "/" + was.high + " step " + was.step + " came back as " +
             s.SearchLow + "/" + s.SearchHigh + " step " + s.StepText;
    // A receiver that refused them at start-up is shown where it is instead, with "inv".
    else if (settledAtEnd && s.RefusedCount == 0 &&
             (MhzTextToHz(s.Frequency) != was.hz || !same(Trimmed(s.ModeName), was.mode)))
      lost = Mhz(was.hz) + " " + was.mode + " came back as " + s.Frequency + " " + s.ModeName;
    if (!lost.empty()) Break("nothing lost", "after the panel ended, " + lost);
  }

  const Script& script_;
  testing::SimPeer sim_;
  testing::PanelHarness h_;
  LoopNetwork net_;
  std::unique_ptr<RigctlServer> server_;
  std::optional<Violation> broken_;
  std::size_t at_ = 0;
  bool replyFaults_ = false;
  bool plugged_ = true;
  std::int64_t quietSinceMs_ = -1000000;
  std::int64_t answeringSinceMs_ = -1000000;

  char permitted_ = 0;  // the receiver bank the last key's W may change
  int key_ = 0;          // the key being handled
  bool connectedBefore_ = true;
  std::int64_t tunedByKey_ = 0;
  bool verbose_ = std::getenv("VOSKEL_TRUST_VERBOSE") != nullptr;
  std::vector<Words> keyMessages_;  // the messages finished during the action
  std::vector<std::string> keyClips_;  // the clips played during it
  std::string typed_;
  std::string between_;  // the first other key pressed while typed_ was being typed
  std::string limitTyped_;  // what a limit or step entry has typed
  std::optional<std::string> writeEntry_;
  std::string memory_;
  std::map<std::string, std::string> banks_;
  std::optional<Shown> settled_;

  long ticks_ = 0;
  int unpolledTicks_ = 0;
  int lostTicks_ = 0;
  int passedTicks_ = 0;
  std::deque<Request> requests_;
  bool secondLine_ = false;
};

}  // namespace

std::optional<Violation> Play(const Script& script) {
  Run run(script);
  try {
    return run.Play();
  } catch (const std::exception& e) {
    return Violation{"always answered", std::string("the run broke off: ") + e.what(), 0};
  }
}

std::size_t KeysPlayed() {
  return gKeysPlayed;
}

}  // namespace voskel::trust
