// The overlay font: the backend renders the glyphs as fonts do, top row first; glBitmap takes them
// bottom row first. Turned over here once, for every backend.
#pragma once

// Asks the backend for the font and hands it to the text drawing; with the GL context current.
void LoadOverlayFont();
