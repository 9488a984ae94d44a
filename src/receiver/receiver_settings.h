#pragma once
// Single settings put into the receiver and mirrored on the panel.
#include <cstdint>
#include <string>

#include "core/panel.h"
#include "core/receiver_mode.h"
#include "link/exchange.h"
#include "receiver/frequency_text.h"

namespace voskel {

// The settings below return false when the receiver refused the command ("?"): they have
// then said "inv", and the screen and the state show what the receiver still has.
// VFO A to the frequency text; what the receiver took is recorded (ReceiverIsOn) and drawn
// (ShowFrequency), a refusal draws the one it is still on.
bool SetFrequency(Panel& panel, std::string text);
bool SetFrequencyB(Panel& panel, const std::string& text);  // VFO B to the frequency text
bool SetStep(Panel& panel);        // StepText to the receiver
bool SetStep(Panel& panel, const std::string& step);
bool ApplyMode(Panel& panel);      // shows ModeName and sends its mode
bool SelectMode(Panel& panel, Mode mode);
// The two toggles say the receiver's refusal ("inv") and leave the state as it was.
void ToggleAttenuator(Panel& panel);
void ToggleNoiseLimiter(Panel& panel);
bool TuneTypedFrequency(Panel& panel);
void ShowFrequency(Panel& panel);  // Frequency on the frequency line
void ShowModeName(Panel& panel);   // ModeName on the mode line
void SpeakSignalLevel(Panel& panel);
// The receiver is on this frequency (it took it, or reported it): Frequency and
// ReceiverFrequency follow; digits being typed are not touched.
void ReceiverIsOn(Panel& panel, const std::string& frequency);
// Frequency goes back to the one the receiver is on, when it has reported one: what went
// ahead of it (a refused setting) is dropped.
void BackToReceiverFrequency(PanelState& s);

// A setting for a program on the network port rather than for the listener: it goes to
// the receiver without a word said, whatever is being typed, and only what the receiver
// took is shown on the panel. The receiver's answer is returned; throws ReceiverLost as
// SendCommand does.
Answer PutFrequency(Panel& panel, std::int64_t hz);
Answer PutMode(Panel& panel, Mode mode);

// Asks the receiver what it holds ("RX") and takes its frequency, mode and attenuator as
// the panel's: after settings it refused, when the panel cannot know otherwise.
void LearnReceiverState(Panel& panel);

// Moves Frequency by deltaHz and tunes there; a move out of the tunable range is refused
// with "inv".
bool StepFrequency(Panel& panel, std::int64_t deltaHz);  // true when the receiver took it

}  // namespace voskel
