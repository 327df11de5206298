#include "convert/EncoderCommand.h"

#include <algorithm>

namespace convert {

const char* encoderProgramName(EncoderProgram program)
{
    return program == EncoderProgram::Mencoder ? "mencoder" : "ffmpeg";
}

std::string EncoderCommand::inputArgument() const
{
    const auto option = std::find(arguments.begin(), arguments.end(), "-i");
    return option != arguments.end() && option + 1 != arguments.end() ? *(option + 1) : std::string();
}

}  // namespace convert
