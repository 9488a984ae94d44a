#include "voice/clip_catalogue.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

#include "platform/clip_files.h"
#include "platform/sdl/sdl_sound.h"
#include "platform/sound_wav_writer.h"
#include "support/temp_dir.h"
#include "support/fake_clock.h"

namespace voskel {
namespace {

namespace fs = std::filesystem;

const fs::path kSourceDir = VOSKEL_SOURCE_DIR;

ClipTable RealTable() {
  return ParseClipTable(testing::ReadWholeFile(kSourceDir / "tools" / "voice-clips.txt"));
}

bool IsIdentifierChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// The string literals inside the argument list that starts at text[open] == '('.
std::vector<std::string> LiteralsInCall(const std::string& text, std::size_t open) {
  std::vector<std::string> literals;
  int depth = 0;
  for (std::size_t i = open; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '(') {
      ++depth;
    } else if (c == ')') {
      if (--depth == 0) break;
    } else if (c == '"' || c == '\'') {
      std::string literal;
      for (++i; i < text.size() && text[i] != c; ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) ++i;
        literal += text[i];
      }
      if (c == '"') literals.push_back(literal);
    }
  }
  return literals;
}

// Every clip name written out as a literal in a call that plays a clip.
std::set<std::string> ClipsNamedIn(const std::string& text) {
  std::set<std::string> clips;
  for (const std::string call : {"Speak", "SpeakAsync", "SpeakFixed", "Play"}) {
    for (std::size_t at = text.find(call + "("); at != std::string::npos;
         at = text.find(call + "(", at + 1)) {
      if (at > 0 && IsIdentifierChar(text[at - 1])) continue;
      for (std::string literal : LiteralsInCall(text, at + call.size())) {
        if (ClipKey(literal).rfind("wave\\", 0) == 0) literal.erase(0, 5);
        if (!literal.empty()) clips.insert(literal);
      }
    }
  }
  return clips;
}

// The clips of SpeakMode's table: {"MODE TEXT", "clip"} rows.
std::set<std::string> ModeTableClips(const std::string& text) {
  std::set<std::string> clips;
  for (std::size_t at = text.find("{\""); at != std::string::npos; at = text.find("{\"", at + 1)) {
    std::size_t i = at + 2;
    while (i < text.size() && ((text[i] >= 'A' && text[i] <= 'Z') || text[i] == ' ')) ++i;
    if (i == at + 2 || i >= text.size() || text[i] != '"' || text.compare(i + 1, 1, ",") != 0)
      continue;
    i += 2;
    while (i < text.size() && text[i] == ' ') ++i;
    if (i >= text.size() || text[i] != '"') continue;
    const std::size_t close = text.find('"', i + 1);
    if (close == std::string::npos || text.compare(close + 1, 1, "}") != 0) continue;
    clips.insert(text.substr(i + 1, close - i - 1));
  }
  return clips;
}

TEST(ClipCatalogue, ReadsSpeechSilencesTonesAndRejectsBadLines) {
  const ClipTable table = ParseClipTable(
      "# comment\r\n"
      "\n"
      "ok\tO K\tok\r\n"
      "shdel\t@silence 200\n"
      "beep\t @tone 120 1000 \n"
      "OK\tagain\n"          // line 6: the same clip, other case
      "nowords\n"            // 7: no tab
      "empty\t  \n"          // 8
      "quiet\t@silence x\n"  // 9
      "hum\t@tone 100 5\n"   // 10: below hearing
      "odd\t@whistle 3\n"    // 11
      "a.wav\tdot\n"         // 12: names carry no extension
      "hush\t@silence 9\thush\n"  // 13: a silence has nothing to write
      "last\tno line end\t");
  ASSERT_EQ(table.clips.size(), 4u);
  EXPECT_EQ(table.clips[0].words, "O K");
  EXPECT_EQ(table.clips[0].written, "ok");
  EXPECT_EQ(table.clips[3].written, "");
  EXPECT_EQ(table.clips[1].kind, ClipEntry::Kind::Silence);
  EXPECT_EQ(table.clips[1].lengthMs, 200);
  EXPECT_EQ(table.clips[2].kind, ClipEntry::Kind::Tone);
  EXPECT_EQ(table.clips[2].toneHz, 1000);
  EXPECT_EQ(table.clips[3].name, "last");
  ASSERT_EQ(table.errors.size(), 8u);
  EXPECT_EQ(table.errors.front().rfind("line 6:", 0), 0u) << table.errors.front();
  EXPECT_EQ(table.errors.back().rfind("line 13:", 0), 0u) << table.errors.back();
  EXPECT_TRUE(table.Has("OK.WAV"));
  EXPECT_FALSE(table.Has("ok.wav.wav"));
}

TEST(ClipCatalogue, TableHoldsTheComputedClipsAndAShortPause) {
  const ClipTable table = RealTable();
  EXPECT_TRUE(table.errors.empty()) << table.errors.front();
  for (char c = '0'; c <= '9'; ++c) EXPECT_TRUE(table.Has(std::string(1, c))) << c;
  for (char c = 'A'; c <= 'J'; ++c) EXPECT_TRUE(table.Has(std::string(1, c))) << c;
  for (const char* clip : {"point", "s", "plus", "srching"}) EXPECT_TRUE(table.Has(clip)) << clip;

  const ClipEntry* pause = table.Find("shdel");
  ASSERT_NE(pause, nullptr);
  EXPECT_EQ(pause->kind, ClipEntry::Kind::Silence);
  EXPECT_GE(pause->lengthMs, 150);
  EXPECT_LE(pause->lengthMs, 250);
  ASSERT_NE(table.Find("beep"), nullptr);
  EXPECT_EQ(table.Find("beep")->kind, ClipEntry::Kind::Tone);
}

TEST(ClipCatalogue, EveryClipTheCodeAsksForIsGenerated) {
  const ClipTable table = RealTable();
  std::set<std::string> asked;
  for (const auto& entry : fs::recursive_directory_iterator(kSourceDir / "src")) {
    const auto ext = entry.path().extension();
    if (ext != ".cpp" && ext != ".h") continue;
    const std::string text = testing::ReadWholeFile(entry.path());
    std::set<std::string> clips = ClipsNamedIn(text);
    if (entry.path().filename() == "voice.cpp" || entry.path().filename() == "receiver_mode.cpp")
      clips.merge(ModeTableClips(text));
    for (const std::string& clip : clips) {
      asked.insert(clip);
      EXPECT_TRUE(table.Has(clip)) << '"' << clip << "\" asked for in " << entry.path()
                                   << " but missing from tools/voice-clips.txt";
    }
  }
  // The scan must see the calls it is meant to check.
  for (const char* clip : {"shdel", "srching", "point", "wfm.wav", "auto"})
    EXPECT_TRUE(asked.count(clip)) << clip;
}

TEST(ClipCatalogue, ScanSeesLiteralsInEveryPlayingCall) {
  const std::set<std::string> clips = ClipsNamedIn(R"(
      Speak(panel, on ? "on" : "off");
      SpeakNumber(panel); Unspeak(panel, "nope");
      SpeakFixed(panel, std::string(1, '"') + "quoted");
      panel.sound.Play("wave\\shdel", true); panel.sound.Play("", false);
  )");
  EXPECT_EQ(clips, (std::set<std::string>{"on", "off", "quoted", "shdel"}));
  EXPECT_EQ(ModeTableClips(R"({"USB", "usb.wav"}, {"CW ", "cw.wav"}, {"x", "no"})"),
            (std::set<std::string>{"usb.wav", "cw.wav"}));
}

// Runs the real generator over the real table: every clip comes out, as a WAV the player
// reads, and the pause has the length the table gives it.
TEST(ClipCatalogue, GeneratorWritesEveryClip) {
  if (std::system("command -v espeak-ng >/dev/null && command -v sox >/dev/null") != 0)
    GTEST_SKIP() << "espeak-ng and sox are needed to make the clips";
  testing::TempDir scratch("make-clips");
  const fs::path wave = scratch.Path() / "wave";
  const std::string command = "'" + (kSourceDir / "tools" / "make-voice-clips").string() + "' '" +
                              wave.string() + "' >/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);

  setenv("SDL_AUDIODRIVER", "dummy", 1);
  testing::FakeClock clock;
  platform::SdlSound sound(scratch.Path(), clock);
  const ClipTable table = RealTable();
  for (const ClipEntry& clip : table.clips) {
    const auto file = platform::ResolveClip(scratch.Path(), "wave\\" + clip.name);
    ASSERT_TRUE(file) << clip.name;
    const std::int64_t before = clock.now;
    sound.Play("wave\\" + clip.name, true);
    const std::int64_t length = clock.now - before;
    if (clip.kind == ClipEntry::Kind::Speech) {
      EXPECT_GT(length, 50) << clip.name;
      EXPECT_LT(length, clip.name == "help" ? 90000 : 3000) << clip.name;
    } else {
      EXPECT_EQ(length, clip.lengthMs) << clip.name;
    }
  }
}

}  // namespace
}  // namespace voskel
