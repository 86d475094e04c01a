// Bytes as text and back, in the standard alphabet with '=' padding, as a clip keeps its world.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

std::string EncodeBase64(const uint8_t* bytes, size_t size);
// Appends the bytes text stands for to out; false, with out as it was, when text is not base64 (its
// length not a multiple of four, a character outside the alphabet, padding before its end).
bool DecodeBase64(const std::string& text, std::vector<uint8_t>& out);
