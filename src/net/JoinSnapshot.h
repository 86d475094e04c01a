// Joining a room under way from a seat's snapshot rather than by running its whole log, both sides:
// each seat keeps the world of a recent confirmed tick whose hash it has sent, to offer when the
// relay asks; a joining client checks the world it is given against the hash the seats agreed on
// before it runs on from it. SharedRun.cpp calls these; the replay's test option SpoilOffers too.
#pragma once
#include <string>

#include "physics/Bytes.h"  // the kept worlds

// Nothing kept, nothing given.
void ResetJoinSnapshots();
// After a seat's confirmed frame whose hash went to the relay: every kHashEveryTicks-th near the
// room's last tick is kept, from world (the world after it, as kept for rolling back) or, when null,
// the world as it is now.
void KeepOfferedWorld(long frame, long lastTick, const ByteWriter* world);
// The answer to the relay's offer: "offer TICK BASE64", or "offer 0" with none kept.
std::string WriteOffer();
// For tests: every offer from now on is spoilt (sim/Snapshot.h's SpoilSnapshot).
void SpoilOffers();
// The relay's snapshot of tick, with the room's hash for it: held for the world to start from once
// it is built, if its bytes read as that tick's world with that hash; else false, with why.
bool TakeJoinSnapshot(long tick, const std::string& hash, const std::string& base64, std::string& why);
// A snapshot is held: the world starts from it.
bool HoldsJoinSnapshot();
long ReadJoinSnapshotTick();
// With the world just built: it is kept as it is, and the snapshot held restored. False, with why,
// when the restored world is not the one its hash says: the world is as built again, as asBuilt
// says (false only if that world did not come back either).
bool RestoreJoinSnapshot(bool& asBuilt, std::string& why);
