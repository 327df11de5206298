#pragma once
// The states of a conversion job. The stored formats keep them as these integers.
namespace convert {

enum class JobState : int {
    Waiting = 0,      // queued, may be started
    Converting = 1,   // the encoder runs (or the job's thread waits for the probe)
    ProbeFailed = 2,  // the probe found no media information in the file
    Failed = 3,       // refused at start, no output name, the encoder could not start, or it did
                      // not convert the whole media
    Stopping = 4,     // transient, until the stopped run has ended; then Waiting
    Done = 5,         // converted
};

}  // namespace convert
