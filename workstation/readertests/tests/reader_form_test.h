// The fixture of the reader test forms: the workstation started against the
// virtual reader on the HID socket, with the forms opened through their
// commands.
#pragma once

#include <QAbstractButton>
#include <QLineEdit>

#include "child_frame.h"
#include "gray_fetch.h"
#include "main_frame.h"
#include "shell_test_support.h"
#include "vazsim/card_deck.h"

class ReaderFormTest : public ShellTest {
protected:
    // Starts connected to a virtual reader (or with none: Via::Nothing).
    void startWith(ReaderRig::Via via = ReaderRig::Via::Hid) {
        rig = std::make_unique<ReaderRig>(via);
        rig->reader.setNoise(0);
        ASSERT_TRUE(start());
        boxes.records.clear();
    }
    vazsim::VirtualReader& reader() { return rig->reader; }

    // Opens (or activates) a form by its id and returns its view.
    template <typename Form>
    Form* open(int formId) {
        CChildFrame* frame = app->mainFrame()->ShowForm(formId);
        pump();
        return frame ? qobject_cast<Form*>(frame->widget()) : nullptr;
    }
    // Reads `sheet` through the gray test's data fetch, then opens the form.
    template <typename Form>
    void readThenOpen(const vazsim::Sheet& sheet, Form*& form) {
        reader().addCard(sheet);
        app->testData->lineCount = sheet.syncCount;
        ASSERT_GT(FetchGrayData(*app, GrayFetch::ReadNow), 0);
        form = open<Form>(Form::kFormId);
        ASSERT_NE(form, nullptr);
    }
    template <typename W = QWidget>
    static W* control(QWidget* form, int id) {
        return form->findChild<W*>(QString::number(id));
    }
    void click(QWidget* form, int id) {
        auto* b = control<QAbstractButton>(form, id);
        ASSERT_NE(b, nullptr) << id;
        b->click();
    }
    // How many commands starting with `prefix` the reader received.
    int received(const std::string& prefix) const {
        int n = 0;
        for (const std::string& c : rig->reader.commands()) n += c.rfind(prefix, 0) == 0;
        return n;
    }

    std::unique_ptr<ReaderRig> rig;
};
