// The fixture of the project windows' tests: the workstation started and
// connected to a virtual reader over the HID socket, a folder of its own
// for config.ini and eva.dat, a card type "T4" with a four-character key
// and the sample's answer sheet format.
#pragma once

#include <QTemporaryDir>
#include <memory>
#include <string>

#include "eva_dlg.h"
#include "file_locations.h"
#include "shell_test_support.h"

class ProjectWindows : public ShellTest {
protected:
    void SetUp() override;

    void writeConfig(const QByteArray& text);
    // config.ini with the card type T4 and its key.
    void writeKey(const QByteArray& key);
    // Sheets whose recognised text is each of `texts`.
    void feed(std::initializer_list<std::string> texts);
    // Opens `dlg` (without a nested event loop) on `record` and chooses T4.
    void open(CEvaDlg& dlg, const ProjectRecord& record = {});
    void chooseCardType(CEvaDlg& dlg, const QString& name);
    // Clicks `id` of `dlg` and waits until the run that starts has ended.
    bool runAndWait(CEvaDlg& dlg, const char* id, int limitMs = 15000);
    // A compare run ("读卡") over the cards in the hopper, stopped ("停止")
    // once they are read; false when it did not end.
    bool compareRun(CEvaDlg& dlg);
    bool waitFor(const std::function<bool()>& done, int limitMs = 15000);
    int feedCommands() const;
    QString text(CEvaDlg& dlg, const char* id) const;
    void click(QWidget& w, const char* id);

    std::unique_ptr<ReaderRig> rig;
    QTemporaryDir dir;
    FileLocations locations;
};
