#pragma once

#include <string>

class QWidget;

namespace cellsonify {

// Tells the user something and waits for OK. Tests record the messages instead.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    // Shows `text` in a box titled `title`.
    virtual void show(const std::string& title, const std::string& text) = 0;
};

// The MessageSink that shows a modal QMessageBox over `parent`.
class QtMessageSink : public MessageSink {
public:
    explicit QtMessageSink(QWidget* parent) : parent_(parent) {}
    void show(const std::string& title, const std::string& text) override;

private:
    QWidget* parent_;
};

}  // namespace cellsonify
