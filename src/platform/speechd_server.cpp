#include "platform/speech_server.h"

#include <cstdlib>

#ifdef VOSKEL_HAVE_SPEECHD
#include <libspeechd.h>

#include <atomic>
#include <mutex>
#include <unordered_map>
#endif

namespace voskel::platform {

#ifdef VOSKEL_HAVE_SPEECHD
namespace {

// libspeechd calls back on its own thread with no context but the connection's id, so the
// servers open in this process are found by it.
class SpeechDispatcher;
std::mutex gOpenMutex;
std::unordered_map<std::size_t, SpeechDispatcher*> gOpen;

class SpeechDispatcher : public SpeechServer {
 public:
  explicit SpeechDispatcher(SPDConnection* connection) : connection_(connection) {
    connection_->callback_begin = &Notice;
    connection_->callback_end = &Notice;
    connection_->callback_cancel = &Notice;
    {
      const std::lock_guard lock(gOpenMutex);
      gOpen[static_cast<std::size_t>(spd_get_client_id(connection_))] = this;
    }
    spd_set_notification_on(connection_, SPD_BEGIN);
    spd_set_notification_on(connection_, SPD_END);
    spd_set_notification_on(connection_, SPD_CANCEL);
  }
  ~SpeechDispatcher() override {
    {
      const std::lock_guard lock(gOpenMutex);
      std::erase_if(gOpen, [this](const auto& open) { return open.second == this; });
    }
    spd_close(connection_);
  }
  SpeechDispatcher(const SpeechDispatcher&) = delete;
  SpeechDispatcher& operator=(const SpeechDispatcher&) = delete;

  bool Say(std::string_view text) override {
    if (gone_) return false;
    // Counted first: its end may be noticed before spd_say returns.
    ++waiting_;
    // MESSAGE: said whole and in order, and never dropped for another client's text.
    gone_ = spd_say(connection_, SPD_MESSAGE, std::string(text).c_str()) < 0;
    if (gone_) waiting_ = 0;
    return !gone_;
  }
  void Cancel() override {
    if (!gone_ && spd_cancel(connection_) < 0) gone_ = true;
    waiting_ = 0;
  }
  bool Speaking() const override { return !gone_ && waiting_ > 0; }

 private:
  static void Notice(std::size_t, std::size_t clientId, SPDNotificationType type) {
    const std::lock_guard lock(gOpenMutex);
    const auto found = gOpen.find(clientId);
    if (found == gOpen.end() || type == SPD_EVENT_BEGIN) return;
    if (found->second->waiting_ > 0) --found->second->waiting_;
  }

  SPDConnection* connection_;
  bool gone_ = false;
  // Texts handed over and not yet ended or cancelled.
  std::atomic<int> waiting_ = 0;
};

}  // namespace

std::unique_ptr<SpeechServer> OpenSpeechDispatcher(std::string& why) {
  char* error = nullptr;
  // A server named by the listener is the one meant: no other is started in its place.
  const bool autospawn = std::getenv("SPEECHD_ADDRESS") == nullptr;
  // Threaded: the notices of what is being said come on libspeechd's own thread.
  SPDConnection* connection =
      spd_open2("voskel", "panel", nullptr, SPD_MODE_THREADED, nullptr, autospawn, &error);
  if (connection == nullptr) {
    why = error != nullptr ? error : "no connection";
    std::free(error);
    return nullptr;
  }
  std::free(error);
  return std::make_unique<SpeechDispatcher>(connection);
}

#else

std::unique_ptr<SpeechServer> OpenSpeechDispatcher(std::string& why) {
  why = "this panel was built without libspeechd";
  return nullptr;
}

#endif

}  // namespace voskel::platform
