// String-table ids of the texts of the project list, the project dialog, the
// exam list and the exam setup page (workstation/shell/string_table.cpp).
#pragma once

namespace projtext {
// Project list (form 7, dialog 324)
constexpr int kNewProject = 4300;
constexpr int kDeleteProjects = 4301;
constexpr int kExportCsv = 4302;
constexpr int kExportTitle = 4303;
constexpr int kCsvFilter = 4304;
constexpr int kExportFailed = 4305;
constexpr int kExported = 4306;
constexpr int kConfirmDelete = 116;  // "确定要删除这些记录吗？"
// Project dialog (327)
constexpr int kDialogCaption = 4310;
constexpr int kMachineType = 4311;
constexpr int kCardType = 4312;
constexpr int kProductNumber = 4313;
constexpr int kMainboardNumber = 4314;
constexpr int kPowerNumber = 4315;
constexpr int kPhotoHeadNumber = 4316;
constexpr int kTotalErrors = 4317;
constexpr int kTotalCards = 4318;
constexpr int kCardsThisRun = 4319;
constexpr int kStopCount = 4320;
constexpr int kSpeed = 4321;
constexpr int kSheetsPerSecond = 4322;
constexpr int kErrorPositions = 4323;
constexpr int kErrorDetails = 4324;
constexpr int kStopOnError = 4325;
constexpr int kClearErrors = 4326;
constexpr int kReadAnswer = 4327;
constexpr int kSaveAndClose = 4328;
constexpr int kStop = 107;          // "停止"
constexpr int kRead = 108;          // "读卡"
constexpr int kNoErrors = 109;      // "无错"
constexpr int kErrorCount = 146;    // "错误次数"
constexpr int kErrorPosition = 147; // "错误位置"
constexpr int kRecordAnswer = 148;  // "录入答案"
// Exam list (form 9) and exam setup page (form 10)
constexpr int kAddExam = 4330;
constexpr int kDeleteExam = 4331;
constexpr int kExamColumnFirst = 4332;  // "考试名称" .. "考试时间", five in a row
constexpr int kAnswerKeySettings = 4337;
constexpr int kUnitAndCardSettings = 4338;
}  // namespace projtext
