#include "platform/clip_files.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/sound_wav_writer.h"
#include "support/temp_dir.h"

namespace voskel::platform {
namespace {

namespace fs = std::filesystem;

class ClipFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(work() / "wave");
    Touch(work() / "wave" / "scan.wav");
    Touch(work() / "wave" / "FM.WAV");
    Touch(work() / "wave" / "raw.pcm");
    fs::create_directories(work() / "wave" / "dir.wav");
  }
  const fs::path& work() const { return scratch_.Path(); }
  static void Touch(const fs::path& file) { std::ofstream(file) << "x"; }
  std::optional<fs::path> Resolve(std::string_view name) { return ResolveClip(work(), name); }

 private:
  testing::TempDir scratch_{"clips"};
};

TEST_F(ClipFilesTest, FindsClipsWhateverTheCaseSeparatorOrExtension) {
  const fs::path scan = work() / "wave" / "scan.wav";
  EXPECT_EQ(Resolve("wave\\scan"), scan);
  EXPECT_EQ(Resolve("wave\\scan.wav"), scan);
  EXPECT_EQ(Resolve("WAVE\\SCAN"), scan);
  EXPECT_EQ(Resolve("wave/Scan.Wav"), scan);
  EXPECT_EQ(Resolve("wave\\FM"), work() / "wave" / "FM.WAV");
  EXPECT_EQ(Resolve("wave\\fm.wav"), work() / "wave" / "FM.WAV");
  EXPECT_EQ(Resolve("wave\\raw.pcm"), work() / "wave" / "raw.pcm");  // an extension of its own
}

TEST_F(ClipFilesTest, NamesThatFindNoFileResolveToNothing) {
  EXPECT_EQ(Resolve(""), std::nullopt);
  EXPECT_EQ(Resolve("wave\\"), std::nullopt);
  EXPECT_EQ(Resolve("wave\\absent"), std::nullopt);
  EXPECT_EQ(Resolve("wave\\raw"), std::nullopt);    // raw.wav, not raw.pcm
  EXPECT_EQ(Resolve("wave\\dir"), std::nullopt);    // a folder, not a clip
  EXPECT_EQ(Resolve("voice\\scan"), std::nullopt);  // no such folder
  EXPECT_EQ(Resolve("wave\\..\\wave\\scan"), std::nullopt);
  // The voice switched off: bare names are looked for beside VOSKEL.CFG, where no clip is.
  EXPECT_EQ(Resolve("scan"), std::nullopt);
  EXPECT_EQ(Resolve(std::string(300, 'x')), std::nullopt);
}

TEST_F(ClipFilesTest, BareNameIsLookedUpInTheWorkingDirectory) {
  Touch(work() / "Greeting.wav");
  EXPECT_EQ(Resolve("greeting"), work() / "Greeting.wav");
}

TEST_F(ClipFilesTest, SeesClipsAddedAndRemovedLater) {
  ASSERT_EQ(Resolve("wave\\late"), std::nullopt);
  Touch(work() / "wave" / "LATE.wav");
  EXPECT_EQ(Resolve("wave\\late"), work() / "wave" / "LATE.wav");
  fs::remove(work() / "wave" / "LATE.wav");
  EXPECT_EQ(Resolve("wave\\late"), std::nullopt);
}

}  // namespace
}  // namespace voskel::platform
