// Requests that must run on the user-interface thread, in the order in which
// they were made, whichever thread makes them.
//
// The worker thread asks for tray icon changes and arms the balloon-icon
// timer; Qt objects may only be touched on the user-interface thread. The
// requests are handed over through a queue guarded by a mutex of our own
// (so that ThreadSanitizer sees the hand-over); an eventfd wakes the event
// loop. Requests made on the user-interface thread join the same queue and
// run at once, after every request queued before them, so an add, a modify
// and a remove of the icon always take effect in the order they were made.
#pragma once

#include <functional>

namespace vantrel::qt {

// Makes the calling thread the user-interface thread and sets up the wake-up
// of its event loop. Needs the application object; later calls do nothing.
void attach_ui_thread();

// Runs request on the user-interface thread after every request made before
// it: before returning when called on that thread, else as soon as its event
// loop gets to it.
void run_on_ui_thread(std::function<void()> request);

// Forgets the requests that have not run yet (at the end of the program,
// once no other thread is left to make any).
void drop_pending_requests();

}  // namespace vantrel::qt
