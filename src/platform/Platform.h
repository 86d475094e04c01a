// The one contract between the shared code and a platform backend. Only plain types cross it.
#pragma once
#include <cstdint>

// --- What a backend supplies ---

// Milliseconds from an arbitrary start, wrapping at 2^32 like the Windows tick count.
uint32_t ReadTickCount();
// Replaces the render window's title.
void SetRenderWindowTitle(const char* title);
// Makes the display lists of the overlay font's glyphs, codes kFontFirstChar on (see Text.h), and
// sets gFontBase; leaves it 0 when no font can be had, so that text draws nothing.
void CreateBitmapFont();
