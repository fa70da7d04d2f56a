#pragma once
// Reads a profile file the way the classic formatted-input routines do:
// whitespace-separated tokens, the rest of a line, decimal integers and
// floating-point numbers. A CR LF pair counts as one line end on every platform.

#include <cstdio>
#include <optional>
#include <string>

namespace kyklos {

class ProfileScanner {
public:
    explicit ProfileScanner(std::FILE* file) : file_(file) {}

    // The next run of non-blank characters, or nothing at end of file. Only
    // the first 255 characters are kept; a longer token never matches a
    // designator.
    std::optional<std::string> ReadToken();

    // Skips one character, then reads the rest of the line into a 255-byte
    // buffer (at most 254 characters, line end included) and drops the last
    // character read. Nothing at end of file.
    std::optional<std::string> ReadTextLine();

    // A decimal integer with optional sign. Nothing when the next token does
    // not start like one; `atEnd` tells whether the file had ended.
    std::optional<long long> ReadInteger(bool& atEnd);

    // A decimal floating-point number (sign, digits, fraction, exponent).
    std::optional<double> ReadDouble(bool& atEnd);

private:
    int Get();
    void Unget(int c);
    void SkipSpace();
    std::string ReadNumberText(bool allowFraction);

    std::FILE* file_;
    std::string pushback_;  // characters given back, last one read first
};

} // namespace kyklos
