// The watch list: the message boxes the watcher answers, numbered 1 to 20.
#pragma once

#include <array>
#include <string>

namespace wl {

struct WatchEntry {
    std::string Win_title;   // exactly as loaded, blanks included
    std::string Win_button;  // caption as the window system reports it ("&Yes")
    std::string Win_class;   // "#32770" for standard message boxes
    // Optional keys that tell apart boxes sharing a title; empty means no key.
    std::string Win_text{};     // a piece of the box's message, case ignored
    std::string Win_program{};  // file name of the owning program ("SLDWORKS.exe"), case ignored

    bool has_keys() const { return !Win_text.empty() || !Win_program.empty(); }
};

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
