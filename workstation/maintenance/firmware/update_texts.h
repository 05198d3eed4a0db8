// The texts the USB update dialog shows for the results of this folder
// (UTF-8). An empty text means that no message box is shown.
#pragma once

#include <string>

#include "firmware_transfer.h"
#include "version_commands.h"

namespace firmware::texts {

// Lines for the receive area.
inline constexpr const char* kTransferStarted = "\r\n文件传输中，请稍后...\r\n";
inline constexpr const char* kTransferDone = "文件传输完成。\r\n";
inline constexpr const char* kOpened = "设备已连接！\r\n";
inline constexpr const char* kReconnected = "当前设备重新建立连接\r\n";
inline constexpr const char* kDisconnected = "当前设备断开连接\r\n";

// Message boxes of the dialog itself.
inline constexpr const char* kWatchFailed = "注册失败!";
inline constexpr const char* kOpenFailed = "该设备没有正确打开";

// The message for a transfer's end; OpenFailed and ReadFailed name the file error.
std::string TransferMessage(TransferResult result, int fileError);
std::string WriteVersionMessage(CommandResult result);
std::string ReadVersionMessage(CommandResult result);
std::string ConsoleMessage(CommandResult result);

}  // namespace firmware::texts
