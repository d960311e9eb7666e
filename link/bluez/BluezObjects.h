#pragma once

#include "link/bluez/BluezBus.h"

#include <string>
#include <vector>

namespace quorlex {

// What we need to know about one object the daemon exports.
struct BluezObjectInfo {
    std::string path;
    bool isAdapter = false;
    bool isDevice = false;
    // Device properties; the daemon leaves Name out when the device sent none.
    std::string address;
    std::string adapterPath;
    std::string name;
    bool hasName = false;
    std::string alias;
};

// Reads a GetManagedObjects reply. 0, or EBADMSG when the reply has another shape.
int ReadBluezObjects(sd_bus_message* reply, std::vector<BluezObjectInfo>& objects);

// Asks the daemon for all its objects. 0 or an errno value.
BluezCallResult FetchBluezObjects(BluezBus& bus, std::vector<BluezObjectInfo>& objects);

} // namespace quorlex
