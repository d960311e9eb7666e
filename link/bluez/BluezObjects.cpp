#include "link/bluez/BluezObjects.h"

#include "link/bluez/BluezCall.h"

#include <systemd/sd-bus.h>

#include <cstring>

namespace quorlex {

namespace {

constexpr const char* kAdapterInterface = "org.bluez.Adapter1";
constexpr const char* kDeviceInterface = "org.bluez.Device1";

// Reads a variant of the given basic type into text; any other variant is
// skipped and text left alone. Negative errno on a broken message.
int ReadTextVariant(sd_bus_message* m, char type, std::string& text, bool* found = nullptr) {
    char actual = 0;
    const char* contents = nullptr;
    int r = sd_bus_message_peek_type(m, &actual, &contents);
    if (r <= 0 || actual != SD_BUS_TYPE_VARIANT || contents == nullptr) {
        return r < 0 ? r : -EBADMSG;
    }
    const char wanted[2] = {type, '\0'};
    if (std::strcmp(contents, wanted) != 0) {
        return sd_bus_message_skip(m, "v");
    }
    const char* value = nullptr;
    r = sd_bus_message_read(m, "v", wanted, &value);
    if (r < 0) {
        return r;
    }
    text = value != nullptr ? value : "";
    if (found != nullptr) {
        *found = true;
    }
    return 0;
}

int ReadDeviceProperty(sd_bus_message* m, const char* property, BluezObjectInfo& object) {
    if (std::strcmp(property, "Address") == 0) {
        return ReadTextVariant(m, SD_BUS_TYPE_STRING, object.address);
    }
    if (std::strcmp(property, "Name") == 0) {
        return ReadTextVariant(m, SD_BUS_TYPE_STRING, object.name, &object.hasName);
    }
    if (std::strcmp(property, "Alias") == 0) {
        return ReadTextVariant(m, SD_BUS_TYPE_STRING, object.alias);
    }
    if (std::strcmp(property, "Adapter") == 0) {
        return ReadTextVariant(m, SD_BUS_TYPE_OBJECT_PATH, object.adapterPath);
    }
    return sd_bus_message_skip(m, "v");
}

int ReadDeviceProperties(sd_bus_message* m, BluezObjectInfo& object) {
    int r = sd_bus_message_enter_container(m, SD_BUS_TYPE_ARRAY, "{sv}");
    if (r <= 0) {
        return r < 0 ? r : -EBADMSG;
    }
    while ((r = sd_bus_message_enter_container(m, SD_BUS_TYPE_DICT_ENTRY, "sv")) > 0) {
        const char* property = nullptr;
        r = sd_bus_message_read(m, "s", &property);
        if (r < 0 || (r = ReadDeviceProperty(m, property, object)) < 0) {
            return r;
        }
        if ((r = sd_bus_message_exit_container(m)) < 0) {
            return r;
        }
    }
    return r < 0 ? r : sd_bus_message_exit_container(m);
}

int ReadInterfaces(sd_bus_message* m, BluezObjectInfo& object) {
    int r = sd_bus_message_enter_container(m, SD_BUS_TYPE_ARRAY, "{sa{sv}}");
    if (r <= 0) {
        return r < 0 ? r : -EBADMSG;
    }
    while ((r = sd_bus_message_enter_container(m, SD_BUS_TYPE_DICT_ENTRY, "sa{sv}")) > 0) {
        const char* interface = nullptr;
        if ((r = sd_bus_message_read(m, "s", &interface)) < 0) {
            return r;
        }
        if (std::strcmp(interface, kDeviceInterface) == 0) {
            object.isDevice = true;
            r = ReadDeviceProperties(m, object);
        } else {
            object.isAdapter = object.isAdapter || std::strcmp(interface, kAdapterInterface) == 0;
            r = sd_bus_message_skip(m, "a{sv}");
        }
        if (r < 0 || (r = sd_bus_message_exit_container(m)) < 0) {
            return r;
        }
    }
    return r < 0 ? r : sd_bus_message_exit_container(m);
}

} // namespace

int ReadBluezObjects(sd_bus_message* reply, std::vector<BluezObjectInfo>& objects) {
    std::vector<BluezObjectInfo> read;
    int r = sd_bus_message_enter_container(reply, SD_BUS_TYPE_ARRAY, "{oa{sa{sv}}}");
    if (r <= 0) {
        return EBADMSG;
    }
    while ((r = sd_bus_message_enter_container(reply, SD_BUS_TYPE_DICT_ENTRY, "oa{sa{sv}}")) > 0) {
        const char* path = nullptr;
        if (sd_bus_message_read(reply, "o", &path) < 0) {
            return EBADMSG;
        }
        BluezObjectInfo object;
        object.path = path;
        if (ReadInterfaces(reply, object) < 0 || sd_bus_message_exit_container(reply) < 0) {
            return EBADMSG;
        }
        read.push_back(std::move(object));
    }
    if (r < 0) {
        return EBADMSG;
    }
    objects = std::move(read);
    return 0;
}

BluezCallResult FetchBluezObjects(BluezBus& bus, std::vector<BluezObjectInfo>& objects) {
    BluezMessage reply;
    BluezCallResult result =
        CallBluez(bus, "/", "org.freedesktop.DBus.ObjectManager", "GetManagedObjects", reply);
    if (result.Ok()) {
        result.error = ReadBluezObjects(reply.Get(), objects);
    }
    return result;
}

} // namespace quorlex
