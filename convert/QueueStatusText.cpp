#include "convert/QueueStatusText.h"

namespace convert {

std::string QueueStatusText::converting(int converting, bool powerOffWhenDone)
{
    // A moment between two jobs counts as one file, so the line does not flicker to another text.
    if (converting <= 1)
        return powerOffWhenDone ? kOneFilePowerOff : kOneFile;
    const std::string head = "正在同时转换 " + std::to_string(converting) + " 个文件,请稍候";
    return head + (powerOffWhenDone ? ".系统将在任务结束后自动关闭计算机..." : "...");
}

}  // namespace convert
