#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>
#include <QWindow>
#include <functional>

#include "app/AppContext.h"
#include "app/Program.h"
#include "app/QuendarixApplication.h"
#include "app/UserPrompts.h"
#include "dialogs/TFormIGCKonfig.h"
#include "dialogs/TSetQVD.h"
#include "logger/TZelmor.h"
#include "support/FakePrompts.h"
#include "support/ProgramRun.h"

namespace qr {
namespace {

TEST(Program, CreatesTheWindowsInOrderAndEndsWhenTheMainWindowCloses) {
    test::ProgramRun run;
    int status = -1;
    {
        Program program(run.context);
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
            EXPECT_TRUE(run.context.settingsOpen());  // opened when the main window was first shown
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
    EXPECT_TRUE(run.prompts.errors.isEmpty());
}

// The caption of a window, in the widget and in the window the platform shows.
void expectCaption(QWidget& window, const QString& caption) {
    window.winId();  // the platform window
    ASSERT_NE(window.windowHandle(), nullptr);
    EXPECT_EQ(window.windowTitle(), caption);
    EXPECT_EQ(window.windowHandle()->title(), caption);
}

// Opens a message box, reads it, and answers with the last of `buttons`.
struct BoxSeen {
    QString caption;
    QString platformCaption;
    QStringList buttonTexts;
};
BoxSeen whileOpen(const std::function<void()>& open,
                  const QList<QMessageBox::StandardButton>& buttons) {
    BoxSeen seen;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        seen.caption = box->windowTitle();
        seen.platformCaption = box->windowHandle() ? box->windowHandle()->title() : "<none>";
        for (const auto button : buttons)
            seen.buttonTexts << (box->button(button) ? box->button(button)->text() : "<none>");
        if (QAbstractButton* answer = box->button(buttons.back())) answer->click();
    });
    open();
    return seen;
}

TEST(Program, TheTitleBarShowsEachCaptionAlone) {
    // The platform appends a display name to every caption once one is set; none is, so a
    // change of the application's name shows through.
    const QString name = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName("qr-probe");
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), "qr-probe");
    QCoreApplication::setApplicationName(name);
    EXPECT_EQ(QGuiApplication::desktopFileName(), "quendarix-reader");

    test::ProgramRun run;
    Program program(run.context);
    const QString captions[] = {"Quendarix Reader Vers. 1.1",
                                "Angaben zur IGC-Datei    Quendarix-reader",
                                "Quendarix Einstellungen vornehmen für Quendarix-reader"};
    for (std::size_t i = 0; i < 3; ++i)
        ASSERT_NO_FATAL_FAILURE(expectCaption(*program.creationOrder()[i], captions[i]));
    TFormIGCKonfig header(run.context);  // the instances that are shown
    ASSERT_NO_FATAL_FAILURE(expectCaption(header, captions[1]));
    TSetQVD settings(run.context);
    ASSERT_NO_FATAL_FAILURE(expectCaption(settings, captions[2]));

    QtUserPrompts real("Quendarix-reader");
    const BoxSeen error = whileOpen([&] { real.showError(nullptr, "Fehler"); }, {QMessageBox::Ok});
    EXPECT_EQ(error.caption, "Quendarix-reader");
    EXPECT_EQ(error.platformCaption, "Quendarix-reader");
    const BoxSeen question =
        whileOpen([&] { real.confirmYesNo(nullptr, "Frage", "Wirklich?"); }, {QMessageBox::No});
    EXPECT_EQ(question.caption, "Frage");
    EXPECT_EQ(question.platformCaption, "Frage");
}

// Qt's own texts in the boxes: the LCD question (Yes/No) and the delete confirmation
// (OK/Cancel).
struct QtBoxTexts {
    QStringList yesNo;
    QStringList okCancel;
    bool yesNoAnswer = true;
    bool okCancelAnswer = true;
};
QtBoxTexts qtBoxTexts() {
    QtUserPrompts real;
    QtBoxTexts texts;
    texts.yesNo = whileOpen([&] { texts.yesNoAnswer = real.confirmYesNo(nullptr, "LCD", "?"); },
                            {QMessageBox::Yes, QMessageBox::No})
                      .buttonTexts;
    texts.okCancel =
        whileOpen([&] { texts.okCancelAnswer = real.confirmOkCancel(nullptr, "Löschen", "?"); },
                  {QMessageBox::Ok, QMessageBox::Cancel})
            .buttonTexts;
    return texts;
}

QuendarixApplication& application() {
    return *static_cast<QuendarixApplication*>(QApplication::instance());
}

TEST(QtTexts, GermanWheneverQtsGermanFileIsThere) {
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!QFile::exists(folder + "/qtbase_de.qm"))
        GTEST_SKIP() << "qtbase_de.qm is not installed (qt6-translations-l10n)";
    ASSERT_TRUE(application().qtTextsGerman());
    QTranslator file;
    ASSERT_TRUE(file.load("qtbase_de", folder));
    const QString yes = file.translate("QPlatformTheme", "&Yes");
    const QString no = file.translate("QPlatformTheme", "&No");
    const QString cancel = file.translate("QPlatformTheme", "Cancel");
    EXPECT_EQ(yes, "&Ja");
    EXPECT_EQ(no, "&Nein");
    EXPECT_EQ(cancel, "Abbrechen");

    const QtBoxTexts texts = qtBoxTexts();
    EXPECT_EQ(texts.yesNo, (QStringList{yes, no}));
    EXPECT_FALSE(texts.yesNoAnswer);
    ASSERT_EQ(texts.okCancel.size(), 2);
    EXPECT_EQ(texts.okCancel[1], cancel);
    EXPECT_FALSE(texts.okCancelAnswer);
}

TEST(QtTexts, WithoutTheFileTheProgramStartsInQtsEnglish) {
    QTemporaryDir empty;
    ASSERT_FALSE(application().loadQtGermanTexts(empty.path()));
    EXPECT_FALSE(application().qtTextsGerman());
    const QtBoxTexts texts = qtBoxTexts();
    EXPECT_EQ(texts.yesNo, (QStringList{"&Yes", "&No"}));
    EXPECT_FALSE(texts.yesNoAnswer);
    EXPECT_EQ(texts.okCancel, (QStringList{"OK", "Cancel"}));
    EXPECT_FALSE(texts.okCancelAnswer);
    {
        test::ProgramRun run;
        Program program(run.context);
        QTimer::singleShot(0, [&] { program.mainWindow().close(); });
        EXPECT_EQ(program.run(), 0);
        EXPECT_TRUE(run.prompts.errors.isEmpty());
    }
    application().loadQtGermanTexts();  // as the other tests have it
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
