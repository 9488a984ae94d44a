#include "config_writer.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <system_error>

#include "platform/atomic_file.h"

namespace voskelcfg {
namespace fs = std::filesystem;

namespace {

bool Fail(const std::string& what, const std::error_code& error) {
  std::fprintf(stderr, "voskelcfg: %s: %s\n", what.c_str(), error.message().c_str());
  return false;
}

}  // namespace

std::string ConfigText(const ConfigValues& values) {
  return "PORT" + values.port + "\r\nSPEED:" + values.speed +
         "\r\nFLOW:0\r\nVOICE:" + values.voice + "\r\nDEBUG:" + values.debug + "\r\n";
}

bool WriteConfig(const std::string& dir, const ConfigValues& values) {
  const std::string path = dir + "/VOSKEL.CFG";
  std::error_code error;
  fs::create_directories(dir, error);
  if (error) return Fail("cannot make " + dir, error);
  // Whole or not at all: a full disk or an interrupted run never leaves the panel half a
  // configuration.
  if (!voskel::platform::WriteFileAtomically(path, ConfigText(values)))
    return Fail("cannot write " + path, std::error_code(errno, std::generic_category()));
  std::fprintf(stderr, "wrote %s: port %s, %s baud, voice %s, debug log %s\n", path.c_str(),
               values.port.c_str(), values.speed.c_str(), values.voice.c_str(),
               values.debug.c_str());
  return true;
}

bool PointLink(const fs::path& link, const fs::path& target) {
  std::error_code error;
  const fs::file_status there = fs::symlink_status(link, error);
  if (fs::exists(there) && !fs::is_symlink(there)) {
    std::fprintf(stderr, "voskelcfg: %s exists and is not a symbolic link; not replacing it\n",
                 link.c_str());
    return false;
  }
  // Made under a temporary name and renamed over the old link: the name never leads
  // nowhere in between.
  const fs::path temp = link.string() + ".new" + std::to_string(::getpid());
  fs::remove(temp, error);
  fs::create_symlink(target, temp, error);
  if (error) return Fail("cannot make the link " + link.string(), error);
  fs::rename(temp, link, error);
  if (error) {
    std::error_code ignored;
    fs::remove(temp, ignored);
    return Fail("cannot make the link " + link.string(), error);
  }
  std::fprintf(stderr, "%s now points to %s\n", link.c_str(), target.c_str());
  return true;
}

}  // namespace voskelcfg
