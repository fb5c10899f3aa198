// The fixture of the Qt tests: the process-wide state back to program start,
// a hidden main window whose handler records its messages and hands commands
// and tray notifications to the real shell, and a presentation that records
// what reaches it.
#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <QWidget>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/qt/presentation.h"

namespace vantrel::test {

struct Message {
    uint32_t message;
    uintptr_t wparam;
    intptr_t lparam;
};

// Every call that reaches the presentation, as one line of text.
class RecordingPresentation final : public qt::Presentation {
public:
    std::vector<std::string> calls;

    void add(const qt::IconTarget& target, platform::IconHandle icon, std::string_view tooltip) override;
    void remove() override;
    void set_tooltip(std::string_view text) override;
    void show_balloon(std::string_view title, std::string_view text, uint32_t kind) override;
};

class QtTest : public ::testing::Test {
public:

    // The messages the main window has received so far.
    static std::vector<Message>& messages();
    static int count(uint32_t message, uintptr_t wparam);

    // Handles events until done() holds; false when it does not within the
    // time limit.
    static bool run_until(const std::function<bool()>& done,
                          std::chrono::milliseconds limit = std::chrono::seconds(5));

    // Runs action from the event loop, once the current call is waiting in a
    // loop of its own (a dialog's, a menu's, a message box's).
    static void later(std::function<void()> action);

    // Runs act from the event loop on the first visible top-level widget
    // that matches, as soon as one is shown.
    using Match = std::function<bool(QWidget*)>;
    static void when_shown(Match match, std::function<void(QWidget*)> act);
    static Match titled(const QString& title);
    template <typename W>
    static Match of_type() {
        return [](QWidget* widget) { return qobject_cast<W*>(widget) != nullptr; };
    }

    // A visible top-level window with the title, or nullptr.
    static QWidget* window_titled(const QString& title);
    static int windows_titled(const QString& title);

    // The control of a dialog by id.
    template <typename W>
    static W* control(QWidget* dialog, int id) {
        return dialog->findChild<W*>(QString::number(id));
    }

protected:
    void SetUp() override;
    void TearDown() override;

    platform::WindowHandle main_ = nullptr;
    RecordingPresentation presentation_;

};

}  // namespace vantrel::test
