// Pictures and kept recordings from the page. The shell writes each into the pictures folder, which
// here is a folder of emscripten's in-memory file system; once the frame is shown, each new file
// there goes to the browser as a download under its name.
#include <emscripten.h>

#include <sys/stat.h>

#include <cstdio>

#include "platform/Platform.h"
#include "platform/web/WebBackend.h"

static const char kFolder[] = "/Downloads/";

bool FindPicturesFolder(char* folder, size_t folderSize)
{
    gWeb.pictureWritten = true;  // asked for as a file is about to be saved there
    mkdir(kFolder, 0755);  // there already, or made
    return std::snprintf(folder, folderSize, "%s", kFolder) < int(folderSize);
}

// The browser's own PNG encoder, through a 2D canvas, written into the in-memory file at path.
EM_JS(int, EncodePng, (const char* pathText, const unsigned char* rgb, int width, int height, char* error, int errorSize), {
    try {
        const canvas = document.createElement('canvas');
        canvas.width = width;
        canvas.height = height;
        const context = canvas.getContext('2d');
        const image = context.createImageData(width, height);
        for (let i = 0, j = 0; i < width * height * 3; i += 3, j += 4) {
            image.data[j] = HEAPU8[rgb + i];
            image.data[j + 1] = HEAPU8[rgb + i + 1];
            image.data[j + 2] = HEAPU8[rgb + i + 2];
            image.data[j + 3] = 255;
        }
        context.putImageData(image, 0, 0);
        const base64 = canvas.toDataURL('image/png').split(',')[1];
        FS.mkdirTree(PATH.dirname(UTF8ToString(pathText)));
        FS.writeFile(UTF8ToString(pathText), Uint8Array.from(atob(base64), (c) => c.charCodeAt(0)));
        return 1;
    } catch (e) {
        stringToUTF8('the page cannot make pictures here: ' + e.message, error, errorSize);
        return 0;
    }
});

bool WritePngFile(const char* path, const unsigned char* rgb, int width, int height, char* error, size_t errorSize)
{
    return EncodePng(path, rgb, width, height, error, int(errorSize)) != 0;
}

EM_JS(void, DownloadNewPictures, (const char* folderText), {
    const folder = UTF8ToString(folderText);
    const delivered = Module.kelvaronDelivered = Module.kelvaronDelivered || new Set();
    const types = {png: 'image/png', keys: 'text/plain'};
    if (!FS.analyzePath(folder).exists) return;
    for (const name of FS.readdir(folder)) {
        const type = types[name.split('.').pop()];
        if (!type || delivered.has(name)) continue;
        delivered.add(name);
        const link = document.createElement('a');
        link.href = URL.createObjectURL(new Blob([FS.readFile(folder + name)], {type: type}));
        link.download = name;
        link.click();
        if (type === 'text/plain') Module.kelvaronPage.offerRunLink(new TextDecoder().decode(FS.readFile(folder + name)));
        setTimeout(() => URL.revokeObjectURL(link.href), 10000);
    }
});

void DeliverPictures()
{
    if (!gWeb.pictureWritten)
        return;
    gWeb.pictureWritten = false;
    DownloadNewPictures(kFolder);
}
