#include "sim/Snapshot.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "physics/Bytes.h"
#include "physics/SceneState.h"
#include "sim/PhysicsName.h"
#include "sim/Simulation.h"
#include "sim/StateHash.h"

constexpr char kMagic[8] = {'K', 'E', 'L', 'V', 'S', 'N', 'A', 'P'};
constexpr size_t kPhysicsNameSize = 24;
constexpr size_t kHeaderSize = sizeof kMagic + 4 + 4 + kPhysicsNameSize + 8 + 8;
constexpr size_t kChecksumSize = 8;
// What follows the header before the scene: held controls and pause, targets, the autopilot switch,
// the autopilot's cars, seed and state.
constexpr size_t kRunStateSize = (kCarCount * 5 + 1 + 1) + kCarCount * 8 + 1 + kCarCount * (8 + 1 + 8 + 4 * 8) + 4 + 4;

// FNV-1a over little-endian 32-bit words in four interleaved lanes, folded together, then the last
// bytes one by one. A change to any word changes its lane's value; four lanes a step keep the
// multiplications' latency from setting the pace, a few microseconds for a snapshot.
static uint64_t ChecksumBytes(const uint8_t* bytes, size_t size)
{
    constexpr uint64_t kPrime = 1099511628211ull;
    uint64_t a = kFnvOffsetBasis, b = a + 1, c = a + 2, d = a + 3;
    size_t i = 0;
    for (; i + 16 <= size; i += 16) {
        a = (a ^ LoadUint32(bytes + i)) * kPrime;
        b = (b ^ LoadUint32(bytes + i + 4)) * kPrime;
        c = (c ^ LoadUint32(bytes + i + 8)) * kPrime;
        d = (d ^ LoadUint32(bytes + i + 12)) * kPrime;
    }
    uint64_t sum = kFnvOffsetBasis;
    for (uint64_t lane : {a, b, c, d})
        for (int k = 0; k < 8; ++k)
            sum = (sum ^ uint8_t(lane >> (8 * k))) * kPrime;
    for (; i < size; ++i)
        sum = (sum ^ bytes[i]) * kPrime;
    return sum;
}

uint64_t ChecksumSnapshot(const uint8_t* bytes, size_t size)
{
    return ChecksumBytes(bytes, size < kChecksumSize ? 0 : size - kChecksumSize);
}

static void PutUint64(ByteWriter& out, uint64_t value)
{
    PutInt64(out, int64_t(value));
}

static uint64_t TakeUint64(ByteReader& in)
{
    return uint64_t(TakeInt64(in));
}

// The held controls in the state hash's order (per car steer left and right, faster, slower, lift,
// then car 0's stop and spin) and the pause; per car the speed and steering targets; the autopilot
// switch and the autopilot.
static void WriteRunState(ByteWriter& out)
{
    for (const CarControls& held : gSim.controls)
        for (bool control : {held.steerLeft, held.steerRight, held.faster, held.slower, held.lift})
            PutUint8(out, control);
    PutUint8(out, gSim.controls[0].stopAndSpin);
    PutUint8(out, gSim.paused);
    for (int c = 0; c < kCarCount; ++c) {
        PutFloat(out, gSim.targets.speed[c]);
        PutFloat(out, gSim.targets.steer[c]);
    }
    PutUint8(out, gSim.settings.autopilot);
    WriteAutopilotState(out);
}

static void ReadRunState(ByteReader& in)
{
    for (CarControls& held : gSim.controls)
        for (bool* control : {&held.steerLeft, &held.steerRight, &held.faster, &held.slower, &held.lift})
            *control = TakeUint8(in) != 0;
    gSim.controls[0].stopAndSpin = TakeUint8(in) != 0;
    gSim.paused = TakeUint8(in) != 0;
    gSim.stepRequested = false;
    for (int c = 0; c < kCarCount; ++c) {
        gSim.targets.speed[c] = TakeFloat(in);
        gSim.targets.steer[c] = TakeFloat(in);
    }
    gSim.settings.autopilot = TakeUint8(in) != 0;
    ReadAutopilotState(in);
}

void SaveSnapshot(ByteWriter& out)
{
    out.used = 0;
    std::memcpy(MakeRoom(out, sizeof kMagic), kMagic, sizeof kMagic);
    PutUint32(out, kSnapshotFormat);
    const size_t lengthAt = out.used;
    PutUint32(out, 0);
    const std::string physics = DescribePhysics();
    uint8_t* name = MakeRoom(out, kPhysicsNameSize);
    std::memset(name, 0, kPhysicsNameSize);
    std::memcpy(name, physics.data(), physics.size() < kPhysicsNameSize ? physics.size() : kPhysicsNameSize - 1);
    PutInt64(out, gSim.frame);
    PutUint64(out, HashWorldState());

    WriteRunState(out);
    WriteSceneState(gSim.scene, out);

    const uint32_t length = uint32_t(out.used + kChecksumSize);
    for (int i = 0; i < 4; ++i)
        out.bytes[lengthAt + size_t(i)] = uint8_t(length >> (8 * i));
    PutUint64(out, ChecksumBytes(out.bytes.data(), out.used));  // the whole but the checksum
}

static bool Refuse(std::string& why, const std::string& reason)
{
    why = reason;
    return false;
}

bool CheckSnapshotBytes(const uint8_t* bytes, size_t size, long& frame, std::string& why)
{
    if (size < sizeof kMagic || std::memcmp(bytes, kMagic, sizeof kMagic) != 0)
        return Refuse(why, "not a Kelvaron snapshot");
    ByteReader in = StartByteReader(bytes + sizeof kMagic, size - sizeof kMagic);
    const uint32_t format = TakeUint32(in);
    const uint32_t length = TakeUint32(in);
    if (in.isShort)
        return Refuse(why, "cut short: " + std::to_string(size) + " bytes");
    if (format != kSnapshotFormat)
        return Refuse(why, "a snapshot of format " + std::to_string(format) + ", and this build reads format " +
                               std::to_string(kSnapshotFormat));
    if (size < length || length < kHeaderSize + kRunStateSize + kChecksumSize)
        return Refuse(why, "cut short: " + std::to_string(size) + " of its " + std::to_string(length) + " bytes");
    if (size > length)
        return Refuse(why, "damaged: " + std::to_string(size - length) + " bytes follow its end");
    ByteReader end = StartByteReader(bytes + size - kChecksumSize, kChecksumSize);
    if (TakeUint64(end) != ChecksumSnapshot(bytes, size))
        return Refuse(why, "damaged: its checksum does not match its bytes");
    const char* name = reinterpret_cast<const char*>(in.at);
    const std::string physics(name, std::find(name, name + kPhysicsNameSize - 1, '\0'));
    if (physics != DescribePhysics())
        return Refuse(why, "made with physics '" + physics + "', and this build's is '" + DescribePhysics() +
                               "': its world would not run on the same");
    ByteReader at = StartByteReader(bytes + sizeof kMagic + 8 + kPhysicsNameSize, 8);
    frame = long(TakeInt64(at));
    return true;
}

uint64_t ReadSnapshotHash(const uint8_t* bytes)
{
    ByteReader in = StartByteReader(bytes + kHeaderSize - 8, 8);
    return TakeUint64(in);
}

void SpoilSnapshot(uint8_t* bytes, size_t size)
{
    if (size < kHeaderSize + kRunStateSize + kChecksumSize)
        return;
    bytes[kHeaderSize] ^= 1;  // the first of the held controls
    const uint64_t sum = ChecksumSnapshot(bytes, size);
    for (size_t i = 0; i < kChecksumSize; ++i)
        bytes[size - kChecksumSize + i] = uint8_t(sum >> (8 * i));
}

// The header and the checksum, and what the scene's state says of its fit; nothing changes.
static bool CheckSnapshot(const uint8_t* bytes, size_t size, std::string& why)
{
    long frame;
    if (!CheckSnapshotBytes(bytes, size, frame, why))
        return false;
    const size_t sceneAt = kHeaderSize + kRunStateSize;
    if (!CheckSceneState(gSim.scene, StartByteReader(bytes + sceneAt, size - kChecksumSize - sceneAt), why))
        return Refuse(why, "of another world: " + why);
    return true;
}

bool RestoreSnapshot(const uint8_t* bytes, size_t size, std::string& why)
{
    if (!CheckSnapshot(bytes, size, why))
        return false;
    const size_t frameAt = sizeof kMagic + 8 + kPhysicsNameSize;
    ByteReader in = StartByteReader(bytes + frameAt, size - kChecksumSize - frameAt);
    const long frame = long(TakeInt64(in));
    const uint64_t hash = TakeUint64(in);
    RestartCommandsAt(frame);
    ReadRunState(in);
    ReadSceneState(gSim.scene, in);
    const uint64_t restored = HashWorldState();
    if (restored != hash) {
        char line[128];
        std::snprintf(line, sizeof line, "the restored world's state hash is %016llx, and the saved one %016llx",
                      (unsigned long long)restored, (unsigned long long)hash);
        return Refuse(why, line);
    }
    return true;
}
