#pragma once

#include <QString>
#include <stdexcept>

namespace store {

// Raised by every store call that fails. what() holds the reason in UTF-8;
// message() holds it for display.
class StoreError : public std::runtime_error {
public:
    explicit StoreError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

}  // namespace store
