#include "errors/on_error.h"

namespace velkor {
namespace {

FatalErrorHandler handler = nullptr;

LONG WINAPI FatalErrorFilter(EXCEPTION_POINTERS* exception) {
  return handler ? handler(exception) : EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

void InstallFatalErrorHandler() { SetUnhandledExceptionFilter(FatalErrorFilter); }

void SetFatalErrorHandler(FatalErrorHandler newHandler) { handler = newHandler; }

}  // namespace velkor
