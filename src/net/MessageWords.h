// The words of the protocol's messages, read alike by the relay and by its clients.
#pragma once
#include <string>
#include <vector>

// Printable ASCII and blanks only: no second line, no control bytes.
bool IsPrintableLine(const std::string& line);
// The line's words, split at blanks: at most most + 1 of them, so that the caller sees there were more.
std::vector<std::string> SplitMessageWords(const std::string& line, size_t most);
// A count as the protocol writes one: 1 to 10 decimal digits and nothing else, within a long.
bool ReadCount(const std::string& word, long& value);
// A room's code: 1 to 64 lowercase hexadecimal digits.
bool IsRoomCode(const std::string& code);
// A relay of a fleet as the protocol names it, HOST:PORT (an IPv6 host in brackets): its host, without
// them, and port; false when word is not one.
bool ReadRelayWord(const std::string& word, std::string& host, int& port);
// A message as a person may be shown it: its first 32 characters, each unprintable one as '?'.
std::string QuoteMessage(const std::string& text);
