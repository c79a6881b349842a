#pragma once
// The seam through which every message box, beep and file dialog of both programs passes.
// The product uses QtUiServices; tests inject a recording fake that answers without blocking.

#include <QString>
#include <QStringList>
#include <optional>

class QFileDialog;
class QMessageBox;
class QWidget;

// What a file dialog is asked to show.
struct FileDialogRequest {
    bool open = true;  // open dialog, else save dialog
    QString title;
    QStringList filters;    // Qt name filters, e.g. "入力ﾃﾞｰﾀ(*.mbw) (*.mbw *.MBW)"
    int filterIndex = 0;    // 0-based filter selected at start
    QString initialDir;     // empty: the dialog's own choice
    QString initialFile;    // name or full path shown at start
    QString defaultSuffix;  // without the dot, e.g. "mbw"
    bool fileMustExist = false;
    bool pathMustExist = false;
    bool overwritePrompt = false;
};

class UiServices {
  public:
    enum class Icon { None, Information, Warning, Critical, Question };
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Answer { Ok, Cancel, Yes, No };

    virtual ~UiServices() = default;

    // A modal message box; returns the button pressed (closing the box answers Cancel, or Ok
    // for a box with only an OK button, or No for Yes/No).
    virtual Answer message(QWidget* parent, const QString& text, const QString& title,
                           Buttons buttons, Icon icon) = 0;
    virtual void beep() = 0;
    // The chosen full path, or nullopt when the dialog was cancelled.
    virtual std::optional<QString> fileDialog(QWidget* parent,
                                              const FileDialogRequest& request) = 0;
};

// The product implementation: QMessageBox, QApplication::beep, non-native QFileDialog.
// The first one made sees to it that every message box of the application, Qt's own ones
// included, is at least as wide as its title.
class QtUiServices final : public UiServices {
  public:
    QtUiServices();
    Answer message(QWidget* parent, const QString& text, const QString& title, Buttons buttons,
                   Icon icon) override;
    void beep() override;
    std::optional<QString> fileDialog(QWidget* parent, const FileDialogRequest& request) override;
};

// Sets up a non-native QFileDialog for a request: each filter shows its description alone,
// and the dialog is sized so that the detail view's columns fit.
void ConfigureFileDialog(QFileDialog& dialog, const FileDialogRequest& request);

// Sets up a message box: text, title, icon and buttons, and a width that shows the whole
// title.
void ConfigureMessageBox(QMessageBox& box, const QString& text, const QString& title,
                         UiServices::Buttons buttons, UiServices::Icon icon);
