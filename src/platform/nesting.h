// Counts how many calls of one kind are running inside one another (yields
// inside handlers inside yields), for the length of a scope.
#pragma once

namespace wl {

class Nesting {
  public:
    explicit Nesting(int& depth) : depth_(depth) { ++depth_; }
    ~Nesting() { --depth_; }
    Nesting(const Nesting&) = delete;
    Nesting& operator=(const Nesting&) = delete;

  private:
    int& depth_;
};

}  // namespace wl
