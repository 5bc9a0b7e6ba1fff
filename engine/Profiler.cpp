#include "engine/Profiler.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <mutex>

namespace tavlor {

namespace {

constexpr double cSecondsPerDay = 86400.0;

std::mutex& ProfileMutex() {
    static std::mutex mutex;
    return mutex;
}

double NowInDays() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration<double>(now).count() / cSecondsPerDay;
}

std::string_view StoredName(std::string_view name) {
    return name.substr(0, std::min(name.size(), cProfileNameLength));
}

TProfileEntry* FindEntry(std::string_view name) {
    for (TProfileEntry& entry : ProfileTable())
        if (!entry.Name.empty() && entry.Name == name) return &entry;
    return nullptr;
}

}  // namespace

TProfileTable& ProfileTable() {
    static TProfileTable table;
    return table;
}

void ClearProfile() {
    const std::lock_guard lock(ProfileMutex());
    ProfileTable().fill(TProfileEntry{});
}

void ProfileStart(std::string_view name) {
    name = StoredName(name);
    if (name.empty()) return;
    const std::lock_guard lock(ProfileMutex());
    TProfileEntry* entry = FindEntry(name);
    if (entry == nullptr) {
        for (TProfileEntry& candidate : ProfileTable()) {
            if (candidate.Name.empty()) {
                candidate = TProfileEntry{std::string(name), 0, 0, 0};
                entry = &candidate;
                break;
            }
        }
    }
    if (entry != nullptr) entry->StartTime = NowInDays();
}

void ProfileStop(std::string_view name) {
    name = StoredName(name);
    if (name.empty()) return;
    const double now = NowInDays();
    const std::lock_guard lock(ProfileMutex());
    TProfileEntry* entry = FindEntry(name);
    if (entry == nullptr || entry->StartTime == 0) return;
    entry->TotalTime += now - entry->StartTime;
    entry->StartTime = 0;
    ++entry->Calls;
}

std::string ProfileText() {
    const std::lock_guard lock(ProfileMutex());
    std::string text;
    for (const TProfileEntry& entry : ProfileTable()) {
        if (entry.Name.empty()) continue;
        char seconds[64];
        std::snprintf(seconds, sizeof seconds, "%0.2f", entry.TotalTime * cSecondsPerDay);
        text += entry.Name;
        text += " : ";
        text += seconds;
        text += " sec. - ";
        text += std::to_string(entry.Calls);
        text += " calls\r\n";
    }
    return text;
}

}  // namespace tavlor
