// Snapshots, as Box2D tests its own: a world restored runs on bit for bit as the one never
// interrupted, in the same scene or a newly built one, and a snapshot that does not fit is refused
// before anything changes.
#include <doctest/doctest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "SceneHelpers.h"
#include "app/Commands.h"
#include "app/Frame.h"
#include "app/Settings.h"
#include "physics/Bytes.h"
#include "sim/Snapshot.h"
#include "sim/StateHash.h"

// The autopilot drives every car from frame 300; car 0's space bar goes down at frame 340, so that
// its hub motors are on. By frame 350 some posts and table parts are asleep.
static void StartDrivenRun(long frames)
{
    StartAutopilotScene(5);
    QueueCommand({340, CommandKind::kStopAndSpin, 0, CarKey::kSteerLeft, true, CommandSource::kAutopilot});
    RunFrames(frames);
}

static std::vector<uint8_t> Save()
{
    ByteWriter out{};
    SaveSnapshot(out);
    return std::vector<uint8_t>(out.bytes.begin(), out.bytes.begin() + long(out.used));
}

static std::vector<uint64_t> RunHashing(long frames)
{
    std::vector<uint64_t> hashes;
    for (long i = 0; i < frames; ++i) {
        RunFrame();
        hashes.push_back(HashWorldState());
    }
    return hashes;
}

// The top-level space's geoms in its list's order, which dGeomMoved changes every step.
static std::vector<dGeomID> ListSpaceOrder()
{
    std::vector<dGeomID> order;
    for (int i = 0; i < dSpaceGetNumGeoms(gSim.scene.space); ++i)
        order.push_back(dSpaceGetGeom(gSim.scene.space, i));
    return order;
}

static bool Restore(const std::vector<uint8_t>& bytes, std::string& why)
{
    return RestoreSnapshot(bytes.data(), bytes.size(), why);
}

TEST_CASE("a world wound back in its own scene runs on as it ran the first time")
{
    StartDrivenRun(350);
    const std::vector<uint8_t> saved = Save();
    const uint64_t savedHash = HashWorldState();
    const std::vector<dGeomID> savedOrder = ListSpaceOrder();
    const std::vector<uint64_t> first = RunHashing(200);
    const std::vector<uint8_t> firstEnd = Save();
    // Setting a ramp where it is moves it to the front of the list, and the contacts' order with it.
    const dReal* ramp = dGeomGetPosition(gSim.scene.ramp2);
    dGeomSetPosition(gSim.scene.ramp2, ramp[0], ramp[1], ramp[2]);
    REQUIRE(ListSpaceOrder() != savedOrder);

    std::string why;
    REQUIRE_MESSAGE(Restore(saved, why), why);
    CHECK(gSim.frame == 350);
    CHECK(HashWorldState() == savedHash);
    CHECK(ListSpaceOrder() == savedOrder);
    CHECK(Save() == saved);
    CHECK(RunHashing(200) == first);
    CHECK(Save() == firstEnd);  // to the last counter and cached bound
    EndScene();
}

TEST_CASE("a world restored in a newly built scene runs on as the uninterrupted one")
{
    StartDrivenRun(350);
    const std::vector<uint8_t> saved = Save();
    const std::vector<uint64_t> uninterrupted = RunHashing(300);
    const std::vector<uint8_t> end = Save();
    EndScene();

    StartScene();  // the autopilot off and at seed 1: the snapshot's switch and generator must win
    std::string why;
    REQUIRE_MESSAGE(Restore(saved, why), why);
    CHECK(gSim.settings.autopilot);
    CHECK(RunHashing(300) == uninterrupted);
    CHECK(Save() == end);
    EndScene();
}

TEST_CASE("the bytes: a fixed header, little-endian, and the checksum of the whole")
{
    StartDrivenRun(5);
    const std::vector<uint8_t> bytes = Save();
    const auto readLittle = [&](size_t at, int size) {
        uint64_t value = 0;
        for (int i = 0; i < size; ++i)
            value |= uint64_t(bytes[at + size_t(i)]) << (8 * i);
        return value;
    };
    CHECK(std::memcmp(bytes.data(), "KELVSNAP", 8) == 0);
    CHECK(readLittle(8, 4) == kSnapshotFormat);
    CHECK(readLittle(12, 4) == bytes.size());
    CHECK(std::string(reinterpret_cast<const char*>(bytes.data() + 16)) == "ode-" dODE_VERSION " 1");
    CHECK(readLittle(40, 8) == 5);
    CHECK(readLittle(48, 8) == HashWorldState());
    CHECK(readLittle(bytes.size() - 8, 8) == ChecksumSnapshot(bytes.data(), bytes.size()));
    EndScene();
}

// The snapshot changed by change, with its checksum made right again unless told otherwise.
static std::vector<uint8_t> Alter(std::vector<uint8_t> bytes, void (*change)(std::vector<uint8_t>&), bool seal = true)
{
    change(bytes);
    const uint64_t sum = ChecksumSnapshot(bytes.data(), bytes.size());
    for (int i = 0; seal && i < 8; ++i)
        bytes[bytes.size() - 8 + size_t(i)] = uint8_t(sum >> (8 * i));
    return bytes;
}

TEST_CASE("a snapshot of another format, of other physics, of another world, damaged or cut short is refused "
          "before anything changes")
{
    StartDrivenRun(350);
    const std::vector<uint8_t> good = Save();
    RunFrames(10);
    const uint64_t hash = HashWorldState();
    const std::vector<uint8_t> now = Save();
    const struct {
        const char* what;
        std::vector<uint8_t> bytes;
        const char* reason;
    } bad[] = {
        {"empty", {}, "not a Kelvaron snapshot"},
        {"a key script", {'1', ' ', 'd', 'o', 'w', 'n', ' ', '3', '8', '\n'}, "not a Kelvaron snapshot"},
        {"the header alone", std::vector<uint8_t>(good.begin(), good.begin() + 56), "cut short: 56 of its"},
        {"its last byte gone", std::vector<uint8_t>(good.begin(), good.end() - 1), "cut short"},
        {"a byte more", Alter(good, [](std::vector<uint8_t>& b) { b.push_back(0); }, false), "damaged: 1 bytes follow"},
        {"a bit flipped in the scene", Alter(good, [](std::vector<uint8_t>& b) { b[b.size() / 2] ^= 4; }, false),
         "damaged: its checksum"},
        {"format 2", Alter(good, [](std::vector<uint8_t>& b) { b[8] = 2; }), "format 2, and this build reads format 1"},
        {"another physics revision", Alter(good, [](std::vector<uint8_t>& b) { b[16 + 4 + std::strlen(dODE_VERSION) + 1] = '7'; }),
         "made with physics 'ode-" dODE_VERSION " 7'"},
        // Past the header (56 bytes), the run's state (197), the world's counts, gravity and seed (20):
        // post 0's averaging counter, 8 + 120 bytes into its record.
        {"a counter past its samples", Alter(good, [](std::vector<uint8_t>& b) { b[273 + 128] = 5; }),
         "of another world: a body's velocity averaging is past its samples"},
        // Past the 85 bodies (160 bytes each) and the 25 hinges (113) and 6 hinge-2s (205): the ground
        // plane's flags, the fifth geom's, marked as a geom whose pose is made from an offset.
        {"a geom of another kind", Alter(good, [](std::vector<uint8_t>& b) { b[273 + 85 * 160 + 25 * 113 + 6 * 205 + 4 * 28] ^= 2; }),
         "of another world: a geom is of another kind"},
        // The last geom of car 2's space named as the top-level space, which no space holds.
        {"a space listing a geom it does not hold", Alter(good, [](std::vector<uint8_t>& b) {
             b[b.size() - 10] = 0;
             b[b.size() - 9] = 0;
         }),
         "of another world: car 2's space lists a geom it does not hold"},
    };
    for (const auto& b : bad) {
        CAPTURE(b.what);
        std::string why;
        CHECK_FALSE(RestoreSnapshot(b.bytes.data(), b.bytes.size(), why));
        CHECK_MESSAGE(why.find(b.reason) != std::string::npos, why);
        CHECK(gSim.frame == 360);
        CHECK(HashWorldState() == hash);
        CHECK(Save() == now);
    }
    EndScene();
}
