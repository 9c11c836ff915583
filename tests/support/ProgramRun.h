#pragma once
// What every test of the real windows starts from: a temporary settings folder, a person
// played by FakePrompts, the windows' shared state on both, and a way to find a control.
#include <gtest/gtest.h>

#include <QObject>
#include <QString>
#include <stdexcept>
#include <string>

#include "app/AppContext.h"
#include "support/FakePrompts.h"
#include "support/PortMapping.h"
#include "support/TempConfig.h"

namespace qr::test {

// One run of the program: the members in the order they must be built (the settings
// folder before anything reads settings).
struct ProgramRun {
    explicit ProgramRun(const char* title = "Quendarix-reader") : context(prompts, title) {}

    TempConfig config;
    FakePrompts prompts;
    AppContext context;
};

// The control of that object name. A missing one fails the test and throws, so that no
// test goes on with a null control (the exception ends the test body; inside a window's
// handler the program's error net takes it).
template <typename T>
T* control(const QObject& parent, const QString& name) {
    T* found = parent.findChild<T*>(name);
    if (found) return found;
    ADD_FAILURE() << "no control " << name.toStdString();
    throw std::runtime_error("no control " + name.toStdString());
}

}  // namespace qr::test
