// Reading key scripts: the replay's input, typed by hand.
#include <doctest/doctest.h>

#include <cstdio>
#include <cstring>

#include "platform/Platform.h"

static bool Read(const char* text, std::vector<KeyEvent>& events, std::string& error)
{
    std::FILE* file = std::tmpfile();
    REQUIRE(file);
    std::fputs(text, file);
    std::rewind(file);
    bool ok = ReadKeyScript(file, events, error);
    std::fclose(file);
    return ok;
}

TEST_CASE("a key script keeps the file order within a frame and orders the frames")
{
    std::vector<KeyEvent> events;
    std::string error;
    REQUIRE(Read("# drive\n\n5 down 38   # up\n2 down 32\n5 up 38\r\n2 up 32", events, error));
    REQUIRE(events.size() == 4);
    CHECK((events[0].frame == 2 && events[0].down && events[0].vk == 32));
    CHECK((events[1].frame == 2 && !events[1].down));
    CHECK((events[2].frame == 5 && events[2].down && events[2].vk == 38));
    CHECK((events[3].frame == 5 && !events[3].down));
}

TEST_CASE("a malformed key script is refused with its line and reason")
{
    const char* bad[][2] = {
        {"1 down 38\n0 down 38\n", "line 2: bad frame number"},
        {"1 press 38\n", "line 1: expected down or up"},
        {"1 down 256\n", "line 1: bad key code"},
        {"1 down -1\n", "line 1: bad key code"},
        {"1 down 38 extra\n", "line 1: expected FRAME"},
        {"1 down\n", "line 1: expected FRAME"},
        {"x down 38\n", "line 1: bad frame number"},
        {"99999999999999999999 down 38\n", "line 1: bad frame number"},
    };
    for (auto& [text, reason] : bad) {
        CAPTURE(text);
        std::vector<KeyEvent> events;
        std::string error;
        CHECK(!Read(text, events, error));
        CHECK(error.find(reason) == 0);
    }
    std::string longLine = std::string(600, '1') + " down 38\n";
    std::vector<KeyEvent> events;
    std::string error;
    CHECK(!Read(longLine.c_str(), events, error));
    CHECK(error == "line 1: too long");
}
