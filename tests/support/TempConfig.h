#pragma once
// Points XDG_CONFIG_HOME and XDG_DATA_HOME at a fresh temporary folder for one test, so that
// nothing touches the user's real settings or the archive of kept downloads.
#include <QByteArray>
#include <QTemporaryDir>
#include <QtGlobal>

namespace qr::test {

class TempConfig {
public:
    TempConfig()
        : config_("XDG_CONFIG_HOME", dir_.path()), data_("XDG_DATA_HOME", dir_.path() + "/data") {}
    QString path() const { return dir_.path(); }
    QString iniPath() const { return dir_.path() + "/QuendarixReader/QuendarixReader.ini"; }
    // The archive of kept downloads below it.
    QString archivePath() const { return dir_.path() + "/data/QuendarixReader/downloads/"; }

private:
    // Sets a variable for the test's time and puts back what was there.
    class Variable {
    public:
        Variable(const char* name, const QString& value)
            : name_(name), old_(qgetenv(name)), hadOld_(qEnvironmentVariableIsSet(name)) {
            qputenv(name, value.toUtf8());
        }
        ~Variable() {
            if (hadOld_)
                qputenv(name_, old_);
            else
                qunsetenv(name_);
        }

    private:
        const char* name_;
        QByteArray old_;
        bool hadOld_;
    };

    QTemporaryDir dir_;
    Variable config_;
    Variable data_;
};

}  // namespace qr::test
