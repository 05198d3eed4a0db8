// The texts the update dialogs show for the results of this folder and of
// their own steps (UTF-8). An empty text means that no message box is shown.
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
// After kOpenFailed when the system refused the reader's node.
inline constexpr const char* kNoPermission =
    "Permission denied: install the kit's udev rule 70-vaz-reader.rules (the package does) and plug the reader in again.";
inline constexpr const char* kFirmwareFilter = "update file(*.bin);;All Files(*)";
// The update through the device library.
inline constexpr const char* kFileAlreadyLoaded = "该文件已加载，请点击发送文件!";
inline constexpr const char* kNoUpdateFile = "请先选择升级程序!";
inline constexpr const char* kUpdateSucceeded = "更新程序成功!";
inline constexpr const char* kUpdateFailed = "更新程序失败!";

// The message for a transfer's end; OpenFailed and ReadFailed name the file error.
std::string TransferMessage(TransferResult result, int fileError);
std::string WriteVersionMessage(CommandResult result);
std::string ReadVersionMessage(CommandResult result);
std::string ConsoleMessage(CommandResult result);

}  // namespace firmware::texts
