// The reader as the settings dialogs reach it: the application's device
// function table behind its connected flag. Lives for one handler.
#pragma once

#include "pendra_app.h"
#include "reader_port.h"

class AppReaderPort : public ReaderPort {
public:
    explicit AppReaderPort(CPendraApp& app) : app_(app) {}
    bool connected() const override { return app_.connected; }
    int send(const char* command) override { return app_.device.send(command); }
    int get(char* buffer) override { return app_.device.get(buffer); }

private:
    CPendraApp& app_;
};
