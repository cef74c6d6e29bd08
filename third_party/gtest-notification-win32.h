// GoogleTest's Notification for the win32-threads runtime of the Windows build, which has no
// std::mutex or std::condition_variable (GoogleTest's own form needs both). Included ahead of
// every source that includes GoogleTest. Only GoogleTest's thread helper uses it, to let a new
// thread start; a flag it spins on does that without any runtime support.
#pragma once

#ifdef __cplusplus
#include <atomic>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

class Notification {
 public:
  Notification() = default;
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;
  void Notify() { notified_.store(true, std::memory_order_release); }
  void WaitForNotification() {
    while (!notified_.load(std::memory_order_acquire)) {
    }
  }

 private:
  std::atomic<bool> notified_{false};
};

}  // namespace internal
}  // namespace testing
#endif
