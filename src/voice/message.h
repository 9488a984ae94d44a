#pragma once
// The message: the words of what the panel has just said, written as a person would
// write them ("145.5 ok", "bank not found", "S 9 plus"), for the braille display and
// standard output; and its clips, to be said again. The voice adds to it as it speaks,
// whether or not the voice switch lets the clips be heard; the keys, the poll cycle and
// the start-up say where one message ends.
//
// A clip adds the words the clip table gives it (a pause or a tone adds none); digits
// and the point said one after another make one number ("145.5", "12"); a channel's tag
// is written as the tag.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/panel.h"
#include "voice/clip_catalogue.h"

namespace voskel {

// The clip table the clips were made from, as the program carries it; read once.
const ClipTable& WrittenClipTable();

// What one clip or tag adds to the message being said.
void AddClipToMessage(Panel& panel, const std::string& fullName, std::string_view clip, bool wait);
void AddTagToMessage(Panel& panel, std::string_view tag);

// The words of the parts, numbers whole, other words apart.
std::string MessageText(const std::vector<SpokenPart>& parts);

// What is said next begins no part of a number said before.
void EndNumber(Panel& panel);
// A key of an entry begins: what it says can be taken back with it.
void MarkKeyStart(Panel& panel);
// Backspace: the message goes back to what it was before the key whose character is
// taken back (when one was); what the Backspace itself said goes with it.
void TakeBackKeyFromMessage(Panel& panel, bool characterTaken);

// Whether an entry's message is kept while the entry is being typed.
bool HoldsEntryMessage(const Panel& panel);
// The entry goes on: its message so far is shown, and kept for its next key.
void HoldMessage(Panel& panel);
// The next key of the entry adds to the message kept for it.
void ResumeHeldMessage(Panel& panel);
// What say() says is a message of its own, finished at once, apart from the message being
// said around it (a search's count, said as Enter ends the search, is no part of what
// Enter tunes).
void SayApart(Panel& panel, const std::function<void()>& say);
// A message is finished: shown on the braille display, written on standard output with
// the time, and kept as the one J says again. One without words changes nothing.
void FinishMessage(Panel& panel);
// The same for an entry's kept message, when the entry was left without a last key.
void FinishHeldMessage(Panel& panel);
// J: the last finished message, clip by clip as it was first said, on the braille display
// and standard output again. It becomes no message of its own.
void RepeatMessage(Panel& panel);

}  // namespace voskel
