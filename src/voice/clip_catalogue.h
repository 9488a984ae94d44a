#pragma once
// The clip table shared by the clip generator (tools/make-voice-clips), the code that
// checks the voice folder and the panel's written messages: one line per clip,
// "name<TAB>what it says", and "<TAB>how it is written" where that differs ("O K" is
// written "ok"). A few clips are no speech: "@silence MS" is a silence of MS
// milliseconds, "@tone MS HZ" a tone.
#include <string>
#include <string_view>
#include <vector>

namespace voskel {

struct ClipEntry {
  enum class Kind { Speech, Silence, Tone };
  std::string name;
  Kind kind = Kind::Speech;
  std::string words;    // Speech: what the clip says
  std::string written;  // Speech: how it is written, when not as it is said; else empty
  int lengthMs = 0;   // Silence and Tone
  int toneHz = 0;     // Tone
};

struct ClipTable {
  std::vector<ClipEntry> clips;
  std::vector<std::string> errors;  // "line N: why", one per line that was not taken

  // Whether the table holds the clip a request names ("FM", "wfm.wav", "scan").
  bool Has(std::string_view clip) const;
  const ClipEntry* Find(std::string_view clip) const;
};

// The name a clip request comes to once case and a ".wav" ending no longer count.
std::string ClipKey(std::string_view clip);

// Reads the table. Blank lines and lines starting with '#' are skipped.
ClipTable ParseClipTable(std::string_view text);

}  // namespace voskel
