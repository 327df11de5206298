#include "convert/AfterSuccess.h"

#include "convert/JobState.h"
#include "convert/convertFile.h"
#include "platform/core/DebugOutput.h"
#include "platform/core/MessagePresenter.h"

#include <filesystem>
#include <system_error>

namespace convert {

bool AfterSuccess::outputIsVerified(convertFile& job)
{
    // The engine reports Done only after checking the encoder's end and the output's length; the
    // source is still given up only when the output is there, is not empty, and is not the source.
    const std::string source = job.getSourcePath();
    const std::string output = job.getOutputPath();
    if (job.getState() != JobState::Done || output.empty() || source.empty())
        return false;
    std::error_code error;
    const auto outputSize = std::filesystem::file_size(output, error);
    if (error || outputSize == 0 || !std::filesystem::is_regular_file(output, error))
        return false;
    return !std::filesystem::equivalent(source, output, error) && !error;
}

bool AfterSuccess::apply(convertFile& job, const Options& options, SuccessDesktop& desktop)
{
    if (job.getState() != JobState::Done)
        return false;
    if (options.openOutput)
        desktop.showInFolder(job.getOutputFolder(), job.getOutputPath());
    if (!options.removeSource || !outputIsVerified(job))
        return false;
    const std::string source = job.getSourcePath();
    std::string why;
    if (desktop.moveToTrash(source, why))
        return true;
    platform::DebugOutput::line("the source stays: " + source);
    // Marked before the box shows: other jobs may finish while it is open.
    if (!why.empty() && !toldSourceKept_) {
        toldSourceKept_ = true;
        platform::showMessage("", sourceKeptText(source, why), platform::MessageError);
    }
    return false;
}

std::string AfterSuccess::sourceKeptText(const std::string& source, const std::string& why)
{
    return "无法移到回收站 " + source + " (" + why + "), 源文件已保留。";
}

}  // namespace convert
