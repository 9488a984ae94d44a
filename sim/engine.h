#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "faults.h"
#include "line_framer.h"
#include "memory_banks.h"
#include "signals.h"

namespace voskel::sim {

// What the receiver is doing.
enum class Activity { kVfoA, kVfoB, kMemory, kSearch, kScan };

struct ChannelRef {
  int bank = 0;
  int number = 0;
  bool operator==(const ChannelRef&) const = default;
};

// The simulated AR8600: bytes in, bytes out, on a clock that the owner advances. It does
// no input or output of its own, so a test can hold a whole conversation with it in
// virtual time and the program can run it on the wall clock.
class Engine {
 public:
  // Bounds that keep a flood of input from growing memory without end.
  static constexpr std::size_t kMaxOutput = 64 * 1024;
  static constexpr std::size_t kMaxHeldInput = 4096;

  static constexpr std::int64_t kSearchStepMs = 40;  // 25 channels a second
  static constexpr std::int64_t kScanStepMs = 100;   // 10 channels a second
  static constexpr std::int64_t kResumeAfterMs = 2000;
  static constexpr std::int64_t kBankSizeMs = 3000;
  static constexpr std::string_view kVersion = "VR0101 AR8600 simulator";

  explicit Engine(SignalList signals = BuiltInBand(), MemoryBanks memory = MemoryBanks());

  // Bytes from the line. Replies collect in the output.
  void Input(std::string_view bytes);
  // Everything sent since the last call.
  std::string TakeOutput();
  // Moves the clock on; searches and scans step, halt and resume on the way.
  void Advance(std::int64_t ms);

  // One line per command received ("> LM") and per reply sent ("< LM%004"); a fault
  // played is traced with "! ".
  void SetTrace(std::function<void(std::string_view)> trace) { trace_ = std::move(trace); }

  // The faults to play from now on.
  void SetFaults(FaultPlan plan) { faults_ = Faults(std::move(plan)); }
  // Switched off behind a line that stays open: what comes in is lost, nothing goes out,
  // and searches and scans stand still until it is switched on again.
  void SetSilent(bool silent);
  bool Silent() const { return silent_; }

  std::int64_t NowMs() const { return nowMs_; }
  Activity CurrentActivity() const { return activity_; }
  // A search or scan stopped on a signal.
  bool Halted() const { return halted_; }
  // The frequency the receiver listens to now.
  std::int64_t FrequencyHz() const;
  std::int64_t VfoAHz() const { return vfoAHz_; }
  std::int64_t VfoBHz() const { return vfoBHz_; }
  std::int64_t StepHz() const { return stepHz_; }
  int Mode() const { return mode_; }
  bool AutoMode() const { return autoMode_; }
  bool Attenuator() const { return attenuator_; }
  bool NoiseLimiter() const { return noiseLimiter_; }
  bool LevelWithChannel() const { return levelWithChannel_; }
  int Level() const;
  bool SquelchOpen() const { return Level() >= kSquelchLevel; }
  ChannelRef CurrentChannel() const { return current_; }
  const MemoryBanks& Memory() const { return memory_; }
  // Goes up at every change of the memory banks, so the owner knows when to save them.
  std::uint64_t MemoryVersion() const { return memoryVersion_; }

 private:
  void Hold(std::string_view bytes);
  void HandleLine(std::string line);
  // A command, once it has arrived whole and was not refused: its two letters and the rest.
  void Carry(std::string_view key, std::string_view raw);
  void HandleKeypad(char byte);
  void Reply(std::string_view text);
  void ReleaseDelayed();
  void Trace(std::string_view direction, std::string_view text);

  std::string StateLine() const;
  std::string LevelLine() const;
  std::string Report(ChannelRef ref) const;
  Channel& ChannelAt(ChannelRef ref) { return memory_.banks[ref.bank].channels[ref.number]; }
  const Channel& ChannelAt(ChannelRef ref) const {
    return memory_.banks[ref.bank].channels[ref.number];
  }
  bool Usable(ChannelRef ref) const { return ref.number < memory_.banks[ref.bank].size; }
  bool Scannable(ChannelRef ref) const;
  std::optional<ChannelRef> ParseChannel(std::string_view text) const;

  void SelectVfo(Activity vfo);
  void EnterChannel(ChannelRef ref);
  void StartSearch();
  bool StartScan(const std::vector<int>& banks, bool fromStart);
  std::optional<ChannelRef> NextScanChannel(const std::vector<int>& banks, bool fromStart) const;
  void StepSearch();
  void StepScan();
  void MoveOn();
  void CheckHalt();
  void RunDue();
  void FinishBankSize();
  void TuneByKeypad(int direction);
  void MemoryChanged() { ++memoryVersion_; }

  // Command groups.
  void SetFrequency(char vfo, std::string_view arg);
  void SetOrQueryFlag(std::string_view key, std::string_view arg, bool& flag);
  void SetOrQueryStep(std::string_view arg);
  void SetOrQueryMode(std::string_view arg);
  void MemoryScan(std::string_view arg);
  void MemoryRecall(std::string_view arg);
  void MemoryPass(std::string_view arg);
  void MemoryWrite(std::string_view arg);
  void MemoryList(std::string_view arg);
  void BankSize(std::string_view arg);
  void BankClear(std::string_view arg);

  SignalList signals_;
  MemoryBanks memory_;
  std::uint64_t memoryVersion_ = 0;
  LineFramer framer_;
  std::string output_;
  std::function<void(std::string_view)> trace_;
  Faults faults_;
  bool silent_ = false;
  // Replies held back by a delay, and everything sent behind them, until delayedUntilMs_.
  std::string delayed_;
  std::int64_t delayedUntilMs_ = 0;

  std::int64_t nowMs_ = 0;
  std::int64_t vfoAHz_ = 145'500'000;
  std::int64_t vfoBHz_ = 146'000'000;
  std::int64_t tunedHz_ = 145'500'000;  // memory, search and scan frequency
  std::int64_t stepHz_ = 12'500;
  int mode_ = 1;
  bool autoMode_ = false;
  bool attenuator_ = false;
  bool noiseLimiter_ = false;
  bool levelWithChannel_ = false;

  Activity activity_ = Activity::kVfoA;
  bool halted_ = false;
  std::int64_t nextMoveMs_ = 0;
  std::optional<std::int64_t> quietSinceMs_;

  std::int64_t searchFromHz_ = 0;
  std::int64_t searchToHz_ = 0;
  std::int64_t searchStepHz_ = 0;

  ChannelRef current_;
  std::vector<int> scanBanks_;
  ChannelRef listNext_;

  // A bank size change keeps the receiver busy; input waits until it is done.
  bool sizing_ = false;
  std::int64_t sizingDoneMs_ = 0;
  int sizingBank_ = 0;
  int sizingSize_ = 0;
  std::string heldInput_;
  bool droppingHeld_ = false;
};

}  // namespace voskel::sim
