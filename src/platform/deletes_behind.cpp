// The deletion of a moved-aside folder on a helper thread.
#include "platform/deletes_behind.h"

#include <utility>

#include "platform/file_system.h"

namespace vb::platform {

DeletesBehind::~DeletesBehind() {
    if (helper_.joinable()) helper_.join();
}

void DeletesBehind::Start(std::string aside, std::string path) {
    helper_ = std::thread([this, aside = std::move(aside), path = std::move(path)] {
        try {
            fso_.DeleteMovedAside(aside, path);
        } catch (...) {
            failure_ = std::current_exception();
        }
    });
}

void DeletesBehind::Finish() {
    if (helper_.joinable()) helper_.join();
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
}

}  // namespace vb::platform
