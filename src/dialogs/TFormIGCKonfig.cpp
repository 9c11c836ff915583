#include "dialogs/TFormIGCKonfig.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTextBlock>
#include <QToolButton>
#include <algorithm>

#include "app/AppContext.h"
#include "app/SettingsStore.h"
#include "app/Translation.h"
#include "app/WindowPlacement.h"
#include "common/QtLatin1.h"
#include "dialogs/HeaderRules.h"
#include "dialogs/TypedLengthLimit.h"
#include "dialogs/UpDownControl.h"

namespace qr {

namespace {

// A folder is a file-system name, not a text of the file: it is kept as the user's text
// (UTF-8 in the shared values) and becomes bytes only where the file system is called.
QString pathText(const std::string& path) {
    return QString::fromStdString(path);
}

std::string pathValue(const QString& path) {
    return path.toStdString();
}

QFont boldFont(const QWidget* widget) {
    QFont font = widget->font();
    font.setBold(true);
    return font;
}

// A read-only, borderless memo that shows its lines as they are, sized to them.
QPlainTextEdit* makeMemo(QWidget* parent, const char* name, const QStringList& lines, bool bold) {
    auto* memo = new QPlainTextEdit(parent);
    memo->setObjectName(name);
    memo->setReadOnly(true);
    memo->setFocusPolicy(Qt::NoFocus);
    memo->setFrameShape(QFrame::NoFrame);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette palette = memo->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));  // part of the form
    memo->setPalette(palette);
    if (bold) memo->setFont(boldFont(memo));
    memo->document()->setDocumentMargin(2);
    memo->setPlainText(lines.join('\n'));

    const QFontMetrics metrics(memo->font());
    int width = 0;
    for (const QString& line : lines) width = std::max(width, metrics.horizontalAdvance(line));
    const int margin = 2 * static_cast<int>(memo->document()->documentMargin()) + 4;
    memo->setMinimumWidth(width + margin);
    memo->setFixedHeight(metrics.lineSpacing() * int(lines.size()) + margin);
    return memo;
}

void setTextColour(QWidget* widget, QPalette::ColorRole role, bool normal) {
    QPalette palette = widget->palette();
    palette.setColor(
        role, normal ? QApplication::palette(widget).color(QPalette::WindowText) : QColor(Qt::red));
    widget->setPalette(palette);
}

bool namesExistingDirectory(const std::string& path) {
    return !path.empty() && QFileInfo(pathText(path)).isDir();
}

const QString kSubkey = fromLatin1Bytes(header::kSettingsSubkey);

}  // namespace

TFormIGCKonfig::TFormIGCKonfig(AppContext& context, QWidget* parent)
    : QDialog(parent), context_(context) {
    setObjectName("FormIGCKonfig");
    createControls();
    FormCreate();
}

TFormIGCKonfig::~TFormIGCKonfig() = default;

void TFormIGCKonfig::createControls() {
    for (int i = 0; i < 8; ++i) {
        auto* label = new QLabel(
            QString::fromUtf8(
                header::kFieldLabels[static_cast<std::size_t>(i)].data(),
                static_cast<qsizetype>(header::kFieldLabels[static_cast<std::size_t>(i)].size())),
            this);
        label->setObjectName(QString("Label%1").arg(i + 1));
        label->setFont(boldFont(label));
        labels_[i] = label;
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString("Edit%1").arg(i + 1));
        edit->setFont(boldFont(edit));
        edits_[i] = edit;
        if (i < 7) label->setBuddy(edit);
    }
    // Edit8 comes after the button in the tab order, as on the form.
    pfadseclect_ = new QPushButton("Durchsuchen", this);
    pfadseclect_->setObjectName("Pfadseclect");
    labels_[7]->setBuddy(edits_[7]);
    setTabOrder(edits_[6], pfadseclect_);
    setTabOrder(pfadseclect_, edits_[7]);

    memo3_ =
        makeMemo(this, "Memo3",
                 {"Es wurde eine IGC Datei aus einem IGC-kompatiblen Flight Recorder eingelesen",
                  QString::fromUtf8("In diesem Fall können nur noch folgende Parameter "
                                    "eingegeben werden, ohne die"),
                  QString::fromUtf8("Gültigkeit der Datei zu verletzen")},
                 true);
    // Over the three rows it stands for: as high as they are, at least as its lines.
    memo3_->setMinimumHeight(memo3_->maximumHeight());
    memo3_->setMaximumHeight(QWIDGETSIZE_MAX);
    memo3_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
    memo3_->hide();

    upDown_ = new UpDownControl(this);
    upDown_->setObjectName("UpDown1");
    upDown_->setRange(header::kFirstClass, header::kLastClass);
    upDown_->setWrapping(true);
    upDown_->setPosition(header::kFirstClass);
    upDown_->setBuddy(edits_[3]);
    upDown_->setFixedSize(18, edits_[3]->sizeHint().height());
    upDown_->setAccessibleName(labels_[3]->text());
    upDown_->upButton()->setAccessibleName(QString::fromUtf8("Nächste Klasse"));
    upDown_->downButton()->setAccessibleName(QString::fromUtf8("Vorige Klasse"));
    setTabOrder(edits_[3], upDown_->upButton());
    setTabOrder(upDown_->upButton(), upDown_->downButton());
    setTabOrder(upDown_->downButton(), edits_[4]);

    // Four letters as typed; a longer stored ID is shown whole, marked, until shortened.
    edits_[6]->setValidator(new TypedLengthLimit(4, edits_[6]));
    memo1_ = makeMemo(this, "Memo1",
                      {QString::fromUtf8("Hier bitte exakt 4 Buchstaben wählen, die an"),
                       "den Pilotennamen erinnern sollten"},
                      false);
    memo2_ = makeMemo(
        this, "Memo2",
        {"Erst wenn hier alles plausibel eingegeben ist, erscheint der Button zum speichern der "
         "IGC-Datei",
         QString::fromUtf8("Mit <Konfiguration speichern> werden  diese Angaben beim nächsten Mal "
                           "automatisch wieder"),
         "vorgeschlagen"},
        false);

    speichern_ = new QPushButton("IGC Datei speichern", this);
    speichern_->setObjectName("Speichern");
    abbrechen_ = new QPushButton("Abbrechen", this);
    abbrechen_->setObjectName("Abbrechen");
    konfSpeichern_ = new QPushButton("Konfiguration speichern", this);
    konfSpeichern_->setObjectName("KonfSpeichern");
    for (QPushButton* button : {pfadseclect_, speichern_, abbrechen_, konfSpeichern_}) {
        button->setAutoDefault(false);  // Return in an edit must not press a button
    }
    QSizePolicy keepPlace = speichern_->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    speichern_->setSizePolicy(keepPlace);
    speichern_->hide();

    auto* grid = new QGridLayout(this);
    grid->setColumnStretch(1, 1);
    for (int row = 0; row < 3; ++row) {
        grid->addWidget(labels_[row], row, 0);
        grid->addWidget(edits_[row], row, 1);
        grid->setRowStretch(row, 1);  // Memo3 takes the rows' place when they are hidden
    }
    grid->addWidget(memo3_, 0, 0, 3, 2);
    auto* classRow = new QHBoxLayout;
    classRow->setSpacing(2);
    classRow->addWidget(edits_[3]);
    classRow->addWidget(upDown_);
    grid->addWidget(labels_[3], 3, 0);
    grid->addLayout(classRow, 3, 1);
    grid->addWidget(labels_[4], 4, 0);
    grid->addWidget(edits_[4], 4, 1);
    grid->addWidget(labels_[5], 5, 0);
    grid->addWidget(edits_[5], 5, 1);
    auto* pilotIdRow = new QHBoxLayout;
    edits_[6]->setFixedWidth(QFontMetrics(edits_[6]->font()).horizontalAdvance("WWWW") + 16);
    pilotIdRow->addWidget(edits_[6]);
    pilotIdRow->addWidget(memo1_, 1);
    grid->addWidget(labels_[6], 6, 0);
    grid->addLayout(pilotIdRow, 6, 1);
    grid->addWidget(labels_[7], 7, 0);
    grid->addWidget(pfadseclect_, 7, 1, Qt::AlignLeft);
    grid->addWidget(edits_[7], 8, 0, 1, 2);
    grid->addWidget(memo2_, 9, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(speichern_);
    buttons->addStretch();
    buttons->addWidget(abbrechen_);
    buttons->addWidget(konfSpeichern_);
    grid->addLayout(buttons, 10, 0, 1, 2);

    for (QLineEdit* edit : edits_) {
        connect(edit, &QLineEdit::textChanged, this, guarded(context_, [this] { EditChange(); }));
    }
    connect(upDown_, &UpDownControl::stepped, this, guarded(context_, [this] { EditChange(); }));
    connect(pfadseclect_, &QPushButton::clicked, this,
            guarded(context_, [this] { PfadseclectClick(); }));
    connect(konfSpeichern_, &QPushButton::clicked, this,
            guarded(context_, [this] { KonfSpeichernClick(); }));
    connect(speichern_, &QPushButton::clicked, this,
            guarded(context_, [this] { SpeichernClick(); }));
    connect(abbrechen_, &QPushButton::clicked, this,
            guarded(context_, [this] { AbbrechenClick(); }));

    ensurePolished();
    setFixedSize(sizeHint());
}

void TFormIGCKonfig::FormCreate() {
    setWindowTitle(Translate(context_.state().language.name, "Angaben zur IGC-Datei") + "    " +
                   context_.titleText());
}

void TFormIGCKonfig::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;  // the window system showing it again, not a new showing
    centreOnScreen(this);
    guarded(context_, [this] { FormShow(); })();
    guarded(context_, [this] { FormActivate(); })();
}

void TFormIGCKonfig::FormShow() {
    auto* source = qobject_cast<TFormIGCKonfig*>(context_.permanentHeaderDialog());
    if (!source || source == this) return;
    TranslateForm(source);
    setWindowTitle(source->windowTitle());
    // Both instances are built alike, so their components match index by index. The edits
    // get their texts when the values are loaded; the dialog has no combo boxes or menus.
    const QList<QWidget*> shown = findChildren<QWidget*>();
    const QList<QWidget*> texts = source->findChildren<QWidget*>();
    for (qsizetype i = 0; i < std::min(shown.size(), texts.size()); ++i) {
        QWidget* to = shown[i];
        const QWidget* from = texts[i];
        if (to->metaObject() != from->metaObject()) continue;
        if (auto* label = qobject_cast<QLabel*>(to)) {
            label->setText(static_cast<const QLabel*>(from)->text());
        } else if (auto* button = qobject_cast<QAbstractButton*>(to)) {
            button->setText(static_cast<const QAbstractButton*>(from)->text());
        } else if (auto* memo = qobject_cast<QPlainTextEdit*>(to)) {
            const QTextDocument* fromLines = static_cast<const QPlainTextEdit*>(from)->document();
            QStringList lines;
            for (int line = 0; line < memo->document()->blockCount(); ++line) {
                const QTextBlock block = line < fromLines->blockCount()
                                             ? fromLines->findBlockByNumber(line)
                                             : memo->document()->findBlockByNumber(line);
                lines << block.text();
            }
            memo->setPlainText(lines.join('\n'));
        }
    }
}

void TFormIGCKonfig::FormActivate() {
    SharedState& state = context_.state();
    state.headerConfirmed = false;
    // A fresh instance is shown each time; setting both ways keeps a reused one right too.
    const bool names = state.namesFromLogger;
    for (int i = 0; i < 3; ++i) {
        labels_[i]->setVisible(!names);
        edits_[i]->setVisible(!names);
    }
    memo3_->setVisible(names);
    speichern_->setEnabled(true);

    copying_ = false;
    SettingsStore& store = context_.settings();
    IgcHeaderValues& values = state.igcHeader;
    for (const header::StoredValue& stored : header::kStoredValues) {
        if (stored.value == &IgcHeaderValues::saveDirectory) {
            const QString home =
                pathText(header::proposedSaveDirectory(pathValue(QDir::homePath())));
            values.saveDirectory =
                pathValue(store.readString(kSubkey, fromLatin1Bytes(stored.name), home));
            continue;
        }
        values.*stored.value = toLatin1Bytes(store.readString(
            kSubkey, fromLatin1Bytes(stored.name), fromLatin1Bytes(stored.defaultValue)));
    }
    edits_[0]->setText(fromLatin1Bytes(values.pilotName));
    edits_[1]->setText(fromLatin1Bytes(values.gliderType));
    edits_[2]->setText(fromLatin1Bytes(values.gliderId));
    edits_[3]->setText(fromLatin1Bytes(values.competitionClass));
    edits_[4]->setText(fromLatin1Bytes(values.site));
    edits_[5]->setText(fromLatin1Bytes(values.competitionId));
    TypedLengthLimit::setText(edits_[6], fromLatin1Bytes(values.pilotId));
    edits_[7]->setText(pathText(values.saveDirectory));

    upDown_->setPosition(header::kFirstClass);
    upDown_->setPosition(header::classPosition(toLatin1Bytes(edits_[3]->text())));
    copying_ = true;
    EditChange();
}

void TFormIGCKonfig::EditChange() {
    if (copying_) {
        IgcHeaderValues& values = context_.state().igcHeader;
        values.pilotName = toLatin1Bytes(edits_[0]->text());
        values.gliderType = toLatin1Bytes(edits_[1]->text());
        values.gliderId = toLatin1Bytes(edits_[2]->text());
        // Whatever is typed into the class field gives way to the chosen class at once.
        const QString className = fromLatin1Bytes(header::className(upDown_->position()));
        if (edits_[3]->text() != className) edits_[3]->setText(className);
        values.competitionClass = toLatin1Bytes(edits_[3]->text());
        values.site = toLatin1Bytes(edits_[4]->text());
        values.competitionId = toLatin1Bytes(edits_[5]->text());
        values.pilotId = toLatin1Bytes(edits_[6]->text());
        values.saveDirectory = header::saveDirectoryOf(pathValue(edits_[7]->text()));
    }
    applyPlausibility();
}

void TFormIGCKonfig::applyPlausibility() {
    // The cut changes the field, which runs EditChange again with the cut text.
    const QString pilotId = edits_[6]->text();
    const std::string cut = header::cutPilotId(toLatin1Bytes(pilotId));
    if (cut.size() != static_cast<std::size_t>(pilotId.size()))
        edits_[6]->setText(pilotId.left(static_cast<qsizetype>(cut.size())));

    header::FieldTexts fields;
    fields.pilotName = toLatin1Bytes(edits_[0]->text());
    fields.gliderType = toLatin1Bytes(edits_[1]->text());
    fields.gliderId = toLatin1Bytes(edits_[2]->text());
    fields.competitionClass = toLatin1Bytes(edits_[3]->text());
    fields.site = toLatin1Bytes(edits_[4]->text());
    fields.contestName = toLatin1Bytes(edits_[5]->text());
    fields.pilotId = toLatin1Bytes(edits_[6]->text());
    fields.path = pathValue(edits_[7]->text());
    const header::Plausibility result =
        header::checkPlausibility(fields, context_.state().namesFromLogger, namesExistingDirectory);

    for (std::size_t i = 0; i < header::kFieldCount; ++i)
        setTextColour(labels_[i], QPalette::WindowText, result.fieldPasses[i]);
    speichern_->setVisible(result.confirmVisible);
    setTextColour(memo2_, QPalette::Text, result.confirmVisible);
}

void TFormIGCKonfig::PfadseclectClick() {
    const QString path = edits_[7]->text();
    const QString start = pathText(header::directoryPart(pathValue(path)));
    const std::optional<QString> chosen = context_.prompts().chooseDirectory(this, start);
    if (!chosen) return;
    edits_[7]->setText(chosen->endsWith('/') ? *chosen : *chosen + '/');
}

void TFormIGCKonfig::KonfSpeichernClick() {
    SettingsStore& store = context_.settings();
    const IgcHeaderValues& values = context_.state().igcHeader;
    const bool names = context_.state().namesFromLogger;
    for (const header::StoredValue& stored : header::kStoredValues) {
        if (stored.fromLogger && names) continue;  // the logger supplies these
        const std::string& value = values.*stored.value;
        store.writeString(kSubkey, fromLatin1Bytes(stored.name),
                          stored.value == &IgcHeaderValues::saveDirectory ? pathText(value)
                                                                          : fromLatin1Bytes(value));
    }
    edits_[7]->setText(pathText(values.saveDirectory));
}

void TFormIGCKonfig::SpeichernClick() {
    speichern_->setEnabled(false);
    edits_[7]->setText(pathText(context_.state().igcHeader.saveDirectory));
    context_.state().headerConfirmed = true;
    copying_ = false;
    accept();
}

void TFormIGCKonfig::AbbrechenClick() {
    reject();
}

}  // namespace qr
