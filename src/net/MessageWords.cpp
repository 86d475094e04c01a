#include "net/MessageWords.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <sstream>

constexpr size_t kQuotedChars = 32;

static bool IsPrintable(char c)
{
    return c >= ' ' && c <= '~';
}

bool IsPrintableLine(const std::string& line)
{
    return std::all_of(line.begin(), line.end(), IsPrintable);
}

std::vector<std::string> SplitMessageWords(const std::string& line, size_t most)
{
    std::vector<std::string> words;
    std::istringstream in(line);
    for (std::string w; words.size() <= most && in >> w;)
        words.push_back(w);
    return words;
}

bool ReadCount(const std::string& word, long& value)
{
    if (word.empty() || word.size() > 10 || !std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    const long long read = std::strtoll(word.c_str(), nullptr, 10);  // ten digits overflow a 32-bit long
    value = long(read);
    return read <= LONG_MAX;
}

bool IsRoomCode(const std::string& code)
{
    return !code.empty() && code.size() <= 64 && code.find_first_not_of("0123456789abcdef") == std::string::npos;
}

bool ReadRelayWord(const std::string& word, std::string& host, int& port)
{
    const size_t colon = word.rfind(':');
    long number;
    if (colon == std::string::npos || !ReadCount(word.substr(colon + 1), number) || number < 1 || number > 65535)
        return false;
    host = word.substr(0, colon);
    const bool bracketed = host.size() > 2 && host.front() == '[' && host.back() == ']';
    if (bracketed)
        host = host.substr(1, host.size() - 2);
    port = int(number);
    const char* allowed = bracketed ? "0123456789abcdefABCDEF:." : "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.-_";
    return !host.empty() && host.size() <= 253 && host.find_first_not_of(allowed) == std::string::npos;
}

std::string QuoteMessage(const std::string& text)
{
    std::string quoted = text.substr(0, kQuotedChars);
    std::replace_if(quoted.begin(), quoted.end(), [](char c) { return !IsPrintable(c); }, '?');
    return quoted;
}
