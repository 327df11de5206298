#pragma once
// The output file of one run, claimed on disk before the encoder starts.
//
// Choosing a free name and letting the encoder create it later leaves a gap in which another
// conversion (another queue, another lumaret-cli) can choose the same name; the encoder, told to
// overwrite, would then destroy the other's result. So the name is taken with O_CREAT|O_EXCL: the
// first candidate of the naming rule that this call itself creates wins, and anything that exists
// under a candidate's name (a file, a folder, a dangling link) is skipped and never touched.
//
// The claim remembers the file's identity (device and inode), so remove() deletes the file only
// while it is still the one this claim created: the partial output of a failed or stopped run goes,
// and a file someone else put under that name later stays. A claim read back from a journal also
// carries the file's size and modification time as last recorded: device and inode alone do not
// tell a file written over in place, or a new file that was given a freed inode, from our own.
//
// Any thread; one claim belongs to one run.
#include "convert/OutputName.h"

#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>

namespace convert {

class OutputClaim {
public:
    // Creates the first free candidate of `name` (empty, mode 0666 less the umask). Nothing, with a
    // Chinese sentence in *reason, when a name would exceed the file system's limits (NAME_MAX for
    // the file name, PATH_MAX for the path) or the folder does not let us create a file (the
    // system's words are added).
    static std::optional<OutputClaim> claim(const OutputName& name, std::string* reason);

    // The claim of an earlier run as a conversion journal recorded it (path and identity), so that
    // a program that ended in the middle of a conversion can remove that run's partial output on
    // its next start, and nothing else.
    // The size and modification time (nanoseconds since 1970) of a claimed file at some moment.
    struct Stamp {
        uint64_t size = 0;
        int64_t modified = 0;
        bool operator==(const Stamp&) const = default;
    };

    // The claim of an earlier run as a conversion journal recorded it (path, identity and stamp), so
    // that a program that ended in the middle of a conversion can remove that run's partial output on
    // its next start, and nothing else: remove() of it deletes the file only while all of them match.
    static OutputClaim recorded(std::string path, dev_t device, ino_t inode, Stamp stamp)
    {
        OutputClaim claim(std::move(path), device, inode);
        claim.expected_ = stamp;
        return claim;
    }

    const std::string& path() const { return path_; }
    dev_t device() const { return device_; }
    ino_t inode() const { return inode_; }
    // The claimed file's stamp now; nothing when its name no longer holds the claimed file.
    std::optional<Stamp> stamp() const;

    // Deletes the claimed file when it is still the file this claim created; true when it was
    // deleted. Never follows a link.
    bool remove() const;
    // A claim whose identity was never learnt (fstat failed) matches no file, so remove() of it
    // deletes nothing.

private:
    OutputClaim(std::string path, dev_t device, ino_t inode) : path_(std::move(path)), device_(device), inode_(inode) {}

    std::string path_;
    dev_t device_ = 0;
    ino_t inode_ = 0;
    std::optional<Stamp> expected_;  // a recorded claim's stamp, which the file must still have
};

}  // namespace convert
