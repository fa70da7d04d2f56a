#include "io/ProfileScanner.h"

#include <charconv>
#include <cmath>

namespace kyklos {

namespace {
constexpr std::size_t kTokenLimit = 255; // a 256-byte token buffer
constexpr std::size_t kLineLimit = 254;  // a 255-byte line buffer

bool IsSpace(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool IsDigit(int c) { return c >= '0' && c <= '9'; }

// The power of ten of the leading non-zero digit of a number as ReadNumberText
// returns it: 2 for 123.4, −3 for 0.00123, −400 for 1e-400 and for 0.0…01
// with 400 zeros in all. Out of range, a negative power is an underflow and
// any other an overflow, whichever way the number is written.
long long DecimalExponent(const std::string& text)
{
    std::size_t i = (text[0] == '+' || text[0] == '-') ? 1 : 0;
    long long position = 0; // power of ten of the digit at i
    std::size_t end = text.find_first_of("eE");
    if (end == std::string::npos) end = text.size();
    // Count the integer digits to find the power of the first one.
    for (std::size_t j = i; j < end && text[j] != '.'; ++j) ++position;
    --position;
    for (; i < end; ++i) {
        if (text[i] == '.') continue;
        if (text[i] != '0') break;
        --position;
    }
    if (i == end) return -1; // all zeros: reads as zero
    long long exponent = 0;
    if (end < text.size()) {
        std::size_t j = end + 1;
        const bool negative = text[j] == '-';
        if (text[j] == '+' || text[j] == '-') ++j;
        for (; j < text.size() && exponent < 1000000000LL; ++j) exponent = exponent * 10 + (text[j] - '0');
        if (negative) exponent = -exponent;
    }
    return position + exponent;
}
} // namespace

int ProfileScanner::Get()
{
    if (!pushback_.empty()) {
        const int c = static_cast<unsigned char>(pushback_.back());
        pushback_.pop_back();
        return c;
    }
    // The stream belongs to this one read, so it needs none of the lock that
    // fgetc takes on every character once a process has started a thread
    // (kyklos-report's workers): unlocked reading is twice as fast there.
    const int c = getc_unlocked(file_);
    if (c == '\r') {
        // Text mode: CR LF is one line end.
        const int next = getc_unlocked(file_);
        if (next == '\n') return '\n';
        if (next != EOF) std::ungetc(next, file_);
    }
    return c;
}

void ProfileScanner::Unget(int c)
{
    if (c != EOF) pushback_.push_back(static_cast<char>(c));
}

void ProfileScanner::SkipSpace()
{
    int c;
    do {
        c = Get();
    } while (IsSpace(c));
    Unget(c);
}

std::optional<std::string> ProfileScanner::ReadToken()
{
    SkipSpace();
    int c = Get();
    if (c == EOF) return std::nullopt;
    std::string token;
    while (c != EOF && !IsSpace(c)) {
        token.push_back(static_cast<char>(c));
        // Longer than a token may be: no check can match it, so it fails at
        // once instead of being read to its end (a file of a billion NULs,
        // or one that never ends).
        if (token.size() > kTokenLimit) return token;
        c = Get();
    }
    Unget(c);
    return token;
}

std::optional<std::string> ProfileScanner::ReadTextLine()
{
    if (Get() == EOF) return std::nullopt;
    std::string line;
    int c = EOF;
    while (line.size() < kLineLimit) {
        c = Get();
        if (c == EOF) break;
        line.push_back(static_cast<char>(c));
        if (c == '\n') break;
    }
    if (line.empty()) return std::nullopt;
    line.pop_back();
    // The text ends at an embedded NUL, as a C string would.
    if (const auto nul = line.find('\0'); nul != std::string::npos) line.resize(nul);
    return line;
}

std::string ProfileScanner::ReadNumberText(bool allowFraction)
{
    std::string text;
    int c = Get();
    // Keeps c and reads the next character. False once the number is longer
    // than a token may be: it is then refused without reading on.
    const auto take = [&]() {
        text.push_back(static_cast<char>(c));
        if (text.size() > kTokenLimit) return false;
        c = Get();
        return true;
    };
    if (c == '+' || c == '-') take();
    bool digits = false;
    for (; IsDigit(c); digits = true)
        if (!take()) return {};
    if (allowFraction) {
        if (c == '.') {
            if (!take()) return {};
            for (; IsDigit(c); digits = true)
                if (!take()) return {};
        }
        if (digits && (c == 'e' || c == 'E')) {
            // An exponent needs at least one digit: "1e", "1e-" and "1e+x" are
            // no numbers rather than a 1 followed by something else, as in
            // formatted input, which takes the longest start of a number and
            // fails when that is not one.
            if (!take()) return {};
            if ((c == '+' || c == '-') && !take()) return {};
            if (!IsDigit(c)) {
                Unget(c);
                return {};
            }
            while (IsDigit(c))
                if (!take()) return {};
        }
    }
    Unget(c);
    if (!digits) {
        for (auto it = text.rbegin(); it != text.rend(); ++it) Unget(static_cast<unsigned char>(*it));
        return {};
    }
    return text;
}

std::optional<long long> ProfileScanner::ReadInteger(bool& atEnd)
{
    SkipSpace();
    const int c = Get();
    atEnd = c == EOF;
    Unget(c);
    if (atEnd) return std::nullopt;
    const std::string text = ReadNumberText(false);
    if (text.empty()) return std::nullopt;
    long long value = 0;
    const char* first = text.data() + (text[0] == '+' ? 1 : 0);
    const auto [ptr, error] = std::from_chars(first, text.data() + text.size(), value);
    if (error == std::errc::result_out_of_range)
        return text[0] == '-' ? -(1LL << 62) : (1LL << 62); // saturate: far beyond any valid count
    if (error != std::errc() || ptr != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<double> ProfileScanner::ReadDouble(bool& atEnd)
{
    SkipSpace();
    const int c = Get();
    atEnd = c == EOF;
    Unget(c);
    if (atEnd) return std::nullopt;
    const std::string text = ReadNumberText(true);
    if (text.empty()) return std::nullopt;
    double value = 0.0;
    const char* first = text.data() + (text[0] == '+' ? 1 : 0);
    // from_chars ignores the locale: the decimal separator is always a full stop.
    const auto [ptr, error] = std::from_chars(first, text.data() + text.size(), value);
    if (error == std::errc::result_out_of_range) {
        // Underflow reads as zero, overflow as infinity (which the reader refuses).
        const double magnitude = DecimalExponent(text) < 0 ? 0.0 : HUGE_VAL;
        return text[0] == '-' ? -magnitude : magnitude;
    }
    if (error != std::errc() || ptr != text.data() + text.size()) return std::nullopt;
    return value;
}

} // namespace kyklos
