#include "app/Picture.h"

#include "platform/Platform.h"
#include "record/KeptFiles.h"

bool SavePicture(const unsigned char* rgb, int width, int height, char* where, size_t whereSize)
{
    return SaveInPicturesFolder(
        "png",
        [&](const char* path, char* reason, size_t reasonSize) {
            return WritePngFile(path, rgb, width, height, reason, reasonSize);
        },
        where, whereSize);
}
