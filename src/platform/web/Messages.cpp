// Messages in the page: said on the page beside the canvas (and on the console); the question is the
// browser's own confirm box.
#include <emscripten.h>

#include <cstdio>

#include "platform/Platform.h"

EM_JS(void, ShowPageMessage, (const char* caption, const char* text),
      { Module.kelvaronPage.showProblem(UTF8ToString(caption) + ': ' + UTF8ToString(text)); });

void ShowMessage(const char* caption, const char* text, MessageKind)
{
    std::fprintf(stderr, "kelvaron: %s: %s\n", caption, text);
    ShowPageMessage(caption, text);
}

EM_JS(int, AskInPage, (const char* caption, const char* text),
      { return confirm(UTF8ToString(caption) + '\n\n' + UTF8ToString(text)) ? 1 : 0; });

Answer AskQuestion(const char* caption, const char* text)
{
    return AskInPage(caption, text) ? Answer::kYes : Answer::kNo;
}
