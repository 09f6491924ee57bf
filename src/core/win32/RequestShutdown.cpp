// The shutdown request: the entry shuts Windows down once the message loop has ended.
#include "core/win32/RequestShutdown.h"

#include "core/win32/MainForm.h"
#include "platform/Application.h"

void RequestShutdown()
{
    Application.Tag = TApplication::ShutDownAfterwards;
    Application.ProcessMessages();
    if (MainForm) MainForm->Close();
}
