#pragma once
// Turns a conversion (a source file plus a profile) into the encoder command that converts it, and
// chooses the output file's name.
//
// The classic grammar is built in four steps: head (encoder, source, container), video options,
// audio options, output path. The encoder binding then turns those options into the argument
// vector the installed encoder accepts.
#include "convert/EncoderCommand.h"
#include "profile/ProfileRecord.h"

#include <optional>
#include <string>

namespace convert {

class EncoderBinding;

class CommandLineBuilder {
public:
    // Uses the process-wide binding (EncoderBinding::instance()).
    CommandLineBuilder();
    // Uses the given binding, which must outlive the builder (tests pass one with fixed encoder
    // paths and capabilities).
    explicit CommandLineBuilder(const EncoderBinding& binding);

    // Builds the command that converts sourcePath with profile.
    //
    // targetFolder is the output folder; empty means the source's own folder. appendProfileName
    // adds " [profile name]" to the output name. The output folder is created (one level; a folder
    // that cannot be created is left to the encoder to report). The output name is the source's
    // base name, then "_N" when the name is taken (N = 1, 2, ... until a free name is found), then
    // the bracket, then "." and the first word of the conversion type's format token.
    //
    // Returns nothing when no output name can be made: the source path has no "/", its file name
    // has no ".", or an output name would exceed the file system's limits (NAME_MAX for the file
    // name, PATH_MAX for the path). Nothing is started or created on disk in that case except the
    // output folder.
    //
    // On success the command text and the binding's notes go to the debug output.
    //
    // Any thread; the binding is thread-safe. Reads the file system (the name search).
    std::optional<EncoderCommand> build(const std::string& sourcePath, const profile::ProfileRecord& profile,
                                        const std::string& targetFolder, bool appendProfileName) const;

    // Lets the binding read now whatever build() will need to know about the installed encoders
    // for this profile (see EncoderBinding::prepare); nothing happens for most profiles. Blocks
    // while ffmpeg is asked. Any thread; touches no file.
    void prepare(const profile::ProfileRecord& profile) const;

private:
    const EncoderBinding& binding_;
};

}  // namespace convert
