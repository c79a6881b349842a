#include "foundation/ui/UiServices.h"

#include <QApplication>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHeaderView>
#include <QMessageBox>
#include <QSpacerItem>
#include <QTreeView>

namespace {

// Pixels a title bar spends beside its text: icon, padding and up to three buttons.
constexpr int kTitleBarAllowance = 160;

// A box is as wide as its text, which left long titles (the range message of a box titled
// with its caption, the file dialog's overwrite question) cut short: make room for the title
// in the window manager's bold title font and its buttons. A spacer in the box's own layout
// does it, because the box sizes itself to its layout when it is shown.
void fitToTitle(QMessageBox& box) {
    static const char* const kFittedWidth = "titleFitWidth";
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (grid == nullptr) return;
    QFont bold = box.font();
    bold.setBold(true);
    const int width = QFontMetrics(bold).horizontalAdvance(box.windowTitle()) + kTitleBarAllowance;
    if (box.property(kFittedWidth).toInt() >= width) return;
    box.setProperty(kFittedWidth, width);
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

// Fits every message box of the application to its title as it is shown, also those that
// Qt's own dialogs raise.
class MessageBoxTitleFit final : public QObject {
  public:
    explicit MessageBoxTitleFit(QObject* parent) : QObject(parent) {
        setObjectName(QStringLiteral("MessageBoxTitleFit"));
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            if (auto* box = qobject_cast<QMessageBox*>(watched)) fitToTitle(*box);
        }
        return false;
    }
};

}  // namespace

QtUiServices::QtUiServices() {
    QCoreApplication* app = QCoreApplication::instance();
    if (app != nullptr && app->findChild<QObject*>(QStringLiteral("MessageBoxTitleFit"),
                                                   Qt::FindDirectChildrenOnly) == nullptr) {
        app->installEventFilter(new MessageBoxTitleFit(app));
    }
}

void ConfigureMessageBox(QMessageBox& box, const QString& text, const QString& title,
                         UiServices::Buttons buttons, UiServices::Icon icon) {
    using Buttons = UiServices::Buttons;
    using Icon = UiServices::Icon;
    box.setText(text);
    box.setWindowTitle(title);
    switch (icon) {
        case Icon::None:
            box.setIcon(QMessageBox::NoIcon);
            break;
        case Icon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case Icon::Warning:
            box.setIcon(QMessageBox::Warning);
            break;
        case Icon::Critical:
            box.setIcon(QMessageBox::Critical);
            break;
        case Icon::Question:
            box.setIcon(QMessageBox::Question);
            break;
    }
    switch (buttons) {
        case Buttons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case Buttons::OkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case Buttons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        case Buttons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
    }
    fitToTitle(box);
}

UiServices::Answer QtUiServices::message(QWidget* parent, const QString& text, const QString& title,
                                         Buttons buttons, Icon icon) {
    QMessageBox box(parent);
    ConfigureMessageBox(box, text, title, buttons, icon);
    switch (box.exec()) {
        case QMessageBox::Ok:
            return Answer::Ok;
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        case QMessageBox::Cancel:
            return Answer::Cancel;
        default:
            break;
    }
    // Closed by the frame: the escape button's meaning.
    if (buttons == Buttons::Ok) return Answer::Ok;
    if (buttons == Buttons::YesNo) return Answer::No;
    return Answer::Cancel;
}

void QtUiServices::beep() {
    QApplication::beep();
}

void ConfigureFileDialog(QFileDialog& dialog, const FileDialogRequest& request) {
    dialog.setWindowTitle(request.title);
    if (!request.initialDir.isEmpty()) dialog.setDirectory(request.initialDir);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(request.open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(request.open && request.fileMustExist ? QFileDialog::ExistingFile
                                                             : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
    // The list shows each filter's description alone; the patterns (with their upper-case
    // forms) still select the files.
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setNameFilters(request.filters);
    if (request.filterIndex >= 0 && request.filterIndex < request.filters.size()) {
        dialog.selectNameFilter(request.filters.at(request.filterIndex));
    }
    if (!request.defaultSuffix.isEmpty()) dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.initialFile.isEmpty()) dialog.selectFile(request.initialFile);
    // The size, type and date columns of the detail view follow their contents, the name
    // takes the rest, and the dialog is wide enough for all of them.
    if (auto* tree = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        QHeaderView* header = tree->header();
        header->setStretchLastSection(false);
        for (int c = 1; c < header->count(); ++c) {
            header->setSectionResizeMode(c, QHeaderView::ResizeToContents);
        }
        if (header->count() > 0) header->setSectionResizeMode(0, QHeaderView::Stretch);
    }
    const QFontMetrics metrics(dialog.font());
    const QSize wanted(metrics.horizontalAdvance(QLatin1Char('x')) * 110, metrics.height() * 28);
    dialog.resize(dialog.size().expandedTo(wanted));
}

std::optional<QString> QtUiServices::fileDialog(QWidget* parent, const FileDialogRequest& request) {
    QFileDialog dialog(parent);
    ConfigureFileDialog(dialog, request);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty()) return std::nullopt;
    return files.first();
}
