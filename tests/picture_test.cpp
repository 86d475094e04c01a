// The Linux program's pictures: a real PNG in the user's pictures folder, read back with libpng.
#include <doctest/doctest.h>

#include <glib.h>
#include <glib/gstdio.h>

#include <string>
#include <vector>

#include "app/Picture.h"
#include "platform/offscreen/Offscreen.h"

TEST_CASE("a saved frame lands in XDG's pictures folder, whole, with its pixels, and never over another")
{
    // GLib reads the user's folders once: they are set up before its first look.
    gchar* made = g_dir_make_tmp("kelvaron-home-XXXXXX", nullptr);
    REQUIRE(made);
    const std::string home = made;
    g_free(made);
    std::string pictures = home + "/Bilder";
    g_mkdir_with_parents((home + "/.config").c_str(), 0700);
    g_mkdir(pictures.c_str(), 0700);
    g_file_set_contents((home + "/.config/user-dirs.dirs").c_str(), "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n", -1,
                        nullptr);
    g_setenv("HOME", home.c_str(), TRUE);
    g_setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), TRUE);

    const int w = 3, h = 2;
    const unsigned char rgb[w * h * 3] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 30, 40, 50, 60, 70, 80, 90};
    char first[1024], second[1024];
    REQUIRE(SavePicture(rgb, w, h, first, sizeof first));
    REQUIRE(SavePicture(rgb, w, h, second, sizeof second));
    CHECK(std::string(first).rfind(pictures + "/kelvaron-", 0) == 0);
    CHECK(std::string(first).size() > 4);
    CHECK(std::string(first) != second);
    int width = 0, height = 0;
    std::vector<unsigned char> read = ReadPngRgb(first, &width, &height);
    CHECK(width == w);
    CHECK(height == h);
    CHECK(read == std::vector<unsigned char>(rgb, rgb + sizeof rgb));

    // A folder that cannot be written says why instead of pretending.
    g_chmod(pictures.c_str(), 0500);
    char failed[1024];
    if (g_access(pictures.c_str(), W_OK) != 0) {  // root may write anyway
        CHECK(!SavePicture(rgb, w, h, failed, sizeof failed));
        CHECK(std::string(failed).find(pictures) != std::string::npos);
    }
    g_chmod(pictures.c_str(), 0700);
}
