#pragma once
// Hamlib's network rig protocol as rigctld(1) speaks it: commands come in by the line,
// answers go out, read from a view of the receiver. Nothing here touches the panel or a
// socket: bytes in, answers out, so whatever a client sends reaches no further than the
// answers it gets.
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace voskel::rigctl {

// Hamlib's codes, as "RPRT" sends them.
inline constexpr int kOk = 0;
inline constexpr int kInvalidParameter = -1;  // RIG_EINVAL
inline constexpr int kIoError = -6;           // RIG_EIO
inline constexpr int kRejected = -9;          // RIG_ERJCTED
inline constexpr int kNotAvailable = -11;     // RIG_ENAVAIL

// No client of this protocol sends a longer line.
inline constexpr std::size_t kMaxLine = 1024;

// The passband Hamlib calls normal for a mode the panel has a key for; 0 for any other
// name.
int NormalPassbandHz(std::string_view mode);
// The receiver tunes in steps of 50 Hz: a frequency asked for is rounded to the nearest,
// so that what is read back is what the receiver tunes.
inline constexpr std::int64_t kTuningGridHz = 50;

// What the attenuator takes off a signal, in dB; the panel knows it only as on or off.
inline constexpr int kAttenuatorDb = 20;

// What a client can read, as the panel has it when the command is answered.
struct ReceiverView {
  std::int64_t frequencyHz = 0;
  std::string mode;    // one NormalPassbandHz knows; empty when the panel cannot tell
  int strengthDb = 0;  // relative to S9
  int attenuationDb = 0;
  // The receiver answers: while it is lost, what only it can tell is an I/O error.
  bool present = true;
  bool squelchOpen = false;
  // The listener's selected bank, search, scan or bank transfer holds the receiver: a set
  // would end it, and is refused at once.
  bool setsRefused = false;
};

// A setting a client asked for; the panel carries it out in its turn.
struct SetRequest {
  enum class Kind { kFrequency, kMode };
  Kind kind = Kind::kFrequency;
  std::int64_t hz = 0;
  std::string mode;  // one NormalPassbandHz knows
  friend bool operator==(const SetRequest&, const SetRequest&) = default;
};

// The answer to "\dump_state" as Hamlib 4's rigctld gives it for the AR8600 (model
// 5013): protocol 1, the receiver's range, steps, modes and passbands, then key=value
// lines up to "done".
std::string DumpState();
// The answer to "\dump_caps", the same receiver's capabilities as rigctld lists them.
std::string DumpCaps();

// One client's conversation.
class Session {
 public:
  // Bytes the client sent. False once a line has grown past kMaxLine: the client is to be
  // dropped.
  bool Take(std::string_view bytes);
  // The client will send nothing more: an unfinished last line still counts.
  void TakeEnd();
  // Answers the commands waiting, at most maxCommands of them, into Output(). Stops at a
  // set, which waits in PendingSet() until Finish brings its result.
  void Answer(const ReceiverView& view, int maxCommands);
  const std::optional<SetRequest>& PendingSet() const { return pendingSet_; }
  // The set waiting is answered with code; the same set repeated right behind it, as a
  // client that gave up waiting sends it again, gets the same answer without being made
  // again.
  void Finish(int code);

  // Bytes received and not yet answered.
  std::size_t Unanswered() const { return unanswered_; }
  // Every line received has been answered.
  bool Idle() const { return lines_.empty() && commands_.empty() && !pendingSet_; }
  // "q" was answered: nothing more is read or answered.
  bool Quit() const { return quit_; }
  std::string& Output() { return output_; }
  const std::string& Output() const { return output_; }

  // A command as the line gave it. separator is 0 for the plain answer, else the
  // character that ends each record of the extended one.
  struct Command {
    char separator = 0;
    std::string name;  // Hamlib's long name when it is known, else as sent
    int row = -1;      // in the table of commands served; -1 for one not served
    std::vector<std::string> args;
  };
  // The commands of one line, in order.
  static std::vector<Command> Parse(std::string_view line);

 private:
  // Whether a command waits, taking the next line's when none is left of the last.
  bool HasCommand();
  void AnswerOne(const Command& command, const ReceiverView& view);
  void AnswerChkVfo(const Command& command);
  void AnswerQuit();
  void TakeSet(const Command& command, const ReceiverView& view);
  // A many-line answer (dump_state, dump_caps, get_rig_info): in the extended form after
  // the command's name, and followed by its RPRT line unless the text ends with one.
  void Block(const Command& command, const std::string& text, bool extendedEnd = true);
  void Reply(const Command& command, int code,
             const std::vector<std::pair<std::string, std::string>>& records = {});

  std::string partial_;
  std::deque<std::string> lines_;
  std::deque<Command> commands_;  // what is left of the line being answered
  std::optional<SetRequest> pendingSet_;
  Command pendingCommand_;
  std::size_t unanswered_ = 0;
  std::string output_;
  bool quit_ = false;
};

}  // namespace voskel::rigctl
