#pragma once
// The settings a run leaves to the next: mode, frequency, search limits and step. They are
// stored in bank00.dat at the end of a run, and kept all through it in state.dat in the
// same form, so that a kill, a crash or a power cut loses nothing that was in force while
// bank00.dat holds the search list.
#include <string>

#include "banks/bank_lines.h"
#include "core/panel.h"

namespace voskel {

inline constexpr const char* kStateFileName = "state.dat";

struct StoredSettings {
  std::string mode;
  std::string frequency;
  std::string low;
  std::string high;
  std::string step;
};

// What is in force now: the receiver's frequency, and the limits and step that stood
// before an entry that is still being typed, never half-typed text.
StoredSettings SettingsInForce(const PanelState& s);
// The defaults of a first run.
StoredSettings DefaultSettings();

enum class StoredRecord { kNone, kDamaged, kRead };
// The stored state in an image (bank00.dat or state.dat): kNone when it holds none (a
// search list, an empty file), kDamaged when a field is no mode, no frequency the receiver
// tunes or no step it takes, so that nothing damaged is sent or spoken.
StoredRecord ReadStoredSettings(const BankImage& lines, StoredSettings& settings);
// The image of a stored state: its title line, the five settings and the end marker.
BankImage StateRecord(const StoredSettings& settings, const std::string& title);

// Writes state.dat when what is in force is not what it holds; cheap when nothing changed.
void KeepStoredState(Panel& panel);

// The channels a memory scan passed that the receiver has not released yet, one a line in
// passes.dat, so that a run ended with the receiver away (or killed) leaves the next run
// to release them. Written when the list changes; gone when it is empty.
inline constexpr const char* kPassFileName = "passes.dat";
void KeepPassList(Panel& panel);
// Takes over what passes.dat lists, at start-up.
void RestorePassList(Panel& panel);

}  // namespace voskel
