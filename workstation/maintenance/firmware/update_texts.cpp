#include "update_texts.h"

#include <cstring>

namespace firmware::texts {

namespace {

std::string WithFileError(const char* text, int fileError) {
    return fileError ? std::string(text) + "\n" + std::strerror(fileError) : std::string(text);
}

}  // namespace

std::string TransferMessage(TransferResult result, int fileError) {
    switch (result) {
        case TransferResult::Completed:
            return "";
        case TransferResult::AlreadyRunning:
            return "正在发送中，请稍后！";
        case TransferResult::OpenFailed:
            return WithFileError("Open file failed!", fileError);
        case TransferResult::EmptyFile:
            return "文件为空，请重新选择升级文件!";
        case TransferResult::ReadFailed:
            return WithFileError("读取文件失败!", fileError);
        case TransferResult::NotReady:
            return "下位机还未准备好，请重新发送'IAP/'命令!";
        case TransferResult::NoAnswer:
            return "下位机没有应答，文件传输已中止，请重新发送'IAP/'命令!";
        case TransferResult::NoFinalAck:
            return "下位机没有确认最后一包数据，文件传输未完成!";
        case TransferResult::VerifyFailed:
            return "校验失败";
        case TransferResult::ReaderCancelled:
            return "下位机取消了文件传输!";
        case TransferResult::SendFailed:
            return "Send file failed!";
        case TransferResult::DeviceGone:
            return "当前设备断开连接";
        case TransferResult::Cancelled:
            return "文件传输已取消。";
    }
    return "";
}

std::string WriteVersionMessage(CommandResult result) {
    switch (result) {
        case CommandResult::Done:
            return "版本号写入成功!";
        case CommandResult::NotOpen:
            return kOpenFailed;
        case CommandResult::BadText:
            return "版本号只能由单字节字符组成，且不能含有'/'!";
        case CommandResult::TooLong:
            return "版本号过长，写入失败!";
        default:
            return "版本号写入失败!";
    }
}

std::string ReadVersionMessage(CommandResult result) {
    switch (result) {
        case CommandResult::Done:
            return "";
        case CommandResult::NotOpen:
            return kOpenFailed;
        default:
            return "读取版本失败!";
    }
}

std::string ConsoleMessage(CommandResult result) {
    switch (result) {
        case CommandResult::Done:
            return "";
        case CommandResult::NotOpen:
            return kOpenFailed;
        case CommandResult::Empty:
            return "请输入命令!";
        case CommandResult::TooLong:
            return "命令过长，请重新输入!";
        case CommandResult::BadText:
            return "命令只能包含单字节字符!";
        default:
            return "命令发送失败，\n请重新发送！";
    }
}

}  // namespace firmware::texts
