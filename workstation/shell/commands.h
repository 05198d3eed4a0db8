// Command ids of menu 310, the toolbar and the frame, and the form ids.
#pragma once

namespace cmd {
// File
constexpr int kStartPage = 32780;
constexpr int kAppExit = 57665;
// Reader settings
constexpr int kConnect = 32785;
constexpr int kMotorSpeed = 32786;
constexpr int kCalibration = 32811;
// Reader tests
constexpr int kValueTest = 32799;
constexpr int kGrayTest = 32801;
constexpr int kLineTest = 32817;
constexpr int kConsistTest = 32815;
constexpr int kWaveTest = 32819;
constexpr int kReadCardTest = 32788;
// Help
constexpr int kAbout = 57664;
constexpr int kCrashReport = 32850;  // "问题反馈": the library's feedback mail
// Commands without a menu item (reached through the service menu)
constexpr int kTestManager = 32793;
constexpr int kEvaluation = 32807;
constexpr int kFirmwareUpdate = 32797;
constexpr int kUsbFirmwareUpdate = 32804;
constexpr int kMachineNumber = 32813;
constexpr int kDeviceInfo = 32835;
constexpr int kPrintHead = 32841;
constexpr int kAccessLevel = 32851;  // "访问级别...": the administrator code raises the access level
// Frame commands
constexpr int kCustomize = 126;
constexpr int kWindowManager = 131;
constexpr int kLookFirst = 210;
constexpr int kLookLast = 218;
constexpr int kLookDefault = 215;
}  // namespace cmd

// Form ids: the application's "current form".
namespace form {
constexpr int kStart = 0;
constexpr int kValue = 1;
constexpr int kGray = 2;
constexpr int kLine = 3;
constexpr int kConsist = 4;
constexpr int kWave = 5;
constexpr int kReadCard = 6;
constexpr int kEvaluation = 7;
constexpr int kTestManager = 9;
constexpr int kAddTest = 10;
constexpr int kCount = 11;
}  // namespace form

// Access level at which the USB firmware update is offered.
constexpr int kServiceAccessLevel = 3;
