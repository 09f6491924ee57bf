// Ending the program so that Windows is shut down once its message loop has ended.
#pragma once

void RequestShutdown();
