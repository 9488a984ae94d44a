#pragma once
// Spoken feedback: clips by name from the voice folders, numbers and modes clip by clip.
#include <string>
#include <string_view>

#include "core/panel.h"

namespace voskel {

inline constexpr const char* kVoiceFolder = "wave\\";

// Thrown when a synchronous clip, tag or pause ends while the panel has been asked to end
// (the close box, a signal) and its run is on (RunFlag): the key or step that was speaking
// stops there, however much it had left to say, and the run ends as the close box ends it.
// Caught where the run is started.
struct RunStopped {};

void Speak(Panel& panel, std::string_view clip);       // VoiceDir, to the clip's end
void SpeakAsync(Panel& panel, std::string_view clip);  // VoiceDir, returns at once
void SpeakFixed(Panel& panel, std::string_view clip);  // FixedVoiceDir, to the clip's end
void Pause(Panel& panel);                              // the silent "shdel"
void SpeakNumber(Panel& panel, std::string_view number);  // digit by digit, as SpokenNumber
// A number as it is said: the zeros that end its places are not ("145.500" is "145.5",
// "145.000" is "145.0").
std::string SpokenNumber(std::string_view number);
void SpeakMode(Panel& panel);                          // ModeName
// At verbosity 2 and up, where the receiver went: a frequency as a number of its own.
void SpeakWhereTo(Panel& panel, const std::string& frequency);
void SpeakCount(Panel& panel, int count);              // 0..99: tens digit when 10 or more, units
void SpeakDigit(Panel& panel, char c);                 // "0" ... "9", or "point" for '.'
// A channel's tag, synthesized and played to its end like a clip. Silent while TagVoice is 0
// or the voice is switched off, and for a tag that is empty or blank. Every clip and tag
// said adds its words to the message (voice/message.h), heard or not.
void SpeakTag(Panel& panel, std::string_view tag);

// Only the playing of Speak and SpeakTag, no message: J says a message again through these,
// so that it sounds as it did the first time.
void PlayClip(Panel& panel, const std::string& fullName, bool wait);
void PlayTag(Panel& panel, std::string_view tag, bool wait);

// speech-dispatcher speaks the words of the clips and tags (the listener chose it, it is
// reached, the voice switch is on). The panel then waits for no word: its pauses toward
// the receiver are those of the fixed folder alone, as with the voice off.
bool SpeaksWords(const Panel& panel);
// Hands what was said since to speech-dispatcher as one text; done before the panel waits
// and where a message ends. A server that is gone leaves the clips to say it, and the rest.
void SayWaitingWords(Panel& panel);
// A key was pressed: what speech-dispatcher is saying is cut short.
void CutSpeechShort(Panel& panel);

}  // namespace voskel
