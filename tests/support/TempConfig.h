#pragma once
// Points XDG_CONFIG_HOME at a fresh temporary folder for one test, so that nothing touches
// the user's real settings.
#include <QByteArray>
#include <QTemporaryDir>
#include <QtGlobal>

namespace qr::test {

class TempConfig {
public:
    TempConfig()
        : old_(qgetenv("XDG_CONFIG_HOME")), hadOld_(qEnvironmentVariableIsSet("XDG_CONFIG_HOME")) {
        qputenv("XDG_CONFIG_HOME", dir_.path().toUtf8());
    }
    ~TempConfig() {
        if (hadOld_)
            qputenv("XDG_CONFIG_HOME", old_);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }
    QString path() const { return dir_.path(); }
    QString iniPath() const { return dir_.path() + "/QuendarixReader/QuendarixReader.ini"; }

private:
    QTemporaryDir dir_;
    QByteArray old_;
    bool hadOld_;
};

}  // namespace qr::test
