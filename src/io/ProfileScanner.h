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

    // The next run of non-blank characters, or nothing at end of file. A
    // token may have 255 characters; of a longer one only the first 256 are
    // read and returned, which match no designator.
    std::optional<std::string> ReadToken();

    // Skips one character, then reads the rest of the line into a 255-byte
    // buffer (at most 254 characters, line end included) and drops the last
    // character read. Nothing at end of file.
    std::optional<std::string> ReadTextLine();

    // A decimal integer with optional sign. Nothing when the next token does
    // not start like one or runs on beyond 255 characters; `atEnd` tells
    // whether the file had ended.
    std::optional<long long> ReadInteger(bool& atEnd);

    // A decimal floating-point number (sign, digits, fraction, exponent), as
    // ReadInteger. An exponent marker without digits makes it no number.
    std::optional<double> ReadDouble(bool& atEnd);

private:
    int Get();
    void Unget(int c);
    void SkipSpace();
    // The characters of the number that starts here, or "" when none does
    // (nothing is consumed when it does not even start like one).
    std::string ReadNumberText(bool allowFraction);

    std::FILE* file_;
    std::string pushback_; // characters given back, last one read first
};

} // namespace kyklos
