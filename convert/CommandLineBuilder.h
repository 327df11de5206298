#pragma once
// Turns a conversion (a source file plus a profile) into the encoder command that converts it, and
// chooses the output file's name.
//
// The classic grammar is built in four steps: head (encoder, source, container), video options,
// audio options, output path. The encoder binding then turns those options into the argument
// vector the installed encoder accepts.
#include "convert/EncoderCommand.h"
#include "convert/OutputName.h"
#include "profile/ProfileRecord.h"

#include <optional>
#include <string>
#include <vector>

namespace convert {

class EncoderBinding;

class CommandLineBuilder {
public:
    // Uses the process-wide binding (EncoderBinding::instance()).
    CommandLineBuilder();
    // Uses the given binding, which must outlive the builder (tests pass one with fixed encoder
    // paths and capabilities).
    explicit CommandLineBuilder(const EncoderBinding& binding);

    // The naming rule of the output file (see OutputName), without touching the disk. Nothing when
    // the source path cannot be cut or the conversion type is outside the table; the reason, a
    // Chinese sentence, goes to *reason when given.
    static std::optional<OutputName> nameOutput(const std::string& sourcePath, const profile::ProfileRecord& profile,
                                                const std::string& targetFolder, bool appendProfileName,
                                                std::string* reason = nullptr);

    // Empty when the conversion type is in the table; else why a profile with it cannot convert,
    // in Chinese.
    static std::string profileRefusal(int conversionType);

    // A dry run: the command that would convert sourcePath with profile now, with the first
    // candidate name that is free at this moment. Nothing is created on disk, not even the output
    // folder; a conversion claims its name instead (OutputClaim) and calls buildFor().
    //
    // targetFolder is the output folder; empty means the source's own folder. appendProfileName
    // adds " [profile name]" to the output name.
    //
    // Returns nothing when no output name can be made: see nameOutput(), or a name would exceed the
    // file system's limits (NAME_MAX for the file name, PATH_MAX for the path). The reason goes to
    // *reason when given.
    //
    // Any thread; the binding is thread-safe. Reads the file system (the name search).
    std::optional<EncoderCommand> build(const std::string& sourcePath, const profile::ProfileRecord& profile,
                                        const std::string& targetFolder, bool appendProfileName,
                                        std::string* reason = nullptr) const;

    // The command that converts sourcePath with profile into outputPath (already chosen and
    // claimed); targetFolder is stored in the result. The command text and the binding's notes go
    // to the debug output. Any thread; touches no file.
    EncoderCommand buildFor(const std::string& sourcePath, const profile::ProfileRecord& profile,
                            const std::string& targetFolder, const std::string& outputPath) const;

    // The binding's notes for a conversion with this profile (how the started command differs from
    // the classic one), when they can be told without running ffmpeg now: nothing while they depend
    // on the installed ffmpeg's lists and those have not been read yet (prepare() reads them).
    // No notes for a conversion type outside the table. Any thread; never blocks.
    std::optional<std::vector<std::string>> notesWithoutWaiting(const profile::ProfileRecord& profile) const;

    // Lets the binding read now whatever build() will need to know about the installed encoders
    // for this profile (see EncoderBinding::prepare); nothing happens for most profiles. Blocks
    // while ffmpeg is asked. Any thread; touches no file.
    void prepare(const profile::ProfileRecord& profile) const;

private:
    const EncoderBinding& binding_;
};

}  // namespace convert
