#include "flight/BarogramPng.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryFile>
#include <memory>

#include "flight/Barogram.h"
#include "flight/FactsText.h"

namespace qr::flight {
namespace {

// The fonts need a QGuiApplication; a command line may have none.
class GuiForDrawing {
public:
    GuiForDrawing() {
        if (QCoreApplication::instance()) return;
        app_ = std::make_unique<QGuiApplication>(argc_, argv_);
    }
    bool ready() const { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()); }

private:
    char name_[16] = "quendarix";
    char option_[16] = "-platform";
    char platform_[16] = "offscreen";
    char* argv_[4] = {name_, option_, platform_, nullptr};
    int argc_ = 3;
    std::unique_ptr<QGuiApplication> app_;
};

}  // namespace

bool writeBarogramPng(const std::vector<Fix>& fixes, const std::string& path, std::string& error,
                      int scale) {
    if (fixes.empty()) {
        error = kNoFixesText;
        return false;
    }
    const GuiForDrawing gui;
    if (!gui.ready()) {
        error = "Das Barogramm braucht eine QGuiApplication.";
        return false;
    }
    const QImage image = drawBarogram(fixes, flightFacts(fixes), scale);
    // Complete or absent, and never in place of a file that is there: written under a
    // temporary name beside it, then renamed (a rename that does not replace).
    const QFileInfo target(QString::fromStdString(path));
    if (target.exists() || target.isSymLink()) {
        error = "Die Datei " + path + " gibt es schon.";
        return false;
    }
    QTemporaryFile file(target.absolutePath() + QStringLiteral("/.barogram-XXXXXX.png"));
    if (!file.open() || !image.save(&file, "PNG") || !file.flush() ||
        !file.rename(target.filePath())) {
        error = "Das Barogramm konnte nicht nach " + path +
                " geschrieben werden: " + file.errorString().toStdString();
        return false;
    }
    file.setAutoRemove(false);  // it has its final name now
    return true;
}

}  // namespace qr::flight
