#pragma once

// The window's thread. A form, its controls, the view drawing them and the window's services
// belong to the thread that made the form: a toolkit draws and dispatches on that thread
// alone, and nothing of the form layer holds a lock. Helper threads (the write-out's
// read-ahead, the closes behind its writes) must touch none of them. The form layer checks
// this at its entry points in every build, not only where asserts are compiled in: a touch
// from another thread ends the program with a message on the error stream.
namespace vb::forms {

// Makes the calling thread the window's thread, once: the first form made binds it, and every
// later form is checked to be made on it (CheckWindowThread). A form calls this when it is
// made.
void BindWindowThread();

// Returns when no form was made yet or the caller runs on the window's thread; otherwise
// hands what to the off-thread handler (by default: says so and aborts). Costs one
// comparison of thread ids.
void CheckWindowThread(const char* what);

// What a touch from another thread does instead of aborting: tests install a handler that
// throws. Returns the handler it replaces; nullptr restores the abort.
using OffThreadHandler = void (*)(const char* what);
OffThreadHandler SetOffThreadHandlerForTesting(OffThreadHandler handler);

}  // namespace vb::forms
