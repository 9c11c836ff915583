#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>
#include <QPushButton>
#include <QTimer>

#include "app/AppContext.h"
#include "app/Program.h"
#include "app/QuendarixApplication.h"
#include "dialogs/TFormIGCKonfig.h"
#include "dialogs/TSetQVD.h"
#include "logger/TZelmor.h"
#include "support/FakePrompts.h"
#include "support/TempConfig.h"

namespace qr {
namespace {

TEST(Program, CreatesTheWindowsInOrderAndEndsWhenTheMainWindowCloses) {
    test::TempConfig config;
    test::FakePrompts prompts;
    AppContext context(prompts, "Quendarix-reader");
    int status = -1;
    {
        Program program(context);
        const auto& order = program.creationOrder();
        ASSERT_EQ(order.size(), 3u);
        EXPECT_EQ(order[0]->objectName(), "Zelmor");
        EXPECT_EQ(order[1]->objectName(), "FormIGCKonfig");
        EXPECT_EQ(order[2]->objectName(), "SetQVD");
        EXPECT_EQ(order[0]->windowTitle(), "Quendarix Reader Vers. 1.1");
        EXPECT_EQ(order[1]->windowTitle(), "Angaben zur IGC-Datei    Quendarix-reader");
        EXPECT_EQ(order[2]->windowTitle(),
                  "Quendarix Einstellungen vornehmen für Quendarix-reader");

        bool checked = false;
        QTimer::singleShot(0, [&] {
            TZelmor& main = program.mainWindow();
            EXPECT_TRUE(main.isVisible());
            EXPECT_EQ(main.size(), QSize(790, 513));
            EXPECT_FALSE(program.permanentHeaderDialog().isVisible());
            EXPECT_FALSE(program.permanentSettingsDialog().isVisible());
            EXPECT_TRUE(context.settingsOpen());  // opened when the main window was first shown
            checked = true;
            main.close();
        });
        status = program.run();
        EXPECT_TRUE(checked);
        // The hidden two were never shown.
        EXPECT_FALSE(program.permanentHeaderDialog().testAttribute(Qt::WA_WState_ExplicitShowHide));
        EXPECT_FALSE(
            program.permanentSettingsDialog().testAttribute(Qt::WA_WState_ExplicitShowHide));
    }
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(prompts.errors.isEmpty());
}

TEST(ErrorReporting, AGuardedHandlerReportsAndTheProgramGoesOn) {
    test::FakePrompts prompts;
    AppContext context(prompts, "T");
    QPushButton button;
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, &button, guarded(context, [&] {
        ++clicks;
        if (clicks == 1) throw std::runtime_error("Erster Klick ging schief");
    }));
    button.click();
    button.click();
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(prompts.errors, QStringList{"Erster Klick ging schief"});
}

class ThrowingObject : public QObject {
public:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User) throw std::runtime_error("Fehler im Ereignis");
        return QObject::event(e);
    }
};

TEST(ErrorReporting, TheApplicationCatchesWhatNoHandlerCaught) {
    test::FakePrompts prompts;
    AppContext context(prompts, "T");
    auto* app = static_cast<QuendarixApplication*>(QApplication::instance());
    app->setContext(&context);
    ThrowingObject object;
    QApplication::postEvent(&object, new QEvent(QEvent::User));
    QApplication::processEvents();
    app->setContext(nullptr);
    EXPECT_EQ(prompts.errors, QStringList{"Fehler im Ereignis"});
}

}  // namespace
}  // namespace qr
