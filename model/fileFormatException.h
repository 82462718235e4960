#pragma once

#include <exception>

// A program file that cannot be read or does not hold a valid program.
class fileFormatException : public std::exception
{
public:
    const char* what() const noexcept override { return "Bad File Format"; }
};
