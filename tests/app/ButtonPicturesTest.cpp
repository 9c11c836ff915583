// The program's own button pictures: drawn, distinct, and on the buttons they belong to.
#include <gtest/gtest.h>

#include <QImage>
#include <QPushButton>
#include <QStyle>
#include <QWidget>
#include <utility>
#include <vector>

#include "app/ButtonPictures.h"
#include "dialogs/TSetQVD.h"
#include "logger/TZelmor.h"
#include "support/ProgramRun.h"

namespace qr {
namespace {

QImage image(const QIcon& icon, int side, QIcon::Mode mode = QIcon::Normal) {
    return icon.pixmap(QSize(side, side), mode).toImage().convertToFormat(QImage::Format_ARGB32);
}

TEST(ButtonPictures, EachIsAnIconWithTransparentAndOpaquePixelsAtSmallAndLargeSizes) {
    QWidget owner;
    for (const ButtonPicture picture : kAllButtonPictures) {
        const QIcon icon = buttonIcon(picture, &owner);
        ASSERT_FALSE(icon.isNull()) << int(picture);
        for (const int side : {16, 32}) {
            const QImage drawn = image(icon, side);
            ASSERT_EQ(drawn.size(), QSize(side, side)) << int(picture);
            int transparent = 0;
            int opaque = 0;
            for (int y = 0; y < side; ++y)
                for (int x = 0; x < side; ++x) {
                    const int alpha = qAlpha(drawn.pixel(x, y));
                    transparent += alpha == 0;
                    opaque += alpha == 255;
                }
            EXPECT_GT(transparent, 0) << int(picture) << " at " << side;
            EXPECT_GT(opaque, side) << int(picture) << " at " << side;
        }
        // A disabled button shows the picture toned down, not unchanged.
        EXPECT_NE(image(icon, 16, QIcon::Disabled), image(icon, 16)) << int(picture);
    }
}

TEST(ButtonPictures, NoTwoAreAlike) {
    std::vector<std::pair<ButtonPicture, QImage>> drawn;
    for (const ButtonPicture picture : kAllButtonPictures) {
        const QImage mine = buttonPixmap(picture, 32).toImage();
        for (const auto& [other, theirs] : drawn)
            EXPECT_NE(mine, theirs) << int(picture) << " looks like " << int(other);
        drawn.emplace_back(picture, mine);
    }
}

// Each picture button with the picture that fits its caption, and the style's stock icons
// the windows must not show.
struct ButtonCase {
    const char* name;
    ButtonPicture picture;
};

const QStyle::StandardPixmap kStockIcons[] = {
    QStyle::SP_MediaPlay,        QStyle::SP_MediaStop,       QStyle::SP_MessageBoxInformation,
    QStyle::SP_ArrowDown,        QStyle::SP_TrashIcon,       QStyle::SP_FileDialogDetailedView,
    QStyle::SP_DialogSaveButton, QStyle::SP_DialogYesButton, QStyle::SP_DialogCloseButton,
};

void expectPictures(const QWidget& window, const std::vector<ButtonCase>& cases) {
    for (const ButtonCase& c : cases) {
        const auto* button = window.findChild<QPushButton*>(c.name);
        ASSERT_NE(button, nullptr) << c.name;
        ASSERT_FALSE(button->icon().isNull()) << c.name;
        const QImage shown = image(button->icon(), 16);
        EXPECT_EQ(shown, image(buttonIcon(c.picture, button), 16)) << c.name;
        for (const QStyle::StandardPixmap stock : kStockIcons)
            EXPECT_NE(shown, image(window.style()->standardIcon(stock), 16))
                << c.name << " shows stock icon " << int(stock);
    }
}

TEST(ButtonPictures, TheWindowsButtonsShowTheirOwnPictures) {
    test::ProgramRun run;

    const TZelmor main(run.context);
    const std::vector<ButtonCase> mainButtons{
        {"ButtonOn", ButtonPicture::LoggerOn},
        {"ButtonOff", ButtonPicture::LoggerOff},
        {"ButtonBAT", ButtonPicture::Status},
        {"ButtonStart", ButtonPicture::ReadTracks},
        {"ButtonAuswertung", ButtonPicture::TrackList},
        {"ButtonDel", ButtonPicture::DeleteTracks},
        {"ButtonSet", ButtonPicture::LoggerSettings},
        {"ButtonFertig", ButtonPicture::Done},
        {"OKButton", ButtonPicture::Close},
    };
    ASSERT_NO_FATAL_FAILURE(expectPictures(main, mainButtons));

    const TSetQVD settings(run.context);
    const std::vector<ButtonCase> settingsButtons{
        {"ButtonSend", ButtonPicture::SendSettings},
        {"ButtonOK", ButtonPicture::Close},
    };
    ASSERT_NO_FATAL_FAILURE(expectPictures(settings, settingsButtons));
}

}  // namespace
}  // namespace qr
