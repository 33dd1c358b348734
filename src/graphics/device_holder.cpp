#include "graphics/device_holder.h"

DeviceHolder& DeviceHolder::instance() {
    static DeviceHolder* holder = new DeviceHolder;
    return *holder;
}
