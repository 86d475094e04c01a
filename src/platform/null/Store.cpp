// The null backend's settings store: gNull.store, in memory. On its own so that a suite can link a
// real backend's store beside the rest of the null backend.
#include <cstdio>

#include "platform/null/NullPlatform.h"

void ReadStoredSettings(StoredSettings* stored)
{
    *stored = gNull.store;
}

bool WriteStoredSettings(const int32_t values[kStoredValueCount], char* error, size_t errorSize)
{
    if (gNull.storeFails) {
        std::snprintf(error, errorSize, "the store refused");
        return false;
    }
    for (int i = 0; i < kStoredValueCount; ++i) {
        gNull.store.values[i] = values[i];
        gNull.store.present[i] = true;
    }
    return true;
}
