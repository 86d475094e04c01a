#include "platform/DrawingBuffer.h"

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
