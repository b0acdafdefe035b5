#include "platform/Messages.h"

#include <memory>
#include <mutex>

namespace {

std::mutex& sinkLock() {
    static std::mutex m;
    return m;
}

std::shared_ptr<const MessageSink>& sinkSlot() {
    static std::shared_ptr<const MessageSink> sink;
    return sink;
}

}  // namespace

void SetMessageSink(MessageSink sink) {
    auto next = sink ? std::make_shared<const MessageSink>(std::move(sink)) : nullptr;
    std::lock_guard<std::mutex> guard(sinkLock());
    sinkSlot() = std::move(next);
}

int ShowMessage(const CString& text, const CString& caption, UINT style) {
    std::shared_ptr<const MessageSink> sink;
    {
        std::lock_guard<std::mutex> guard(sinkLock());
        sink = sinkSlot();
    }
    // Called outside the lock: a sink may take long (a modal dialog) or replace itself.
    return sink ? (*sink)(text, caption, style) : IDOK;
}
