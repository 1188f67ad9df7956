#pragma once

namespace solvane {

// Where the program meets the platform: the real piece by default, another
// installed by a test that must make a call fail, see it come, or stand in
// for what cannot exist here (a CD drive).
template <typename Interface>
class Seam {
public:
    explicit Seam(Interface& platform) : platform_(platform), current_(&platform) {}
    Seam(const Seam&) = delete;
    Seam& operator=(const Seam&) = delete;

    Interface& current() const { return *current_; }

    // Installs one (nullptr: the real one again) and returns the one it replaces.
    Interface* install(Interface* replacement) {
        Interface* previous = current_;
        current_ = replacement != nullptr ? replacement : &platform_;
        return previous;
    }

private:
    Interface& platform_;
    Interface* current_;
};

} // namespace solvane
