#pragma once
// Single settings put into the receiver and mirrored on the panel.
#include <cstdint>
#include <string>

#include "core/panel.h"
#include "receiver/frequency_text.h"

namespace voskel {

enum class Mode { FM, AM, LSB, USB, WFM, CW, Auto };

void SetFrequency(Panel& panel);   // VFO A to TuneText, then ShowFrequency
void SetFrequencyB(Panel& panel);  // VFO B to TuneText
void ShowFrequency(Panel& panel);  // Frequency on the frequency line
void FrequencyToHz(Panel& panel);  // TuneText -> FrequencyHz
void HzToFrequency(Panel& panel);  // FrequencyHz -> TuneText
void SetStep(Panel& panel);        // StepText to the receiver
void ApplyMode(Panel& panel);      // shows ModeName and sends its mode
void SelectMode(Panel& panel, Mode mode);
void ToggleAttenuator(Panel& panel);
void ToggleNoiseLimiter(Panel& panel);
void SpeakSignalLevel(Panel& panel);
void TuneTypedFrequency(Panel& panel);

// Moves Frequency by deltaHz and tunes there; a move out of the tunable range is refused
// with "inv".
void StepFrequency(Panel& panel, std::int64_t deltaHz);

}  // namespace voskel
