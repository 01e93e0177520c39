#pragma once
// Registering the program to start at log-on, and taking it out again.

#include <string_view>

#include "platform/ports.h"

namespace talvorin::platform {

// Moves the value into the current user's Run key.
void EnableAutorun(Registry& registry, std::u16string_view path, std::u16string_view value_name);
// Moves the value out of the Run keys into the parking keys, machine-wide and
// for the current user.
void DisableAutorun(Registry& registry, std::u16string_view path, std::u16string_view value_name);

}  // namespace talvorin::platform
