#include "link/LinkSocket.h"

namespace quorlex {

void LinkSocket::Close() {
    if (stopEvent_.exchange(true)) {
        return;
    }
    platform_.RevokeLinkKey(address_);
    platform_.Shutdown(handle_);
}

} // namespace quorlex
