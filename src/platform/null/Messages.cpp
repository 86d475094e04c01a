// The null backend's messages and question: recorded, and answered as the test says.
#include "platform/null/NullPlatform.h"

void ShowMessage(const char* caption, const char* text, MessageKind)
{
    gNull.calls.push_back(std::string("ShowMessage ") + caption + ": " + text);
}

Answer AskQuestion(const char* caption, const char*)
{
    gNull.calls.push_back(std::string("AskQuestion ") + caption);
    return gNull.answer;
}
