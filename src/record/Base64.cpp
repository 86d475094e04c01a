#include "record/Base64.h"

static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string EncodeBase64(const uint8_t* bytes, size_t size)
{
    std::string text;
    text.reserve((size + 2) / 3 * 4);
    for (size_t i = 0; i < size; i += 3) {
        const uint32_t group = uint32_t(bytes[i]) << 16 | (i + 1 < size ? uint32_t(bytes[i + 1]) << 8 : 0) |
                               (i + 2 < size ? bytes[i + 2] : 0);
        text += kAlphabet[group >> 18];
        text += kAlphabet[(group >> 12) & 63];
        text += i + 1 < size ? kAlphabet[(group >> 6) & 63] : '=';
        text += i + 2 < size ? kAlphabet[group & 63] : '=';
    }
    return text;
}

static int ReadDigit(char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    return c == '+' ? 62 : c == '/' ? 63 : -1;
}

bool DecodeBase64(const std::string& text, std::vector<uint8_t>& out)
{
    if (text.size() % 4)
        return false;
    const size_t before = out.size();
    for (size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        const int padding = last ? (text[i + 3] == '=') + (text[i + 2] == '=' && text[i + 3] == '=') : 0;
        uint32_t group = 0;
        for (int k = 0; k < 4; ++k) {
            const int digit = k >= 4 - padding ? 0 : ReadDigit(text[i + size_t(k)]);
            if (digit < 0) {
                out.resize(before);
                return false;
            }
            group = group << 6 | uint32_t(digit);
        }
        out.push_back(uint8_t(group >> 16));
        if (padding < 2)
            out.push_back(uint8_t(group >> 8));
        if (padding < 1)
            out.push_back(uint8_t(group));
    }
    return true;
}
