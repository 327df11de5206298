#include "convert/AfterSuccess.h"

#include "convert/JobState.h"
#include "convert/convertFile.h"
#include "platform/core/DebugOutput.h"

#include <filesystem>
#include <system_error>

namespace convert {

bool AfterSuccess::outputIsVerified(convertFile& job)
{
    // The engine reports Done only after checking the encoder's end and the output's length; the
    // source is still given up only when the output is there, is not empty, and is not the source.
    const std::string source = job.getSourcePath();
    const std::string output = job.getOutputPath();
    if (job.getState() != Done || output.empty() || source.empty())
        return false;
    std::error_code error;
    const auto outputSize = std::filesystem::file_size(output, error);
    if (error || outputSize == 0 || !std::filesystem::is_regular_file(output, error))
        return false;
    return !std::filesystem::equivalent(source, output, error) && !error;
}

bool AfterSuccess::apply(convertFile& job, const Options& options, SuccessDesktop& desktop)
{
    if (job.getState() != Done)
        return false;
    if (options.openOutput)
        desktop.showInFolder(job.getOutputFolder(), job.getOutputPath());
    if (!options.removeSource || !outputIsVerified(job))
        return false;
    const std::string source = job.getSourcePath();
    if (desktop.moveToTrash(source))
        return true;
    platform::DebugOutput::line("the source stays: " + source);
    return false;
}

}  // namespace convert
