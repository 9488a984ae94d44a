// Whatever a network client sends the rigctld-compatible port: every line is answered,
// nothing is left counted as unanswered, and only a setting the panel can carry out is
// passed on to it.
#include <cstdint>
#include <string_view>

#include "fuzz/invariant.h"
#include "receiver/frequency_text.h"
#include "remote/panel_view.h"
#include "remote/rigctl_protocol.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using voskel::fuzz::Require;
  namespace rigctl = voskel::rigctl;
  const rigctl::ReceiverView view{145'600'000, "FM", -18, 20};
  rigctl::Session session;
  if (!session.Take(std::string_view(reinterpret_cast<const char*>(data), size))) return 0;
  session.TakeEnd();
  // Each round answers at least one command or takes a line; there are fewer than bytes.
  for (std::size_t round = 0; round <= 2 * size && !session.Idle() && !session.Quit(); ++round) {
    session.Answer(view, 10);
    if (const auto& set = session.PendingSet()) {
      Require(set->kind == rigctl::SetRequest::Kind::kMode
                  ? voskel::ModeOf(set->mode).has_value()
                  : voskel::TunableHz(set->hz) && set->hz % rigctl::kTuningGridHz == 0,
              "a setting the panel can carry out, on the receiver's grid");
      session.Finish(set->hz % 2 ? rigctl::kRejected : rigctl::kOk);
    }
  }
  Require(session.Idle() || session.Quit(), "every line answered");
  Require(session.Unanswered() == 0, "nothing left counted as unanswered");
  Require(session.Output().empty() || session.Output().back() == '\n', "whole answers");
  return 0;
}
