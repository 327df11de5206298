#include "convert/EncoderCommand.h"

namespace convert {

const char* encoderProgramName(EncoderProgram program)
{
    return program == EncoderProgram::Mencoder ? "mencoder" : "ffmpeg";
}

}  // namespace convert
