// Rooms in the page. Opened from a relay with ?room=CODE in its address, the page joins that room,
// and with ?room=new (the page's "Play together") it opens a new one; each run is then a seat in the
// room's world, as kelvaron --join LINK is on the desktop. The run asks once its first frame is on
// screen: with a software GL, compiling the first frame's shaders takes longer than the whole join,
// and a page busy with it would leave each of the relay's answers waiting. The room's log comes in
// while the browser runs (the relay socket's pump waits for it), then the run goes into the room's
// world, catches up and goes on with the relay's ticks. Under the canvas the page says how it
// stands (page.js).
#include <emscripten.h>

#include <string>

#include "platform/Platform.h"
#include "platform/web/WebBackend.h"

constexpr int kLinkSize = 512;  // a relay's address and a room's code fit many times over

// The link the page's address names, as the relay's links read (page.js): empty without a room.
EM_JS(void, ReadPageRoomLink, (char* link, int size), { stringToUTF8(Module.kelvaronPage.roomLink(), link, size); });

EM_JS(void, SayJoiningInPage, (), { Module.kelvaronPage.sayJoining(); });

EM_JS(void, ShowRoomInPage, (const char* room, int seat, const char* line, bool left, const char* problem), {
    Module.kelvaronPage.showRoom({room: UTF8ToString(room), seat: seat, line: UTF8ToString(line), left: !!left,
                                  problem: UTF8ToString(problem)});
});

void ReadPageRoom()
{
    char link[kLinkSize];
    ReadPageRoomLink(link, kLinkSize);
    gWeb.inRoom = false;
    gWeb.roomToJoin = link;
}

void JoinPageRoom()
{
    if (gWeb.roomToJoin.empty() || gWeb.framesPresented < 2)
        return;
    RunSwitches switches;
    switches.join = gWeb.roomToJoin;
    switches.windowOpen = true;
    gWeb.roomToJoin.clear();
    SayJoiningInPage();
    std::string error;
    if (!StartRunSwitches(switches, error)) {
        // "cannot join LINK: WHY": the page names the room itself.
        const std::string said = "cannot join " + switches.join + ": ";
        const size_t why = error.compare(0, said.size(), said) == 0 ? said.size() : 0;
        ShowRoomInPage("", -1, "", false, error.c_str() + why);
        return;
    }
    gWeb.inRoom = true;
    gWeb.shownRoom = {};
    ShowRoomStatus();
}

void ShowRoomStatus()
{
    if (!gWeb.inRoom)
        return;
    const SharedRunStatus now = ReadSharedRunStatus();
    if (now.room == gWeb.shownRoom.room && now.seat == gWeb.shownRoom.seat && now.line == gWeb.shownRoom.line && now.left == gWeb.shownRoom.left)
        return;
    gWeb.shownRoom = now;
    ShowRoomInPage(now.room.c_str(), now.seat, now.line.c_str(), now.left, "");
}
