#pragma once
#include <stdexcept>
#include <string>

namespace marovi {

// Every failure of a model operation; what() is the exact message shown to the user.
class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

} // namespace marovi
