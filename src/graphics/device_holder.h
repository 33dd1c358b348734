#pragma once
class RenderDevice;

// Process-wide: the current device, read by the registries when they create resources.
class DeviceHolder {
public:
    static DeviceHolder& instance();
    RenderDevice* device = nullptr;
};
