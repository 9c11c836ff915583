#include "cli/SaveHeader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "app/SettingsStore.h"
#include "cli/CliErrors.h"
#include "dialogs/HeaderRules.h"

namespace qr::cli {

namespace {

QString text(std::string_view latin1) {
    return QString::fromLatin1(latin1.data(), static_cast<qsizetype>(latin1.size()));
}

std::string latin1(const QString& value) {
    return value.toLatin1().toStdString();
}

// A command-line argument is in the locale's encoding; the file wants Latin-1.
std::string latin1OfArgument(const std::string& argument) {
    return latin1(QString::fromLocal8Bit(argument));
}

// Which option sets which value, in the order of the dialog's fields.
struct Override {
    const char* option;
    std::string IgcHeaderValues::*value;
    header::Field field;
};
constexpr Override kOverrides[] = {
    {"--pilot", &IgcHeaderValues::pilotName, header::Field::PilotName},
    {"--glider-type", &IgcHeaderValues::gliderType, header::Field::GliderType},
    {"--glider-id", &IgcHeaderValues::gliderId, header::Field::GliderId},
    {"--class", &IgcHeaderValues::competitionClass, header::Field::CompetitionClass},
    {"--site", &IgcHeaderValues::site, header::Field::Site},
    {"--competition-id", &IgcHeaderValues::competitionId, header::Field::ContestName},
    {"--pilot-id", &IgcHeaderValues::pilotId, header::Field::PilotId},
};

// The option of each field, by header::Field.
constexpr const char* kFieldOptions[header::kFieldCount] = {
    "--pilot", "--glider-type",    "--glider-id", "--class",
    "--site",  "--competition-id", "--pilot-id",  "--out",
};

std::string classList() {
    std::string list;
    for (int p = header::kFirstClass; p <= header::kLastClass; ++p)
        list += std::string(p == header::kFirstClass ? "" : ", ") + "\"" +
                std::string(header::className(p)) + "\"";
    return list;
}

}  // namespace

SaveHeader saveHeader(SettingsStore& settings, const CommandArgs& args) {
    SaveHeader result;
    result.namesFromLogger = !args.has("--names-from-settings");
    IgcHeaderValues& values = result.values;

    const QString subkey = text(header::kSettingsSubkey);
    QString pathText;
    for (const header::StoredValue& stored : header::kStoredValues) {
        if (stored.value == &IgcHeaderValues::saveDirectory) {
            pathText = settings.readString(subkey, text(stored.name),
                                           QString::fromStdString(header::proposedSaveDirectory(
                                               QDir::homePath().toStdString())));
        } else {
            values.*stored.value =
                latin1(settings.readString(subkey, text(stored.name), text(stored.defaultValue)));
        }
    }
    // The dialog's class field always shows one of the seven classes.
    values.competitionClass =
        std::string(header::className(header::classPosition(values.competitionClass)));

    for (const Override& o : kOverrides)
        if (const auto given = args.value(o.option)) values.*o.value = latin1OfArgument(*given);
    if (const auto given = args.value("--class")) {
        if (header::className(header::classPosition(values.competitionClass)) !=
            values.competitionClass)
            throw RefusedError("Unbekannte Klasse '" + *given + "' (erlaubt: " + classList() + ")");
    }
    values.pilotId = header::cutPilotId(values.pilotId);
    if (const auto out = args.value("--out"))
        pathText = QString::fromStdString(
            header::withFinalSeparator(QString::fromLocal8Bit(*out).toStdString()));

    header::FieldTexts fields;
    fields.pilotName = values.pilotName;
    fields.gliderType = values.gliderType;
    fields.gliderId = values.gliderId;
    fields.competitionClass = values.competitionClass;
    fields.site = values.site;
    fields.contestName = values.competitionId;
    fields.pilotId = values.pilotId;
    fields.path = pathText.toStdString();
    const header::Plausibility plausibility =
        header::checkPlausibility(fields, result.namesFromLogger, [](const std::string& path) {
            return !path.empty() && QFileInfo(QString::fromStdString(path)).isDir();
        });
    if (!plausibility.confirmVisible) {
        std::string failing;
        for (std::size_t i = 0; i < header::kFieldCount; ++i) {
            if (plausibility.fieldPasses[i]) continue;
            if (result.namesFromLogger && i < 3) continue;  // the logger supplies these
            failing += std::string(failing.empty() ? "" : ", ") +
                       std::string(header::kFieldLabels[i]) + " (" + kFieldOptions[i] + ")";
        }
        throw RefusedError("Unplausible Angaben für die IGC-Datei: " + failing);
    }
    const std::string folder = header::saveDirectoryOf(pathText.toStdString());
    result.folder = QString::fromStdString(folder);
    values.saveDirectory = QFile::encodeName(result.folder).toStdString();
    return result;
}

}  // namespace qr::cli
