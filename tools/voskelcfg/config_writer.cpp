#include "config_writer.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <system_error>

namespace voskelcfg {
namespace fs = std::filesystem;

namespace {

bool Fail(const std::string& what, const std::error_code& error) {
  std::fprintf(stderr, "voskelcfg: %s: %s\n", what.c_str(), error.message().c_str());
  return false;
}

// Writes a temporary file beside the target and renames it over, so a full disk or an
// interrupted run never leaves the panel half a configuration.
bool WriteWhole(const fs::path& path, const std::string& text, std::error_code& error) {
  const fs::path temp = path.string() + ".new" + std::to_string(::getpid());
  std::ofstream out(temp, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  std::error_code ignored;
  if (!out) {
    error = std::error_code(errno != 0 ? errno : EIO, std::generic_category());
    fs::remove(temp, ignored);
    return false;
  }
  fs::rename(temp, path, error);
  if (error) fs::remove(temp, ignored);
  return !error;
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
  if (!WriteWhole(path, ConfigText(values), error)) return Fail("cannot write " + path, error);
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
