#include "data/RecordEvents.h"
#include <vector>

namespace RecordEvents {

namespace {

using Handler = std::function<void(const Event&)>;

std::vector<std::weak_ptr<Handler>>& handlers() {
    static std::vector<std::weak_ptr<Handler>> list;
    return list;
}

} // namespace

Subscription Subscribe(Handler handler) {
    auto h = std::make_shared<Handler>(std::move(handler));
    auto& list = handlers();
    std::erase_if(list, [](const std::weak_ptr<Handler>& w) { return w.expired(); });
    list.push_back(h);
    return Subscription(h);
}

void Publish(const Event& e) {
    // A copy: handlers may add and end subscriptions while this runs. Each
    // is locked only when its turn comes, so one ended meanwhile is skipped.
    const std::vector<std::weak_ptr<Handler>> list = handlers();
    for (const auto& w : list) {
        if (auto h = w.lock()) (*h)(e);
    }
}

} // namespace RecordEvents
