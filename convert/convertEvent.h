#pragma once
// The listener of a conversion job: told of every change of the job's state.
#include "convert/JobState.h"

namespace convert {

class convertFile;

class convertEvent {
public:
    virtual ~convertEvent() = default;

    // Called with the job's new state on the thread that changed it: the
    // caller of convertFile::start(), the job's own thread at the end of its run, or the media
    // probe's thread (a failed probe, called with the job lock and the probe's queue lock held).
    // An implementation must therefore be thread-safe, must not touch windows directly (it
    // marshals to the window thread), and must not call back into the probe from a probe report.
    // It may call start() or stop() of the reporting job (convertFile says where that is allowed)
    // but must never delete the job from here.
    virtual void onStateChanged(convertFile* job, JobState state) = 0;

    // Called on the job's thread each time the job's percentage (convertFile::getPercent) changes
    // while its encoder runs, the final 100 of a conversion included. The same rules apply as
    // above. Does nothing unless overridden: a display may just as well read getPercent() when it
    // repaints.
    virtual void onProgress(convertFile* job, int percent)
    {
        (void)job;
        (void)percent;
    }

    // Called on the job's thread once a run has claimed its output file (convertFile::
    // claimedOutput), before the encoder starts. The same rules apply as above. A conversion list
    // that keeps a journal records the claim, so that after a crash it removes that file alone.
    virtual void onOutputClaimed(convertFile* job) { (void)job; }
};

}  // namespace convert
