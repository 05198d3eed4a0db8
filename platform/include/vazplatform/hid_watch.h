// Arrival and removal of HID devices while a program runs:
//  - hidraw nodes through a udev monitor (subsystem "hidraw", events of the
//    udev daemon, so that the node's permissions are already set);
//  - virtual devices of VAZ_HID_DEVICES (read when the watcher starts)
//    through inotify on the folders of their socket paths: the path
//    appearing is an arrival, the path going is a removal.
// A virtual reader that dies without removing its socket is only seen by
// whoever holds the device open (a read ends with HidIo::Gone); its path
// reappears when it starts again, since it binds its socket anew.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "vazplatform/hid.h"

namespace vazplat {

enum class HidChange { Arrived, Removed };

struct HidChangeEvent {
    HidChange change = HidChange::Arrived;
    // Hidraw: the node; virtual: the entry as VAZ_HID_DEVICES lists it
    // (its ids and product text included).
    HidDeviceInfo device;
};

class HidWatcher {
public:
    using Handler = std::function<void(const HidChangeEvent&)>;

    // Starts the watcher's thread; `handler` runs on it, one event at a time.
    // `virtualDefaults` are the ids of virtual entries that give none. Null
    // with errno in *err when neither kind can be watched.
    static std::unique_ptr<HidWatcher> Start(Handler handler, const HidAttributes& virtualDefaults, int* err);
    // Stops the thread; no handler call runs after it returns.
    ~HidWatcher();
    HidWatcher(const HidWatcher&) = delete;
    HidWatcher& operator=(const HidWatcher&) = delete;

private:
    struct Impl;
    explicit HidWatcher(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

}  // namespace vazplat
