#pragma once
// Every field of the panel, under its own name. Texts hold at most kMaxText characters:
// they are cut where text comes in (file lines, serial reads, typed entries).
#include <array>
#include <cstdint>
#include <string>

namespace voskel {

inline constexpr std::size_t kMaxText = 255;
// Two entries per press (the key and the marker that reads the reply behind it): room for
// 64 presses typed while a long clip plays.
inline constexpr int kKeyQueueSize = 128;
inline constexpr int kBankImageLines = 420;
inline constexpr int kPassSlots = 50;

struct PanelState {
  // Start-up, connection and shutdown
  std::string VersionText;
  std::string TitleLine;
  std::string CreditLine;
  std::string VoiceDir;
  std::string FixedVoiceDir;
  int RunFlag = 0;
  int QuitRequested = 0;
  int ConnectState = -1;
  std::string MeterLine;
  std::string MeterBar;
  std::string BankFileName = "bank00.dat";
  std::string ModeName;
  std::string Frequency;
  std::string SearchLow;
  std::string SearchHigh;
  std::string StepText;
  std::string TuneText;
  int PortNumber = 0;
  int BaudRate = 0;
  int ScanVoice = 1;
  int TagVoice = 1;  // 1: a channel's tag is spoken where it is drawn; V switches, for the run
  int AttenuatorOn = 0;

  // Configuration and debug log
  std::string PortText;
  std::string SpeedText;
  int VoiceSwitch = 0;
  int DebugSwitch = 0;
  std::string LogLine;

  // Command exchange
  std::string CommandText;
  std::string ReplyText;
  int ByteCount = 0;

  // Key intake and poll cycle
  std::array<int, kKeyQueueSize> KeyQueue{};
  int KeyCount = 0;
  int KeyLatch = 0;
  int KeyOverflow = 0;  // 1: a press found the queue full; told at the next key
  int CurrentKey = 0;
  int PollState = 0;
  int SignalLevel = 0;
  int Quiet = 0;
  int StateQueryCount = 0;  // "RX" queries sent for the current search halt
  std::int64_t ReconnectDueMs = 0;  // clock time of the next try to reach a lost receiver

  // Command keys
  int EntryMode = 0;
  std::string EntryText;
  int FreshFrequency = 1;
  int FreshEntry = 0;
  // What a typed frequency or search limit replaced, put back when the typed one is refused.
  std::string FrequencyBefore;
  std::string LimitBefore;

  // Receiver settings. Hz are 64-bit: the receiver tunes to 3000 MHz.
  std::int64_t FrequencyHz = 0;
  int NoiseLimiterOn = 0;

  // Bank files
  std::array<std::string, kBankImageLines> BankLines{};
  std::array<std::string, kBankImageLines> MergeLines{};
  int IoResult = 0;
  int LastChannelIndex = 0;
  int ChannelIndex = 0;
  int BankState = 0;

  // Scan and search
  int SearchActive = 0;
  int FoundCount = 0;
  int StopMode = 0;
  int ResumeCountdown = 0;
  int ScanState = 0;
  int ScanHold = 0;
  std::array<std::string, kPassSlots> PassList{};
  int PassCount = 1;
};

}  // namespace voskel
