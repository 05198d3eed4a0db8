#include "string_table.h"

#include <map>

namespace strings {
namespace {

const std::map<int, const char*>& table() {
    static const std::map<int, const char*> t = {
        {100, "OLE 初始化失败。请确保 OLE 库是正确的版本。"},
        {101, "VAZ尚未联机,请先执行联机操作!"},
        {102, "load language package \"QuorlexD.dll\" dll failed"},
        {103, "提示:"},
        {104, "当前设备走卡张数:"},
        {105, "标定成功"},
        {106, "标定失败"},
        {107, "停止"},
        {108, "读卡"},
        {109, "无错"},
        {110, "请先选择格式文件"},
        {111, "答案录入成功"},
        {113, "没有该答题卡答案"},
        {114, "获取数据失败"},
        {115, "待检"},
        {116, "确定要删除这些记录吗？"},
        {117, "请先执行读灰度操作"},
        {118, "操作失败"},
        {119, "操作成功"},
        {120, "获取波形曲线失败"},
        // The Linux build names the file it really loads.
        {121, "没有找到必要的扩展程序libvaz.so"},
        {124, "标准"},
        {125, "自定义..."},
        {126, "ZELK_"},
        {127, "当前设备的机器号:"},
        {129, "本次走卡第:%d张:\n同步框数:%d\n答案:%s\n\n"},
        {130, "格式文件不存在"},
        {131, "USB口连接"},
        {132, "窗口(&W)..."},
        {133, "串口连接"},
        {134, "自动连接"},
        {135, "起始页"},
        {136, "瞬值测试"},
        {137, "灰度测试"},
        {138, "线性测试"},
        {139, "一致性测试"},
        {140, "波形测试"},
        {141, "读卡测试"},
        {142, "已联机"},
        {143, "未连接"},
        {145, "该设备中已写入机器号，不可重复写入！\r\n您可以在“帮助”->“关于”对话框中查看设备信息。"},
        {146, "错误次数"},
        {147, "错误位置"},
        {148, "录入答案"},
        {149, "请输入正确的同步框数"},
        {150, "温馨提示:"},
        {151, "经分析：您的设备光头位置偏上,请调整。"},
        {152, "经分析：您的设备光头位置偏下,请调整。"},
        {153, "经分析：您的设备光头位置偏左,请调整。"},
        {154, "经分析：您的设备光头位置偏右,请调整。"},
        {155, "经分析：您的设备光头左右位置正常。"},
        {156, "经分析：您的设备光头上下位置正常。"},
        {157, "请输入正确的光电头路数。"},
        {158, "取值"},
        {159, "本次走卡为标准答案:\n同步框数:%d\n答案:%s\n\n"},
        // Texts of the kit's own (access level, machine number write, print head).
        {190, "访问级别已提升为3，“USB在线升级”已可用。"},
        {191, "请输入8位数字的机器号!"},
        {192, "打印头参数过长，请缩短后重试!"},
        {306, "编辑"},
        // The forms' saving of tables, pictures and logs.
        {401, "保存表格(CSV)..."},
        {402, "保存图片(PNG)..."},
        {403, "保存文本..."},
        {404, "CSV 文件 (*.csv)"},
        {405, "PNG 图片 (*.png)"},
        {406, "文本文件 (*.txt)"},
        {408, "另存为"},
    };
    return t;
}

const std::map<int, const char*>& prompts() {
    static const std::map<int, const char*> t = {
        {32799, "检测各路瞬时值\n瞬值测试"},
        {32801, "检测灰度值\n灰度测试"},
        {32811, "阅读机校准操作\n校准设置"},
        {32815, "光点头一致性测试\n一致性测试"},
        {32817, "光电头线性测试\n线性测试"},
        {32819, "光电头波形测试\n波形测试"},
        {32807, "综合测评\n综合测评"},
        {32797, "在线升级当前设备程序"},
        {32835, "查看设备信息"},
    };
    return t;
}

// (dialog, control) -> text of the controls on the forms' dialog resources.
const std::map<std::pair<int, int>, const char*>& dialogTexts() {
    static const std::map<std::pair<int, int>, const char*> t = {
        {{320, 1001}, "步进进纸"},
        {{321, 1000}, "取上一张卡的灰度"},
        {{321, 1005}, "读卡(&R)"},
        {{321, 1023}, "路数:"},
        {{321, 1024}, "同步框:"},
        {{321, 1063}, "S路"},
        {{321, 1064}, "D路"},
        {{321, 1071}, "取同步框数"},
    };
    return t;
}

}  // namespace

QString dialogText(int dialog, int control) {
    auto it = dialogTexts().find({dialog, control});
    return it == dialogTexts().end() ? QString() : QString::fromUtf8(it->second);
}

QString text(int id) {
    auto it = table().find(id);
    return it == table().end() ? QString() : QString::fromUtf8(it->second);
}

QString commandPrompt(int command) {
    auto it = prompts().find(command);
    return it == prompts().end() ? QString() : QString::fromUtf8(it->second);
}

}  // namespace strings
