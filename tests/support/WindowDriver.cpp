#include "support/WindowDriver.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <stdexcept>

#include "support/EventPump.h"

namespace qr::test {

namespace {

const QString kWrittenCaption = "igc-File geschrieben (signiert) ";

}  // namespace

HeaderFields plausibleHeader(const QString& pilot, const QString& pilotId, const QString& folder) {
    HeaderFields fields{{"Edit1", pilot},        {"Edit2", "Alpha 5"},      {"Edit3", "D-1234"},
                        {"Edit5", "Hoher Hang"}, {"Edit6", "DHV-OLC-2009"}, {"Edit7", pilotId}};
    if (!folder.isEmpty()) fields.emplace_back("Edit8", folder);
    return fields;
}

void fillFields(QWidget& dialog, const HeaderFields& fields) {
    for (const auto& [name, text] : fields) control<QLineEdit>(dialog, name)->setText(text);
}

void appendTestSignature(const std::string& path, const char* lines) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::Append)) throw std::runtime_error("test signer cannot open " + path);
    file.write(lines);
}

TZelmor& MainWindowDriver::show() {
    window = std::make_unique<TZelmor>(context);
    window->show();
    return *window;
}

TZelmor& MainWindowDriver::showWithoutLogger() {
    mapPort(1, kNoSuchDevice);
    return show();
}

QString MainWindowDriver::memo() {
    return get<QPlainTextEdit>("Memo1")->toPlainText();
}

std::vector<std::string> MainWindowDriver::memoLines() {
    std::vector<std::string> lines;
    for (const QString& line : memo().split('\n', Qt::SkipEmptyParts))
        lines.push_back(line.toLatin1().toStdString());
    return lines;
}

QString MainWindowDriver::panel(int i) {
    return get<QLabel>(qPrintable(QString("StatusBar1Panel%1").arg(i)))->text();
}

bool MainWindowDriver::answered() {
    return button("ButtonBAT")->isVisible();
}

::testing::AssertionResult MainWindowDriver::runCommand(const char* name,
                                                        const std::function<bool()>& also,
                                                        std::chrono::milliseconds deadline) {
    button(name)->click();
    if (pumpUntil([&] { return answered() && (!also || also()); }, deadline))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << name << " never ended";
}

void MainWindowDriver::evaluate(const std::string& answer, bool download) {
    window->exchange().prepareCommand();
    if (download) window->exchange().setDownloadMode();
    window->exchange().receive(answer);
    window->Auswerten();
}

::testing::AssertionResult MainWindowDriver::openTrackList(const std::string& memory) {
    evaluateDownload(memory);
    QPushButton* offer = button("ButtonAuswertung");
    if (!offer->isVisible())
        return ::testing::AssertionFailure() << "the download offers no track list";
    offer->click();
    return ::testing::AssertionSuccess();
}

void MainWindowDriver::chooseTrack(int row) {
    list()->setCurrentRow(row);
    window->CheckListBoxTrackClickCheck();
}

void MainWindowDriver::click(const QPoint& at) {
    QWidget* viewport = list()->viewport();
    const QPoint global = viewport->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(viewport, &press);
    QApplication::sendEvent(viewport, &release);
}

void MainWindowDriver::clickEntryText(int row) {
    const QRect rect = list()->visualItemRect(list()->item(row));
    click(QPoint(rect.right() - 10, rect.center().y()));
}

void MainWindowDriver::clickTickBox(int row) {
    QListWidget* entries = list();
    QStyleOptionViewItem option;
    option.initFrom(entries);
    option.rect = entries->visualItemRect(entries->item(row));
    option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    option.text = entries->item(row)->text();
    const QRect box =
        entries->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, entries);
    click(box.center());
}

void MainWindowDriver::pressKey(int key, const QString& text) {
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(list(), &down);
    QApplication::sendEvent(list(), &up);
}

void MainWindowDriver::hover(int row) {
    const QPoint at = list()->visualItemRect(list()->item(row)).center();
    QHelpEvent event(QEvent::ToolTip, at, list()->viewport()->mapToGlobal(at));
    QApplication::sendEvent(list()->viewport(), &event);
}

std::vector<bool> MainWindowDriver::ticks() {
    std::vector<bool> out;
    for (int i = 0; i < list()->count(); ++i)
        out.push_back(list()->item(i)->checkState() == Qt::Checked);
    return out;
}

void MainWindowDriver::answerHeaderDialog(HeaderFields fields, bool confirm,
                                          std::function<void()> afterAnswer) {
    prompts.onModal = [fields = std::move(fields), confirm,
                       afterAnswer = std::move(afterAnswer)](QDialog& dialog) {
        dialog.show();  // loads the stored values, as a modal showing does
        fillFields(dialog, fields);
        auto* save = control<QPushButton>(dialog, "Speichern");
        EXPECT_TRUE(save->isVisible());
        (confirm ? save : control<QPushButton>(dialog, "Abbrechen"))->click();
        if (afterAnswer) afterAnswer();
        return dialog.result();
    };
}

std::optional<QString> MainWindowDriver::writtenFile() {
    const QString caption = get<QLabel>("Label1")->text();
    if (!caption.startsWith(kWrittenCaption)) return std::nullopt;
    return caption.mid(kWrittenCaption.size());
}

}  // namespace qr::test
