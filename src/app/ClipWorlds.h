// The world kept once a second over the run's last minute, so that keeping the run (Shift+F12, the
// page's Shift+F9) writes a clip of that minute from the world it began with, rather than the whole
// run: its link stays short however long the run. Written in ClipWorlds.cpp alone.
#pragma once

// A new run: no world kept.
void ForgetClipWorlds();
// After a world frame: every kClipEvery-th frame's world kept in place of the oldest.
void KeepClipWorld();
// Keeps the run as a recording (record/Playback.h): a clip from the world kept about a minute ago,
// or, for a shorter run, all of it.
void KeepRunAsClip();
