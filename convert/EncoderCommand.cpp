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

std::vector<std::string> EncoderCommand::inputArguments() const
{
    std::vector<std::string> inputs;
    for (auto option = std::find(arguments.begin(), arguments.end(), "-i"); option != arguments.end();
         option = std::find(option + 1, arguments.end(), "-i")) {
        if (option + 1 == arguments.end())
            break;
        inputs.push_back(*++option);
    }
    return inputs;
}

}  // namespace convert
