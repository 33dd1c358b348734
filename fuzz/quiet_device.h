#pragma once
// The recording device, keeping no log, as the device the registries load onto.
#include "graphics/device_holder.h"
#include "platform/fake/recording_device.h"

inline void useQuietRecordingDevice() {
    static Recorder* recorder = [] {
        auto* r = new Recorder;
        r->keepLog = false;
        return r;
    }();
    static RecordingDevice* device = new RecordingDevice(*recorder);
    DeviceHolder::instance().device = device;
}
