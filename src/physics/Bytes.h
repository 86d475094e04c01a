// Values as bytes that every build writes and reads alike: integers little-endian whatever the
// host's order, floats by their bit pattern, bools as one byte 0 or 1. Inline, as a snapshot puts
// and takes some five thousand of them.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

static_assert(sizeof(float) == sizeof(uint32_t), "floats are kept as 32-bit patterns");

// Every target built for keeps its numbers little-endian: there a value's bytes are copied as they
// are, which the byte-by-byte form gives elsewhere.
constexpr bool kLittleEndianHost = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__;

// Writing into bytes, which grows as needed and keeps its room from one use to the next; the first
// `used` bytes are what was written.
struct ByteWriter {
    std::vector<uint8_t> bytes;
    size_t used;
};

inline uint8_t* MakeRoom(ByteWriter& out, size_t size)
{
    if (out.bytes.size() - out.used < size)
        out.bytes.resize(2 * out.bytes.size() + size + 256);
    uint8_t* at = out.bytes.data() + out.used;
    out.used += size;
    return at;
}

inline void PutUint8(ByteWriter& out, uint8_t value)
{
    *MakeRoom(out, 1) = value;
}

inline void PutUint16(ByteWriter& out, uint16_t value)
{
    uint8_t* at = MakeRoom(out, 2);
    at[0] = uint8_t(value);
    at[1] = uint8_t(value >> 8);
}

inline void StoreUint32(uint8_t* at, uint32_t value)
{
    if constexpr (kLittleEndianHost) {
        std::memcpy(at, &value, sizeof value);
        return;
    }
    at[0] = uint8_t(value);
    at[1] = uint8_t(value >> 8);
    at[2] = uint8_t(value >> 16);
    at[3] = uint8_t(value >> 24);
}

inline void PutUint32(ByteWriter& out, uint32_t value)
{
    StoreUint32(MakeRoom(out, 4), value);
}

inline void PutInt64(ByteWriter& out, int64_t value)
{
    PutUint32(out, uint32_t(uint64_t(value)));
    PutUint32(out, uint32_t(uint64_t(value) >> 32));
}

inline uint32_t ReadFloatBits(float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

inline void PutFloat(ByteWriter& out, float value)
{
    PutUint32(out, ReadFloatBits(value));
}

inline void PutFloats(ByteWriter& out, const float* values, int count)
{
    uint8_t* at = MakeRoom(out, 4 * size_t(count));
    if constexpr (kLittleEndianHost) {
        std::memcpy(at, values, 4 * size_t(count));
        return;
    }
    for (int i = 0; i < count; ++i)
        StoreUint32(at + 4 * i, ReadFloatBits(values[i]));
}

// Reading from at to end. A read past the end gives 0 and marks the reader short, so that a reader
// checks once at the end rather than at every value.
struct ByteReader {
    const uint8_t* at;
    const uint8_t* end;
    bool isShort;
};

inline ByteReader StartByteReader(const uint8_t* bytes, size_t size)
{
    return {bytes, bytes + size, false};
}

inline const uint8_t* TakeBytes(ByteReader& in, size_t size)
{
    static const uint8_t kZeros[8] = {};  // the most a single value takes
    if (size_t(in.end - in.at) < size) {
        in.at = in.end;
        in.isShort = true;
        return kZeros;
    }
    const uint8_t* at = in.at;
    in.at += size;
    return at;
}

inline uint8_t TakeUint8(ByteReader& in)
{
    return *TakeBytes(in, 1);
}

inline uint16_t TakeUint16(ByteReader& in)
{
    const uint8_t* at = TakeBytes(in, 2);
    return uint16_t(at[0] | at[1] << 8);
}

inline uint32_t LoadUint32(const uint8_t* at)
{
    if constexpr (kLittleEndianHost) {
        uint32_t value;
        std::memcpy(&value, at, sizeof value);
        return value;
    }
    return uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16 | uint32_t(at[3]) << 24;
}

inline uint32_t TakeUint32(ByteReader& in)
{
    return LoadUint32(TakeBytes(in, 4));
}

inline int64_t TakeInt64(ByteReader& in)
{
    const uint64_t low = TakeUint32(in);
    return int64_t(low | uint64_t(TakeUint32(in)) << 32);
}

inline float MakeFloat(uint32_t bits)
{
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

inline float TakeFloat(ByteReader& in)
{
    return MakeFloat(TakeUint32(in));
}

// Past the end, the values are left as they were.
inline void TakeFloats(ByteReader& in, float* values, int count)
{
    if (size_t(in.end - in.at) < 4 * size_t(count)) {
        TakeBytes(in, 4 * size_t(count));
        return;
    }
    if constexpr (kLittleEndianHost)
        std::memcpy(values, in.at, 4 * size_t(count));
    else
        for (int i = 0; i < count; ++i)
            values[i] = MakeFloat(LoadUint32(in.at + 4 * i));
    in.at += 4 * count;
}
