#pragma once

#include <QString>
#include <optional>
#include <utility>

namespace base {

// The outcome of an operation that can fail: success, or a failure with its reason in
// words (for a log or a developer; the windows choose their own texts for the user).
class [[nodiscard]] Result {
public:
    Result() = default;  // success
    static Result failure(QString reason) {
        Result result;
        result.error_ = std::move(reason);
        return result;
    }

    bool ok() const { return !error_.has_value(); }
    explicit operator bool() const { return ok(); }
    // Why it failed; empty on success.
    QString error() const { return error_.value_or(QString()); }

private:
    std::optional<QString> error_;
};

}  // namespace base
