// The pictures on the program's buttons, drawn by the program itself so that they look the
// same on every desktop and in every widget style.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <array>

class QWidget;

namespace qr {

enum class ButtonPicture {
    LoggerOn,        // the logger with a green play mark
    LoggerOff,       // the logger with a red stop mark
    Status,          // a battery with its charge level
    ReadTracks,      // a green arrow down into a tray
    TrackList,       // a sheet with ticked rows
    DeleteTracks,    // a bin
    LoggerSettings,  // a gear
    Done,            // a sheet with a green check mark
    Close,           // a red circle with a white cross
    SendSettings,    // a green arrow into the logger
};

inline constexpr std::array kAllButtonPictures = {
    ButtonPicture::LoggerOn,       ButtonPicture::LoggerOff, ButtonPicture::Status,
    ButtonPicture::ReadTracks,     ButtonPicture::TrackList, ButtonPicture::DeleteTracks,
    ButtonPicture::LoggerSettings, ButtonPicture::Done,      ButtonPicture::Close,
    ButtonPicture::SendSettings,
};

// The picture drawn into a square pixmap of the given side, transparent around it.
QPixmap buttonPixmap(ButtonPicture picture, int side);

// The picture as an icon for a button of owner: at the style's button icon size and twice
// that, so it stays sharp on high-resolution screens.
QIcon buttonIcon(ButtonPicture picture, const QWidget* owner);

}  // namespace qr
