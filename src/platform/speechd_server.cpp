#include "platform/speech_server.h"

#include <cstdlib>

#ifdef VOSKEL_HAVE_SPEECHD
#include <libspeechd.h>

#include <atomic>
#include <mutex>
#include <set>
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
    // MESSAGE: said whole and in order, and never dropped for another client's text.
    const int id = spd_say(connection_, SPD_MESSAGE, std::string(text).c_str());
    gone_ = id < 0;
    if (gone_) return false;
    // Its end may have been noticed before spd_say returned.
    const std::lock_guard lock(mutex_);
    lastSaid_ = static_cast<std::size_t>(id);
    if (endedEarly_.erase(lastSaid_) == 0) pending_.insert(lastSaid_);
    return true;
  }
  void Cancel() override {
    if (!gone_ && spd_cancel(connection_) < 0) gone_ = true;
    const std::lock_guard lock(mutex_);
    pending_.clear();
  }
  bool Speaking() const override {
    const std::lock_guard lock(mutex_);
    return !gone_ && !pending_.empty();
  }

 private:
  // Counted by message: the end of a text cancelled earlier, noticed late, must not end
  // the one being said now.
  static void Notice(std::size_t messageId, std::size_t clientId, SPDNotificationType type) {
    const std::lock_guard lock(gOpenMutex);
    const auto found = gOpen.find(clientId);
    if (found == gOpen.end() || type == SPD_EVENT_BEGIN) return;
    SpeechDispatcher& server = *found->second;
    const std::lock_guard own(server.mutex_);
    if (server.pending_.erase(messageId) == 0 && messageId > server.lastSaid_)
      server.endedEarly_.insert(messageId);
  }

  SPDConnection* connection_;
  std::atomic<bool> gone_ = false;
  mutable std::mutex mutex_;
  // The messages handed over and not yet ended or cancelled, by their ids.
  std::set<std::size_t> pending_;
  std::set<std::size_t> endedEarly_;
  std::size_t lastSaid_ = 0;
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
