#include "logger/InformationPage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace qr {

QString informationAddress(const QString& programFolder, const QString& sourceReadme) {
    const QString installed =
        QDir(programFolder).absoluteFilePath("../share/doc/quendarix-reader/README.md");
    for (const QString& candidate : {installed, sourceReadme}) {
        const QFileInfo info(candidate);
        if (!candidate.isEmpty() && info.isFile())
            return QUrl::fromLocalFile(info.canonicalFilePath()).toString();
    }
    return QStringLiteral("README.md");
}

QString informationAddress() {
    return informationAddress(QCoreApplication::applicationDirPath(),
                              QStringLiteral(QR_SOURCE_README));
}

}  // namespace qr
