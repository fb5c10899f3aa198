// The message loop and the worker thread.
#pragma once

namespace vantrel::qt {

// Waits for the last worker started, if it still runs. The program does this
// once its loop has ended, before Qt goes away, since a worker that is still
// measuring may yet ask for tray changes.
void join_worker();

}  // namespace vantrel::qt
