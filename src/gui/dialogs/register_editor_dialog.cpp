#include "gui/dialogs/register_editor_dialog.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "gui/app/gc_application.h"
#include "gui/app/guide.h"
#include "gui/widgets/labels.h"

namespace gc {

namespace {

constexpr const char* kColumnNames[kChannels] = {"A", "B", "C", "D"};

QString BoxObjectName(const RegisterRow& row, int column) {
    QString name = Text(row.label);
    if (row.columns > 1) name += QStringLiteral("_") + QString::fromLatin1(kColumnNames[column]);
    return name;
}

}  // namespace

RegisterEditorDialog::RegisterEditorDialog(RegisterImage& image, const RegisterDialogDef& def, QWidget* parent)
    : QWidget(parent, Qt::Window),
      image_(image),
      def_(def),
      id_(static_cast<RegisterDialogId>(&def - RegisterDialogDefs().data())),
      boxes_(RegisterBoxes(def)) {
    setWindowTitle(Text(def.title));
    setObjectName(Text(def.openName));
    // Closing the main window ends the program even while this one is open.
    setAttribute(Qt::WA_QuitOnClose, false);
    InstallGuideKey(this, GuideSection::RegisterEditors);

    auto* grid = new QGridLayout(this);
    grid->setVerticalSpacing(1);
    grid->setHorizontalSpacing(4);
    int line = 0;
    if (HasChannelColumns(def)) {
        grid->addWidget(new QLabel(QStringLiteral("Канал "), this), line, 0, Qt::AlignRight);
        for (int c = 0; c < kChannels; ++c)
            grid->addWidget(new QLabel(QString::fromLatin1(kColumnNames[c]), this), line, c + 1, Qt::AlignCenter);
        ++line;
    }
    // Where each (group, row) sits in the grid, for placing its boxes below.
    std::vector<std::vector<int>> lineOf(def.groups.size());
    for (size_t g = 0; g < def.groups.size(); ++g) {
        if (!def.groups[g].caption.empty()) {
            auto* caption = new QLabel(Text(def.groups[g].caption), this);
            caption->setStyleSheet(QStringLiteral("font-weight: bold"));
            grid->addWidget(caption, line++, 0, 1, 5);
        }
        for (const RegisterRow& row : def.groups[g].rows) {
            grid->addWidget(new QLabel(Text(row.label), this), line, 0);
            lineOf[g].push_back(line++);
        }
    }
    for (const RegisterBox& b : boxes_) {
        const RegisterRow& row = RowOf(def, b);
        auto* edit = new QLineEdit(this);
        edit->setObjectName(BoxObjectName(row, b.column));
        // Boxes fill their column, so a column is as wide as its widest value.
        edit->setMinimumWidth(row.show == FieldShow::Fixed6 ? 110 : 64);
        edit->setReadOnly(!def.editable);
        grid->addWidget(edit, lineOf[b.group][b.row], b.column + 1);
        edits_.push_back(edit);
        // Enter, or leaving the box: store everything, show it again.
        if (def.editable) connect(edit, &QLineEdit::editingFinished, this, &RegisterEditorDialog::OnBoxFinished);
    }
    grid->setRowStretch(line, 1);
}

void RegisterEditorDialog::Open() {
    flags_.open = true;
    show();
    raise();
    activateWindow();
}

void RegisterEditorDialog::ShowValues() {
    for (size_t k = 0; k < boxes_.size(); ++k)
        edits_[k]->setText(QString::fromStdString(RegisterBoxText(image_, RowOf(def_, boxes_[k]), boxes_[k].column)));
    for (QLineEdit* e : edits_) e->setEnabled(flags_.writeEnable);
}

bool RegisterEditorDialog::StoreValues() {
    std::vector<std::string> texts;
    texts.reserve(edits_.size());
    for (QLineEdit* e : edits_) texts.push_back(e->text().toStdString());
    if (!applyEdit_) return false;
    const Effects fx = applyEdit_(edit::RegisterBoxes{id_, std::move(texts)});
    if (fx.refused) {
        ShowErrorBox(this, QString::fromStdString(fx.status.value_or(std::string())));
        return false;
    }
    return true;
}

RegisterEditorDialog::~RegisterEditorDialog() {
    // Destroyed while shown (at exit), the window hides in QWidget's
    // destructor; a box losing the focus then must not store into what is
    // already gone.
    for (QLineEdit* edit : edits_) disconnect(edit, nullptr, this, nullptr);
}

void RegisterEditorDialog::OnBoxFinished() {
    // The error box takes the focus from the box, which would finish it again.
    if (storing_) return;
    storing_ = true;
    // After a refused text the boxes show the values in use again, so the
    // text is not read (and refused) once more at the next edit.
    StoreValues();
    ShowValues();
    storing_ = false;
}

void RegisterEditorDialog::showEvent(QShowEvent* event) {
    ShowValues();
    QWidget::showEvent(event);
}

void RegisterEditorDialog::closeEvent(QCloseEvent* event) {
    flags_.open = false;
    QWidget::closeEvent(event);
}

}  // namespace gc
