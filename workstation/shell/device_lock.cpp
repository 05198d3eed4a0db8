#include "device_lock.h"

#include <QCoreApplication>
#include <QThread>
#include <chrono>

void DeviceLock::lock() {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread()) {
        mutex_.lock();
        return;
    }
    using namespace std::chrono_literals;
    while (!mutex_.try_lock_for(2ms)) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}
