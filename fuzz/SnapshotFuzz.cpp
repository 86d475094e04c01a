// The snapshot reader on arbitrary bytes, as they come and with their length and checksum made right,
// so that the header's physics and the scene's state behind the checksum are read too: it refuses
// with a reason, or restores a world whose state hash is the one saved (or says it is not).
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "physics/Bytes.h"
#include "sim/Simulation.h"
#include "sim/Snapshot.h"

static ByteWriter gGood;  // the world as built, put back after every input

static void Restore(const uint8_t* data, size_t size)
{
    std::string why;
    if (!RestoreSnapshot(data, size, why) && why.empty())
        std::abort();  // a refusal always says why
    if (!RestoreSnapshot(gGood.bytes.data(), gGood.used, why))
        std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!gGood.used) {
        ResetSimulation();
        BuildSimWorld(0.02f, false);
        SaveSnapshot(gGood);
    }
    Restore(data, size);
    if (size < 16 + 8)
        return 0;
    std::vector<uint8_t> sealed(data, data + size);
    for (int i = 0; i < 4; ++i)
        sealed[12 + size_t(i)] = uint8_t(size >> (8 * i));
    const uint64_t sum = ChecksumSnapshot(sealed.data(), size);
    for (int i = 0; i < 8; ++i)
        sealed[size - 8 + size_t(i)] = uint8_t(sum >> (8 * i));
    Restore(sealed.data(), size);
    return 0;
}
