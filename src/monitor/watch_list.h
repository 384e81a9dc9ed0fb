// The watch list: the message boxes the watcher answers, numbered 1 to 20.
#pragma once

#include <array>
#include <cstddef>

#include "profile/watch_entry.h"

namespace wl {

class WatchList {
  public:
    static constexpr int kEntries = 20;

    // Entries are numbered from 1, as in the profile.
    WatchEntry& entry(int number) { return entries_.at(static_cast<std::size_t>(number - 1)); }
    const WatchEntry& entry(int number) const {
        return entries_.at(static_cast<std::size_t>(number - 1));
    }

  private:
    std::array<WatchEntry, kEntries> entries_{};
};

}  // namespace wl
