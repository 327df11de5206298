#pragma once
// KXRunable: the work a KXThread runs. Subclasses implement run(); the thread holds a reference
// to the runable for as long as run() executes, so the object outlives its own run even when
// every other holder lets go meanwhile.
//
// There is no way to stop a thread from outside: a runable that must be able to end early keeps
// a flag of its own, which its owner sets (waking it, for example through a KXSignal, if it
// waits) before calling KXThread::join().
#include "kxlib/KXShared.h"

namespace KXLib {

class KXRunable : public virtual KXShared {
public:
    // Runs on the new thread. An exception that leaves run() ends the process (the reference the
    // thread holds is released first): the library's exceptions are programming errors.
    virtual void run() = 0;

    ~KXRunable() override;
};

}  // namespace KXLib
