#include "gray_fetch.h"

#include <QByteArray>
#include <QString>
#include <algorithm>

#include "main_frame.h"
#include "pendra_app.h"

int FetchGrayData(CPendraApp& app, GrayFetch mode) {
    TestDataRecord& record = *app.testData;
    record.raw.clear();
    record.gray.clear();
    const int asked = std::max(record.lineCount, 0);
    const long wanted = long(asked) * TestDataRecord::kLineStride;
    record.gray.assign(size_t(std::max<long>(wanted, TestDataRecord::kMaxBlockValues) + 1), 0);

    int result = 0;
    {
        DeviceLock::Hold hold(app.device.lock);  // the command and the copy of its data
        const QByteArray command =
            mode == GrayFetch::LastCard ? QByteArray("I 7/") : QString::asprintf("I 2 %02d/", asked).toLatin1();
        if (app.device.send(command.constData()) > 0) {
            result = app.device.getOriOrGray('A', record.gray.data());
            if (result == 0) app.ShowDeviceError(app.mainFrame());
        }
    }
    if (result > 0) {
        // Room for every line either count names, and nothing beyond.
        record.gray.resize(size_t(std::max<long>(result, wanted) + 1));
        return result;
    }
    record.gray.clear();
    record.gray.shrink_to_fit();
    record.raw.clear();
    return result;
}
