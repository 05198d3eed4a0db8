// A ReaderPort over the real libvaz.so that the test support has loaded, for
// tests that run the workstation's device logic against the virtual reader.
#pragma once

#include "reader_port.h"
#include "vaz_test_support.h"

class VazReaderPort : public ReaderPort {
public:
    bool connected() const override { return connectedFlag; }
    int send(const char* command) override { return vaztest::Vaz().VazS(command); }
    int get(char* buffer) override { return vaztest::Vaz().VazG(buffer); }
    void interrupt() override { vaztest::Vaz().VazSetStop(); }

    bool connectedFlag = true;  // stands for the application's flag
};
