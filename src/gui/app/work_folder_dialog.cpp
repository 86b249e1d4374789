#include "gui/app/work_folder_dialog.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStandardPaths>
#include <QVBoxLayout>

#include "gui/app/gc_application.h"
#include "session/command_status.h"

namespace gc {

namespace {

const char* const kRememberedKey = "workFolder/path";

QString Expanded(const QString& text) {
    QString t = text.trimmed();
    if (t == QLatin1String("~") || t.startsWith(QLatin1String("~/"))) t.replace(0, 1, QDir::homePath());
    return t.isEmpty() ? t : QFileInfo(t).absoluteFilePath();
}

}  // namespace

std::filesystem::path ToFsPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString FromFsPath(const std::filesystem::path& path) {
    return QFile::decodeName(QByteArray::fromStdString(path.string()));
}

WorkFolderDialog::WorkFolderDialog(const QString& proposed, const QString& current, QWidget* parent)
    : QDialog(parent), current_(current) {
    setObjectName("workFolderDialog");
    setWindowTitle(QStringLiteral("Рабочая папка"));
    auto* intro = new QLabel(
        QStringLiteral("Программа работает в рабочей папке: настройки в CONFIGS/, файлы коэффициентов в FILTERS/, "
                       "файлы gc101 в Appl/. Выберите, где работать; выбор запоминается до следующего запуска."),
        this);
    intro->setWordWrap(true);
    fromExample_ = new QRadioButton(QStringLiteral("Создать рабочую папку из примера:"), this);
    fromExample_->setObjectName("fromExampleRadio");
    exampleEdit_ = new QLineEdit(proposed, this);
    exampleEdit_->setObjectName("exampleFolderEdit");
    existing_ = new QRadioButton(QStringLiteral("Выбрать существующую рабочую папку:"), this);
    existing_->setObjectName("existingRadio");
    existingEdit_ = new QLineEdit(this);
    existingEdit_->setObjectName("existingFolderEdit");
    stay_ =
        new QRadioButton(QStringLiteral("Продолжить в текущей папке: %1").arg(QDir::toNativeSeparators(current)), this);
    stay_->setObjectName("currentRadio");
    fromExample_->setChecked(true);

    auto* grid = new QGridLayout;
    auto browse = [this](QLineEdit* edit, QRadioButton* radio) {
        auto* b = new QPushButton(QStringLiteral("Обзор…"), this);
        connect(b, &QPushButton::clicked, this, [this, edit, radio] {
            radio->setChecked(true);
            Browse(edit);
        });
        return b;
    };
    grid->addWidget(fromExample_, 0, 0, 1, 2);
    grid->addWidget(exampleEdit_, 1, 0);
    grid->addWidget(browse(exampleEdit_, fromExample_), 1, 1);
    grid->addWidget(existing_, 2, 0, 1, 2);
    grid->addWidget(existingEdit_, 3, 0);
    grid->addWidget(browse(existingEdit_, existing_), 3, 1);
    grid->addWidget(stay_, 4, 0, 1, 2);
    // Typing a folder picks its choice.
    connect(exampleEdit_, &QLineEdit::textEdited, fromExample_, [this] { fromExample_->setChecked(true); });
    connect(existingEdit_, &QLineEdit::textEdited, existing_, [this] { existing_->setChecked(true); });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName("workFolderButtons");
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Продолжить"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Выход"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* v = new QVBoxLayout(this);
    v->addWidget(intro);
    v->addLayout(grid);
    v->addWidget(buttons);
    resize(560, sizeHint().height());
}

WorkFolderDialog::Choice WorkFolderDialog::choice() const {
    if (existing_->isChecked()) return Choice::Existing;
    if (stay_->isChecked()) return Choice::Current;
    return Choice::FromExample;
}

QString WorkFolderDialog::folder() const {
    switch (choice()) {
        case Choice::FromExample:
            return Expanded(exampleEdit_->text());
        case Choice::Existing:
            return Expanded(existingEdit_->text());
        case Choice::Current:
            break;
    }
    return current_;
}

void WorkFolderDialog::Browse(QLineEdit* edit) {
    const QString start = edit->text().isEmpty() ? QDir::homePath() : Expanded(edit->text());
    const QString chosen = QFileDialog::getExistingDirectory(this, windowTitle(), start);
    if (!chosen.isEmpty()) edit->setText(QDir::toNativeSeparators(chosen));
}

std::filesystem::path ExampleWorkFolder() {
    std::vector<std::filesystem::path> candidates;
#ifdef GC5016_EXAMPLE_FROM_BIN
    candidates.push_back(ToFsPath(QCoreApplication::applicationDirPath()) / GC5016_EXAMPLE_FROM_BIN);
#endif
#ifdef GC5016_SOURCE_EXAMPLE
    candidates.push_back(GC5016_SOURCE_EXAMPLE);
#endif
    return FindExampleWorkFolder(candidates).lexically_normal();
}

std::filesystem::path DocumentsFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return ToFsPath(documents.isEmpty() ? QDir::homePath() : documents);
}

std::filesystem::path RememberedWorkFolder(const QSettings& settings) {
    return ToFsPath(settings.value(QLatin1String(kRememberedKey)).toString());
}

std::optional<std::filesystem::path> AskWorkFolder(const std::filesystem::path& proposed,
                                                   const std::filesystem::path& current, QSettings& settings,
                                                   const std::filesystem::path& example, QWidget* parent) {
    WorkFolderDialog dialog(QDir::toNativeSeparators(FromFsPath(proposed)), FromFsPath(current), parent);
    for (;;) {
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        const QString shown = QDir::toNativeSeparators(dialog.folder());
        const std::filesystem::path folder = ToFsPath(dialog.folder());
        switch (dialog.choice()) {
            case WorkFolderDialog::Choice::Current:
                return current;
            case WorkFolderDialog::Choice::Existing:
                if (folder.empty()) {
                    ShowErrorBox(&dialog, QStringLiteral("Укажите рабочую папку."));
                    continue;
                }
                if (!IsWorkFolder(folder)) {
                    ShowErrorBox(&dialog, QStringLiteral("В папке %1 нет папки CONFIGS: это не рабочая папка. "
                                                         "Выберите другую или создайте в этой рабочую папку "
                                                         "из примера.")
                                              .arg(shown));
                    continue;
                }
                break;
            case WorkFolderDialog::Choice::FromExample: {
                if (folder.empty()) {
                    ShowErrorBox(&dialog, QStringLiteral("Укажите, где создать рабочую папку."));
                    continue;
                }
                if (example.empty()) {
                    ShowErrorBox(&dialog, QStringLiteral("Пример рабочей папки не найден: программа установлена "
                                                         "не полностью. Выберите существующую рабочую папку."));
                    continue;
                }
                const ExampleCopy copy = CopyExampleWorkFolder(example, folder);
                if (!copy.done()) {
                    ShowErrorBox(&dialog, QStringLiteral("Не удалось создать рабочую папку %1: %2 (%3).")
                                              .arg(shown, QString::fromStdString(CauseText(copy.error.value())),
                                                   QDir::toNativeSeparators(FromFsPath(copy.failed))));
                    continue;
                }
                break;
            }
        }
        settings.setValue(QLatin1String(kRememberedKey), dialog.folder());
        settings.sync();
        return folder;
    }
}

std::optional<std::filesystem::path> StartWorkFolder(WorkFolderStart start, QSettings& settings,
                                                     const std::filesystem::path& example) {
    start.remembered = RememberedWorkFolder(settings);
    const WorkFolderDecision d = DecideWorkFolder(start);
    if (d.source != WorkFolderSource::Ask) return d.folder;
    return AskWorkFolder(ProposedWorkFolder(start.remembered, DocumentsFolder()), start.current, settings, example);
}

}  // namespace gc
