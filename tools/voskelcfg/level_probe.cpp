#include "level_probe.h"

#include <chrono>
#include <memory>
#include <string>

#include "link/reply_fields.h"

namespace voskelcfg {
namespace {

using voskel::platform::SerialDevice;
using Clock = std::chrono::steady_clock;

// The receiver answers within a few milliseconds; what has not come by then is not coming.
constexpr std::chrono::milliseconds kReplyWait{300};
// Bytes worth reading while waiting: a level reply is 8, a chatty device is cut off.
constexpr std::size_t kHeardLimit = 4096;
constexpr char kLevelQuery[] = "LM\r";

// Throws away what arrived before the question, so an old line is not taken for the answer.
void DiscardWaiting(SerialDevice& line) {
  char buffer[256];
  for (std::size_t dropped = 0; dropped < kHeardLimit && line.BytesWaiting() > 0;) {
    const int got = line.Read(buffer, sizeof buffer);
    if (got <= 0) break;
    dropped += static_cast<std::size_t>(got);
  }
}

// Sends the level query and collects the answer; true on a level reply.
bool AskLevel(SerialDevice& line, std::string& heard) {
  heard.clear();
  const int length = sizeof kLevelQuery - 1;
  if (line.Write(kLevelQuery, length) != length) return false;
  const Clock::time_point deadline = Clock::now() + kReplyWait;
  while (!HoldsLevelReply(heard) && heard.size() < kHeardLimit) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0 || !line.WaitForInput(static_cast<int>(left))) break;
    char buffer[256];
    const int got = line.Read(buffer, sizeof buffer);
    if (got > 0) heard.append(buffer, static_cast<std::size_t>(got));
  }
  return HoldsLevelReply(heard);
}

bool AnswersAt(const std::filesystem::path& device, int speed, voskel::platform::OpenError& error) {
  const std::unique_ptr<SerialDevice> line = SerialDevice::Open(device, speed, &error);
  if (!line) return false;
  const int kEightDataBits = 8, kNoParity = 0, kTwoStopBits = 2;
  if (line->SetFormat(kEightDataBits, kNoParity, kTwoStopBits) != 0) return false;
  DiscardWaiting(*line);
  std::string heard;
  if (AskLevel(*line, heard)) return true;
  // An answer that is no level reply is most likely the receiver's "?" for a line that
  // began with what an earlier, wrong speed made of the query. That answer ended the
  // garbled line, so the same question now arrives on its own.
  return !heard.empty() && AskLevel(*line, heard);
}

}  // namespace

bool HoldsLevelReply(std::string_view heard) {
  return voskel::FindLevelReply(heard) != std::string_view::npos;
}

int FindAnsweringSpeed(const std::filesystem::path& device, voskel::platform::OpenError& error) {
  for (const int speed : kReceiverSpeeds) {
    if (AnswersAt(device, speed, error)) return speed;
    // A device that cannot be opened now will not open at the next speed either.
    const voskel::platform::OpenFailure failure = error.failure;
    if (failure != voskel::platform::OpenFailure::kNone &&
        failure != voskel::platform::OpenFailure::kBadSpeed)
      return 0;
  }
  return 0;
}

}  // namespace voskelcfg
