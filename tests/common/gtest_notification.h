// GoogleTest's own Notification is built on std::mutex, which the Windows toolchain's thread
// model does not have. Our tests start no threads, so a flag serves; only GoogleTest's thread
// helpers would wait on it. Force-included into the Windows build of GoogleTest and the tests.
#pragma once

#include <atomic>

namespace testing::internal {

class Notification {
 public:
  Notification() = default;
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;

  void Notify() { notified_.store(true); }
  void WaitForNotification() {
    while (!notified_.load()) {
    }
  }

 private:
  std::atomic<bool> notified_{false};
};

}  // namespace testing::internal
