// ZivError: a failure that ends a command with one line on standard error and exit status 2.
#pragma once

#include <stdexcept>
#include <string>

class TZivError : public std::runtime_error {
public:
    explicit TZivError(const std::string& what) : std::runtime_error(what) {}
};
