#include "net/JoinSnapshot.h"

#include <cinttypes>
#include <cstdio>
#include <vector>

#include "net/SharedRun.h"
#include "record/Base64.h"
#include "sim/Snapshot.h"

static ByteWriter gOffered;     // a seat's world after gOfferedFrame
static long gOfferedFrame;      // 0: none
static bool gSpoilOffers;
static std::vector<uint8_t> gGiven;  // the world a joining client was given, checked as far as bytes tell
static long gGivenTick;
static ByteWriter gBuilt;            // the world as built, to go back to when the given one is wrong

void ResetJoinSnapshots()
{
    gOfferedFrame = 0;
    gGiven.clear();
    gGivenTick = 0;
}

void KeepOfferedWorld(long frame, long lastTick, const ByteWriter* world)
{
    // Nearer the room's tick than the stretch a joiner runs anyway; a catch-up keeps none.
    if (frame % kHashEveryTicks != 0 || frame + 2 * kHashEveryTicks <= lastTick)
        return;
    if (world) {
        gOffered.used = 0;
        std::copy(world->bytes.begin(), world->bytes.begin() + long(world->used), MakeRoom(gOffered, world->used));
    } else {
        SaveSnapshot(gOffered);
    }
    gOfferedFrame = frame;
}

std::string WriteOffer()
{
    if (gOfferedFrame == 0)
        return std::string(kOfferWord) + " 0";
    std::vector<uint8_t> bytes(gOffered.bytes.begin(), gOffered.bytes.begin() + long(gOffered.used));
    if (gSpoilOffers)
        SpoilSnapshot(bytes.data(), bytes.size());
    return std::string(kOfferWord) + " " + std::to_string(gOfferedFrame) + " " + EncodeBase64(bytes.data(), bytes.size());
}

void SpoilOffers()
{
    gSpoilOffers = true;
}

bool TakeJoinSnapshot(long tick, const std::string& hash, const std::string& base64, std::string& why)
{
    std::vector<uint8_t> bytes;
    long frame = 0;
    char saved[17];
    if (!DecodeBase64(base64, bytes)) {
        why = "it is not base64";
        return false;
    }
    if (!CheckSnapshotBytes(bytes.data(), bytes.size(), frame, why))
        return false;
    std::snprintf(saved, sizeof saved, "%016" PRIx64, ReadSnapshotHash(bytes.data()));
    if (frame != tick) {
        why = "it holds the world of tick " + std::to_string(frame);
        return false;
    }
    if (hash != saved) {
        why = std::string("its world's hash is ") + saved + ", and the room's " + hash;
        return false;
    }
    gGiven = std::move(bytes);
    gGivenTick = tick;
    return true;
}

bool HoldsJoinSnapshot()
{
    return gGivenTick != 0;
}

long ReadJoinSnapshotTick()
{
    return gGivenTick;
}

bool RestoreJoinSnapshot(bool& asBuilt, std::string& why)
{
    SaveSnapshot(gBuilt);
    const bool restored = RestoreSnapshot(gGiven.data(), gGiven.size(), why);
    std::string built;
    asBuilt = restored || RestoreSnapshot(gBuilt.bytes.data(), gBuilt.used, built);
    if (!asBuilt)
        why += "; nor did the world as built come back: " + built;
    gGiven.clear();
    gGivenTick = 0;
    return restored;
}
