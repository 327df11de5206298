#pragma once
// One encoder run as the conversion job or the media probe starts it: the command in the classic
// one-line grammar (for the debug output), the argument vector that is really started, and which
// encoder program that vector starts.
#include <string>
#include <vector>

namespace convert {

// The two encoder programs. The progress rule of a conversion follows the program that actually
// runs, which is not always the one the classic grammar names (WMV may be written by ffmpeg).
enum class EncoderProgram {
    Ffmpeg,
    Mencoder,
};

// "ffmpeg" or "mencoder".
const char* encoderProgramName(EncoderProgram program);

struct EncoderCommand {
    // The command in the classic grammar, first word the bare program name ("ffmpeg -i \"...\" -y
    // -f avi ..." or "mencoder \"...\" -of lavf ..."). Paths stand between double quotes unescaped,
    // so this text is for reading only; it is never handed to a shell.
    std::string commandText;

    // The argument vector to start: arguments[0] is the encoder's path (or its bare name when it
    // was not found, so that starting it fails with a message naming it). The source path, the
    // output path and the frame size are single arguments whatever they contain.
    std::vector<std::string> arguments;

    // The program that arguments[0] starts.
    EncoderProgram program = EncoderProgram::Ffmpeg;

    // The output file the encoder writes; empty for the probe.
    std::string outputPath;

    // The folder the output goes to: the folder asked for, or the source's folder when none was
    // given (without a closing "/"). Empty for the probe.
    std::string targetFolder;

    // One sentence per way in which the started command differs in effect from the classic one
    // (for example "AMR NB is not available in this ffmpeg; writing AAC instead"). Shown in the
    // debug output and by the command-line converter.
    std::vector<std::string> notes;

    // The argument after "-i", word for word (ffmpeg repeats it in the header of its input's
    // section); empty when there is none.
    std::string inputArgument() const;
    // The argument after each "-i", in order (a probe of several files has one per file).
    std::vector<std::string> inputArguments() const;
};

}  // namespace convert
