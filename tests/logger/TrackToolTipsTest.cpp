// The track list's tooltips on the main window, fed with the simulator's sample memory.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextDocument>
#include <QUrl>

#include "logger/TrackToolTips.h"
#include "support/WindowDriver.h"

namespace qr {
namespace {

class TrackToolTipsTest : public ::testing::Test, protected test::MainWindowDriver {
protected:
    void SetUp() override {
        showWithoutLogger();
        QFile sample(QR_SAMPLE_MEMORY);
        ASSERT_TRUE(sample.open(QIODevice::ReadOnly)) << QR_SAMPLE_MEMORY;
        ASSERT_TRUE(openTrackList(sample.readAll().toStdString()));
    }
    TrackToolTips& tips() { return TrackToolTips::of(list()); }
    QString toolTip(int row) { return list()->item(row)->data(Qt::ToolTipRole).toString(); }
};

TEST_F(TrackToolTipsTest, EveryEntryCarriesItsFactsAsWords) {
    ASSERT_EQ(list()->count(), 4);
    ASSERT_EQ(tips().count(), 4);
    for (const int row : {0, 1, 3}) {
        const QString words = list()->item(row)->data(Qt::AccessibleDescriptionRole).toString();
        EXPECT_TRUE(words.startsWith("Dauer ")) << row << words.toStdString();
        EXPECT_TRUE(words.contains("\nStart ")) << row;
        EXPECT_TRUE(words.contains(QRegularExpression("\nmax. Höhe \\d\\.\\d{3} m"))) << row;
        EXPECT_TRUE(toolTip(row).contains("Höhengewinn ")) << row;
        EXPECT_FALSE(tips().pictureDrawn(row)) << row;  // not before it is wanted
    }
    // Flight 1: 3000 fixes from 11:02:05 on, launched after its ground handling.
    EXPECT_EQ(tips().fixes(0).size(), 3000u);
    EXPECT_GT(tips().facts(0).takeOffTime, 11 * 3600 + 2 * 60 + 5);
    EXPECT_EQ(tips().words(2), "Dieser Track hat keine Fixes.");
    EXPECT_TRUE(toolTip(2).contains("Dieser Track hat keine Fixes."));
    // What a screen reader gets for the entry.
    QAccessibleInterface* listAccess = QAccessible::queryAccessibleInterface(list());
    ASSERT_NE(listAccess, nullptr);
    QAccessibleInterface* entry = listAccess->child(0);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->text(QAccessible::Description), tips().words(0));
}

TEST_F(TrackToolTipsTest, ThePictureIsDrawnWhenWantedAndKept) {
    list()->item(1)->setCheckState(Qt::Checked);
    const std::vector<bool> before = ticks();
    const QString text = list()->item(0)->text();
    hover(0);
    ASSERT_TRUE(tips().pictureDrawn(0));
    EXPECT_FALSE(tips().pictureDrawn(1));
    const QString tip = toolTip(0);
    const QRegularExpression img(
        "<img src=\"(data:image/png;base64,[^\"]+)\" width=\"400\" "
        "height=\"200\"");
    const auto match = img.match(tip);
    ASSERT_TRUE(match.hasMatch()) << tip.left(200).toStdString();
    EXPECT_TRUE(tip.contains("Dauer "));
    // The tooltip's rich text finds the picture.
    QTextDocument document;
    document.setHtml(tip);
    const QVariant picture =
        document.resource(QTextDocument::ImageResource, QUrl(match.captured(1)));
    QImage image;
    if (picture.canConvert<QImage>()) image = picture.value<QImage>();
    if (image.isNull()) image.loadFromData(picture.toByteArray());
    EXPECT_EQ(image.size(), QSize(400, 200) * list()->viewport()->devicePixelRatio());
    // Nothing else changed: no tick, no text; a second hover draws nothing new.
    EXPECT_EQ(ticks(), before);
    EXPECT_EQ(list()->item(0)->text(), text);
    hover(0);
    EXPECT_EQ(toolTip(0), tip);
    hover(2);  // the empty track has no picture to draw
    EXPECT_FALSE(toolTip(2).contains("<img"));
}

TEST_F(TrackToolTipsTest, ExtraLinesArriveLaterAndReplaceTheirOwn) {
    list()->item(3)->setCheckState(Qt::Checked);
    hover(3);
    tips().setExtraLine(3, "xc", "XContest: wird berechnet…");
    EXPECT_TRUE(tips().words(3).endsWith("\nXContest: wird berechnet…"));
    tips().setExtraLine(3, "xc", "XContest: 189,97 Punkte, FAI-Dreieck (geschlossen), 118,73 km");
    const QString words = tips().words(3);
    EXPECT_TRUE(words.endsWith("\nXContest: 189,97 Punkte, FAI-Dreieck (geschlossen), 118,73 km"));
    EXPECT_FALSE(words.contains("wird berechnet"));
    EXPECT_EQ(list()->item(3)->data(Qt::AccessibleDescriptionRole).toString(), words);
    EXPECT_TRUE(toolTip(3).contains("<img"));
    EXPECT_TRUE(toolTip(3).contains("XContest: 189,97 Punkte"));
    EXPECT_EQ(ticks(), (std::vector<bool>{false, false, false, true}));
    tips().setExtraLine(9, "xc", "no such entry");  // ignored
}

TEST_F(TrackToolTipsTest, ANewListStartsAfresh) {
    hover(0);
    tips().setExtraLine(0, "xc", "XContest: 1,00 Punkte, von der alten Liste");
    button("ButtonAuswertung")->click();
    ASSERT_EQ(list()->count(), 4);
    EXPECT_FALSE(tips().pictureDrawn(0));
    EXPECT_FALSE(tips().words(0).contains("alten Liste"));
    // The new list's own line: on the way, or (when the events of building the list let it
    // in already) its score.
    EXPECT_TRUE(tips().words(0).contains(
        QRegularExpression(R"(\nXContest: (wird berechnet…|\d+,\d\d Punkte, .*)$)")));
    EXPECT_FALSE(toolTip(0).contains("<img"));
}

TEST_F(TrackToolTipsTest, TheScoreOfEachFlightArrivesInTheBackground) {
    // Right after the list is built every flight says its score is on the way (unless the
    // events of building the list let a score in already).
    for (const int row : {0, 1, 3})
        EXPECT_TRUE(tips().words(row).contains(
            QRegularExpression(R"(\nXContest: (wird berechnet…|\d+,\d\d Punkte, .*)$)")))
            << row;
    EXPECT_FALSE(tips().words(2).contains("XContest"));  // the empty track has none
    const QDeadlineTimer deadline(120'000);
    auto pending = [&] {
        for (const int row : {0, 1, 3})
            if (tips().words(row).contains("wird berechnet")) return true;
        return false;
    };
    while (pending() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_FALSE(pending());
    const QRegularExpression line(R"(\nXContest: \d+,\d\d Punkte, [^,]+, \d+,\d\d km$)");
    for (const int row : {0, 1, 3}) {
        const QString words = tips().words(row);
        EXPECT_TRUE(words.contains(line)) << row << " " << words.toStdString();
        EXPECT_EQ(list()->item(row)->data(Qt::AccessibleDescriptionRole).toString(), words);
    }
}

}  // namespace
}  // namespace qr
