#pragma once
#include <cstddef>
#include <exception>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace qs {

// The listeners of one kind of record (samples, status changes). They are
// added while the program is put together and told of each record in the
// order they were added. A listener that throws is reported and the rest
// are told all the same: no listener stops another, nor the handler that
// publishes.
template <typename Record>
class Subscribers {
public:
    using Subscriber = std::function<void(const Record&)>;
    using Report = std::function<void(const std::string& message)>;

    // report: where a listener's exception goes, as its what().
    explicit Subscribers(Report report) : report_(std::move(report)) {}
    Subscribers(const Subscribers&) = delete;
    Subscribers& operator=(const Subscribers&) = delete;

    // Not from inside a listener: the list stays as it is while it is told.
    void add(Subscriber subscriber) {
        if (publishing_ > 0) throw std::logic_error("a listener was added while a record was being published");
        subscribers_.push_back(std::move(subscriber));
    }
    std::size_t size() const { return subscribers_.size(); }

    // Tells every listener, first added first; returns once all have been told.
    void publish(const Record& record) {
        const Publishing guard(publishing_);
        for (const Subscriber& subscriber : subscribers_) {
            try {
                subscriber(record);
            } catch (const std::exception& e) {
                report(e.what());
            } catch (...) {
                report("a listener failed with an unknown error");
            }
        }
    }

private:
    // Counts nested publishing: a listener may cause another record.
    struct Publishing {
        explicit Publishing(int& depth) : depth_(depth) { ++depth_; }
        ~Publishing() { --depth_; }
        Publishing(const Publishing&) = delete;
        Publishing& operator=(const Publishing&) = delete;
        int& depth_;
    };
    void report(const std::string& message) const {
        if (report_) report_(message);
    }

    Report report_;
    std::vector<Subscriber> subscribers_;
    int publishing_ = 0;
};

}  // namespace qs
