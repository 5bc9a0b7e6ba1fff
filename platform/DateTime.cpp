#include "platform/DateTime.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace tavlor {

TDateTime Now() {
    const auto now = std::chrono::system_clock::now();
    const auto micros =
        std::chrono::duration_cast<std::chrono::microseconds>(now.time_since_epoch()).count();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    const double localSeconds =
        static_cast<double>(micros) / 1e6 + static_cast<double>(local.tm_gmtoff);
    return cUnixEpochDate + SecondsToDays(localSeconds);
}

TDateTime MonotonicNow() {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return SecondsToDays(std::chrono::duration<double>(since).count());
}

void Sleep(std::int32_t milliseconds) {
    if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace tavlor
