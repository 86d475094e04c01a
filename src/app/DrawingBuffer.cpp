// A drawing buffer that follows the screen (declared in platform/Platform.h). On its own, so that
// what never draws text links no font.
#include "app/OverlayFont.h"
#include "app/RunState.h"
#include "gl/Text.h"
#include "platform/Platform.h"

void HandleDrawingBufferResized(int width, int height)
{
    NoteViewFollowsWindow(true);
    HandleResized(width, height);
    if (!gFontGlyphs.empty())  // gone after a mouse motion, it stays gone
        LoadOverlayFont();
}
