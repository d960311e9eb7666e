#include "link/LinkSocket.h"

namespace quorlex {

void LinkSocket::Close() {
    if (stopEvent_.exchange(true)) {
        return;
    }
    stream_->Shutdown();
}

} // namespace quorlex
