// The fatal-error handler: every run-time fault after start-up step 3 ends up
// in FatalErrorFilter, which hands it to the error dialog once that is set.
#pragma once

#include <windows.h>

namespace velkor {

using FatalErrorHandler = LONG (*)(EXCEPTION_POINTERS* exception);

void InstallFatalErrorHandler();
// The dialog registers itself here; without one, faults take the system's path.
void SetFatalErrorHandler(FatalErrorHandler handler);

}  // namespace velkor
