#pragma once
// QueueStatusText: the status line the main window shows while the queue converts, as one pure
// function, so that whatever else the line comes to say is composed in one place.
//
//   converting(0 or 1, off)  "正在转换文件,请稍候..."
//   converting(0 or 1, on)   "正在转换文件,请稍候.系统将在任务结束后自动关闭计算机..."
//   converting(3, off)       "正在同时转换 3 个文件,请稍候..."
//   converting(3, on)        "正在同时转换 3 个文件,请稍候.系统将在任务结束后自动关闭计算机..."
// `converting` is the number of jobs converting now; `powerOffWhenDone` the options' shutdown flag.
//
// Threads: any thread.
#include <string>

namespace convert {

class QueueStatusText {
public:
    static constexpr const char* kOneFile = "正在转换文件,请稍候...";
    static constexpr const char* kOneFilePowerOff = "正在转换文件,请稍候.系统将在任务结束后自动关闭计算机...";

    static std::string converting(int converting, bool powerOffWhenDone);
};

}  // namespace convert
