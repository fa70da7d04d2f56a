#pragma once
// Case-insensitive equality of whole tokens, ASCII letters only: the file
// format's designators may be written in any mix of upper and lower case.

#include <string_view>

namespace kyklos {

bool EqualsIgnoreCase(std::string_view a, std::string_view b);

} // namespace kyklos
